#include "AppContext.h"
#include "ComponentError.h"
#include "ComponentFactory.h"
#include "FakeConfig.h"
#include "FakeUiServices.h"
#include "LinkPort.h"
#include "OrvexConfig.h"
#include "PageIds.h"
#include "ParameterLimits.h"
#include "PortRegistry.h"
#include "ScriptedLink.h"
#include "SimulatedDrive.h"
#include "SimulatedProgram.h"
#include "TermEdit.h"
#include "TerminalEmulatorDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace Orvex;

namespace {

constexpr int kTerminalPage = Orvex::PageId::TerminalEmulator;

// The program as it is built, on the simulated drive; prepare edits the
// profile before anything reads it.
struct Program : OrvexTest::SimulatedProgram
{
    explicit Program(const std::function<void(QSettings&)>& prepare = {})
        : SimulatedProgram(QStringLiteral(ORVEX_TEST_DATA_DIR), prepare),
          window(context, ports, nullptr)
    {
        window.OnInitDialog();
    }

    CTerminalEmulatorDlg* Terminal() const
    {
        return dynamic_cast<CTerminalEmulatorDlg*>(window.Page(kTerminalPage));
    }
    CTermEdit* Box() const { return Terminal()->TextBox(); }
    QString Shown() const { return Box()->toPlainText(); }
    QPushButton* Button(const QString& name) const
    {
        return Terminal()->findChild<QPushButton*>(name);
    }
    // Shows the page and waits for the drive's prompt.
    void Activate()
    {
        window.SetPage(kTerminalPage);
        QTRY_VERIFY(Shown().endsWith(QLatin1Char('>')));
    }

    COrvexSupportToolDlg window;
};

// Types keys into the box; '\b' stands for the backspace key.
void Type(QWidget* box, const QString& keys)
{
    for (QChar c : keys) {
        if (c == QLatin1Char('\b'))
            QTest::keyClick(box, Qt::Key_Backspace);
        else if (c.unicode() < 128)
            QTest::keyClicks(box, QString(c));
        else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(box, &press);
        }
    }
}

// A drive answer for P016 followed by the prompt (a line end alone adds one more).
const QRegularExpression kP016Answer(QStringLiteral("P016=[^\\n]+\\n>+$"));

int Count(const QString& text, const QString& what)
{
    return static_cast<int>(text.count(what));
}

using OrvexTest::ScriptedLink;

class ListedDevices final : public ISerialDeviceSource
{
public:
    std::vector<SerialDeviceInfo> PresentDevices() const override
    {
        std::vector<SerialDeviceInfo> devices;
        for (const char* name : {"COM1", "COM3"}) {
            SerialDeviceInfo info;
            info.PortName = QString::fromLatin1(name);
            info.SystemLocation = info.PortName;
            info.Description = QStringLiteral("Communications Port");
            devices.push_back(info);
        }
        return devices;
    }
};

// The main window over fakes, two ports COM1 and COM3, with a scripted link
// or none at all.
struct Offline
{
    explicit Offline(bool withLink)
        : settings(dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat),
          ports(devices, settings), context{factory, ui,      settings,
                                            config,  nullptr, nullptr,
                                            limits,  false,   QStringLiteral(ORVEX_TEST_DATA_DIR)}
    {
        if (withLink) {
            factory.Register(QString::fromLatin1(ProgId::LinkPort), [this] {
                auto made = std::make_unique<ScriptedLink>();
                link = made.get();
                return made;
            });
        }
        window = std::make_unique<COrvexSupportToolDlg>(context, ports, nullptr);
        window->OnInitDialog();
    }

    CTerminalEmulatorDlg* Terminal() const
    {
        return dynamic_cast<CTerminalEmulatorDlg*>(window->Page(kTerminalPage));
    }

    QTemporaryDir dir;
    QSettings settings;
    ListedDevices devices;
    PortRegistry ports;
    ComponentFactory factory;
    OrvexTest::FakeUiServices ui;
    OrvexTest::FakeConfig config;
    ParameterLimits limits;
    AppContext context;
    ScriptedLink* link = nullptr;
    std::unique_ptr<COrvexSupportToolDlg> window;
};

QString WriteFile(const QTemporaryDir& dir, const QByteArray& bytes)
{
    const QString path = dir.filePath(QStringLiteral("commands.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

} // namespace

// The terminal page, typed into and clicked, against the simulated drive.
class TestTerminal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void activationSendsCarriageReturnAndShowsPrompt();
    void typedLineIsSent_data();
    void typedLineIsSent();
    void portZeroIsRefused();
    void userButtonSendsItsCommand_data();
    void userButtonSendsItsCommand();
    void editedButtonsAreKept();
    void commandBrowserSendsItsCommand();
    void downloadSendsEveryLine_data();
    void downloadSendsEveryLine();
    void downloadOfMissingFile();
    void downloadStopsWhenTheLinkIsLost();
    void clearDisplayLeavesThePrompt();
    void promptFollowsReceivedText_data();
    void promptFollowsReceivedText();
    void portChangeReopensTheLink();
    void pageWithoutLinkSaysSo();
};

void TestTerminal::activationSendsCarriageReturnAndShowsPrompt()
{
    Program p;
    const int before = p.components.Drive()->CommandsReceived();
    p.Activate();
    QCOMPARE(p.Shown(), QStringLiteral(">"));
    QCOMPARE(p.components.Drive()->CommandsReceived(), before + 1);
    QCOMPARE(p.window.findChild<QGroupBox*>(QStringLiteral("pageFrame"))->title(),
             QStringLiteral("Terminal Emulator"));
    QVERIFY(p.ui.Messages.empty());
}

void TestTerminal::typedLineIsSent_data()
{
    QTest::addColumn<QString>("keys");
    QTest::newRow("plain") << "P016";
    QTest::newRow("corrected") << "P01X\b6";
    QTest::newRow("corrected twice") << "PX\b\b\bP016";
    QTest::newRow("not printable is swallowed") << QStringLiteral("P0\u00e916");
}

void TestTerminal::typedLineIsSent()
{
    QFETCH(QString, keys);
    Program p;
    p.Activate();
    Type(p.Box(), keys);
    QCOMPARE(p.Box()->Line(), QStringLiteral("P016"));
    QCOMPARE(p.Shown(), QStringLiteral(">P016"));
    QTest::keyClick(p.Box(), Qt::Key_Return);
    QVERIFY(p.Box()->Line().isEmpty());
    QTRY_VERIFY(kP016Answer.match(p.Shown()).hasMatch());
    QVERIFY2(p.Shown().startsWith(QStringLiteral(">P016\nP016=")), qPrintable(p.Shown()));
    QVERIFY(p.ui.Messages.empty());
}

void TestTerminal::portZeroIsRefused()
{
    Program p([](QSettings& s) { s.setValue(QStringLiteral("Communications/Simulator"), false); });
    QCOMPARE(p.window.SelectedPort(), 0);
    p.window.SetPage(kTerminalPage);
    QCOMPARE(p.ui.Messages.size(), size_t(1));
    QCOMPARE(p.ui.Messages[0].Caption, QStringLiteral("Communications Status"));
    QCOMPARE(p.ui.Messages[0].Text, QStringLiteral("Invalid COM port number"));
    // Typed lines cannot go anywhere either.
    Type(p.Box(), QStringLiteral("P016"));
    QTest::keyClick(p.Box(), Qt::Key_Return);
    QCOMPARE(p.ui.Messages.size(), size_t(2));
    QCOMPARE(p.ui.Messages[1].Caption, QStringLiteral("Communications Error"));
    QCOMPARE(p.ui.Messages[1].Text, QStringLiteral("COM port not open"));
}

void TestTerminal::userButtonSendsItsCommand_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("command");
    QTest::newRow("first") << 1 << "Read P16"
                           << "P016";
    QTest::newRow("last") << 12 << "Twelve"
                          << "P016";
    QTest::newRow("empty command still sends") << 5 << "User Button 5"
                                               << "";
}

void TestTerminal::userButtonSendsItsCommand()
{
    QFETCH(int, number);
    QFETCH(QString, label);
    QFETCH(QString, command);
    Program p([&](QSettings& s) {
        s.setValue(QStringLiteral("UserButtons/Label%1").arg(number), label);
        s.setValue(QStringLiteral("UserButtons/Command%1").arg(number), command);
    });
    p.Activate();
    QPushButton* button = p.Button(QStringLiteral("userButton%1").arg(number));
    QCOMPARE(button->text(), label);
    const int before = p.components.Drive()->CommandsReceived();
    button->click();
    QTRY_COMPARE(p.components.Drive()->CommandsReceived(), before + 1);
    if (command.isEmpty())
        QTRY_VERIFY(p.Shown().endsWith(QStringLiteral(">>")));
    else
        QTRY_VERIFY(kP016Answer.match(p.Shown()).hasMatch());
    QVERIFY(p.ui.Messages.empty());
}

void TestTerminal::editedButtonsAreKept()
{
    Program p;
    p.ui.OnModal = [](QDialog& dialog) {
        auto* label = dialog.findChild<QLineEdit*>(QStringLiteral("buttonLabel"));
        auto* command = dialog.findChild<QLineEdit*>(QStringLiteral("buttonCommand"));
        label->selectAll();
        QTest::keyClicks(label, QStringLiteral("Velocity"));
        command->selectAll();
        QTest::keyClicks(command, QStringLiteral("P016"));
        return int(QDialog::Accepted);
    };
    p.Button(QStringLiteral("editUserButtonsButton"))->click();
    QCOMPARE(p.Button(QStringLiteral("userButton1"))->text(), QStringLiteral("Velocity"));
    QCOMPARE(p.Terminal()->UserButtons()[0].Command, QStringLiteral("P016"));

    // Cancel changes nothing.
    p.ui.OnModal = [](QDialog& dialog) {
        auto* label = dialog.findChild<QLineEdit*>(QStringLiteral("buttonLabel"));
        label->selectAll();
        QTest::keyClicks(label, QStringLiteral("Other"));
        return int(QDialog::Rejected);
    };
    p.Button(QStringLiteral("editUserButtonsButton"))->click();
    QCOMPARE(p.Button(QStringLiteral("userButton1"))->text(), QStringLiteral("Velocity"));

    // The page going away keeps them for the next run.
    p.Terminal()->OnDestroyPage();
    QCOMPARE(p.settings.value(QStringLiteral("UserButtons/Label1")).toString(),
             QStringLiteral("Velocity"));
    QCOMPARE(p.settings.value(QStringLiteral("UserButtons/Command1")).toString(),
             QStringLiteral("P016"));
    QCOMPARE(p.settings.value(QStringLiteral("UserButtons/Label2")).toString(),
             QStringLiteral("User Button 2"));
}

void TestTerminal::commandBrowserSendsItsCommand()
{
    Program p;
    p.Activate();
    bool ran = false;
    p.ui.OnModal = [&](QDialog& dialog) {
        ran = true;
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("commandEdit"));
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("P016"));
        return int(QDialog::Accepted);
    };
    p.Button(QStringLiteral("orvexCommandsButton"))->click();
    QVERIFY(ran);
    QTRY_VERIFY(kP016Answer.match(p.Shown()).hasMatch());
    QVERIFY(p.ui.Messages.empty());

    // Cancel sends nothing.
    const int before = p.components.Drive()->CommandsReceived();
    p.ui.OnModal = [](QDialog&) { return int(QDialog::Rejected); };
    p.Button(QStringLiteral("orvexCommandsButton"))->click();
    QCOMPARE(p.components.Drive()->CommandsReceived(), before);
}

void TestTerminal::downloadSendsEveryLine_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("answers");
    QTest::newRow("last line without line end") << QByteArray("P016\r\nP016") << 2 << 2;
    QTest::newRow("line feeds only") << QByteArray("P016\nP016\n") << 2 << 2;
    QTest::newRow("empty line sends a carriage return") << QByteArray("P016\n\nP016") << 3 << 2;
    QTest::newRow("one line") << QByteArray("P016") << 1 << 1;
    QTest::newRow("empty file") << QByteArray() << 0 << 0;
}

void TestTerminal::downloadSendsEveryLine()
{
    QFETCH(QByteArray, file);
    QFETCH(int, lines);
    QFETCH(int, answers);
    Program p;
    p.Activate();
    p.ui.FileAnswers.push_back(WriteFile(p.dir, file));
    const int before = p.components.Drive()->CommandsReceived();
    p.Button(QStringLiteral("downloadTextFileButton"))->click();
    QCOMPARE(p.ui.FileRequests.size(), size_t(1));
    QCOMPARE(p.ui.FileRequests[0].Filter, QStringLiteral("All Files(*.*)|*.*||"));
    QCOMPARE(p.ui.Pauses, std::vector<int>(size_t(lines), 100));
    QTRY_COMPARE(p.components.Drive()->CommandsReceived(), before + lines);
    QTRY_COMPARE(Count(p.Shown(), QStringLiteral("P016=")), answers);
    QTRY_VERIFY(p.Shown().endsWith(QLatin1Char('>')));
    QVERIFY(p.ui.Messages.empty());
    QVERIFY(p.Button(QStringLiteral("downloadTextFileButton"))->isEnabled());
}

void TestTerminal::downloadOfMissingFile()
{
    Program p;
    p.Activate();
    p.ui.FileAnswers.push_back(p.dir.filePath(QStringLiteral("missing.txt")));
    const int before = p.components.Drive()->CommandsReceived();
    p.Button(QStringLiteral("downloadTextFileButton"))->click();
    QCOMPARE(p.ui.Messages.size(), size_t(1));
    QCOMPARE(p.ui.Messages[0].Caption, QStringLiteral("Download File"));
    QCOMPARE(p.ui.Messages[0].Text, QStringLiteral("Unable to open file"));
    QVERIFY(p.ui.Pauses.empty());
    QCOMPARE(p.components.Drive()->CommandsReceived(), before);
}

void TestTerminal::downloadStopsWhenTheLinkIsLost()
{
    Offline f(true);
    f.window->SetPage(kTerminalPage);
    f.link->Writes.clear();
    f.link->LoseAfterWrites = 2;
    f.ui.FileAnswers.push_back(WriteFile(f.dir, "A\nB\nC\nD\nE\n"));
    f.Terminal()->DownloadTextFile();
    QCOMPARE(f.link->Writes, QStringList({"A\r", "B\r"}));
    QCOMPARE(f.ui.Pauses.size(), size_t(2));
    QCOMPARE(f.ui.Messages.size(), size_t(1));
    QCOMPARE(f.ui.Messages[0].Caption, QStringLiteral("Communications Error"));
    QCOMPARE(f.ui.Messages[0].Text, QStringLiteral("COM port not open"));
}

void TestTerminal::clearDisplayLeavesThePrompt()
{
    Program p;
    p.Activate();
    Type(p.Box(), QStringLiteral("P016"));
    QTest::keyClick(p.Box(), Qt::Key_Return);
    QTRY_VERIFY(kP016Answer.match(p.Shown()).hasMatch());
    p.Button(QStringLiteral("clearDisplayButton"))->click();
    QCOMPARE(p.Shown(), QStringLiteral(">"));
}

void TestTerminal::promptFollowsReceivedText_data()
{
    QTest::addColumn<QString>("received");
    QTest::addColumn<QString>("shown");
    QTest::newRow("answer and prompt byte") << "P016=1\r\n\x05"
                                            << "P016=1\n>";
    QTest::newRow("prompt byte inside") << "a\x05"
                                           "b"
                                        << "ab>";
    QTest::newRow("bare line end") << "\r\n"
                                   << "\n>";
    QTest::newRow("text without prompt") << "abc"
                                         << "abc";
    QTest::newRow("line end with more text") << "ab\r\n"
                                             << "ab\n";
}

void TestTerminal::promptFollowsReceivedText()
{
    QFETCH(QString, received);
    QFETCH(QString, shown);
    Offline f(true);
    f.link->Receive(received);
    QCOMPARE(f.Terminal()->TextBox()->toPlainText(), shown);
}

void TestTerminal::portChangeReopensTheLink()
{
    Offline f(true);
    QCOMPARE(f.window->SelectedPort(), 1);
    const int closes = f.link->Closes;
    auto* list = f.window->findChild<QComboBox*>(QStringLiteral("portList"));
    list->setCurrentIndex(1);
    f.window->Communications().ApplyPortSelection();
    QCOMPARE(f.link->Closes, closes + 1);
    QCOMPARE(f.link->Opens.back(), std::make_pair(3, true));

    // Activation then needs no second open.
    const size_t opens = f.link->Opens.size();
    f.window->SetPage(kTerminalPage);
    QCOMPARE(f.link->Opens.size(), opens);
    QCOMPARE(f.link->Writes, QStringList{QStringLiteral("\r")});
    QVERIFY(f.ui.Messages.empty());
}

void TestTerminal::pageWithoutLinkSaysSo()
{
    Offline f(false);
    QVERIFY(f.Terminal());
    QVERIFY(!f.Terminal()->HasLink());
    QCOMPARE(f.ui.Messages.size(), size_t(1));
    QCOMPARE(f.ui.Messages[0].Caption, QStringLiteral("Communications Error"));
    f.ui.Messages.clear();
    f.window->SetPage(kTerminalPage);
    QVERIFY(f.ui.Messages.empty());
    QTest::keyClick(f.Terminal()->TextBox(), Qt::Key_Return);
    f.Terminal()->findChild<QPushButton*>(QStringLiteral("userButton2"))->click();
    QCOMPARE(f.ui.Messages.size(), size_t(2));
    for (const auto& message : f.ui.Messages) {
        QCOMPARE(message.Caption, QStringLiteral("Communications Error"));
        QCOMPARE(message.Text, QStringLiteral("ILinkPort not created"));
    }
}

QTEST_MAIN(TestTerminal)
#include "tst_terminal.moc"
