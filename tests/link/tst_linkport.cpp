// The serial link: ports shared through the hub, the link object over fake
// transports, and the real serial path through a pseudo-terminal.
#include "ComponentError.h"
#include "ComponentFactory.h"
#include "FakeTransport.h"
#include "LinkComponent.h"
#include "LinkPortObject.h"
#include "PortChannel.h"
#include "PortHub.h"
#include "PortRegistry.h"
#include "SerialTransport.h"

#include <QCoreApplication>
#include <QSerialPort>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>
#include <utility>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

using Orvex::CLinkPort;
using Orvex::ComponentError;
using Orvex::PortChannel;
using Orvex::PortHub;
using OrvexTest::FakeTransport;
using OrvexTest::TransportLog;

namespace {

constexpr int kTimeoutMs = 5000;

class NoDevices final : public Orvex::ISerialDeviceSource
{
public:
    std::vector<Orvex::SerialDeviceInfo> PresentDevices() const override { return {}; }
};

// A pseudo-terminal: the link opens the slave as its serial device, the test
// plays the drive on the master.
struct PseudoTerminal
{
    PseudoTerminal() : master(posix_openpt(O_RDWR | O_NOCTTY))
    {
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0) {
            fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
            slavePath = QString::fromLocal8Bit(ptsname(master));
        }
    }
    ~PseudoTerminal() { CloseMaster(); }
    void CloseMaster() { ::close(std::exchange(master, -1)); } // closing -1 is harmless

    int master;
    QString slavePath;
};

// The registry and hub of the application with two in-process ports whose
// transports are fakes, and the pseudo-terminal added as a device path the
// way a user adds one.
struct Fixture
{
    Fixture()
        : settings(dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat),
          registry(source, settings), hub(registry)
    {
        portA = registry.AddVirtualPort(QStringLiteral("drive-a"), QStringLiteral("Drive A"));
        portB = registry.AddVirtualPort(QStringLiteral("drive-b"), QStringLiteral("Drive B"));
        hub.RegisterVirtualTransport(QStringLiteral("drive-a"), [this] {
            return std::make_unique<FakeTransport>(logA, QStringLiteral("Drive A"));
        });
        hub.RegisterVirtualTransport(QStringLiteral("drive-b"), [this] {
            return std::make_unique<FakeTransport>(logB, QStringLiteral("Drive B"));
        });
    }

    int DevicePort() { return pty.slavePath.isEmpty() ? 0 : registry.AddDevicePath(pty.slavePath); }

    PseudoTerminal pty;
    QTemporaryDir dir;
    QSettings settings;
    NoDevices source;
    Orvex::PortRegistry registry;
    TransportLog logA, logB;
    PortHub hub;
    int portA = 0;
    int portB = 0;
};

// The code and description of the component error call throws.
QString ErrorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const ComponentError& error) {
        return QStringLiteral("%1 %2").arg(error.Code(), 0, 16).arg(error.Description());
    }
    return QStringLiteral("(no error)");
}

} // namespace

class TestLinkPort : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void twoLinksShareOneTransport()
    {
        Fixture f;
        CLinkPort first(f.hub);
        CLinkPort second(f.hub);
        const QString notOpen = QStringLiteral("80004005 The port is not open.");
        QCOMPARE(ErrorOf([&] { first.Write(QStringLiteral("\r")); }), notOpen);
        first.Open(f.portA, true);
        second.Open(f.portA, true);
        QVERIFY(first.IsOpen() && second.IsOpen());
        QCOMPARE(f.logA.Opens, 1);
        QCOMPARE(f.logA.Alive, 1);
        first.Close();
        QVERIFY(!first.IsOpen());
        QVERIFY(second.IsOpen());
        QCOMPARE(f.logA.Closes, 0);
        // Text goes out byte for byte: Latin-1 kept, no carriage return added.
        const QByteArray sent("N=\xE9");
        second.Write(QString::fromLatin1(sent));
        QCOMPARE(f.logA.Written, QByteArrayList{sent});
        second.Close();
        QCOMPARE(f.logA.Closes, 1);
        QCOMPARE(f.logA.Alive, 0);
        // Closing again is harmless, and a closed link writes nothing.
        second.Close();
        first.Close();
        QCOMPARE(f.logA.Closes, 1);
        QCOMPARE(ErrorOf([&] { first.Write(QStringLiteral("\r")); }), notOpen);
        QCOMPARE(f.logA.Written, QByteArrayList{sent});
    }
    // Answers go to the link that asked, in the order the commands went out;
    // text the drive sends unasked goes to every link.
    void answersGoToWhoeverAsked_data()
    {
        QTest::addColumn<QString>("terminalAsks");
        QTest::addColumn<QString>("errorLogAsks");
        QTest::addColumn<QByteArray>("arrives");
        QTest::addColumn<QString>("terminalReads");
        QTest::addColumn<QString>("errorLogReads");
        // \005 is the drive's prompt, ending an answer.
        const auto row = [](const char* name, QString terminalAsks, QString errorLogAsks,
                            QByteArray arrives, QString terminalReads, QString errorLogReads) {
            QTest::newRow(name) << terminalAsks << errorLogAsks << arrives << terminalReads
                                << errorLogReads;
        };
        row("terminal's answer", "VER\r", "", "VER=3.02\r\n\005", "VER=3.02\r\n\005", "");
        row("unasked text", "", "", "E12\r\n", "E12\r\n", "E12\r\n");
        row("two askers, in order", "VER\r", "ERRORL\r", "V\r\n\005L\r\n\005", "V\r\n\005",
            "L\r\n\005");
        row("two commands in one write", "", "P1\rP2\r", "P=1\r\n\005P=2\r\n\005E3\r\n", "E3\r\n",
            "P=1\r\n\005P=2\r\n\005E3\r\n");
    }
    void answersGoToWhoeverAsked()
    {
        QFETCH(QString, terminalAsks);
        QFETCH(QString, errorLogAsks);
        QFETCH(QByteArray, arrives);
        Fixture f;
        CLinkPort terminal(f.hub);
        CLinkPort errorLog(f.hub);
        terminal.Open(f.portA, true);
        errorLog.Open(f.portA, true);
        for (auto [link, text] : {std::pair{&terminal, terminalAsks}, {&errorLog, errorLogAsks}}) {
            if (!text.isEmpty()) {
                link->Write(text);
            }
        }
        QTRY_VERIFY_WITH_TIMEOUT(f.logA.Current, kTimeoutMs);
        // Byte by byte, the way a slow line delivers it.
        for (char c : arrives) {
            f.logA.Current->Send(QByteArray(1, c));
        }
        QCoreApplication::processEvents();
        QTEST(terminal.Read(), "terminalReads");
        QTEST(errorLog.Read(), "errorLogReads");
    }
    void readAnswersEverythingSinceLastRead_data()
    {
        QTest::addColumn<QByteArrayList>("arrivals");
        QTest::addColumn<QString>("text");
        QTest::newRow("prompt alone") << QByteArrayList{"\x05"} << QStringLiteral("\x05");
        QTest::newRow("answer in pieces") << QByteArrayList{"P016", "=2.5", "0\r\n", "\x05"}
                                          << QStringLiteral("P016=2.50\r\n\x05");
        // Bytes above 127 are Latin-1; backspace and nul are kept as they came.
        const QByteArray raw("T=40\260C\bB\0C\r\n\x05", 13);
        QTest::newRow("raw bytes kept") << QByteArrayList{raw} << QString::fromLatin1(raw);
    }
    void readAnswersEverythingSinceLastRead()
    {
        QFETCH(QByteArrayList, arrivals);
        QFETCH(QString, text);
        Fixture f;
        CLinkPort link(f.hub);
        QSignalSpy spy(&link, &CLinkPort::DataWaiting);
        link.Open(f.portA, true);
        for (const QByteArray& bytes : std::as_const(arrivals)) {
            f.logA.Current->Send(bytes);
        }
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, kTimeoutMs);
        QCOMPARE(link.Read(), text);
        QCOMPARE(link.Read(), QString());
        // Arrivals handled in one pass of the event loop made one event, and a
        // read before the event is delivered leaves nothing to announce.
        f.logA.Current->Send("late");
        QCOMPARE(link.Read(), QStringLiteral("late"));
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 1);
    }
    void openFailures_data()
    {
        QTest::addColumn<int>("port"); // 1 is drive A, whose transport refuses to open
        QTest::addColumn<int>("failure");
        QTest::addColumn<QString>("text");
        const auto row = [](const char* name, int port, PortHub::Failure failure,
                            const char* text) {
            QTest::newRow(name) << port << int(failure) << QString(text);
        };
        const auto unknown = PortHub::Failure::UnknownPort, failed = PortHub::Failure::OpenFailed;
        row("no port selected", 0, unknown, "Invalid COM port number: no port is selected.");
        row("number not present", 42, unknown, "Invalid COM port number: COM42 is not present.");
        row("transport refuses", 1, failed, "Unable to open COM1: Drive A is switched off.");
        row("port nobody serves", 3, failed, "Unable to open COM3: Drive C is not available.");
    }
    void openFailures()
    {
        QFETCH(int, port);
        QFETCH(int, failure);
        QFETCH(QString, text);
        Fixture f;
        f.registry.AddVirtualPort(QStringLiteral("drive-c"), QStringLiteral("Drive C"));
        f.logA.FailOpen = true;
        f.logA.OpenError = QStringLiteral("Drive A is switched off.");
        QString error;
        PortHub::Failure kind = PortHub::Failure::None;
        QVERIFY(!f.hub.Acquire(port, &error, &kind));
        QCOMPARE(int(kind), failure);
        QCOMPARE(error, text);
        CLinkPort link(f.hub);
        QCOMPARE(ErrorOf([&] { link.Open(port, true); }), "80004005 " + text);
        QVERIFY(!link.IsOpen());
        QCOMPARE(f.logA.Alive, 0);
    }
    // The main window's port change: Close, then Open on the new number. The
    // flag decides whether text left unread from the old port is dropped.
    void reopenOnAnotherPort_data()
    {
        QTest::addColumn<bool>("flag");
        QTest::addColumn<QString>("firstRead");
        QTest::newRow("true drops unread text") << true << QStringLiteral("new");
        QTest::newRow("false keeps unread text") << false << QStringLiteral("oldnew");
    }
    void reopenOnAnotherPort()
    {
        QFETCH(bool, flag);
        // A link as the factory makes it for the pages.
        Fixture f;
        Orvex::ComponentFactory factory;
        Orvex::RegisterLinkComponent(factory, f.hub);
        const std::unique_ptr<Orvex::ILinkPort> made =
            factory.Create<Orvex::ILinkPort>(QStringLiteral("ComHost2.LinkPort"));
        auto* const link = dynamic_cast<CLinkPort*>(made.get());
        QVERIFY(link);
        link->Open(f.portA, true);
        link->Write(QStringLiteral("A\r"));
        f.logA.Current->Send("old");
        link->Close();
        link->Open(f.portB, flag);
        QCOMPARE(link->PortNumber(), f.portB);
        f.logB.Current->Send("new");
        QTEST(link->Read(), "firstRead");
        link->Write(QStringLiteral("B\r"));
        QCOMPARE(f.logA.Written, QByteArrayList{"A\r"});
        QCOMPARE(f.logB.Written, QByteArrayList{"B\r"});
        QCOMPARE(f.logA.Alive, 0);
        // Opening an open link elsewhere lets go of the old port too.
        link->Open(f.portA, true);
        QCOMPARE(f.logB.Closes, 1);
        QCOMPARE(f.logA.Opens, 2);
        link->Write(QStringLiteral("C\r"));
        QCOMPARE(f.logA.Written, (QByteArrayList{"A\r", "C\r"}));
    }
    void lostTransportIsReported()
    {
        Fixture f;
        CLinkPort terminal(f.hub);
        CLinkPort notch(f.hub);
        terminal.Open(f.portA, true);
        notch.Open(f.portA, false);
        f.logA.Current->Lose(QStringLiteral("The connection to Drive A was lost."));
        QCOMPARE(f.logA.Closes, 1);
        for (CLinkPort* link : {&terminal, &notch}) {
            QVERIFY(!link->IsOpen());
            QCOMPARE(ErrorOf([link] { link->Write(QStringLiteral("\r")); }),
                     QStringLiteral("80004005 The connection to Drive A was lost."));
        }
        QTRY_COMPARE_WITH_TIMEOUT(f.logA.Alive, 0, kTimeoutMs);
        // Opening again gets a fresh stream, not the dead one.
        terminal.Close();
        terminal.Open(f.portA, true);
        QCOMPARE(f.logA.Opens, 2);
        terminal.Write(QStringLiteral("\r"));
        QCOMPARE(f.logA.Written, QByteArrayList{"\r"});
    }
    void replugGivesAFreshChannelWhileTheDeadOneIsHeld()
    {
        // The adapter is pulled while an object still holds the channel, then
        // plugged in again: the next user must get a working stream.
        Fixture f;
        const std::shared_ptr<PortChannel> dead = f.hub.Acquire(f.portA);
        QVERIFY(dead);
        FakeTransport* const unplugged = f.logA.Current;
        unplugged->Lose(QStringLiteral("The connection to Drive A was lost."));
        QVERIFY(!dead->IsOpen());
        const std::shared_ptr<PortChannel> fresh = f.hub.Acquire(f.portA);
        QVERIFY(fresh);
        QVERIFY(fresh != dead);
        QVERIFY(fresh->IsOpen());
        QCOMPARE(f.logA.Opens, 2);
        QVERIFY(f.logA.Current != unplugged);
        QVERIFY(fresh->Write("VER\r"));
        QCOMPARE(f.logA.Written, QByteArrayList{"VER\r"});
        // Everyone asking from now on (the drive bridge's two objects, say)
        // shares the fresh one, and one exchange at a time.
        const std::shared_ptr<PortChannel> status = f.hub.Acquire(f.portA);
        QCOMPARE(status, fresh);
        QVERIFY(fresh->TryBeginExchange());
        QVERIFY(!status->TryBeginExchange());
        fresh->EndExchange();
        QVERIFY(status->TryBeginExchange());
    }
    void lastHolderMayLetGoInsideDelivery()
    {
        Fixture f;
        std::shared_ptr<PortChannel> channel = f.hub.Acquire(f.portA);
        QVERIFY(channel);
        connect(channel.get(), &PortChannel::Received, this, [&channel] { channel.reset(); });
        f.logA.Current->Send("x");
        QVERIFY(!channel);
        QCOMPARE(f.logA.Closes, 1);
        QTRY_COMPARE_WITH_TIMEOUT(f.logA.Alive, 0, kTimeoutMs);
        // The port can be had again at once.
        QVERIFY(f.hub.Acquire(f.portA));
        QCOMPARE(f.logA.Opens, 2);
    }
    void lineSettings_data()
    {
        QTest::addColumn<bool>("driveDefaults");
        QTest::addColumn<int>("speed");
        QTest::addColumn<bool>("twoStopBits");
        QTest::addColumn<bool>("softwareFlowControl");
        QTest::newRow("drive line 115200 8N1") << true << int(B115200) << false << false;
        // A pseudo-terminal keeps no parity or character size but these.
        QTest::newRow("overridden 9600 8N2 XON/XOFF") << false << int(B9600) << true << true;
    }
    void lineSettings()
    {
        QFETCH(bool, driveDefaults);
        QFETCH(int, speed);
        QFETCH(bool, twoStopBits);
        QFETCH(bool, softwareFlowControl);
        PseudoTerminal pty;
        QVERIFY(!pty.slavePath.isEmpty());
        Orvex::SerialTransport::LineSettings settings = Orvex::SerialTransport::DriveLineSettings();
        if (!driveDefaults) {
            settings.BaudRate = 9600;
            settings.StopBits = QSerialPort::TwoStop;
            settings.FlowControl = QSerialPort::SoftwareControl;
        }
        Orvex::SerialTransport transport(pty.slavePath, settings);
        QVERIFY2(transport.Open(), qPrintable(transport.Error()));
        // Both ends of a pseudo-terminal share one set of line settings.
        termios line{};
        QCOMPARE(tcgetattr(pty.master, &line), 0);
        QCOMPARE(int(cfgetospeed(&line)), speed);
        QCOMPARE(int(line.c_cflag & CSIZE), int(CS8));
        QCOMPARE(line.c_cflag & PARENB, tcflag_t(0));
        QCOMPARE((line.c_cflag & CSTOPB) != 0, twoStopBits);
        QCOMPARE((line.c_iflag & IXON) != 0, softwareFlowControl);
        QCOMPARE(line.c_cflag & CRTSCTS, tcflag_t(0));
    }
    void deviceHeldElsewhereOrVanished()
    {
        Fixture f;
        const int port = f.DevicePort();
        QVERIFY(port > 0);
        auto other = std::make_unique<QSerialPort>(f.pty.slavePath);
        QVERIFY(other->open(QIODevice::ReadWrite));
        QString error;
        PortHub::Failure failure = PortHub::Failure::None;
        QVERIFY(!f.hub.Acquire(port, &error, &failure));
        QCOMPARE(int(failure), int(PortHub::Failure::OpenFailed));
        QCOMPARE(error, QStringLiteral("Unable to open COM%1: %2 is in use by another program.")
                            .arg(port)
                            .arg(f.pty.slavePath));
        other.reset();
        CLinkPort link(f.hub);
        link.Open(port, true);
        QVERIFY(link.IsOpen());
        f.pty.CloseMaster();
        QTRY_VERIFY_WITH_TIMEOUT(!link.IsOpen(), kTimeoutMs);
        const QString lost = ErrorOf([&] { link.Write(QStringLiteral("\r")); });
        QVERIFY2(lost.startsWith(
                     QStringLiteral("80004005 The connection to %1 was lost").arg(f.pty.slavePath)),
                 qPrintable(lost));
    }
};

QTEST_GUILESS_MAIN(TestLinkPort)
#include "tst_linkport.moc"
