#include "AboutDlg.h"
#include "SimulatedProgram.h"

#include <QAccessible>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTest>

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

using namespace Orvex;

namespace {

std::vector<SerialDeviceInfo> TwoPorts()
{
    return {OrvexTest::ComDevice("COM1", "Communications Port"),
            OrvexTest::ComDevice("COM3", "USB Serial Port")};
}

// One main window over fakes, built the way the application builds it.
struct Fixture : OrvexTest::FakeProgram
{
    // With a simulator, a port built into the program is offered too; the
    // links then fail to open with linkOpenError when one is given.
    explicit Fixture(std::vector<SerialDeviceInfo> present, int rememberedPort = 0,
                     bool simulator = false, const QString& linkOpenError = QString())
    {
        devices.Devices = std::move(present);
        settings.setValue(QStringLiteral("Communications/COM"), rememberedPort);
        if (simulator)
            simulatorPort = ports.AddVirtualPort(QStringLiteral("sim:test"),
                                                 QStringLiteral("Orvex Drive Simulator"));
        // The terminal page makes its link when the window builds it.
        ScriptLinks(linkOpenError);
        OpenWindow();
    }

    QString Text(const char* label) const { return Child<QLabel>(label)->text(); }
    void Click(const char* button) const { Child<QPushButton>(button)->click(); }

    int simulatorPort = 0;
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void menuSwitchesPages();
    void rememberedPortAndAddedPath();
    void unusableDevicesAreLeftOut();
    void testShowsFailureThenSuccess();
    void aboutBox();
    void firstStartOnTheSimulatedDrive();
    void keyboardAndAssistiveTechnologySwitchPages();
};

void TestMainWindow::menuSwitchesPages()
{
    Fixture f(TwoPorts());
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Orvex Support Tool, Version 1.0.0"));
    QCOMPARE(COrvexSupportToolDlg::AboutMenuText(), QStringLiteral("&About Orvex Support Tool..."));
    QCOMPARE(f.window->PageIds(), std::vector<int>({129, 130, 131, 132, 157, 135, 159, 137, 153,
                                                    156, 160, 158, 136, 141}));
    QVERIFY(f.Child("connectionErrorLabel")->isHidden());
    QVERIFY(f.Child("connectionStatusLabel")->isHidden());
    QCOMPARE(f.Child<QRadioButton>("terminalEmulatorButton")->text(),
             QStringLiteral("Terminal Emulator "));
    // The wizard first, then each button's page; the wizard's button last.
    const std::tuple<const char*, int, const char*> menu[] = {
        {"configurationWizardButton", 129, "Configuration Wizard - Step 1 of 5"},
        {"servoTuningButton", 156, "Servo Tuner"},
        {"notchFilterTuningButton", 160, "Notch Filter Tuning"},
        {"miscellaneousTuningButton", 158, "Miscellaneous Tuning"},
        {"statusPanelButton", 159, "Status Panel"},
        {"operatingSystemUpdateButton", 135, "Operating System Update"},
        {"technicalSupportButton", 136, "Technical Support"},
        {"terminalEmulatorButton", 141, "Terminal Emulator"},
        {"configurationWizardButton", 129, "Configuration Wizard - Step 1 of 5"}};
    f.window->show();
    bool initial = true; // the wizard's page shows before any click
    for (const auto& [button, page, title] : menu) {
        if (!std::exchange(initial, false))
            f.Child<QRadioButton>(button)->click();
        QVERIFY2(f.Child<QRadioButton>(button)->isChecked(), button);
        QCOMPARE(f.window->ActivePageId(), page);
        QVERIFY(f.window->Page(page)->isVisible());
        QCOMPARE(f.Child<QGroupBox>("pageFrame")->title(), QString::fromLatin1(title));
    }
}

void TestMainWindow::rememberedPortAndAddedPath()
{
    Fixture f(TwoPorts(), 3);
    QCOMPARE(f.Child<QComboBox>("portList")->currentText(), QStringLiteral("COM3"));
    QCOMPARE(f.window->SelectedPort(), 3);
    QCOMPARE(f.Text("portDescription"), QStringLiteral("USB Serial Port"));
    QCOMPARE(f.Text("portPath"), QStringLiteral("COM3"));
    // A path that is no present device is refused: nothing kept, nothing moved.
    const QString file = f.dir.filePath(QStringLiteral("pts7"));
    QVERIFY(QFile(file).open(QIODevice::WriteOnly));
    f.ui.TextAnswers.push_back(file);
    f.Click("addPortButton");
    QCOMPARE(f.window->SelectedPort(), 3);
    QVERIFY(f.ports.DevicePaths().isEmpty());
    QCOMPARE(OrvexTest::Messages(f.ui),
             QStringList{"Add Port: " + file + " is not a serial device: it is a plain file."});
    f.ui.Messages.clear();
    // "Add Port..." numbers a device and selects it; cancelling changes nothing.
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
    const QString device = QString::fromLocal8Bit(ptsname(master));
    f.ui.TextAnswers.push_back(device);
    f.Click("addPortButton");
    const int number = f.window->SelectedPort();
    QVERIFY(number != 1 && number != 3);
    QCOMPARE(f.Child<QComboBox>("portList")->currentText(), QStringLiteral("COM%1").arg(number));
    QCOMPARE(f.Text("portPath"), device);
    f.Click("addPortButton");
    QCOMPARE(f.window->SelectedPort(), number);
    QVERIFY(f.ui.Messages.empty());
    close(master);
    // On closing, the port the list shows replaces whatever the profile held.
    f.window.reset();
    QCOMPARE(f.settings.value(QStringLiteral("Communications/COM")).toInt(), number);
    // A remembered port that is gone gives way to the first.
    Fixture gone(TwoPorts(), 7);
    QCOMPARE(gone.Child<QComboBox>("portList")->currentText(), QStringLiteral("COM1"));
    QCOMPARE(gone.window->SelectedPort(), 1);
}

void TestMainWindow::unusableDevicesAreLeftOut()
{
    // The maker's other controller family, and a name without a number.
    Fixture f({OrvexTest::ComDevice("COM4", "Tamsel Dulcomb KQV Device"),
               OrvexTest::ComDevice("COM:", "Broken")},
              4);
    QCOMPARE(f.Child<QComboBox>("portList")->count(), 0);
    QVERIFY(!f.Child("noPortsLabel")->isHidden());
    QVERIFY(!f.Child("testButton")->isEnabled());
    QVERIFY(!f.Child("portList")->isEnabled());
    QCOMPARE(f.window->SelectedPort(), 4); // left as it was
    // "Find Ports" picks up what was plugged in since.
    f.devices.Devices = TwoPorts();
    f.Click("findPortsButton");
    QCOMPARE(f.Child<QComboBox>("portList")->count(), 2);
    QVERIFY(f.Child("noPortsLabel")->isHidden());
    QVERIFY(f.Child("testButton")->isEnabled());
    QVERIFY(f.Child("portList")->isEnabled());
    QCOMPARE(f.window->SelectedPort(), 1);
    // Closed on an empty list, the window remembers no port.
    Fixture closed({}, 3);
    closed.window.reset();
    QCOMPARE(closed.settings.value(QStringLiteral("Communications/COM")).toInt(), 0);
}

void TestMainWindow::testShowsFailureThenSuccess()
{
    Fixture f(TwoPorts(), 3);
    // The gate's own tests pin every code's text; here the window's labels show them.
    const std::pair<int, const char*> failures[] = {{2, "Unable to open COM port"},
                                                    {-2, "Unexpected error"}};
    for (const auto& [answer, status] : failures) {
        f.config.TestAnswer = answer;
        f.Click("testButton");
        QVERIFY(!f.Child("connectionErrorLabel")->isHidden());
        QVERIFY(!f.Child("connectionStatusLabel")->isHidden());
        QCOMPARE(f.Text("connectionStatusLabel"), QStringLiteral("Status: %1").arg(status));
    }
    QCOMPARE(f.Text("connectionErrorLabel"), QStringLiteral("CONNECTION ERROR"));
    QCOMPARE(f.config.PortNumbers, std::vector<int>(std::size(failures), 3));
    QVERIFY(f.ui.Messages.empty());
    // Success is told in a box, then the labels go.
    f.config.TestAnswer = -1;
    f.ui.OnMessage = [&](const auto&) { QVERIFY(!f.Child("connectionErrorLabel")->isHidden()); };
    f.Click("testButton");
    QVERIFY(f.Child("connectionErrorLabel")->isHidden());
    QVERIFY(f.Child("connectionStatusLabel")->isHidden());
    // A failing drive object is told under the same caption.
    f.ui.OnMessage = nullptr;
    f.config.TestError = QStringLiteral("The port is gone.");
    f.Click("testButton");
    QCOMPARE(OrvexTest::Messages(f.ui),
             (QStringList{"Communications Status: Successfully communicated with Orvex drive",
                          "Communications Status: The port is gone."}));
}

void TestMainWindow::aboutBox()
{
    Fixture f(TwoPorts());
    f.config.VersionText = QStringLiteral("3.2.1");
    QStringList lines;
    f.ui.OnModal = [&](QDialog& dialog) {
        const auto* about = qobject_cast<CAboutDlg*>(&dialog);
        lines << about->ProductVersionLine() << about->BridgeVersionLine()
              << about->LinkVersionLine()
              << dialog.findChild<QLabel*>(QStringLiteral("linkVersion"))->text();
        return int(QDialog::Accepted);
    };
    f.window->ShowAboutBox();
    QCOMPARE(lines,
             QStringList({"Product Version 1.0.0.0001\r\n", "OrvexBridge.dll, Version 3.2.1\r\n",
                          "ComHost2.exe, Version 2.0.0\r\n", "ComHost2.exe, Version 2.0.0"}));
    QVERIFY(f.ui.Messages.empty());
    // Without the link component the box still shows, after saying why.
    f.factory.Unregister(QString::fromLatin1(ProgId::LinkPort));
    lines.clear();
    f.window->ShowAboutBox();
    QCOMPARE(lines.size(), 4);
    QCOMPARE(OrvexTest::Messages(f.ui),
             QStringList{
                 "Orvex Support Tool: ComHost2.LinkPort is not installed (class not registered)."});
}

void TestMainWindow::firstStartOnTheSimulatedDrive()
{
    // With no port remembered the simulated drive is selected, and a link
    // that cannot open at start-up is told under the port list, not in a box.
    Fixture f(TwoPorts(), 0, true, QStringLiteral("Unable to open COM9: busy"));
    QCOMPARE(f.window->SelectedPort(), f.simulatorPort);
    auto* list = f.Child<QComboBox>("portList");
    QCOMPARE(list->currentText(), QStringLiteral("COM%1").arg(f.simulatorPort));
    // The open list shows each port's description beside its number.
    const auto* model = static_cast<QStandardItemModel*>(list->model());
    QCOMPARE(model->item(2, 0)->text() + ' ' + model->item(2, 1)->text(),
             QStringLiteral("COM3 USB Serial Port"));
    QVERIFY(f.ui.Messages.empty());
    QVERIFY(!f.Child("portProblem")->isHidden());
    QCOMPARE(f.Text("portProblem"), QStringLiteral("Unable to open COM9: busy"));
    // A remembered port is still honoured.
    Fixture remembered(TwoPorts(), 3, true);
    QCOMPARE(remembered.window->SelectedPort(), 3);
    // Another port makes a red error about the old one go.
    remembered.config.TestAnswer = 3;
    remembered.Click("testButton");
    QVERIFY(!remembered.Child("connectionErrorLabel")->isHidden());
    auto* ports = remembered.Child<QComboBox>("portList");
    ports->setCurrentIndex(ports->findText(QStringLiteral("COM1")));
    Q_EMIT ports->activated(ports->currentIndex());
    QCOMPARE(remembered.window->SelectedPort(), 1);
    QVERIFY(remembered.Child("connectionErrorLabel")->isHidden());
    // The window has its icon, and cannot be made so small it clips pages.
    QVERIFY(!f.window->windowIcon().isNull());
    QVERIFY(f.window->minimumWidth() >= 800 && f.window->minimumHeight() >= 560);
}

void TestMainWindow::keyboardAndAssistiveTechnologySwitchPages()
{
    Fixture f(TwoPorts());
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    // An assistive technology toggles the radio without a click.
    auto* status = f.Child<QRadioButton>("statusPanelButton");
    QAccessible::queryAccessibleInterface(status)->actionInterface()->doAction(
        QAccessibleActionInterface::toggleAction());
    QCOMPARE(f.window->ActivePageId(), 159);
    // So do the "Select Status" radios of the status pages.
    auto* numeric =
        f.window->Page(159)->findChild<QRadioButton*>(QStringLiteral("numericStatusRadio"));
    QAccessible::queryAccessibleInterface(numeric)->actionInterface()->doAction(
        QAccessibleActionInterface::toggleAction());
    QCOMPARE(f.window->ActivePageId(), 137);
    // The keyboard moves along the menu and the page follows.
    status->setFocus();
    QTest::keyClick(status, Qt::Key_Down);
    QTRY_COMPARE(f.window->ActivePageId(), 135);
    QVERIFY(f.Child<QRadioButton>("operatingSystemUpdateButton")->isChecked());
    // Enter and Escape inside a page do nothing.
    QTest::keyClick(f.window->ActivePage(), Qt::Key_Return);
    QTest::keyClick(f.window->ActivePage(), Qt::Key_Escape);
    QVERIFY(f.window->isVisible());
    // Enter on the window does nothing; Escape ends it.
    QTest::keyClick(f.window.get(), Qt::Key_Enter);
    QVERIFY(f.window->isVisible());
    QTest::keyClick(f.window.get(), Qt::Key_Escape);
    QVERIFY(!f.window->isVisible());
    QCOMPARE(f.window->result(), int(QDialog::Rejected));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
