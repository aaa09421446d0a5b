#pragma once

#include "Component.h"

#include <QString>

namespace Orvex {

// The drive bridge's status object ("OrvexBridge.Status"): reads the drive's
// bit and numeric status on the port set with SetPortNumber. Every call may
// throw a ComponentError.
class IOrvexStatus : public IComponent
{
public:
    virtual QString Version() const = 0;
    virtual void SetPortNumber(int port) = 0;
    // -1 when the drive answered; 1 to 6 name the failure.
    virtual int TestConnection() = 0;

    virtual void UploadStatus() = 0;
    virtual bool BitState(int index) = 0;
};

} // namespace Orvex
