#include "DriveErrorLog.h"

namespace Orvex {

int DriveErrorLog::KindOfBit(int bit)
{
    switch (bit) {
    case 26: // drive fault: the drive shut its bridge down
        return 0x0001;
    case 27:
        return 0x0002;
    case 40:
        return 0x0004;
    case 29:
        return 0x0008;
    case 30:
        return 0x0010;
    case 33:
    case 38:
        return 0x0020;
    case 28:
    case 34:
        return 0x0040;
    case 35:
        return 0x0080;
    case 36:
        return 0x0100;
    case 25:
        return 0x0200;
    case 37:
        return 0x0400;
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
    case 9:
    case 13:
    case 14:
        return 0x0800;
    case 32:
        return 0x1000;
    case 43:
        return 0x2000;
    default:
        return 0;
    }
}

bool DriveErrorLog::Record(int bit, const QString& name, qint64 poweredUpMinutes)
{
    if ((KindOfBit(bit) & m_Mask) == 0)
        return false;
    if (static_cast<int>(m_Entries.size()) >= Capacity)
        m_Entries.pop_front();
    m_Entries.push_back({poweredUpMinutes, bit, name});
    return true;
}

QStringList DriveErrorLog::Lines() const
{
    QStringList lines;
    int n = 1;
    for (const Entry& entry : m_Entries) {
        lines << QStringLiteral("%1 %2:%3 E%4 %5")
                     .arg(n++)
                     .arg(entry.Minutes / 60)
                     .arg(entry.Minutes % 60, 2, 10, QLatin1Char('0'))
                     .arg(entry.Bit, 2, 10, QLatin1Char('0'))
                     .arg(entry.Name);
    }
    return lines;
}

} // namespace Orvex
