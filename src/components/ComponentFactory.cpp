#include "ComponentFactory.h"

#include <utility>

namespace Orvex {

void ComponentFactory::Register(const QString& progId, Creator creator)
{
    m_creators[progId] = std::move(creator);
}

void ComponentFactory::Unregister(const QString& progId)
{
    m_creators.erase(progId);
}

bool ComponentFactory::IsRegistered(const QString& progId) const
{
    return m_creators.find(progId) != m_creators.end();
}

std::unique_ptr<IComponent> ComponentFactory::CreateComponent(const QString& progId) const
{
    const auto it = m_creators.find(progId);
    if (it == m_creators.end() || !it->second) {
        throw ComponentError(
            ResultCode::ClassNotRegistered,
            QStringLiteral("%1 is not installed (class not registered).").arg(progId));
    }
    std::unique_ptr<IComponent> object = it->second();
    if (!object) {
        throw ComponentError(ResultCode::Fail,
                             QStringLiteral("%1 could not be created.").arg(progId));
    }
    return object;
}

} // namespace Orvex
