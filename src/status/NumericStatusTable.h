#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <variant>

namespace Orvex {

class IOrvexStatus;

// How a numeric status value reads from the status object, and how it shows.
using NumericStatusFloatGetter = float (IOrvexStatus::*)();
using NumericStatusIntGetter = int (IOrvexStatus::*)();
using NumericStatusTextGetter = QString (IOrvexStatus::*)();
using NumericStatusGetter =
    std::variant<NumericStatusFloatGetter, NumericStatusIntGetter, NumericStatusTextGetter>;

// One numeric status item: row heading, the bit that selects it for
// UploadNumericStatus, its descriptions for rotary and linear motors, and the
// status object's getter. Descriptions are UTF-8.
struct NumericStatusRow
{
    const char* Label;
    std::uint32_t ItemBit;
    const char* RotaryDescription;
    const char* LinearDescription;
    NumericStatusGetter Getter;
    // Multi-line text that shows on one line ("\r\n" becomes a space).
    bool OneLine = false;
};

inline constexpr int NumericStatusRowCount = 24;

// The numeric status items in display order; the item bits are not in row order.
extern const std::array<NumericStatusRow, NumericStatusRowCount> NumericStatusTable;

// The row's description for the motor type.
QString NumericStatusDescription(const NumericStatusRow& row, bool motorIsLinear);

// Reads the row's value from an uploaded status object and formats it: floats
// "%.2f", integers "%d", text as it stands. Throws what the getter throws.
QString ReadNumericStatusText(IOrvexStatus& status, const NumericStatusRow& row);

} // namespace Orvex
