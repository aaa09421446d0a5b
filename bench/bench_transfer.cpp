// Configuration upload and download, and the three captures, through the
// drive bridge against the simulated drive paced like the drive's serial
// line, set against the time the bytes need on the wire.
//
// Usage: bench_transfer [baud] [runs]   (defaults 115200 and 5)
#include "BenchLinks.h"
#include "BridgeComponents.h"
#include "ComponentError.h"
#include "ComponentFactory.h"
#include "OrvexConfig.h"
#include "PortHub.h"
#include "PortRegistry.h"
#include "SimulatedDrive.h"
#include "SimulatorTransport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using Orvex::SimulatedDrive;
using Orvex::SimulatorTransport;

namespace {

constexpr int BitsPerByte = 10; // start bit, 8 data bits, stop bit
constexpr double TargetRatio = 1.25;

struct Run
{
    qint64 BytesOut = 0;
    qint64 BytesIn = 0;
    qint64 Exchanges = 0;
    double MeasuredMs = 0.0;
};

struct Rig
{
    explicit Rig(int baud)
        : settings(dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat),
          registry(source, settings), hub(registry)
    {
        QString error;
        drive = SimulatedDrive::FromFolder(QStringLiteral(ORVEX_BENCH_DATA_DIR), &error);
        if (!drive) {
            std::fprintf(stderr, "No simulated drive: %s\n", qPrintable(error));
            std::exit(1);
        }
        const int port = registry.AddVirtualPort(QStringLiteral("sim"), QStringLiteral("Sim"));
        hub.RegisterVirtualTransport(QStringLiteral("sim"), [this, baud] {
            auto inner = std::make_unique<SimulatorTransport>(drive);
            inner->SetBaudRate(baud);
            auto made = std::make_unique<OrvexBench::CountingTransport>(std::move(inner));
            link = made.get();
            return made;
        });
        Orvex::RegisterBridgeComponents(factory, hub);
        config = factory.Create<Orvex::IOrvexConfig>(QLatin1String(Orvex::ProgId::BridgeConfig));
        config->SetPortNumber(port);
    }

    Run Measure(const std::function<void()>& transfer)
    {
        // Opens the port outside the measurement.
        if (config->TestConnection() != -1 || link == nullptr) {
            std::fprintf(stderr, "The simulated drive does not answer.\n");
            std::exit(1);
        }
        link->ResetCounts();
        QElapsedTimer timer;
        timer.start();
        transfer();
        Run run;
        run.MeasuredMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        run.BytesOut = link->BytesOut();
        run.BytesIn = link->BytesIn();
        run.Exchanges = link->Lines();
        return run;
    }

    QTemporaryDir dir;
    QSettings settings;
    OrvexBench::NoDevices source;
    Orvex::PortRegistry registry;
    Orvex::PortHub hub;
    Orvex::ComponentFactory factory;
    std::shared_ptr<SimulatedDrive> drive;
    OrvexBench::CountingTransport* link = nullptr;
    std::unique_ptr<Orvex::IOrvexConfig> config;
};

// Prints one transfer's figures (the median run by measured time); answers
// the ratio.
double Report(const char* name, std::vector<Run> runs, int baud)
{
    std::sort(runs.begin(), runs.end(),
              [](const Run& a, const Run& b) { return a.MeasuredMs < b.MeasuredMs; });
    const Run& median = runs[runs.size() / 2];
    const qint64 bytes = median.BytesOut + median.BytesIn;
    // Request and answer take turns on the line, so both directions count.
    const double wireMs = baud > 0 ? 1000.0 * static_cast<double>(bytes) * BitsPerByte / baud : 0;
    const double ratio = wireMs > 0 ? median.MeasuredMs / wireMs : 0.0;
    const double overheadUs = median.Exchanges > 0 ? 1000.0 * (median.MeasuredMs - wireMs) /
                                                         static_cast<double>(median.Exchanges)
                                                   : 0.0;
    std::printf(
        "%-9s exchanges %4lld  bytes out %5lld  in %5lld  total %5lld  wire %8.1f ms  "
        "measured %8.1f ms (min %8.1f, max %8.1f)  ratio %5.2f  overhead %7.1f us/exchange\n",
        name, static_cast<long long>(median.Exchanges), static_cast<long long>(median.BytesOut),
        static_cast<long long>(median.BytesIn), static_cast<long long>(bytes), wireMs,
        median.MeasuredMs, runs.front().MeasuredMs, runs.back().MeasuredMs, ratio, overheadUs);
    return ratio;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int baud = arguments.size() > 1 ? arguments.at(1).toInt() : 115200;
    const int runs = arguments.size() > 2 ? std::max(1, arguments.at(2).toInt()) : 5;

    Rig rig(baud);
    std::vector<Run> uploads;
    std::vector<Run> downloads;
    try {
        for (int i = 0; i < runs; ++i) {
            downloads.push_back(
                rig.Measure([&] { rig.config->StoreConfiguration(true, QString()); }));
            uploads.push_back(rig.Measure([&] { rig.config->LoadConfiguration(QString()); }));
        }
    } catch (const Orvex::ComponentError& error) {
        std::fprintf(stderr, "Transfer failed: %s\n", qPrintable(error.Description()));
        return 1;
    }

    // Each capture in the control mode it needs, the drive configured and
    // enabled; the measurement covers the gains sent first and the samples.
    struct Capture
    {
        const char* Name;
        int ControlMode;
        std::function<void()> Run;
    };
    Orvex::IOrvexConfig& config = *rig.config;
    const std::vector<Capture> captures{
        {"current", 2, [&] { config.CaptureCurrentStep(2.0f, 10, 20000); }},
        {"velocity", 4, [&] { config.CaptureVelocityStep(1000.0f, 10.0f, 10, 20000); }},
        {"position", 6, [&] { config.CapturePositionStep(4000, 20000); }},
    };
    std::vector<std::vector<Run>> captureRuns(captures.size());
    try {
        for (std::size_t c = 0; c < captures.size(); ++c) {
            config.SetDriveEnable(false);
            config.SetControlMode(captures[c].ControlMode);
            config.StoreConfiguration(true, QString());
            config.SetDriveEnable(true);
            for (int i = 0; i < runs; ++i)
                captureRuns[c].push_back(rig.Measure(captures[c].Run));
        }
        config.SetDriveEnable(false);
    } catch (const Orvex::ComponentError& error) {
        std::fprintf(stderr, "Capture failed: %s\n", qPrintable(error.Description()));
        return 1;
    }

    std::printf("Drive transfers at %d baud, %d bits a byte, median of %d runs\n", baud,
                BitsPerByte, runs);
    bool met = true;
    const auto check = [&](const char* name, const std::vector<Run>& measured) {
        const double ratio = Report(name, measured, baud);
        met = met && ratio <= TargetRatio;
    };
    check("upload", uploads);
    check("download", downloads);
    for (std::size_t c = 0; c < captures.size(); ++c)
        check(captures[c].Name, captureRuns[c]);
    if (baud > 0)
        std::printf("target ratio <= %.2f: %s\n", TargetRatio, met ? "met" : "MISSED");
    return met || baud == 0 ? 0 : 1;
}
