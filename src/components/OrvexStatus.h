#pragma once

#include "IDriveConnection.h"

#include <QString>

namespace Orvex {

// The drive bridge's status object ("OrvexBridge.Status"): reads the drive's
// bit and numeric status on the port set with SetPortNumber.
//
// UploadStatus refreshes the bits, UploadNumericStatus the numeric values its
// mask selects; the getters then answer from that copy. They are not const
// because an implementation may fetch a value on demand. Every call may throw a
// ComponentError. The trailing number on each line is the dispatch id.
class IOrvexStatus : public IDriveConnection
{
public:
    virtual QString Version() const = 0; // 1

    // Connection: SetPortNumber (2) and TestConnection (4) of
    // IDriveConnection.

    // Bit status
    virtual void UploadStatus() = 0; // 201
    // Bit index 0 to 63 of the uploaded status; true when set.
    virtual bool BitState(int index) = 0;   // 203
    virtual bool DriveFaultOutput() = 0;    // 54
    virtual bool BrakeRelayEnergized() = 0; // 55

    // Numeric status
    // selectionMask ORs the item bits to read (all 32 bits: -1); upperMask
    // selects from a second word that no item uses yet, so callers pass 0.
    virtual void UploadNumericStatus(int selectionMask, int upperMask) = 0; // 202

    // Identity
    virtual QString SerialNumber() = 0; // 102, item bit 0x1
    virtual QString MotorName() = 0;    // 103, item bit 0x2
    // May hold "\r\n" line breaks.
    virtual QString OsRevision() = 0; // 112, item bit 0x4

    // Ratings
    virtual float AmplifierContinuousCurrent() = 0; // 117, Arms, item bit 0x8
    virtual float AmplifierPeakCurrent() = 0;       // 118, Arms, item bit 0x10
    virtual int CustomFirmwareCode() = 0;           // 119, item bit 0x20
    virtual int PowerLevel() = 0;                   // 120, W, item bit 0x40

    // Hours, temperatures, bus
    virtual QString OperatingHours() = 0; // 121, "HH:MM:SS", item bit 0x80
    virtual float DriveTemperature() = 0; // 125, degrees C, item bit 0x100
    virtual float MotorTemperature() = 0; // 126, degrees C, item bit 0x200
    virtual float BusVoltage() = 0;       // 127, V, item bit 0x400
    virtual int HoursPoweredUp() = 0;     // 143, hours, item bit 0x800000

    // Commanded and feedback values
    virtual float CommandedCurrent() = 0;   // 128, A, item bit 0x800
    virtual float CommandedTorque() = 0;    // 129, Nm or N, item bit 0x1000
    virtual float FeedbackTorque() = 0;     // 130, Nm or N, item bit 0x2000
    virtual float CommandedVelocity() = 0;  // 131, rps or mps, item bit 0x4000
    virtual float FeedbackVelocity() = 0;   // 132, rps or mps, item bit 0x8000
    virtual float VelocityError() = 0;      // 133, rps or mps, item bit 0x10000
    virtual int CommandedPosition() = 0;    // 134, counts, item bit 0x20000
    virtual int FeedbackPosition() = 0;     // 135, counts, item bit 0x40000
    virtual int PositionError() = 0;        // 136, counts, item bit 0x80000
    virtual float AnalogInputVoltage() = 0; // 141, the +/- 10 V input, item bit 0x200000
    virtual int HallEffectState() = 0;      // 145, item bit 0x1000000
    virtual float PwmUpdatePeriod() = 0;    // 146, microseconds, item bit 0x2000000
};

} // namespace Orvex
