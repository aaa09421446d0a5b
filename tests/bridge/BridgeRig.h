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
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <memory>

namespace OrvexTest {

// The simulated drive's link, with the faults a cable or a drive can have that
// the link itself does not notice. Every fault is off until the test sets it.
class RigLink final : public Orvex::ILinkTransport
{
    Q_OBJECT

public:
    explicit RigLink(std::shared_ptr<Orvex::SimulatedDrive> drive)
        : inner(drive), m_drive(std::move(drive))
    {
        connect(&inner, &Orvex::SimulatorTransport::Received, this, &RigLink::OnReceived);
        connect(&inner, &Orvex::SimulatorTransport::Lost, this, &RigLink::Lost);
    }
    bool Open() override { return inner.Open(); }
    void Close() override { inner.Close(); }
    bool IsOpen() const override { return inner.IsOpen(); }
    QString Error() const override { return inner.Error(); }
    QString Description() const override { return inner.Description(); }
    bool Write(const QByteArray& bytes) override
    {
        if (silentAfterCommands >= 0 && (silentAfterCommands -= bytes.count('\r')) < 0) {
            m_drive->SetNoAnswer(true);
        }
        return inner.Write(bytes);
    }

    // The faults, each off while negative or empty: the drive swallows every
    // line after this many more; the answers change on their way back (bytes
    // lost or garbled). The transport's own switches mute and cut the link.
    int silentAfterCommands = -1;
    std::function<QByteArray(QByteArray)> answers;
    Orvex::SimulatorTransport inner;

private:
    void OnReceived(const QByteArray& bytes)
    {
        const QByteArray passed = answers ? answers(bytes) : bytes;
        if (!passed.isEmpty()) {
            Q_EMIT Received(passed);
        }
    }

    std::shared_ptr<Orvex::SimulatedDrive> m_drive;
};

// The port registry, hub and factory of the application, with the bridge
// registered in the factory, on a computer without serial ports and with a
// profile in a temporary folder. The simulated drive of ORVEX_DATA_DIR sits
// behind the in-process port `port`, unless the drive is External (the
// standalone simulator, say), whose port the test adds and sets.
struct BridgeRig
{
    class NoDevices final : public Orvex::ISerialDeviceSource
    {
    public:
        std::vector<Orvex::SerialDeviceInfo> PresentDevices() const override { return {}; }
    };
    enum class Drive
    {
        InProcess,
        External,
    };

    explicit BridgeRig(Drive where = Drive::InProcess);

    int AddVirtualPort(const QString& key, Orvex::PortHub::TransportMaker make)
    {
        hub.RegisterVirtualTransport(key, std::move(make));
        return registry.AddVirtualPort(key, key);
    }
    // New bridge objects from the factory, set to `port`.
    template <class Object> std::unique_ptr<Object> Make(const char* progId)
    {
        auto object = factory.Create<Object>(QLatin1String(progId));
        object->SetPortNumber(port);
        return object;
    }
    auto Config() { return Make<Orvex::IOrvexConfig>(Orvex::ProgId::BridgeConfig); }
    auto Status() { return Make<Orvex::IOrvexStatus>(Orvex::ProgId::BridgeStatus); }

    QTemporaryDir dir;
    QSettings settings;
    NoDevices source;
    Orvex::PortRegistry registry;
    Orvex::PortHub hub;
    Orvex::ComponentFactory factory;
    std::shared_ptr<Orvex::SimulatedDrive> drive;
    // The link to the in-process drive made last, and its simulator transport.
    QPointer<RigLink> link;
    QPointer<Orvex::SimulatorTransport> transport;
    int port = 0;
};

// The description of the component error call throws, or "(no error)".
QString DescriptionOf(const std::function<void()>& call);

// The configuration a bridge configuration object holds.
const Orvex::ConfigurationValues& ValuesOf(const Orvex::IOrvexConfig& config);

} // namespace OrvexTest
