#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace Orvex {

// One command line as the drive splits it: the name, upper case, and the
// value written after "=" or a space.
struct DriveCommandLine
{
    QString Name;
    bool HasValue = false;
    QString Value; // trimmed

    // line has no CR; leading and trailing blanks do not count.
    static DriveCommandLine Parse(const QByteArray& line);

    // The value as a finite decimal number ("-12", "0.25", "1.5e3"), or
    // nothing when it is not one.
    static std::optional<double> Number(const QString& text);
    // "h" followed by one to eight hexadecimal digits, or nothing.
    static std::optional<quint32> PrefixedHex(const QString& text);
    // "P16", "P016": the digits after prefix (1 to maxDigits of them).
    static std::optional<int> Indexed(const QString& name, QChar prefix, int maxDigits);
};

} // namespace Orvex
