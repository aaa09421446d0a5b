#include "PortHub.h"

#include "LinkLog.h"
#include "PortRegistry.h"
#include "SerialTransport.h"

Q_LOGGING_CATEGORY(lcLink, "orvex.link", QtInfoMsg)

namespace Orvex {

namespace {

// Every text the user may see when a port cannot be had.
namespace Text {
QString NoPortSelected()
{
    return QStringLiteral("Invalid COM port number: no port is selected.");
}

QString NotPresent(int portNumber)
{
    return QStringLiteral("Invalid COM port number: COM%1 is not present.").arg(portNumber);
}

QString Unavailable(int portNumber, const QString& what)
{
    return QStringLiteral("Unable to open COM%1: %2 is not available.").arg(portNumber).arg(what);
}

QString CannotOpen(int portNumber, const QString& reason)
{
    return reason.isEmpty()
               ? QStringLiteral("Unable to open COM%1.").arg(portNumber)
               : QStringLiteral("Unable to open COM%1: %2").arg(portNumber).arg(reason);
}
} // namespace Text

// Virtual keys and device paths live in one map; the prefixes keep a key
// that happens to look like a path apart from the device.
QString ChannelKey(const PortRegistry::PortEntry& entry)
{
    return (entry.Virtual ? QStringLiteral("virtual:") : QStringLiteral("device:")) +
           entry.SystemLocation;
}

// The last holder of a channel may let go while the channel is handing out
// its own signal, with the transport still inside its emit: the stream is
// closed now, the objects go when the event loop is back.
void ReleaseChannel(PortChannel* channel)
{
    channel->Shutdown();
    if (channel->Delivering()) {
        channel->deleteLater();
    } else {
        delete channel;
    }
}

} // namespace

PortHub::PortHub(PortRegistry& registry) : m_registry(registry) {}

PortHub::~PortHub() = default;

void PortHub::RegisterVirtualTransport(const QString& key, TransportMaker make)
{
    m_makers[key] = std::move(make);
}

void PortHub::UnregisterVirtualTransport(const QString& key)
{
    m_makers.erase(key);
}

std::shared_ptr<PortChannel> PortHub::Acquire(int portNumber, QString* error, Failure* failure)
{
    if (error != nullptr) {
        error->clear();
    }
    if (failure != nullptr) {
        *failure = Failure::None;
    }
    if (portNumber <= 0) {
        return Fail(Failure::UnknownPort, Text::NoPortSelected(), error, failure);
    }

    std::optional<PortRegistry::PortEntry> entry = m_registry.Find(portNumber);
    if (!entry) {
        // A device path added or a device plugged in since the port list was
        // last built is found by looking again.
        m_registry.EnumerateSerialPorts();
        entry = m_registry.Find(portNumber);
    }
    if (!entry) {
        return Fail(Failure::UnknownPort, Text::NotPresent(portNumber), error, failure);
    }

    const QString key = ChannelKey(*entry);
    if (const auto known = m_channels.find(key); known != m_channels.end()) {
        if (std::shared_ptr<PortChannel> channel = known->second.lock();
            channel && channel->IsOpen()) {
            return channel;
        }
        m_channels.erase(known);
    }

    std::unique_ptr<ILinkTransport> transport;
    if (entry->Virtual) {
        const auto maker = m_makers.find(entry->SystemLocation);
        if (maker != m_makers.end() && maker->second) {
            transport = maker->second();
        }
        if (!transport) {
            return Fail(Failure::OpenFailed, Text::Unavailable(portNumber, entry->Description),
                        error, failure);
        }
    } else {
        transport = std::make_unique<SerialTransport>(entry->SystemLocation);
    }
    if (!transport->Open()) {
        return Fail(Failure::OpenFailed, Text::CannotOpen(portNumber, transport->Error()), error,
                    failure);
    }

    qCDebug(lcLink).noquote() << QStringLiteral("COM%1 opened on").arg(portNumber)
                              << transport->Description();
    std::shared_ptr<PortChannel> channel(new PortChannel(portNumber, std::move(transport)),
                                         &ReleaseChannel);
    m_channels[key] = channel;
    return channel;
}

std::shared_ptr<PortChannel> PortHub::OpenChannel(int portNumber) const
{
    for (const auto& [key, weak] : m_channels) {
        std::shared_ptr<PortChannel> channel = weak.lock();
        if (channel && channel->PortNumber() == portNumber && channel->IsOpen()) {
            return channel;
        }
    }
    return nullptr;
}

std::shared_ptr<PortChannel> PortHub::Fail(Failure kind, const QString& text, QString* error,
                                           Failure* failure)
{
    qCInfo(lcLink).noquote() << text;
    if (error != nullptr) {
        *error = text;
    }
    if (failure != nullptr) {
        *failure = kind;
    }
    return nullptr;
}

} // namespace Orvex
