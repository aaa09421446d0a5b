#pragma once

#include <QString>

#include <memory>

class QSettings;

namespace Orvex {

class ComponentFactory;
class PortHub;
class PortRegistry;
class SimulatedDrive;

// The components built into the program: the serial link with the port hub
// every page and the drive bridge share, the drive bridge itself, and the
// simulated drive behind a port of its own, so that every page works without
// a drive. Lives as long as the factory it registers into.
class BuiltInComponents
{
public:
    // The simulated drive reads the command database of programFolder; when
    // it cannot, the program has no simulator port (start-up then stops with
    // the database's own message anyway).
    BuiltInComponents(ComponentFactory& factory, PortRegistry& ports, QSettings& settings,
                      const QString& programFolder);
    ~BuiltInComponents();

    PortHub& Hub() const { return *m_hub; }
    // Null when the command database could not be read.
    SimulatedDrive* Drive() const { return m_drive.get(); }

    // The simulator's port: registry key and description.
    static QString SimulatorKey();
    static QString SimulatorDescription();
    // Whether the simulator's port is offered ("Communications"/"Simulator").
    static bool SimulatorOffered(QSettings& settings);
    // Offers or withdraws the simulator's port and remembers the choice.
    static void OfferSimulator(PortRegistry& ports, QSettings& settings, bool offer);

private:
    std::unique_ptr<PortHub> m_hub;
    std::shared_ptr<SimulatedDrive> m_drive;
};

} // namespace Orvex
