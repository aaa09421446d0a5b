#pragma once

#include "LinkPort.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace Orvex {

class PortChannel;
class PortHub;

// The program's serial link object ("ComHost2.LinkPort"): one page's view of a
// numbered port, sharing the port's open stream with every other user through
// the port hub and collecting what the drive sends until the page reads it.
//
// Open's flag: true starts the link clean, dropping text that arrived before
// and was never read; false keeps that text for the next Read (Close never
// drops it). Either way the link receives only what arrives while it is open:
// the answers to its own commands and what the drive sends unasked, never the
// answers to another user's commands on the same port.
//
// DataWaiting is posted to the event loop, once for everything that arrives
// before the loop gets to it, and only when unread text is still there.
class CLinkPort final : public ILinkPort
{
    Q_OBJECT

public:
    // Unread text beyond this is dropped from the front, so a link that is
    // only written to cannot grow without bound.
    static constexpr qsizetype MaxUnreadBytes = 1024 * 1024;

    explicit CLinkPort(PortHub& hub, QObject* parent = nullptr);
    ~CLinkPort() override;

    // The version every link object reports.
    static QString ServerVersion();

    QString Version() const override;
    bool IsOpen() const override;
    // Opens the link on a port (closing it first if it was open elsewhere);
    // throws a ComponentError saying why when the port cannot be had.
    void Open(int portNumber, bool flag) override;
    void Close() override;
    QString Read() override;
    // Sends the text unchanged, one byte per character (Latin-1); throws a
    // ComponentError when the link is not open or its port was lost.
    void Write(const QString& text) override;

    // The port the link is open on; 0 when closed.
    int PortNumber() const;

private:
    void Attach(std::shared_ptr<PortChannel> channel);
    void Detach();
    void OnReceived(const QByteArray& bytes, const QObject* addressee);
    void OnLost(const QString& reason);
    void NotifyDataWaiting();

    PortHub& m_hub;
    std::shared_ptr<PortChannel> m_channel;
    QByteArray m_unread;
    QString m_lostReason;
    bool m_notifyQueued = false;
};

} // namespace Orvex
