#pragma once

#include <QString>

namespace Orvex {

// The program's full product version, e.g. "1.0.0.0001".
QString ProductVersion();
// The version without its final five characters, as the title shows it ("1.0.0").
QString TitleVersion(const QString& productVersion);

inline constexpr char ProgramName[] = "Orvex Support Tool";

} // namespace Orvex
