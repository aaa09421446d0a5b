#include "CrossReference.h"

namespace Orvex {

bool CrossReference::Add(const Entry& entry)
{
    if (m_byWinding.contains(entry.CustomWinding)) {
        return false;
    }
    if (!entry.CustomPart.isEmpty()) {
        if (m_windingByPart.contains(entry.CustomPart)) {
            return false;
        }
        m_windingByPart.insert(entry.CustomPart, entry.CustomWinding);
    }
    m_byWinding.insert(entry.CustomWinding, entry);
    return true;
}

QString CrossReference::CustomWindingOfPart(const QString& customPart) const
{
    return m_windingByPart.value(customPart);
}

QString CrossReference::CustomPartOfWinding(const QString& customWinding) const
{
    const auto it = m_byWinding.constFind(customWinding);
    return it == m_byWinding.cend() ? QString() : it->CustomPart;
}

QString CrossReference::BaseSeriesOfWinding(const QString& customWinding) const
{
    const auto it = m_byWinding.constFind(customWinding);
    return it == m_byWinding.cend() ? QString() : it->BaseSeries;
}

} // namespace Orvex
