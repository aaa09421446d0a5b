#pragma once

#include "Component.h"
#include "ComponentError.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>

namespace Orvex {

// Creates component objects by program identifier. The application registers
// the real implementations; a test registers whatever it wants to drive.
class ComponentFactory
{
public:
    using Creator = std::function<std::unique_ptr<IComponent>()>;

    // Registers (or replaces) the creator for a program identifier.
    void Register(const QString& progId, Creator creator);
    void Unregister(const QString& progId);
    bool IsRegistered(const QString& progId) const;

    // Creates an object of the given identifier as interface T. Throws a
    // ComponentError when nothing is registered under the identifier, when the
    // creator fails, or when the object does not implement T.
    template <class T> std::unique_ptr<T> Create(const QString& progId) const
    {
        std::unique_ptr<IComponent> object = CreateComponent(progId);
        if (auto* typed = dynamic_cast<T*>(object.get())) {
            object.release();
            return std::unique_ptr<T>(typed);
        }
        throw ComponentError(
            ResultCode::NoInterface,
            QStringLiteral("%1 does not support the requested interface.").arg(progId));
    }

private:
    std::unique_ptr<IComponent> CreateComponent(const QString& progId) const;

    std::map<QString, Creator> m_creators;
};

} // namespace Orvex
