// The drive consoles' receive path, link Read to text shown: a link on the
// port hub takes a flood of drive output in 1 KiB reads, and every
// DataWaiting is read and appended to a received-text box, as the terminal
// does. Prints the throughput against 100 times the top rate of a 115200
// baud line, and the cost of one append early and late in the flood.
#include "LinkPortObject.h"
#include "LinkTransport.h"
#include "PortHub.h"
#include "PortRegistry.h"
#include "ReceivedText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

class NoDevices final : public Orvex::ISerialDeviceSource
{
public:
    std::vector<Orvex::SerialDeviceInfo> PresentDevices() const override { return {}; }
};

// A drive that sends whatever the benchmark pushes.
class PushedTransport final : public Orvex::ILinkTransport
{
public:
    bool Open() override { return m_open = true; }
    void Close() override { m_open = false; }
    bool IsOpen() const override { return m_open; }
    bool Write(const QByteArray&) override { return m_open; }
    QString Error() const override { return {}; }
    QString Description() const override { return QStringLiteral("bench"); }
    void Push(const QByteArray& bytes) { Q_EMIT Received(bytes); }

private:
    bool m_open = false;
};

// Drive output as a busy terminal sees it: answers, prompts, a backspace now
// and then.
QByteArray DriveOutput(qsizetype size)
{
    const QByteArray line = "P016=50.000\r\nVER=ORVEX AE-0620 OS 3.02.0017\r\n\x05S05=12.5\x08"
                            "0\r\n\x05";
    QByteArray bytes;
    while (bytes.size() < size)
        bytes += line;
    bytes.truncate(size);
    return bytes;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat);
    NoDevices devices;
    Orvex::PortRegistry registry(devices, settings);
    Orvex::PortHub hub(registry);
    PushedTransport* transport = nullptr;
    const int port = registry.AddVirtualPort(QStringLiteral("bench"), QStringLiteral("Bench"));
    hub.RegisterVirtualTransport(QStringLiteral("bench"), [&transport] {
        auto made = std::make_unique<PushedTransport>();
        transport = made.get();
        return made;
    });

    Orvex::CLinkPort link(hub);
    link.Open(port, true);
    QPlainTextEdit box;
    box.show();
    qint64 appended = 0;
    QObject::connect(&link, &Orvex::ILinkPort::DataWaiting, &box, [&] {
        const QString text = link.Read();
        appended += text.size();
        Orvex::AppendReceived(box, text);
    });

    constexpr qsizetype Total = 8 * 1024 * 1024;
    constexpr qsizetype Read = 1024;
    const QByteArray output = DriveOutput(Total);
    std::vector<double> callUs;
    QElapsedTimer timer;
    timer.start();
    for (qsizetype at = 0; at < Total; at += Read) {
        QElapsedTimer call;
        call.start();
        transport->Push(output.mid(at, Read));
        QCoreApplication::processEvents();
        callUs.push_back(static_cast<double>(call.nsecsElapsed()) / 1e3);
    }
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const double mbPerSecond = static_cast<double>(Total) / seconds / 1e6;
    const double target = 100.0 * 115200.0 / 10.0 / 1e6;
    const auto mean = [&](std::size_t from, std::size_t to) {
        double sum = 0;
        for (std::size_t i = from; i < to; ++i)
            sum += callUs[i];
        return sum / static_cast<double>(to - from);
    };
    const std::size_t n = callUs.size();
    std::printf("receive path, link Read to text shown, %lld bytes in %lld-byte reads\n",
                static_cast<long long>(Total), static_cast<long long>(Read));
    std::printf("  %.2f MB/s (target >= %.2f MB/s, 100 x a 115200 baud line) %s\n", mbPerSecond,
                target, mbPerSecond >= target ? "met" : "MISSED");
    std::printf("  one read: %.1f us in the first 1000, %.1f us in the last 1000; box holds %d "
                "characters\n",
                mean(0, 1000), mean(n - 1000, n), box.document()->characterCount());
    return appended > 0 && mbPerSecond >= target ? 0 : 1;
}
