#include "DownloadOSDlg.h"

#include "AppContext.h"
#include "Component.h"
#include "ComponentFactory.h"
#include "DriveGate.h"
#include "ErrorReport.h"
#include "MainWindowServices.h"
#include "OrvexConfig.h"
#include "UiServices.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <exception>
#include <memory>
#include <utility>

namespace Orvex {

namespace {

// The answers of GetOsDownloadProgress.
enum DownloadStatus
{
    NoDownload = 0,
    InProgress = 1,
    Completed = 2,
    Busy = 3,
    FileError = 4,
    TooManyErrors = 5,
    TimedOut = 6,
};

// The connection test's answers that let a download go on: the drive
// answered, or it has no operating system and waits for one.
constexpr int DriveAnswered = -1;
constexpr int OsNeeded = 5;

} // namespace

CDownloadOSDlg::CDownloadOSDlg(AppContext& context, IMainWindow& mainWindow, QString path,
                               QWidget* parent)
    : QDialog(parent), m_context(context), m_mainWindow(mainWindow), m_path(std::move(path))
{
    setObjectName(QStringLiteral("downloadOSDlg"));
    setWindowTitle(QStringLiteral("Downloading OS"));
    auto* layout = new QVBoxLayout(this);

    m_pBackup = new QLabel(this);
    m_pBackup->setObjectName(QStringLiteral("backupLabel"));
    m_pBackup->setAccessibleName(QStringLiteral("Saved Configuration"));
    m_pBackup->setWordWrap(true);
    m_pBackup->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_pBackup->setFocusPolicy(Qt::TabFocus);
    m_pBackup->hide();
    layout->addWidget(m_pBackup);

    m_pProgress = new QProgressBar(this);
    m_pProgress->setObjectName(QStringLiteral("progressBar"));
    m_pProgress->setAccessibleName(QStringLiteral("Download Progress"));
    m_pProgress->setRange(0, 100);
    m_pProgress->setValue(0);
    m_pProgress->setMinimumWidth(440);
    layout->addWidget(m_pProgress);

    m_pStatus = new QLabel(QStringLiteral("Status:  "), this);
    m_pStatus->setObjectName(QStringLiteral("statusLabel"));
    m_pStatus->setAccessibleName(QStringLiteral("Download Status"));
    m_pStatus->setFocusPolicy(Qt::TabFocus);
    m_pStatus->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    layout->addWidget(m_pStatus);

    auto* buttons = new QDialogButtonBox(this);
    m_pCancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    m_pCancel->setObjectName(QStringLiteral("cancelButton"));
    m_pCancel->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    m_timer.setInterval(PollIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { ORVEX_GUARDED([this] { Poll(); }); });
}

CDownloadOSDlg::~CDownloadOSDlg()
{
    ORVEX_GUARDED([this] {
        StopPolling();
        // Always, also after a finished download: the bridge forgets it then.
        RunShowingErrors(m_context.Ui, DownloadError,
                         [this] { m_context.Config.AbortOsDownload(); });
    });
}

QString CDownloadOSDlg::BackupFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("Configurations before OS download"));
}

bool CDownloadOSDlg::Start()
{
    IUiServices& ui = m_context.Ui;
    if (!QFileInfo(m_path).isFile()) {
        ui.ShowMessage(DriveGate::CommunicationsError, QStringLiteral("OS not found"));
        return false;
    }
    DriveGate gate(ui, m_mainWindow);
    const std::optional<int> code = gate.Test(m_context.Config, DownloadError);
    if (!code)
        return false;
    if (*code != DriveAnswered && *code != OsNeeded) {
        gate.ShowFailure(*code, DriveGate::Report::MessageBox, DriveGate::CommunicationsError);
        return false;
    }
    KeepConfiguration();
    return RunShowingErrors(ui, DownloadError, [&] {
        IOrvexConfig& config = m_context.Config;
        config.StartOsDownload(m_path);
        // The bridge knows the size once it has read the file; give it a
        // moment when it does not yet.
        int total = 0;
        int done = 0;
        for (int waited = 0;; waited += TotalPollMs) {
            config.GetOsDownloadProgress(total, done);
            if (total > 0 || waited >= TotalWaitMs)
                break;
            ui.Pause(TotalPollMs);
        }
        m_pProgress->setRange(0, 100);
        if (total > 0)
            m_pProgress->setValue(static_cast<int>(qint64(done) * 100 / total));
        m_timer.start();
    });
}

void CDownloadOSDlg::KeepConfiguration()
{
    const QString folder = BackupFolder();
    const QString path = QDir(folder).filePath(
        QStringLiteral("Drive configuration %1.kvt")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh-mm-ss"))));
    QString failure;
    try {
        const auto wait =
            m_context.Ui.ShowWait(QStringLiteral("Saving the drive's configuration..."));
        if (!QDir().mkpath(folder))
            throw ComponentError(ResultCode::Fail,
                                 QStringLiteral("The folder %1 cannot be made.").arg(folder));
        // An object of its own, so the configuration the pages show stays as it is.
        const std::unique_ptr<IOrvexConfig> drive =
            m_context.Factory.Create<IOrvexConfig>(QString::fromLatin1(ProgId::BridgeConfig));
        drive->SetPortNumber(m_mainWindow.SelectedPort());
        drive->LoadConfiguration(QString());
        drive->StoreConfiguration(false, path);
        m_backupPath = path;
    } catch (const ComponentError& error) {
        failure = error.Description();
    } catch (const FrameworkException& error) {
        failure = error.Message();
    } catch (const std::exception& error) {
        failure = QString::fromLocal8Bit(error.what());
    }
    failure = failure.trimmed();
    if (!failure.isEmpty() && !failure.endsWith(u'.'))
        failure += u'.';
    m_pBackup->setText(
        failure.isEmpty()
            ? QStringLiteral("The drive's configuration was saved to %1 before the download.")
                  .arg(QDir::toNativeSeparators(m_backupPath))
            : QStringLiteral("The drive's configuration could not be saved before the "
                             "download: %1 The download goes on without it.")
                  .arg(failure));
    m_pBackup->show();
}

void CDownloadOSDlg::Poll()
{
    const bool polled = RunShowingErrors(m_context.Ui, DownloadError, [this] {
        int total = 0;
        int done = 0;
        const int code = m_context.Config.GetOsDownloadProgress(total, done);
        switch (code) {
        case NoDownload:
            ShowStatus(QStringLiteral("Status: No download in progress"));
            break;
        case InProgress:
            ShowStatus(QStringLiteral("Status: Download in progress..."));
            ShowProgress(total, done);
            break;
        case Completed:
            StopPolling();
            ShowStatus(QStringLiteral("Status: Download successfully completed"));
            m_pCancel->setText(QStringLiteral("OK"));
            m_pProgress->setValue(100);
            m_succeeded = true;
            break;
        case Busy:
            break;
        case FileError:
            StopPolling();
            ShowStatus(QStringLiteral("Status: Error reading from file"));
            break;
        case TooManyErrors:
            StopPolling();
            ShowStatus(QStringLiteral("Status: Too many errors during download"));
            break;
        case TimedOut:
            StopPolling();
            ShowStatus(QStringLiteral("Status:  Download has timed out waiting for response"));
            break;
        default:
            StopPolling();
            ShowStatus(QStringLiteral("Status:  Unexpected error during download (%1)").arg(code));
            break;
        }
    });
    if (!polled) {
        StopPolling();
        reject();
    }
}

void CDownloadOSDlg::StopPolling()
{
    m_timer.stop();
}

void CDownloadOSDlg::ShowStatus(const QString& text)
{
    m_pStatus->setText(text);
}

void CDownloadOSDlg::ShowProgress(int total, int done)
{
    if (total <= 0)
        return;
    // A report of 1 % or less leaves the bar where it is.
    const qint64 percent = qint64(done) * 100 / total;
    if (percent > 1)
        m_pProgress->setValue(static_cast<int>(percent));
}

} // namespace Orvex
