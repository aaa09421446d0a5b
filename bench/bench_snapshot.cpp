// The drive snapshot without its fixed pauses, against the standalone
// simulated drive on a pseudo-terminal paced at the drive's line speed, set
// against the time its bytes need on the wire.
//
// Usage: bench_snapshot [baud] [runs]   (defaults 115200 and 5)
#include "AppContext.h"
#include "BenchLinks.h"
#include "BridgeComponents.h"
#include "ComponentError.h"
#include "ComponentFactory.h"
#include "FakeMainWindow.h"
#include "FakeUiServices.h"
#include "LinkComponent.h"
#include "OrvexConfig.h"
#include "ParameterLimits.h"
#include "PortHub.h"
#include "PortRegistry.h"
#include "SerialTransport.h"
#include "SystemSnapshot.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int BitsPerByte = 10; // start bit, 8 data bits, stop bit
constexpr double TargetRatio = 1.25;

struct Run
{
    qint64 Bytes = 0;
    qint64 Exchanges = 0;
    double MeasuredMs = 0.0;
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int baud = arguments.size() > 1 ? arguments.at(1).toInt() : 115200;
    const int runs = arguments.size() > 2 ? std::max(1, arguments.at(2).toInt()) : 5;

    QProcess simulator;
    const QString pty = OrvexBench::StartStandaloneSimulator(simulator, baud);
    if (pty.isEmpty()) {
        std::fprintf(stderr, "The simulated drive did not start.\n");
        return 1;
    }

    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat);
    OrvexBench::NoDevices source;
    Orvex::PortRegistry registry(source, settings);
    Orvex::PortHub hub(registry);
    OrvexBench::CountingTransport* link = nullptr;
    const int port = registry.AddVirtualPort(QStringLiteral("pty"), pty);
    hub.RegisterVirtualTransport(QStringLiteral("pty"), [&link, pty] {
        auto made = std::make_unique<OrvexBench::CountingTransport>(
            std::make_unique<Orvex::SerialTransport>(pty));
        link = made.get();
        return made;
    });
    Orvex::ComponentFactory factory;
    Orvex::RegisterLinkComponent(factory, hub);
    Orvex::RegisterBridgeComponents(factory, hub);
    auto config = factory.Create<Orvex::IOrvexConfig>(QLatin1String(Orvex::ProgId::BridgeConfig));
    OrvexTest::FakeUiServices ui;
    Orvex::ParameterLimits limits;
    Orvex::AppContext context{factory, ui,      settings,
                              *config, nullptr, nullptr,
                              limits,  false,   QStringLiteral(ORVEX_BENCH_DATA_DIR)};
    OrvexTest::FakeMainWindow window;
    window.Port = port;

    // Opens the port outside the measurement.
    config->SetPortNumber(port);
    if (config->TestConnection() != -1 || link == nullptr) {
        std::fprintf(stderr, "The simulated drive does not answer on %s.\n", qPrintable(pty));
        return 1;
    }
    Orvex::SnapshotEnvironment environment;
    environment.FixedPauses = false;
    std::vector<Run> measured;
    qint64 textBytes = 0;
    for (int i = 0; i < runs; ++i) {
        link->ResetCounts();
        QElapsedTimer timer;
        timer.start();
        Orvex::SystemSnapshot snapshot(context, window, environment);
        const std::optional<QString> text = snapshot.Take();
        const double elapsed = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        if (!text) {
            std::fprintf(stderr, "The snapshot failed: %s\n",
                         ui.Messages.empty() ? "" : qPrintable(ui.Messages.back().Text));
            return 1;
        }
        textBytes = Orvex::SnapshotText::Encode(*text).size();
        measured.push_back({link->BytesOut() + link->BytesIn(), link->Lines(), elapsed});
    }
    simulator.kill();
    simulator.waitForFinished();

    std::sort(measured.begin(), measured.end(),
              [](const Run& a, const Run& b) { return a.MeasuredMs < b.MeasuredMs; });
    const Run& median = measured[measured.size() / 2];
    // Request and answer take turns on the line, so both directions count.
    const double wireMs = 1000.0 * static_cast<double>(median.Bytes) * BitsPerByte / baud;
    const double ratio = median.MeasuredMs / wireMs;
    std::printf("snapshot at %d baud on %s: %lld exchanges, %lld bytes on the wire, "
                "text %lld bytes\n",
                baud, qPrintable(pty), static_cast<long long>(median.Exchanges),
                static_cast<long long>(median.Bytes), static_cast<long long>(textBytes));
    std::printf("wire %8.1f ms  measured %8.1f ms (min %8.1f, max %8.1f)  ratio %5.2f "
                "(target %.2f)\n",
                wireMs, median.MeasuredMs, measured.front().MeasuredMs, measured.back().MeasuredMs,
                ratio, TargetRatio);
    return ratio <= TargetRatio ? 0 : 2;
}
