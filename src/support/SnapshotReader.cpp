#include "SnapshotReader.h"

#include "SnapshotText.h"
#include "Windows1252.h"

#include <QHash>

namespace Orvex {

namespace {

// "name=value<tabs>;description"; the value ends at the tabs before the ";".
std::optional<SnapshotReader::Row> ParseRow(const QString& line)
{
    const qsizetype equals = line.indexOf(u'=');
    const qsizetype semicolon = line.indexOf(u';', equals + 1);
    if (equals <= 0 || semicolon < 0)
        return std::nullopt;
    QString value = line.mid(equals + 1, semicolon - equals - 1);
    while (value.endsWith(u'\t'))
        value.chop(1);
    return SnapshotReader::Row{line.left(equals), value, line.mid(semicolon + 1)};
}

bool HasRows(const QString& title)
{
    return title == SnapshotReader::ConfigurationTitle || title == SnapshotReader::BitStatusTitle ||
           title == SnapshotReader::NumericStatusTitle;
}

} // namespace

QString SnapshotReader::Decode(const QByteArray& bytes)
{
    return FromWindows1252(bytes);
}

SnapshotReader SnapshotReader::FromBytes(const QByteArray& bytes)
{
    return FromText(Decode(bytes));
}

SnapshotReader SnapshotReader::FromText(const QString& text)
{
    SnapshotReader reader;
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    const QString separator = QLatin1String(SnapshotSeparator);
    Section* current = nullptr;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        // separator, "; title", separator
        if (line == separator && i + 2 < lines.size() && lines[i + 1].startsWith(u';') &&
            lines[i + 2].startsWith(separator)) {
            QString title = lines[i + 1].mid(1).trimmed();
            reader.m_sections.push_back({title, {}, {}});
            current = &reader.m_sections.back();
            i += 2;
            continue;
        }
        if (current == nullptr || line.isEmpty())
            continue;
        current->Lines << line;
        if (HasRows(current->Title)) {
            if (const std::optional<Row> row = ParseRow(line))
                current->Rows.push_back(*row);
        }
    }
    return reader;
}

const SnapshotReader::Section* SnapshotReader::Find(const QString& title) const
{
    for (const Section& section : m_sections) {
        if (section.Title == title)
            return &section;
    }
    return nullptr;
}

std::optional<QString> SnapshotReader::Value(const QString& title, const QString& name) const
{
    if (const Section* section = Find(title)) {
        for (const Row& row : section->Rows) {
            if (row.Name == name)
                return row.Value;
        }
    }
    return std::nullopt;
}

std::vector<SnapshotReader::Difference> SnapshotReader::Compare(const SnapshotReader& before,
                                                                const SnapshotReader& after)
{
    std::vector<Difference> differences;
    for (const QString& title : {ConfigurationTitle, BitStatusTitle, NumericStatusTitle}) {
        const Section* first = before.Find(title);
        const Section* second = after.Find(title);
        const std::vector<Row> none;
        const std::vector<Row>& oldRows = first != nullptr ? first->Rows : none;
        const std::vector<Row>& newRows = second != nullptr ? second->Rows : none;
        QHash<QString, QString> newValues;
        for (const Row& row : newRows)
            newValues.insert(row.Name, row.Value);
        QHash<QString, bool> seen;
        for (const Row& row : oldRows) {
            seen.insert(row.Name, true);
            const auto found = newValues.constFind(row.Name);
            if (found == newValues.constEnd())
                differences.push_back({title, row.Name, row.Value, std::nullopt});
            else if (*found != row.Value)
                differences.push_back({title, row.Name, row.Value, *found});
        }
        for (const Row& row : newRows) {
            if (!seen.contains(row.Name))
                differences.push_back({title, row.Name, std::nullopt, row.Value});
        }
    }
    return differences;
}

} // namespace Orvex
