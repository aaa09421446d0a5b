#pragma once

#include "DriveConnection.h"
#include "OrvexStatus.h"

#include <QtGlobal>

#include <array>

namespace Orvex {

class PortHub;

// The drive bridge's status object ("OrvexBridge.Status"): reads the drive's
// error bits, outputs and the numeric status items a mask selects, and
// answers from the copy it read.
class COrvexBridgeStatus final : public IOrvexStatus
{
public:
    // Items of the numeric status, one per item bit.
    static constexpr int ItemCount = 24;

    explicit COrvexBridgeStatus(PortHub& hub);
    ~COrvexBridgeStatus() override;

    QString Version() const override;
    void SetPortNumber(int port) override;
    int TestConnection() override;

    void UploadStatus() override;
    // Rows 0 to 63 are the error bits E0 to E63, rows 64 and 65 the fault
    // output and the brake relay; any other index throws.
    bool BitState(int index) override;
    bool DriveFaultOutput() override;
    bool BrakeRelayEnergized() override;

    void UploadNumericStatus(int selectionMask, int upperMask) override;

    QString SerialNumber() override;
    QString MotorName() override;
    QString OsRevision() override;
    float AmplifierContinuousCurrent() override;
    float AmplifierPeakCurrent() override;
    int CustomFirmwareCode() override;
    int PowerLevel() override;
    QString OperatingHours() override;
    float DriveTemperature() override;
    float MotorTemperature() override;
    float BusVoltage() override;
    int HoursPoweredUp() override;
    float CommandedCurrent() override;
    float CommandedTorque() override;
    float FeedbackTorque() override;
    float CommandedVelocity() override;
    float FeedbackVelocity() override;
    float VelocityError() override;
    int CommandedPosition() override;
    int FeedbackPosition() override;
    int PositionError() override;
    float AnalogInputVoltage() override;
    int HallEffectState() override;
    float PwmUpdatePeriod() override;

private:
    struct ItemValue
    {
        double Number = 0.0;
        QString Text;
    };

    const ItemValue& Item(int dispatchId) const;
    float FloatItem(int dispatchId) const;
    int IntItem(int dispatchId) const;

    DriveConnection m_connection;
    quint64 m_errorBits = 0;
    bool m_faultOutput = false;
    bool m_brakeRelay = false;
    std::array<ItemValue, ItemCount> m_items{};
};

} // namespace Orvex
