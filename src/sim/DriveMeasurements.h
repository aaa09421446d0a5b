#pragma once

#include <QtGlobal>

namespace Orvex {

// What the simulated drive measures while it runs: temperatures that follow
// the drive's load, the bus voltage with its ripple, the hours counters and
// the motor's motion in the auto run test.
class DriveMeasurements
{
public:
    // What the drive's state and configuration feed into the model for the
    // time since the last Advance.
    struct Conditions
    {
        bool Enabled = false;
        bool AutoRun = false;
        double ContinuousCurrent = 0.0; // Arms
        double TorqueConstant = 0.0;
        double WindingResistance = 0.0;  // Ohm
        double ThermalResistance = 1.0;  // degC/W
        double MotorAmbient = 25.0;      // degC
        double MotorTimeConstant = 30.0; // min
        double FeedbackResolution = 8000.0;
        int PolePairs = 4;
    };

    // The auto run test turns the motor at this speed with this share of
    // the motor's continuous current.
    static constexpr double AutoRunSpeed = 1.0; // rps
    static constexpr double AutoRunCurrentShare = 0.9;
    static constexpr double DriveAmbient = 28.0; // degC inside the cabinet

    // Starts the model as at power up, at time nowMs, with the motor at
    // its ambient temperature.
    void PowerUp(qint64 nowMs, double motorAmbient);
    // Runs the model from the last call up to nowMs under conditions.
    void Advance(qint64 nowMs, const Conditions& conditions);

    double DriveTemperature() const { return m_DriveTemperature; }
    double MotorTemperature() const { return m_MotorTemperature; }
    double BusVoltage() const;
    qint64 OperatingMs() const { return m_OperatingMs; }

    double CommandedCurrent() const { return m_Current; }
    double CommandedTorque() const { return m_Torque; }
    double FeedbackTorque() const { return m_Torque; }
    double CommandedVelocity() const { return m_CommandedVelocity; }
    double FeedbackVelocity() const { return m_FeedbackVelocity; }
    qint64 CommandedPosition() const;
    qint64 FeedbackPosition() const;
    int HallState() const;

private:
    qint64 m_LastMs = 0;
    double m_DriveTemperature = DriveAmbient;
    double m_MotorTemperature = 25.0;
    qint64 m_OperatingMs = 0;
    double m_Current = 0.0;
    double m_Torque = 0.0;
    double m_CommandedVelocity = 0.0;
    double m_FeedbackVelocity = 0.0;
    double m_Revolutions = 0.0;
    double m_Resolution = 8000.0;
    int m_PolePairs = 4;
};

} // namespace Orvex
