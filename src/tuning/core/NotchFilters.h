#pragma once

#include <QString>

#include <array>

namespace Orvex::NotchFilters {

// The eight values of the notch filter page, in the order of the page and
// of its checks.
enum class Row
{
    DepthA,
    FrequencyA,
    QualityA,
    DepthB,
    FrequencyB,
    QualityB,
    Lead,
    Lag,
};
inline constexpr int RowCount = 8;

enum class Kind
{
    Depth,     // 0 disables; sent as it stands
    Frequency, // 0 disables; a dead band up to the row's lowest working value
    Quality,   // never below 0.5
};

// What the page knows of one row: where it shows, the drive parameter whose
// limits the full check takes, the drive command it sends, its spin range
// and its display format.
struct RowInfo
{
    Row Id;
    Kind Type;
    const char* Group;
    const char* Label;
    int Parameter;
    const char* Command;
    double Minimum;
    double Maximum;
    double Step;
    double Initial;
    const char* Format;
    // The lowest working frequency; 0 for depths and qualities.
    double Threshold;
};

// The quality factor's floor.
inline constexpr double QualityFloor = 0.5;

const std::array<RowInfo, RowCount>& Rows();
const RowInfo& Info(Row row);

// A value typed and entered: a frequency in its dead band becomes 0, a
// quality below the floor the floor; a depth stays.
double SnapEntered(Row row, double value);
// A value after a spin step of steps: a frequency in its dead band jumps
// across it, to its lowest working value when stepping up and to 0 when
// stepping down; a quality keeps its floor; a depth stays.
double SnapStepped(Row row, double value, int steps);

// The drive command for a value, with its carriage return: "DNOTAF 60\r".
QString ValueCommand(Row row, double value);
// The command for a depth entered as typed: "DNOTAD=0.25\r".
QString TypedDepthCommand(Row row, const QString& text);

// The lead/lag filter works only with lead <= 4 * lag.
bool LeadLagHolds(double lead, double lag);

} // namespace Orvex::NotchFilters
