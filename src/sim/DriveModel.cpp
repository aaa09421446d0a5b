#include "DriveModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Orvex {

namespace {

constexpr double TwoPi = 2.0 * std::numbers::pi;
// The mechanics are integrated in finer steps than the current loop so that a
// shaft resonance of a few hundred hertz stays accurate.
constexpr int MechanicalSubsteps = 4;
// Below this speed (rad/s) a shaft held by stiction counts as standing still.
constexpr double StuckSpeed = 0.01;

// Gain scales: what a gain of 1 means, in hertz.
constexpr double VelocityCrossingHz = 25.0;
constexpr double VelocityIntegralHz = 5.0;
constexpr double PositionCrossingHz = 25.0;
constexpr double PositionIntegralHz = 2.0;
constexpr double PivVelocityHz = 50.0;

double Limit(double value, double limit)
{
    return std::clamp(value, -limit, limit);
}

} // namespace

DriveModel::DriveModel(const Settings& settings, const Load& load)
    : m_Settings(settings), m_Plant(settings.Machine), m_Random(settings.Imperfect.Seed)
{
    const MotorFactors& factors = settings.TrueMotor;
    m_Plant.Resistance *= factors.Resistance;
    m_Plant.Inductance *= factors.Inductance;
    m_Plant.TorqueConstant *= factors.TorqueConstant;
    m_Plant.BackEmfConstant *= factors.BackEmfConstant;
    m_Plant.RotorInertia *= factors.RotorInertia;
    m_Plant.Friction *= factors.Friction;

    const Motor& motor = m_Plant;
    m_LoadInertia = std::max(load.InertiaRatio, 0.0) * motor.RotorInertia;
    if (m_LoadInertia > 0.0 && load.ResonanceHz > 0.0) {
        // Two masses on a spring resonate at sqrt(k (1/Jm + 1/Jl)).
        const double reduced =
            motor.RotorInertia * m_LoadInertia / (motor.RotorInertia + m_LoadInertia);
        const double omega = TwoPi * load.ResonanceHz;
        m_Stiffness = omega * omega * reduced;
        m_ShaftDamping = 2.0 * load.DampingRatio * std::sqrt(m_Stiffness * reduced);
    }
    m_CurrentDecay = std::exp(-motor.Resistance * TickSeconds / motor.Inductance);
    if (m_Settings.Machine.SpeedFilterHz > 0.0)
        m_SpeedFilterGain = 1.0 - std::exp(-TwoPi * m_Settings.Machine.SpeedFilterHz * LoopSeconds);
    m_LeadLag = MakeLeadLag(m_Settings.Filter.LeadHz, m_Settings.Filter.LagHz);
    m_NotchA = MakeNotch(m_Settings.Filter.A);
    m_NotchB = MakeNotch(m_Settings.Filter.B);
}

void DriveModel::SetPositionReference(double counts, double rps, double rpsPerSecond)
{
    const double radPerCount = TwoPi / m_Settings.Machine.CountsPerRev;
    m_PositionReference = counts * radPerCount;
    m_SpeedFeedForward = rps * TwoPi;
    m_AccelFeedForward = rpsPerSecond * TwoPi;
}

double DriveModel::CurrentCommand() const
{
    const double reference =
        m_Mode == Mode::FluxCurrent || m_Mode == Mode::Torque ? m_CurrentReference : m_LoopCommand;
    return Limit(reference, m_Settings.Machine.PeakCurrent);
}

double DriveModel::EncoderCounts() const
{
    return std::floor(m_MotorAngle / TwoPi * m_Settings.Machine.CountsPerRev);
}

double DriveModel::Position() const
{
    return EncoderCounts();
}

double DriveModel::LoadPosition() const
{
    return (m_LoadInertia > 0.0 ? m_LoadAngle : m_MotorAngle) / TwoPi *
           m_Settings.Machine.CountsPerRev;
}

double DriveModel::Gaussian()
{
    if (m_HasSpareGaussian) {
        m_HasSpareGaussian = false;
        return m_SpareGaussian;
    }
    // Box-Muller on 53-bit uniforms: the same numbers on every platform.
    const double u1 = (static_cast<double>(m_Random() >> 11) + 1.0) * 0x1.0p-53; // (0, 1]
    const double u2 = static_cast<double>(m_Random() >> 11) * 0x1.0p-53;
    const double radius = std::sqrt(-2.0 * std::log(u1));
    m_SpareGaussian = radius * std::sin(TwoPi * u2);
    m_HasSpareGaussian = true;
    return radius * std::cos(TwoPi * u2);
}

void DriveModel::Tick()
{
    const Motor& motor = m_Plant;
    const CurrentLoop& gains = m_Settings.Current;
    const Imperfections& imperfect = m_Settings.Imperfect;
    if (m_Ticks % TicksPerLoop == 0)
        RunOuterLoop();

    // What the loop worked out from the last sample is put across the winding
    // now and held by the PWM for the whole period; this period's sample gives
    // the next period's voltage.
    const double voltage = m_HeldVoltage;
    const double error = CurrentCommand() - m_SensedCurrent;
    m_CurrentIntegral = Limit(m_CurrentIntegral + gains.Ki * error, gains.IntegralLimit);
    m_HeldVoltage = Limit(gains.Kp * error + m_CurrentIntegral, motor.SupplyVoltage);

    // The winding over one period with the voltage held: exact for R and L.
    const bool producesTorque = m_Mode != Mode::FluxCurrent;
    const double backEmf = producesTorque ? motor.BackEmfConstant * m_MotorSpeed : 0.0;
    const double next = m_Current * m_CurrentDecay +
                        (1.0 - m_CurrentDecay) * (voltage - backEmf) / motor.Resistance;
    double torque = producesTorque ? motor.TorqueConstant * 0.5 * (m_Current + next) : 0.0;
    if (imperfect.TorqueRipple != 0.0)
        torque *= 1.0 + imperfect.TorqueRipple * std::sin(RippleCycles * m_MotorAngle);
    m_Current = next;
    RunMechanics(torque);

    // The current sensor samples the winding for the next period.
    double sensed = m_Current;
    if (imperfect.CurrentNoise > 0.0)
        sensed += imperfect.CurrentNoise * Gaussian();
    if (imperfect.CurrentQuantum > 0.0)
        sensed = std::round(sensed / imperfect.CurrentQuantum) * imperfect.CurrentQuantum;
    m_SensedCurrent = sensed;
    ++m_Ticks;
}

void DriveModel::RunMechanics(double torque)
{
    const Motor& motor = m_Plant;
    const double stiction = m_Settings.Imperfect.Stiction;
    const double dt = TickSeconds / MechanicalSubsteps;
    for (int step = 0; step < MechanicalSubsteps; ++step) {
        double shaft = 0.0;
        if (m_LoadInertia > 0.0) {
            shaft = m_Stiffness > 0.0 ? m_Stiffness * (m_MotorAngle - m_LoadAngle) +
                                            m_ShaftDamping * (m_MotorSpeed - m_LoadSpeed)
                                      : 0.0;
        }
        const double rigidInertia =
            m_Stiffness > 0.0 ? motor.RotorInertia : motor.RotorInertia + m_LoadInertia;
        const double driving = torque - motor.Damping * m_MotorSpeed - shaft;
        if (stiction > 0.0 && std::abs(m_MotorSpeed) < StuckSpeed &&
            std::abs(driving) <= motor.Friction + stiction) {
            // Standing still, the shaft stays until the torque on it
            // overcomes friction and stiction together.
            m_MotorSpeed = 0.0;
        } else {
            // Coulomb friction, smoothed near standstill.
            const double friction = motor.Friction * std::tanh(m_MotorSpeed / 0.05);
            m_MotorSpeed += (driving - friction) / rigidInertia * dt;
        }
        m_MotorAngle += m_MotorSpeed * dt;
        if (m_Stiffness > 0.0) {
            m_LoadSpeed += shaft / m_LoadInertia * dt;
            m_LoadAngle += m_LoadSpeed * dt;
        } else {
            m_LoadSpeed = m_MotorSpeed;
            m_LoadAngle = m_MotorAngle;
        }
    }
}

void DriveModel::RunOuterLoop()
{
    const Motor& motor = m_Settings.Machine;
    // The speed is the encoder counts of the last loop period (so it tells
    // the speed of half a period ago, in steps of one count a period),
    // through the velocity feedback filter.
    const double counts = EncoderCounts();
    const double countsSpeed = (counts - m_CountsAtLastLoop) / motor.CountsPerRev / LoopSeconds;
    m_CountsAtLastLoop = counts;
    m_MeasuredVelocity += m_SpeedFilterGain * (countsSpeed - m_MeasuredVelocity);
    const double speed = m_MeasuredVelocity * TwoPi;

    // What was computed last period reaches the current loop now.
    m_LoopCommand = m_PendingCommand;
    if (m_Mode != Mode::Velocity && m_Mode != Mode::Position)
        return;

    const double speedLimit = motor.VelocityLimit * TwoPi;
    // No integration while the current is at its limit, so a move that asks
    // for more than the motor can give does not wind up the integral.
    const bool saturated = std::abs(m_PendingCommand) >= motor.PeakCurrent;
    double torque = 0.0;
    if (m_Mode == Mode::Velocity) {
        const VelocityLoop& gains = m_Settings.Velocity;
        const double inertia = motor.RotorInertia * (1.0 + gains.InertiaRatio);
        const double crossing = TwoPi * VelocityCrossingHz * gains.Kp;
        const double corner = TwoPi * VelocityIntegralHz * gains.Ki;
        const double error = Limit(m_VelocityReference * TwoPi, speedLimit) - speed;
        const double integralLimit =
            std::min(gains.IntegralLimit, 100.0) / 100.0 * motor.PeakCurrent * motor.TorqueConstant;
        if (!saturated)
            m_VelocityIntegral =
                Limit(m_VelocityIntegral + inertia * crossing * corner * error * LoopSeconds,
                      integralLimit);
        torque = inertia * crossing * error + m_VelocityIntegral;
    } else {
        const PositionLoop& gains = m_Settings.Position;
        const double inertia = motor.RotorInertia * (1.0 + m_Settings.Velocity.InertiaRatio);
        const double positionGain = TwoPi * PositionCrossingHz * gains.Kp;
        const double corner = TwoPi * PositionIntegralHz * gains.Ki;
        const double velocityGain = TwoPi * PivVelocityHz * gains.Kv;
        const double error = m_PositionReference - counts / motor.CountsPerRev * TwoPi;
        const double integralLimit = std::min(gains.IntegralLimit, 100.0) / 100.0 * speedLimit;
        if (!saturated)
            m_PositionIntegral = Limit(
                m_PositionIntegral + positionGain * corner * error * LoopSeconds, integralLimit);
        const double speedCommand =
            Limit(gains.Kvff * m_SpeedFeedForward + positionGain * error + m_PositionIntegral,
                  speedLimit);
        torque = inertia * velocityGain * (speedCommand - speed) +
                 gains.Kaff * inertia * m_AccelFeedForward;
    }
    double current = torque / motor.TorqueConstant;
    current = m_NotchB.Run(m_NotchA.Run(m_LeadLag.Run(current)));
    m_PendingCommand = Limit(current, motor.PeakCurrent);
}

double DriveModel::Biquad::Run(double x)
{
    if (!Active)
        return x;
    const double y = B0 * x + S1;
    S1 = B1 * x - A1 * y + S2;
    S2 = B2 * x - A2 * y;
    return y;
}

DriveModel::Biquad DriveModel::Bilinear(double b0, double b1, double b2, double a0, double a1,
                                        double a2, double warpRadPerSecond)
{
    // s = K (1 - 1/z) / (1 + 1/z), K chosen so warpRadPerSecond maps exactly.
    const double k = warpRadPerSecond / std::tan(warpRadPerSecond * LoopSeconds / 2.0);
    const double kk = k * k;
    const double n0 = b0 * kk + b1 * k + b2;
    const double n1 = 2.0 * (b2 - b0 * kk);
    const double n2 = b0 * kk - b1 * k + b2;
    const double d0 = a0 * kk + a1 * k + a2;
    const double d1 = 2.0 * (a2 - a0 * kk);
    const double d2 = a0 * kk - a1 * k + a2;
    Biquad filter;
    filter.B0 = n0 / d0;
    filter.B1 = n1 / d0;
    filter.B2 = n2 / d0;
    filter.A1 = d1 / d0;
    filter.A2 = d2 / d0;
    filter.Active = true;
    return filter;
}

DriveModel::Biquad DriveModel::MakeNotch(const Notch& notch)
{
    const double nyquist = 0.5 / LoopSeconds;
    if (notch.FrequencyHz <= 0.0 || notch.Depth <= 0.0 || notch.FrequencyHz >= 0.9 * nyquist)
        return {};
    const double omega = TwoPi * notch.FrequencyHz;
    const double poleDamping = 1.0 / (2.0 * std::max(notch.Quality, 0.1));
    // The gain at the centre is 1 - depth.
    const double zeroDamping = poleDamping * (1.0 - std::clamp(notch.Depth, 0.0, 1.0));
    return Bilinear(1.0, 2.0 * zeroDamping * omega, omega * omega, 1.0, 2.0 * poleDamping * omega,
                    omega * omega, omega);
}

DriveModel::Biquad DriveModel::MakeLeadLag(double leadHz, double lagHz)
{
    if (leadHz <= 0.0 || lagHz <= 0.0)
        return {};
    // (1 + s/lead) / (1 + s/lag): from the lag break the gain falls, from the
    // lead break it levels out again at lag/lead.
    const double lead = TwoPi * leadHz;
    const double lag = TwoPi * lagHz;
    return Bilinear(0.0, 1.0 / lead, 1.0, 0.0, 1.0 / lag, 1.0, std::sqrt(lead * lag));
}

} // namespace Orvex
