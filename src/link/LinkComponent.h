#pragma once

namespace Orvex {

class ComponentFactory;
class PortHub;

// Makes "ComHost2.LinkPort" create link objects that share the ports of this
// hub. The hub must outlive the factory's use and every link it creates.
void RegisterLinkComponent(ComponentFactory& factory, PortHub& hub);

} // namespace Orvex
