#include "DriveSetup.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Orvex::DriveSetup {

double TorqueOrForceLimit(double ke, double peakCurrent, bool linear)
{
    const double peak = ke * peakCurrent * std::numbers::sqrt2;
    if (linear)
        return peak * 0.865;
    // Ke per 1000 rpm to Nm per A (peak), at the motor's peak current.
    return peak * 60.0 / 1000.0 * 0.5 / std::numbers::pi;
}

double DerivedKp(double maxInductance)
{
    return 1.33 * maxInductance + 6.666;
}

double DerivedKi(double windingResistance)
{
    return std::max(0.42 - 0.0211 * windingResistance, 0.13);
}

int ControlModeRadio(int code)
{
    const auto found = std::find(ControlModeCodes.begin(), ControlModeCodes.end(), code);
    return found == ControlModeCodes.end() ? 0 : int(found - ControlModeCodes.begin());
}

int CommutationCode(int index)
{
    switch (index) {
    case 0:
    case 1:
    case 2:
        return index;
    case 3:
        return 4;
    case 4:
        return 3;
    default:
        return -1;
    }
}

int CommutationIndex(int code)
{
    switch (code) {
    case 1:
    case 2:
        return code;
    case 3:
        return 4;
    case 4:
        return 3;
    default:
        return 0;
    }
}

} // namespace Orvex::DriveSetup
