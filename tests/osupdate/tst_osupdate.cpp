#include "DownloadOSDlg.h"
#include "FakeMainWindow.h"
#include "OperatingSystemUpdateDlg.h"
#include "OrvexConfigBase.h"
#include "PageIds.h"
#include "RFSDlg.h"
#include "ResetDlg.h"
#include "SimulatedProgram.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include <deque>

using namespace Orvex;

namespace {

constexpr int DownloadTimeoutMs = 20000;

QString ImagePath()
{
    return qEnvironmentVariable("ORVEX_DATA_DIR") + QStringLiteral("/OrvexOS-3.02.0018.ops");
}

// A configuration object whose download reports what the test lines up.
class ProgressConfig final : public OrvexConfigBase
{
public:
    struct Report
    {
        int Code;
        int Total;
        int Done;
    };
    void SetPortNumber(int) override {}
    int TestConnection() override { return -1; }
    void StartOsDownload(const QString&) override {}
    int GetOsDownloadProgress(int& total, int& done) override
    {
        const Report report = Reports.empty() ? Report{1, 1000, 0} : Reports.front();
        if (Reports.size() > 1)
            Reports.pop_front();
        total = report.Total;
        done = report.Done;
        return report.Code;
    }
    void AbortOsDownload() override { ++Aborts; }

    std::deque<Report> Reports;
    int Aborts = 0;
};

// The program on the simulated drive with the operating system page at hand.
struct OsPage : OrvexTest::SimulatedWindow
{
    OsPage()
    {
        window.SetPage(PageId::OperatingSystemUpdate);
        config->SetPortNumber(SimulatorPort());
    }
    void Click(const char* name)
    {
        window.Page(PageId::OperatingSystemUpdate)
            ->findChild<QPushButton*>(QLatin1String(name))
            ->click();
    }
    // Chooses the file and runs the download; inside is what happens while
    // the dialog is up. Answers whether the dialog was shown.
    bool Download(const QString& path, const std::function<void(CDownloadOSDlg&)>& inside)
    {
        bool shown = false;
        ui.FileAnswers.push_back(path);
        ui.OnModal = [&](QDialog& dialog) {
            shown = true;
            auto& download = dynamic_cast<CDownloadOSDlg&>(dialog);
            download.SetPollInterval(10);
            inside(download);
            return int(QDialog::Rejected);
        };
        Click("downloadOSButton");
        return shown;
    }
    QString Shown() const { return OrvexTest::Messages(ui).join(u'\n'); }
};

QString StatusOf(const QDialog& dialog)
{
    return dialog.findChild<QLabel*>(QStringLiteral("statusLabel"))->text();
}

} // namespace

class TestOsUpdate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanupTestCase() { QDir(CDownloadOSDlg::BackupFolder()).removeRecursively(); }

    void pollShowsEachStatus_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("done"); // of 1000
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("bar");
        const QString running = QStringLiteral("Status: Download in progress...");
        QTest::newRow("idle") << 0 << 0 << "Status: No download in progress" << 0;
        QTest::newRow("1 % leaves the bar") << 1 << 19 << running << 0;
        QTest::newRow("2 % moves it") << 1 << 20 << running << 2;
        QTest::newRow("done") << 2 << 1000 << "Status: Download successfully completed" << 100;
        QTest::newRow("busy") << 3 << 500 << "Status:  " << 0;
        QTest::newRow("file") << 4 << 0 << "Status: Error reading from file" << 0;
        QTest::newRow("errors") << 5 << 0 << "Status: Too many errors during download" << 0;
        QTest::newRow("timed out")
            << 6 << 0 << "Status:  Download has timed out waiting for response" << 0;
        QTest::newRow("other") << 9 << 0 << "Status:  Unexpected error during download (9)" << 0;
    }
    void pollShowsEachStatus()
    {
        QFETCH(int, code);
        QFETCH(int, done);
        QFETCH(QString, status);
        QFETCH(int, bar);
        OrvexTest::FakeProgram program;
        ProgressConfig config;
        OrvexTest::FakeMainWindow mainWindow;
        AppContext context{program.factory, program.ui, program.settings, config, nullptr, nullptr,
                           program.limits,  false,      QString()};
        {
            CDownloadOSDlg dialog(context, mainWindow, ImagePath());
            config.Reports = {{1, 0, 0}, {1, 1000, 0}, {code, 1000, done}};
            QVERIFY(dialog.Start());
            // No total at the first look: the dialog waits for one.
            QCOMPARE(program.ui.Pauses, std::vector<int>{CDownloadOSDlg::TotalPollMs});
            dialog.Poll();
            QCOMPARE(StatusOf(dialog), status);
            QCOMPARE(dialog.findChild<QProgressBar*>()->value(), bar);
            // Only a download that may still end keeps the poll going.
            QCOMPARE(dialog.IsPolling(), code == 0 || code == 1 || code == 3);
            QCOMPARE(dialog.findChild<QPushButton*>()->text(),
                     code == 2 ? QStringLiteral("OK") : QStringLiteral("Cancel"));
            QCOMPARE(config.Aborts, 0);
        }
        QCOMPARE(config.Aborts, 1);
    }

    void downloadFromThePage_data()
    {
        QTest::addColumn<QString>("drive"); // switch, or "" for a drive running its OS
        QTest::addColumn<bool>("kept");     // whether its configuration could be kept
        QTest::newRow("drive answers") << QString() << true;
        QTest::newRow("OS needed (5)") << QStringLiteral("os:missing") << false;
    }
    void downloadFromThePage()
    {
        QFETCH(QString, drive);
        QFETCH(bool, kept);
        OsPage m;
        // Unpaced, so the whole image goes over in a moment.
        QVERIFY(m.Drive().ApplySwitch(QStringLiteral("baud:0"), nullptr));
        if (!drive.isEmpty())
            QVERIFY(m.Drive().ApplySwitch(drive, nullptr));
        m.ui.QuestionAnswers.push_back(QuestionAnswer::Yes);
        QString backup;
        const int writesBefore = m.Drive().ParameterWrites();
        const bool shown = m.Download(ImagePath(), [&](CDownloadOSDlg& dialog) {
            QTRY_COMPARE_WITH_TIMEOUT(StatusOf(dialog),
                                      QStringLiteral("Status: Download successfully completed"),
                                      DownloadTimeoutMs);
            backup = dialog.findChild<QLabel*>(QStringLiteral("backupLabel"))->text();
        });
        QVERIFY(shown);
        // The file dialog opens where the shipped image is.
        QVERIFY(QFileInfo::exists(QDir(m.ui.FileRequests.front().Folder)
                                      .filePath(QStringLiteral("OrvexOS-3.02.0018.ops"))));
        QCOMPARE(m.Shown(), kept
                                ? QStringLiteral("Operating System Update: The configuration "
                                                 "saved before the download is on the drive again.")
                                : QString());
        QCOMPARE(m.Drive().InstalledOsRevision(), QStringLiteral("3.02.0018"));
        QCOMPARE(m.Drive().Os(), SimulatedDrive::OsState::Valid);
        QVERIFY(!m.Drive().OsDownloadActive());
        const QStringList files = QDir(CDownloadOSDlg::BackupFolder()).entryList(QDir::Files);
        if (kept) {
            QVERIFY2(backup.contains(QDir::toNativeSeparators(CDownloadOSDlg::BackupFolder())),
                     qPrintable(backup));
            QVERIFY(!files.isEmpty());
            // Offered back after the download, and sent on "Yes".
            QCOMPARE(m.ui.Questions.size(), size_t(1));
            QVERIFY(m.Drive().ParameterWrites() > writesBefore);
        } else {
            QVERIFY2(backup.contains(QStringLiteral("could not be saved")), qPrintable(backup));
            QVERIFY(m.ui.Questions.empty());
            QCOMPARE(m.Drive().ParameterWrites(), writesBefore);
        }
    }

    void downloadRefused_data()
    {
        QTest::addColumn<QString>("drive");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("message");
        QTest::newRow("no file") << QString() << QStringLiteral("/nonexistent/x.ops")
                                 << "Communications Error: OS not found";
        QTest::newRow("cycle power (6)") << QStringLiteral("os:corrupt") << ImagePath()
                                         << "Communications Error: Cycle power and download OS";
        QTest::newRow("no answer (3)") << QStringLiteral("noanswer") << ImagePath()
                                       << "Communications Error: No response from Orvex drive";
    }
    void downloadRefused()
    {
        QFETCH(QString, drive);
        QFETCH(QString, path);
        QFETCH(QString, message);
        OsPage m;
        if (!drive.isEmpty())
            QVERIFY(m.Drive().ApplySwitch(drive, nullptr));
        const SimulatedDrive::OsState os = m.Drive().Os();
        QVERIFY(!m.Download(path, [](CDownloadOSDlg&) {}));
        QCOMPARE(m.Shown(), message);
        QVERIFY(m.Drive().RecentCommands().filter(QStringLiteral("OSDL")).isEmpty());
        QCOMPARE(m.Drive().Os(), os);
    }

    void downloadInterrupted_data()
    {
        QTest::addColumn<bool>("cut"); // the link is lost; else the user closes the dialog
        QTest::newRow("closed by the user") << false;
        QTest::newRow("link lost") << true;
    }
    void downloadInterrupted()
    {
        QFETCH(bool, cut);
        OsPage m;
        QVERIFY(m.Drive().ApplySwitch(QStringLiteral("baud:115200"), nullptr));
        QVERIFY(m.Download(ImagePath(), [&](CDownloadOSDlg& dialog) {
            QTRY_VERIFY_WITH_TIMEOUT(m.Drive().OsBytesReceived() > 0, DownloadTimeoutMs);
            if (!cut) {
                dialog.reject();
                return;
            }
            QVERIFY(m.Drive().ApplySwitch(QStringLiteral("cut:100"), nullptr));
            QTRY_COMPARE_WITH_TIMEOUT(
                StatusOf(dialog),
                QStringLiteral("Status:  Download has timed out waiting for response"),
                DownloadTimeoutMs);
            QVERIFY(!dialog.IsPolling());
        }));
        QVERIFY(m.Drive().Os() != SimulatedDrive::OsState::Valid);
        QVERIFY(m.ui.Questions.empty());
        if (!cut) {
            QVERIFY(!m.Drive().OsDownloadActive());
            // The drive has no operating system now, and says so.
            QVERIFY(m.Drive().ApplySwitch(QStringLiteral("clear"), nullptr));
            QCOMPARE(m.config->TestConnection(), 5);
        }
    }

    void resetAndFactorySettings_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("drive");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("wait"); // the action's wait text, "" when none runs
        QTest::newRow("reset, no")
            << QByteArray("resetDriveButton") << false << QString() << QString() << QString();
        QTest::newRow("factory, no")
            << QByteArray("factorySettingsButton") << false << QString() << QString() << QString();
        QTest::newRow("reset, no drive (3)")
            << QByteArray("resetDriveButton") << true << QStringLiteral("noanswer")
            << "Communications Status: No response from Orvex drive" << QString();
        QTest::newRow("factory, OS needed (5)")
            << QByteArray("factorySettingsButton") << true << QStringLiteral("os:missing")
            << "Communications Status: OS needs to be downloaded" << QString();
        QTest::newRow("reset") << QByteArray("resetDriveButton") << true << QString() << QString()
                               << "Resetting Orvex drive...";
        QTest::newRow("factory") << QByteArray("factorySettingsButton") << true << QString()
                                 << QString() << "Restoring Orvex factory settings...";
    }
    void resetAndFactorySettings()
    {
        QFETCH(QByteArray, button);
        QFETCH(bool, yes);
        QFETCH(QString, drive);
        QFETCH(QString, message);
        QFETCH(QString, wait);
        OsPage m;
        constexpr int Parameter = 3; // continuous current
        const double defaultValue = m.limits[Parameter].Default;
        m.Drive().Receive(QByteArray("P003=") + QByteArray::number(m.limits[Parameter].Maximum) +
                          '\r');
        const double changed = *m.Drive().WorkingValue(Parameter);
        QVERIFY(changed != defaultValue);
        m.Drive().Receive("ENABLE 1\r");
        if (!drive.isEmpty())
            QVERIFY(m.Drive().ApplySwitch(drive, nullptr));
        const int commandsBefore = m.Drive().CommandsReceived();
        m.ui.OnModal = [&](QDialog& dialog) {
            dialog
                .findChild<QPushButton*>(yes ? QStringLiteral("yesButton")
                                             : QStringLiteral("noButton"))
                ->click();
            return dialog.result();
        };
        m.Click(button.constData());
        QCOMPARE(m.Shown(), message);
        if (!yes) {
            QCOMPARE(m.Drive().CommandsReceived(), commandsBefore);
            QVERIFY(m.ui.WaitTexts.isEmpty());
            return;
        }
        QCOMPARE(m.ui.WaitTexts.first(), QStringLiteral("Testing Orvex connection..."));
        QCOMPARE(m.ui.WaitTexts.size(), wait.isEmpty() ? 1 : 2);
        if (wait.isEmpty()) {
            QCOMPARE(*m.Drive().WorkingValue(Parameter), changed);
            return;
        }
        QCOMPARE(m.ui.WaitTexts.last(), wait);
        QVERIFY(!m.Drive().IsEnabled());
        // A reset starts from the stored settings, so the unsaved change goes too.
        QCOMPARE(*m.Drive().WorkingValue(Parameter), button == "factorySettingsButton"
                                                         ? defaultValue
                                                         : *m.Drive().StoredValue(Parameter));
    }
};

QTEST_MAIN(TestOsUpdate)
#include "tst_osupdate.moc"
