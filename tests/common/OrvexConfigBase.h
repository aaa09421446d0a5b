#pragma once

#include "ComponentError.h"
#include "OrvexConfig.h"

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
    QString MotorPartNumber() const override { Unsupported("MotorPartNumber"); }
    void SetMotorPartNumber(const QString&) override { Unsupported("SetMotorPartNumber"); }
    int CustomWindingNumber() const override { Unsupported("CustomWindingNumber"); }
    void SetCustomWindingNumber(int) override { Unsupported("SetCustomWindingNumber"); }
    int CoolingCode() const override { Unsupported("CoolingCode"); }
    void SetCoolingCode(int) override { Unsupported("SetCoolingCode"); }
    void SetFeedbackType(int) override { Unsupported("SetFeedbackType"); }
    void SetStep1Value(float) override { Unsupported("SetStep1Value"); }
    int MotorIsLinear() const override { Unsupported("MotorIsLinear"); }
    void SetMotorIsLinear(int) override { Unsupported("SetMotorIsLinear"); }
    float MotorRatedSpeed() const override { Unsupported("MotorRatedSpeed"); }
    void SetMotorRatedSpeed(float) override { Unsupported("SetMotorRatedSpeed"); }
    int MotorPolePairs() const override { Unsupported("MotorPolePairs"); }
    void SetMotorPolePairs(int) override { Unsupported("SetMotorPolePairs"); }
    float MotorInertia() const override { Unsupported("MotorInertia"); }
    void SetMotorInertia(float) override { Unsupported("SetMotorInertia"); }
    float MotorDamping() const override { Unsupported("MotorDamping"); }
    void SetMotorDamping(float) override { Unsupported("SetMotorDamping"); }
    float MotorThermalTimeConstant() const override { Unsupported("MotorThermalTimeConstant"); }
    void SetMotorThermalTimeConstant(float) override { Unsupported("SetMotorThermalTimeConstant"); }
    float WindingThermalTimeConstant() const override { Unsupported("WindingThermalTimeConstant"); }
    void SetWindingThermalTimeConstant(float) override { Unsupported("SetWindingThermalTimeConstant"); }
    float ThermalResistance() const override { Unsupported("ThermalResistance"); }
    void SetThermalResistance(float) override { Unsupported("SetThermalResistance"); }
    float AmbientTemperature() const override { Unsupported("AmbientTemperature"); }
    void SetAmbientTemperature(float) override { Unsupported("SetAmbientTemperature"); }
    float MaxWindingTemperature() const override { Unsupported("MaxWindingTemperature"); }
    void SetMaxWindingTemperature(float) override { Unsupported("SetMaxWindingTemperature"); }
    float MotorKe() const override { Unsupported("MotorKe"); }
    void SetMotorKe(float) override { Unsupported("SetMotorKe"); }
    float ContinuousCurrent() const override { Unsupported("ContinuousCurrent"); }
    void SetContinuousCurrent(float) override { Unsupported("SetContinuousCurrent"); }
    float ContinuousCurrentDerating() const override { Unsupported("ContinuousCurrentDerating"); }
    void SetContinuousCurrentDerating(float) override { Unsupported("SetContinuousCurrentDerating"); }
    float PeakCurrent() const override { Unsupported("PeakCurrent"); }
    void SetPeakCurrent(float) override { Unsupported("SetPeakCurrent"); }
    float WindingResistance() const override { Unsupported("WindingResistance"); }
    void SetWindingResistance(float) override { Unsupported("SetWindingResistance"); }
    float InductanceRatio() const override { Unsupported("InductanceRatio"); }
    void SetInductanceRatio(float) override { Unsupported("SetInductanceRatio"); }
    float MaxInductance() const override { Unsupported("MaxInductance"); }
    void SetMaxInductance(float) override { Unsupported("SetMaxInductance"); }
    float ElectricalPitch() const override { Unsupported("ElectricalPitch"); }
    void SetElectricalPitch(float) override { Unsupported("SetElectricalPitch"); }
    int FeedbackResolution() const override { Unsupported("FeedbackResolution"); }
    void SetFeedbackResolution(int) override { Unsupported("SetFeedbackResolution"); }
    void SetFeedbackAuxiliary(int) override { Unsupported("SetFeedbackAuxiliary"); }
    int HallSensorDirection() const override { Unsupported("HallSensorDirection"); }
    void SetHallSensorDirection(int) override { Unsupported("SetHallSensorDirection"); }
    int InvertHallSignals() const override { Unsupported("InvertHallSignals"); }
    void SetInvertHallSignals(int) override { Unsupported("SetInvertHallSignals"); }
    int EncoderOffset() const override { Unsupported("EncoderOffset"); }
    void SetEncoderOffset(int) override { Unsupported("SetEncoderOffset"); }
    int EncoderPolarity() const override { Unsupported("EncoderPolarity"); }
    void SetEncoderPolarity(int) override { Unsupported("SetEncoderPolarity"); }
    int EncoderFiltering() const override { Unsupported("EncoderFiltering"); }
    void SetEncoderFiltering(int) override { Unsupported("SetEncoderFiltering"); }
    float TorqueLimit() const override { Unsupported("TorqueLimit"); }
    void SetTorqueLimit(float) override { Unsupported("SetTorqueLimit"); }
    float VelocityLimit() const override { Unsupported("VelocityLimit"); }
    void SetVelocityLimit(float) override { Unsupported("SetVelocityLimit"); }
    int PwmFrequency() const override { Unsupported("PwmFrequency"); }
    void SetPwmFrequency(int) override { Unsupported("SetPwmFrequency"); }
    bool CurrentFoldback() const override { Unsupported("CurrentFoldback"); }
    void SetCurrentFoldback(bool) override { Unsupported("SetCurrentFoldback"); }
    int Commutation() const override { Unsupported("Commutation"); }
    void SetCommutation(int) override { Unsupported("SetCommutation"); }
    int ControlMode() const override { Unsupported("ControlMode"); }
    void SetControlMode(int) override { Unsupported("SetControlMode"); }
    float CurrentLoopKp() const override { Unsupported("CurrentLoopKp"); }
    void SetCurrentLoopKp(float) override { Unsupported("SetCurrentLoopKp"); }
    float CurrentLoopKi() const override { Unsupported("CurrentLoopKi"); }
    void SetCurrentLoopKi(float) override { Unsupported("SetCurrentLoopKi"); }
    float CurrentLoopIntegralLimit() const override { Unsupported("CurrentLoopIntegralLimit"); }
    void SetCurrentLoopIntegralLimit(float) override { Unsupported("SetCurrentLoopIntegralLimit"); }
    int AutoCurrentGains() const override { Unsupported("AutoCurrentGains"); }
    void SetAutoCurrentGains(int) override { Unsupported("SetAutoCurrentGains"); }
    int CurrentLoopBandwidth() const override { Unsupported("CurrentLoopBandwidth"); }
    void SetCurrentLoopBandwidth(int) override { Unsupported("SetCurrentLoopBandwidth"); }
    float VelocityLoopKp() const override { Unsupported("VelocityLoopKp"); }
    void SetVelocityLoopKp(float) override { Unsupported("SetVelocityLoopKp"); }
    float VelocityLoopKi() const override { Unsupported("VelocityLoopKi"); }
    void SetVelocityLoopKi(float) override { Unsupported("SetVelocityLoopKi"); }
    int VelocityLoopIntegralLimit() const override { Unsupported("VelocityLoopIntegralLimit"); }
    void SetVelocityLoopIntegralLimit(int) override { Unsupported("SetVelocityLoopIntegralLimit"); }
    float MaxVelocityError() const override { Unsupported("MaxVelocityError"); }
    void SetMaxVelocityError(float) override { Unsupported("SetMaxVelocityError"); }
    float InertiaRatio() const override { Unsupported("InertiaRatio"); }
    void SetInertiaRatio(float) override { Unsupported("SetInertiaRatio"); }
    float PositionLoopKp() const override { Unsupported("PositionLoopKp"); }
    void SetPositionLoopKp(float) override { Unsupported("SetPositionLoopKp"); }
    float PositionLoopKi() const override { Unsupported("PositionLoopKi"); }
    void SetPositionLoopKi(float) override { Unsupported("SetPositionLoopKi"); }
    float PositionLoopKv() const override { Unsupported("PositionLoopKv"); }
    void SetPositionLoopKv(float) override { Unsupported("SetPositionLoopKv"); }
    int PositionLoopIntegralLimit() const override { Unsupported("PositionLoopIntegralLimit"); }
    void SetPositionLoopIntegralLimit(int) override { Unsupported("SetPositionLoopIntegralLimit"); }
    int MaxPositionError() const override { Unsupported("MaxPositionError"); }
    void SetMaxPositionError(int) override { Unsupported("SetMaxPositionError"); }
    float PositionLoopKvff() const override { Unsupported("PositionLoopKvff"); }
    void SetPositionLoopKvff(float) override { Unsupported("SetPositionLoopKvff"); }
    int DriveParameter186() const override { Unsupported("DriveParameter186"); }
    float AutoTune() override { Unsupported("AutoTune"); }
    int TuningMode() const override { Unsupported("TuningMode"); }
    void SetTuningMode(int) override { Unsupported("SetTuningMode"); }
    float SlidingGain() const override { Unsupported("SlidingGain"); }
    void SetSlidingGain(float) override { Unsupported("SetSlidingGain"); }
    float AccelerationFactor() const override { Unsupported("AccelerationFactor"); }
    void SetAccelerationFactor(float) override { Unsupported("SetAccelerationFactor"); }
    float RisingSpeed() const override { Unsupported("RisingSpeed"); }
    void SetRisingSpeed(float) override { Unsupported("SetRisingSpeed"); }
    float SwitchingFactor() const override { Unsupported("SwitchingFactor"); }
    void SetSwitchingFactor(float) override { Unsupported("SetSwitchingFactor"); }
    float SignedSlidingScaleFactor() const override { Unsupported("SignedSlidingScaleFactor"); }
    void SetSignedSlidingScaleFactor(float) override { Unsupported("SetSignedSlidingScaleFactor"); }
    float ModeFilterConstant() const override { Unsupported("ModeFilterConstant"); }
    void SetModeFilterConstant(float) override { Unsupported("SetModeFilterConstant"); }
    bool FaultOnDriveDisable() const override { Unsupported("FaultOnDriveDisable"); }
    void SetFaultOnDriveDisable(bool) override { Unsupported("SetFaultOnDriveDisable"); }
    float StartupVoltageFault() const override { Unsupported("StartupVoltageFault"); }
    void SetStartupVoltageFault(float) override { Unsupported("SetStartupVoltageFault"); }
    int BrakeDelay() const override { Unsupported("BrakeDelay"); }
    void SetBrakeDelay(int) override { Unsupported("SetBrakeDelay"); }
    bool InPositionEnable() const override { Unsupported("InPositionEnable"); }
    void SetInPositionEnable(bool) override { Unsupported("SetInPositionEnable"); }
    int InPositionDeadband() const override { Unsupported("InPositionDeadband"); }
    void SetInPositionDeadband(int) override { Unsupported("SetInPositionDeadband"); }
    int InPositionTimeout() const override { Unsupported("InPositionTimeout"); }
    void SetInPositionTimeout(int) override { Unsupported("SetInPositionTimeout"); }
    bool ThermalSensorDisable() const override { Unsupported("ThermalSensorDisable"); }
    void SetThermalSensorDisable(bool) override { Unsupported("SetThermalSensorDisable"); }
    int ThermalSensorCode() const override { Unsupported("ThermalSensorCode"); }
    void SetThermalSensorCode(int) override { Unsupported("SetThermalSensorCode"); }
    float NotchADepth() const override { Unsupported("NotchADepth"); }
    void SetNotchADepth(float) override { Unsupported("SetNotchADepth"); }
    int NotchAFrequency() const override { Unsupported("NotchAFrequency"); }
    void SetNotchAFrequency(int) override { Unsupported("SetNotchAFrequency"); }
    float NotchAQuality() const override { Unsupported("NotchAQuality"); }
    void SetNotchAQuality(float) override { Unsupported("SetNotchAQuality"); }
    float NotchBDepth() const override { Unsupported("NotchBDepth"); }
    void SetNotchBDepth(float) override { Unsupported("SetNotchBDepth"); }
    int NotchBFrequency() const override { Unsupported("NotchBFrequency"); }
    void SetNotchBFrequency(int) override { Unsupported("SetNotchBFrequency"); }
    float NotchBQuality() const override { Unsupported("NotchBQuality"); }
    void SetNotchBQuality(float) override { Unsupported("SetNotchBQuality"); }
    int NotchLeadFrequency() const override { Unsupported("NotchLeadFrequency"); }
    void SetNotchLeadFrequency(int) override { Unsupported("SetNotchLeadFrequency"); }
    int NotchLagFrequency() const override { Unsupported("NotchLagFrequency"); }
    void SetNotchLagFrequency(int) override { Unsupported("SetNotchLagFrequency"); }
    float TorqueScaling() const override { Unsupported("TorqueScaling"); }
    void SetTorqueScaling(float) override { Unsupported("SetTorqueScaling"); }
    float VelocityScaling() const override { Unsupported("VelocityScaling"); }
    void SetVelocityScaling(float) override { Unsupported("SetVelocityScaling"); }
    int CommandDirection() const override { Unsupported("CommandDirection"); }
    void SetCommandDirection(int) override { Unsupported("SetCommandDirection"); }
    int StepInputResolution() const override { Unsupported("StepInputResolution"); }
    void SetStepInputResolution(int) override { Unsupported("SetStepInputResolution"); }
    float AnalogCenterDeadband() const override { Unsupported("AnalogCenterDeadband"); }
    void SetAnalogCenterDeadband(float) override { Unsupported("SetAnalogCenterDeadband"); }
    bool InvertAnalogInput() const override { Unsupported("InvertAnalogInput"); }
    void SetInvertAnalogInput(bool) override { Unsupported("SetInvertAnalogInput"); }
    float ZeroReferenceVoltage() const override { Unsupported("ZeroReferenceVoltage"); }
    void SetZeroReferenceVoltage(float) override { Unsupported("SetZeroReferenceVoltage"); }
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
