#pragma once

#include <QByteArray>
#include <QString>

namespace Orvex {

class ConfigurationValues;

// The .kvt configuration file: a first line "ORVEX-KVT 2", one "Name=value"
// line per configuration property, and an end line "END <number of
// settings>" that tells the reader the file is whole. Written atomically;
// read strictly, so a damaged, cut or foreign file is refused with the line
// at fault and never half-applied. Files of version 1, written before the end
// line existed, are read when they name every setting.
class KvtFile
{
public:
    static constexpr int Version = 2;

    // Replaces the file with the configuration. Throws a ComponentError when
    // the file cannot be written (the old file, if any, is left as it was).
    static void Write(const QString& path, const ConfigurationValues& values);

    // Reads the file into values. Throws a ComponentError naming the file and
    // the line ("<file>, line 12: unknown setting 'Foo'") and leaves values
    // unchanged when the file cannot be read, is not a regular file, is too
    // large, is not whole or lacks a setting.
    static void Read(const QString& path, ConfigurationValues& values);
    // The same for a file's bytes already read; path goes into the errors.
    static void Parse(const QByteArray& bytes, const QString& path, ConfigurationValues& values);
    // The file's bytes for a configuration.
    static QByteArray Format(const ConfigurationValues& values);
};

} // namespace Orvex
