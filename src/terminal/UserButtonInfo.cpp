#include "UserButtonInfo.h"

namespace Orvex {

QString DefaultUserButtonLabel(int number)
{
    return QStringLiteral("User Button %1").arg(number);
}

std::array<CUserButtonInfo, 12> DefaultUserButtons()
{
    std::array<CUserButtonInfo, 12> entries;
    for (int k = 0; k < UserButtonCount; ++k)
        entries[k].Label = DefaultUserButtonLabel(k + 1);
    return entries;
}

} // namespace Orvex
