#include "PortChannel.h"

#include "LinkLog.h"

namespace Orvex {

namespace {

// Counts a delivery in progress for as long as it runs.
class DeliveryScope
{
public:
    explicit DeliveryScope(int& depth) : m_depth(depth) { ++m_depth; }
    ~DeliveryScope() { --m_depth; }
    DeliveryScope(const DeliveryScope&) = delete;
    DeliveryScope& operator=(const DeliveryScope&) = delete;

private:
    int& m_depth;
};

} // namespace

PortChannel::PortChannel(int portNumber, std::unique_ptr<ILinkTransport> transport, QObject* parent)
    : QObject(parent), m_portNumber(portNumber), m_transport(std::move(transport))
{
    connect(m_transport.get(), &ILinkTransport::Received, this, &PortChannel::OnReceived);
    connect(m_transport.get(), &ILinkTransport::Lost, this, &PortChannel::OnLost);
}

PortChannel::~PortChannel()
{
    Shutdown();
}

QString PortChannel::Description() const
{
    return m_transport ? m_transport->Description() : QString();
}

bool PortChannel::IsOpen() const
{
    return m_transport && m_lostReason.isEmpty() && m_transport->IsOpen();
}

bool PortChannel::Write(const QByteArray& bytes)
{
    if (!IsOpen()) {
        return false;
    }
    return m_transport->Write(bytes);
}

bool PortChannel::TryBeginExchange()
{
    if (m_inExchange) {
        return false;
    }
    m_inExchange = true;
    return true;
}

void PortChannel::EndExchange()
{
    m_inExchange = false;
}

void PortChannel::Shutdown()
{
    if (!m_transport) {
        return;
    }
    m_transport->disconnect(this);
    m_transport->Close();
}

void PortChannel::OnReceived(const QByteArray& bytes)
{
    if (!m_lostReason.isEmpty()) {
        return;
    }
    DeliveryScope scope(m_delivering);
    Q_EMIT Received(bytes);
}

void PortChannel::OnLost(const QString& reason)
{
    if (!m_lostReason.isEmpty()) {
        return;
    }
    m_lostReason = reason.isEmpty()
                       ? QStringLiteral("The connection to %1 was lost.").arg(Description())
                       : reason;
    qCInfo(lcLink).noquote() << QStringLiteral("COM%1 lost:").arg(m_portNumber) << m_lostReason;
    DeliveryScope scope(m_delivering);
    m_transport->Close();
    Q_EMIT Lost(m_lostReason);
}

} // namespace Orvex
