#include "PortRegistry.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(Orvex::SerialDeviceInfo)

using Orvex::PortRegistry;
using Orvex::SerialDeviceInfo;

namespace {

// Stands in for the system's device list; tests plug and unplug by editing it.
class FakeDeviceSource final : public Orvex::ISerialDeviceSource
{
public:
    std::vector<SerialDeviceInfo> PresentDevices() const override { return devices; }

    std::vector<SerialDeviceInfo> devices;
};

SerialDeviceInfo Device(const QString& portName, const QString& description = QString())
{
    SerialDeviceInfo info;
    info.PortName = portName;
    if (portName.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) {
        info.SystemLocation = portName;
    } else if (!portName.isEmpty()) {
        info.SystemLocation = QStringLiteral("/dev/") + portName;
    }
    info.Description = description;
    return info;
}

SerialDeviceInfo UsbDevice(const QString& portName, const QString& serialNumber,
                           const QString& busLocation = QStringLiteral("pci0000:00/usb1/1-1"))
{
    SerialDeviceInfo info = Device(portName, QStringLiteral("USB Serial"));
    info.SerialNumber = serialNumber;
    info.PhysicalLocation = busLocation;
    info.HasVendorId = true;
    info.VendorId = 0x0403;
    info.HasProductId = true;
    info.ProductId = 0x6001;
    return info;
}

// The same device showing up under another /dev name.
SerialDeviceInfo Renamed(SerialDeviceInfo info, const QString& portName)
{
    info.PortName = portName;
    info.SystemLocation = QStringLiteral("/dev/") + portName;
    return info;
}

QList<int> Numbers(const std::vector<PortRegistry::PortEntry>& ports)
{
    QList<int> numbers;
    for (const PortRegistry::PortEntry& port : ports) {
        numbers.append(port.Number);
    }
    return numbers;
}

int NumberAt(const std::vector<PortRegistry::PortEntry>& ports, const QString& location)
{
    for (const PortRegistry::PortEntry& port : ports) {
        if (port.SystemLocation == location) {
            return port.Number;
        }
    }
    return -1;
}

const QString kSimKey = QStringLiteral("sim:orvex");
const QString kSimName = QStringLiteral("Orvex Drive Simulator");

} // namespace

class TestPortRegistry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void comNamedPortKeepsItsNumber_data();
    void comNamedPortKeepsItsNumber();
    void descriptionFallsBack_data();
    void descriptionFallsBack();
    void newDevicesTakeLowestFreeNumbers_data();
    void newDevicesTakeLowestFreeNumbers();
    void numberFollowsDeviceWhenReplugged_data();
    void numberFollowsDeviceWhenReplugged();
    void absentDeviceKeepsItsNumber();
    void clonedSerialNumbersGetTwoNumbers();
    void comDeviceWinsRememberedNumber();
    void addedDevicePath();
    void addedPathOfPresentDeviceIsNotListedTwice();
    void removedDevicePathFreesItsNumber();
    void virtualPortIsListed();
    void numbersSurviveRestart();
    void handEditedProfileNeverGivesOneNumberTwice();
    void findLooksInLastEnumeration();

private:
    std::unique_ptr<PortRegistry> NewRegistry();
    void ReopenProfile();
    QString Touch(const QString& name) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QSettings> m_settings;
    FakeDeviceSource m_source;
};

void TestPortRegistry::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    ReopenProfile();
    m_source.devices.clear();
}

void TestPortRegistry::cleanup()
{
    m_settings.reset();
    m_dir.reset();
}

std::unique_ptr<PortRegistry> TestPortRegistry::NewRegistry()
{
    return std::make_unique<PortRegistry>(m_source, *m_settings);
}

void TestPortRegistry::ReopenProfile()
{
    m_settings = std::make_unique<QSettings>(m_dir->filePath(QStringLiteral("profile.ini")),
                                             QSettings::IniFormat);
}

QString TestPortRegistry::Touch(const QString& name) const
{
    const QString path = m_dir->filePath(name);
    if (!QFile(path).open(QIODevice::WriteOnly))
        qFatal("cannot create %s", qPrintable(path));
    return path;
}

void TestPortRegistry::comNamedPortKeepsItsNumber_data()
{
    QTest::addColumn<QString>("portName");
    QTest::addColumn<int>("number"); // 0: not listed

    QTest::newRow("COM3") << "COM3" << 3;
    QTest::newRow("lower case") << "com12" << 12;
    QTest::newRow("leading zeros") << "COM007" << 7;
    QTest::newRow("COM alone") << "COM" << 0;
    QTest::newRow("colon") << "COM:" << 0;
    QTest::newRow("trailing letter") << "COM1a" << 0;
    QTest::newRow("space") << "COM 1" << 0;
    QTest::newRow("sign") << "COM+1" << 0;
    QTest::newRow("non-ASCII digit") << QStringLiteral("COM\u0663") << 0;
    QTest::newRow("zero means no port") << "COM0" << 0;
    QTest::newRow("too big for an int") << "COM99999999999" << 0;
    QTest::newRow("empty") << "" << 0;
}

void TestPortRegistry::comNamedPortKeepsItsNumber()
{
    QFETCH(QString, portName);
    QFETCH(int, number);

    m_source.devices = {Device(portName, QStringLiteral("Communications Port"))};
    const auto ports = NewRegistry()->EnumerateSerialPorts();

    if (number == 0) {
        QVERIFY(ports.empty());
        QVERIFY(!PortRegistry::ParseComPortName(portName).has_value());
    } else {
        QCOMPARE(ports.size(), 1u);
        QCOMPARE(ports[0].Number, number);
        QCOMPARE(ports[0].Description, QStringLiteral("Communications Port"));
        QCOMPARE(PortRegistry::ParseComPortName(portName), std::optional<int>(number));
    }
}

void TestPortRegistry::descriptionFallsBack_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("manufacturer");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, const char* description, const char* manufacturer,
                        const char* expected) {
        QTest::newRow(name) << QString::fromLatin1(description) << QString::fromLatin1(manufacturer)
                            << QString::fromLatin1(expected);
    };
    row("system description", "FT232R USB UART", "FTDI", "FT232R USB UART");
    row("manufacturer", "", "FTDI", "FTDI");
    row("device path", "", "", "/dev/ttyUSB0");
}

void TestPortRegistry::descriptionFallsBack()
{
    QFETCH(QString, description);
    QFETCH(QString, manufacturer);
    QFETCH(QString, expected);

    SerialDeviceInfo device = Device(QStringLiteral("ttyUSB0"), description);
    device.Manufacturer = manufacturer;
    m_source.devices = {device};
    const auto ports = NewRegistry()->EnumerateSerialPorts();

    QCOMPARE(ports.size(), 1u);
    QCOMPARE(ports[0].Description, expected);
    QCOMPARE(ports[0].SystemLocation, QStringLiteral("/dev/ttyUSB0"));
    QVERIFY(!ports[0].Virtual);
}

void TestPortRegistry::newDevicesTakeLowestFreeNumbers_data()
{
    QTest::addColumn<QStringList>("portNames");
    QTest::addColumn<QList<int>>("numbers");

    QTest::newRow("discovery order kept")
        << QStringList{"ttyS0", "ttyUSB1", "ttyUSB0"} << QList<int>{1, 2, 3};
    QTest::newRow("present COM1 is not free") << QStringList{"COM1", "ttyUSB0"} << QList<int>{1, 2};
    QTest::newRow("gap below a COM port is used")
        << QStringList{"ttyUSB0", "COM4", "ttyACM0"} << QList<int>{1, 4, 2};
    QTest::newRow("lowest gap") << QStringList{"COM1", "COM3", "ttyUSB0", "ttyUSB1"}
                                << QList<int>{1, 3, 2, 4};
}

void TestPortRegistry::newDevicesTakeLowestFreeNumbers()
{
    QFETCH(QStringList, portNames);
    QFETCH(QList<int>, numbers);

    for (const QString& name : portNames) {
        m_source.devices.push_back(Device(name));
    }
    auto registry = NewRegistry();
    QCOMPARE(Numbers(registry->EnumerateSerialPorts()), numbers);
    QCOMPARE(Numbers(registry->EnumerateSerialPorts()), numbers);
}

void TestPortRegistry::numberFollowsDeviceWhenReplugged_data()
{
    QTest::addColumn<SerialDeviceInfo>("before");
    QTest::addColumn<SerialDeviceInfo>("after");
    QTest::addColumn<bool>("sameNumber");

    const QString otherSocket = QStringLiteral("pci0000:00/usb1/1-4");
    QTest::newRow("serial number, other socket and /dev name")
        << UsbDevice("ttyUSB0", "A50285BI") << UsbDevice("ttyUSB3", "A50285BI", otherSocket)
        << true;
    QTest::newRow("no serial number, same socket")
        << UsbDevice("ttyUSB0", QString()) << UsbDevice("ttyUSB2", QString()) << true;
    QTest::newRow("no serial number, other socket")
        << UsbDevice("ttyUSB0", QString()) << UsbDevice("ttyUSB0", QString(), otherSocket) << false;
    QTest::newRow("plain port, same path") << Device("ttyS0") << Device("ttyS0") << true;
}

void TestPortRegistry::numberFollowsDeviceWhenReplugged()
{
    QFETCH(SerialDeviceInfo, before);
    QFETCH(SerialDeviceInfo, after);
    QFETCH(bool, sameNumber);

    // A second device keeps number 1 from being the answer by chance.
    const SerialDeviceInfo other = UsbDevice(QStringLiteral("ttyACM0"), QStringLiteral("OTHER"));
    auto registry = NewRegistry();
    m_source.devices = {other, before};
    const int first = NumberAt(registry->EnumerateSerialPorts(), before.SystemLocation);
    QCOMPARE(first, 2);

    m_source.devices = {after, other};
    const auto ports = registry->EnumerateSerialPorts();
    QCOMPARE(NumberAt(ports, other.SystemLocation), 1);
    QCOMPARE(NumberAt(ports, after.SystemLocation) == first, sameNumber);
}

void TestPortRegistry::absentDeviceKeepsItsNumber()
{
    const SerialDeviceInfo a = UsbDevice(QStringLiteral("ttyUSB0"), QStringLiteral("AAA"));
    const SerialDeviceInfo b = UsbDevice(QStringLiteral("ttyUSB0"), QStringLiteral("BBB"));
    const SerialDeviceInfo c = UsbDevice(QStringLiteral("ttyUSB1"), QStringLiteral("CCC"));
    auto registry = NewRegistry();

    m_source.devices = {a};
    QCOMPARE(Numbers(registry->EnumerateSerialPorts()), QList<int>{1});

    // A unplugged: its number is still remembered for it, so B gets the next one.
    m_source.devices = {b};
    QCOMPARE(Numbers(registry->EnumerateSerialPorts()), QList<int>{2});

    m_source.devices = {c, b};
    QCOMPARE(Numbers(registry->EnumerateSerialPorts()), (QList<int>{3, 2}));

    m_source.devices = {c, b, Renamed(a, QStringLiteral("ttyUSB2"))};
    QCOMPARE(Numbers(registry->EnumerateSerialPorts()), (QList<int>{3, 2, 1}));
}

void TestPortRegistry::clonedSerialNumbersGetTwoNumbers()
{
    m_source.devices = {UsbDevice("ttyUSB0", "A50285BI"),
                        UsbDevice("ttyUSB1", "A50285BI", "pci0000:00/usb1/1-2")};
    auto registry = NewRegistry();
    QCOMPARE(Numbers(registry->EnumerateSerialPorts()), (QList<int>{1, 2}));
    QCOMPARE(Numbers(registry->EnumerateSerialPorts()), (QList<int>{1, 2}));
}

void TestPortRegistry::comDeviceWinsRememberedNumber()
{
    auto registry = NewRegistry();
    m_source.devices = {Device(QStringLiteral("ttyUSB0"))};
    QCOMPARE(Numbers(registry->EnumerateSerialPorts()), QList<int>{1});

    // The system's COM1 cannot move, so the remembered device moves instead,
    // and the list never shows COM1 twice.
    m_source.devices = {Device(QStringLiteral("COM1")), Device(QStringLiteral("ttyUSB0"))};
    QCOMPARE(Numbers(registry->EnumerateSerialPorts()), (QList<int>{1, 2}));
    m_source.devices = {Device(QStringLiteral("ttyUSB0"))};
    QCOMPARE(Numbers(registry->EnumerateSerialPorts()), QList<int>{2});
}

void TestPortRegistry::addedDevicePath()
{
    const QString pty = Touch(QStringLiteral("pts7"));
    const QString missing = m_dir->filePath(QStringLiteral("ttyNET0"));

    m_source.devices = {Device(QStringLiteral("ttyUSB0")), Device(QStringLiteral("COM2"))};
    auto registry = NewRegistry();
    QCOMPARE(registry->AddDevicePath(pty), 3);
    QCOMPARE(registry->AddDevicePath(pty), 3);
    QCOMPARE(registry->AddDevicePath(missing), 4);
    QCOMPARE(registry->AddDevicePath(QStringLiteral("  ")), 0);

    // Only a path that exists is offered; its number is still kept for it.
    auto ports = registry->EnumerateSerialPorts();
    QCOMPARE(Numbers(ports), (QList<int>{1, 2, 3}));
    QCOMPARE(ports[2].SystemLocation, pty);
    QCOMPARE(ports[2].Description, pty);
    QVERIFY(!ports[2].Virtual);

    Touch(QStringLiteral("ttyNET0"));
    QCOMPARE(Numbers(registry->EnumerateSerialPorts()), (QList<int>{1, 2, 3, 4}));
    QCOMPARE(registry->DevicePaths(), (QStringList{pty, missing}));
}

void TestPortRegistry::addedPathOfPresentDeviceIsNotListedTwice()
{
    const QString device = Touch(QStringLiteral("ttyUSB0"));
    const QString link = m_dir->filePath(QStringLiteral("by-id-link"));
    QVERIFY(QFile::link(device, link));

    SerialDeviceInfo present = Device(QStringLiteral("ttyUSB0"));
    present.SystemLocation = device;
    m_source.devices = {Device(QStringLiteral("ttyS0")), present};
    auto registry = NewRegistry();

    QCOMPARE(registry->AddDevicePath(link), 2);
    QCOMPARE(registry->AddDevicePath(device), 2);
    QCOMPARE(Numbers(registry->EnumerateSerialPorts()), (QList<int>{1, 2}));
}

void TestPortRegistry::removedDevicePathFreesItsNumber()
{
    const QString pty = Touch(QStringLiteral("pts3"));
    auto registry = NewRegistry();
    QCOMPARE(registry->AddDevicePath(pty), 1);

    registry->RemoveDevicePath(pty);
    QVERIFY(registry->EnumerateSerialPorts().empty());
    QVERIFY(registry->DevicePaths().isEmpty());

    m_source.devices = {Device(QStringLiteral("ttyUSB0"))};
    QCOMPARE(Numbers(registry->EnumerateSerialPorts()), QList<int>{1});
}

void TestPortRegistry::virtualPortIsListed()
{
    m_source.devices = {Device(QStringLiteral("COM1"))};
    auto registry = NewRegistry();
    QCOMPARE(registry->AddVirtualPort(kSimKey, kSimName), 2);

    m_source.devices.push_back(Device(QStringLiteral("ttyUSB0")));
    auto ports = registry->EnumerateSerialPorts();
    QCOMPARE(Numbers(ports), (QList<int>{1, 3, 2}));
    QCOMPARE(ports[2].Description, kSimName);
    QCOMPARE(ports[2].SystemLocation, kSimKey);
    QVERIFY(ports[2].Virtual);

    // Switched off, it leaves the list but keeps its number for when it returns.
    registry->RemoveVirtualPort(kSimKey);
    QCOMPARE(Numbers(registry->EnumerateSerialPorts()), (QList<int>{1, 3}));
    m_source.devices.push_back(Device(QStringLiteral("ttyACM0")));
    QCOMPARE(Numbers(registry->EnumerateSerialPorts()), (QList<int>{1, 3, 4}));
    QCOMPARE(registry->AddVirtualPort(kSimKey, kSimName), 2);
}

void TestPortRegistry::numbersSurviveRestart()
{
    const QString pty = Touch(QStringLiteral("pts7"));
    const SerialDeviceInfo adapter = UsbDevice(QStringLiteral("ttyUSB0"), QStringLiteral("AAA"));
    m_source.devices = {Device(QStringLiteral("ttyS0")), adapter};
    {
        auto registry = NewRegistry();
        QCOMPARE(registry->AddVirtualPort(kSimKey, kSimName), 1);
        QCOMPARE(Numbers(registry->EnumerateSerialPorts()), (QList<int>{2, 3, 1}));
        QCOMPARE(registry->AddDevicePath(pty), 4);
    }

    // Next run: a fresh profile object on the same file, the adapter on another /dev name
    // and the serial port gone.
    ReopenProfile();
    m_source.devices = {Renamed(adapter, QStringLiteral("ttyUSB1")),
                        Device(QStringLiteral("ttyACM0"))};
    auto registry = NewRegistry();
    QCOMPARE(registry->DevicePaths(), QStringList{pty});
    QCOMPARE(Numbers(registry->EnumerateSerialPorts()), (QList<int>{3, 5, 4}));
    QCOMPARE(registry->AddVirtualPort(kSimKey, kSimName), 1);
}

void TestPortRegistry::handEditedProfileNeverGivesOneNumberTwice()
{
    const QString pty = Touch(QStringLiteral("pts1"));
    {
        QFile ini(m_dir->filePath(QStringLiteral("profile.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Communications]\n"
                  "PortNumbers\\Paths\\1\\Path=" +
                  pty.toUtf8() +
                  "\n"
                  "PortNumbers\\Paths\\1\\Number=2\n"
                  "PortNumbers\\Paths\\size=1\n"
                  "PortNumbers\\Devices\\1\\Identity=path:/dev/ttyS0\n"
                  "PortNumbers\\Devices\\1\\Number=2\n"
                  "PortNumbers\\Devices\\2\\Identity=path:/dev/ttyS1\n"
                  "PortNumbers\\Devices\\2\\Number=banana\n"
                  "PortNumbers\\Devices\\3\\Identity=\n"
                  "PortNumbers\\Devices\\3\\Number=1\n"
                  "PortNumbers\\Devices\\size=3\n");
    }
    ReopenProfile();
    m_source.devices = {Device(QStringLiteral("ttyS0")), Device(QStringLiteral("ttyS1"))};
    QCOMPARE(Numbers(NewRegistry()->EnumerateSerialPorts()), (QList<int>{1, 3, 2}));
}

void TestPortRegistry::findLooksInLastEnumeration()
{
    m_source.devices = {Device(QStringLiteral("COM5"), QStringLiteral("Onboard")),
                        Device(QStringLiteral("ttyUSB0"), QStringLiteral("FT232R"))};
    auto registry = NewRegistry();
    QVERIFY(!registry->Find(1).has_value());
    registry->EnumerateSerialPorts();

    const auto port = registry->Find(1);
    QVERIFY(port.has_value());
    QCOMPARE(port->Description, QStringLiteral("FT232R"));
    QCOMPARE(registry->SystemLocationOf(1), QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(registry->SystemLocationOf(5), QStringLiteral("COM5"));
    QVERIFY(registry->SystemLocationOf(2).isEmpty());

    // Unplugged: gone after the next enumeration.
    m_source.devices.pop_back();
    registry->EnumerateSerialPorts();
    QVERIFY(!registry->Find(1).has_value());
}

QTEST_GUILESS_MAIN(TestPortRegistry)
#include "tst_portregistry.moc"
