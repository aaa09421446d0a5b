#include "ConnectionResult.h"

namespace Orvex {

QString ConnectionResultText(int answer)
{
    switch (answer) {
    case -1:
        return QStringLiteral("Successfully communicated with Orvex drive");
    case 1:
        return QStringLiteral("Invalid COM port number");
    case 2:
        return QStringLiteral("Unable to open COM port");
    case 3:
        return QStringLiteral("No response from Orvex drive");
    case 4:
        return QStringLiteral("Incorrect response from Orvex drive");
    case 5:
        return QStringLiteral("OS needs to be downloaded");
    case 6:
        return QStringLiteral("Cycle power and download OS");
    default:
        return QStringLiteral("Unexpected error");
    }
}

} // namespace Orvex
