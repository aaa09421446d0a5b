#pragma once

#include "ComponentError.h"
#include "OrvexConfig.h"

// A read and written property that this object does not provide.
// clang-format off
#define ORVEX_UNSUPPORTED_PROPERTY(Type, Name) \
    Type Name() const override { Unsupported(#Name); } \
    void Set##Name(Type) override { Unsupported("Set" #Name); }
// clang-format on

namespace Orvex {

// An IOrvexConfig whose every operation fails with a component error saying it
// is not supported: test doubles derive from it and override what they use.
class OrvexConfigBase : public IOrvexConfig
{
public:
    // clang-format off
    QString Version() const override { Unsupported("Version"); }
    void SetPortNumber(int) override { Unsupported("SetPortNumber"); }
    int TestConnection() override { Unsupported("TestConnection"); }
    QVariant Property(const ConfigField&) const override { Unsupported("Property"); }
    void SetProperty(const ConfigField&, const QVariant&) override { Unsupported("SetProperty"); }
    QString MotorPartNumber() const override { Unsupported("MotorPartNumber"); }
    void SetMotorPartNumber(const QString&) override { Unsupported("SetMotorPartNumber"); }
    ORVEX_UNSUPPORTED_PROPERTY(int, CustomWindingNumber)
    ORVEX_UNSUPPORTED_PROPERTY(int, CoolingCode)
    void SetFeedbackType(int) override { Unsupported("SetFeedbackType"); }
    void SetStep1Value(float) override { Unsupported("SetStep1Value"); }
    ORVEX_UNSUPPORTED_PROPERTY(int, MotorIsLinear)
    ORVEX_UNSUPPORTED_PROPERTY(float, MotorRatedSpeed)
    ORVEX_UNSUPPORTED_PROPERTY(int, MotorPolePairs)
    ORVEX_UNSUPPORTED_PROPERTY(float, MotorInertia)
    ORVEX_UNSUPPORTED_PROPERTY(float, MotorDamping)
    ORVEX_UNSUPPORTED_PROPERTY(float, MotorThermalTimeConstant)
    ORVEX_UNSUPPORTED_PROPERTY(float, WindingThermalTimeConstant)
    ORVEX_UNSUPPORTED_PROPERTY(float, ThermalResistance)
    ORVEX_UNSUPPORTED_PROPERTY(float, AmbientTemperature)
    ORVEX_UNSUPPORTED_PROPERTY(float, MaxWindingTemperature)
    ORVEX_UNSUPPORTED_PROPERTY(float, MotorKe)
    ORVEX_UNSUPPORTED_PROPERTY(float, ContinuousCurrent)
    ORVEX_UNSUPPORTED_PROPERTY(float, ContinuousCurrentDerating)
    ORVEX_UNSUPPORTED_PROPERTY(float, PeakCurrent)
    ORVEX_UNSUPPORTED_PROPERTY(float, WindingResistance)
    ORVEX_UNSUPPORTED_PROPERTY(float, InductanceRatio)
    ORVEX_UNSUPPORTED_PROPERTY(float, MaxInductance)
    ORVEX_UNSUPPORTED_PROPERTY(float, ElectricalPitch)
    ORVEX_UNSUPPORTED_PROPERTY(int, FeedbackResolution)
    void SetFeedbackAuxiliary(int) override { Unsupported("SetFeedbackAuxiliary"); }
    ORVEX_UNSUPPORTED_PROPERTY(int, HallSensorDirection)
    ORVEX_UNSUPPORTED_PROPERTY(int, InvertHallSignals)
    ORVEX_UNSUPPORTED_PROPERTY(int, EncoderOffset)
    ORVEX_UNSUPPORTED_PROPERTY(int, EncoderPolarity)
    ORVEX_UNSUPPORTED_PROPERTY(int, EncoderFiltering)
    ORVEX_UNSUPPORTED_PROPERTY(float, TorqueLimit)
    ORVEX_UNSUPPORTED_PROPERTY(float, VelocityLimit)
    ORVEX_UNSUPPORTED_PROPERTY(int, PwmFrequency)
    ORVEX_UNSUPPORTED_PROPERTY(bool, CurrentFoldback)
    ORVEX_UNSUPPORTED_PROPERTY(int, Commutation)
    ORVEX_UNSUPPORTED_PROPERTY(int, ControlMode)
    ORVEX_UNSUPPORTED_PROPERTY(float, CurrentLoopKp)
    ORVEX_UNSUPPORTED_PROPERTY(float, CurrentLoopKi)
    ORVEX_UNSUPPORTED_PROPERTY(float, CurrentLoopIntegralLimit)
    ORVEX_UNSUPPORTED_PROPERTY(int, AutoCurrentGains)
    ORVEX_UNSUPPORTED_PROPERTY(int, CurrentLoopBandwidth)
    ORVEX_UNSUPPORTED_PROPERTY(float, VelocityLoopKp)
    ORVEX_UNSUPPORTED_PROPERTY(float, VelocityLoopKi)
    ORVEX_UNSUPPORTED_PROPERTY(int, VelocityLoopIntegralLimit)
    ORVEX_UNSUPPORTED_PROPERTY(float, MaxVelocityError)
    ORVEX_UNSUPPORTED_PROPERTY(float, InertiaRatio)
    ORVEX_UNSUPPORTED_PROPERTY(float, PositionLoopKp)
    ORVEX_UNSUPPORTED_PROPERTY(float, PositionLoopKi)
    ORVEX_UNSUPPORTED_PROPERTY(float, PositionLoopKv)
    ORVEX_UNSUPPORTED_PROPERTY(int, PositionLoopIntegralLimit)
    ORVEX_UNSUPPORTED_PROPERTY(int, MaxPositionError)
    ORVEX_UNSUPPORTED_PROPERTY(float, PositionLoopKvff)
    int DriveParameter186() const override { Unsupported("DriveParameter186"); }
    float AutoTune() override { Unsupported("AutoTune"); }
    ORVEX_UNSUPPORTED_PROPERTY(int, TuningMode)
    ORVEX_UNSUPPORTED_PROPERTY(float, SlidingGain)
    ORVEX_UNSUPPORTED_PROPERTY(float, AccelerationFactor)
    ORVEX_UNSUPPORTED_PROPERTY(float, RisingSpeed)
    ORVEX_UNSUPPORTED_PROPERTY(float, SwitchingFactor)
    ORVEX_UNSUPPORTED_PROPERTY(float, SignedSlidingScaleFactor)
    ORVEX_UNSUPPORTED_PROPERTY(float, ModeFilterConstant)
    ORVEX_UNSUPPORTED_PROPERTY(bool, FaultOnDriveDisable)
    ORVEX_UNSUPPORTED_PROPERTY(float, StartupVoltageFault)
    ORVEX_UNSUPPORTED_PROPERTY(int, BrakeDelay)
    ORVEX_UNSUPPORTED_PROPERTY(bool, InPositionEnable)
    ORVEX_UNSUPPORTED_PROPERTY(int, InPositionDeadband)
    ORVEX_UNSUPPORTED_PROPERTY(int, InPositionTimeout)
    ORVEX_UNSUPPORTED_PROPERTY(bool, ThermalSensorDisable)
    ORVEX_UNSUPPORTED_PROPERTY(int, ThermalSensorCode)
    ORVEX_UNSUPPORTED_PROPERTY(float, NotchADepth)
    ORVEX_UNSUPPORTED_PROPERTY(int, NotchAFrequency)
    ORVEX_UNSUPPORTED_PROPERTY(float, NotchAQuality)
    ORVEX_UNSUPPORTED_PROPERTY(float, NotchBDepth)
    ORVEX_UNSUPPORTED_PROPERTY(int, NotchBFrequency)
    ORVEX_UNSUPPORTED_PROPERTY(float, NotchBQuality)
    ORVEX_UNSUPPORTED_PROPERTY(int, NotchLeadFrequency)
    ORVEX_UNSUPPORTED_PROPERTY(int, NotchLagFrequency)
    ORVEX_UNSUPPORTED_PROPERTY(float, TorqueScaling)
    ORVEX_UNSUPPORTED_PROPERTY(float, VelocityScaling)
    ORVEX_UNSUPPORTED_PROPERTY(int, CommandDirection)
    ORVEX_UNSUPPORTED_PROPERTY(int, StepInputResolution)
    ORVEX_UNSUPPORTED_PROPERTY(float, AnalogCenterDeadband)
    ORVEX_UNSUPPORTED_PROPERTY(bool, InvertAnalogInput)
    ORVEX_UNSUPPORTED_PROPERTY(float, ZeroReferenceVoltage)
    bool DriveConfigured() override { Unsupported("DriveConfigured"); }
    bool DriveEnable() override { Unsupported("DriveEnable"); }
    void SetDriveEnable(bool) override { Unsupported("SetDriveEnable"); }
    bool DriveFaulted() override { Unsupported("DriveFaulted"); }
    bool EnableInputActive() override { Unsupported("EnableInputActive"); }
    bool ResetDrive(bool, int) override { Unsupported("ResetDrive"); }
    bool RestoreFactorySettings(int) override { Unsupported("RestoreFactorySettings"); }
    void AlignMotor() override { Unsupported("AlignMotor"); }
    float ReadZeroReference() override { Unsupported("ReadZeroReference"); }
    void LoadConfiguration(const QString&) override { Unsupported("LoadConfiguration"); }
    void StoreConfiguration(bool, const QString&) override { Unsupported("StoreConfiguration"); }
    void StartOsDownload(const QString&) override { Unsupported("StartOsDownload"); }
    int GetOsDownloadProgress(int&, int&) override { Unsupported("GetOsDownloadProgress"); }
    void AbortOsDownload() override { Unsupported("AbortOsDownload"); }
    QVariant CapturePositionStep(int, int) override { Unsupported("CapturePositionStep"); }
    QVariant CaptureVelocityStep(float, float, int, int) override { Unsupported("CaptureVelocityStep"); }
    QVariant CaptureCurrentStep(float, int, int) override { Unsupported("CaptureCurrentStep"); }

    // clang-format on

protected:
    // The error for an operation this object does not provide.
    virtual ComponentError UnsupportedError(const char* operation) const
    {
        return ComponentError(ResultCode::NotImplemented,
                              QStringLiteral("%1 is not supported by this drive bridge.")
                                  .arg(QLatin1String(operation)));
    }

private:
    [[noreturn]] void Unsupported(const char* operation) const
    {
        throw UnsupportedError(operation);
    }
};

} // namespace Orvex
