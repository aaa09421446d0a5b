// The drive consoles' receive path, link Read to text shown: a link on the
// port hub takes a flood of drive output in reads of 16 to 1024 bytes, and
// every DataWaiting is read and appended to a received-text box, as the
// terminal does (the box itself is drawn at most once a display frame).
// Prints the throughput against 100 times the top rate of a 115200 baud line,
// and the median cost of one read.
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

#include <algorithm>
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

    // A serial port hands over what arrived since the last read: a few bytes
    // at a time on a slow line, up to a kilobyte on a fast one.
    const double target = 100.0 * 115200.0 / 10.0 / 1e6;
    bool met = true;
    std::printf("receive path, link Read to text shown (target >= %.2f MB/s, 100 x a 115200 "
                "baud line)\n",
                target);
    for (const qsizetype read : {16, 64, 256, 1024}) {
        const qsizetype total = read * 8192;
        const QByteArray output = DriveOutput(total);
        std::vector<double> callUs;
        callUs.reserve(std::size_t(total / read));
        QElapsedTimer timer;
        timer.start();
        for (qsizetype at = 0; at < total; at += read) {
            QElapsedTimer call;
            call.start();
            transport->Push(output.mid(at, read));
            QCoreApplication::processEvents();
            callUs.push_back(static_cast<double>(call.nsecsElapsed()) / 1e3);
        }
        const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        const double mbPerSecond = static_cast<double>(total) / seconds / 1e6;
        std::sort(callUs.begin(), callUs.end());
        const double median = callUs[callUs.size() / 2];
        // At 64 bytes a read and up the terminal must keep up with the target.
        const bool enough = read < 64 || mbPerSecond >= target;
        met = met && enough;
        std::printf("  %4lld bytes a read: %6.2f MB/s %s, one read %6.1f us (median of %zu)\n",
                    static_cast<long long>(read), mbPerSecond,
                    read < 64 ? "     "
                    : enough  ? "met  "
                              : "MISSED",
                    median, callUs.size());
    }
    std::printf("  box holds %d characters\n", box.document()->characterCount());
    return appended > 0 && met ? 0 : 1;
}
