#pragma once

#include "Component.h"

namespace Orvex {

// What every drive action starts with: the port to use and the connection
// test. Both bridge objects (configuration and status) offer it, so one
// drive sequence serves every page whichever object it uses.
class IDriveConnection : public IComponent
{
public:
    virtual void SetPortNumber(int port) = 0;
    // -1 when the drive answered; 1 to 6 name the failure.
    virtual int TestConnection() = 0;
};

} // namespace Orvex
