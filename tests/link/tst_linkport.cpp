#include "ComponentError.h"
#include "ComponentFactory.h"
#include "FakeTransport.h"
#include "LinkComponent.h"
#include "LinkPortObject.h"
#include "PortChannel.h"
#include "PortHub.h"
#include "PortRegistry.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

using Orvex::CLinkPort;
using Orvex::ComponentError;
using Orvex::PortChannel;
using Orvex::PortHub;
using Orvex::PortRegistry;
using OrvexTest::FakeTransport;
using OrvexTest::TransportLog;

namespace {

constexpr int kTimeoutMs = 5000;

class NoDevices final : public Orvex::ISerialDeviceSource
{
public:
    std::vector<Orvex::SerialDeviceInfo> PresentDevices() const override { return {}; }
};

// A registry with two in-process ports whose transports are fakes, and the hub
// over it, as the application would build them.
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

    QTemporaryDir dir;
    QSettings settings;
    NoDevices source;
    PortRegistry registry;
    TransportLog logA;
    TransportLog logB;
    PortHub hub;
    int portA = 0;
    int portB = 0;
};

// Runs the call and answers the component error it throws, if any.
template <class Call> std::optional<ComponentError> ErrorOf(Call call)
{
    try {
        call();
    } catch (const ComponentError& error) {
        return error;
    }
    return std::nullopt;
}

} // namespace

class TestLinkPort : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void twoLinksShareOneTransport();
    void everyLinkReceivesEveryByte();
    void readAnswersEverythingSinceLastRead_data();
    void readAnswersEverythingSinceLastRead();
    void writeSendsTextUnchanged_data();
    void writeSendsTextUnchanged();
    void writeWhenClosedThrows();
    void openFailures_data();
    void openFailures();
    void reopenOnAnotherPort();
    void openFlagDecidesAboutUnreadText_data();
    void openFlagDecidesAboutUnreadText();
    void lostTransportIsReported();
    void lastHolderMayLetGoInsideDelivery();
    void exchangeLockRefusesSecondExchange();
    void factoryCreatesLinksOnTheHub();
};

void TestLinkPort::twoLinksShareOneTransport()
{
    Fixture f;
    CLinkPort first(f.hub);
    CLinkPort second(f.hub);
    first.Open(f.portA, true);
    second.Open(f.portA, true);
    QVERIFY(first.IsOpen());
    QVERIFY(second.IsOpen());
    QCOMPARE(f.logA.Opens, 1);
    QCOMPARE(f.logA.Alive, 1);

    first.Close();
    QVERIFY(!first.IsOpen());
    QVERIFY(second.IsOpen());
    QCOMPARE(f.logA.Closes, 0);
    second.Write(QStringLiteral("VER\r"));
    QCOMPARE(f.logA.Written, QByteArrayList{"VER\r"});

    second.Close();
    QCOMPARE(f.logA.Closes, 1);
    QCOMPARE(f.logA.Alive, 0);
    // Closing again is harmless.
    second.Close();
    first.Close();
    QCOMPARE(f.logA.Closes, 1);
}

void TestLinkPort::everyLinkReceivesEveryByte()
{
    Fixture f;
    CLinkPort terminal(f.hub);
    CLinkPort errorLog(f.hub);
    QSignalSpy terminalSpy(&terminal, &CLinkPort::DataWaiting);
    QSignalSpy errorLogSpy(&errorLog, &CLinkPort::DataWaiting);
    terminal.Open(f.portA, true);
    errorLog.Open(f.portA, true);

    // A third user of the port, as the drive bridge would listen.
    const std::shared_ptr<PortChannel> bridge = f.hub.Acquire(f.portA);
    QVERIFY(bridge);
    QByteArray bridgeSaw;
    connect(bridge.get(), &PortChannel::Received, this,
            [&bridgeSaw](const QByteArray& bytes) { bridgeSaw += bytes; });
    QCOMPARE(f.logA.Opens, 1);

    f.logA.Current->Send("VER=ORVEX AE-0620 OS 3.02.0017\r\n\x05");
    QTRY_COMPARE_WITH_TIMEOUT(terminalSpy.count(), 1, kTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(errorLogSpy.count(), 1, kTimeoutMs);
    QCOMPARE(terminal.Read(), QStringLiteral("VER=ORVEX AE-0620 OS 3.02.0017\r\n\x05"));
    QCOMPARE(errorLog.Read(), QStringLiteral("VER=ORVEX AE-0620 OS 3.02.0017\r\n\x05"));
    QCOMPARE(bridgeSaw, QByteArray("VER=ORVEX AE-0620 OS 3.02.0017\r\n\x05"));
}

void TestLinkPort::readAnswersEverythingSinceLastRead_data()
{
    QTest::addColumn<QByteArrayList>("arrivals");
    QTest::addColumn<QString>("text");

    QTest::newRow("prompt alone") << QByteArrayList{"\x05"} << QStringLiteral("\x05");
    QTest::newRow("answer in pieces")
        << QByteArrayList{"P016", "=2.5", "0\r\n", "\x05"} << QStringLiteral("P016=2.50\r\n\x05");
    QTest::newRow("bytes above 127 kept") << QByteArrayList{"T=40\xB0"
                                                            "C\r\n\x05"}
                                          << QString::fromLatin1("T=40\xB0"
                                                                 "C\r\n\x05");
    QTest::newRow("backspace and nul kept")
        << QByteArrayList{QByteArray("A\bB\0C", 5)} << QString::fromLatin1("A\bB\0C", 5);
}

void TestLinkPort::readAnswersEverythingSinceLastRead()
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

void TestLinkPort::writeSendsTextUnchanged_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("command") << QStringLiteral("ERRORL=h3FFF\r") << QByteArray("ERRORL=h3FFF\r");
    QTest::newRow("no carriage return added") << QStringLiteral("DRES") << QByteArray("DRES");
    QTest::newRow("latin-1 byte") << QString::fromLatin1("N=\xE9\r") << QByteArray("N=\xE9\r");
}

void TestLinkPort::writeSendsTextUnchanged()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);

    Fixture f;
    CLinkPort link(f.hub);
    link.Open(f.portA, false);
    link.Write(text);
    QCOMPARE(f.logA.Written, QByteArrayList{bytes});
}

void TestLinkPort::writeWhenClosedThrows()
{
    Fixture f;
    CLinkPort link(f.hub);
    std::optional<ComponentError> error = ErrorOf([&] { link.Write(QStringLiteral("\r")); });
    QVERIFY(error);
    QCOMPARE(error->Code(), 0x80004005u);
    QCOMPARE(error->Description(), QStringLiteral("The port is not open."));

    link.Open(f.portA, true);
    link.Close();
    error = ErrorOf([&] { link.Write(QStringLiteral("\r")); });
    QVERIFY(error);
    QCOMPARE(error->Description(), QStringLiteral("The port is not open."));
    QVERIFY(f.logA.Written.isEmpty());
}

void TestLinkPort::openFailures_data()
{
    QTest::addColumn<QString>("port"); // "a", "none", "unknown", "unserved"
    QTest::addColumn<bool>("failOpen");
    QTest::addColumn<int>("failure");
    QTest::addColumn<QString>("text");
    const auto row = [](const char* name, const char* port, bool failOpen, PortHub::Failure failure,
                        const char* text) {
        QTest::newRow(name) << QString(port) << failOpen << int(failure) << QString(text);
    };
    row("no port selected", "none", false, PortHub::Failure::UnknownPort,
        "Invalid COM port number: no port is selected.");
    row("number not present", "unknown", false, PortHub::Failure::UnknownPort,
        "Invalid COM port number: COM42 is not present.");
    row("transport refuses", "a", true, PortHub::Failure::OpenFailed,
        "Unable to open COM1: Drive A is switched off.");
    row("in-process port nobody serves", "unserved", false, PortHub::Failure::OpenFailed,
        "Unable to open COM3: Drive C is not available.");
}

void TestLinkPort::openFailures()
{
    QFETCH(QString, port);
    QFETCH(bool, failOpen);
    QFETCH(int, failure);
    QFETCH(QString, text);

    Fixture f;
    const int portC =
        f.registry.AddVirtualPort(QStringLiteral("drive-c"), QStringLiteral("Drive C"));
    QCOMPARE(f.portA, 1);
    QCOMPARE(portC, 3);
    f.logA.FailOpen = failOpen;
    f.logA.OpenError = QStringLiteral("Drive A is switched off.");
    const int number = port == QLatin1String("a")          ? f.portA
                       : port == QLatin1String("unserved") ? portC
                       : port == QLatin1String("unknown")  ? 42
                                                           : 0;

    QString error;
    PortHub::Failure kind = PortHub::Failure::None;
    QVERIFY(!f.hub.Acquire(number, &error, &kind));
    QCOMPARE(int(kind), failure);
    QCOMPARE(error, text);

    CLinkPort link(f.hub);
    const std::optional<ComponentError> thrown = ErrorOf([&] { link.Open(number, true); });
    QVERIFY(thrown);
    QCOMPARE(thrown->Code(), 0x80004005u);
    QCOMPARE(thrown->Description(), text);
    QVERIFY(!link.IsOpen());
    QCOMPARE(f.logA.Alive, 0);
}

void TestLinkPort::reopenOnAnotherPort()
{
    Fixture f;
    CLinkPort link(f.hub);
    link.Open(f.portA, true);
    link.Write(QStringLiteral("A\r"));

    // The main window's port change: Close, then Open on the new number.
    link.Close();
    link.Open(f.portB, false);
    QCOMPARE(link.PortNumber(), f.portB);
    link.Write(QStringLiteral("B\r"));
    QCOMPARE(f.logA.Written, QByteArrayList{"A\r"});
    QCOMPARE(f.logB.Written, QByteArrayList{"B\r"});
    QCOMPARE(f.logA.Alive, 0);

    // Opening an open link elsewhere lets go of the old port too.
    link.Open(f.portA, true);
    QCOMPARE(f.logB.Closes, 1);
    QCOMPARE(f.logA.Opens, 2);
    link.Write(QStringLiteral("C\r"));
    QCOMPARE(f.logA.Written, (QByteArrayList{"A\r", "C\r"}));
}

void TestLinkPort::openFlagDecidesAboutUnreadText_data()
{
    QTest::addColumn<bool>("flag");
    QTest::addColumn<QString>("firstRead");

    QTest::newRow("true drops unread text") << true << QStringLiteral("new");
    QTest::newRow("false keeps unread text") << false << QStringLiteral("oldnew");
}

void TestLinkPort::openFlagDecidesAboutUnreadText()
{
    QFETCH(bool, flag);
    QFETCH(QString, firstRead);

    Fixture f;
    CLinkPort link(f.hub);
    link.Open(f.portA, true);
    f.logA.Current->Send("old");
    link.Close();
    link.Open(f.portB, flag);
    f.logB.Current->Send("new");
    QCOMPARE(link.Read(), firstRead);
}

void TestLinkPort::lostTransportIsReported()
{
    Fixture f;
    CLinkPort terminal(f.hub);
    CLinkPort notch(f.hub);
    terminal.Open(f.portA, true);
    notch.Open(f.portA, false);

    f.logA.Current->Lose(QStringLiteral("The connection to Drive A was lost."));
    QVERIFY(!terminal.IsOpen());
    QVERIFY(!notch.IsOpen());
    QCOMPARE(f.logA.Closes, 1);
    for (CLinkPort* link : {&terminal, &notch}) {
        const std::optional<ComponentError> error =
            ErrorOf([link] { link->Write(QStringLiteral("\r")); });
        QVERIFY(error);
        QCOMPARE(error->Description(), QStringLiteral("The connection to Drive A was lost."));
    }
    QTRY_COMPARE_WITH_TIMEOUT(f.logA.Alive, 0, kTimeoutMs);

    // Opening again gets a fresh stream, not the dead one.
    terminal.Close();
    terminal.Open(f.portA, true);
    QVERIFY(terminal.IsOpen());
    QCOMPARE(f.logA.Opens, 2);
    terminal.Write(QStringLiteral("\r"));
    QCOMPARE(f.logA.Written, QByteArrayList{"\r"});
}

void TestLinkPort::lastHolderMayLetGoInsideDelivery()
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

void TestLinkPort::exchangeLockRefusesSecondExchange()
{
    Fixture f;
    const std::shared_ptr<PortChannel> config = f.hub.Acquire(f.portA);
    const std::shared_ptr<PortChannel> status = f.hub.Acquire(f.portA);
    QCOMPARE(config, status);
    QVERIFY(config->TryBeginExchange());
    QVERIFY(!status->TryBeginExchange());
    config->EndExchange();
    QVERIFY(status->TryBeginExchange());
}

void TestLinkPort::factoryCreatesLinksOnTheHub()
{
    Fixture f;
    Orvex::ComponentFactory factory;
    Orvex::RegisterLinkComponent(factory, f.hub);
    const std::unique_ptr<Orvex::ILinkPort> link =
        factory.Create<Orvex::ILinkPort>(QStringLiteral("ComHost2.LinkPort"));
    QCOMPARE(link->Version(), QStringLiteral("2.0.0"));
    link->Open(f.portB, true);
    link->Write(QStringLiteral("VER\r"));
    QCOMPARE(f.logB.Written, QByteArrayList{"VER\r"});
}

QTEST_GUILESS_MAIN(TestLinkPort)
#include "tst_linkport.moc"
