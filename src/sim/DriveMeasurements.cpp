#include "DriveMeasurements.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Orvex {

namespace {

constexpr double DriveTimeConstantMs = 10.0 * 60'000.0;

// First-order approach of value to target over dt with time constant tau.
double Approach(double value, double target, double dtMs, double tauMs)
{
    if (tauMs <= 0.0)
        return target;
    return target + (value - target) * std::exp(-dtMs / tauMs);
}

} // namespace

void DriveMeasurements::PowerUp(qint64 nowMs, double motorAmbient)
{
    m_LastMs = nowMs;
    m_DriveTemperature = DriveAmbient;
    m_MotorTemperature = motorAmbient;
    m_Current = m_Torque = m_CommandedVelocity = m_FeedbackVelocity = 0.0;
    m_Revolutions = 0.0;
}

void DriveMeasurements::Advance(qint64 nowMs, const Conditions& c)
{
    const double dtMs = static_cast<double>(std::max<qint64>(0, nowMs - m_LastMs));
    m_LastMs = std::max(m_LastMs, nowMs);
    m_Resolution = c.FeedbackResolution > 0.0 ? c.FeedbackResolution : 8000.0;
    m_PolePairs = std::max(1, c.PolePairs);

    const bool running = c.Enabled && c.AutoRun;
    m_Current = running ? AutoRunCurrentShare * c.ContinuousCurrent : 0.0;
    m_Torque = m_Current * c.TorqueConstant;
    m_CommandedVelocity = running ? AutoRunSpeed : 0.0;
    // A little speed ripple, as a real velocity loop shows.
    m_FeedbackVelocity =
        running ? AutoRunSpeed * (1.0 + 0.002 * std::sin(2.0 * std::numbers::pi * nowMs / 700.0))
                : 0.0;
    m_Revolutions += m_CommandedVelocity * dtMs / 1000.0;

    if (c.Enabled)
        m_OperatingMs += static_cast<qint64>(dtMs);

    // The windings heat with I^2 R through their thermal resistance; an
    // enabled drive holds the motor and warms it a little even at rest.
    const double copperLoss = 1.5 * m_Current * m_Current * c.WindingResistance;
    const double motorTarget =
        c.MotorAmbient + (c.Enabled ? 1.5 + c.ThermalResistance * copperLoss : 0.0);
    m_MotorTemperature = Approach(m_MotorTemperature, motorTarget, dtMs,
                                  std::max(0.1, c.MotorTimeConstant) * 60'000.0);
    const double driveTarget = DriveAmbient + (c.Enabled ? 6.0 + 0.8 * m_Current : 0.0);
    m_DriveTemperature = Approach(m_DriveTemperature, driveTarget, dtMs, DriveTimeConstantMs);
}

double DriveMeasurements::BusVoltage() const
{
    const double t = static_cast<double>(m_LastMs) / 1000.0;
    const double ripple = 1.2 * std::sin(2.0 * std::numbers::pi * 0.37 * t) +
                          0.4 * std::sin(2.0 * std::numbers::pi * 1.13 * t);
    return 320.0 + ripple - 0.8 * m_Current;
}

qint64 DriveMeasurements::CommandedPosition() const
{
    return std::llround(m_Revolutions * m_Resolution);
}

qint64 DriveMeasurements::FeedbackPosition() const
{
    return CommandedPosition();
}

int DriveMeasurements::HallState() const
{
    // Six electrical sectors per pole pair, Gray-coded as the Hall sensors give them.
    static constexpr int Codes[6] = {1, 3, 2, 6, 4, 5};
    const double electrical = m_Revolutions * m_PolePairs;
    const double fraction = electrical - std::floor(electrical);
    return Codes[std::clamp(static_cast<int>(fraction * 6.0), 0, 5)];
}

} // namespace Orvex
