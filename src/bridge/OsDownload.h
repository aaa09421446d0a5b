#pragma once

#include "OsImage.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

namespace Orvex {

class PortChannel;

// Sends an operating system image to the drive's boot loader in the
// background: one line at a time, each after the drive's prompt for the one
// before, driven by the channel's signals, so the caller polls the progress
// instead of waiting.
//
// While it runs it holds the channel's exchange lock, so the bridge objects'
// own requests on that port are refused ("busy") instead of taking the
// download's answers as theirs. The pages' links do not take the lock; the
// download dialog is modal, so nobody types into the terminal meanwhile.
class OsDownload final : public QObject
{
    Q_OBJECT

public:
    // The answers of GetOsDownloadProgress.
    enum Status
    {
        Idle = 0,
        Running = 1,
        Completed = 2,
        FileError = 4,
        TooManyErrors = 5,
        TimedOut = 6,
    };

    // Image bytes per OSD line: 240 hex digits keep the line within the
    // drive's 255 characters.
    static constexpr int LineBytes = 120;
    // A data line the drive refuses this many times in a row ends the download.
    static constexpr int MaxRefusals = 3;
    // How long the drive may take to answer a data line (a 9600 baud line
    // needs 0.25 s for one), and the start and end, which erase and write flash.
    static constexpr int LineTimeoutMs = 2000;
    static constexpr int FlashTimeoutMs = 5000;
    static constexpr int AbortTimeoutMs = 500;

    explicit OsDownload(QObject* parent = nullptr);
    ~OsDownload() override;

    // Starts sending image on channel. Throws a ComponentError when a
    // download is already running or another request holds the channel.
    void Start(std::shared_ptr<PortChannel> channel, OsImage image);
    // Records a file that could not be used: status FileError, nothing sent.
    void SetFileError(const QString& reason);
    // The status, with the payload size and the bytes the drive acknowledged.
    Status Progress(int& total, int& done) const;
    // Stops a running download (the drive is told with OSABORT once it has
    // left its OS), waiting for the drive's last answer, and forgets the
    // outcome. Harmless when idle or finished.
    void Abort();
    bool IsActive() const { return m_phase != Phase::Finished; }
    // Why the last download failed, for the log and the user.
    QString LastError() const { return m_lastError; }

Q_SIGNALS:
    void Finished();

private:
    enum class Phase
    {
        Flush,    // an empty line clears whatever half-line the drive holds
        Begin,    // OSDL: the drive leaves its OS
        Data,     // OSD lines
        End,      // OSEND: the drive checks and starts the image
        Aborting, // OSABORT after a failure or a stop
        Finished,
    };

    void SendLine(const QString& line, int timeoutMs);
    void SendNextData();
    void OnReceived(const QByteArray& bytes, const QObject* addressee);
    void Pump();
    void HandleAnswer(const QStringList& lines);
    void OnTimeout();
    void OnLost(const QString& reason);
    // Tells the drive to drop its download, then finishes with status.
    void AbortThenFinish(Status status, const QString& reason);
    void Finish(Status status, const QString& reason = QString());
    void Release();

    std::shared_ptr<PortChannel> m_channel;
    OsImage m_image;
    Phase m_phase = Phase::Finished;
    Status m_status = Idle;
    Status m_finalStatus = Idle; // reported while the drive is being told to abort
    QString m_lastError;
    int m_done = 0;
    int m_sending = 0; // bytes of the data line in flight
    int m_refusals = 0;
    bool m_stopRequested = false;
    bool m_awaiting = false;
    bool m_writing = false;
    QString m_lastLine;
    QByteArray m_received;
    QTimer m_timer;
    QList<QMetaObject::Connection> m_connections;
};

} // namespace Orvex
