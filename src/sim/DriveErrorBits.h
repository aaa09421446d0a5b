#pragma once

#include <QtGlobal>

// The firmware's own knowledge of its 64 error bits: which ones latch as
// faults, which are warnings and which it derives from its state. The bits'
// names come from the command database.
namespace Orvex::DriveErrorBits {

inline constexpr int MotorConfigurationWarning = 0;
inline constexpr int MotorConfigurationError = 1;
inline constexpr int InvalidCurrentLoopGains = 2;
inline constexpr int MaximumInductanceZero = 3;
inline constexpr int RatedSpeedZero = 4;
inline constexpr int DpoleZero = 5;
inline constexpr int ResistanceZero = 6;
inline constexpr int KeZero = 7;
inline constexpr int ContinuousCurrentZero = 8;
inline constexpr int PeakCurrentZero = 9;
inline constexpr int ContinuousCurrentTooHigh = 10;
inline constexpr int TorqueRatingTooHigh = 11;
inline constexpr int PeakCurrentTooHigh = 12;
inline constexpr int InertiaZero = 13;
inline constexpr int NotchFilterCalculation = 15;
inline constexpr int LeadBelowLag = 16;
inline constexpr int LeadAboveFourLag = 17;
inline constexpr int LagBelow20Hz = 18;
inline constexpr int DriveDisabled = 39;
inline constexpr int NoHardwareEnable = 46;

constexpr quint64 Bit(int n)
{
    return quint64(1) << n;
}

// Configuration errors: enabling is refused while one is set.
inline constexpr quint64 ConfigurationErrors = Bit(1) | Bit(2) | Bit(3) | Bit(4) | Bit(5) | Bit(6) |
                                               Bit(7) | Bit(8) | Bit(9) | Bit(13) | Bit(14);

// Operational faults: they latch, disable the drive and stay until cleared.
inline constexpr quint64 OperationalFaults =
    Bit(25) | Bit(26) | Bit(27) | Bit(28) | Bit(29) | Bit(30) | Bit(32) | Bit(33) | Bit(34) |
    Bit(35) | Bit(36) | Bit(37) | Bit(38) | Bit(40) | Bit(43) | Bit(44) | Bit(45) | Bit(47);

// Bits the drive sets from its state on every read; they cannot be latched.
inline constexpr quint64 DerivedBits = Bit(0) | Bit(1) | Bit(2) | Bit(3) | Bit(4) | Bit(5) |
                                       Bit(6) | Bit(7) | Bit(8) | Bit(9) | Bit(10) | Bit(11) |
                                       Bit(12) | Bit(13) | Bit(14) | Bit(15) | Bit(16) | Bit(17) |
                                       Bit(18) | Bit(39) | Bit(46);

} // namespace Orvex::DriveErrorBits
