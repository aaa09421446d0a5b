#include "OrvexMotorCollection.h"

#include "OrvexMotor.h"

namespace Orvex {

COrvexMotorCollection::COrvexMotorCollection(const MotorTable& table,
                                             const CrossReference& crossReference)
    : m_table(table), m_crossReference(crossReference)
{}

int COrvexMotorCollection::Count() const
{
    return m_table.Count();
}

std::unique_ptr<IOrvexMotor> COrvexMotorCollection::Item(int index) const
{
    return MakeMotor(m_table.At(index));
}

std::unique_ptr<IOrvexMotor> COrvexMotorCollection::FindMotor(const QString& partNumber,
                                                              const QString& customWinding,
                                                              const QString& coolingKey) const
{
    return MakeMotor(m_table.Find(partNumber, customWinding, coolingKey));
}

std::unique_ptr<IOrvexMotor> COrvexMotorCollection::MakeMotor(const MotorRecord* record) const
{
    if (!record) {
        return nullptr;
    }
    MotorRecord motor = *record;
    const QString& winding = record->Field(MotorField::CustomWinding);
    if (!winding.isEmpty()) {
        motor.SetField(MotorField::CustomPart, m_crossReference.CustomPartOfWinding(winding));
        motor.SetField(MotorField::BaseSeries, m_crossReference.BaseSeriesOfWinding(winding));
    }
    return std::make_unique<COrvexMotor>(std::move(motor));
}

} // namespace Orvex
