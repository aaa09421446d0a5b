#pragma once

#include "SerialDeviceInfo.h"

#include <vector>

namespace Orvex {

// The list of serial devices present right now, in the system's discovery order.
class ISerialDeviceSource
{
public:
    virtual ~ISerialDeviceSource() = default;

    virtual std::vector<SerialDeviceInfo> PresentDevices() const = 0;
};

// The devices Qt SerialPort finds on this computer.
class QtSerialDeviceSource final : public ISerialDeviceSource
{
public:
    std::vector<SerialDeviceInfo> PresentDevices() const override;
};

} // namespace Orvex
