#include "ErrorLogDlg.h"
#include "ErrorLogSettings.h"
#include "ErrorLogSetupDlg.h"
#include "FakeMainWindow.h"
#include "PageIds.h"
#include "SimulatedDrive.h"
#include "SimulatedProgram.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Orvex;

namespace {

// The whole program on the simulated drive, its error log page on show.
struct Program : OrvexTest::SimulatedWindow
{
    Program() { window.SetPage(PageId::ErrorLog); }

    CErrorLogDlg& Page() const
    {
        return *dynamic_cast<CErrorLogDlg*>(window.Page(PageId::ErrorLog));
    }
    QString Shown() const { return Page().Box()->toPlainText(); }
    void Click(const char* name) const { Child<QPushButton>(name)->click(); }
};

// The page alone over a scripted link and a main window that records.
struct Offline : OrvexTest::FakeProgram
{
    Offline()
    {
        ScriptLinks();
        main.Port = 4;
        page = std::make_unique<CErrorLogDlg>(context, main);
    }
    template <class T = QPushButton> T* Button(const QString& name) const
    {
        return page->findChild<T*>(name);
    }

    OrvexTest::FakeMainWindow main;
    std::unique_ptr<CErrorLogDlg> page;
};

// The set-up boxes' profile keys in box order; box n sets bit n of the drive's mask.
const QStringList kKeys{"LogDriveShutdown",     "LogBridgeHardwareFault",
                        "LogNoPWMOutput",       "LogOverVoltageFault",
                        "LogUnderVoltageFault", "LogFeedbackError",
                        "LogDriveTempFault",    "LogMotorModelFault",
                        "LogMotorTempFault",    "LogExcessiveCommandVoltage",
                        "LogHallError",         "LogMotorConfigError",
                        "LogRegenFault",        "LogExcessiveSpeed"};

} // namespace

class TestErrorLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // "ERRORL=h", four upper-case hexadecimal digits and a carriage return.
    void maskCommand() { QCOMPARE(ErrorLogMaskCommand(0x000A), "ERRORL=h000A\r"); }

    // The set-up dialog ticks a box whose key is missing or exactly "Yes";
    // Cancel writes nothing back.
    void setupDialogReadsTheProfile_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("missing key") << QVariant() << true;
        QTest::newRow("Yes") << QVariant("Yes") << true;
        QTest::newRow("No") << QVariant("No") << false;
        QTest::newRow("lower case") << QVariant("yes") << false;
    }

    void setupDialogReadsTheProfile()
    {
        QFETCH(QVariant, value);
        QFETCH(bool, ticked);
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat);
        if (value.isValid())
            settings.setValue(QStringLiteral("ErrorLogSettings/LogHallError"), value);
        const QStringList keys = settings.allKeys();
        CErrorLogSetupDlg dialog(settings);
        QCOMPARE(dialog.windowTitle(), "Setup Error Log");
        QCOMPARE(dialog.CheckBox(0)->text(), "Log Drive Shutown");
        ErrorLogSelection expected;
        expected.fill(true);
        expected[10] = ticked;
        QCOMPARE(dialog.Selection(), expected);
        dialog.CheckBox(0)->setChecked(false);
        dialog.reject();
        QCOMPARE(settings.allKeys(), keys);
    }

    // Each box by itself: OK writes all fourteen keys, "Yes" for that box's
    // key only, the box sets its own bit of the drive's mask, and the next
    // dialog reads the box back from its key.
    void everyBoxHasItsKeyAndBit_data()
    {
        QTest::addColumn<int>("box");
        for (int box = 0; box < kKeys.size(); ++box)
            QTest::newRow(qPrintable(kKeys[box])) << box;
    }

    void everyBoxHasItsKeyAndBit()
    {
        QFETCH(int, box);
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat);
        CErrorLogSetupDlg dialog(settings);
        for (int i = 0; i < 14; ++i)
            dialog.CheckBox(i)->setChecked(i == box);
        QCOMPARE(int(ErrorLogMask(dialog.Selection())), 1 << box);
        dialog.accept();

        QCOMPARE(settings.allKeys().size(), 14);
        for (int i = 0; i < 14; ++i) {
            QCOMPARE(settings.value(QStringLiteral("ErrorLogSettings/") + kKeys[i]).toString(),
                     i == box ? "Yes" : "No");
        }
        QCOMPARE(int(ErrorLogMask(CErrorLogSetupDlg(settings).Selection())), 1 << box);
    }

    void everyCommandReopensTheLink_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("waitText");
        QTest::addColumn<QList<int>>("pauses");
        QTest::addColumn<QStringList>("readBack");
        const auto row = [](const char* name, const QString& button, const QString& command,
                            const QString& waitText, const QList<int>& pauses,
                            const QStringList& readBack) {
            QTest::newRow(name) << button << command << waitText << pauses << readBack;
        };
        row("view", "viewErrorLogButton", "TERRLG\r", "Retrieving Orvex error log...", {3000}, {});
        row("clear", "clearErrorLogButton", "CERRLG\r", "Clearing Orvex error log...", {3000}, {});
        // The drive then prints the set-up it holds, as a sign it took it.
        row("setup", "setupErrorLogButton", "ERRORL=h3FFF\r", "Setting up Orvex error log...",
            {1000, 300}, {QStringLiteral("ERRORL\r")});
    }

    void everyCommandReopensTheLink()
    {
        QFETCH(QString, button);
        QFETCH(QString, command);
        QFETCH(QString, waitText);
        QFETCH(QList<int>, pauses);
        QFETCH(QStringList, readBack);
        Offline f;
        f.ui.OnModal = [](QDialog&) { return int(QDialog::Accepted); };
        f.page->Box()->setPlainText(QStringLiteral("old text"));

        QTest::mouseClick(f.Button(button), Qt::LeftButton);
        QVERIFY(f.link);
        QCOMPARE(f.link->Opens, (std::vector<std::pair<int, bool>>{{4, true}}));
        QCOMPARE(f.link->Closes, 0);
        QTest::mouseClick(f.Button(button), Qt::LeftButton);
        QCOMPARE(f.link->Closes, 1);
        QCOMPARE(f.link->Opens.size(), size_t(2));
        const QStringList once = QStringList{command} + readBack;
        QCOMPARE(f.link->Writes, once + once);
        QCOMPARE(f.ui.WaitTexts, QStringList({waitText, waitText}));
        QCOMPARE(QList<int>(f.ui.Pauses.begin(), f.ui.Pauses.end()), pauses + pauses);
        QCOMPARE(f.ui.OpenWaitWindows, 0);
        QVERIFY(f.ui.Messages.empty());
        QVERIFY(f.Button(button)->isEnabled());

        // What the drive prints comes in through the link's event.
        f.link->Receive(QStringLiteral("No errors logged\r\n\x05"));
        QCOMPARE(f.page->Box()->toPlainText(), "No errors logged\n");

        // Leaving the page lets go of the port; the next command opens it again.
        f.page->OnKillActive();
        QVERIFY(!f.link->IsOpen());
        QCOMPARE(f.link->Closes, 2);
    }

    void unopenedPortOrMissingLinkSendsNothing()
    {
        Offline f;
        QVERIFY(f.page->SendLogCommand(QStringLiteral("TERRLG\r"))); // makes the link
        f.link->Writes.clear();
        f.link->OpenSucceeds = false;
        f.ui.Pauses.clear();
        f.Button(QStringLiteral("viewErrorLogButton"))->click();
        f.link->OpenError = QStringLiteral("Permission denied on COM4.");
        f.Button(QStringLiteral("viewErrorLogButton"))->click();
        QVERIFY(f.link->Writes.isEmpty());
        QCOMPARE(OrvexTest::Messages(f.ui),
                 (QStringList{"Communications Error: COM port not open",
                              "Communications Error: Permission denied on COM4."}));
        // Nothing went out, so there is nothing to wait for.
        QVERIFY(f.ui.Pauses.empty());
        QCOMPARE(f.ui.OpenWaitWindows, 0);

        // Without a link component there is no link to send on.
        Offline g;
        g.factory.Unregister(QString::fromLatin1(ProgId::LinkPort));
        QVERIFY(!g.page->SendLogCommand(QStringLiteral("TERRLG\r")));
        QCOMPARE(OrvexTest::Messages(g.ui),
                 QStringList{"Communications Error: ILinkPort not created"});
        QVERIFY(!g.page->HasLink());
    }

    // Activation waits for every running status page to stop before the log
    // commands can use the port; the radios switch pages.
    void activationStopsStatusUpdatesAndEmptiesBox()
    {
        for (int running : {0, 1, 2}) {
            Offline f;
            f.main.RunningStatusPages = running;
            f.Button<QRadioButton>("bitStatusRadio")->setChecked(true);
            f.page->Box()->setPlainText(QStringLiteral("from last time"));
            f.page->OnSetActive();
            QCOMPARE(f.main.Title, "Status Panel");
            QCOMPARE(f.main.StopRequests, 1);
            QCOMPARE(f.ui.Pauses, std::vector<int>(static_cast<size_t>(running), 1000));
            QVERIFY(f.page->Box()->toPlainText().isEmpty());
            QVERIFY(f.Button<QRadioButton>("errorLogRadio")->isChecked());
            f.main.Pages.clear();
            QTest::mouseClick(f.Button<QRadioButton>("numericStatusRadio"), Qt::LeftButton);
            QTest::mouseClick(f.Button<QRadioButton>("bitStatusRadio"), Qt::LeftButton);
            QCOMPARE(f.main.Pages,
                     (std::vector<int>{PageId::NumericStatusPanel, PageId::BitStatusPanel}));
        }
    }

    void viewShowsWhatTheDrivePrintedAndClearEmptiesTheLog()
    {
        Program p;
        QVERIFY(p.Drive().LatchFault(27)); // bridge hardware fault
        QVERIFY(p.Drive().LatchFault(30)); // under voltage
        p.Page().Box()->setPlainText(QStringLiteral("stale"));

        p.Click("viewErrorLogButton");
        QCOMPARE(p.ui.WaitTexts, QStringList{QStringLiteral("Retrieving Orvex error log...")});
        QVERIFY(p.ui.Messages.empty());
        // The drive's earlier faults come first, then the two new ones.
        const QStringList expected = p.Drive().ErrorLog().Lines();
        QCOMPARE(expected.size(), 5);
        QTRY_COMPARE(p.Shown().count(QLatin1Char('\n')), expected.size());
        QCOMPARE(p.Shown().split(QLatin1Char('\n'), Qt::SkipEmptyParts), expected);
        QVERIFY(expected[3].endsWith(QStringLiteral(" E27 Bridge Hardware Fault")));
        QVERIFY(expected[4].endsWith(QStringLiteral(" E30 Drive Undervoltage Fault")));

        p.Click("clearErrorLogButton");
        QTRY_COMPARE(p.Drive().ErrorLog().Count(), 0);
        p.Click("viewErrorLogButton");
        QTRY_COMPARE(p.Shown(), QStringLiteral("No errors logged\n"));
    }

    void setupSetsTheDriveMask()
    {
        Program p;
        p.ui.OnModal = [](QDialog& dialog) {
            auto& setup = dynamic_cast<CErrorLogSetupDlg&>(dialog);
            setup.CheckBox(1)->setChecked(false); // bridge hardware fault
            setup.accept();
            return int(QDialog::Accepted);
        };
        p.Click("setupErrorLogButton");
        QTRY_COMPARE(p.Drive().ErrorLog().Mask(), 0x3FFD);
        QCOMPARE(
            p.settings.value(QStringLiteral("ErrorLogSettings/LogBridgeHardwareFault")).toString(),
            "No");

        // A fault of an unlogged kind leaves no entry; a logged one does.
        const int before = p.Drive().ErrorLog().Count();
        p.Drive().LatchFault(27);
        QCOMPARE(p.Drive().ErrorLog().Count(), before);
        p.Drive().LatchFault(29);
        QCOMPARE(p.Drive().ErrorLog().Count(), before + 1);
    }
};

QTEST_MAIN(TestErrorLog)
#include "tst_errorlog.moc"
