#pragma once

#include <QString>

namespace Orvex {

// One "X" action command of the command database, as text exactly as the
// file gives it.
struct COrvexXCommand
{
    QString m_Number; // two digits with a leading zero
    QString m_EquivalentCommand;
    QString m_Name;
};

} // namespace Orvex
