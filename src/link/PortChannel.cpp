#include "PortChannel.h"

#include "LinkLog.h"

namespace Orvex {

namespace {

// The drive ends every answer with this byte.
constexpr char kPromptByte = 5;

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

bool PortChannel::Write(const QByteArray& bytes, const QObject* asker, int answerWindowMs)
{
    if (!IsOpen()) {
        return false;
    }
    // Queued before the write: a transport may answer inside it.
    const auto commands = static_cast<int>(bytes.count('\r'));
    const bool asks = asker != nullptr && commands > 0;
    if (asks) {
        m_askers.push_back({asker, commands, answerWindowMs, QDeadlineTimer(answerWindowMs)});
    }
    const bool written = m_transport->Write(bytes);
    if (!written && asks && !m_askers.empty() && m_askers.back().Who == asker) {
        m_askers.pop_back();
    }
    return written;
}

void PortChannel::Forget(const QObject* asker)
{
    std::erase_if(m_askers, [asker](const Asker& entry) { return entry.Who == asker; });
}

void PortChannel::Abandon(const QObject* asker)
{
    for (Asker& entry : m_askers) {
        if (entry.Who == asker)
            entry.Who = nullptr;
    }
}

bool PortChannel::SomeoneWaits()
{
    while (!m_askers.empty() && m_askers.front().Deadline.hasExpired()) {
        qCDebug(lcLink) << "COM" << m_portNumber << "gave up waiting for an answer";
        m_askers.pop_front();
    }
    return !m_askers.empty();
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
    DeliveryScope scope(m_delivering);
    qsizetype start = 0;
    while (start < bytes.size() && m_lostReason.isEmpty() && m_transport) {
        const qsizetype prompt = bytes.indexOf(kPromptByte, start);
        const qsizetype end = prompt < 0 ? bytes.size() : prompt + 1;
        const bool answer = SomeoneWaits();
        const QObject* asker = answer ? m_askers.front().Who : nullptr;
        if (answer) {
            Asker& front = m_askers.front();
            // A long answer keeps its asker as long as it keeps coming.
            front.Deadline = QDeadlineTimer(front.WindowMs);
            if (prompt >= 0 && --front.Prompts == 0) {
                m_askers.pop_front();
            }
        }
        // The answers of an asker that went away are nobody's.
        if (!answer || asker != nullptr) {
            // A handler may write (and so queue askers) or let go of the channel.
            Q_EMIT Received(bytes.mid(start, end - start), asker);
        }
        start = end;
    }
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
