#include "BuiltInComponents.h"

#include "ComponentFactory.h"
#include "OrvexConfigBase.h"

namespace Orvex {

namespace {

// Stands in for the drive bridge while the program has none: start-up and
// every page work, and any drive action says plainly that no drive can be
// reached.
class BridgeNotInstalledConfig final : public OrvexConfigBase
{
public:
    QString Version() const override { return QStringLiteral("(not installed)"); }

protected:
    ComponentError UnsupportedError(const char*) const override
    {
        return ComponentError(ResultCode::NotImplemented,
                              QStringLiteral("The drive bridge is not installed in this build of "
                                             "the program, so no drive can be reached."));
    }
};

} // namespace

void RegisterBuiltInComponents(ComponentFactory& factory)
{
    factory.Register(QString::fromLatin1(ProgId::BridgeConfig),
                     [] { return std::make_unique<BridgeNotInstalledConfig>(); });
}

} // namespace Orvex
