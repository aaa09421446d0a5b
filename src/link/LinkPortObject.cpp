#include "LinkPortObject.h"

#include "ComponentError.h"
#include "LinkLog.h"
#include "PortChannel.h"
#include "PortHub.h"

namespace Orvex {

namespace {

const QString kVersion = QStringLiteral("2.0.0");

QString NotOpenText()
{
    return QStringLiteral("The port is not open.");
}

} // namespace

CLinkPort::CLinkPort(PortHub& hub, QObject* parent) : ILinkPort(parent), m_hub(hub) {}

CLinkPort::~CLinkPort()
{
    Detach();
}

QString CLinkPort::ServerVersion()
{
    return kVersion;
}

QString CLinkPort::Version() const
{
    return ServerVersion();
}

bool CLinkPort::IsOpen() const
{
    return m_channel && m_channel->IsOpen();
}

void CLinkPort::Open(int portNumber, bool flag)
{
    Detach();
    m_lostReason.clear();
    if (flag) {
        m_unread.clear();
    }
    QString error;
    std::shared_ptr<PortChannel> channel = m_hub.Acquire(portNumber, &error);
    if (!channel) {
        throw ComponentError(ResultCode::Fail, error);
    }
    Attach(std::move(channel));
}

void CLinkPort::Close()
{
    Detach();
    m_lostReason.clear();
}

QString CLinkPort::Read()
{
    const QString text = QString::fromLatin1(m_unread);
    m_unread.clear();
    return text;
}

void CLinkPort::Write(const QString& text)
{
    // Held here, since a stream lost during the write detaches the link.
    const std::shared_ptr<PortChannel> channel = m_channel;
    if (!channel) {
        throw ComponentError(ResultCode::Fail,
                             m_lostReason.isEmpty() ? NotOpenText() : m_lostReason);
    }
    if (!channel->Write(text.toLatin1(), this)) {
        const QString reason = channel->LostReason();
        throw ComponentError(
            ResultCode::Fail,
            reason.isEmpty()
                ? QStringLiteral("Unable to write to COM%1.").arg(channel->PortNumber())
                : reason);
    }
}

int CLinkPort::PortNumber() const
{
    return m_channel ? m_channel->PortNumber() : 0;
}

void CLinkPort::Attach(std::shared_ptr<PortChannel> channel)
{
    m_channel = std::move(channel);
    connect(m_channel.get(), &PortChannel::Received, this, &CLinkPort::OnReceived);
    connect(m_channel.get(), &PortChannel::Lost, this, &CLinkPort::OnLost);
}

void CLinkPort::Detach()
{
    if (!m_channel) {
        return;
    }
    m_channel->disconnect(this);
    m_channel->Abandon(this);
    m_channel.reset();
}

void CLinkPort::OnReceived(const QByteArray& bytes, const QObject* addressee)
{
    if (addressee != nullptr && addressee != this) {
        return;
    }
    m_unread.append(bytes);
    if (m_unread.size() > MaxUnreadBytes) {
        qCDebug(lcLink) << "dropping" << m_unread.size() - MaxUnreadBytes << "unread bytes";
        m_unread.remove(0, m_unread.size() - MaxUnreadBytes);
    }
    if (!m_notifyQueued) {
        m_notifyQueued = true;
        QMetaObject::invokeMethod(this, &CLinkPort::NotifyDataWaiting, Qt::QueuedConnection);
    }
}

void CLinkPort::OnLost(const QString& reason)
{
    m_lostReason = reason;
    Detach();
}

void CLinkPort::NotifyDataWaiting()
{
    m_notifyQueued = false;
    if (!m_unread.isEmpty()) {
        Q_EMIT DataWaiting();
    }
}

} // namespace Orvex
