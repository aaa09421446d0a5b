#include "SimulatorTransport.h"

#include "SimulatedDrive.h"

#include <algorithm>

namespace Orvex {

namespace {

constexpr int PacerIntervalMs = 5;
constexpr int BitsPerByte = 10; // start bit, 8 data bits, stop bit

} // namespace

SimulatorTransport::SimulatorTransport(std::shared_ptr<SimulatedDrive> drive, QObject* parent)
    : ILinkTransport(parent), m_Drive(std::move(drive))
{
    m_Pacer.setInterval(PacerIntervalMs);
    connect(&m_Pacer, &QTimer::timeout, this, &SimulatorTransport::Deliver);
}

SimulatorTransport::~SimulatorTransport() = default;

QString SimulatorTransport::Description() const
{
    return QStringLiteral("Orvex Drive Simulator");
}

bool SimulatorTransport::Open()
{
    if (!m_Drive) {
        m_Error = QStringLiteral("The Orvex Drive Simulator has no drive to talk to.");
        return false;
    }
    m_Open = true;
    m_Error.clear();
    return true;
}

void SimulatorTransport::Close()
{
    m_Open = false;
    m_Pending.clear();
    m_Pacer.stop();
}

void SimulatorTransport::SetBaudRate(int baud)
{
    m_Baud = std::max(0, baud);
}

void SimulatorTransport::SetLoseLinkAfter(qint64 bytes)
{
    m_BytesLeft = bytes < 0 ? -1 : bytes;
}

QByteArray SimulatorTransport::Allowed(const QByteArray& bytes)
{
    if (m_BytesLeft < 0)
        return bytes;
    const QByteArray allowed = bytes.left(std::min<qint64>(bytes.size(), m_BytesLeft));
    m_BytesLeft -= allowed.size();
    if (allowed.size() < bytes.size() || m_BytesLeft == 0)
        m_CutPending = true;
    return allowed;
}

void SimulatorTransport::CutIfDue()
{
    if (!m_CutPending || !m_Open)
        return;
    m_CutPending = false;
    Close();
    m_Error = QStringLiteral("The link to the Orvex Drive Simulator was cut.");
    Q_EMIT Lost(m_Error);
}

bool SimulatorTransport::Write(const QByteArray& bytes)
{
    if (!m_Open || m_CutPending)
        return false;
    const QByteArray sent = Allowed(bytes);
    m_Pending += m_Drive->Receive(sent);
    ScheduleDelivery();
    return true;
}

void SimulatorTransport::ScheduleDelivery()
{
    if (m_Baud > 0) {
        if (!m_Pacer.isActive()) {
            m_Burst.start();
            m_BurstDelivered = 0;
            m_Pacer.start();
        }
        return;
    }
    if (!m_DeliveryScheduled) {
        m_DeliveryScheduled = true;
        QTimer::singleShot(0, this, [this] {
            m_DeliveryScheduled = false;
            Deliver();
        });
    }
}

void SimulatorTransport::Deliver()
{
    if (!m_Open) {
        m_Pacer.stop();
        return;
    }
    QByteArray chunk;
    if (m_Baud > 0) {
        const qint64 due = m_Burst.elapsed() * m_Baud / BitsPerByte / 1000;
        const qint64 count = std::min<qint64>(m_Pending.size(), due - m_BurstDelivered);
        if (count > 0) {
            chunk = m_Pending.left(count);
            m_Pending.remove(0, count);
            m_BurstDelivered += count;
        }
        if (m_Pending.isEmpty())
            m_Pacer.stop();
    } else {
        chunk.swap(m_Pending);
    }
    if (!m_CutPending || !chunk.isEmpty()) {
        chunk = Allowed(chunk);
        if (!chunk.isEmpty())
            Q_EMIT Received(chunk);
    }
    if (m_CutPending) {
        m_Pending.clear();
        CutIfDue();
    }
}

} // namespace Orvex
