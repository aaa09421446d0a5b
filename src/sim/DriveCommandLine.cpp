#include "DriveCommandLine.h"

#include <cmath>

namespace Orvex {

DriveCommandLine DriveCommandLine::Parse(const QByteArray& line)
{
    DriveCommandLine result;
    const QString text = QString::fromLatin1(line).trimmed();
    qsizetype end = 0;
    while (end < text.size() && text[end] != u'=' && !text[end].isSpace())
        ++end;
    result.Name = text.left(end).toUpper();
    QString rest = text.mid(end).trimmed();
    if (rest.startsWith(u'='))
        rest = rest.mid(1).trimmed();
    result.HasValue = end < text.size();
    result.Value = rest;
    return result;
}

std::optional<double> DriveCommandLine::Number(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    // toDouble takes "inf" and "nan", which no drive value can be.
    for (const QChar c : text) {
        if (!c.isDigit() && c != u'.' && c != u'-' && c != u'+' && c != u'e' && c != u'E')
            return std::nullopt;
    }
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<quint32> DriveCommandLine::PrefixedHex(const QString& text)
{
    if (text.size() < 2 || text.size() > 9 || (text[0] != u'h' && text[0] != u'H'))
        return std::nullopt;
    quint32 value = 0;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const char c = text[i].toLatin1();
        int digit = 0;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * 16 + static_cast<quint32>(digit);
    }
    return value;
}

std::optional<int> DriveCommandLine::Indexed(const QString& name, QChar prefix, int maxDigits)
{
    if (name.size() < 2 || name.size() > maxDigits + 1 || name[0] != prefix)
        return std::nullopt;
    for (qsizetype i = 1; i < name.size(); ++i) {
        if (!name[i].isDigit())
            return std::nullopt;
    }
    return name.mid(1).toInt();
}

} // namespace Orvex
