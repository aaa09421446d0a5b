#pragma once

#include <QString>

#include <array>
#include <cstdint>

class QSettings;

namespace Orvex {

// One kind of fault event the drive may log, with its bit in the drive's log
// mask and the profile key that remembers whether the user wants it logged.
struct ErrorLogEvent
{
    std::uint16_t Bit;
    const char* Key;
    const char* ObjectName;
    const char* Label;
};

inline constexpr int ErrorLogEventCount = 14;
extern const std::array<ErrorLogEvent, ErrorLogEventCount> ErrorLogEvents;

// Which events are ticked, in the order of ErrorLogEvents.
using ErrorLogSelection = std::array<bool, ErrorLogEventCount>;

// Reads the "ErrorLogSettings" group: a missing key counts as ticked, any
// value but the exact text "Yes" as not ticked.
ErrorLogSelection ReadErrorLogSettings(QSettings& settings);
// Writes every key as "Yes" or "No".
void WriteErrorLogSettings(QSettings& settings, const ErrorLogSelection& selection);

std::uint16_t ErrorLogMask(const ErrorLogSelection& selection);
// The drive command that sets the log mask: "ERRORL=h" and four upper-case
// hexadecimal digits, then a carriage return.
QString ErrorLogMaskCommand(std::uint16_t mask);

} // namespace Orvex
