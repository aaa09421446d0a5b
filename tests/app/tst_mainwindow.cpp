#include "AboutDlg.h"
#include "AppContext.h"
#include "ComponentFactory.h"
#include "FakeConfig.h"
#include "FakeUiServices.h"
#include "LinkPort.h"
#include "OrvexSupportToolDlg.h"
#include "ParameterLimits.h"
#include "PortRegistry.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace Orvex;

namespace {

class ListedDevices final : public ISerialDeviceSource
{
public:
    std::vector<SerialDeviceInfo> PresentDevices() const override { return Devices; }
    std::vector<SerialDeviceInfo> Devices;
};

SerialDeviceInfo ComDevice(const QString& name, const QString& description)
{
    SerialDeviceInfo info;
    info.PortName = name;
    info.SystemLocation = name;
    info.Description = description;
    return info;
}

class FixedLink final : public ILinkPort
{
public:
    QString Version() const override { return QStringLiteral("2.1.0"); }
    bool IsOpen() const override { return false; }
    void Open(int, bool) override {}
    void Close() override {}
    QString Read() override { return QString(); }
    void Write(const QString&) override {}
};

// One main window over fakes, built the way the application builds it.
struct Fixture
{
    explicit Fixture(std::vector<SerialDeviceInfo> devices, int rememberedPort = 0)
        : settings(dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat)
    {
        source.Devices = std::move(devices);
        settings.setValue(QStringLiteral("Communications/COM"), rememberedPort);
        ports = std::make_unique<PortRegistry>(source, settings);
        // The terminal page makes its link when the window builds it.
        factory.Register(QString::fromLatin1(ProgId::LinkPort),
                         [] { return std::make_unique<FixedLink>(); });
        context = std::make_unique<AppContext>(
            AppContext{factory, ui, settings, config, nullptr, nullptr, limits, false, QString()});
        window = std::make_unique<COrvexSupportToolDlg>(*context, *ports, nullptr);
        window->OnInitDialog();
    }

    template <class T> T* Child(const char* name) const
    {
        return window->findChild<T*>(QString::fromLatin1(name));
    }

    QTemporaryDir dir;
    QSettings settings;
    ListedDevices source;
    std::unique_ptr<PortRegistry> ports;
    ComponentFactory factory;
    OrvexTest::FakeUiServices ui;
    OrvexTest::FakeConfig config;
    ParameterLimits limits;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<COrvexSupportToolDlg> window;
};

std::vector<SerialDeviceInfo> TwoPorts()
{
    return {ComDevice(QStringLiteral("COM1"), QStringLiteral("Communications Port")),
            ComDevice(QStringLiteral("COM3"), QStringLiteral("USB Serial Port"))};
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initialisation();
    void menuSwitchesPages_data();
    void menuSwitchesPages();
    void rememberedPortIsSelected();
    void missingRememberedPortFallsBackToFirst();
    void excludedDeviceLeavesNoPorts();
    void testConnectionAnswers_data();
    void testConnectionAnswers();
    void testConnectionComponentError();
    void destructionRemembersListedPort_data();
    void destructionRemembersListedPort();
    void aboutBoxShowsVersions();
    void aboutBoxReportsMissingLink();
    void enterAndEscape();
    void findPortsPicksUpNewDevices();
    void addedDevicePathBecomesSelectedPort();
};

void TestMainWindow::initialisation()
{
    Fixture f(TwoPorts());
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Orvex Support Tool, Version 1.0.0"));
    const std::vector<int> order{129, 130, 131, 132, 157, 135, 159,
                                 137, 153, 156, 160, 158, 136, 141};
    QCOMPARE(f.window->PageIds(), order);
    QCOMPARE(f.window->ActivePageId(), 129);
    QCOMPARE(f.Child<QGroupBox>("pageFrame")->title(),
             QStringLiteral("Configuration Wizard - Step 1 of 5"));
    QVERIFY(f.Child<QRadioButton>("configurationWizardButton")->isChecked());
    QVERIFY(f.Child<QLabel>("connectionErrorLabel")->isHidden());
    QVERIFY(f.Child<QLabel>("connectionStatusLabel")->isHidden());
    QCOMPARE(f.Child<QRadioButton>("terminalEmulatorButton")->text(),
             QStringLiteral("Terminal Emulator "));
    QCOMPARE(COrvexSupportToolDlg::AboutMenuText(), QStringLiteral("&About Orvex Support Tool..."));
}

void TestMainWindow::menuSwitchesPages_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("title");
    QTest::newRow("servo") << "servoTuningButton" << 156 << "Servo Tuner";
    QTest::newRow("notch") << "notchFilterTuningButton" << 160 << "Notch Filter Tuning";
    QTest::newRow("misc") << "miscellaneousTuningButton" << 158 << "Miscellaneous Tuning";
    QTest::newRow("status") << "statusPanelButton" << 159 << "Status Panel";
    QTest::newRow("os") << "operatingSystemUpdateButton" << 135 << "Operating System Update";
    QTest::newRow("support") << "technicalSupportButton" << 136 << "Technical Support";
    QTest::newRow("terminal") << "terminalEmulatorButton" << 141 << "Terminal Emulator";
    QTest::newRow("wizard") << "configurationWizardButton" << 129
                            << "Configuration Wizard - Step 1 of 5";
}

void TestMainWindow::menuSwitchesPages()
{
    QFETCH(QString, button);
    QFETCH(int, page);
    QFETCH(QString, title);
    Fixture f(TwoPorts());
    f.window->show();
    if (page == 129)
        f.window->SetPage(141);
    f.window->findChild<QRadioButton*>(button)->click();
    QCOMPARE(f.window->ActivePageId(), page);
    QVERIFY(f.window->Page(page)->isVisible());
    QCOMPARE(f.Child<QGroupBox>("pageFrame")->title(), title);
}

void TestMainWindow::rememberedPortIsSelected()
{
    Fixture f(TwoPorts(), 3);
    QCOMPARE(f.Child<QComboBox>("portList")->currentText(), QStringLiteral("COM3"));
    QCOMPARE(f.window->SelectedPort(), 3);
    QCOMPARE(f.Child<QLabel>("portDescription")->text(), QStringLiteral("USB Serial Port"));
    QCOMPARE(f.Child<QLabel>("portPath")->text(), QStringLiteral("COM3"));
}

void TestMainWindow::missingRememberedPortFallsBackToFirst()
{
    Fixture f(TwoPorts(), 7);
    QCOMPARE(f.Child<QComboBox>("portList")->currentText(), QStringLiteral("COM1"));
    QCOMPARE(f.window->SelectedPort(), 1);
}

void TestMainWindow::excludedDeviceLeavesNoPorts()
{
    Fixture f({ComDevice(QStringLiteral("COM4"), QStringLiteral("Tamsel Dulcomb KQV Device")),
               ComDevice(QStringLiteral("COM:"), QStringLiteral("Broken name"))},
              4);
    QCOMPARE(f.Child<QComboBox>("portList")->count(), 0);
    QVERIFY(!f.Child<QLabel>("noPortsLabel")->isHidden());
    QVERIFY(!f.Child<QPushButton>("testButton")->isEnabled());
    QVERIFY(!f.Child<QComboBox>("portList")->isEnabled());
    QCOMPARE(f.window->SelectedPort(), 4); // left as it was
}

void TestMainWindow::testConnectionAnswers_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("status");
    QTest::newRow("1") << 1 << "Invalid COM port number";
    QTest::newRow("2") << 2 << "Unable to open COM port";
    QTest::newRow("3") << 3 << "No response from Orvex drive";
    QTest::newRow("4") << 4 << "Incorrect response from Orvex drive";
    QTest::newRow("5") << 5 << "OS needs to be downloaded";
    QTest::newRow("6") << 6 << "Cycle power and download OS";
    QTest::newRow("0") << 0 << "Unexpected error";
    QTest::newRow("99") << 99 << "Unexpected error";
    QTest::newRow("-2") << -2 << "Unexpected error";
}

void TestMainWindow::testConnectionAnswers()
{
    QFETCH(int, answer);
    QFETCH(QString, status);
    Fixture f(TwoPorts(), 3);
    f.config.TestAnswer = answer;
    f.Child<QPushButton>("testButton")->click();
    QCOMPARE(f.config.PortNumbers, std::vector<int>{3});
    QCOMPARE(f.ui.WaitTexts, QStringList{QStringLiteral("Testing Orvex connection...")});
    QCOMPARE(f.ui.OpenWaitWindows, 0);
    QVERIFY(f.ui.Messages.empty());
    QVERIFY(!f.Child<QLabel>("connectionErrorLabel")->isHidden());
    QCOMPARE(f.Child<QLabel>("connectionErrorLabel")->text(), QStringLiteral("CONNECTION ERROR"));
    QCOMPARE(f.Child<QLabel>("connectionStatusLabel")->text(), QStringLiteral("Status: ") + status);

    // A good answer afterwards says so and hides the labels again.
    f.config.TestAnswer = -1;
    f.Child<QPushButton>("testButton")->click();
    QCOMPARE(f.ui.Messages.size(), size_t(1));
    QCOMPARE(f.ui.Messages[0].Caption, QStringLiteral("Communications Status"));
    QCOMPARE(f.ui.Messages[0].Text, QStringLiteral("Successfully communicated with Orvex drive"));
    QVERIFY(f.Child<QLabel>("connectionErrorLabel")->isHidden());
    QVERIFY(f.Child<QLabel>("connectionStatusLabel")->isHidden());
}

void TestMainWindow::testConnectionComponentError()
{
    Fixture f(TwoPorts(), 1);
    f.config.TestError = QStringLiteral("The port is gone.");
    f.Child<QPushButton>("testButton")->click();
    QCOMPARE(f.ui.Messages.size(), size_t(1));
    QCOMPARE(f.ui.Messages[0].Caption, QStringLiteral("Communications Status"));
    QCOMPARE(f.ui.Messages[0].Text, QStringLiteral("The port is gone."));
    QCOMPARE(f.ui.OpenWaitWindows, 0);
}

void TestMainWindow::destructionRemembersListedPort_data()
{
    QTest::addColumn<bool>("withPorts");
    QTest::addColumn<int>("expected");
    QTest::newRow("listed port") << true << 3;
    QTest::newRow("empty list") << false << 0;
}

void TestMainWindow::destructionRemembersListedPort()
{
    QFETCH(bool, withPorts);
    QFETCH(int, expected);
    Fixture f(withPorts ? TwoPorts() : std::vector<SerialDeviceInfo>{}, 3);
    f.settings.setValue(QStringLiteral("Communications/COM"), 12);
    f.window.reset();
    QCOMPARE(f.settings.value(QStringLiteral("Communications/COM")).toInt(), expected);
}

void TestMainWindow::aboutBoxShowsVersions()
{
    Fixture f(TwoPorts());
    f.factory.Register(QStringLiteral("ComHost2.LinkPort"),
                       [] { return std::make_unique<FixedLink>(); });
    f.config.VersionText = QStringLiteral("3.2.1");
    QStringList lines;
    QString shownLink;
    f.ui.OnModal = [&](QDialog& dialog) {
        const auto* about = qobject_cast<CAboutDlg*>(&dialog);
        lines << about->ProductVersionLine() << about->BridgeVersionLine()
              << about->LinkVersionLine();
        shownLink = dialog.findChild<QLabel*>(QStringLiteral("linkVersion"))->text();
        return int(QDialog::Accepted);
    };
    f.window->ShowAboutBox();
    QCOMPARE(lines,
             QStringList({"Product Version 1.0.0.0001\r\n", "OrvexBridge.dll, Version 3.2.1\r\n",
                          "ComHost2.exe, Version 2.1.0\r\n"}));
    QCOMPARE(shownLink, QStringLiteral("ComHost2.exe, Version 2.1.0"));
    QVERIFY(f.ui.Messages.empty());
}

void TestMainWindow::aboutBoxReportsMissingLink()
{
    Fixture f(TwoPorts());
    f.factory.Unregister(QString::fromLatin1(ProgId::LinkPort));
    bool shown = false;
    f.ui.OnModal = [&](QDialog&) {
        shown = true;
        return int(QDialog::Accepted);
    };
    f.window->ShowAboutBox();
    QVERIFY(shown);
    QCOMPARE(f.ui.Messages.size(), size_t(1));
    QCOMPARE(f.ui.Messages[0].Text,
             QStringLiteral("ComHost2.LinkPort is not installed (class not registered)."));
}

void TestMainWindow::enterAndEscape()
{
    Fixture f(TwoPorts());
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
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

void TestMainWindow::findPortsPicksUpNewDevices()
{
    Fixture f({});
    QVERIFY(!f.Child<QLabel>("noPortsLabel")->isHidden());
    f.source.Devices = TwoPorts();
    f.Child<QPushButton>("findPortsButton")->click();
    QCOMPARE(f.Child<QComboBox>("portList")->count(), 2);
    QVERIFY(f.Child<QLabel>("noPortsLabel")->isHidden());
    QVERIFY(f.Child<QPushButton>("testButton")->isEnabled());
    QCOMPARE(f.window->SelectedPort(), 1);
}

void TestMainWindow::addedDevicePathBecomesSelectedPort()
{
    Fixture f(TwoPorts(), 3);
    const QString device = f.dir.filePath(QStringLiteral("pts7"));
    QFile file(device);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    f.ui.TextAnswers.push_back(device);
    f.Child<QPushButton>("addPortButton")->click();
    const int number = f.window->SelectedPort();
    QVERIFY(number != 1 && number != 3);
    QCOMPARE(f.Child<QComboBox>("portList")->currentText(), QStringLiteral("COM%1").arg(number));
    QCOMPARE(f.Child<QLabel>("portPath")->text(), device);
    QVERIFY(f.ui.Messages.empty());

    // Cancelling the question changes nothing.
    f.Child<QPushButton>("addPortButton")->click();
    QCOMPARE(f.window->SelectedPort(), number);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
