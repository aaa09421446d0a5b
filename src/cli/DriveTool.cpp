#include "DriveTool.h"

#include "BitStatusTable.h"
#include "BuiltInComponents.h"
#include "CommandDatabase.h"
#include "ComponentError.h"
#include "ComponentFactory.h"
#include "ConnectionResult.h"
#include "NumericStatusTable.h"
#include "OrvexConfig.h"
#include "OrvexStatus.h"
#include "PortHub.h"
#include "PortRegistry.h"
#include "ProgramInfo.h"
#include "SnapshotText.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSettings>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>

#include <csignal>
#include <memory>
#include <variant>

#include <fcntl.h>
#include <unistd.h>

namespace Orvex {

namespace {

// The options each command takes; which one a command allows is in its row.
enum OptionBit : unsigned
{
    PortOption = 1,
    OutputOption = 2,
    JsonOption = 4,
    LinearOption = 8,
    ClearFaultOption = 16,
};

struct CommandInfo
{
    const char* Name;
    const char* Arguments; // shown after the name in the usage line
    const char* Summary;
    unsigned Allowed;
    bool TakesFile;
};

constexpr CommandInfo kCommands[] = {
    {"ports", "", "List the serial ports with their numbers, device paths and descriptions.", 0,
     false},
    {"test", "--port PORT", "Run the connection test and print its result.", PortOption, false},
    {"upload", "--port PORT -o FILE.kvt",
     "Read the drive's configuration and write it to a configuration file.",
     PortOption | OutputOption, false},
    {"download", "--port PORT FILE.kvt",
     "Read a configuration file and write it to the drive, which saves it.", PortOption, true},
    {"status", "--port PORT [--json] [--linear]",
     "Print the drive's bit status and numeric status.", PortOption | JsonOption | LinearOption,
     false},
    {"os-download", "--port PORT FILE.ops",
     "Download an operating system file to the drive, showing the progress.", PortOption, true},
    {"factory-restore", "--port PORT",
     "Return the drive to its factory settings and wait until it is back.", PortOption, false},
    {"reset", "--port PORT [--clear-fault]", "Reset the drive and wait until it is back.",
     PortOption | ClearFaultOption, false},
    {"snapshot", "--port PORT -o FILE.txt",
     "Write a drive snapshot for technical support: versions, configuration and status.",
     PortOption | OutputOption, false},
};

const char kOptionsHelp[] =
    "Options:\n"
    "  -p, --port PORT    the drive's port: COMn or its number as the port list shows it,\n"
    "                     a device path such as /dev/ttyUSB0, or sim for the built-in\n"
    "                     simulated drive; without it, the port last chosen in the program\n"
    "  -o, --output FILE  the file to write\n"
    "  --json             the status as one JSON object\n"
    "  --linear           status descriptions in the units of a linear motor\n"
    "  --clear-fault      clear the drive's fault while resetting it\n"
    "  -h, --help         show the help of a command\n";

const QString kSimulatorPortName = QStringLiteral("sim");

// Ctrl+C or a terminate request during an operating system download: the
// handler only writes to a pipe, which the event loop reads.
int g_interruptPipe[2] = {-1, -1};

extern "C" void NoteInterrupt(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_interruptPipe[1], &byte, 1);
}

// Catches SIGINT and SIGTERM while it lives, so the download can be stopped
// cleanly rather than cut off; the previous handlers return afterwards.
class InterruptCatcher
{
public:
    InterruptCatcher()
    {
        if (::pipe2(g_interruptPipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        struct sigaction action = {};
        action.sa_handler = NoteInterrupt;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, &m_oldInt);
        ::sigaction(SIGTERM, &action, &m_oldTerm);
        m_active = true;
    }
    ~InterruptCatcher()
    {
        if (!m_active)
            return;
        ::sigaction(SIGINT, &m_oldInt, nullptr);
        ::sigaction(SIGTERM, &m_oldTerm, nullptr);
        ::close(g_interruptPipe[0]);
        ::close(g_interruptPipe[1]);
        g_interruptPipe[0] = g_interruptPipe[1] = -1;
    }
    InterruptCatcher(const InterruptCatcher&) = delete;
    InterruptCatcher& operator=(const InterruptCatcher&) = delete;
    int ReadEnd() const { return m_active ? g_interruptPipe[0] : -1; }

private:
    bool m_active = false;
    struct sigaction m_oldInt = {};
    struct sigaction m_oldTerm = {};
};

const CommandInfo* FindCommand(const QString& name)
{
    for (const CommandInfo& command : kCommands) {
        if (name == QLatin1String(command.Name))
            return &command;
    }
    return nullptr;
}

QString GeneralHelp()
{
    QString text = QStringLiteral("Usage: orvex-drive COMMAND [OPTIONS]\n\n"
                                  "The drive actions of the Orvex Support Tool for scripts.\n\n"
                                  "Commands:\n");
    for (const CommandInfo& command : kCommands)
        text += QStringLiteral("  %1%2\n")
                    .arg(QLatin1String(command.Name), -17)
                    .arg(QLatin1String(command.Summary));
    text += QStringLiteral(
        "\n'orvex-drive COMMAND --help' tells more about a command.\n\n"
        "Exit status: 0 done; 1 the drive refused or did not finish the action; 2 a wrong "
        "command line;\n3 a file that cannot be read or written; 11 to 16 the connection "
        "test's failures 1 to 6;\n17 any other connection test answer.\n");
    return text;
}

QString CommandHelp(const CommandInfo& command)
{
    QString text = QStringLiteral("Usage: orvex-drive %1 %2")
                       .arg(QLatin1String(command.Name), QLatin1String(command.Arguments))
                       .trimmed() +
                   QStringLiteral("\n\n%1\n").arg(QLatin1String(command.Summary));
    if (command.Allowed != 0)
        text += QLatin1Char('\n') + QLatin1String(kOptionsHelp);
    return text;
}

// A progress bar of the terminal's line: "[####......]  40%  13107 of 32768 bytes".
QString ProgressBar(int done, int total)
{
    constexpr int width = 30;
    const int percent = total > 0 ? int(qint64(done) * 100 / total) : 0;
    const int filled = percent * width / 100;
    return QStringLiteral("\r[%1%2] %3%  %4 of %5 bytes")
        .arg(QString(filled, QLatin1Char('#')), QString(width - filled, QLatin1Char('.')))
        .arg(percent, 3)
        .arg(done)
        .arg(total);
}

} // namespace

struct CDriveTool::Options
{
    const CommandInfo* Command = nullptr;
    QString Port;
    int PortNumber = 0; // the port the command works on, once resolved
    QString Output;
    QString File;
    bool Json = false;
    bool Linear = false;
    bool ClearFault = false;
    bool Help = false;
};

CDriveTool::CDriveTool(Environment environment) : m_env(std::move(environment)) {}

int CDriveTool::Run(const QStringList& arguments)
{
    if (arguments.isEmpty() || arguments.first() == QLatin1String("--help") ||
        arguments.first() == QLatin1String("-h") || arguments.first() == QLatin1String("help")) {
        (arguments.isEmpty() ? m_env.Err : m_env.Out) << GeneralHelp();
        return arguments.isEmpty() ? ExitUsage : ExitOk;
    }
    Options options;
    options.Command = FindCommand(arguments.first());
    if (!options.Command) {
        m_env.Err << QStringLiteral("orvex-drive: unknown command '%1'; 'orvex-drive --help' "
                                    "lists the commands.\n")
                         .arg(arguments.first());
        return ExitUsage;
    }
    const CommandInfo& command = *options.Command;
    const auto usageError = [&](const QString& why) {
        m_env.Err << QStringLiteral("orvex-drive %1: %2\n").arg(QLatin1String(command.Name), why)
                  << QStringLiteral("Usage: orvex-drive %1 %2\n")
                         .arg(QLatin1String(command.Name), QLatin1String(command.Arguments));
        return ExitUsage;
    };

    QStringList positional;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString name = arguments.at(i);
        QString value;
        bool hasValue = false;
        if (name.startsWith(QLatin1String("--")) && name.contains(QLatin1Char('='))) {
            value = name.section(QLatin1Char('='), 1);
            name = name.section(QLatin1Char('='), 0, 0);
            hasValue = true;
        }
        const auto takeValue = [&](unsigned bit, QString& into) {
            if (!(command.Allowed & bit))
                return false;
            if (!hasValue) {
                if (i + 1 >= arguments.size())
                    return false;
                value = arguments.at(++i);
            }
            into = value;
            return !into.isEmpty();
        };
        const auto takeFlag = [&](unsigned bit, bool& into) {
            into = true;
            return (command.Allowed & bit) && !hasValue;
        };
        bool ok = true;
        if (name == QLatin1String("-h") || name == QLatin1String("--help"))
            options.Help = true;
        else if (name == QLatin1String("-p") || name == QLatin1String("--port"))
            ok = takeValue(PortOption, options.Port);
        else if (name == QLatin1String("-o") || name == QLatin1String("--output"))
            ok = takeValue(OutputOption, options.Output);
        else if (name == QLatin1String("--json"))
            ok = takeFlag(JsonOption, options.Json);
        else if (name == QLatin1String("--linear"))
            ok = takeFlag(LinearOption, options.Linear);
        else if (name == QLatin1String("--clear-fault"))
            ok = takeFlag(ClearFaultOption, options.ClearFault);
        else if (name.startsWith(QLatin1Char('-')) && name.size() > 1)
            return usageError(QStringLiteral("unknown option '%1'").arg(name));
        else
            positional << name;
        if (!ok)
            return usageError(QStringLiteral("wrong use of option '%1'").arg(name));
    }
    if (options.Help) {
        m_env.Out << CommandHelp(command);
        return ExitOk;
    }
    if (positional.size() != (command.TakesFile ? 1 : 0))
        return usageError(
            command.TakesFile
                ? QStringLiteral("one file name expected")
                : QStringLiteral("unexpected argument '%1'").arg(positional.value(0)));
    if (command.TakesFile)
        options.File = positional.first();
    if ((command.Allowed & OutputOption) && options.Output.isEmpty())
        return usageError(QStringLiteral("the file to write is missing (-o FILE)"));

    int status = ExitFailed;
    const QString name = QLatin1String(command.Name);
    try {
        // The port is resolved once, before the command makes its drive objects.
        if (command.Allowed & PortOption)
            options.PortNumber = ResolvePort(options);
        if ((command.Allowed & PortOption) && options.PortNumber == 0)
            status = ExitUsage;
        else if (name == QLatin1String("ports"))
            status = Ports();
        else if (name == QLatin1String("test"))
            status = Test(options);
        else if (name == QLatin1String("upload"))
            status = Upload(options);
        else if (name == QLatin1String("download"))
            status = Download(options);
        else if (name == QLatin1String("status"))
            status = Status(options);
        else if (name == QLatin1String("os-download"))
            status = OsDownload(options);
        else if (name == QLatin1String("factory-restore"))
            status = FactoryRestore(options);
        else if (name == QLatin1String("reset"))
            status = Reset(options);
        else if (name == QLatin1String("snapshot"))
            status = Snapshot(options);
    } catch (const ComponentError& error) {
        m_env.Err << error.Description() << '\n';
        status = ExitFailed;
    } catch (const std::exception& error) {
        m_env.Err << QString::fromLocal8Bit(error.what()) << '\n';
        status = ExitFailed;
    }
    // A device path named for this run only is not kept in the port list.
    if (!m_addedPath.isEmpty())
        m_env.Ports.RemoveDevicePath(m_addedPath);
    m_env.Out.flush();
    m_env.Err.flush();
    return status;
}

int CDriveTool::Ports()
{
    const std::vector<PortRegistry::PortEntry> ports = m_env.Ports.EnumerateSerialPorts();
    for (const PortRegistry::PortEntry& port : ports) {
        const QString location = port.SystemLocation == BuiltInComponents::SimulatorKey()
                                     ? kSimulatorPortName
                                     : QDir::toNativeSeparators(port.SystemLocation);
        m_env.Out << QStringLiteral("COM%1").arg(port.Number).leftJustified(7) << ' '
                  << location.leftJustified(16) << ' ' << port.Description << '\n';
    }
    if (ports.empty())
        m_env.Err << "No serial ports\n";
    return ExitOk;
}

std::unique_ptr<IOrvexConfig> CDriveTool::NewConfig() const
{
    return m_env.Factory.Create<IOrvexConfig>(QString::fromLatin1(ProgId::BridgeConfig));
}

std::unique_ptr<IOrvexStatus> CDriveTool::NewStatus() const
{
    return m_env.Factory.Create<IOrvexStatus>(QString::fromLatin1(ProgId::BridgeStatus));
}

int CDriveTool::ResolvePort(const Options& options)
{
    QString name = options.Port;
    if (name.isEmpty()) {
        const int remembered =
            m_env.Settings.value(QStringLiteral("Communications/COM"), 0).toInt();
        if (remembered <= 0) {
            m_env.Err << "No port given: name one with --port (see 'orvex-drive ports').\n";
            return 0;
        }
        name = QStringLiteral("COM%1").arg(remembered);
    }
    const bool simulator = name.compare(kSimulatorPortName, Qt::CaseInsensitive) == 0;
    if ((simulator || name.contains(QLatin1Char('/'))) && m_env.Devices)
        m_env.Devices->LeaveOutSystemDevices();
    if (simulator) {
        if (!m_env.Folders.Found()) {
            m_env.Err << m_env.Folders.MissingMessage() << '\n';
            return 0;
        }
        return m_env.Ports.AddVirtualPort(BuiltInComponents::SimulatorKey(),
                                          BuiltInComponents::SimulatorDescription());
    }
    if (name.contains(QLatin1Char('/'))) {
        const QString path = QFileInfo(name).absoluteFilePath();
        if (!QFileInfo::exists(path)) {
            m_env.Err << QStringLiteral("%1: no such device\n").arg(name);
            return 0;
        }
        if (!m_env.Ports.DevicePaths().contains(path))
            m_addedPath = path;
        return m_env.Ports.AddDevicePath(path);
    }
    bool isNumber = false;
    const int number = name.toInt(&isNumber);
    if (isNumber && number > 0)
        return number;
    if (const std::optional<int> com = PortRegistry::ParseComPortName(name))
        return *com;
    m_env.Err << QStringLiteral("'%1' is no port: give COMn, a device path or sim.\n").arg(name);
    return 0;
}

int CDriveTool::ConnectionFailure(int answer, int port)
{
    QString text = ConnectionResultText(answer);
    if (answer == 2) {
        // The system's own words say why the port would not open.
        QString why;
        if (!m_env.Hub.Acquire(port, &why) && !why.isEmpty())
            text += QStringLiteral(": ") + why;
    }
    m_env.Err << text << '\n';
    return answer >= 1 && answer <= 6 ? ExitConnection + answer : ExitUnexpectedConnection;
}

int CDriveTool::Connect(IDriveConnection& drive, int port)
{
    m_env.Ports.EnumerateSerialPorts();
    drive.SetPortNumber(port);
    const int answer = drive.TestConnection();
    return answer == -1 ? ExitOk : ConnectionFailure(answer, port);
}

int CDriveTool::Test(const Options& options)
{
    const int port = options.PortNumber;
    auto config = NewConfig();
    const int status = Connect(*config, port);
    if (status == ExitOk)
        m_env.Out << ConnectionResultText(-1) << '\n';
    return status;
}

int CDriveTool::Upload(const Options& options)
{
    const int port = options.PortNumber;
    auto config = NewConfig();
    if (const int status = Connect(*config, port); status != ExitOk)
        return status;
    config->LoadConfiguration(QString());
    try {
        // The bridge replaces the file only once the whole of it is written.
        config->StoreConfiguration(false, options.Output);
    } catch (const ComponentError& error) {
        m_env.Err << error.Description() << '\n';
        return ExitFile;
    }
    m_env.Out << QStringLiteral("Uploaded the drive's configuration to %1\n")
                     .arg(QDir::toNativeSeparators(options.Output));
    return ExitOk;
}

int CDriveTool::Download(const Options& options)
{
    const int port = options.PortNumber;
    auto config = NewConfig();
    // The whole file is read and checked before the drive hears of it.
    try {
        config->LoadConfiguration(options.File);
    } catch (const ComponentError& error) {
        m_env.Err << error.Description() << '\n';
        return ExitFile;
    }
    if (const int status = Connect(*config, port); status != ExitOk)
        return status;
    config->StoreConfiguration(true, QString());
    m_env.Out << QStringLiteral("Downloaded %1 to the drive\n")
                     .arg(QDir::toNativeSeparators(options.File));
    return ExitOk;
}

int CDriveTool::Snapshot(const Options& options)
{
    const int port = options.PortNumber;
    auto config = NewConfig();
    if (const int result = Connect(*config, port); result != ExitOk)
        return result;
    config->LoadConfiguration(QString());
    auto status = NewStatus();
    if (const int result = Connect(*status, port); result != ExitOk)
        return result;
    status->UploadStatus();
    status->UploadNumericStatus(-1, 0);

    CommandDatabaseLists lists;
    const bool loaded = LoadCommandDatabase(lists, m_env.Folders.Data,
                                            [this](const QString& message, const QString& details) {
                                                m_env.Err << message << ' ' << details << '\n';
                                            });
    SnapshotEnvironment environment;
    environment.ProductVersion = ProductVersion();
    const QByteArray bytes = SnapshotText::Encode(SnapshotText::Build(
        m_env.Factory, *config, *status, loaded ? &lists : nullptr, environment));

    // Written whole or not at all.
    QSaveFile file(options.Output);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        m_env.Err << QStringLiteral("Unable to write %1: %2\n")
                         .arg(QDir::toNativeSeparators(options.Output), file.errorString());
        return ExitFile;
    }
    m_env.Out << QStringLiteral("Wrote the drive snapshot to %1\n")
                     .arg(QDir::toNativeSeparators(options.Output));
    return ExitOk;
}

int CDriveTool::Status(const Options& options)
{
    const int port = options.PortNumber;
    auto status = NewStatus();
    if (const int result = Connect(*status, port); result != ExitOk)
        return result;
    status->UploadStatus();
    status->UploadNumericStatus(-1, 0);

    QJsonArray bits;
    QStringList bitLines;
    for (int row = 0; row < BitStatusRowCount; ++row) {
        const BitStatusRow& item = BitStatusTable.at(std::size_t(row));
        bool set = false;
        if (row == DriveFaultOutputRow)
            set = status->DriveFaultOutput();
        else if (row == BrakeRelayRow)
            set = status->BrakeRelayEnergized();
        else
            set = status->BitState(row);
        const QString state =
            row < DriveFaultOutputRow ? BitLook(item.Category, set).Text : OutputLook(set).Text;
        bits.append(QJsonObject{{QStringLiteral("label"), QLatin1String(item.Label)},
                                {QStringLiteral("description"), QLatin1String(item.Description)},
                                {QStringLiteral("set"), set},
                                {QStringLiteral("state"), state}});
        bitLines << QStringLiteral("%1 %2 %3")
                        .arg(QLatin1String(item.Label), -5)
                        .arg(QLatin1String(item.Description), -64)
                        .arg(state);
    }

    QJsonArray values;
    QStringList valueLines;
    for (const NumericStatusRow& row : NumericStatusTable) {
        const QString description = NumericStatusDescription(row, options.Linear);
        const QString text = ReadNumericStatusText(*status, row);
        QJsonValue value;
        if (const auto* getter = std::get_if<NumericStatusFloatGetter>(&row.Getter))
            value = double(((*status).*(*getter))());
        else if (const auto* getter = std::get_if<NumericStatusIntGetter>(&row.Getter))
            value = ((*status).*(*getter))();
        else
            value = text;
        values.append(QJsonObject{{QStringLiteral("label"), QLatin1String(row.Label)},
                                  {QStringLiteral("description"), description},
                                  {QStringLiteral("value"), value},
                                  {QStringLiteral("text"), text}});
        QString shown = text;
        if (row.OneLine)
            shown.replace(QLatin1String("\r\n"), QLatin1String(" "));
        valueLines << QStringLiteral("%1 %2 %3")
                          .arg(QLatin1String(row.Label), -5)
                          .arg(description, -48)
                          .arg(shown);
    }

    if (options.Json) {
        const QJsonObject all{{QStringLiteral("port"), QStringLiteral("COM%1").arg(port)},
                              {QStringLiteral("bits"), bits},
                              {QStringLiteral("numeric"), values}};
        m_env.Out << QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Indented));
    } else {
        m_env.Out << "Bit status\n"
                  << bitLines.join(QLatin1Char('\n')) << "\n\nNumeric status\n"
                  << valueLines.join(QLatin1Char('\n')) << '\n';
    }
    return ExitOk;
}

int CDriveTool::OsDownload(const Options& options)
{
    const int port = options.PortNumber;
    auto config = NewConfig();
    if (const int status = Connect(*config, port); status != ExitOk) {
        // A drive without its operating system is what this command is for.
        if (status != ExitConnection + 5 && status != ExitConnection + 6)
            return status;
        m_env.Err.flush();
    }
    try {
        config->StartOsDownload(options.File);
    } catch (const ComponentError& error) {
        m_env.Err << error.Description() << '\n';
        return ExitFile;
    }

    // The bridge sends the image while the event loop runs; the poll only reads.
    int state = 1;
    int total = 0;
    int done = 0;
    int shownPercent = -1;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(100);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        state = config->GetOsDownloadProgress(total, done);
        const int percent = total > 0 ? int(qint64(done) * 100 / total) : 0;
        if (m_env.OutIsTerminal) {
            m_env.Out << ProgressBar(done, total);
            m_env.Out.flush();
        } else if (percent / 10 != shownPercent / 10 || (state == 2 && percent != shownPercent)) {
            m_env.Out << QStringLiteral("%1% %2 of %3 bytes\n").arg(percent).arg(done).arg(total);
            m_env.Out.flush();
            shownPercent = percent;
        }
        if (state != 1 && state != 3)
            loop.quit();
    });
    bool interrupted = false;
    const InterruptCatcher interrupts;
    std::unique_ptr<QSocketNotifier> interruptNotifier;
    if (interrupts.ReadEnd() >= 0) {
        interruptNotifier =
            std::make_unique<QSocketNotifier>(interrupts.ReadEnd(), QSocketNotifier::Read);
        QObject::connect(interruptNotifier.get(), &QSocketNotifier::activated, &loop, [&] {
            interrupted = true;
            loop.quit();
        });
    }
    poll.start();
    loop.exec();
    poll.stop();
    if (m_env.OutIsTerminal)
        m_env.Out << '\n';
    // Also after a finished download, where it does nothing harmful; a
    // download stopped part way is ended on the drive too.
    config->AbortOsDownload();
    if (interrupted) {
        m_env.Err << "Operating system download stopped; the drive needs a new download\n";
        return ExitFailed;
    }

    switch (state) {
    case 2:
        m_env.Out << "Operating system download completed\n";
        return ExitOk;
    case 4:
        m_env.Err << "The operating system file could not be read\n";
        return ExitFile;
    case 5:
        m_env.Err << "The drive refused the operating system download\n";
        return ExitFailed;
    case 6:
        m_env.Err << "The drive stopped answering during the operating system download\n";
        return ExitFailed;
    default:
        m_env.Err << QStringLiteral("Unexpected operating system download state %1\n").arg(state);
        return ExitFailed;
    }
}

int CDriveTool::FactoryRestore(const Options& options)
{
    const int port = options.PortNumber;
    auto config = NewConfig();
    if (const int status = Connect(*config, port); status != ExitOk)
        return status;
    if (!config->RestoreFactorySettings(FactoryRestoreTimeoutMs)) {
        m_env.Err << QStringLiteral("The drive did not come back within %1 s\n")
                         .arg(FactoryRestoreTimeoutMs / 1000);
        return ExitFailed;
    }
    m_env.Out << "The drive is back with its factory settings\n";
    return ExitOk;
}

int CDriveTool::Reset(const Options& options)
{
    const int port = options.PortNumber;
    auto config = NewConfig();
    if (const int status = Connect(*config, port); status != ExitOk)
        return status;
    if (!config->ResetDrive(options.ClearFault, ResetTimeoutMs)) {
        m_env.Err << QStringLiteral("The drive did not come back within %1 s\n")
                         .arg(ResetTimeoutMs / 1000);
        return ExitFailed;
    }
    m_env.Out << "The drive has been reset\n";
    return ExitOk;
}

} // namespace Orvex
