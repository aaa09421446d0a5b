#pragma once

#include <QString>

namespace Orvex {

// One numeric status item of the command database, as text exactly as the
// file gives it.
struct COrvexStatusCommand
{
    QString m_Number; // two digits with a leading zero
    QString m_EquivalentCommand;
    QString m_Name;
    QString m_DataFormat;
    QString m_Units;
};

} // namespace Orvex
