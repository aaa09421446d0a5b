// orvex-drive timed as a script sees it.
//
// "test --port sim" and "status --json --port sim": the whole process, from
// start to exit, against the same command run inside this process on fresh
// components (the drive's own answer time, with the simulated drive paced at
// 115200 baud); the difference is what starting a process costs, to stay
// under 150 ms.
//
// "upload" and "download" against the standalone simulator on a
// pseudo-terminal at 115200 baud: the whole process against the wire time of
// the bytes the command exchanges (counted by running it inside this process
// on a counting link), to stay within 1.25 times.
//
// Usage: bench_drivetool [runs]   (default 7)
#include "BuiltInComponents.h"
#include "ComponentFactory.h"
#include "DriveTool.h"
#include "PortHub.h"
#include "PortRegistry.h"
#include "ProgramFolders.h"
#include "SimulatedDrive.h"
#include "SimulatorTransport.h"

#include "BridgeComponents.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int Baud = 115200;
constexpr int BitsPerByte = 10; // start bit, 8 data bits, stop bit
constexpr double ProcessBudgetMs = 150.0;
constexpr double TargetRatio = 1.25;

class NoDevices final : public Orvex::ISerialDeviceSource
{
public:
    std::vector<Orvex::SerialDeviceInfo> PresentDevices() const override { return {}; }
};

// The simulated drive's link at the line speed, counting the bytes both ways.
class CountingLink final : public Orvex::ILinkTransport
{
    Q_OBJECT

public:
    explicit CountingLink(std::shared_ptr<Orvex::SimulatedDrive> drive) : m_inner(std::move(drive))
    {
        m_inner.SetBaudRate(Baud);
        connect(&m_inner, &Orvex::SimulatorTransport::Received, this,
                [this](const QByteArray& bytes) {
                    Bytes += bytes.size();
                    Q_EMIT Received(bytes);
                });
        connect(&m_inner, &Orvex::SimulatorTransport::Lost, this, &CountingLink::Lost);
    }
    bool Open() override { return m_inner.Open(); }
    void Close() override { m_inner.Close(); }
    bool IsOpen() const override { return m_inner.IsOpen(); }
    QString Error() const override { return m_inner.Error(); }
    QString Description() const override { return m_inner.Description(); }
    bool Write(const QByteArray& bytes) override
    {
        Bytes += bytes.size();
        return m_inner.Write(bytes);
    }

    static inline qint64 Bytes = 0;

private:
    Orvex::SimulatorTransport m_inner;
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QProcessEnvironment PrivateProfile(const QTemporaryDir& dir)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), dir.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    return environment;
}

// The whole orvex-drive process, start to exit, in ms; negative when it failed.
double TimeProcess(const QStringList& arguments, const QTemporaryDir& dir)
{
    QProcess process;
    process.setProcessEnvironment(PrivateProfile(dir));
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral(ORVEX_DRIVE_TOOL_PATH), arguments);
    process.waitForFinished(120000);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "orvex-drive %s failed: %s\n", qPrintable(arguments.join(' ')),
                     process.readAllStandardError().constData());
        return -1;
    }
    return ms;
}

// The same command inside this process, on fresh components as the process
// makes them; "%counting" in the arguments names the counting link's port.
double TimeInProcess(QStringList arguments, const QTemporaryDir& dir, bool counting)
{
    QSettings settings(dir.filePath(QStringLiteral("inprocess.ini")), QSettings::IniFormat);
    NoDevices devices;
    Orvex::PortRegistry ports(devices, settings);
    Orvex::ComponentFactory factory;
    QElapsedTimer timer;
    timer.start();
    Orvex::BuiltInComponents components(factory, ports, settings,
                                        QStringLiteral(ORVEX_BENCH_DATA_DIR));
    const QString key = QStringLiteral("bench:counting");
    if (counting) {
        QString error;
        std::shared_ptr<Orvex::SimulatedDrive> drive =
            Orvex::SimulatedDrive::FromFolder(QStringLiteral(ORVEX_BENCH_DATA_DIR), &error);
        components.Hub().RegisterVirtualTransport(
            key, [drive] { return std::make_unique<CountingLink>(drive); });
        const int number = ports.AddVirtualPort(key, QStringLiteral("Counting link"));
        arguments.replaceInStrings(QStringLiteral("%counting"),
                                   QStringLiteral("COM%1").arg(number));
    }
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    Orvex::ProgramFolders folders = Orvex::FindProgramFolders(
        QStringLiteral(ORVEX_BENCH_DATA_DIR), {QStringLiteral("OrvexCommandDatabase.xml")}, {});
    Orvex::CDriveTool tool(
        {factory, ports, components.Hub(), settings, folders, outStream, errStream, false});
    CountingLink::Bytes = 0;
    const int status = tool.Run(arguments);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (status != 0) {
        std::fprintf(stderr, "in-process %s failed: %s\n", qPrintable(arguments.join(' ')),
                     qPrintable(err));
        return -1;
    }
    return ms;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    QTemporaryDir dir;
    bool allMet = true;

    std::printf("orvex-drive on the simulated drive at %d baud, median of %d runs\n", Baud, runs);
    for (const QStringList& arguments :
         {QStringList{"test", "--port", "sim"}, QStringList{"status", "--json", "--port", "sim"}}) {
        std::vector<double> inside;
        std::vector<double> process;
        for (int run = 0; run < runs; ++run) {
            inside.push_back(TimeInProcess(arguments, dir, false));
            process.push_back(TimeProcess(arguments, dir));
        }
        const double answer = Median(inside);
        const double whole = Median(process);
        const bool met = answer >= 0 && whole >= 0 && whole - answer < ProcessBudgetMs;
        allMet &= met;
        std::printf("%-22s drive's answer %7.1f ms  process start to exit %7.1f ms  "
                    "beyond the answer %6.1f ms (target < %.0f)  %s\n",
                    qPrintable(arguments.mid(0, arguments.size() - 2).join(' ')), answer, whole,
                    whole - answer, ProcessBudgetMs, met ? "met" : "MISSED");
    }

    // The standalone simulator on a pseudo-terminal, paced like the drive's line.
    QProcess simulator;
    simulator.start(QStringLiteral(ORVEX_SIMULATOR_PATH),
                    {QStringLiteral("--data-dir"), QStringLiteral(ORVEX_BENCH_DATA_DIR),
                     QStringLiteral("--baud"), QString::number(Baud)});
    QByteArray banner;
    while (!banner.contains('\n') && simulator.waitForReadyRead(10000))
        banner += simulator.readAllStandardOutput();
    static const QRegularExpression pattern(
        QStringLiteral("^Orvex Drive Simulator on (/dev/\\S+)\\s*$"));
    const QString pty = pattern.match(QString::fromLocal8Bit(banner)).captured(1);
    if (pty.isEmpty()) {
        std::fprintf(stderr, "The standalone simulator did not start\n");
        return 1;
    }
    const QString file = dir.filePath(QStringLiteral("bench.kvt"));
    std::printf("orvex-drive on a pseudo-terminal at %d baud, median of %d runs\n", Baud, runs);
    for (const bool upload : {true, false}) {
        const QStringList counted = upload
                                        ? QStringList{"upload", "--port", "%counting", "-o", file}
                                        : QStringList{"download", "--port", "%counting", file};
        const double insideMs = TimeInProcess(counted, dir, true);
        if (insideMs < 0)
            return 1;
        const qint64 bytes = CountingLink::Bytes;
        const double wireMs = 1000.0 * double(bytes) * BitsPerByte / Baud;
        QStringList arguments = counted;
        arguments.replaceInStrings(QStringLiteral("%counting"), pty);
        std::vector<double> process;
        for (int run = 0; run < runs; ++run)
            process.push_back(TimeProcess(arguments, dir));
        const double whole = Median(process);
        const double ratio = whole / wireMs;
        const bool met = whole >= 0 && ratio <= TargetRatio;
        allMet &= met;
        std::printf("%-9s bytes %6lld  wire %7.1f ms  in-process %7.1f ms  process start to "
                    "exit %7.1f ms  ratio %.2f (target <= %.2f)  %s\n",
                    upload ? "upload" : "download", static_cast<long long>(bytes), wireMs, insideMs,
                    whole, ratio, TargetRatio, met ? "met" : "MISSED");
    }
    simulator.kill();
    simulator.waitForFinished();
    return allMet ? 0 : 1;
}

#include "bench_drivetool.moc"
