#include "UiServices.h"

#include <QStringList>

namespace Orvex {

QString ToolkitFileFilter(const QString& classicFilter)
{
    const QStringList parts = classicFilter.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // "Button Files(*.btn)" already names its patterns the toolkit's way.
        const QString& description = parts.at(i);
        if (description.endsWith(QLatin1Char('(') + patterns + QLatin1Char(')')))
            filters << description;
        else
            filters << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    if (parts.size() % 2 == 1)
        filters << parts.last();
    return filters.join(QStringLiteral(";;"));
}

} // namespace Orvex
