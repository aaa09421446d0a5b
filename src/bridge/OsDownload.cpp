#include "OsDownload.h"

#include "BridgeLog.h"
#include "ComponentError.h"
#include "PortChannel.h"

#include <QEventLoop>

namespace Orvex {

namespace {

constexpr char kPrompt = '\x05';

QStringList SplitLines(const QByteArray& text)
{
    QStringList lines;
    for (QByteArray line : text.split('\n')) {
        while (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            lines << QString::fromLatin1(line);
    }
    return lines;
}

QString Describe(const QStringList& lines)
{
    return lines.isEmpty() ? QStringLiteral("(prompt only)") : lines.join(QStringLiteral(" | "));
}

} // namespace

OsDownload::OsDownload(QObject* parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &OsDownload::OnTimeout);
}

OsDownload::~OsDownload()
{
    // Nothing more is sent: the drive keeps waiting in its boot loader and
    // takes the next OSDL.
    Release();
}

void OsDownload::Start(std::shared_ptr<PortChannel> channel, OsImage image)
{
    if (IsActive())
        throw ComponentError(ResultCode::Fail,
                             QStringLiteral("An operating system download is already running."));
    if (!channel->TryBeginExchange())
        throw ComponentError(ResultCode::Fail,
                             QStringLiteral("The drive is busy with another request; "
                                            "try again when it has finished."));
    m_channel = std::move(channel);
    m_image = std::move(image);
    m_status = Running;
    m_finalStatus = Idle;
    m_lastError.clear();
    m_done = 0;
    m_sending = 0;
    m_refusals = 0;
    m_stopRequested = false;
    m_connections << connect(m_channel.get(), &PortChannel::Received, this, &OsDownload::OnReceived)
                  << connect(m_channel.get(), &PortChannel::Lost, this, &OsDownload::OnLost);
    qCDebug(lcBridge).noquote() << QStringLiteral("COM%1 OS download of %2, %3 bytes")
                                       .arg(m_channel->PortNumber())
                                       .arg(m_image.Revision())
                                       .arg(m_image.Payload().size());
    m_phase = Phase::Flush;
    SendLine(QString(), LineTimeoutMs);
    Pump();
}

void OsDownload::SetFileError(const QString& reason)
{
    if (IsActive())
        return;
    m_image = OsImage();
    m_done = 0;
    m_status = FileError;
    m_lastError = reason;
}

OsDownload::Status OsDownload::Progress(int& total, int& done) const
{
    total = static_cast<int>(m_image.Payload().size());
    done = m_done;
    switch (m_phase) {
    case Phase::Finished:
        return m_status;
    case Phase::Aborting:
        return m_finalStatus == Idle ? Running : m_finalStatus;
    default:
        return Running;
    }
}

void OsDownload::Abort()
{
    if (IsActive()) {
        m_stopRequested = true;
        // The drive's answer to the line in flight comes first; the state
        // machine then sends OSABORT and finishes. Its time-outs bound the wait.
        QEventLoop loop;
        connect(this, &OsDownload::Finished, &loop, &QEventLoop::quit);
        if (IsActive())
            loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    m_image = OsImage();
    m_status = Idle;
    m_done = 0;
}

void OsDownload::SendLine(const QString& line, int timeoutMs)
{
    m_lastLine = line;
    m_received.clear();
    m_awaiting = true;
    m_timer.start(timeoutMs);
    m_writing = true;
    const bool written = m_channel->Write(line.toLatin1() + '\r', this, timeoutMs);
    m_writing = false;
    // The channel may have reported the loss inside Write already.
    if (!written && m_channel)
        OnLost(m_channel->LostReason());
}

void OsDownload::SendNextData()
{
    const QByteArray& payload = m_image.Payload();
    const QByteArray chunk = payload.mid(m_done, LineBytes);
    m_sending = static_cast<int>(chunk.size());
    SendLine(QStringLiteral("OSD ") + QString::fromLatin1(chunk.toHex().toUpper()), LineTimeoutMs);
}

void OsDownload::OnReceived(const QByteArray& bytes, const QObject* addressee)
{
    if (!m_awaiting || (addressee != nullptr && addressee != this))
        return;
    m_received += bytes;
    Pump();
}

void OsDownload::Pump()
{
    // An answer that arrives inside Write is taken here once Write returned,
    // so a fast transport cannot recurse one stack frame per line.
    if (m_writing)
        return;
    while (m_awaiting) {
        const qsizetype prompt = m_received.indexOf(kPrompt);
        if (prompt < 0)
            return;
        const QStringList lines = SplitLines(m_received.left(prompt));
        m_received.remove(0, prompt + 1);
        m_awaiting = false;
        m_timer.stop();
        HandleAnswer(lines);
    }
}

void OsDownload::HandleAnswer(const QStringList& lines)
{
    switch (m_phase) {
    case Phase::Flush:
        if (m_stopRequested) {
            Finish(Idle); // the drive still runs its OS; nothing to undo
            return;
        }
        m_phase = Phase::Begin;
        SendLine(
            QStringLiteral("OSDL %1,h%2,%3")
                .arg(m_image.Payload().size())
                .arg(QStringLiteral("%1").arg(m_image.Crc(), 8, 16, QLatin1Char('0')).toUpper())
                .arg(m_image.Revision()),
            FlashTimeoutMs);
        return;
    case Phase::Begin:
        if (lines != QStringList{QStringLiteral("OSDL=READY")}) {
            // Refused (enabled, corrupt flash): the drive did not start a
            // download, and asking again will not change that.
            Finish(TooManyErrors,
                   QStringLiteral("The drive did not start the download: %1").arg(Describe(lines)));
            return;
        }
        if (m_stopRequested) {
            AbortThenFinish(Idle, QString());
            return;
        }
        m_phase = Phase::Data;
        SendNextData();
        return;
    case Phase::Data:
        if (lines.isEmpty()) {
            m_done += m_sending;
            m_refusals = 0;
            if (m_stopRequested) {
                AbortThenFinish(Idle, QString());
            } else if (m_done >= m_image.Payload().size()) {
                m_phase = Phase::End;
                SendLine(QStringLiteral("OSEND"), FlashTimeoutMs);
            } else {
                SendNextData();
            }
            return;
        }
        if (++m_refusals >= MaxRefusals) {
            AbortThenFinish(TooManyErrors,
                            QStringLiteral("The drive refused a data line %1 times: %2")
                                .arg(m_refusals)
                                .arg(Describe(lines)));
        } else if (m_stopRequested) {
            AbortThenFinish(Idle, QString());
        } else {
            qCDebug(lcBridge).noquote()
                << "OS download line refused, sending it again:" << Describe(lines);
            SendLine(m_lastLine, LineTimeoutMs);
        }
        return;
    case Phase::End:
        if (lines == QStringList{QStringLiteral("OSEND=OK ") + m_image.Revision()}) {
            Finish(Completed);
        } else {
            // The drive ended the download itself and keeps no OS.
            Finish(TooManyErrors,
                   QStringLiteral("The drive did not accept the image: %1").arg(Describe(lines)));
        }
        return;
    case Phase::Aborting:
        Finish(m_finalStatus, m_lastError);
        return;
    case Phase::Finished:
        return;
    }
}

void OsDownload::OnTimeout()
{
    if (m_phase == Phase::Aborting) {
        Finish(m_finalStatus, m_lastError);
        return;
    }
    // OSABORT is not sent: its prompt could not be told from a late answer to
    // the line in flight. The drive takes the next OSDL anyway.
    Finish(TimedOut, QStringLiteral("No response from Orvex drive"));
}

void OsDownload::OnLost(const QString& reason)
{
    if (m_phase == Phase::Finished)
        return;
    const QString text =
        reason.isEmpty() ? QStringLiteral("The connection to the drive was lost.") : reason;
    Finish(m_phase == Phase::Aborting ? m_finalStatus : TimedOut, text);
}

void OsDownload::AbortThenFinish(Status status, const QString& reason)
{
    m_finalStatus = status;
    m_lastError = reason;
    m_phase = Phase::Aborting;
    SendLine(QStringLiteral("OSABORT"), AbortTimeoutMs);
}

void OsDownload::Finish(Status status, const QString& reason)
{
    Release();
    m_phase = Phase::Finished;
    m_status = status;
    m_lastError = reason;
    if (!reason.isEmpty())
        qCWarning(lcBridge).noquote() << "OS download failed:" << reason;
    else
        qCDebug(lcBridge) << "OS download finished, status" << status;
    Q_EMIT Finished();
}

void OsDownload::Release()
{
    for (const QMetaObject::Connection& connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    m_timer.stop();
    m_awaiting = false;
    m_received.clear();
    if (m_channel) {
        m_channel->Forget(this);
        m_channel->EndExchange();
        m_channel.reset();
    }
}

} // namespace Orvex
