#pragma once

namespace Orvex {

// Base of every object the component factory hands out, so one factory can
// create any of them by program identifier.
class IComponent
{
public:
    virtual ~IComponent() = default;
};

// Program identifiers of the components the program creates.
namespace ProgId {
inline constexpr char BridgeConfig[] = "OrvexBridge.Config";
inline constexpr char BridgeStatus[] = "OrvexBridge.Status";
inline constexpr char LinkPort[] = "ComHost2.LinkPort";
inline constexpr char MotorServer[] = "OrvexMotorDatabase.OrvexMotorServer";
} // namespace ProgId

} // namespace Orvex
