#include "BridgeComponents.h"

#include "Component.h"
#include "ComponentFactory.h"
#include "OrvexBridgeConfig.h"
#include "OrvexBridgeStatus.h"

namespace Orvex {

void RegisterBridgeComponents(ComponentFactory& factory, PortHub& hub)
{
    factory.Register(QLatin1String(ProgId::BridgeConfig),
                     [&hub] { return std::make_unique<COrvexBridgeConfig>(hub); });
    factory.Register(QLatin1String(ProgId::BridgeStatus),
                     [&hub] { return std::make_unique<COrvexBridgeStatus>(hub); });
}

} // namespace Orvex
