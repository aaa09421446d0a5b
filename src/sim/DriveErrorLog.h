#pragma once

#include <QString>
#include <QStringList>

#include <deque>

namespace Orvex {

// The drive's fault log: the 14-bit mask of logged fault kinds and the
// entries written when a fault of a logged kind occurs.
class DriveErrorLog
{
public:
    // The fourteen kinds, as bits of the mask.
    static constexpr int AllKinds = 0x3FFF;
    // The oldest entries make room for new ones beyond this.
    static constexpr int Capacity = 64;

    // The mask bit of the kind error bit belongs to; 0 for bits never logged.
    static int KindOfBit(int bit);

    int Mask() const { return m_Mask; }
    void SetMask(int mask) { m_Mask = mask & AllKinds; }

    // Appends an entry when bit's kind is in the mask; answers whether it did.
    bool Record(int bit, const QString& name, qint64 poweredUpMinutes);
    void Clear() { m_Entries.clear(); }
    int Count() const { return static_cast<int>(m_Entries.size()); }

    // "<n> <hours>:<minutes> E<nn> <name>" per entry, oldest first.
    QStringList Lines() const;

private:
    struct Entry
    {
        qint64 Minutes = 0;
        int Bit = 0;
        QString Name;
    };

    int m_Mask = AllKinds;
    std::deque<Entry> m_Entries;
};

} // namespace Orvex
