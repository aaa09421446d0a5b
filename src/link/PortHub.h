#pragma once

#include "LinkTransport.h"
#include "PortChannel.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>

namespace Orvex {

class PortRegistry;

// Hands out the one shared open channel of each numbered port, so the drive
// bridge and every page's link can use the same port at once.
//
// The first Acquire of a port opens it: a virtual port through the transport
// maker registered under its key, any other port as a serial device at its
// system location. Later Acquires answer the same channel while anyone holds
// it. When the last holder lets go, the device is closed at once (so it can
// be opened again straight away, by us or another program); the channel
// object itself is deleted later when that happens inside one of its own
// signals. A channel whose stream was lost is never handed out again; the
// next Acquire opens the port afresh.
//
// The hub must outlive every channel user that may still Acquire; channels
// already handed out do not refer back to it.
class PortHub
{
public:
    using TransportMaker = std::function<std::unique_ptr<ILinkTransport>()>;

    enum class Failure
    {
        None,
        // No present port has that number: the connection test's code 1.
        UnknownPort,
        // The port exists but cannot be opened: code 2.
        OpenFailed,
    };

    explicit PortHub(PortRegistry& registry);
    ~PortHub();

    PortHub(const PortHub&) = delete;
    PortHub& operator=(const PortHub&) = delete;

    // Says how to open the in-process port registered in the registry under
    // this key (PortRegistry::AddVirtualPort). Replaces an earlier maker.
    void RegisterVirtualTransport(const QString& key, TransportMaker make);
    void UnregisterVirtualTransport(const QString& key);

    // The shared open channel of the port, opened on first use. On failure
    // answers nothing, puts a text the user can act on in *error and the kind
    // of failure in *failure (either may be null).
    std::shared_ptr<PortChannel> Acquire(int portNumber, QString* error = nullptr,
                                         Failure* failure = nullptr);

    // The channel of the port when someone holds it open; nothing otherwise.
    std::shared_ptr<PortChannel> OpenChannel(int portNumber) const;

private:
    static std::shared_ptr<PortChannel> Fail(Failure kind, const QString& text, QString* error,
                                             Failure* failure);

    PortRegistry& m_registry;
    std::map<QString, TransportMaker> m_makers;
    // By system location: the device is what can only be opened once.
    std::map<QString, std::weak_ptr<PortChannel>> m_channels;
};

} // namespace Orvex
