#pragma once

#include <array>

namespace Orvex {

// The rules of the wizard's control mode and drive limits step without its
// widgets: the default limits and current loop gains it derives from the
// motor's data, and the codes its radios and combos stand for.
namespace DriveSetup {

// The peak torque in Nm of a rotary motor (Ke in V/krpm) or the peak force
// in N of a linear one (Ke in V/m/s) at the peak current in Arms.
double TorqueOrForceLimit(double ke, double peakCurrent, bool linear);

// Current loop gains for a motor described by hand: from its maximum
// inductance in mH, and from its winding resistance in Ohm (never below 0.13).
double DerivedKp(double maxInductance);
double DerivedKi(double windingResistance);

// The control modes in the order of the step's radios: torque, step and
// direction, step and reversed direction, velocity.
inline constexpr std::array<int, 4> ControlModeCodes{2, 6, 7, 4};
// The radio of a control mode code; the torque radio for any other code.
int ControlModeRadio(int code);

// The commutation combo: "Sinusoidal", "Trapezoidal", "DC Brushed",
// "Hall-Less". Index -1 (nothing selected) is code -1.
int CommutationCode(int index);
// Codes the combo cannot show select its first entry; code 3 asks for an
// entry the combo does not have.
int CommutationIndex(int code);

} // namespace DriveSetup

} // namespace Orvex
