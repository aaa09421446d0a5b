#include "MotorTable.h"

namespace Orvex {

namespace {

// Joins the parts of a composite key with a character that XML text cannot
// hold, so no two different tuples share a key.
constexpr QChar Separator(0x1F);

QString Key(const QString& a)
{
    return a;
}

template <class... Rest> QString Key(const QString& a, const Rest&... rest)
{
    return a + Separator + Key(rest...);
}

} // namespace

QString MotorTable::NormalizedWinding(const QString& customWinding)
{
    if (customWinding == QLatin1String("W00000")) {
        return {};
    }
    return customWinding;
}

bool MotorTable::Add(const MotorRecord& record)
{
    const QString& part = record.Field(MotorField::PartNumber);
    const QString& winding = record.Field(MotorField::CustomWinding);
    const QString& cooling = record.Field(MotorField::CoolingKey);
    const QString findKey = Key(part, NormalizedWinding(winding), cooling);
    if (m_byKey.contains(findKey)) {
        return false;
    }
    m_byKey.insert(findKey, static_cast<int>(m_records.size()));
    m_records.push_back(record);

    const QString& series = record.Field(MotorField::Series);
    const QString& frame = record.Field(MotorField::Frame);
    const QString& stack = record.Field(MotorField::Stack);
    const QString& wind = record.Field(MotorField::Winding);
    const QString& feedback = record.Field(MotorField::Feedback);

    if (!m_listed.contains(Key(QStringLiteral("S"), series))) {
        m_listed.insert(Key(QStringLiteral("S"), series));
        m_series.append(series);
    }
    Append(m_frames, Index::Frames, series, frame);
    Append(m_stacks, Index::Stacks, Key(series, frame), stack);
    Append(m_windings, Index::Windings, Key(series, frame, stack), wind);
    Append(m_feedbacks, Index::Feedbacks, Key(series, frame, stack, wind), feedback);

    // The wizard asks with the part number it composed, which for a part named
    // after its base series is not yet the record's own one.
    const QString cascadePart = record.CascadePartNumber();
    for (const QString& key : {part, cascadePart}) {
        if (!winding.isEmpty()) {
            Append(m_customWindings, Index::CustomWindings, key, winding);
        }
        Append(m_coolings, Index::Coolings, key, cooling);
    }
    return true;
}

void MotorTable::Append(QHash<QString, QStringList>& index, Index which, const QString& key,
                        const QString& value)
{
    const QString listedKey = Key(QString::number(static_cast<int>(which)), key, value);
    if (m_listed.contains(listedKey)) {
        return;
    }
    m_listed.insert(listedKey);
    index[key].append(value);
}

const MotorRecord* MotorTable::At(int index) const
{
    if (index < 0 || index >= Count()) {
        return nullptr;
    }
    return &m_records[static_cast<std::size_t>(index)];
}

const MotorRecord* MotorTable::Find(const QString& partNumber, const QString& customWinding,
                                    const QString& coolingKey) const
{
    const auto it =
        m_byKey.constFind(Key(partNumber, NormalizedWinding(customWinding), coolingKey));
    if (it == m_byKey.cend()) {
        return nullptr;
    }
    return &m_records[static_cast<std::size_t>(it.value())];
}

QStringList MotorTable::Frames(const QString& series) const
{
    return m_frames.value(series);
}

QStringList MotorTable::Stacks(const QString& series, const QString& frame) const
{
    return m_stacks.value(Key(series, frame));
}

QStringList MotorTable::Windings(const QString& series, const QString& frame,
                                 const QString& stack) const
{
    return m_windings.value(Key(series, frame, stack));
}

QStringList MotorTable::Feedbacks(const QString& series, const QString& frame, const QString& stack,
                                  const QString& winding) const
{
    return m_feedbacks.value(Key(series, frame, stack, winding));
}

QStringList MotorTable::CustomWindings(const QString& partNumber) const
{
    return m_customWindings.value(partNumber);
}

QStringList MotorTable::Coolings(const QString& partNumber) const
{
    return m_coolings.value(partNumber);
}

} // namespace Orvex
