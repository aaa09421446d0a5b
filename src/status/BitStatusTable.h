#pragma once

#include <QColor>
#include <QString>

#include <array>

namespace Orvex {

// One row of the drive's bit status: the grid heading, the bit's category and
// the description the user reads.
struct BitStatusRow
{
    const char* Label;
    int Category;
    const char* Description;
};

inline constexpr int BitStatusRowCount = 66;
// Rows 0..63 are the error bits by bit number, then the two status outputs.
inline constexpr int DriveFaultOutputRow = 64;
inline constexpr int BrakeRelayRow = 65;

// The drive's 64 error and warning bits and its two status outputs.
extern const std::array<BitStatusRow, BitStatusRowCount> BitStatusTable;

// Bit categories of the table.
enum BitCategory : int
{
    ConfigurationWarning = 0,
    ConfigurationError = 1,
    ReservedFirst = 2,
    OperationalWarning = 3,
    OperationalFault = 4,
    NotReady = 5,
    ReservedSecond = 6,
};

// The text and background a status cell shows.
struct BitStatusLook
{
    QString Text;
    QColor Background;
};

QColor StatusRed();
QColor StatusYellow();
QColor StatusGreen();
QColor StatusLightGrey();

// How a bit of that category reads when set or clear; unknown categories read
// "Unknown" on light grey when set.
BitStatusLook BitLook(int category, bool set);
// How a status output reads: "Not ready" on red when on, "Ready" on green.
BitStatusLook OutputLook(bool on);

} // namespace Orvex
