#pragma once

#include "ConfigFields.h"
#include "IDriveConnection.h"

#include <QString>
#include <QVariant>

namespace Orvex {

// The drive bridge's configuration object ("OrvexBridge.Config"): holds one
// whole drive configuration and carries out the drive actions on the port set
// with SetPortNumber.
//
// A property getter carries the property's name, its setter a "Set" prefix;
// get-only and put-only properties have only the one side. Getters that answer
// from the configuration held in memory are const; getters that ask the drive
// (connection, enable, fault and input state) are not. Every call may throw a
// ComponentError. The trailing number on each line is the operation's dispatch
// id; docs/bridge-interface.md lists them all with their users.
class IOrvexConfig : public IDriveConnection
{
public:
    virtual QString Version() const = 0; // 1

    // Connection: SetPortNumber (32) and TestConnection (36) of
    // IDriveConnection.

    // Any property of the table in ConfigFields.h, for callers that go over
    // every one: its value in a QVariant of the row's type (int, float, bool
    // or QString), as the named getter and setter below answer and take it.
    // Reading a put-only property, writing a get-only one, or a QVariant of
    // another type throws. Not dispatch operations: the table's rows are.
    virtual QVariant Property(const ConfigField& field) const = 0;
    virtual void SetProperty(const ConfigField& field, const QVariant& value) = 0;

    // Motor identity, chosen in wizard step 1
    virtual QString MotorPartNumber() const = 0;               // 3
    virtual void SetMotorPartNumber(const QString& value) = 0; // 3
    virtual int CustomWindingNumber() const = 0;               // 21
    virtual void SetCustomWindingNumber(int value) = 0;        // 21
    virtual int CoolingCode() const = 0;                       // 34
    virtual void SetCoolingCode(int value) = 0;                // 34
    virtual void SetFeedbackType(int value) = 0;               // 197, 1 to 6
    // The tuner generation; 4.0 or more picks the auto tuning position tuner.
    virtual void SetStep1Value(float value) = 0; // 198

    // Motor data
    // 0 rotary, otherwise linear.
    virtual int MotorIsLinear() const = 0;                       // 2
    virtual void SetMotorIsLinear(int value) = 0;                // 2
    virtual float MotorRatedSpeed() const = 0;                   // 4
    virtual void SetMotorRatedSpeed(float value) = 0;            // 4
    virtual int MotorPolePairs() const = 0;                      // 5
    virtual void SetMotorPolePairs(int value) = 0;               // 5
    virtual float MotorInertia() const = 0;                      // 6
    virtual void SetMotorInertia(float value) = 0;               // 6
    virtual float MotorDamping() const = 0;                      // 7
    virtual void SetMotorDamping(float value) = 0;               // 7
    virtual float MotorThermalTimeConstant() const = 0;          // 8
    virtual void SetMotorThermalTimeConstant(float value) = 0;   // 8
    virtual float WindingThermalTimeConstant() const = 0;        // 9
    virtual void SetWindingThermalTimeConstant(float value) = 0; // 9
    virtual float ThermalResistance() const = 0;                 // 10
    virtual void SetThermalResistance(float value) = 0;          // 10
    virtual float AmbientTemperature() const = 0;                // 11
    virtual void SetAmbientTemperature(float value) = 0;         // 11
    virtual float MaxWindingTemperature() const = 0;             // 12
    virtual void SetMaxWindingTemperature(float value) = 0;      // 12
    virtual float MotorKe() const = 0;                           // 13
    virtual void SetMotorKe(float value) = 0;                    // 13
    virtual float ContinuousCurrent() const = 0;                 // 14
    virtual void SetContinuousCurrent(float value) = 0;          // 14
    virtual float ContinuousCurrentDerating() const = 0;         // 15
    virtual void SetContinuousCurrentDerating(float value) = 0;  // 15
    virtual float PeakCurrent() const = 0;                       // 16
    virtual void SetPeakCurrent(float value) = 0;                // 16
    virtual float WindingResistance() const = 0;                 // 17
    virtual void SetWindingResistance(float value) = 0;          // 17
    // Minimum inductance divided by the maximum.
    virtual float InductanceRatio() const = 0;        // 18
    virtual void SetInductanceRatio(float value) = 0; // 18
    virtual float MaxInductance() const = 0;          // 19
    virtual void SetMaxInductance(float value) = 0;   // 19
    virtual float ElectricalPitch() const = 0;        // 20
    virtual void SetElectricalPitch(float value) = 0; // 20

    // Feedback
    virtual int FeedbackResolution() const = 0;         // 22
    virtual void SetFeedbackResolution(int value) = 0;  // 22
    virtual void SetFeedbackAuxiliary(int value) = 0;   // 37, always 0
    virtual int HallSensorDirection() const = 0;        // 72
    virtual void SetHallSensorDirection(int value) = 0; // 72
    virtual int InvertHallSignals() const = 0;          // 73
    virtual void SetInvertHallSignals(int value) = 0;   // 73
    virtual int EncoderOffset() const = 0;              // 74
    virtual void SetEncoderOffset(int value) = 0;       // 74
    virtual int EncoderPolarity() const = 0;            // 75
    virtual void SetEncoderPolarity(int value) = 0;     // 75
    // Combo index 0 to 2.
    virtual int EncoderFiltering() const = 0;        // 85
    virtual void SetEncoderFiltering(int value) = 0; // 85

    // Drive limits and commutation, wizard step 3
    virtual float TorqueLimit() const = 0;           // 26
    virtual void SetTorqueLimit(float value) = 0;    // 26
    virtual float VelocityLimit() const = 0;         // 28
    virtual void SetVelocityLimit(float value) = 0;  // 28
    virtual int PwmFrequency() const = 0;            // 29, kHz
    virtual void SetPwmFrequency(int value) = 0;     // 29
    virtual bool CurrentFoldback() const = 0;        // 30
    virtual void SetCurrentFoldback(bool value) = 0; // 30
    // 0 sinusoidal, 1 trapezoidal, 2 DC brushed, 4 hall-less; -1 none.
    virtual int Commutation() const = 0;        // 52
    virtual void SetCommutation(int value) = 0; // 52
    // 2 torque, 4 velocity, 6 step and direction, 7 step and reversed direction.
    virtual int ControlMode() const = 0;       // 45
    virtual void SetControlMode(int mode) = 0; // 45

    // Current loop
    virtual float CurrentLoopKp() const = 0;                   // 23
    virtual void SetCurrentLoopKp(float value) = 0;            // 23
    virtual float CurrentLoopKi() const = 0;                   // 24
    virtual void SetCurrentLoopKi(float value) = 0;            // 24
    virtual float CurrentLoopIntegralLimit() const = 0;        // 25
    virtual void SetCurrentLoopIntegralLimit(float value) = 0; // 25
    // 1 lets the drive derive the gains from CurrentLoopBandwidth.
    virtual int AutoCurrentGains() const = 0;            // 83
    virtual void SetAutoCurrentGains(int value) = 0;     // 83
    virtual int CurrentLoopBandwidth() const = 0;        // 84, Hz
    virtual void SetCurrentLoopBandwidth(int value) = 0; // 84

    // Velocity loop
    virtual float VelocityLoopKp() const = 0;                 // 53
    virtual void SetVelocityLoopKp(float value) = 0;          // 53
    virtual float VelocityLoopKi() const = 0;                 // 54
    virtual void SetVelocityLoopKi(float value) = 0;          // 54
    virtual int VelocityLoopIntegralLimit() const = 0;        // 55
    virtual void SetVelocityLoopIntegralLimit(int value) = 0; // 55
    virtual float MaxVelocityError() const = 0;               // 81
    virtual void SetMaxVelocityError(float value) = 0;        // 81
    // Load to rotor inertia ratio, shared by the velocity and position loops.
    virtual float InertiaRatio() const = 0;        // 49
    virtual void SetInertiaRatio(float value) = 0; // 49

    // Position loop
    virtual float PositionLoopKp() const = 0;                 // 38
    virtual void SetPositionLoopKp(float value) = 0;          // 38
    virtual float PositionLoopKi() const = 0;                 // 39
    virtual void SetPositionLoopKi(float value) = 0;          // 39
    virtual float PositionLoopKv() const = 0;                 // 41
    virtual void SetPositionLoopKv(float value) = 0;          // 41
    virtual int PositionLoopIntegralLimit() const = 0;        // 42
    virtual void SetPositionLoopIntegralLimit(int value) = 0; // 42
    virtual int MaxPositionError() const = 0;                 // 46
    virtual void SetMaxPositionError(int value) = 0;          // 46
    virtual float PositionLoopKvff() const = 0;               // 80
    virtual void SetPositionLoopKvff(float value) = 0;        // 80
    // Read-only drive parameter 186; only the support snapshot shows it.
    virtual int DriveParameter186() const = 0; // 82

    // Auto tuning
    // Runs the drive's inertia measurement: 0 or more is the load to rotor
    // inertia ratio; negative or NaN means the tuning failed.
    virtual float AutoTune() = 0; // 186
    // Position controller of the auto tuning tuner: 0 PIV, 1 sliding mode,
    // whose values follow.
    virtual int TuningMode() const = 0;                        // 190
    virtual void SetTuningMode(int value) = 0;                 // 190
    virtual float SlidingGain() const = 0;                     // 191, Ks
    virtual void SetSlidingGain(float value) = 0;              // 191
    virtual float AccelerationFactor() const = 0;              // 192, a1
    virtual void SetAccelerationFactor(float value) = 0;       // 192
    virtual float RisingSpeed() const = 0;                     // 193, b1
    virtual void SetRisingSpeed(float value) = 0;              // 193
    virtual float SwitchingFactor() const = 0;                 // 194, epsilon
    virtual void SetSwitchingFactor(float value) = 0;          // 194
    virtual float SignedSlidingScaleFactor() const = 0;        // 195
    virtual void SetSignedSlidingScaleFactor(float value) = 0; // 195
    virtual float ModeFilterConstant() const = 0;              // 196
    virtual void SetModeFilterConstant(float value) = 0;       // 196

    // Faults and I/O, wizard step 4
    virtual bool FaultOnDriveDisable() const = 0;         // 56
    virtual void SetFaultOnDriveDisable(bool value) = 0;  // 56
    virtual float StartupVoltageFault() const = 0;        // 57, volts
    virtual void SetStartupVoltageFault(float value) = 0; // 57
    virtual int BrakeDelay() const = 0;                   // 58, ms
    virtual void SetBrakeDelay(int value) = 0;            // 58
    virtual bool InPositionEnable() const = 0;            // 59
    virtual void SetInPositionEnable(bool value) = 0;     // 59
    virtual int InPositionDeadband() const = 0;           // 60, counts
    virtual void SetInPositionDeadband(int value) = 0;    // 60
    virtual int InPositionTimeout() const = 0;            // 61, ms
    virtual void SetInPositionTimeout(int value) = 0;     // 61
    virtual bool ThermalSensorDisable() const = 0;        // 62
    virtual void SetThermalSensorDisable(bool value) = 0; // 62
    // 0 normally closed switch, 1 PTC thermistor, 2 normally open switch,
    // 3 NTC thermistor.
    virtual int ThermalSensorCode() const = 0;        // 63
    virtual void SetThermalSensorCode(int value) = 0; // 63

    // Notch and lead/lag filters; 0 disables a depth or a frequency.
    virtual float NotchADepth() const = 0;             // 64
    virtual void SetNotchADepth(float value) = 0;      // 64
    virtual int NotchAFrequency() const = 0;           // 65, Hz
    virtual void SetNotchAFrequency(int value) = 0;    // 65
    virtual float NotchAQuality() const = 0;           // 66
    virtual void SetNotchAQuality(float value) = 0;    // 66
    virtual float NotchBDepth() const = 0;             // 67
    virtual void SetNotchBDepth(float value) = 0;      // 67
    virtual int NotchBFrequency() const = 0;           // 68, Hz
    virtual void SetNotchBFrequency(int value) = 0;    // 68
    virtual float NotchBQuality() const = 0;           // 69
    virtual void SetNotchBQuality(float value) = 0;    // 69
    virtual int NotchLeadFrequency() const = 0;        // 70, Hz
    virtual void SetNotchLeadFrequency(int value) = 0; // 70
    virtual int NotchLagFrequency() const = 0;         // 71, Hz
    virtual void SetNotchLagFrequency(int value) = 0;  // 71

    // Command signals
    virtual float TorqueScaling() const = 0;          // 27, Nm/10V or N/10V
    virtual void SetTorqueScaling(float value) = 0;   // 27
    virtual float VelocityScaling() const = 0;        // 51, rps/10V or mps/10V
    virtual void SetVelocityScaling(float value) = 0; // 51
    // Index of the direction item: 0 default direction, 1 opposite.
    virtual int CommandDirection() const = 0;              // 35
    virtual void SetCommandDirection(int value) = 0;       // 35
    virtual int StepInputResolution() const = 0;           // 76, counts
    virtual void SetStepInputResolution(int value) = 0;    // 76
    virtual float AnalogCenterDeadband() const = 0;        // 77, volts
    virtual void SetAnalogCenterDeadband(float value) = 0; // 77
    virtual bool InvertAnalogInput() const = 0;            // 78
    virtual void SetInvertAnalogInput(bool value) = 0;     // 78
    virtual float ZeroReferenceVoltage() const = 0;        // 79, volts
    virtual void SetZeroReferenceVoltage(float value) = 0; // 79

    // Drive state, asked of the drive
    virtual bool DriveConfigured() = 0; // 43
    // True when the drive is enabled.
    virtual bool DriveEnable() = 0; // 44
    // True enables, false disables the drive.
    virtual void SetDriveEnable(bool enable) = 0; // 44
    virtual bool DriveFaulted() = 0;              // 47
    virtual bool EnableInputActive() = 0;         // 48

    // Drive actions
    // Blocks until the drive is back or timeoutMs ran out; true when it is back.
    virtual bool ResetDrive(bool clearFault, int timeoutMs) = 0; // 180
    virtual bool RestoreFactorySettings(int timeoutMs) = 0;      // 181
    virtual void AlignMotor() = 0;                               // 187
    // The drive's measured zero command reference, in volts.
    virtual float ReadZeroReference() = 0; // 188

    // Files and transfers
    // An empty path reads the configuration from the drive.
    virtual void LoadConfiguration(const QString& path) = 0; // 175
    // toDrive false with a path writes a file; true with an empty path sends
    // the configuration to the drive.
    virtual void StoreConfiguration(bool toDrive, const QString& path) = 0; // 176

    // Operating system download, run inside the bridge and polled by the caller
    virtual void StartOsDownload(const QString& path) = 0; // 177
    // Answers the download state (0 none, 1 running, 2 done, 3 busy without
    // news, 4 file unreadable, 5 too many errors, 6 timed out) and fills in the
    // total and the part done so far.
    virtual int GetOsDownloadProgress(int& total, int& done) = 0; // 178
    virtual void AbortOsDownload() = 0;                           // 179

    // Step response captures. Each runs the test on the drive and answers its
    // samples as commanded, actual, commanded, actual... in one list; an
    // invalid QVariant means the drive handed no samples.
    // QList<qint32> of positions in counts.
    virtual QVariant CapturePositionStep(int distance, int timeoutMs) = 0; // 183
    // QList<float> of velocities.
    virtual QVariant CaptureVelocityStep(float acceleration, float velocity, int frequency,
                                         int timeoutMs) = 0; // 184
    // QList<float> of currents in A.
    virtual QVariant CaptureCurrentStep(float amplitude, int frequency, int timeoutMs) = 0; // 185
};

} // namespace Orvex
