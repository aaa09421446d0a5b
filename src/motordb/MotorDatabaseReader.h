#pragma once

#include "CrossReference.h"
#include "MotorTable.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace Orvex {

// Reads the motor database file and the custom winding cross reference file
// strictly: anything the format does not allow makes the whole file fail.
class MotorDatabaseReader
{
public:
    // Nothing when the file is missing or malformed; error then says where and why.
    static std::optional<MotorTable> ReadMotorFile(const QString& path, QString* error);
    static std::optional<CrossReference> ReadCrossReferenceFile(const QString& path,
                                                                QString* error);
    // The same for a file's bytes already read; name goes into the error.
    static std::optional<MotorTable> ParseMotorFile(const QByteArray& bytes, const QString& name,
                                                    QString* error);
    static std::optional<CrossReference>
    ParseCrossReferenceFile(const QByteArray& bytes, const QString& name, QString* error);

    // True for "W00001".."W99999"; "W00000" stands for no custom winding.
    static bool IsCustomWindingName(const QString& name);
};

} // namespace Orvex
