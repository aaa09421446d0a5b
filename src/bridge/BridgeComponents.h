#pragma once

namespace Orvex {

class ComponentFactory;
class PortHub;

// Registers the drive bridge's objects, "OrvexBridge.Config" and
// "OrvexBridge.Status", in the factory; both reach the drive through the hub,
// which must outlive every object the factory creates.
void RegisterBridgeComponents(ComponentFactory& factory, PortHub& hub);

} // namespace Orvex
