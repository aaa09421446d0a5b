#pragma once

#include "ConfigurationValues.h"
#include "DriveConnection.h"
#include "OrvexConfigBase.h"
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
class COrvexBridgeConfig final : public OrvexConfigBase
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

    // Configuration properties, by dispatch id.
    // clang-format off
    int MotorIsLinear() const override { return m_values.Int(2); }
    void SetMotorIsLinear(int value) override { m_values.SetInt(2, value); }
    QString MotorPartNumber() const override { return m_values.Text(3); }
    void SetMotorPartNumber(const QString& value) override { m_values.SetText(3, value); }
    float MotorRatedSpeed() const override { return m_values.Float(4); }
    void SetMotorRatedSpeed(float value) override { m_values.SetFloat(4, value); }
    int MotorPolePairs() const override { return m_values.Int(5); }
    void SetMotorPolePairs(int value) override { m_values.SetInt(5, value); }
    float MotorInertia() const override { return m_values.Float(6); }
    void SetMotorInertia(float value) override { m_values.SetFloat(6, value); }
    float MotorDamping() const override { return m_values.Float(7); }
    void SetMotorDamping(float value) override { m_values.SetFloat(7, value); }
    float MotorThermalTimeConstant() const override { return m_values.Float(8); }
    void SetMotorThermalTimeConstant(float value) override { m_values.SetFloat(8, value); }
    float WindingThermalTimeConstant() const override { return m_values.Float(9); }
    void SetWindingThermalTimeConstant(float value) override { m_values.SetFloat(9, value); }
    float ThermalResistance() const override { return m_values.Float(10); }
    void SetThermalResistance(float value) override { m_values.SetFloat(10, value); }
    float AmbientTemperature() const override { return m_values.Float(11); }
    void SetAmbientTemperature(float value) override { m_values.SetFloat(11, value); }
    float MaxWindingTemperature() const override { return m_values.Float(12); }
    void SetMaxWindingTemperature(float value) override { m_values.SetFloat(12, value); }
    float MotorKe() const override { return m_values.Float(13); }
    void SetMotorKe(float value) override { m_values.SetFloat(13, value); }
    float ContinuousCurrent() const override { return m_values.Float(14); }
    void SetContinuousCurrent(float value) override { m_values.SetFloat(14, value); }
    float ContinuousCurrentDerating() const override { return m_values.Float(15); }
    void SetContinuousCurrentDerating(float value) override { m_values.SetFloat(15, value); }
    float PeakCurrent() const override { return m_values.Float(16); }
    void SetPeakCurrent(float value) override { m_values.SetFloat(16, value); }
    float WindingResistance() const override { return m_values.Float(17); }
    void SetWindingResistance(float value) override { m_values.SetFloat(17, value); }
    float InductanceRatio() const override { return m_values.Float(18); }
    void SetInductanceRatio(float value) override { m_values.SetFloat(18, value); }
    float MaxInductance() const override { return m_values.Float(19); }
    void SetMaxInductance(float value) override { m_values.SetFloat(19, value); }
    float ElectricalPitch() const override { return m_values.Float(20); }
    void SetElectricalPitch(float value) override { m_values.SetFloat(20, value); }
    int CustomWindingNumber() const override { return m_values.Int(21); }
    void SetCustomWindingNumber(int value) override { m_values.SetInt(21, value); }
    int FeedbackResolution() const override { return m_values.Int(22); }
    void SetFeedbackResolution(int value) override { m_values.SetInt(22, value); }
    float CurrentLoopKp() const override { return m_values.Float(23); }
    void SetCurrentLoopKp(float value) override { m_values.SetFloat(23, value); }
    float CurrentLoopKi() const override { return m_values.Float(24); }
    void SetCurrentLoopKi(float value) override { m_values.SetFloat(24, value); }
    float CurrentLoopIntegralLimit() const override { return m_values.Float(25); }
    void SetCurrentLoopIntegralLimit(float value) override { m_values.SetFloat(25, value); }
    float TorqueLimit() const override { return m_values.Float(26); }
    void SetTorqueLimit(float value) override { m_values.SetFloat(26, value); }
    float TorqueScaling() const override { return m_values.Float(27); }
    void SetTorqueScaling(float value) override { m_values.SetFloat(27, value); }
    float VelocityLimit() const override { return m_values.Float(28); }
    void SetVelocityLimit(float value) override { m_values.SetFloat(28, value); }
    int PwmFrequency() const override { return m_values.Int(29); }
    void SetPwmFrequency(int value) override { m_values.SetInt(29, value); }
    bool CurrentFoldback() const override { return m_values.Bool(30); }
    void SetCurrentFoldback(bool value) override { m_values.SetBool(30, value); }
    int CoolingCode() const override { return m_values.Int(34); }
    void SetCoolingCode(int value) override { m_values.SetInt(34, value); }
    int CommandDirection() const override { return m_values.Int(35); }
    void SetCommandDirection(int value) override { m_values.SetInt(35, value); }
    void SetFeedbackAuxiliary(int value) override { m_values.SetInt(37, value); }
    float PositionLoopKp() const override { return m_values.Float(38); }
    void SetPositionLoopKp(float value) override { m_values.SetFloat(38, value); }
    float PositionLoopKi() const override { return m_values.Float(39); }
    void SetPositionLoopKi(float value) override { m_values.SetFloat(39, value); }
    float PositionLoopKv() const override { return m_values.Float(41); }
    void SetPositionLoopKv(float value) override { m_values.SetFloat(41, value); }
    int PositionLoopIntegralLimit() const override { return m_values.Int(42); }
    void SetPositionLoopIntegralLimit(int value) override { m_values.SetInt(42, value); }
    int ControlMode() const override { return m_values.Int(45); }
    void SetControlMode(int value) override { m_values.SetInt(45, value); }
    int MaxPositionError() const override { return m_values.Int(46); }
    void SetMaxPositionError(int value) override { m_values.SetInt(46, value); }
    float InertiaRatio() const override { return m_values.Float(49); }
    void SetInertiaRatio(float value) override { m_values.SetFloat(49, value); }
    float VelocityScaling() const override { return m_values.Float(51); }
    void SetVelocityScaling(float value) override { m_values.SetFloat(51, value); }
    int Commutation() const override { return m_values.Int(52); }
    void SetCommutation(int value) override { m_values.SetInt(52, value); }
    float VelocityLoopKp() const override { return m_values.Float(53); }
    void SetVelocityLoopKp(float value) override { m_values.SetFloat(53, value); }
    float VelocityLoopKi() const override { return m_values.Float(54); }
    void SetVelocityLoopKi(float value) override { m_values.SetFloat(54, value); }
    int VelocityLoopIntegralLimit() const override { return m_values.Int(55); }
    void SetVelocityLoopIntegralLimit(int value) override { m_values.SetInt(55, value); }
    bool FaultOnDriveDisable() const override { return m_values.Bool(56); }
    void SetFaultOnDriveDisable(bool value) override { m_values.SetBool(56, value); }
    float StartupVoltageFault() const override { return m_values.Float(57); }
    void SetStartupVoltageFault(float value) override { m_values.SetFloat(57, value); }
    int BrakeDelay() const override { return m_values.Int(58); }
    void SetBrakeDelay(int value) override { m_values.SetInt(58, value); }
    bool InPositionEnable() const override { return m_values.Bool(59); }
    void SetInPositionEnable(bool value) override { m_values.SetBool(59, value); }
    int InPositionDeadband() const override { return m_values.Int(60); }
    void SetInPositionDeadband(int value) override { m_values.SetInt(60, value); }
    int InPositionTimeout() const override { return m_values.Int(61); }
    void SetInPositionTimeout(int value) override { m_values.SetInt(61, value); }
    bool ThermalSensorDisable() const override { return m_values.Bool(62); }
    void SetThermalSensorDisable(bool value) override { m_values.SetBool(62, value); }
    int ThermalSensorCode() const override { return m_values.Int(63); }
    void SetThermalSensorCode(int value) override { m_values.SetInt(63, value); }
    float NotchADepth() const override { return m_values.Float(64); }
    void SetNotchADepth(float value) override { m_values.SetFloat(64, value); }
    int NotchAFrequency() const override { return m_values.Int(65); }
    void SetNotchAFrequency(int value) override { m_values.SetInt(65, value); }
    float NotchAQuality() const override { return m_values.Float(66); }
    void SetNotchAQuality(float value) override { m_values.SetFloat(66, value); }
    float NotchBDepth() const override { return m_values.Float(67); }
    void SetNotchBDepth(float value) override { m_values.SetFloat(67, value); }
    int NotchBFrequency() const override { return m_values.Int(68); }
    void SetNotchBFrequency(int value) override { m_values.SetInt(68, value); }
    float NotchBQuality() const override { return m_values.Float(69); }
    void SetNotchBQuality(float value) override { m_values.SetFloat(69, value); }
    int NotchLeadFrequency() const override { return m_values.Int(70); }
    void SetNotchLeadFrequency(int value) override { m_values.SetInt(70, value); }
    int NotchLagFrequency() const override { return m_values.Int(71); }
    void SetNotchLagFrequency(int value) override { m_values.SetInt(71, value); }
    int HallSensorDirection() const override { return m_values.Int(72); }
    void SetHallSensorDirection(int value) override { m_values.SetInt(72, value); }
    int InvertHallSignals() const override { return m_values.Int(73); }
    void SetInvertHallSignals(int value) override { m_values.SetInt(73, value); }
    int EncoderOffset() const override { return m_values.Int(74); }
    void SetEncoderOffset(int value) override { m_values.SetInt(74, value); }
    int EncoderPolarity() const override { return m_values.Int(75); }
    void SetEncoderPolarity(int value) override { m_values.SetInt(75, value); }
    int StepInputResolution() const override { return m_values.Int(76); }
    void SetStepInputResolution(int value) override { m_values.SetInt(76, value); }
    float AnalogCenterDeadband() const override { return m_values.Float(77); }
    void SetAnalogCenterDeadband(float value) override { m_values.SetFloat(77, value); }
    bool InvertAnalogInput() const override { return m_values.Bool(78); }
    void SetInvertAnalogInput(bool value) override { m_values.SetBool(78, value); }
    float ZeroReferenceVoltage() const override { return m_values.Float(79); }
    void SetZeroReferenceVoltage(float value) override { m_values.SetFloat(79, value); }
    float PositionLoopKvff() const override { return m_values.Float(80); }
    void SetPositionLoopKvff(float value) override { m_values.SetFloat(80, value); }
    float MaxVelocityError() const override { return m_values.Float(81); }
    void SetMaxVelocityError(float value) override { m_values.SetFloat(81, value); }
    int DriveParameter186() const override { return m_values.Int(82); }
    int AutoCurrentGains() const override { return m_values.Int(83); }
    void SetAutoCurrentGains(int value) override { m_values.SetInt(83, value); }
    int CurrentLoopBandwidth() const override { return m_values.Int(84); }
    void SetCurrentLoopBandwidth(int value) override { m_values.SetInt(84, value); }
    int EncoderFiltering() const override { return m_values.Int(85); }
    void SetEncoderFiltering(int value) override { m_values.SetInt(85, value); }
    int TuningMode() const override { return m_values.Int(190); }
    void SetTuningMode(int value) override { m_values.SetInt(190, value); }
    float SlidingGain() const override { return m_values.Float(191); }
    void SetSlidingGain(float value) override { m_values.SetFloat(191, value); }
    float AccelerationFactor() const override { return m_values.Float(192); }
    void SetAccelerationFactor(float value) override { m_values.SetFloat(192, value); }
    float RisingSpeed() const override { return m_values.Float(193); }
    void SetRisingSpeed(float value) override { m_values.SetFloat(193, value); }
    float SwitchingFactor() const override { return m_values.Float(194); }
    void SetSwitchingFactor(float value) override { m_values.SetFloat(194, value); }
    float SignedSlidingScaleFactor() const override { return m_values.Float(195); }
    void SetSignedSlidingScaleFactor(float value) override { m_values.SetFloat(195, value); }
    float ModeFilterConstant() const override { return m_values.Float(196); }
    void SetModeFilterConstant(float value) override { m_values.SetFloat(196, value); }
    void SetFeedbackType(int value) override { m_values.SetInt(197, value); }
    void SetStep1Value(float value) override { m_values.SetFloat(198, value); }
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
    void SendProperties(std::span<const int> dispatchIds);
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
