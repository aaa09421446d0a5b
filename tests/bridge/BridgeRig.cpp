#include "BridgeRig.h"

#include "BridgeComponents.h"
#include "ComponentError.h"
#include "OrvexBridgeConfig.h"

namespace OrvexTest {

BridgeRig::BridgeRig(Drive where)
    : settings(dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat),
      registry(source, settings), hub(registry)
{
    if (where == Drive::InProcess) {
        QString error;
        drive = Orvex::SimulatedDrive::FromFolder(qEnvironmentVariable("ORVEX_DATA_DIR"), &error);
        if (!drive) {
            qFatal("No simulated drive: %s", qPrintable(error));
        }
        drive->SetSeed(1);
        port = AddVirtualPort(QStringLiteral("sim"), [this] {
            auto made = std::make_unique<RigLink>(drive);
            link = made.get();
            transport = &made->inner;
            return made;
        });
    }
    Orvex::RegisterBridgeComponents(factory, hub);
}

QString DescriptionOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const Orvex::ComponentError& error) {
        return error.Description();
    }
    return QStringLiteral("(no error)");
}

const Orvex::ConfigurationValues& ValuesOf(const Orvex::IOrvexConfig& config)
{
    return static_cast<const Orvex::COrvexBridgeConfig&>(config).Values();
}

} // namespace OrvexTest
