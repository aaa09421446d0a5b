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
    // The simulated drive is made when its port is first opened, from the
    // command database of programFolder; when that cannot be read, opening
    // the port says the simulator is not available.
    BuiltInComponents(ComponentFactory& factory, PortRegistry& ports, QSettings& settings,
                      const QString& programFolder);
    ~BuiltInComponents();

    PortHub& Hub() const { return *m_hub; }
    // The simulated drive, made now if it was not yet; null when the command
    // database cannot be read.
    SimulatedDrive* Drive() const { return EnsureDrive().get(); }

    // The simulator's port: registry key and description.
    static QString SimulatorKey();
    static QString SimulatorDescription();
    // Whether the simulator's port is offered ("Communications"/"Simulator").
    static bool SimulatorOffered(QSettings& settings);
    // Offers or withdraws the simulator's port and remembers the choice.
    static void OfferSimulator(PortRegistry& ports, QSettings& settings, bool offer);

private:
    std::shared_ptr<SimulatedDrive> EnsureDrive() const;

    std::unique_ptr<PortHub> m_hub;
    QString m_programFolder;
    mutable std::shared_ptr<SimulatedDrive> m_drive;
};

} // namespace Orvex
