#pragma once

#include <QString>

#include <array>

namespace Orvex {

// One of the terminal's user buttons: the caption it shows and the drive
// command it sends (followed by a carriage return).
struct CUserButtonInfo
{
    QString Label;
    QString Command;

    friend bool operator==(const CUserButtonInfo&, const CUserButtonInfo&) = default;
};

inline constexpr int UserButtonCount = 12;

// The twelve entries in button order 1 to 12.
using UserButtonEntries = std::array<CUserButtonInfo, UserButtonCount>;

// "User Button %d" with the button's number, 1 to 12.
QString DefaultUserButtonLabel(int number);

// Every label "User Button %d", every command empty.
std::array<CUserButtonInfo, 12> DefaultUserButtons();

} // namespace Orvex
