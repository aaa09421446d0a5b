#pragma once

#include <QHash>
#include <QString>

namespace Orvex {

// The cross reference between custom winding names ("W00012"), the custom
// part texts the user picks them by, and the base series that names a part.
class CrossReference
{
public:
    struct Entry
    {
        QString CustomWinding;
        QString CustomPart;
        QString BaseSeries;
    };

    // Fails, leaving the table unchanged, when the winding name or a non-empty
    // custom part text is already there: either lookup would become ambiguous.
    bool Add(const Entry& entry);

    int Count() const { return static_cast<int>(m_byWinding.size()); }
    // Empty when unknown.
    QString CustomWindingOfPart(const QString& customPart) const;
    QString CustomPartOfWinding(const QString& customWinding) const;
    QString BaseSeriesOfWinding(const QString& customWinding) const;

private:
    QHash<QString, Entry> m_byWinding;
    QHash<QString, QString> m_windingByPart;
};

} // namespace Orvex
