#include "DriveExchange.h"

#include "BridgeLog.h"
#include "ComponentError.h"
#include "PortChannel.h"

#include <QEventLoop>
#include <QTimer>

namespace Orvex {

namespace {

constexpr char kPrompt = '\x05';

// One exchange at a time in the whole program: a second one started from a
// nested event loop would have to finish before the first could return.
bool g_waiting = false;

// Holds the process-wide flag and the channel's exchange lock for one exchange.
class ExchangeLock
{
public:
    explicit ExchangeLock(PortChannel& channel) : m_channel(channel)
    {
        if (g_waiting || !m_channel.TryBeginExchange()) {
            throw ComponentError(ResultCode::Fail,
                                 QStringLiteral("The drive is busy with another request; "
                                                "try again when it has finished."));
        }
        g_waiting = true;
    }
    ~ExchangeLock()
    {
        g_waiting = false;
        m_channel.EndExchange();
    }
    ExchangeLock(const ExchangeLock&) = delete;
    ExchangeLock& operator=(const ExchangeLock&) = delete;

private:
    PortChannel& m_channel;
};

QStringList SplitLines(const QByteArray& text)
{
    QStringList lines;
    for (QByteArray line : text.split('\n')) {
        while (line.endsWith('\r')) {
            line.chop(1);
        }
        if (!line.isEmpty()) {
            lines << QString::fromLatin1(line);
        }
    }
    return lines;
}

// "?<code> <text>" -> code and text; false for any other line.
bool ParseRefusal(const QString& line, int* code, QString* text)
{
    if (!line.startsWith(u'?')) {
        return false;
    }
    const qsizetype space = line.indexOf(u' ');
    bool ok = false;
    const int number = line.mid(1, space < 0 ? -1 : space - 1).toInt(&ok);
    if (!ok) {
        return false;
    }
    *code = number;
    *text = space < 0 ? QString() : line.mid(space + 1).trimmed();
    return true;
}

} // namespace

bool DriveExchange::Busy()
{
    return g_waiting;
}

DriveExchange::Answer DriveExchange::Send(PortChannel& channel, const QString& command,
                                          int timeoutMs)
{
    // A line break or control character would split the command, and the
    // drive would run the pieces as commands of their own.
    for (const QChar c : command) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E) {
            throw ComponentError(ResultCode::Fail,
                                 QStringLiteral("'%1' cannot be sent to the drive: only printable "
                                                "ASCII characters can.")
                                     .arg(command));
        }
    }
    ExchangeLock lock(channel);
    Answer answer;

    QByteArray received;
    bool prompted = false;
    bool stopped = false;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    // Only an exchange given longer than the gap watches for one: a short
    // one that ends without its prompt is an incorrect answer, as before.
    const bool watchGaps = timeoutMs > AnswerGapMs;
    QTimer gap;
    gap.setSingleShot(true);
    QObject::connect(&gap, &QTimer::timeout, &loop, [&] {
        stopped = true;
        loop.quit();
    });
    QObject::connect(&channel, &PortChannel::Received, &loop,
                     [&](const QByteArray& bytes, const QObject* addressee) {
                         // The answers to the pages' own commands are theirs.
                         if (prompted || (addressee != nullptr && addressee != &loop)) {
                             return;
                         }
                         received += bytes;
                         if (received.contains(kPrompt)) {
                             prompted = true;
                             loop.quit();
                         } else if (watchGaps && !received.isEmpty()) {
                             gap.start(AnswerGapMs);
                         }
                     });
    QObject::connect(&channel, &PortChannel::Lost, &loop, [&](const QString& reason) {
        answer.Result = Outcome::LinkLost;
        answer.Text = reason;
        loop.quit();
    });

    qCDebug(lcBridge).noquote() << QStringLiteral("COM%1 <<").arg(channel.PortNumber()) << command;
    if (!channel.Write(command.toLatin1() + '\r', &loop, timeoutMs)) {
        answer.Result = Outcome::LinkLost;
        answer.Text = channel.LostReason();
        return answer;
    }
    // A transport may answer inside Write.
    if (!prompted && answer.Result != Outcome::LinkLost) {
        timer.start(timeoutMs);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    // An answer that did not come in time is nobody's any more.
    channel.Forget(&loop);
    if (answer.Result == Outcome::LinkLost) {
        return answer;
    }
    if (!prompted) {
        answer.Result = received.isEmpty() ? Outcome::NoResponse
                        : stopped          ? Outcome::StoppedAnswering
                                           : Outcome::IncorrectResponse;
        qCDebug(lcBridge).noquote()
            << QStringLiteral("COM%1 no prompt: %2 bytes, %3")
                   .arg(channel.PortNumber())
                   .arg(received.size())
                   .arg(stopped ? QStringLiteral("then %1 ms of silence").arg(AnswerGapMs)
                                : QStringLiteral("no end within %1 ms").arg(timeoutMs));
        return answer;
    }

    answer.Lines = SplitLines(received.left(received.indexOf(kPrompt)));
    qCDebug(lcBridge).noquote() << QStringLiteral("COM%1 >>").arg(channel.PortNumber())
                                << answer.Lines.join(QStringLiteral(" | "));
    if (!answer.Lines.isEmpty() && ParseRefusal(answer.Lines.first(), &answer.Code, &answer.Text)) {
        answer.Result = Outcome::Refused;
    } else {
        answer.Result = Outcome::Answered;
    }
    return answer;
}

void DriveExchange::ThrowFor(const Answer& answer, const QString& command)
{
    switch (answer.Result) {
    case Outcome::Answered:
        return;
    case Outcome::Refused:
        throw ComponentError(ResultCode::Fail,
                             QStringLiteral("The drive refused %1: %2").arg(command, answer.Text));
    case Outcome::NoResponse:
        throw ComponentError(ResultCode::Fail, QStringLiteral("No response from Orvex drive"));
    case Outcome::IncorrectResponse:
        throw ComponentError(ResultCode::Fail,
                             QStringLiteral("Incorrect response from Orvex drive"));
    case Outcome::StoppedAnswering:
        throw ComponentError(ResultCode::Fail,
                             QStringLiteral("No response from Orvex drive: it stopped answering "
                                            "part way through its answer to %1")
                                 .arg(command));
    case Outcome::LinkLost:
        throw ComponentError(ResultCode::Fail,
                             answer.Text.isEmpty()
                                 ? QStringLiteral("The connection to the drive was lost.")
                                 : answer.Text);
    }
}

QStringList DriveExchange::Run(PortChannel& channel, const QString& command, int timeoutMs)
{
    Answer answer = Send(channel, command, timeoutMs);
    ThrowFor(answer, command);
    return answer.Lines;
}

QString DriveExchange::ValueOf(const QStringList& lines, const QString& name)
{
    const QString prefix = name + u'=';
    if (lines.size() != 1 || !lines.first().startsWith(prefix, Qt::CaseInsensitive)) {
        throw ComponentError(ResultCode::Fail,
                             QStringLiteral("Incorrect response from Orvex drive"));
    }
    return lines.first().mid(prefix.size());
}

} // namespace Orvex
