#pragma once

#include "CrossReference.h"
#include "MotorDatabase.h"
#include "MotorTable.h"

namespace Orvex {

// The motor collection of the server: motors in database order and FindMotor,
// reading the server's current tables.
class COrvexMotorCollection final : public IOrvexMotorCollection
{
public:
    // Both tables belong to the server, which outlives its collection.
    COrvexMotorCollection(const MotorTable& table, const CrossReference& crossReference);

    int Count() const override;
    std::unique_ptr<IOrvexMotor> Item(int index) const override;
    std::unique_ptr<IOrvexMotor> FindMotor(const QString& partNumber, const QString& customWinding,
                                           const QString& coolingKey) const override;

private:
    std::unique_ptr<IOrvexMotor> MakeMotor(const MotorRecord* record) const;

    const MotorTable& m_table;
    const CrossReference& m_crossReference;
};

} // namespace Orvex
