#include "ComponentError.h"
#include "LinkPortObject.h"
#include "PortHub.h"
#include "PortRegistry.h"
#include "SerialTransport.h"

#include <QSerialPort>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

using Orvex::CLinkPort;
using Orvex::ComponentError;
using Orvex::PortHub;
using Orvex::PortRegistry;
using Orvex::SerialTransport;

namespace {

constexpr int kTimeoutMs = 5000;

class NoDevices final : public Orvex::ISerialDeviceSource
{
public:
    std::vector<Orvex::SerialDeviceInfo> PresentDevices() const override { return {}; }
};

// A pseudo-terminal: the link opens the slave as its serial device, the test
// plays the drive on the master.
class PseudoTerminal
{
public:
    PseudoTerminal()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
            return;
        }
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
        m_slavePath = QString::fromLocal8Bit(ptsname(m_master));
    }
    ~PseudoTerminal() { CloseMaster(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool IsValid() const { return m_master >= 0 && !m_slavePath.isEmpty(); }
    QString SlavePath() const { return m_slavePath; }
    int Master() const { return m_master; }

    // Everything the link has sent so far.
    QByteArray Received()
    {
        char buffer[256];
        ssize_t count = 0;
        while ((count = ::read(m_master, buffer, sizeof buffer)) > 0) {
            m_received.append(buffer, count);
        }
        return m_received;
    }

    bool Send(const QByteArray& bytes)
    {
        return ::write(m_master, bytes.constData(), static_cast<size_t>(bytes.size())) ==
               bytes.size();
    }

    void CloseMaster()
    {
        if (m_master >= 0) {
            ::close(m_master);
            m_master = -1;
        }
    }

private:
    int m_master = -1;
    QString m_slavePath;
    QByteArray m_received;
};

// The registry and hub of the application, with the pseudo-terminal added as
// a device path the way a user adds one.
struct Fixture
{
    Fixture()
        : settings(dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat),
          registry(source, settings), hub(registry)
    {
        if (pty.IsValid()) {
            port = registry.AddDevicePath(pty.SlavePath());
        }
    }

    PseudoTerminal pty;
    QTemporaryDir dir;
    QSettings settings;
    NoDevices source;
    PortRegistry registry;
    PortHub hub;
    int port = 0;
};

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

class TestSerialTransport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void linkTalksThroughTheDevice();
    void linksShareTheOneOpenDevice();
    void lineSettings_data();
    void lineSettings();
    void deviceHeldElsewhereCannotBeOpened();
    void vanishedDeviceIsReported();
};

void TestSerialTransport::linkTalksThroughTheDevice()
{
    Fixture f;
    QVERIFY(f.pty.IsValid());
    QVERIFY(f.port > 0);

    CLinkPort link(f.hub);
    QSignalSpy spy(&link, &CLinkPort::DataWaiting);
    link.Open(f.port, true);
    QVERIFY(link.IsOpen());

    link.Write(QStringLiteral("VER\r"));
    QTRY_COMPARE_WITH_TIMEOUT(f.pty.Received(), QByteArray("VER\r"), kTimeoutMs);

    const QByteArray answer("VER=ORVEX AE-0620 OS 3.02.0017\r\n\x05");
    QVERIFY(f.pty.Send(answer));
    QTRY_VERIFY_WITH_TIMEOUT(spy.count() > 0, kTimeoutMs);
    QString text = link.Read();
    // The device may hand the answer over in more than one piece.
    QTRY_COMPARE_WITH_TIMEOUT(text += link.Read(), QString::fromLatin1(answer), kTimeoutMs);
}

void TestSerialTransport::linksShareTheOneOpenDevice()
{
    Fixture f;
    QVERIFY(f.pty.IsValid());

    // A second QSerialPort on the same device would be refused; sharing the
    // hub's one is what lets every page use the port.
    CLinkPort terminal(f.hub);
    CLinkPort errorLog(f.hub);
    terminal.Open(f.port, true);
    errorLog.Open(f.port, true);
    QVERIFY(terminal.IsOpen());
    QVERIFY(errorLog.IsOpen());

    terminal.Write(QStringLiteral("\r"));
    errorLog.Write(QStringLiteral("TERRLG\r"));
    QTRY_COMPARE_WITH_TIMEOUT(f.pty.Received(), QByteArray("\rTERRLG\r"), kTimeoutMs);

    QVERIFY(f.pty.Send("\x05"));
    QString terminalText;
    QString errorLogText;
    QTRY_COMPARE_WITH_TIMEOUT(terminalText += terminal.Read(), QStringLiteral("\x05"), kTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(errorLogText += errorLog.Read(), QStringLiteral("\x05"), kTimeoutMs);
}

void TestSerialTransport::lineSettings_data()
{
    QTest::addColumn<bool>("driveDefaults");
    QTest::addColumn<int>("speed");
    QTest::addColumn<bool>("twoStopBits");
    QTest::addColumn<bool>("softwareFlowControl");

    QTest::newRow("drive line 115200 8N1") << true << int(B115200) << false << false;
    // A pseudo-terminal keeps no parity or character size but these.
    QTest::newRow("overridden 9600 8N2 XON/XOFF") << false << int(B9600) << true << true;
}

void TestSerialTransport::lineSettings()
{
    QFETCH(bool, driveDefaults);
    QFETCH(int, speed);
    QFETCH(bool, twoStopBits);
    QFETCH(bool, softwareFlowControl);

    PseudoTerminal pty;
    QVERIFY(pty.IsValid());
    SerialTransport::LineSettings settings = SerialTransport::DriveLineSettings();
    if (!driveDefaults) {
        settings.BaudRate = 9600;
        settings.StopBits = QSerialPort::TwoStop;
        settings.FlowControl = QSerialPort::SoftwareControl;
    }
    SerialTransport transport(pty.SlavePath(), settings);
    QVERIFY2(transport.Open(), qPrintable(transport.Error()));

    // Both ends of a pseudo-terminal share one set of line settings.
    termios line{};
    QCOMPARE(tcgetattr(pty.Master(), &line), 0);
    QCOMPARE(int(cfgetospeed(&line)), speed);
    QCOMPARE(int(line.c_cflag & CSIZE), int(CS8));
    QCOMPARE(line.c_cflag & PARENB, tcflag_t(0));
    QCOMPARE((line.c_cflag & CSTOPB) != 0, twoStopBits);
    QCOMPARE((line.c_iflag & IXON) != 0, softwareFlowControl);
    QCOMPARE(line.c_cflag & CRTSCTS, tcflag_t(0));
}

void TestSerialTransport::deviceHeldElsewhereCannotBeOpened()
{
    Fixture f;
    QVERIFY(f.pty.IsValid());
    QSerialPort other;
    other.setPortName(f.pty.SlavePath());
    QVERIFY(other.open(QIODevice::ReadWrite));

    QString error;
    PortHub::Failure failure = PortHub::Failure::None;
    QVERIFY(!f.hub.Acquire(f.port, &error, &failure));
    QCOMPARE(int(failure), int(PortHub::Failure::OpenFailed));
    QCOMPARE(error, QStringLiteral("Unable to open COM%1: %2 is in use by another program.")
                        .arg(f.port)
                        .arg(f.pty.SlavePath()));
}

void TestSerialTransport::vanishedDeviceIsReported()
{
    Fixture f;
    QVERIFY(f.pty.IsValid());
    CLinkPort link(f.hub);
    link.Open(f.port, true);
    QVERIFY(link.IsOpen());

    f.pty.CloseMaster();
    QTRY_VERIFY_WITH_TIMEOUT(!link.IsOpen(), kTimeoutMs);
    const std::optional<ComponentError> error = ErrorOf([&] { link.Write(QStringLiteral("\r")); });
    QVERIFY(error);
    QVERIFY2(error->Description().startsWith(
                 QStringLiteral("The connection to %1 was lost").arg(f.pty.SlavePath())),
             qPrintable(error->Description()));
}

QTEST_GUILESS_MAIN(TestSerialTransport)
#include "tst_serialtransport.moc"
