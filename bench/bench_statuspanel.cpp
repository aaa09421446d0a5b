// The bit status page's automatic update on the simulated drive, put together
// as the page tests do (main window, port list on the simulator's port, the
// drive holding two latched error bits), with the page shown offscreen.
//
// - CPU: "Start Auto Update", then the page's own one-second timer runs in
//   the event loop for ORVEX_BENCH_SECONDS (default 60) of wall time; the
//   process CPU time (user + system) over that window, after the first tick,
//   as a share of one core. Target: at most 1 %.
// - Memory: 10,000 update steps called directly after 2,000 warm-up steps,
//   the event loop turning once between them as it does between timer
//   ticks; the resident set and the heap in use after the warm-up and at
//   the end. Targets: resident growth under 1 MiB, heap growth under 256 KiB.
//
// The simulator's link stays paced at the drive's 115200 baud, as the
// program builds it, so every step waits for its answers as on a cable.

#include "BitStatusPanelDlg.h"
#include "BitStatusTable.h"
#include "CommunicationsGroup.h"
#include "OrvexSupportToolDlg.h"
#include "SimulatedDrive.h"
#include "SimulatedProgram.h"
#include "StatusGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <malloc.h>
#include <sys/resource.h>

#include <cstdio>
#include <functional>
#include <memory>

using namespace Orvex;

namespace {

constexpr int kDefaultSeconds = 60;
constexpr double kCpuTargetPercent = 1.0;
// Steps measured, after the warm-up. The terminal page's link shares the port
// and its hidden box shows the status traffic too, filling to its 16,384
// character cap in about a thousand steps; the warm-up lets it get there.
constexpr int kWarmUpTicks = 2'000;
constexpr int kTicks = kWarmUpTicks + 10'000;
constexpr qint64 kGrowthLimitKiB = 1024;
// The page's own data is fixed in size and what one update allocates is freed
// before the next; the terminal's capped box moves by about 170 KiB as it
// drops its oldest text. A leak of 26 bytes a step would pass this.
constexpr qint64 kHeapGrowthLimitKiB = 256;
constexpr int kTrendSteps = 1000;
// Every update step asks the drive for ERRS and OUTS.
constexpr int kCommandsPerTick = 2;
// The error bits the drive holds latched.
constexpr int kFaultBit = 28;   // Bridge Temperature Fault
constexpr int kWarningBit = 41; // Power Regeneration Warning

// The program on the simulated drive with a bit status page made on its
// context and main window, as tst_bitstatus builds it.
struct Program : OrvexTest::SimulatedProgram
{
    Program()
        : SimulatedProgram(QStringLiteral(ORVEX_BENCH_DATA_DIR)), window(context, ports, nullptr)
    {
        window.OnInitDialog();
        page = std::make_unique<CBitStatusPanelDlg>(context, window);
    }

    Orvex::SimulatedDrive& Drive() const { return *components.Drive(); }
    CStatusGrid& Grid() const { return *page->Grid(); }

    // Picks the simulator's port in the window's port list, as a user would.
    bool SelectSimulatorPort()
    {
        auto* list = window.findChild<QComboBox*>(QStringLiteral("portList"));
        const int index = list ? list->findText(QStringLiteral("COM%1").arg(SimulatorPort())) : -1;
        if (index < 0)
            return false;
        list->setCurrentIndex(index);
        window.Communications().ApplyPortSelection();
        return window.SelectedPort() == SimulatorPort();
    }

    // Rows whose status cell does not show what the drive reports.
    int RowsDifferingFromDrive() const
    {
        const quint64 bits = Drive().ErrorBits();
        int differing = 0;
        for (int row = 0; row < 64; ++row) {
            const Orvex::BitStatusLook look = Orvex::BitLook(
                Orvex::BitStatusTable[static_cast<size_t>(row)].Category, (bits >> row) & 1u);
            if (Grid().CellText(row, 1) != look.Text ||
                Grid().CellBackground(row, 1) != look.Background)
                ++differing;
        }
        if (Grid().CellText(Orvex::DriveFaultOutputRow, 1) !=
            Orvex::OutputLook(Drive().FaultOutput()).Text)
            ++differing;
        if (Grid().CellText(Orvex::BrakeRelayRow, 1) !=
            Orvex::OutputLook(Drive().BrakeRelayEnergized()).Text)
            ++differing;
        return differing;
    }

    COrvexSupportToolDlg window;
    std::unique_ptr<CBitStatusPanelDlg> page;
};

// Process CPU time, all threads, user and system, in seconds.
struct CpuTime
{
    double User = 0;
    double System = 0;
};

CpuTime ProcessCpuTime()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return {seconds(usage.ru_utime), seconds(usage.ru_stime)};
}

// The resident set from /proc/self/status in KiB: all of it (VmRSS), and its
// anonymous (heap, stacks) and file-backed (code pages) parts; -1 for what
// cannot be read. Read with stdio: the file reports a size of 0, which QFile
// takes for its end.
struct Resident
{
    qint64 Total = -1;
    qint64 Anonymous = -1;
    qint64 File = -1;
};

Resident ResidentKiB()
{
    Resident resident;
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return resident;
    char line[256];
    while (std::fgets(line, sizeof line, status)) {
        long long value = 0;
        if (std::sscanf(line, "VmRSS: %lld kB", &value) == 1)
            resident.Total = value;
        else if (std::sscanf(line, "RssAnon: %lld kB", &value) == 1)
            resident.Anonymous = value;
        else if (std::sscanf(line, "RssFile: %lld kB", &value) == 1)
            resident.File = value;
    }
    std::fclose(status);
    return resident;
}

// What the program holds from the allocator right now, in KiB: a steady
// leak shows here even while the resident set only grows in allocator-sized
// steps.
qint64 HeapInUseKiB()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<qint64>((info.uordblks + info.hblkhd) / 1024);
}

// Runs the event loop until done() holds or timeoutMs passed; answers done().
bool WaitFor(const std::function<bool()>& done, int timeoutMs)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start(5);
    if (!done())
        loop.exec();
    return done();
}

// Runs the event loop for milliseconds of wall time.
void RunEventLoopFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

int BenchSeconds()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("ORVEX_BENCH_SECONDS", &ok);
    return ok && seconds > 0 ? seconds : kDefaultSeconds;
}

bool Check(bool condition, const char* what)
{
    if (!condition)
        std::printf("  FAILED: %s\n", what);
    return condition;
}

// The CPU figure: the page's own timer for `seconds`; true when every target
// and check held.
bool MeasureCpu(Program& p, int seconds)
{
    std::printf("auto update at 1 Hz, page's own timer in the event loop for %d s of wall time\n",
                seconds);
    // The first timer tick, then the window starts.
    const int beforeFirst = p.Drive().CommandsReceived();
    if (!Check(
            WaitFor([&] { return p.Drive().CommandsReceived() >= beforeFirst + kCommandsPerTick; },
                    3000),
            "the page's timer ticked within 3 s of starting"))
        return false;

    // Start half way between two ticks, so that the window holds a whole
    // number of them whatever the timer's jitter.
    RunEventLoopFor(500);
    // Blank the latched bits' cells: only a refresh inside the window can
    // write them again.
    p.Grid().SetCellText(kFaultBit, 1, QString());
    p.Grid().SetCellText(kWarningBit, 1, QString());

    const int commandsBefore = p.Drive().CommandsReceived();
    const CpuTime cpuBefore = ProcessCpuTime();
    QElapsedTimer wall;
    wall.start();
    RunEventLoopFor(seconds * 1000);
    const CpuTime cpuAfter = ProcessCpuTime();
    const double wallSeconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    const int commands = p.Drive().CommandsReceived() - commandsBefore;

    const double user = cpuAfter.User - cpuBefore.User;
    const double system = cpuAfter.System - cpuBefore.System;
    const double percent = (user + system) / wallSeconds * 100.0;
    const int ticks = commands / kCommandsPerTick;
    const bool cpuMet = percent <= kCpuTargetPercent;
    std::printf("  CPU: %.3f %% of one core (target <= %.1f %%) %s\n", percent, kCpuTargetPercent,
                cpuMet ? "met" : "MISSED");
    std::printf("    %.3f s user + %.3f s system over %.3f s of wall time\n", user, system,
                wallSeconds);
    std::printf("  ticks seen: %d (%d drive commands; expected about %d)\n", ticks, commands,
                seconds);

    const QString fault = p.Grid().CellText(kFaultBit, 1);
    const QString warning = p.Grid().CellText(kWarningBit, 1);
    const int differing = p.RowsDifferingFromDrive();
    std::printf("  grid after the window: E%d reads \"%s\", E%d reads \"%s\"; %d of %d rows differ "
                "from the drive\n",
                kFaultBit, qPrintable(fault), kWarningBit, qPrintable(warning), differing,
                Orvex::BitStatusRowCount);

    bool ok = cpuMet;
    ok = Check(ticks >= seconds - 1 && ticks <= seconds + 1, "one tick a second") && ok;
    ok = Check(fault == QLatin1String("Operational Fault") &&
                   warning == QLatin1String("Operational Warning") && differing == 0,
               "the timer refreshed the grid from the drive") &&
         ok;
    ok = Check(p.page->IsAutoUpdating() && p.page->IsTimerRunning(), "auto update still running") &&
         ok;
    return ok;
}

// The memory figure: kTicks update steps called directly; true when every
// target and check held.
bool MeasureMemory(Program& p)
{
    std::printf("memory over %d update steps after %d warm-up steps (OnTimerTick called directly, "
                "event loop turned once between calls; link paced at 115200 baud as the program "
                "builds it)\n",
                kTicks - kWarmUpTicks, kWarmUpTicks);
    const auto tick = [&p] {
        p.page->OnTimerTick();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };

    const int commandsBefore = p.Drive().CommandsReceived();
    QElapsedTimer elapsed;
    elapsed.start();
    for (int i = 0; i < kWarmUpTicks; ++i)
        tick();
    const Resident warm = ResidentKiB();
    const qint64 warmHeap = HeapInUseKiB();
    // The growth along the way tells a steady leak from a settling heap.
    QString trend;
    for (int i = kWarmUpTicks; i < kTicks; ++i) {
        tick();
        if ((i + 1) % kTrendSteps == 0)
            trend += QStringLiteral(" %1/%2")
                         .arg(ResidentKiB().Total - warm.Total)
                         .arg(HeapInUseKiB() - warmHeap);
    }
    const Resident end = ResidentKiB();
    const qint64 heapGrowth = HeapInUseKiB() - warmHeap;
    const double seconds = static_cast<double>(elapsed.nsecsElapsed()) / 1e9;
    const int uploads = (p.Drive().CommandsReceived() - commandsBefore) / kCommandsPerTick;

    const qint64 growth = end.Total - warm.Total;
    const bool memoryMet = warm.Total > 0 && end.Total > 0 && growth < kGrowthLimitKiB;
    std::printf("  VmRSS after %d warm-up steps: %lld KiB; after %d steps: %lld KiB\n",
                kWarmUpTicks, static_cast<long long>(warm.Total), kTicks,
                static_cast<long long>(end.Total));
    std::printf("  growth: %lld KiB over %d steps (target < %lld KiB = 1 MiB) %s\n",
                static_cast<long long>(growth), kTicks - kWarmUpTicks,
                static_cast<long long>(kGrowthLimitKiB), memoryMet ? "met" : "MISSED");
    std::printf("    of which anonymous (heap, stacks) %+lld KiB, file-backed (code pages) %+lld "
                "KiB\n",
                static_cast<long long>(end.Anonymous - warm.Anonymous),
                static_cast<long long>(end.File - warm.File));
    const bool heapMet = heapGrowth < kHeapGrowthLimitKiB;
    std::printf("  heap in use: %+lld KiB over the same steps (target < %lld KiB) %s\n",
                static_cast<long long>(heapGrowth), static_cast<long long>(kHeapGrowthLimitKiB),
                heapMet ? "met" : "MISSED");
    std::printf("    resident/heap growth since the warm-up at every %d steps, KiB:%s\n",
                kTrendSteps, qPrintable(trend));
    std::printf("  %d steps in %.1f s, %.2f ms a step; %d status uploads reached the drive\n",
                kTicks, seconds, seconds * 1e3 / kTicks, uploads);

    bool ok = memoryMet && heapMet;
    ok = Check(uploads >= kTicks, "every step uploaded the status") && ok;
    ok = Check(p.ui.Messages.empty() && p.page->IsAutoUpdating(),
               "no error message and auto update still running") &&
         ok;
    ok = Check(p.RowsDifferingFromDrive() == 0, "the grid matches the drive") && ok;
    return ok;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    Program p;
    if (!p.SelectSimulatorPort()) {
        std::fprintf(stderr, "the simulated drive's port is not in the port list\n");
        return 1;
    }
    if (!p.components.Drive() || !p.Drive().LatchFault(kFaultBit) ||
        !p.Drive().LatchFault(kWarningBit)) {
        std::fprintf(stderr, "the simulated drive could not latch E%d and E%d\n", kFaultBit,
                     kWarningBit);
        return 1;
    }
    p.page->resize(460, 640);
    p.page->show();
    p.page->ToggleAutoUpdate();
    if (!p.page->IsAutoUpdating() || !p.page->IsTimerRunning() || !p.ui.Messages.empty()) {
        std::fprintf(stderr, "auto update did not start%s%s\n", p.ui.Messages.empty() ? "" : ": ",
                     p.ui.Messages.empty() ? "" : qPrintable(p.ui.Messages.front().Text));
        return 1;
    }

    std::printf("bit status page on the simulated drive (COM%d), E%d and E%d latched, page shown "
                "offscreen\n",
                p.window.SelectedPort(), kFaultBit, kWarningBit);
    bool ok = MeasureCpu(p, BenchSeconds());
    ok = MeasureMemory(p) && ok;
    p.page->StopAutoUpdate();
    return ok ? 0 : 1;
}
