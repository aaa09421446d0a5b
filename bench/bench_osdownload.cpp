// The operating system download of the shipped image through the drive
// bridge, over a pseudo-terminal to the standalone simulated drive paced like
// the drive's serial line, set against the time its bytes need on the wire.
//
// Usage: bench_osdownload [baud] [runs]   (defaults 115200 and 3)
#include "BenchLinks.h"
#include "BridgeComponents.h"
#include "ComponentError.h"
#include "ComponentFactory.h"
#include "OrvexConfig.h"
#include "PortHub.h"
#include "PortRegistry.h"
#include "SerialTransport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int BitsPerByte = 10; // start bit, 8 data bits, stop bit
constexpr double TargetRatio = 1.15;
constexpr int DownloadTimeoutMs = 120000;

struct Run
{
    qint64 BytesOut = 0;
    qint64 BytesIn = 0;
    qint64 Lines = 0;
    double MeasuredMs = 0.0;
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int baud = arguments.size() > 1 ? arguments.at(1).toInt() : 115200;
    const int runs = arguments.size() > 2 ? std::max(1, arguments.at(2).toInt()) : 3;
    const QString image = QStringLiteral(ORVEX_BENCH_DATA_DIR "/OrvexOS-3.02.0018.ops");

    QProcess simulator;
    const QString device = OrvexBench::StartStandaloneSimulator(simulator, baud);
    if (device.isEmpty()) {
        std::fprintf(stderr, "The standalone simulated drive did not start.\n");
        return 1;
    }

    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat);
    OrvexBench::NoDevices source;
    Orvex::PortRegistry registry(source, settings);
    Orvex::PortHub hub(registry);
    Orvex::ComponentFactory factory;
    OrvexBench::CountingTransport* link = nullptr;
    const int port = registry.AddVirtualPort(QStringLiteral("pty"), device);
    // The device's own transport, wrapped so that its bytes are counted.
    hub.RegisterVirtualTransport(QStringLiteral("pty"), [&link, device] {
        auto made = std::make_unique<OrvexBench::CountingTransport>(
            std::make_unique<Orvex::SerialTransport>(device));
        link = made.get();
        return made;
    });
    Orvex::RegisterBridgeComponents(factory, hub);
    auto config = factory.Create<Orvex::IOrvexConfig>(QLatin1String(Orvex::ProgId::BridgeConfig));
    config->SetPortNumber(port);

    std::vector<Run> measured;
    try {
        for (int i = 0; i < runs; ++i) {
            // Opens the port outside the measurement.
            if (config->TestConnection() != -1 || link == nullptr) {
                std::fprintf(stderr, "The simulated drive does not answer on %s.\n",
                             qPrintable(device));
                return 1;
            }
            link->ResetCounts();
            QElapsedTimer timer;
            timer.start();
            config->StartOsDownload(image);
            int total = 0;
            int done = 0;
            int status = config->GetOsDownloadProgress(total, done);
            // The download runs on the event loop; its end is seen within a
            // millisecond.
            QEventLoop loop;
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
                status = config->GetOsDownloadProgress(total, done);
                if (status != 1 || timer.elapsed() > DownloadTimeoutMs)
                    loop.quit();
            });
            poll.start(1);
            loop.exec();
            Run run;
            run.MeasuredMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
            run.BytesOut = link->BytesOut();
            run.BytesIn = link->BytesIn();
            run.Lines = link->Lines();
            config->AbortOsDownload();
            if (status != 2) {
                std::fprintf(stderr, "The download ended with status %d.\n", status);
                return 1;
            }
            measured.push_back(run);
        }
    } catch (const Orvex::ComponentError& error) {
        std::fprintf(stderr, "Download failed: %s\n", qPrintable(error.Description()));
        return 1;
    }
    simulator.kill();
    simulator.waitForFinished();

    std::sort(measured.begin(), measured.end(),
              [](const Run& a, const Run& b) { return a.MeasuredMs < b.MeasuredMs; });
    const Run& median = measured[measured.size() / 2];
    const qint64 bytes = median.BytesOut + median.BytesIn;
    // Request and answer take turns on the line, so both directions count.
    const double wireMs = 1000.0 * static_cast<double>(bytes) * BitsPerByte / baud;
    const double ratio = median.MeasuredMs / wireMs;
    std::printf("OS download of %s at %d baud over %s (median of %d runs)\n",
                qPrintable(image.section(u'/', -1)), baud, qPrintable(device), runs);
    std::printf("lines %lld  bytes out %lld  in %lld  total %lld  wire %.1f ms  measured %.1f ms "
                "(min %.1f, max %.1f)  ratio %.3f (target at most %.2f)\n",
                static_cast<long long>(median.Lines), static_cast<long long>(median.BytesOut),
                static_cast<long long>(median.BytesIn), static_cast<long long>(bytes), wireMs,
                median.MeasuredMs, measured.front().MeasuredMs, measured.back().MeasuredMs, ratio,
                TargetRatio);
    return ratio <= TargetRatio ? 0 : 1;
}
