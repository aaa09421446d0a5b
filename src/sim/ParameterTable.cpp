#include "ParameterTable.h"

#include "CommandDatabase.h"

#include <QSet>

#include <algorithm>
#include <cmath>

namespace Orvex {

namespace {

// Values the firmware measures or computes; the database marks them "R" but
// the loader keeps no access column, and the drive needs to know them anyway.
const QSet<int> DriveOwnedParameters{66, 67, 150, 186, 230, 250, 255};

ParameterTable::Format FormatOf(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("Integer"), Qt::CaseInsensitive) == 0)
        return ParameterTable::Format::Integer;
    if (trimmed.compare(QLatin1String("Boolean"), Qt::CaseInsensitive) == 0)
        return ParameterTable::Format::Boolean;
    return ParameterTable::Format::Float;
}

} // namespace

ParameterTable::ParameterTable(const CommandDatabaseLists& lists)
{
    for (const auto& row : lists.Parameters) {
        const QString numberText = row->m_Number.trimmed();
        bool ok = false;
        const int number = numberText.toInt(&ok);
        const bool known = std::any_of(m_Entries.begin(), m_Entries.end(),
                                       [number](const Entry& e) { return e.Number == number; });
        if (!ok || number < 0 || number > 255 || known)
            continue;
        Entry entry;
        entry.Number = number;
        entry.Mnemonic = row->m_EquivalentCommand.trimmed().toUpper();
        entry.DataFormat = FormatOf(row->m_DataFormat);
        entry.Minimum = LeadingDecimal(row->m_Minimum);
        entry.Maximum = LeadingDecimal(row->m_Maximum);
        entry.Default = Normalised(entry.DataFormat, LeadingDecimal(row->m_Default));
        entry.Working = entry.Default;
        entry.Stored = entry.Default;
        entry.ReadOnly = DriveOwnedParameters.contains(number);
        m_Entries.push_back(entry);
    }
    std::sort(m_Entries.begin(), m_Entries.end(),
              [](const Entry& a, const Entry& b) { return a.Number < b.Number; });
}

QString ParameterTable::Problem(const CommandDatabaseLists& lists)
{
    for (const auto& row : lists.Parameters) {
        const std::pair<const char*, const QString*> values[] = {{"minimum", &row->m_Minimum},
                                                                 {"maximum", &row->m_Maximum},
                                                                 {"default", &row->m_Default}};
        for (const auto& [what, text] : values) {
            if (!std::isfinite(LeadingDecimal(*text))) {
                return QStringLiteral("parameter %1 has the %2 '%3', which is not a finite number")
                    .arg(row->m_Number.trimmed(), QLatin1String(what), text->trimmed());
            }
        }
    }
    return QString();
}

const ParameterTable::Entry* ParameterTable::Find(int number) const
{
    const auto it = std::lower_bound(m_Entries.begin(), m_Entries.end(), number,
                                     [](const Entry& e, int n) { return e.Number < n; });
    return it != m_Entries.end() && it->Number == number ? &*it : nullptr;
}

ParameterTable::Entry* ParameterTable::FindMutable(int number)
{
    return const_cast<Entry*>(std::as_const(*this).Find(number));
}

const ParameterTable::Entry* ParameterTable::FindByMnemonic(const QString& upperCaseName) const
{
    if (upperCaseName.isEmpty())
        return nullptr;
    for (const Entry& entry : m_Entries) {
        if (entry.Mnemonic == upperCaseName)
            return &entry;
    }
    return nullptr;
}

double ParameterTable::Normalised(Format format, double value)
{
    return format == Format::Float ? value : std::trunc(value);
}

ParameterTable::WriteResult ParameterTable::Write(int number, double value)
{
    Entry* entry = FindMutable(number);
    if (entry == nullptr || entry->ReadOnly)
        return WriteResult::ReadOnly;
    const double normalised = Normalised(entry->DataFormat, value);
    if (normalised < entry->Minimum || normalised > entry->Maximum)
        return WriteResult::OutOfRange;
    entry->Working = normalised;
    return WriteResult::Written;
}

void ParameterTable::SetWorking(int number, double value)
{
    if (Entry* entry = FindMutable(number))
        entry->Working = Normalised(entry->DataFormat, value);
}

void ParameterTable::SetStoredAndWorking(int number, double value)
{
    if (Entry* entry = FindMutable(number)) {
        entry->Working = Normalised(entry->DataFormat, value);
        entry->Stored = entry->Working;
    }
}

void ParameterTable::SaveToFlash()
{
    for (Entry& entry : m_Entries)
        entry.Stored = entry.Working;
}

void ParameterTable::LoadFromFlash()
{
    for (Entry& entry : m_Entries)
        entry.Working = entry.Stored;
}

void ParameterTable::RestoreDefaults()
{
    for (Entry& entry : m_Entries) {
        entry.Working = entry.Default;
        entry.Stored = entry.Default;
    }
}

QString ParameterTable::FormatValue(Format format, double value)
{
    if (format != Format::Float)
        return QString::number(static_cast<qlonglong>(std::trunc(value)));
    // 'g' with seven digits drops trailing zeros; -0 would look odd in a terminal.
    return QString::number(value == 0.0 ? 0.0 : value, 'g', 7);
}

QString ParameterTable::FormatWorking(int number) const
{
    const Entry* entry = Find(number);
    return entry != nullptr ? FormatValue(entry->DataFormat, entry->Working) : QString();
}

QString ParameterTable::RangeText(int number) const
{
    const Entry* entry = Find(number);
    if (entry == nullptr)
        return QString();
    return FormatValue(entry->DataFormat, entry->Minimum) + QLatin1String(" to ") +
           FormatValue(entry->DataFormat, entry->Maximum);
}

} // namespace Orvex
