#pragma once

#include "CrossReference.h"
#include "MotorDatabase.h"
#include "MotorTable.h"
#include "OrvexMotorCollection.h"

namespace Orvex {

// The motor database server: owns the motor table and the cross reference,
// loads them from their files and answers the wizard's cascade queries.
class COrvexMotorServer final : public IOrvexMotorServer
{
public:
    COrvexMotorServer();

    IOrvexMotorCollection* GetOrvexMotorCollection() override;
    // Both loads replace the current contents only when the whole file reads
    // correctly; otherwise they answer false and keep what was there.
    bool LoadMotorDatabase(const QString& path) override;
    bool LoadCrossReference(const QString& path) override;
    QString LoadError() const override { return m_loadError; }

    QStringList ListSeries() const override;
    QStringList ListFrames(const QString& series) const override;
    QStringList ListStacks(const QString& series, const QString& frame) const override;
    QStringList ListWindings(const QString& series, const QString& frame,
                             const QString& stack) const override;
    QStringList ListFeedbacks(const QString& series, const QString& frame, const QString& stack,
                              const QString& winding) const override;
    QStringList ListCustomWindings(const QString& partNumber) const override;
    QStringList ListCoolings(const QString& partNumber) const override;
    QString CustomWindingOfPart(const QString& customEntry) const override;
    QString CustomPartOfWinding(const QString& customWinding) const override;
    QString BaseSeriesOfWinding(const QString& customWinding) const override;

private:
    MotorTable m_table;
    CrossReference m_crossReference;
    QString m_loadError;
    COrvexMotorCollection m_collection;
};

} // namespace Orvex
