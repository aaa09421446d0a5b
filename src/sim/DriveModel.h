#pragma once

#include <random>

namespace Orvex {

// A servo motor with a compliantly coupled load and the drive's current,
// velocity and position loops with their filters, stepped at the drive's
// 16 kHz current loop rate.
//
// The current loop is a PI on the sensed winding current; the voltage it
// computes from one period's sample is put across the winding, held by the
// PWM, through the next period. The velocity loop (PI) and the position loop
// (PIV with velocity and acceleration feed-forward) run at 8 kHz on whole
// encoder counts, the speed being the counts of the last loop period through
// the velocity feedback filter. They scale their gains by the inertia the
// drive believes it drives, the configured rotor inertia times (1 + the
// configured load ratio). Their current command passes through the lead/lag
// filter and the two notches, is limited to the peak current and takes effect
// one loop period later.
class DriveModel
{
public:
    static constexpr double TickSeconds = 62.5e-6;
    static constexpr int TicksPerLoop = 2; // the speed is measured over 2 ticks
    static constexpr double LoopSeconds = TickSeconds * TicksPerLoop;

    // Gain units: the velocity loop's Kp of 1 is a 25 Hz crossing with the
    // configured inertia and its Ki of 1 an integral corner at 5 Hz; the
    // position loop's Kp of 1 is 25 Hz, its Ki of 1 a 2 Hz corner and its Kv
    // of 1 a 50 Hz velocity loop. Integral limits are in percent of the peak
    // current (velocity loop) or of the velocity limit (position loop).
    struct Motor
    {
        double Resistance = 2.0;        // ohm
        double Inductance = 5e-3;       // H
        double TorqueConstant = 0.5;    // Nm/A
        double BackEmfConstant = 0.286; // V s/rad
        double RotorInertia = 100e-6;   // kg m2
        double Damping = 0.0;           // Nm s/rad
        double Friction = 0.0;          // Nm
        double PeakCurrent = 9.0;       // A
        double CountsPerRev = 8000.0;
        double SpeedFilterHz = 0.0;   // the velocity feedback filter's corner, 0 off
        double SupplyVoltage = 160.0; // V, the most the bridge puts across the winding
        double VelocityLimit = 50.0;  // rps
    };
    struct CurrentLoop
    {
        double Kp = 20.0;             // V/A
        double Ki = 0.25;             // V/A added to the integral each 16 kHz period
        double IntegralLimit = 128.0; // V
    };
    struct VelocityLoop
    {
        double Kp = 1.0;
        double Ki = 1.0;
        double IntegralLimit = 1.0; // percent of the peak current
        double InertiaRatio = 0.0;  // as configured
    };
    struct PositionLoop
    {
        double Kp = 0.6;
        double Ki = 1.0;
        double Kv = 1.4;
        double Kvff = 1.0;
        double Kaff = 0.0;
        double IntegralLimit = 1.0; // percent of the velocity limit
    };
    struct Notch
    {
        double FrequencyHz = 0.0; // 0 is off
        double Depth = 0.0;       // 0 off, 1 removes the frequency entirely
        double Quality = 1.0;
    };
    struct Filters
    {
        Notch A;
        Notch B;
        // The lag filter's pole and the zero that ends it; off unless both set.
        double LeadHz = 0.0;
        double LagHz = 0.0;
    };
    // What keeps a real drive's signals from being exact; all off unless set.
    // One seed gives one sequence of noise, so a run can be repeated.
    struct Imperfections
    {
        double CurrentNoise = 0.0;   // A rms on the current sensor
        double CurrentQuantum = 0.0; // A, one step of the current sensor; 0 exact
        double TorqueRipple = 0.0;   // share of the torque, RippleCycles times a turn
        double Stiction = 0.0;       // Nm the shaft needs, over the friction, to break away
        unsigned long long Seed = 0;
    };
    // The motor as built, each value the configured one times its factor.
    struct MotorFactors
    {
        double Resistance = 1.0;
        double Inductance = 1.0;
        double TorqueConstant = 1.0;
        double BackEmfConstant = 1.0;
        double RotorInertia = 1.0;
        double Friction = 1.0;
    };
    struct Settings
    {
        Motor Machine; // as the drive is configured
        CurrentLoop Current;
        VelocityLoop Velocity;
        PositionLoop Position;
        Filters Filter;
        Imperfections Imperfect;
        MotorFactors TrueMotor; // the motor as built against Machine
    };
    // The mechanics behind the shaft: a load of InertiaRatio times the rotor
    // inertia (of the motor as built) on a shaft that resonates at
    // ResonanceHz; 0 is a rigid shaft.
    struct Load
    {
        double InertiaRatio = 2.5;
        double ResonanceHz = 600.0;
        double DampingRatio = 0.05;
    };
    static constexpr int RippleCycles = 24;

    enum class Mode
    {
        FluxCurrent, // current into the flux axis: no torque, the rotor stays
        Torque,
        Velocity,
        Position
    };

    DriveModel(const Settings& settings, const Load& load);

    void SetMode(Mode mode) { m_Mode = mode; }
    void SetCurrentReference(double amps) { m_CurrentReference = amps; }
    void SetVelocityReference(double rps) { m_VelocityReference = rps; }
    // Position mode: the profile's position and its velocity and acceleration
    // for the feed-forwards.
    void SetPositionReference(double counts, double rps, double rpsPerSecond);

    // One 16 kHz period.
    void Tick();

    double Current() const { return m_SensedCurrent; }     // A, as the drive senses it
    double TrueCurrent() const { return m_Current; }       // A, in the winding
    double CurrentCommand() const;                         // A, limited
    double Velocity() const { return m_MeasuredVelocity; } // rps, as the drive measures it
    double Position() const;                               // whole encoder counts
    double LoadPosition() const;                           // counts, not rounded
    long long Ticks() const { return m_Ticks; }

private:
    // Second-order section, transposed direct form II.
    struct Biquad
    {
        double B0 = 1.0, B1 = 0.0, B2 = 0.0, A1 = 0.0, A2 = 0.0;
        double S1 = 0.0, S2 = 0.0;
        bool Active = false;
        double Run(double x);
    };
    static Biquad Bilinear(double b0, double b1, double b2, double a0, double a1, double a2,
                           double warpRadPerSecond);
    static Biquad MakeNotch(const Notch& notch);
    static Biquad MakeLeadLag(double leadHz, double lagHz);

    void RunOuterLoop();
    void RunMechanics(double torque);
    double Gaussian();
    double EncoderCounts() const;

    Settings m_Settings;
    Motor m_Plant; // the motor as built
    Mode m_Mode = Mode::Torque;

    // Plant.
    double m_LoadInertia = 0.0;
    double m_Stiffness = 0.0;
    double m_ShaftDamping = 0.0;
    double m_Current = 0.0;
    double m_MotorAngle = 0.0, m_MotorSpeed = 0.0; // rad, rad/s
    double m_LoadAngle = 0.0, m_LoadSpeed = 0.0;

    // Current loop.
    double m_CurrentDecay = 0.0;
    double m_CurrentIntegral = 0.0;
    double m_SensedCurrent = 0.0;
    double m_HeldVoltage = 0.0; // V, computed last period, across the winding this one

    // Outer loops.
    double m_CurrentReference = 0.0;
    double m_VelocityReference = 0.0;
    double m_PositionReference = 0.0; // rad
    double m_SpeedFeedForward = 0.0;  // rad/s
    double m_AccelFeedForward = 0.0;  // rad/s2
    double m_LoopCommand = 0.0;       // A, applied
    double m_PendingCommand = 0.0;    // A, computed this loop period
    double m_VelocityIntegral = 0.0;  // Nm
    double m_PositionIntegral = 0.0;  // rad/s
    double m_CountsAtLastLoop = 0.0;
    double m_SpeedFilterGain = 1.0;  // share of the new reading taken each loop period
    double m_MeasuredVelocity = 0.0; // rps
    Biquad m_LeadLag, m_NotchA, m_NotchB;

    std::mt19937_64 m_Random;
    double m_SpareGaussian = 0.0;
    bool m_HasSpareGaussian = false;

    long long m_Ticks = 0;
};

} // namespace Orvex
