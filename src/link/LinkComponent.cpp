#include "LinkComponent.h"

#include "Component.h"
#include "ComponentFactory.h"
#include "LinkPortObject.h"

namespace Orvex {

void RegisterLinkComponent(ComponentFactory& factory, PortHub& hub)
{
    factory.Register(
        QString::fromLatin1(ProgId::LinkPort),
        [&hub]() -> std::unique_ptr<IComponent> { return std::make_unique<CLinkPort>(hub); });
}

} // namespace Orvex
