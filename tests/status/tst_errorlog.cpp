#include "AppContext.h"
#include "ComponentFactory.h"
#include "ErrorLogDlg.h"
#include "ErrorLogSettings.h"
#include "ErrorLogSetupDlg.h"
#include "FakeConfig.h"
#include "FakeMainWindow.h"
#include "FakeUiServices.h"
#include "PageIds.h"
#include "ParameterLimits.h"
#include "ScriptedLink.h"
#include "SimulatedDrive.h"
#include "SimulatedProgram.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace Orvex;
using OrvexTest::ScriptedLink;

Q_DECLARE_METATYPE(Orvex::ErrorLogSelection)

namespace {

const QString kCommunicationsError = QStringLiteral("Communications Error");

// The whole program on the simulated drive, its error log page on show.
struct Program : OrvexTest::SimulatedProgram
{
    Program()
        : SimulatedProgram(QStringLiteral(ORVEX_TEST_DATA_DIR)), window(context, ports, nullptr)
    {
        window.OnInitDialog();
        window.SetPage(Orvex::PageId::ErrorLog);
    }

    SimulatedDrive& Drive() const { return *components.Drive(); }
    CErrorLogDlg& Page() const
    {
        return *dynamic_cast<CErrorLogDlg*>(window.Page(Orvex::PageId::ErrorLog));
    }
    QString Shown() const { return Page().Box()->toPlainText(); }
    void Click(const char* name) const
    {
        QTest::mouseClick(Page().findChild<QPushButton*>(QString::fromLatin1(name)),
                          Qt::LeftButton);
    }

    COrvexSupportToolDlg window;
};

// The page alone over a scripted link and a main window that records.
struct Offline
{
    Offline()
        : settings(dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat),
          context{factory, ui, settings, config, nullptr, nullptr, limits, false, QString()}
    {
        factory.Register(QString::fromLatin1(ProgId::LinkPort), [this] {
            auto made = std::make_unique<ScriptedLink>();
            link = made.get();
            return made;
        });
        main.Port = 4;
        page = std::make_unique<CErrorLogDlg>(context, main);
    }

    QTemporaryDir dir;
    QSettings settings;
    ComponentFactory factory;
    OrvexTest::FakeUiServices ui;
    OrvexTest::FakeConfig config;
    ParameterLimits limits;
    AppContext context;
    OrvexTest::FakeMainWindow main;
    ScriptedLink* link = nullptr;
    std::unique_ptr<CErrorLogDlg> page;
};

ErrorLogSelection AllTicked(bool ticked)
{
    ErrorLogSelection selection;
    selection.fill(ticked);
    return selection;
}

} // namespace

class TestErrorLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void maskCommand_data();
    void maskCommand();
    void profileValues_data();
    void profileValues();
    void setupDialogWritesOnlyOnOk();
    void appendReceived_data();
    void appendReceived();
    void everyCommandReopensTheLink_data();
    void everyCommandReopensTheLink();
    void unopenedPortSendsNothing_data();
    void unopenedPortSendsNothing();
    void missingLinkComponentIsReported();
    void activationStopsStatusUpdatesAndEmptiesBox_data();
    void activationStopsStatusUpdatesAndEmptiesBox();
    void radiosSwitchPages();
    void viewShowsWhatTheDrivePrinted();
    void clearEmptiesTheDriveLog();
    void setupSetsTheDriveMask();
};

void TestErrorLog::maskCommand_data()
{
    QTest::addColumn<ErrorLogSelection>("selection");
    QTest::addColumn<QString>("command");
    QTest::newRow("all ticked") << AllTicked(true) << QStringLiteral("ERRORL=h3FFF\r");
    QTest::newRow("none ticked") << AllTicked(false) << QStringLiteral("ERRORL=h0000\r");
    ErrorLogSelection first = AllTicked(false);
    first[0] = true;
    QTest::newRow("drive shutdown only") << first << QStringLiteral("ERRORL=h0001\r");
    ErrorLogSelection last = AllTicked(false);
    last[13] = true;
    QTest::newRow("excessive speed only") << last << QStringLiteral("ERRORL=h2000\r");
    ErrorLogSelection mixed = AllTicked(false);
    mixed[3] = mixed[10] = mixed[12] = true; // over voltage, hall, regen
    QTest::newRow("upper-case hex digits") << mixed << QStringLiteral("ERRORL=h1408\r");
}

void TestErrorLog::maskCommand()
{
    QFETCH(ErrorLogSelection, selection);
    QFETCH(QString, command);
    QCOMPARE(ErrorLogMaskCommand(ErrorLogMask(selection)), command);
}

void TestErrorLog::profileValues_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("ticked");
    QTest::newRow("missing key") << QVariant() << true;
    QTest::newRow("Yes") << QVariant(QStringLiteral("Yes")) << true;
    QTest::newRow("No") << QVariant(QStringLiteral("No")) << false;
    QTest::newRow("lower case") << QVariant(QStringLiteral("yes")) << false;
    QTest::newRow("upper case") << QVariant(QStringLiteral("YES")) << false;
    QTest::newRow("padded") << QVariant(QStringLiteral(" Yes")) << false;
    QTest::newRow("empty") << QVariant(QString()) << false;
}

void TestErrorLog::profileValues()
{
    QFETCH(QVariant, value);
    QFETCH(bool, ticked);
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat);
    if (value.isValid())
        settings.setValue(QStringLiteral("ErrorLogSettings/LogHallError"), value);
    const ErrorLogSelection selection = ReadErrorLogSettings(settings);
    for (size_t i = 0; i < selection.size(); ++i)
        QCOMPARE(selection[i], i == 10 ? ticked : true);
}

void TestErrorLog::setupDialogWritesOnlyOnOk()
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat);
    settings.setValue(QStringLiteral("ErrorLogSettings/LogRegenFault"), QStringLiteral("No"));
    {
        CErrorLogSetupDlg dialog(settings);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Setup Error Log"));
        QCOMPARE(dialog.CheckBox(0)->text(), QStringLiteral("Log Drive Shutown"));
        QVERIFY(!dialog.CheckBox(12)->isChecked());
        QVERIFY(dialog.CheckBox(11)->isChecked());
        dialog.CheckBox(0)->setChecked(false);
        dialog.reject();
    }
    QVERIFY(!settings.contains(QStringLiteral("ErrorLogSettings/LogDriveShutdown")));

    CErrorLogSetupDlg dialog(settings);
    dialog.CheckBox(0)->setChecked(false);
    dialog.CheckBox(12)->setChecked(true);
    dialog.accept();
    settings.beginGroup(QStringLiteral("ErrorLogSettings"));
    QCOMPARE(settings.childKeys().size(), ErrorLogEventCount);
    settings.endGroup();
    QCOMPARE(settings.value(QStringLiteral("ErrorLogSettings/LogDriveShutdown")).toString(),
             QStringLiteral("No"));
    QCOMPARE(settings.value(QStringLiteral("ErrorLogSettings/LogRegenFault")).toString(),
             QStringLiteral("Yes"));
    QCOMPARE(settings.value(QStringLiteral("ErrorLogSettings/LogExcessiveSpeed")).toString(),
             QStringLiteral("Yes"));
}

void TestErrorLog::appendReceived_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("received");
    QTest::addColumn<QString>("after");
    QTest::newRow("backspace inside the text")
        << QString() << QStringLiteral("AB\bC") << QStringLiteral("AC");
    QTest::newRow("leading backspaces erase the box's end")
        << QStringLiteral("hello") << QStringLiteral("\b\bX") << QStringLiteral("helX");
    QTest::newRow("line ends and prompts")
        << QString() << QStringLiteral("1 0:05 E27\r\n\x05") << QStringLiteral("1 0:05 E27\n");
}

void TestErrorLog::appendReceived()
{
    QFETCH(QString, before);
    QFETCH(QString, received);
    QFETCH(QString, after);
    Offline f;
    f.page->Box()->setPlainText(before);
    f.page->AppendReceived(received);
    QCOMPARE(f.page->Box()->toPlainText(), after);
}

void TestErrorLog::everyCommandReopensTheLink_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("waitText");
    QTest::addColumn<int>("pause");
    QTest::newRow("view") << QStringLiteral("viewErrorLogButton") << QStringLiteral("TERRLG\r")
                          << QStringLiteral("Retrieving Orvex error log...") << 3000;
    QTest::newRow("clear") << QStringLiteral("clearErrorLogButton") << QStringLiteral("CERRLG\r")
                           << QStringLiteral("Clearing Orvex error log...") << 3000;
    QTest::newRow("setup") << QStringLiteral("setupErrorLogButton")
                           << QStringLiteral("ERRORL=h3FFF\r")
                           << QStringLiteral("Setting up Orvex error log...") << 1000;
}

void TestErrorLog::everyCommandReopensTheLink()
{
    QFETCH(QString, button);
    QFETCH(QString, command);
    QFETCH(QString, waitText);
    QFETCH(int, pause);
    Offline f;
    f.ui.OnModal = [](QDialog&) { return int(QDialog::Accepted); };
    auto* pressed = f.page->findChild<QPushButton*>(button);
    f.page->Box()->setPlainText(QStringLiteral("old text"));

    QTest::mouseClick(pressed, Qt::LeftButton);
    QVERIFY(f.link);
    QCOMPARE(f.link->Opens, (std::vector<std::pair<int, bool>>{{4, true}}));
    QCOMPARE(f.link->Closes, 0);
    QTest::mouseClick(pressed, Qt::LeftButton);
    QCOMPARE(f.link->Closes, 1);
    QCOMPARE(f.link->Opens.size(), size_t(2));
    QCOMPARE(f.link->Writes, QStringList({command, command}));
    QCOMPARE(f.ui.WaitTexts, QStringList({waitText, waitText}));
    QCOMPARE(f.ui.Pauses, std::vector<int>({pause, pause}));
    QCOMPARE(f.ui.OpenWaitWindows, 0);
    QVERIFY(f.ui.Messages.empty());
    QVERIFY(pressed->isEnabled());

    // What the drive prints comes in through the link's event.
    f.link->Receive(QStringLiteral("No errors logged\r\n\x05"));
    QCOMPARE(f.page->Box()->toPlainText(), QStringLiteral("No errors logged\n"));

    // Leaving the page lets go of the port; the next command opens it again.
    f.page->OnKillActive();
    QVERIFY(!f.link->IsOpen());
    QCOMPARE(f.link->Closes, 2);
}

void TestErrorLog::unopenedPortSendsNothing_data()
{
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("openError");
    QTest::addColumn<QString>("message");
    QTest::newRow("port stays closed") << false << QString() << QStringLiteral("COM port not open");
    QTest::newRow("device refuses") << false << QStringLiteral("Permission denied on COM4.")
                                    << QStringLiteral("Permission denied on COM4.");
}

void TestErrorLog::unopenedPortSendsNothing()
{
    QFETCH(bool, opens);
    QFETCH(QString, openError);
    QFETCH(QString, message);
    Offline f;
    QVERIFY(f.page->SendLogCommand(QStringLiteral("TERRLG\r"))); // makes the link
    f.link->Writes.clear();
    f.link->OpenSucceeds = opens;
    f.link->OpenError = openError;
    f.ui.Messages.clear();
    f.ui.Pauses.clear();

    QTest::mouseClick(f.page->findChild<QPushButton*>(QStringLiteral("viewErrorLogButton")),
                      Qt::LeftButton);
    QVERIFY(f.link->Writes.isEmpty());
    QCOMPARE(f.ui.Messages.size(), size_t(1));
    QCOMPARE(f.ui.Messages[0].Caption, kCommunicationsError);
    QCOMPARE(f.ui.Messages[0].Text, message);
    // Nothing went out, so there is nothing to wait for.
    QVERIFY(f.ui.Pauses.empty());
    QCOMPARE(f.ui.OpenWaitWindows, 0);
}

void TestErrorLog::missingLinkComponentIsReported()
{
    Offline f;
    f.factory.Unregister(QString::fromLatin1(ProgId::LinkPort));
    QVERIFY(!f.page->SendLogCommand(QStringLiteral("TERRLG\r")));
    QCOMPARE(f.ui.Messages.size(), size_t(1));
    QCOMPARE(f.ui.Messages[0].Caption, kCommunicationsError);
    QCOMPARE(f.ui.Messages[0].Text, QStringLiteral("ILinkPort not created"));
    QVERIFY(!f.page->HasLink());
}

void TestErrorLog::activationStopsStatusUpdatesAndEmptiesBox_data()
{
    QTest::addColumn<int>("running");
    QTest::newRow("none running") << 0;
    QTest::newRow("one running") << 1;
    QTest::newRow("both running") << 2;
}

void TestErrorLog::activationStopsStatusUpdatesAndEmptiesBox()
{
    QFETCH(int, running);
    Offline f;
    f.main.RunningStatusPages = running;
    f.page->findChild<QRadioButton*>(QStringLiteral("bitStatusRadio"))->setChecked(true);
    f.page->Box()->setPlainText(QStringLiteral("from last time"));

    f.page->OnSetActive();
    QCOMPARE(f.main.Title, QStringLiteral("Status Panel"));
    QCOMPARE(f.main.StopRequests, 1);
    QCOMPARE(f.ui.Pauses, std::vector<int>(static_cast<size_t>(running), 1000));
    QVERIFY(f.page->Box()->toPlainText().isEmpty());
    QVERIFY(f.page->findChild<QRadioButton*>(QStringLiteral("errorLogRadio"))->isChecked());
}

void TestErrorLog::radiosSwitchPages()
{
    Program p;
    QTest::mouseClick(p.Page().findChild<QRadioButton*>(QStringLiteral("numericStatusRadio")),
                      Qt::LeftButton);
    QCOMPARE(p.window.ActivePageId(), Orvex::PageId::NumericStatusPanel);
    auto* numeric = p.window.Page(Orvex::PageId::NumericStatusPanel);
    QTest::mouseClick(numeric->findChild<QRadioButton*>(QStringLiteral("errorLogRadio")),
                      Qt::LeftButton);
    QCOMPARE(p.window.ActivePageId(), Orvex::PageId::ErrorLog);
    QTest::mouseClick(p.Page().findChild<QRadioButton*>(QStringLiteral("bitStatusRadio")),
                      Qt::LeftButton);
    QCOMPARE(p.window.ActivePageId(), Orvex::PageId::BitStatusPanel);
}

void TestErrorLog::viewShowsWhatTheDrivePrinted()
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
    QVERIFY(!p.Shown().contains(QStringLiteral("stale")));
}

void TestErrorLog::clearEmptiesTheDriveLog()
{
    Program p;
    QVERIFY(p.Drive().LatchFault(29));
    QCOMPARE(p.Drive().ErrorLog().Count(), 4);
    p.Click("clearErrorLogButton");
    QTRY_COMPARE(p.Drive().ErrorLog().Count(), 0);

    p.Click("viewErrorLogButton");
    QTRY_COMPARE(p.Shown(), QStringLiteral("No errors logged\n"));
}

void TestErrorLog::setupSetsTheDriveMask()
{
    Program p;
    p.ui.OnModal = [](QDialog& dialog) {
        auto& setup = dynamic_cast<CErrorLogSetupDlg&>(dialog);
        ErrorLogSelection selection = setup.Selection();
        selection[1] = false; // bridge hardware fault
        setup.SetSelection(selection);
        setup.accept();
        return int(QDialog::Accepted);
    };
    p.Click("setupErrorLogButton");
    QTRY_COMPARE(p.Drive().ErrorLog().Mask(), 0x3FFD);
    QCOMPARE(p.settings.value(QStringLiteral("ErrorLogSettings/LogBridgeHardwareFault")).toString(),
             QStringLiteral("No"));

    // A fault of an unlogged kind leaves no entry; a logged one does.
    const int before = p.Drive().ErrorLog().Count();
    p.Drive().LatchFault(27);
    QCOMPARE(p.Drive().ErrorLog().Count(), before);
    p.Drive().LatchFault(29);
    QCOMPARE(p.Drive().ErrorLog().Count(), before + 1);
}

QTEST_MAIN(TestErrorLog)
#include "tst_errorlog.moc"
