#pragma once

#include "UserButtonInfo.h"

class QSettings;

namespace Orvex {

// The terminal keeps its user buttons in the profile section "UserButtons",
// keys "Label%d" and "Command%d"; missing keys give the default entry.
std::array<CUserButtonInfo, 12> ReadUserButtons(QSettings& settings);
void WriteUserButtons(QSettings& settings, const std::array<CUserButtonInfo, 12>& entries);

} // namespace Orvex
