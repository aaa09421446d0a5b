#pragma once

#include "DriveModel.h"

#include <QString>

#include <memory>
#include <optional>

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

    // The load behind the simulated drive's motor ("Simulator"/"LoadRatio",
    // "ResonanceHz", "ResonanceDamping"), the usual one until chosen; the
    // drive takes it from the profile at each test move, so a change counts
    // from the next one.
    static DriveModel::Load SimulatedLoad(QSettings& settings);
    static void SetSimulatedLoad(QSettings& settings, double inertiaRatio, double resonanceHz,
                                 double dampingRatio);
    // Seeds the simulated drive's noise (now, or when it is made), so its
    // captures repeat from run to run.
    void SeedSimulator(quint64 seed);

private:
    std::shared_ptr<SimulatedDrive> EnsureDrive() const;

    std::unique_ptr<PortHub> m_hub;
    QSettings& m_settings;
    QString m_programFolder;
    std::optional<quint64> m_seed;
    mutable std::shared_ptr<SimulatedDrive> m_drive;
};

} // namespace Orvex
