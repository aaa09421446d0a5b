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
    void Click(const char* name) const
    {
        QTest::mouseClick(Page().findChild<QPushButton*>(QString::fromLatin1(name)),
                          Qt::LeftButton);
    }
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
    QPushButton* Button(const QString& name) const { return page->findChild<QPushButton*>(name); }
    QRadioButton* Radio(const char* name) const
    {
        return page->findChild<QRadioButton*>(QString::fromLatin1(name));
    }

    OrvexTest::FakeMainWindow main;
    std::unique_ptr<CErrorLogDlg> page;
};

ErrorLogSelection Ticked(std::initializer_list<int> boxes)
{
    ErrorLogSelection selection{};
    for (int box : boxes)
        selection[static_cast<size_t>(box)] = true;
    return selection;
}

} // namespace

class TestErrorLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // "ERRORL=h", four upper-case hexadecimal digits and a carriage return.
    void maskCommand()
    {
        ErrorLogSelection all;
        all.fill(true);
        QCOMPARE(ErrorLogMaskCommand(ErrorLogMask(all)), "ERRORL=h3FFF\r");
        QCOMPARE(ErrorLogMaskCommand(ErrorLogMask(Ticked({}))), "ERRORL=h0000\r");
        // Over voltage, hall error and regen fault.
        QCOMPARE(ErrorLogMaskCommand(ErrorLogMask(Ticked({3, 10, 12}))), "ERRORL=h1408\r");
    }

    void profileValues_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("missing key") << QVariant() << true;
        QTest::newRow("Yes") << QVariant("Yes") << true;
        QTest::newRow("No") << QVariant("No") << false;
        QTest::newRow("lower case") << QVariant("yes") << false;
        QTest::newRow("padded") << QVariant(" Yes") << false;
        QTest::newRow("empty") << QVariant(QString()) << false;
    }

    void profileValues()
    {
        QFETCH(QVariant, value);
        QFETCH(bool, ticked);
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat);
        if (value.isValid())
            settings.setValue(QStringLiteral("ErrorLogSettings/LogHallError"), value);
        ErrorLogSelection expected;
        expected.fill(true);
        expected[10] = ticked;
        QCOMPARE(ReadErrorLogSettings(settings), expected);
    }

    void setupDialogReadsTheProfileAndCancelWritesNothing()
    {
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat);
        settings.setValue(QStringLiteral("ErrorLogSettings/LogRegenFault"), QStringLiteral("No"));
        CErrorLogSetupDlg dialog(settings);
        QCOMPARE(dialog.windowTitle(), "Setup Error Log");
        QCOMPARE(dialog.CheckBox(0)->text(), "Log Drive Shutown");
        QVERIFY(!dialog.CheckBox(12)->isChecked());
        QVERIFY(dialog.CheckBox(11)->isChecked());
        dialog.CheckBox(0)->setChecked(false);
        dialog.reject();
        QCOMPARE(settings.allKeys(), QStringList{"ErrorLogSettings/LogRegenFault"});
    }

    // Each box by itself: OK writes all fourteen keys, "Yes" for that box's
    // key only, the box sets its own bit of the drive's mask, and the next
    // dialog reads the box back from its key.
    void everyBoxHasItsKeyAndBit_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("bit");
        QTest::newRow("drive shutdown") << 0 << "LogDriveShutdown" << 0x0001;
        QTest::newRow("bridge hardware") << 1 << "LogBridgeHardwareFault" << 0x0002;
        QTest::newRow("no PWM output") << 2 << "LogNoPWMOutput" << 0x0004;
        QTest::newRow("over voltage") << 3 << "LogOverVoltageFault" << 0x0008;
        QTest::newRow("under voltage") << 4 << "LogUnderVoltageFault" << 0x0010;
        QTest::newRow("feedback") << 5 << "LogFeedbackError" << 0x0020;
        QTest::newRow("drive temperature") << 6 << "LogDriveTempFault" << 0x0040;
        QTest::newRow("motor model") << 7 << "LogMotorModelFault" << 0x0080;
        QTest::newRow("motor temperature") << 8 << "LogMotorTempFault" << 0x0100;
        QTest::newRow("command voltage") << 9 << "LogExcessiveCommandVoltage" << 0x0200;
        QTest::newRow("hall") << 10 << "LogHallError" << 0x0400;
        QTest::newRow("motor config") << 11 << "LogMotorConfigError" << 0x0800;
        QTest::newRow("regen") << 12 << "LogRegenFault" << 0x1000;
        QTest::newRow("excessive speed") << 13 << "LogExcessiveSpeed" << 0x2000;
    }

    void everyBoxHasItsKeyAndBit()
    {
        QFETCH(int, box);
        QFETCH(QString, key);
        QFETCH(int, bit);
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat);
        CErrorLogSetupDlg dialog(settings);
        for (int i = 0; i < 14; ++i)
            dialog.CheckBox(i)->setChecked(i == box);
        QCOMPARE(int(ErrorLogMask(dialog.Selection())), bit);
        dialog.accept();

        settings.beginGroup(QStringLiteral("ErrorLogSettings"));
        const QStringList keys = settings.childKeys();
        QCOMPARE(keys.size(), 14);
        QVERIFY(keys.contains(key));
        for (const QString& written : keys) {
            QVERIFY2(written.startsWith(QLatin1String("Log")), qPrintable(written));
            QCOMPARE(settings.value(written).toString(), QString(written == key ? "Yes" : "No"));
        }
        settings.endGroup();
        QCOMPARE(CErrorLogSetupDlg(settings).Selection(), Ticked({box}));
    }

    void everyCommandReopensTheLink_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("waitText");
        QTest::addColumn<int>("pause");
        QTest::addColumn<QStringList>("readBack");
        QTest::newRow("view") << "viewErrorLogButton"
                              << "TERRLG\r"
                              << "Retrieving Orvex error log..." << 3000 << QStringList();
        QTest::newRow("clear") << "clearErrorLogButton"
                               << "CERRLG\r"
                               << "Clearing Orvex error log..." << 3000 << QStringList();
        // The drive then prints the set-up it holds, as a sign it took it.
        QTest::newRow("setup") << "setupErrorLogButton"
                               << "ERRORL=h3FFF\r"
                               << "Setting up Orvex error log..." << 1000
                               << QStringList{QStringLiteral("ERRORL\r")};
    }

    void everyCommandReopensTheLink()
    {
        QFETCH(QString, button);
        QFETCH(QString, command);
        QFETCH(QString, waitText);
        QFETCH(int, pause);
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
        const std::vector<int> pauses = readBack.isEmpty()
                                            ? std::vector<int>{pause, pause}
                                            : std::vector<int>{pause, 300, pause, 300};
        QCOMPARE(f.ui.Pauses, pauses);
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

    void unopenedPortSendsNothing()
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
    }

    void missingLinkComponentIsReported()
    {
        Offline f;
        f.factory.Unregister(QString::fromLatin1(ProgId::LinkPort));
        QVERIFY(!f.page->SendLogCommand(QStringLiteral("TERRLG\r")));
        QCOMPARE(OrvexTest::Messages(f.ui),
                 QStringList{"Communications Error: ILinkPort not created"});
        QVERIFY(!f.page->HasLink());
    }

    // Activation waits for every running status page to stop before the log
    // commands can use the port.
    void activationStopsStatusUpdatesAndEmptiesBox()
    {
        for (int running : {0, 1, 2}) {
            Offline f;
            f.main.RunningStatusPages = running;
            f.Radio("bitStatusRadio")->setChecked(true);
            f.page->Box()->setPlainText(QStringLiteral("from last time"));
            f.page->OnSetActive();
            QCOMPARE(f.main.Title, "Status Panel");
            QCOMPARE(f.main.StopRequests, 1);
            QCOMPARE(f.ui.Pauses, std::vector<int>(static_cast<size_t>(running), 1000));
            QVERIFY(f.page->Box()->toPlainText().isEmpty());
            QVERIFY(f.Radio("errorLogRadio")->isChecked());
        }
    }

    void radiosSwitchPages()
    {
        Offline f;
        QTest::mouseClick(f.Radio("numericStatusRadio"), Qt::LeftButton);
        QTest::mouseClick(f.Radio("bitStatusRadio"), Qt::LeftButton);
        QCOMPARE(f.main.Pages,
                 (std::vector<int>{PageId::NumericStatusPanel, PageId::BitStatusPanel}));
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
