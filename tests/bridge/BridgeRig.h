#pragma once

#include "ComponentFactory.h"
#include "ConfigurationValues.h"
#include "OrvexConfig.h"
#include "OrvexStatus.h"
#include "PortHub.h"
#include "PortRegistry.h"
#include "SimulatedDrive.h"
#include "SimulatorTransport.h"

#include <QPointer>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace OrvexTest {

// The port registry, hub and factory of the application, with the bridge
// registered in the factory, on a computer without serial ports and with a
// profile in a temporary folder. By default the simulated drive of
// ORVEX_DATA_DIR sits behind the in-process port `port`.
struct BridgeRig
{
    // A computer without serial ports.
    class NoDevices final : public Orvex::ISerialDeviceSource
    {
    public:
        std::vector<Orvex::SerialDeviceInfo> PresentDevices() const override { return {}; }
    };

    // Where the drive the bridge talks to is.
    enum class Drive
    {
        // The simulated drive, in this process, on the port `port`.
        InProcess,
        // Outside the rig (the standalone simulator on a pseudo-terminal, say):
        // the test adds the drive's port to the registry and sets `port`.
        External,
    };

    // Makes the link to the in-process drive each time its port is opened.
    using DriveLinkMaker = std::function<std::unique_ptr<Orvex::ILinkTransport>(
        const std::shared_ptr<Orvex::SimulatedDrive>&)>;

    // An in-process drive is reached through a SimulatorTransport, the last
    // one made being `transport`.
    explicit BridgeRig(Drive where = Drive::InProcess);
    // The in-process drive reached through the links makeLink makes (a link
    // with faults of its own, say); `transport` stays empty.
    explicit BridgeRig(DriveLinkMaker makeLink);

    BridgeRig(const BridgeRig&) = delete;
    BridgeRig& operator=(const BridgeRig&) = delete;

    // Adds an in-process port opened through make and answers its number.
    int AddVirtualPort(const QString& key, const QString& description,
                       Orvex::PortHub::TransportMaker make);

    // New bridge objects from the factory, set to `port`.
    std::unique_ptr<Orvex::IOrvexConfig> Config();
    std::unique_ptr<Orvex::IOrvexStatus> Status();

    QTemporaryDir dir;
    QSettings settings;
    NoDevices source;
    Orvex::PortRegistry registry;
    Orvex::PortHub hub;
    Orvex::ComponentFactory factory;
    std::shared_ptr<Orvex::SimulatedDrive> drive;
    QPointer<Orvex::SimulatorTransport> transport;
    int port = 0;
};

// The description of the component error call throws, or "(no error)".
QString DescriptionOf(const std::function<void()>& call);

// The configuration a bridge configuration object holds.
const Orvex::ConfigurationValues& ValuesOf(const Orvex::IOrvexConfig& config);

// The file text of every property that travels to the drive and back.
QStringList DriveHeldValues(const Orvex::ConfigurationValues& values);

// Sets a rotary or linear motor, the control mode and a few loop settings,
// each off its default, in the object's configuration (not on the drive).
void SetSampleConfiguration(Orvex::IOrvexConfig& config, bool linear, int controlMode);

} // namespace OrvexTest
