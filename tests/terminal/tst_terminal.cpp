#include "BitStatusPanelDlg.h"
#include "PageIds.h"
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
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Orvex;

namespace {

constexpr int kTerminalPage = PageId::TerminalEmulator;

CTerminalEmulatorDlg* TerminalOf(const COrvexSupportToolDlg& window)
{
    return dynamic_cast<CTerminalEmulatorDlg*>(window.Page(kTerminalPage));
}

// The main window as the program builds it, on the simulated drive.
struct Program : OrvexTest::SimulatedWindow
{
    using SimulatedWindow::SimulatedWindow;

    CTerminalEmulatorDlg* Terminal() const { return TerminalOf(window); }
    CTermEdit* Box() const { return Terminal()->TextBox(); }
    QString Shown() const { return Box()->toPlainText(); }
    QPushButton* Button(const QString& name) const
    {
        return Terminal()->findChild<QPushButton*>(name);
    }
    int Commands() const { return Drive().CommandsReceived(); }
    // Shows the page and waits for the drive's prompt.
    void Activate()
    {
        window.SetPage(kTerminalPage);
        QTRY_VERIFY(Shown().endsWith(QLatin1Char('>')));
    }
};

// Writes a text file for the download and queues it as the user's choice.
template <class P> void ChooseFile(P& p, const QByteArray& bytes)
{
    QFile file(p.dir.filePath(QStringLiteral("commands.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    p.ui.FileAnswers.push_back(file.fileName());
}

// Types keys into the box; '\b' stands for the backspace key, '\r' for Return.
void Type(QWidget* box, const QString& keys)
{
    for (QChar c : keys) {
        if (c == QLatin1Char('\b'))
            QTest::keyClick(box, Qt::Key_Backspace);
        else if (c == QLatin1Char('\r'))
            QTest::keyClick(box, Qt::Key_Return);
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

// The main window over fakes on COM1 and COM3, with a scripted link or none at all.
struct Offline : OrvexTest::FakeProgram
{
    explicit Offline(bool withLink)
    {
        devices.Devices = {OrvexTest::ComDevice("COM1"), OrvexTest::ComDevice("COM3")};
        if (withLink)
            ScriptLinks();
        OpenWindow();
    }

    CTerminalEmulatorDlg* Terminal() const { return TerminalOf(*window); }
};

} // namespace

// The terminal page, typed into and clicked, against the simulated drive.
class TestTerminal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typedLineIsSent_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::newRow("plain") << "P016";
        QTest::newRow("corrected twice") << "PX\b\b\bP016";
        QTest::newRow("space and tilde are typed") << "P0 ~\b\b16";
        QTest::newRow("not printable is swallowed") << QStringLiteral("P0\u00e916");
    }

    void typedLineIsSent()
    {
        QFETCH(QString, keys);
        Program p;
        // Activation sends a bare carriage return; the drive answers its prompt.
        const int before = p.Commands();
        p.Activate();
        QCOMPARE(p.Shown(), ">");
        QCOMPARE(p.Commands(), before + 1);
        QCOMPARE(p.Child<QGroupBox>("pageFrame")->title(), "Terminal Emulator");

        Type(p.Box(), keys);
        QCOMPARE(p.Box()->Line(), "P016");
        QCOMPARE(p.Shown(), ">P016");
        QTest::keyClick(p.Box(), Qt::Key_Return);
        QVERIFY(p.Box()->Line().isEmpty());
        QTRY_VERIFY(kP016Answer.match(p.Shown()).hasMatch());
        QVERIFY2(p.Shown().startsWith(QStringLiteral(">P016\nP016=")), qPrintable(p.Shown()));
        QVERIFY(p.ui.Messages.empty());
        // Clearing the display leaves the prompt.
        p.Button("clearDisplayButton")->click();
        QCOMPARE(p.Shown(), ">");
    }

    // What the drive sends while the user types goes above the typed line,
    // which carries on at the end and is sent whole.
    void outputWhileTypingStaysAboveTheLine()
    {
        Offline f(true);
        f.window->SetPage(kTerminalPage);
        CTermEdit* box = f.Terminal()->TextBox();
        box->clear();
        Type(box, QStringLiteral("P0"));
        f.link->Receive(QStringLiteral("E12\r\n\x05"));
        Type(box, QStringLiteral("16\r"));
        QCOMPARE(box->toPlainText(), QStringLiteral("E12\n>P016\n"));
        QCOMPARE(f.link->Writes.last(), QStringLiteral("P016\r"));
    }

    // A terminal that cannot reach a drive says so when shown and for every
    // line typed: first with no port chosen, then without a link component.
    void terminalWithoutPortOrLinkSaysSo()
    {
        Program p(
            [](QSettings& s) { s.setValue(QStringLiteral("Communications/Simulator"), false); });
        QCOMPARE(p.window.SelectedPort(), 0);
        p.window.SetPage(kTerminalPage);
        QCOMPARE(OrvexTest::Messages(p.ui),
                 QStringList{"Communications Status: Invalid COM port number"});
        Type(p.Box(), QStringLiteral("P016\r"));
        QCOMPARE(OrvexTest::Messages(p.ui),
                 (QStringList{"Communications Status: Invalid COM port number",
                              "Communications Error: COM port not open"}));

        // Without the link the window says so once as it opens, then at every use.
        Offline f(false);
        QVERIFY(!f.Terminal()->HasLink());
        QCOMPARE(OrvexTest::Messages(f.ui),
                 QStringList{"Communications Error: ComHost2.LinkPort is not installed (class "
                             "not registered)."});
        f.ui.Messages.clear();
        f.window->SetPage(kTerminalPage);
        QTest::keyClick(f.Terminal()->TextBox(), Qt::Key_Return);
        f.Terminal()->findChild<QPushButton*>(QStringLiteral("userButton2"))->click();
        QCOMPARE(OrvexTest::Messages(f.ui),
                 QStringList(2, "Communications Error: ILinkPort not created"));
    }

    // A user button (1 to 12) or the command browser (0) sends its command
    // as if typed, the drive's answer under it.
    void buttonSendsItsCommand_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("command");
        QTest::newRow("first") << 1 << QStringLiteral("Read P16") << "P016";
        QTest::newRow("last") << 12 << QStringLiteral("Twelve") << "P016";
        QTest::newRow("empty command still sends") << 5 << QStringLiteral("User Button 5") << "";
        QTest::newRow("command browser") << 0 << QStringLiteral("Orvex Commands...") << "P016";
    }

    void buttonSendsItsCommand()
    {
        QFETCH(int, number);
        QFETCH(QString, label);
        QFETCH(QString, command);
        Program p([&](QSettings& s) {
            if (number == 0)
                return;
            s.setValue(QStringLiteral("UserButtons/Label%1").arg(number), label);
            s.setValue(QStringLiteral("UserButtons/Command%1").arg(number), command);
        });
        p.Activate();
        p.ui.OnModal = [&](QDialog& dialog) {
            auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("commandEdit"));
            edit->selectAll();
            QTest::keyClicks(edit, command);
            return int(QDialog::Accepted);
        };
        QPushButton* button = p.Button(number ? QStringLiteral("userButton%1").arg(number)
                                              : QStringLiteral("orvexCommandsButton"));
        QCOMPARE(button->text(), label);
        const int before = p.Commands();
        button->click();
        QTRY_COMPARE(p.Commands(), before + 1);
        if (command.isEmpty())
            QTRY_VERIFY(p.Shown().endsWith(QStringLiteral(">\n>")));
        else
            QTRY_VERIFY2(p.Shown().contains(QStringLiteral(">P016\nP016=")) &&
                             kP016Answer.match(p.Shown()).hasMatch(),
                         qPrintable(p.Shown()));
        QVERIFY(p.ui.Messages.empty());

        // A cancelled command browser sends nothing.
        p.ui.OnModal = [](QDialog&) { return int(QDialog::Rejected); };
        p.Button("orvexCommandsButton")->click();
        QCOMPARE(p.Commands(), before + 1);
    }

    void editedButtonsAreKept()
    {
        Program p;
        const auto edit = [&p](const QString& label, const QString& command, int result) {
            p.ui.OnModal = [=](QDialog& dialog) {
                for (const auto& [name, text] :
                     {std::pair{"buttonLabel", label}, std::pair{"buttonCommand", command}}) {
                    auto* field = dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
                    field->selectAll();
                    QTest::keyClicks(field, text);
                }
                return result;
            };
            p.Button("editUserButtonsButton")->click();
            // The first button's label and command afterwards.
            return QStringList{p.Button("userButton1")->text(),
                               p.Terminal()->UserButtons()[0].Command};
        };
        QCOMPARE(edit("Velocity", "P016", QDialog::Accepted), (QStringList{"Velocity", "P016"}));
        // Cancel changes nothing.
        QCOMPARE(edit("Other", "X", QDialog::Rejected), (QStringList{"Velocity", "P016"}));

        // The page going away keeps them for the next run.
        p.Terminal()->OnDestroyPage();
        p.settings.beginGroup(QStringLiteral("UserButtons"));
        QCOMPARE(p.settings.value(QStringLiteral("Label1")).toString(), "Velocity");
        QCOMPARE(p.settings.value(QStringLiteral("Command1")).toString(), "P016");
        QCOMPARE(p.settings.value(QStringLiteral("Label2")).toString(), "User Button 2");
    }

    void downloadSendsEveryLine_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("answers");
        QTest::newRow("last line without line end") << QByteArray("P016\r\nP016") << 2 << 2;
        QTest::newRow("line feeds only") << QByteArray("P016\nP016\n") << 2 << 2;
        QTest::newRow("empty line sends a carriage return") << QByteArray("P016\n\nP016") << 3 << 2;
        QTest::newRow("empty file") << QByteArray() << 0 << 0;
    }

    void downloadSendsEveryLine()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, lines);
        QFETCH(int, answers);
        Program p;
        p.Activate();
        ChooseFile(p, file);
        const int before = p.Commands();
        p.Button("downloadTextFileButton")->click();
        QCOMPARE(p.ui.FileRequests.size(), size_t(1));
        QCOMPARE(p.ui.FileRequests[0].Filter, "All Files(*.*)|*.*||");
        QCOMPARE(p.ui.Pauses, std::vector<int>(size_t(lines), 100));
        QTRY_COMPARE(p.Commands(), before + lines);
        QTRY_COMPARE(p.Shown().count(QStringLiteral("P016=")), answers);
        QTRY_VERIFY(p.Shown().endsWith(QLatin1Char('>')));
        QVERIFY(p.ui.Messages.empty());
        QVERIFY(p.Button("downloadTextFileButton")->isEnabled());

        // A file that cannot be opened sends nothing.
        p.ui.FileAnswers.push_back(p.dir.filePath(QStringLiteral("missing.txt")));
        p.Button("downloadTextFileButton")->click();
        QCOMPARE(OrvexTest::Messages(p.ui), QStringList{"Download File: Unable to open file"});
        QCOMPARE(p.ui.Pauses.size(), size_t(lines));
        QCOMPARE(p.Commands(), before + lines);
    }

    void downloadStopsWhenTheLinkIsLost()
    {
        Offline f(true);
        f.window->SetPage(kTerminalPage);
        f.link->Writes.clear();
        f.link->LoseAfterWrites = 2;
        ChooseFile(f, "A\nB\nC\nD\nE\n");
        f.Terminal()->DownloadTextFile();
        QCOMPARE(f.link->Writes, QStringList({"A\r", "B\r"}));
        QCOMPARE(f.ui.Pauses.size(), size_t(2));
        QCOMPARE(OrvexTest::Messages(f.ui), QStringList{"Communications Error: COM port not open"});
    }

    void promptFollowsReceivedText_data()
    {
        QTest::addColumn<QString>("received");
        QTest::addColumn<QString>("shown");
        QTest::newRow("answer and prompt byte") << QStringLiteral("P016=1\r\n\005") << "P016=1\n>";
        QTest::newRow("prompt byte inside") << QStringLiteral("a\005b") << "ab>";
        QTest::newRow("bare line end") << QStringLiteral("\r\n") << "\n>";
        QTest::newRow("text without prompt") << QStringLiteral("abc") << "abc";
        QTest::newRow("line end with more text") << QStringLiteral("ab\r\n") << "ab\n";
    }

    void promptFollowsReceivedText()
    {
        QFETCH(QString, received);
        QFETCH(QString, shown);
        Offline f(true);
        f.link->Receive(received);
        QCOMPARE(f.Terminal()->TextBox()->toPlainText(), shown);
    }

    void portChangeReopensTheLink()
    {
        Offline f(true);
        QCOMPARE(f.window->SelectedPort(), 1);
        const int closes = f.link->Closes;
        f.window->findChild<QComboBox*>(QStringLiteral("portList"))->setCurrentIndex(1);
        f.window->Communications().ApplyPortSelection();
        QCOMPARE(f.link->Closes, closes + 1);
        QCOMPARE(f.link->Opens.back(), std::make_pair(3, true));

        // Activation then needs no second open.
        const size_t opens = f.link->Opens.size();
        f.window->SetPage(kTerminalPage);
        QCOMPARE(f.link->Opens.size(), opens);
        QCOMPARE(f.link->Writes, QStringList{"\r"});
        QVERIFY(f.ui.Messages.empty());
    }

    // Each link hears the answers to its own commands: the status pages' and
    // the error log's traffic on the same port stays out of the terminal.
    void otherPagesTrafficStaysOut()
    {
        Program p;
        p.Activate();
        p.Box()->clear();
        dynamic_cast<CBitStatusPanelDlg*>(p.window.Page(PageId::BitStatusPanel))->ManualUpdate();
        p.window.SetPage(PageId::ErrorLog);
        p.Child<QPushButton>("viewErrorLogButton")->click();
        QVERIFY(p.ui.Messages.empty());
        // The terminal's own command still gets its answer (after the prompt
        // its activation asks for).
        p.Activate();
        Type(p.Box(), QStringLiteral("P016\r"));
        QTRY_VERIFY2(kP016Answer.match(p.Shown()).hasMatch(), qPrintable(p.Shown()));
        QVERIFY2(!p.Shown().contains(QStringLiteral("ERRS")) && !p.Shown().contains("E27"),
                 qPrintable(p.Shown()));
    }

    // The standalone simulated drive, stopped and started again behind the
    // same path: the terminal's next command finds it again.
    void terminalRecoversWhenTheDeviceComesBack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("orvex-drive"));
        QProcess simulator;
        const auto start = [&] {
            simulator.start(QStringLiteral(ORVEX_SIMULATOR_PATH),
                            {QStringLiteral("--data-dir"), QStringLiteral(ORVEX_TEST_DATA_DIR),
                             QStringLiteral("--link"), path});
            return simulator.waitForReadyRead(10000);
        };
        QVERIFY(start());
        Program p;
        p.window.Communications().SetSelectedPort(p.ports.AddDevicePath(path));
        p.window.Communications().FindPorts();
        p.Activate();
        const QString ask = QStringLiteral("P016\r");
        simulator.kill();
        QVERIFY(simulator.waitForFinished());
        // Gone: a command says so.
        QTRY_VERIFY_WITH_TIMEOUT((Type(p.Box(), ask), !p.ui.Messages.empty()), 5000);
        QCOMPARE(OrvexTest::Messages(p.ui).last(),
                 QStringLiteral("Communications Error: COM port not open"));
        p.ui.Messages.clear();
        p.Box()->clear();
        QVERIFY(start());
        Type(p.Box(), ask);
        QTRY_VERIFY(kP016Answer.match(p.Shown()).hasMatch());
        QVERIFY(p.ui.Messages.empty());
        simulator.kill();
        simulator.waitForFinished();
    }
};

QTEST_MAIN(TestTerminal)
#include "tst_terminal.moc"
