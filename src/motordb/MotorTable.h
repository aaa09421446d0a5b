#pragma once

#include "MotorRecord.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

namespace Orvex {

// The motor records in database order with the indexes that answer every
// cascade query of the configuration wizard by one hash lookup.
class MotorTable
{
public:
    // Appends a record and indexes it. Fails, leaving the table unchanged,
    // when a record of the same part number, custom winding and cooling key is
    // already there, since FindMotor could not tell the two apart.
    bool Add(const MotorRecord& record);

    int Count() const { return static_cast<int>(m_records.size()); }
    // Null outside 0..Count()-1.
    const MotorRecord* At(int index) const;
    // Null when no record matches all three; "W00000" and "" both mean no
    // custom winding.
    const MotorRecord* Find(const QString& partNumber, const QString& customWinding,
                            const QString& coolingKey) const;

    // Lists in database order, without duplicates.
    QStringList Series() const { return m_series; }
    QStringList Frames(const QString& series) const;
    QStringList Stacks(const QString& series, const QString& frame) const;
    QStringList Windings(const QString& series, const QString& frame, const QString& stack) const;
    QStringList Feedbacks(const QString& series, const QString& frame, const QString& stack,
                          const QString& winding) const;
    // By the record's part number or by the part number the cascade composes.
    QStringList CustomWindings(const QString& partNumber) const;
    QStringList Coolings(const QString& partNumber) const;

    // The custom winding name as the records store it: "W00000" means none.
    static QString NormalizedWinding(const QString& customWinding);

private:
    enum class Index
    {
        Frames,
        Stacks,
        Windings,
        Feedbacks,
        CustomWindings,
        Coolings
    };

    void Append(QHash<QString, QStringList>& index, Index which, const QString& key,
                const QString& value);

    std::vector<MotorRecord> m_records;
    QStringList m_series;
    QHash<QString, QStringList> m_frames;
    QHash<QString, QStringList> m_stacks;
    QHash<QString, QStringList> m_windings;
    QHash<QString, QStringList> m_feedbacks;
    QHash<QString, QStringList> m_customWindings;
    QHash<QString, QStringList> m_coolings;
    QHash<QString, int> m_byKey;
    // Everything already listed, so the lists stay free of duplicates.
    QSet<QString> m_listed;
};

} // namespace Orvex
