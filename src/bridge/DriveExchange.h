#pragma once

#include <QString>
#include <QStringList>

namespace Orvex {

class PortChannel;

// One request/answer exchange with the drive on a shared port channel: sends a
// command line and waits, keeping the window painting, for the drive's prompt.
class DriveExchange
{
public:
    // How long the drive may take to answer: a plain command; the commands
    // that save to flash or restart the drive; and the configuration listing,
    // about 2 KB, which takes 2 s on a 9600 baud line.
    static constexpr int PlainTimeoutMs = 500;
    static constexpr int LongTimeoutMs = 5000;
    static constexpr int ListingTimeoutMs = 10000;
    // How long the drive may pause once its answer has begun, in exchanges
    // given longer than that. The drive sends an answer in one go, a
    // character time apart (about 1 ms at 9600 baud), so a pause this long
    // means it stopped in the middle, whatever the line speed: a listing or a
    // capture that stops is reported now, not at the end of its time-out.
    static constexpr int AnswerGapMs = PlainTimeoutMs;

    enum class Outcome
    {
        Answered,          // the prompt came; Lines holds the answer
        Refused,           // the drive answered "?<code> <text>"
        NoResponse,        // nothing came back in time
        IncorrectResponse, // bytes came back, but not a prompt in time
        StoppedAnswering,  // the answer began, then the drive fell silent
        LinkLost,          // the port went away
    };

    struct Answer
    {
        Outcome Result = Outcome::NoResponse;
        QStringList Lines; // answer lines without their line ends
        int Code = 0;      // the refusal code
        QString Text;      // the refusal text, or why the link was lost
    };

    // Sends command + "\r" and collects the answer. Waits in a local event
    // loop that excludes user input, so the window repaints but a click
    // cannot start a second exchange. Throws a ComponentError only when
    // another exchange is already waiting (in this program, or on this port).
    static Answer Send(PortChannel& channel, const QString& command,
                       int timeoutMs = PlainTimeoutMs);

    // As Send, but anything except an answer throws a ComponentError with a
    // text a user can read ("The drive refused P016=900: Out of range 0.01
    // to 500", "No response from Orvex drive").
    static QStringList Run(PortChannel& channel, const QString& command,
                           int timeoutMs = PlainTimeoutMs);

    // The answer's error as a ComponentError, for callers that looked at the
    // outcome first.
    static void ThrowFor(const Answer& answer, const QString& command);

    // The value of a single "NAME=value" answer line; throws "Incorrect
    // response from Orvex drive" when the answer is not that line.
    static QString ValueOf(const QStringList& lines, const QString& name);

    // True while an exchange waits for its answer.
    static bool Busy();
};

} // namespace Orvex
