#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace Orvex {

// A drive snapshot read back from its text: its sections by title and, for the
// configuration, bit and numeric status sections, their rows as name and
// value, so two snapshots can be set side by side.
class SnapshotReader
{
public:
    // One "name=value<tabs>;description" row: the name is what stands before
    // "=" ("P001(MENCRES)", "E39", "S10").
    struct Row
    {
        QString Name;
        QString Value;
        QString Description;
    };

    struct Section
    {
        QString Title;         // without its "; "
        QStringList Lines;     // the lines between the title and the empty line
        std::vector<Row> Rows; // the lines that are rows
    };

    static inline const QString ConfigurationTitle =
        QStringLiteral("Orvex Configuration Parameters");
    static inline const QString BitStatusTitle = QStringLiteral("Orvex Bit Status");
    static inline const QString NumericStatusTitle = QStringLiteral("Orvex Numeric Status");

    // Reads the file's bytes (Windows-1252, CR LF or LF line ends). Lines
    // before the first title are not part of a snapshot; a text without any
    // title reads as no sections.
    static SnapshotReader FromBytes(const QByteArray& bytes);
    static SnapshotReader FromText(const QString& text);

    const std::vector<Section>& Sections() const { return m_sections; }
    const Section* Find(const QString& title) const;
    // The value of a row of a section, or nothing when there is no such row.
    std::optional<QString> Value(const QString& title, const QString& name) const;

    // What differs between two snapshots in the configuration, bit and
    // numeric status sections, row by row.
    struct Difference
    {
        QString Section;
        QString Name;
        std::optional<QString> Before; // nothing: the row is new
        std::optional<QString> After;  // nothing: the row is gone
    };
    static std::vector<Difference> Compare(const SnapshotReader& before,
                                           const SnapshotReader& after);

    // Windows-1252 bytes as text.
    static QString Decode(const QByteArray& bytes);

private:
    std::vector<Section> m_sections;
};

} // namespace Orvex
