#pragma once

#include "LinkTransport.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

namespace Orvex {

// The one open stream of a numbered port, shared by every user of that port.
//
// Sharing rules:
// - Every user receives every byte: Received is emitted once per arrival to
//   all connected users, in the order they connected. Nobody consumes bytes
//   on behalf of another, so the terminal and the error log keep seeing the
//   drive's answers while the drive bridge runs a request/answer exchange.
// - Writes go out in the order they are made, whole; bytes of two users are
//   never interleaved inside one Write.
// - A user that needs the drive's answer to its own request (the bridge)
//   takes the exchange lock with TryBeginExchange() and releases it with
//   EndExchange(); while it is held, other synchronous users are refused
//   instead of mixing their answers into it. Asynchronous users (the pages'
//   links) do not take it and are never blocked by it.
// - When the stream is lost, Lost is emitted once, the channel stays closed
//   for good and every later Write fails; the port hub opens a new channel
//   for the next user.
// - The channel is closed when its last user lets go of it (see PortHub).
class PortChannel final : public QObject
{
    Q_OBJECT

public:
    // Takes an already opened transport.
    PortChannel(int portNumber, std::unique_ptr<ILinkTransport> transport,
                QObject* parent = nullptr);
    ~PortChannel() override;

    int PortNumber() const { return m_portNumber; }
    // What the stream is ("/dev/ttyUSB0", "Orvex Drive Simulator").
    QString Description() const;
    bool IsOpen() const;
    // Why the stream went away; empty while it is fine.
    QString LostReason() const { return m_lostReason; }

    // Queues bytes for sending; false when the channel is not open.
    bool Write(const QByteArray& bytes);

    bool TryBeginExchange();
    void EndExchange();
    bool InExchange() const { return m_inExchange; }

    // Closes the stream at once; used by the hub when the last user is gone.
    void Shutdown();
    // True while a Received or Lost is being handed to users, when the
    // channel must not be deleted under the emitting transport.
    bool Delivering() const { return m_delivering > 0; }

Q_SIGNALS:
    void Received(const QByteArray& bytes);
    void Lost(const QString& reason);

private:
    void OnReceived(const QByteArray& bytes);
    void OnLost(const QString& reason);

    int m_portNumber;
    std::unique_ptr<ILinkTransport> m_transport;
    QString m_lostReason;
    bool m_inExchange = false;
    int m_delivering = 0;
};

} // namespace Orvex
