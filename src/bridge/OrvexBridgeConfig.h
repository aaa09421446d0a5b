#pragma once

#include "ConfigurationValues.h"
#include "DriveConnection.h"
#include "OrvexConfig.h"
#include "OsDownload.h"

#include <span>

namespace Orvex {

class PortHub;

// The drive bridge's configuration object ("OrvexBridge.Config"): one drive
// configuration in memory, saved to and read from .kvt files, sent to and read
// from the drive, and the drive actions, over the port hub's shared channel.
//
// Property puts change only the configuration in memory; they reach the drive
// with StoreConfiguration(true, ""), or with the drive actions that need
// them (captures send the gains of the loop they test). The operating system
// download runs in the background (OsDownload) while the caller polls its
// progress.
class COrvexBridgeConfig final : public IOrvexConfig
{
public:
    explicit COrvexBridgeConfig(PortHub& hub);
    ~COrvexBridgeConfig() override;

    QString Version() const override;
    void SetPortNumber(int port) override;
    int TestConnection() override;

    bool DriveConfigured() override;
    bool DriveEnable() override;
    void SetDriveEnable(bool enable) override;
    bool DriveFaulted() override;
    bool EnableInputActive() override;

    bool ResetDrive(bool clearFault, int timeoutMs) override;
    bool RestoreFactorySettings(int timeoutMs) override;

    void LoadConfiguration(const QString& path) override;
    void StoreConfiguration(bool toDrive, const QString& path) override;

    // The configuration held in memory, for tests and the snapshot.
    const ConfigurationValues& Values() const { return m_values; }

    QVariant Property(const ConfigField& field) const override;
    void SetProperty(const ConfigField& field, const QVariant& value) override;

    // Configuration properties, by dispatch id.
    // clang-format off
    int MotorIsLinear() const override { return m_values.Int(ConfigFields::MotorIsLinear.DispatchId); }
    void SetMotorIsLinear(int value) override { m_values.SetInt(ConfigFields::MotorIsLinear.DispatchId, value); }
    QString MotorPartNumber() const override { return m_values.Text(ConfigFields::MotorPartNumber.DispatchId); }
    void SetMotorPartNumber(const QString& value) override { m_values.SetText(ConfigFields::MotorPartNumber.DispatchId, value); }
    float MotorRatedSpeed() const override { return m_values.Float(ConfigFields::MotorRatedSpeed.DispatchId); }
    void SetMotorRatedSpeed(float value) override { m_values.SetFloat(ConfigFields::MotorRatedSpeed.DispatchId, value); }
    int MotorPolePairs() const override { return m_values.Int(ConfigFields::MotorPolePairs.DispatchId); }
    void SetMotorPolePairs(int value) override { m_values.SetInt(ConfigFields::MotorPolePairs.DispatchId, value); }
    float MotorInertia() const override { return m_values.Float(ConfigFields::MotorInertia.DispatchId); }
    void SetMotorInertia(float value) override { m_values.SetFloat(ConfigFields::MotorInertia.DispatchId, value); }
    float MotorDamping() const override { return m_values.Float(ConfigFields::MotorDamping.DispatchId); }
    void SetMotorDamping(float value) override { m_values.SetFloat(ConfigFields::MotorDamping.DispatchId, value); }
    float MotorThermalTimeConstant() const override { return m_values.Float(ConfigFields::MotorThermalTimeConstant.DispatchId); }
    void SetMotorThermalTimeConstant(float value) override { m_values.SetFloat(ConfigFields::MotorThermalTimeConstant.DispatchId, value); }
    float WindingThermalTimeConstant() const override { return m_values.Float(ConfigFields::WindingThermalTimeConstant.DispatchId); }
    void SetWindingThermalTimeConstant(float value) override { m_values.SetFloat(ConfigFields::WindingThermalTimeConstant.DispatchId, value); }
    float ThermalResistance() const override { return m_values.Float(ConfigFields::ThermalResistance.DispatchId); }
    void SetThermalResistance(float value) override { m_values.SetFloat(ConfigFields::ThermalResistance.DispatchId, value); }
    float AmbientTemperature() const override { return m_values.Float(ConfigFields::AmbientTemperature.DispatchId); }
    void SetAmbientTemperature(float value) override { m_values.SetFloat(ConfigFields::AmbientTemperature.DispatchId, value); }
    float MaxWindingTemperature() const override { return m_values.Float(ConfigFields::MaxWindingTemperature.DispatchId); }
    void SetMaxWindingTemperature(float value) override { m_values.SetFloat(ConfigFields::MaxWindingTemperature.DispatchId, value); }
    float MotorKe() const override { return m_values.Float(ConfigFields::MotorKe.DispatchId); }
    void SetMotorKe(float value) override { m_values.SetFloat(ConfigFields::MotorKe.DispatchId, value); }
    float ContinuousCurrent() const override { return m_values.Float(ConfigFields::ContinuousCurrent.DispatchId); }
    void SetContinuousCurrent(float value) override { m_values.SetFloat(ConfigFields::ContinuousCurrent.DispatchId, value); }
    float ContinuousCurrentDerating() const override { return m_values.Float(ConfigFields::ContinuousCurrentDerating.DispatchId); }
    void SetContinuousCurrentDerating(float value) override { m_values.SetFloat(ConfigFields::ContinuousCurrentDerating.DispatchId, value); }
    float PeakCurrent() const override { return m_values.Float(ConfigFields::PeakCurrent.DispatchId); }
    void SetPeakCurrent(float value) override { m_values.SetFloat(ConfigFields::PeakCurrent.DispatchId, value); }
    float WindingResistance() const override { return m_values.Float(ConfigFields::WindingResistance.DispatchId); }
    void SetWindingResistance(float value) override { m_values.SetFloat(ConfigFields::WindingResistance.DispatchId, value); }
    float InductanceRatio() const override { return m_values.Float(ConfigFields::InductanceRatio.DispatchId); }
    void SetInductanceRatio(float value) override { m_values.SetFloat(ConfigFields::InductanceRatio.DispatchId, value); }
    float MaxInductance() const override { return m_values.Float(ConfigFields::MaxInductance.DispatchId); }
    void SetMaxInductance(float value) override { m_values.SetFloat(ConfigFields::MaxInductance.DispatchId, value); }
    float ElectricalPitch() const override { return m_values.Float(ConfigFields::ElectricalPitch.DispatchId); }
    void SetElectricalPitch(float value) override { m_values.SetFloat(ConfigFields::ElectricalPitch.DispatchId, value); }
    int CustomWindingNumber() const override { return m_values.Int(ConfigFields::CustomWindingNumber.DispatchId); }
    void SetCustomWindingNumber(int value) override { m_values.SetInt(ConfigFields::CustomWindingNumber.DispatchId, value); }
    int FeedbackResolution() const override { return m_values.Int(ConfigFields::FeedbackResolution.DispatchId); }
    void SetFeedbackResolution(int value) override { m_values.SetInt(ConfigFields::FeedbackResolution.DispatchId, value); }
    float CurrentLoopKp() const override { return m_values.Float(ConfigFields::CurrentLoopKp.DispatchId); }
    void SetCurrentLoopKp(float value) override { m_values.SetFloat(ConfigFields::CurrentLoopKp.DispatchId, value); }
    float CurrentLoopKi() const override { return m_values.Float(ConfigFields::CurrentLoopKi.DispatchId); }
    void SetCurrentLoopKi(float value) override { m_values.SetFloat(ConfigFields::CurrentLoopKi.DispatchId, value); }
    float CurrentLoopIntegralLimit() const override { return m_values.Float(ConfigFields::CurrentLoopIntegralLimit.DispatchId); }
    void SetCurrentLoopIntegralLimit(float value) override { m_values.SetFloat(ConfigFields::CurrentLoopIntegralLimit.DispatchId, value); }
    float TorqueLimit() const override { return m_values.Float(ConfigFields::TorqueLimit.DispatchId); }
    void SetTorqueLimit(float value) override { m_values.SetFloat(ConfigFields::TorqueLimit.DispatchId, value); }
    float TorqueScaling() const override { return m_values.Float(ConfigFields::TorqueScaling.DispatchId); }
    void SetTorqueScaling(float value) override { m_values.SetFloat(ConfigFields::TorqueScaling.DispatchId, value); }
    float VelocityLimit() const override { return m_values.Float(ConfigFields::VelocityLimit.DispatchId); }
    void SetVelocityLimit(float value) override { m_values.SetFloat(ConfigFields::VelocityLimit.DispatchId, value); }
    int PwmFrequency() const override { return m_values.Int(ConfigFields::PwmFrequency.DispatchId); }
    void SetPwmFrequency(int value) override { m_values.SetInt(ConfigFields::PwmFrequency.DispatchId, value); }
    bool CurrentFoldback() const override { return m_values.Bool(ConfigFields::CurrentFoldback.DispatchId); }
    void SetCurrentFoldback(bool value) override { m_values.SetBool(ConfigFields::CurrentFoldback.DispatchId, value); }
    int CoolingCode() const override { return m_values.Int(ConfigFields::CoolingCode.DispatchId); }
    void SetCoolingCode(int value) override { m_values.SetInt(ConfigFields::CoolingCode.DispatchId, value); }
    int CommandDirection() const override { return m_values.Int(ConfigFields::CommandDirection.DispatchId); }
    void SetCommandDirection(int value) override { m_values.SetInt(ConfigFields::CommandDirection.DispatchId, value); }
    void SetFeedbackAuxiliary(int value) override { m_values.SetInt(ConfigFields::FeedbackAuxiliary.DispatchId, value); }
    float PositionLoopKp() const override { return m_values.Float(ConfigFields::PositionLoopKp.DispatchId); }
    void SetPositionLoopKp(float value) override { m_values.SetFloat(ConfigFields::PositionLoopKp.DispatchId, value); }
    float PositionLoopKi() const override { return m_values.Float(ConfigFields::PositionLoopKi.DispatchId); }
    void SetPositionLoopKi(float value) override { m_values.SetFloat(ConfigFields::PositionLoopKi.DispatchId, value); }
    float PositionLoopKv() const override { return m_values.Float(ConfigFields::PositionLoopKv.DispatchId); }
    void SetPositionLoopKv(float value) override { m_values.SetFloat(ConfigFields::PositionLoopKv.DispatchId, value); }
    int PositionLoopIntegralLimit() const override { return m_values.Int(ConfigFields::PositionLoopIntegralLimit.DispatchId); }
    void SetPositionLoopIntegralLimit(int value) override { m_values.SetInt(ConfigFields::PositionLoopIntegralLimit.DispatchId, value); }
    int ControlMode() const override { return m_values.Int(ConfigFields::ControlMode.DispatchId); }
    void SetControlMode(int value) override { m_values.SetInt(ConfigFields::ControlMode.DispatchId, value); }
    int MaxPositionError() const override { return m_values.Int(ConfigFields::MaxPositionError.DispatchId); }
    void SetMaxPositionError(int value) override { m_values.SetInt(ConfigFields::MaxPositionError.DispatchId, value); }
    float InertiaRatio() const override { return m_values.Float(ConfigFields::InertiaRatio.DispatchId); }
    void SetInertiaRatio(float value) override { m_values.SetFloat(ConfigFields::InertiaRatio.DispatchId, value); }
    float VelocityScaling() const override { return m_values.Float(ConfigFields::VelocityScaling.DispatchId); }
    void SetVelocityScaling(float value) override { m_values.SetFloat(ConfigFields::VelocityScaling.DispatchId, value); }
    int Commutation() const override { return m_values.Int(ConfigFields::Commutation.DispatchId); }
    void SetCommutation(int value) override { m_values.SetInt(ConfigFields::Commutation.DispatchId, value); }
    float VelocityLoopKp() const override { return m_values.Float(ConfigFields::VelocityLoopKp.DispatchId); }
    void SetVelocityLoopKp(float value) override { m_values.SetFloat(ConfigFields::VelocityLoopKp.DispatchId, value); }
    float VelocityLoopKi() const override { return m_values.Float(ConfigFields::VelocityLoopKi.DispatchId); }
    void SetVelocityLoopKi(float value) override { m_values.SetFloat(ConfigFields::VelocityLoopKi.DispatchId, value); }
    int VelocityLoopIntegralLimit() const override { return m_values.Int(ConfigFields::VelocityLoopIntegralLimit.DispatchId); }
    void SetVelocityLoopIntegralLimit(int value) override { m_values.SetInt(ConfigFields::VelocityLoopIntegralLimit.DispatchId, value); }
    bool FaultOnDriveDisable() const override { return m_values.Bool(ConfigFields::FaultOnDriveDisable.DispatchId); }
    void SetFaultOnDriveDisable(bool value) override { m_values.SetBool(ConfigFields::FaultOnDriveDisable.DispatchId, value); }
    float StartupVoltageFault() const override { return m_values.Float(ConfigFields::StartupVoltageFault.DispatchId); }
    void SetStartupVoltageFault(float value) override { m_values.SetFloat(ConfigFields::StartupVoltageFault.DispatchId, value); }
    int BrakeDelay() const override { return m_values.Int(ConfigFields::BrakeDelay.DispatchId); }
    void SetBrakeDelay(int value) override { m_values.SetInt(ConfigFields::BrakeDelay.DispatchId, value); }
    bool InPositionEnable() const override { return m_values.Bool(ConfigFields::InPositionEnable.DispatchId); }
    void SetInPositionEnable(bool value) override { m_values.SetBool(ConfigFields::InPositionEnable.DispatchId, value); }
    int InPositionDeadband() const override { return m_values.Int(ConfigFields::InPositionDeadband.DispatchId); }
    void SetInPositionDeadband(int value) override { m_values.SetInt(ConfigFields::InPositionDeadband.DispatchId, value); }
    int InPositionTimeout() const override { return m_values.Int(ConfigFields::InPositionTimeout.DispatchId); }
    void SetInPositionTimeout(int value) override { m_values.SetInt(ConfigFields::InPositionTimeout.DispatchId, value); }
    bool ThermalSensorDisable() const override { return m_values.Bool(ConfigFields::ThermalSensorDisable.DispatchId); }
    void SetThermalSensorDisable(bool value) override { m_values.SetBool(ConfigFields::ThermalSensorDisable.DispatchId, value); }
    int ThermalSensorCode() const override { return m_values.Int(ConfigFields::ThermalSensorCode.DispatchId); }
    void SetThermalSensorCode(int value) override { m_values.SetInt(ConfigFields::ThermalSensorCode.DispatchId, value); }
    float NotchADepth() const override { return m_values.Float(ConfigFields::NotchADepth.DispatchId); }
    void SetNotchADepth(float value) override { m_values.SetFloat(ConfigFields::NotchADepth.DispatchId, value); }
    int NotchAFrequency() const override { return m_values.Int(ConfigFields::NotchAFrequency.DispatchId); }
    void SetNotchAFrequency(int value) override { m_values.SetInt(ConfigFields::NotchAFrequency.DispatchId, value); }
    float NotchAQuality() const override { return m_values.Float(ConfigFields::NotchAQuality.DispatchId); }
    void SetNotchAQuality(float value) override { m_values.SetFloat(ConfigFields::NotchAQuality.DispatchId, value); }
    float NotchBDepth() const override { return m_values.Float(ConfigFields::NotchBDepth.DispatchId); }
    void SetNotchBDepth(float value) override { m_values.SetFloat(ConfigFields::NotchBDepth.DispatchId, value); }
    int NotchBFrequency() const override { return m_values.Int(ConfigFields::NotchBFrequency.DispatchId); }
    void SetNotchBFrequency(int value) override { m_values.SetInt(ConfigFields::NotchBFrequency.DispatchId, value); }
    float NotchBQuality() const override { return m_values.Float(ConfigFields::NotchBQuality.DispatchId); }
    void SetNotchBQuality(float value) override { m_values.SetFloat(ConfigFields::NotchBQuality.DispatchId, value); }
    int NotchLeadFrequency() const override { return m_values.Int(ConfigFields::NotchLeadFrequency.DispatchId); }
    void SetNotchLeadFrequency(int value) override { m_values.SetInt(ConfigFields::NotchLeadFrequency.DispatchId, value); }
    int NotchLagFrequency() const override { return m_values.Int(ConfigFields::NotchLagFrequency.DispatchId); }
    void SetNotchLagFrequency(int value) override { m_values.SetInt(ConfigFields::NotchLagFrequency.DispatchId, value); }
    int HallSensorDirection() const override { return m_values.Int(ConfigFields::HallSensorDirection.DispatchId); }
    void SetHallSensorDirection(int value) override { m_values.SetInt(ConfigFields::HallSensorDirection.DispatchId, value); }
    int InvertHallSignals() const override { return m_values.Int(ConfigFields::InvertHallSignals.DispatchId); }
    void SetInvertHallSignals(int value) override { m_values.SetInt(ConfigFields::InvertHallSignals.DispatchId, value); }
    int EncoderOffset() const override { return m_values.Int(ConfigFields::EncoderOffset.DispatchId); }
    void SetEncoderOffset(int value) override { m_values.SetInt(ConfigFields::EncoderOffset.DispatchId, value); }
    int EncoderPolarity() const override { return m_values.Int(ConfigFields::EncoderPolarity.DispatchId); }
    void SetEncoderPolarity(int value) override { m_values.SetInt(ConfigFields::EncoderPolarity.DispatchId, value); }
    int StepInputResolution() const override { return m_values.Int(ConfigFields::StepInputResolution.DispatchId); }
    void SetStepInputResolution(int value) override { m_values.SetInt(ConfigFields::StepInputResolution.DispatchId, value); }
    float AnalogCenterDeadband() const override { return m_values.Float(ConfigFields::AnalogCenterDeadband.DispatchId); }
    void SetAnalogCenterDeadband(float value) override { m_values.SetFloat(ConfigFields::AnalogCenterDeadband.DispatchId, value); }
    bool InvertAnalogInput() const override { return m_values.Bool(ConfigFields::InvertAnalogInput.DispatchId); }
    void SetInvertAnalogInput(bool value) override { m_values.SetBool(ConfigFields::InvertAnalogInput.DispatchId, value); }
    float ZeroReferenceVoltage() const override { return m_values.Float(ConfigFields::ZeroReferenceVoltage.DispatchId); }
    void SetZeroReferenceVoltage(float value) override { m_values.SetFloat(ConfigFields::ZeroReferenceVoltage.DispatchId, value); }
    float PositionLoopKvff() const override { return m_values.Float(ConfigFields::PositionLoopKvff.DispatchId); }
    void SetPositionLoopKvff(float value) override { m_values.SetFloat(ConfigFields::PositionLoopKvff.DispatchId, value); }
    float MaxVelocityError() const override { return m_values.Float(ConfigFields::MaxVelocityError.DispatchId); }
    void SetMaxVelocityError(float value) override { m_values.SetFloat(ConfigFields::MaxVelocityError.DispatchId, value); }
    int DriveParameter186() const override { return m_values.Int(ConfigFields::DriveParameter186.DispatchId); }
    int AutoCurrentGains() const override { return m_values.Int(ConfigFields::AutoCurrentGains.DispatchId); }
    void SetAutoCurrentGains(int value) override { m_values.SetInt(ConfigFields::AutoCurrentGains.DispatchId, value); }
    int CurrentLoopBandwidth() const override { return m_values.Int(ConfigFields::CurrentLoopBandwidth.DispatchId); }
    void SetCurrentLoopBandwidth(int value) override { m_values.SetInt(ConfigFields::CurrentLoopBandwidth.DispatchId, value); }
    int EncoderFiltering() const override { return m_values.Int(ConfigFields::EncoderFiltering.DispatchId); }
    void SetEncoderFiltering(int value) override { m_values.SetInt(ConfigFields::EncoderFiltering.DispatchId, value); }
    int TuningMode() const override { return m_values.Int(ConfigFields::TuningMode.DispatchId); }
    void SetTuningMode(int value) override { m_values.SetInt(ConfigFields::TuningMode.DispatchId, value); }
    float SlidingGain() const override { return m_values.Float(ConfigFields::SlidingGain.DispatchId); }
    void SetSlidingGain(float value) override { m_values.SetFloat(ConfigFields::SlidingGain.DispatchId, value); }
    float AccelerationFactor() const override { return m_values.Float(ConfigFields::AccelerationFactor.DispatchId); }
    void SetAccelerationFactor(float value) override { m_values.SetFloat(ConfigFields::AccelerationFactor.DispatchId, value); }
    float RisingSpeed() const override { return m_values.Float(ConfigFields::RisingSpeed.DispatchId); }
    void SetRisingSpeed(float value) override { m_values.SetFloat(ConfigFields::RisingSpeed.DispatchId, value); }
    float SwitchingFactor() const override { return m_values.Float(ConfigFields::SwitchingFactor.DispatchId); }
    void SetSwitchingFactor(float value) override { m_values.SetFloat(ConfigFields::SwitchingFactor.DispatchId, value); }
    float SignedSlidingScaleFactor() const override { return m_values.Float(ConfigFields::SignedSlidingScaleFactor.DispatchId); }
    void SetSignedSlidingScaleFactor(float value) override { m_values.SetFloat(ConfigFields::SignedSlidingScaleFactor.DispatchId, value); }
    float ModeFilterConstant() const override { return m_values.Float(ConfigFields::ModeFilterConstant.DispatchId); }
    void SetModeFilterConstant(float value) override { m_values.SetFloat(ConfigFields::ModeFilterConstant.DispatchId, value); }
    void SetFeedbackType(int value) override { m_values.SetInt(ConfigFields::FeedbackType.DispatchId, value); }
    void SetStep1Value(float value) override { m_values.SetFloat(ConfigFields::Step1Value.DispatchId, value); }
    // clang-format on

private:
    void UploadFromDrive();
    void DownloadToDrive();

    DriveConnection m_connection;
    ConfigurationValues m_values;

    // --- Captures, auto tuning, alignment, zero reference (OrvexBridgeConfigMotion.cpp) ---
public:
    // Each capture first sends the gains of the loop under test, since a
    // property put alone does not reach the drive.
    QVariant CaptureCurrentStep(float amplitude, int frequency, int timeoutMs) override;
    QVariant CaptureVelocityStep(float acceleration, float velocity, int frequency,
                                 int timeoutMs) override;
    QVariant CapturePositionStep(int distance, int timeoutMs) override;
    float AutoTune() override;
    void AlignMotor() override;
    float ReadZeroReference() override;

private:
    void SendProperties(std::span<const ConfigField* const> fields);
    // Runs a capture command; answers its commanded, actual, ... values.
    QStringList RunCapture(const QString& command, int timeoutMs);

    // --- Operating system download (OrvexBridgeConfigOs.cpp) ---
public:
    void StartOsDownload(const QString& path) override;
    int GetOsDownloadProgress(int& total, int& done) override;
    void AbortOsDownload() override;
    // Why the last download failed, for the log; empty after a success.
    QString OsDownloadError() const { return m_osDownload.LastError(); }

private:
    // Declared after the connection: a running download lets go of the
    // channel before the connection does.
    OsDownload m_osDownload;
};

} // namespace Orvex
