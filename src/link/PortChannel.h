#pragma once

#include "LinkTransport.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>

#include <deque>
#include <memory>

namespace Orvex {

// The one open stream of a numbered port, shared by every user of that port.
//
// Sharing rules:
// - Answers go to whoever asked. The drive answers the commands of a port in
//   the order they went out, each answer ending with its prompt (code 5), so
//   the channel keeps a queue of askers: a Write that names its asker expects
//   one answer per carriage return in it. Received carries each piece of an
//   answer with its asker as addressee; text that arrives while nobody waits
//   for an answer (the drive speaking unasked) goes out with no addressee,
//   meant for every user. A user takes what is addressed to it or to nobody,
//   so the terminal does not show the answers to the status pages' polls.
//   An asker whose answer does not start within its answer window is given
//   up, so a drive that swallowed a command does not misroute what follows.
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

    // How long an asker waits for the first (and each further) piece of
    // its answer before the channel gives it up.
    static constexpr int DefaultAnswerWindowMs = 2000;

    // Queues bytes for sending; false when the channel is not open. asker,
    // when given, is the addressee of the answers to the commands in bytes.
    bool Write(const QByteArray& bytes, const QObject* asker = nullptr,
               int answerWindowMs = DefaultAnswerWindowMs);

    // The asker gave up waiting because no answer is coming (it timed out):
    // the askers after it are next in line.
    void Forget(const QObject* asker);
    // The asker went away while its answers may still come (a link closed):
    // they keep their place in line and are dropped when they arrive.
    void Abandon(const QObject* asker);

    bool TryBeginExchange();
    void EndExchange();
    bool InExchange() const { return m_inExchange; }

    // Closes the stream at once; used by the hub when the last user is gone.
    void Shutdown();
    // True while a Received or Lost is being handed to users, when the
    // channel must not be deleted under the emitting transport.
    bool Delivering() const { return m_delivering > 0; }

Q_SIGNALS:
    // addressee is the user whose command this answers, or null for text
    // meant for every user.
    void Received(const QByteArray& bytes, const QObject* addressee);
    void Lost(const QString& reason);

private:
    // One user waiting for answers: how many prompts are still to come. An
    // abandoned asker has no Who; its answers are dropped.
    struct Asker
    {
        const QObject* Who;
        int Prompts;
        int WindowMs;
        QDeadlineTimer Deadline;
    };

    void OnReceived(const QByteArray& bytes);
    void OnLost(const QString& reason);
    // Drops askers whose answer window ran out; answers whether one waits.
    bool SomeoneWaits();

    int m_portNumber;
    std::unique_ptr<ILinkTransport> m_transport;
    QString m_lostReason;
    bool m_inExchange = false;
    int m_delivering = 0;
    std::deque<Asker> m_askers;
};

} // namespace Orvex
