#pragma once

#include "MotorDatabase.h"
#include "MotorRecord.h"

namespace Orvex {

// A motor the collection hands out: a copy of one record, with the custom part
// and base series of its custom winding filled in from the cross reference.
class COrvexMotor final : public IOrvexMotor
{
public:
    explicit COrvexMotor(MotorRecord record) : m_record(std::move(record)) {}

    QString Field(int number) const override { return m_record.Field(number); }

private:
    MotorRecord m_record;
};

} // namespace Orvex
