#pragma once

#include <QString>

namespace Orvex {

// One drive parameter of the command database, as text exactly as the file
// gives it; start-up copies its limits into ParameterLimits.
struct COrvexParameterCommand
{
    QString m_Number; // three digits with leading zeros ("001")
    QString m_EquivalentCommand;
    QString m_Name;
    QString m_DataFormat;
    QString m_Minimum;
    QString m_Maximum;
    QString m_Default;
    QString m_Units;
};

} // namespace Orvex
