#pragma once

#include <QString>

namespace Orvex {

// One drive error code of the command database, as text exactly as the file
// gives it.
struct COrvexErrorCommand
{
    QString m_Number; // two digits with a leading zero ("07")
    QString m_Name;
};

} // namespace Orvex
