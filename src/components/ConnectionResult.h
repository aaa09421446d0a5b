#pragma once

#include <QString>

namespace Orvex {

// The text of a connection test answer: -1 "Successfully communicated with
// Orvex drive", 1 to 6 the failures, anything else "Unexpected error".
QString ConnectionResultText(int answer);

} // namespace Orvex
