#pragma once

namespace Orvex {

class ComponentFactory;

// Registers the components that are built into the program itself.
void RegisterBuiltInComponents(ComponentFactory& factory);

} // namespace Orvex
