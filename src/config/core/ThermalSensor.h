#pragma once

#include <array>

namespace Orvex {

// The motor thermal sensor as the wizard shows it, a type and its
// construction, and the one code the drive keeps for both:
//   0 normally closed switch, 1 positive temperature coefficient thermistor,
//   2 normally open switch,   3 negative temperature coefficient thermistor.
namespace ThermalSensor {

inline constexpr int Switch = 0;
inline constexpr int Thermistor = 1;

// The types in the order the wizard lists them (index = type).
inline constexpr std::array<const char*, 2> TypeNames{"Switch", "Thermistor"};
// The constructions of each type, in the order the wizard lists them.
inline constexpr std::array<std::array<const char*, 2>, 2> ConstructionNames{{
    {"Normally Closed Switch", "Normally Open Switch"},
    {"Positive Temperature Coefficient", "Negative Temperature Coefficient"},
}};

struct Choice
{
    int Type = Switch;
    int Construction = 0;

    friend bool operator==(const Choice&, const Choice&) = default;
};

} // namespace ThermalSensor

// The drive's code for a sensor type and construction (list indexes). A type
// or construction outside its list counts as the first entry, as a list with
// nothing picked would.
int ThermalSensorCode(int type, int construction);

// The type and construction of a code. Odd codes are thermistors; codes 2
// and 3 are the second construction of their type. A code the drive does not
// define reads as its default, the normally closed switch.
ThermalSensor::Choice ThermalSensorOfCode(int code);

} // namespace Orvex
