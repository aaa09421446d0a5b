#include "SimulatorTransport.h"

#include "SimulatedDrive.h"

#include <algorithm>

namespace Orvex {

namespace {

constexpr int BitsPerByte = 10; // start bit, 8 data bits, stop bit
// A line idle for a moment may start a little in the past, so that timer
// rounding to whole milliseconds does not add up over many short exchanges.
constexpr qint64 LineSlackNs = 2'000'000;

} // namespace

SimulatorTransport::SimulatorTransport(std::shared_ptr<SimulatedDrive> drive, QObject* parent)
    : ILinkTransport(parent), m_Drive(std::move(drive))
{
    m_Pacer.setSingleShot(true);
    m_Pacer.setTimerType(Qt::PreciseTimer);
    connect(&m_Pacer, &QTimer::timeout, this, &SimulatorTransport::Deliver);
    m_Clock.start();
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
    m_Segments.clear();
    m_Pacer.stop();
}

void SimulatorTransport::SetBaudRate(int baud)
{
    if (baud <= 0 && m_Baud > 0) {
        // What was paced goes out at once now.
        for (const Segment& segment : m_Segments)
            m_Pending += segment.Bytes;
        m_Segments.clear();
        m_Pacer.stop();
    }
    m_Baud = std::max(0, baud);
    if (!m_Pending.isEmpty())
        ScheduleDelivery();
}

qint64 SimulatorTransport::QueuedBytes() const
{
    qint64 queued = m_Pending.size();
    for (const Segment& segment : m_Segments)
        queued += segment.Bytes.size();
    return queued;
}

void SimulatorTransport::ApplyLinkSwitches(qint64 queuedBefore)
{
    const SimulatedDrive::LinkSwitches switches = m_Drive->TakeLinkSwitches();
    const qint64 queued = queuedBefore + switches.From;
    if (switches.MuteAfter)
        SetMuteAfter(*switches.MuteAfter < 0 ? -1 : *switches.MuteAfter + queued);
    if (switches.CutAfter)
        SetLoseLinkAfter(*switches.CutAfter < 0 ? -1 : *switches.CutAfter + queued);
    if (switches.Baud)
        SetBaudRate(*switches.Baud);
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
    const qint64 queuedBefore = QueuedBytes();
    const QByteArray answer = m_Drive->Receive(sent);
    if (m_Baud > 0) {
        // The request takes its time on the line, then the answer follows.
        const qint64 perByte = NanosecondsPerByte();
        const qint64 now = m_Clock.nsecsElapsed();
        const qint64 requestEnd =
            std::max(m_LineFreeNs, now - LineSlackNs) + perByte * qint64(sent.size());
        m_LineFreeNs = requestEnd + perByte * qint64(answer.size());
        if (!answer.isEmpty())
            m_Segments.push_back({requestEnd + perByte, answer});
    } else {
        m_Pending += answer;
    }
    ApplyLinkSwitches(queuedBefore);
    ScheduleDelivery();
    return true;
}

qint64 SimulatorTransport::NanosecondsPerByte() const
{
    return qint64(BitsPerByte) * 1'000'000'000 / m_Baud;
}

void SimulatorTransport::ArmPacer(qint64 nowNs)
{
    if (m_Segments.empty()) {
        m_Pacer.stop();
        return;
    }
    const qint64 waitNs = std::max<qint64>(0, m_Segments.front().FirstDueNs - nowNs);
    m_Pacer.start(int((waitNs + 999'999) / 1'000'000));
}

void SimulatorTransport::ScheduleDelivery()
{
    // Unpaced answers left from before a switch to a baud rate go at once.
    if (m_Baud > 0 && m_Pending.isEmpty()) {
        if (!m_Pacer.isActive())
            ArmPacer(m_Clock.nsecsElapsed());
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
    // Unpaced answers first: they came before any switch to a baud rate.
    QByteArray chunk;
    chunk.swap(m_Pending);
    if (m_Baud > 0) {
        // Everything whose last bit has gone over the line by now.
        const qint64 perByte = NanosecondsPerByte();
        const qint64 now = m_Clock.nsecsElapsed();
        while (!m_Segments.empty() && m_Segments.front().FirstDueNs <= now) {
            Segment& segment = m_Segments.front();
            const qint64 count =
                std::min<qint64>(segment.Bytes.size(), (now - segment.FirstDueNs) / perByte + 1);
            chunk += segment.Bytes.left(count);
            segment.Bytes.remove(0, count);
            segment.FirstDueNs += count * perByte;
            if (!segment.Bytes.isEmpty())
                break;
            m_Segments.pop_front();
        }
        ArmPacer(now);
    }
    if (m_MuteLeft >= 0) {
        chunk.truncate(std::min<qint64>(chunk.size(), m_MuteLeft));
        m_MuteLeft -= chunk.size();
    }
    if (!m_CutPending || !chunk.isEmpty()) {
        chunk = Allowed(chunk);
        if (!chunk.isEmpty())
            Q_EMIT Received(chunk);
    }
    if (m_CutPending) {
        m_Pending.clear();
        m_Segments.clear();
        CutIfDue();
    }
}

} // namespace Orvex
