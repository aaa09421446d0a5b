#pragma once

#include "MotorDatabase.h"

#include <QString>

#include <array>

namespace Orvex {

// One motor of the database file: its numbered text fields, 1 to MotorField::Count.
class MotorRecord
{
public:
    // Empty for a number outside 1..MotorField::Count.
    const QString& Field(int number) const;
    void SetField(int number, const QString& text);

    // The part number the step 1 cascade composes from series, frame, stack,
    // winding and feedback; differs from the record's own part number only for
    // parts named after a base series.
    QString CascadePartNumber() const;

    // Element name of field n in the database file ("PartNumber", ...), empty
    // outside 1..MotorField::Count; and the reverse, 0 for an unknown name.
    static QString FieldName(int number);
    static int FieldNumber(QStringView name);

private:
    std::array<QString, MotorField::Count> m_fields;
};

} // namespace Orvex
