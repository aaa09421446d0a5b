#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>

class QLabel;
class QProgressBar;
class QPushButton;

namespace Orvex {

struct AppContext;
class IMainWindow;

// "Downloading OS": sends an operating system file to the drive through the
// configuration object and shows its progress once a second. Before the
// download the drive's configuration is kept in a .kvt file, since a new
// operating system may lose settings. Closing the dialog, in any way and at
// any time, aborts what the bridge is doing.
class CDownloadOSDlg final : public QDialog
{
    Q_OBJECT

public:
    static inline const QString DownloadError = QStringLiteral("OS Download Error");
    static constexpr int TotalWaitMs = 2000;
    static constexpr int TotalPollMs = 50;
    static constexpr int PollIntervalMs = 1000;

    CDownloadOSDlg(AppContext& context, IMainWindow& mainWindow, QString path,
                   QWidget* parent = nullptr);
    ~CDownloadOSDlg() override;

    // Checks the file and the drive, keeps the configuration and starts the
    // download. False when the dialog has ended already (a message said why),
    // so there is nothing to show.
    bool Start();
    // One look at the download's progress (the timer's tick).
    void Poll();

    // The period of the progress poll; tests shorten it.
    void SetPollInterval(int milliseconds) { m_timer.setInterval(milliseconds); }
    bool IsPolling() const { return m_timer.isActive(); }
    bool Succeeded() const { return m_succeeded; }
    // Where the drive's configuration was kept; empty when it could not be.
    QString BackupPath() const { return m_backupPath; }

    // The folder the configurations kept before a download go to.
    static QString BackupFolder();

private:
    // Uploads the drive's configuration into a file of the backup folder and
    // says on the dialog where it went, or why it could not be kept.
    void KeepConfiguration();
    void StopPolling();
    void ShowStatus(const QString& text);
    void ShowProgress(int total, int done);

    AppContext& m_context;
    IMainWindow& m_mainWindow;
    QString m_path;
    QString m_backupPath;
    bool m_succeeded = false;
    QTimer m_timer;

    QLabel* m_pStatus = nullptr;
    QLabel* m_pBackup = nullptr;
    QProgressBar* m_pProgress = nullptr;
    QPushButton* m_pCancel = nullptr;
};

} // namespace Orvex
