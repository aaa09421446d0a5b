#pragma once

#include "Component.h"

#include <QString>

namespace Orvex {

// The drive bridge's configuration object ("OrvexBridge.Config"): holds one
// whole drive configuration and carries out the drive actions on the port set
// with SetPortNumber. Property getters carry the property's name, setters a
// "Set" prefix. Every call may throw a ComponentError.
class IOrvexConfig : public IComponent
{
public:
    virtual QString Version() const = 0;

    virtual void SetPortNumber(int port) = 0;
    // -1 when the drive answered; 1 to 6 name the failure.
    virtual int TestConnection() = 0;

    virtual int ControlMode() const = 0;
    virtual void SetControlMode(int mode) = 0;

    // An empty path reads the configuration from the drive.
    virtual void LoadConfiguration(const QString& path) = 0;
    // toDrive false with a path writes a file; true with an empty path sends
    // the configuration to the drive.
    virtual void StoreConfiguration(bool toDrive, const QString& path) = 0;
};

} // namespace Orvex
