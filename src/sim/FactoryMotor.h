#pragma once

#include "ConfigFields.h"

namespace Orvex {

// The motor the simulated drive was set up for when it left the factory: a
// BE23A1E with heat sink cooling (key "HS"), configured and saved, as a real
// drive delivered with its motor comes. The values are the first record of the
// shipped motor database, in the drive parameters the configuration object
// writes them to, so that an upload from a fresh drive finds that record again.
namespace FactoryMotor {

inline constexpr char PartNumber[] = "BE23A1E";

struct Setting
{
    ConfigField Field;
    double Value;
};

// clang-format off
inline constexpr Setting Settings[] = {
    {ConfigFields::MotorIsLinear, 0},
    {ConfigFields::MotorRatedSpeed, 100.00},
    {ConfigFields::MotorPolePairs, 4},
    {ConfigFields::MotorInertia, 14.00},
    {ConfigFields::MotorDamping, 6.00},
    {ConfigFields::MotorThermalTimeConstant, 12.00},
    {ConfigFields::WindingThermalTimeConstant, 0.60},
    {ConfigFields::ThermalResistance, 5.45},
    {ConfigFields::AmbientTemperature, 40},
    {ConfigFields::MaxWindingTemperature, 155},
    {ConfigFields::MotorKe, 18.00},
    {ConfigFields::ContinuousCurrent, 1.51},
    {ConfigFields::ContinuousCurrentDerating, 0},
    {ConfigFields::PeakCurrent, 4.53},
    {ConfigFields::WindingResistance, 6.155},
    {ConfigFields::MaxInductance, 13.54},
    {ConfigFields::InductanceRatio, 11.51 / 13.54}, // minimum over maximum inductance
    {ConfigFields::FeedbackResolution, 8000},
    {ConfigFields::CurrentLoopKp, 24.68},
    {ConfigFields::CurrentLoopKi, 0.29},
    {ConfigFields::CurrentLoopIntegralLimit, 128},
    {ConfigFields::PwmFrequency, 16},
    {ConfigFields::CoolingCode, 0},         // "HS"
    {ConfigFields::CustomWindingNumber, 0}, // a catalogue winding
};
// clang-format on

} // namespace FactoryMotor

} // namespace Orvex
