#include "PortRegistry.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(Orvex::SerialDeviceInfo)

using Orvex::PortRegistry;
using Orvex::SerialDeviceInfo;
using Devices = QList<SerialDeviceInfo>;

namespace {

// Stands in for the system's device list; tests plug and unplug by editing it.
class FakeDeviceSource final : public Orvex::ISerialDeviceSource
{
public:
    std::vector<SerialDeviceInfo> PresentDevices() const override
    {
        return {all.begin(), all.end()};
    }
    Devices all;
};

// A device the system lists: a "COMn" name is its own location, others live in /dev.
SerialDeviceInfo Device(const QString& portName, const QString& description = QString())
{
    SerialDeviceInfo info;
    info.PortName = portName;
    info.SystemLocation =
        portName.startsWith("COM", Qt::CaseInsensitive) ? portName : "/dev/" + portName;
    info.Description = description;
    return info;
}

SerialDeviceInfo UsbDevice(const QString& portName, const QString& serialNumber,
                           const QString& busLocation = "pci0000:00/usb1/1-1")
{
    SerialDeviceInfo info = Device(portName, "USB Serial");
    info.SerialNumber = serialNumber;
    info.PhysicalLocation = busLocation;
    info.HasVendorId = info.HasProductId = true;
    info.VendorId = 0x0403;
    info.ProductId = 0x6001;
    return info;
}

QList<int> Numbers(const std::vector<PortRegistry::PortEntry>& ports)
{
    QList<int> numbers;
    for (const PortRegistry::PortEntry& port : ports)
        numbers.append(port.Number);
    return numbers;
}

// A profile in a folder of its own and the system's device list.
struct Rig
{
    Rig() { ReopenProfile(); }
    void ReopenProfile()
    {
        settings = std::make_unique<QSettings>(dir.filePath("profile.ini"), QSettings::IniFormat);
    }
    std::unique_ptr<PortRegistry> Registry()
    {
        return std::make_unique<PortRegistry>(source, *settings);
    }
    QString Touch(const QString& name) const
    {
        const QString path = dir.filePath(name);
        if (!QFile(path).open(QIODevice::WriteOnly))
            qFatal("cannot create %s", qPrintable(path));
        return path;
    }
    QTemporaryDir dir;
    std::unique_ptr<QSettings> settings;
    FakeDeviceSource source;
};

const QString kSimKey = "sim:orvex";
const QString kSimName = "Orvex Drive Simulator";

} // namespace

class TestPortRegistry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void numbering_data()
    {
        // What the system lists at each enumeration, and the numbers it then shows.
        QTest::addColumn<QList<Devices>>("steps");
        QTest::addColumn<QList<QList<int>>>("numbers");
        const auto row = [](const char* name, QList<Devices> steps, QList<QList<int>> numbers) {
            QTest::newRow(name) << steps << numbers;
        };
        const SerialDeviceInfo s0 = Device("ttyS0"), usb0 = Device("ttyUSB0"),
                               usb1 = Device("ttyUSB1"), acm0 = Device("ttyACM0"),
                               com1 = Device("COM1");
        row("discovery order kept", {{s0, usb1, usb0}}, {{1, 2, 3}});
        // A COM port keeps its own number; a name that is no COM number is left out.
        row("lower case, leading zeros", {{Device("com12"), Device("COM007")}}, {{12, 7}});
        row("COM alone", {{Device("COM"), s0}}, {{1}});
        row("COM name with a letter after", {{Device("COM1a"), s0}}, {{1}});
        row("COM name with a sign", {{Device("COM+1"), s0}}, {{1}});
        row("COM name with a non-ASCII digit", {{Device(QStringLiteral("COM\u0663")), s0}}, {{1}});
        row("COM0, which means no port", {{Device("COM0"), s0}}, {{1}});
        row("COM number too big for an int", {{Device("COM99999999999"), s0}}, {{1}});
        row("gap below a COM port", {{usb0, Device("COM4"), acm0}}, {{1, 4, 2}});
        row("lowest gap", {{com1, Device("COM3"), usb0, usb1}}, {{1, 3, 2, 4}});
        row("cloned serial numbers",
            {{UsbDevice("ttyUSB0", "A5"), UsbDevice("ttyUSB1", "A5", "pci0000:00/usb1/1-2")}},
            {{1, 2}});
        // The system's COM1 cannot move, so the remembered device moves instead.
        row("COM device wins a remembered number", {{usb0}, {com1, usb0}, {usb0}},
            {{1}, {1, 2}, {2}});
        // Replugged: the number follows the serial number, else the socket, else the path.
        const SerialDeviceInfo other = UsbDevice("ttyACM0", "OTHER");
        const SerialDeviceInfo anon = UsbDevice("ttyUSB0", QString());
        const QString elsewhere = "pci0000:00/usb1/1-4";
        row("serial number, other socket and name",
            {{other, UsbDevice("ttyUSB0", "A5")}, {UsbDevice("ttyUSB3", "A5", elsewhere), other}},
            {{1, 2}, {2, 1}});
        row("no serial number, same socket",
            {{other, anon}, {UsbDevice("ttyUSB2", QString()), other}}, {{1, 2}, {2, 1}});
        row("no serial number, other socket",
            {{other, anon}, {UsbDevice("ttyUSB0", QString(), elsewhere), other}}, {{1, 2}, {3, 1}});
        row("plain port, same path", {{other, s0}, {s0, other}}, {{1, 2}, {2, 1}});
        // An absent device keeps its number, so others cannot take it.
        const SerialDeviceInfo a = UsbDevice("ttyUSB0", "AAA");
        const SerialDeviceInfo b = UsbDevice("ttyUSB0", "BBB");
        const SerialDeviceInfo c = UsbDevice("ttyUSB1", "CCC");
        row("absent device keeps its number",
            {{a}, {b}, {c, b}, {c, b, UsbDevice("ttyUSB2", "AAA")}}, {{1}, {2}, {3, 2}, {3, 2, 1}});
    }

    void numbering()
    {
        QFETCH(QList<Devices>, steps);
        QFETCH(QList<QList<int>>, numbers);
        Rig r;
        auto registry = r.Registry();
        for (qsizetype i = 0; i < steps.size(); ++i) {
            r.source.all = steps[i];
            QCOMPARE(Numbers(registry->EnumerateSerialPorts()), numbers[i]);
            QCOMPARE(Numbers(registry->EnumerateSerialPorts()), numbers[i]);
        }
    }

    void addedDevicePath()
    {
        Rig r;
        const QString tty = r.Touch("ttyUSB0");
        const QString link = r.dir.filePath("by-id-link");
        QVERIFY(QFile::link(tty, link));
        SerialDeviceInfo usb = Device("ttyUSB0");
        usb.SystemLocation = tty;
        r.source.all = {Device("ttyS0"), usb, Device("COM3")};
        auto registry = r.Registry();
        // A path to a listed device, even through a link, is that device.
        QCOMPARE(registry->AddDevicePath(link), 2);
        QCOMPARE(registry->AddDevicePath(tty), 2);
        const QString pty = r.Touch("pts7");
        const QString missing = r.dir.filePath("ttyNET0");
        QCOMPARE(registry->AddDevicePath(pty), 4);
        QCOMPARE(registry->AddDevicePath(pty), 4);
        QCOMPARE(registry->AddDevicePath(missing), 5);
        QCOMPARE(registry->AddDevicePath("  "), 0);
        QCOMPARE(registry->DevicePaths(), (QStringList{pty, missing}));
        // Only a path that exists is offered; its number is still kept for it.
        auto ports = registry->EnumerateSerialPorts();
        QCOMPARE(Numbers(ports), (QList<int>{1, 2, 3, 4}));
        QCOMPARE(ports[3].SystemLocation, pty);
        QCOMPARE(ports[3].Description, pty);
        QVERIFY(!ports[3].Virtual);
        r.Touch("ttyNET0");
        QCOMPARE(Numbers(registry->EnumerateSerialPorts()), (QList<int>{1, 2, 3, 4, 5}));
        // A removed path leaves the list and frees its number.
        registry->RemoveDevicePath(pty);
        QCOMPARE(registry->DevicePaths(), QStringList{missing});
        r.source.all.push_back(Device("ttyUSB1"));
        QCOMPARE(Numbers(registry->EnumerateSerialPorts()), (QList<int>{1, 2, 3, 4, 5}));
        QCOMPARE(registry->SystemLocationOf(4), QStringLiteral("/dev/ttyUSB1"));
    }

    void virtualPortAndRestart()
    {
        Rig r;
        const QString pty = r.Touch("pts7");
        const SerialDeviceInfo adapter = UsbDevice("ttyUSB0", "AAA");
        r.source.all = {Device("COM1"), adapter};
        {
            auto registry = r.Registry();
            QCOMPARE(registry->AddVirtualPort(kSimKey, kSimName), 2);
            QCOMPARE(registry->AddDevicePath(pty), 4);
            const auto ports = registry->EnumerateSerialPorts();
            QCOMPARE(Numbers(ports), (QList<int>{1, 3, 4, 2}));
            QCOMPARE(ports[3].Description, kSimName);
            QCOMPARE(ports[3].SystemLocation, kSimKey);
            QVERIFY(ports[3].Virtual);
            // Switched off, it leaves the list but keeps its number for when it returns.
            registry->RemoveVirtualPort(kSimKey);
            r.source.all.push_back(Device("ttyACM0"));
            QCOMPARE(Numbers(registry->EnumerateSerialPorts()), (QList<int>{1, 3, 5, 4}));
        }
        // Next run: a fresh profile object on the same file, the adapter on
        // another /dev name, the other device gone and a new one present.
        r.ReopenProfile();
        r.source.all = {Device("COM1"), UsbDevice("ttyUSB1", "AAA"), Device("ttyS0")};
        auto registry = r.Registry();
        QCOMPARE(registry->DevicePaths(), QStringList{pty});
        QCOMPARE(Numbers(registry->EnumerateSerialPorts()), (QList<int>{1, 3, 6, 4}));
        QCOMPARE(registry->AddVirtualPort(kSimKey, kSimName), 2);
    }

    void handEditedProfileNeverGivesOneNumberTwice()
    {
        Rig r;
        const QString pty = r.Touch("pts1");
        {
            QFile ini(r.dir.filePath("profile.ini"));
            QVERIFY(ini.open(QIODevice::WriteOnly));
            ini.write("[Communications]\nPortNumbers\\Paths\\1\\Path=" + pty.toUtf8() +
                      "\nPortNumbers\\Paths\\1\\Number=2\nPortNumbers\\Paths\\size=1\n"
                      "PortNumbers\\Devices\\1\\Identity=path:/dev/ttyS0\n"
                      "PortNumbers\\Devices\\1\\Number=2\n"
                      "PortNumbers\\Devices\\2\\Identity=path:/dev/ttyS1\n"
                      "PortNumbers\\Devices\\2\\Number=banana\n"
                      "PortNumbers\\Devices\\3\\Identity=\nPortNumbers\\Devices\\3\\Number=1\n"
                      "PortNumbers\\Devices\\size=3\n");
        }
        r.ReopenProfile();
        r.source.all = {Device("ttyS0"), Device("ttyS1")};
        QCOMPARE(Numbers(r.Registry()->EnumerateSerialPorts()), (QList<int>{1, 3, 2}));
    }

    void descriptionsAndLookUps()
    {
        Rig r;
        SerialDeviceInfo usb = Device("ttyUSB0", "FT232R USB UART");
        SerialDeviceInfo maker = Device("ttyUSB1");
        usb.Manufacturer = maker.Manufacturer = "FTDI";
        r.source.all = {Device("COM5", "Onboard"), usb, maker, Device("ttyS0")};
        auto registry = r.Registry();
        QVERIFY(!registry->Find(1).has_value());
        // The description falls back on the maker, then on the device path.
        QStringList descriptions;
        for (const PortRegistry::PortEntry& port : registry->EnumerateSerialPorts()) {
            descriptions << port.Description;
            QVERIFY(!port.Virtual);
        }
        QCOMPARE(descriptions, (QStringList{"Onboard", "FT232R USB UART", "FTDI", "/dev/ttyS0"}));
        // Look-ups answer from the last enumeration.
        QVERIFY(registry->Find(1).has_value());
        QCOMPARE(registry->Find(1)->Description, QStringLiteral("FT232R USB UART"));
        QCOMPARE(registry->SystemLocationOf(1), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(registry->SystemLocationOf(5), QStringLiteral("COM5"));
        QVERIFY(registry->SystemLocationOf(4).isEmpty());
        r.source.all.removeAt(1);
        registry->EnumerateSerialPorts();
        QVERIFY(!registry->Find(1).has_value());
    }
};

QTEST_GUILESS_MAIN(TestPortRegistry)
#include "tst_portregistry.moc"
