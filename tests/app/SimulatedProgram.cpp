#include "SimulatedProgram.h"

namespace OrvexTest {

SimulatedProgram::SimulatedProgram(const QString& dataFolder,
                                   const std::function<void(QSettings&)>& prepare)
    : settings(dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat),
      // The profile is prepared before the port registry reads it.
      ports(((prepare ? prepare(settings) : void()), devices), settings),
      components(factory, ports, settings, dataFolder),
      config(factory.Create<Orvex::IOrvexConfig>(QString::fromLatin1(Orvex::ProgId::BridgeConfig))),
      context{factory, ui, settings, *config, nullptr, nullptr, limits, false, dataFolder}
{}

int SimulatedProgram::SimulatorPort()
{
    for (const Orvex::PortRegistry::PortEntry& entry : ports.EnumerateSerialPorts()) {
        if (entry.SystemLocation == Orvex::BuiltInComponents::SimulatorKey())
            return entry.Number;
    }
    return 0;
}

} // namespace OrvexTest
