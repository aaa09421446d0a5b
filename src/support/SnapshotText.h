#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

namespace Orvex {

class ComponentFactory;
struct CommandDatabaseLists;
class IOrvexConfig;
class IOrvexStatus;

// The line that starts and ends every section title: ";" and 73 "=".
inline constexpr char SnapshotSeparator[] =
    ";=========================================================================";

// What a snapshot takes from outside the drive: the clock, the line that
// names the system we run on (nothing when it cannot be read), the program's
// product version and whether the fixed pauses after each drive action are
// kept. Tests and the benchmark replace them.
struct SnapshotEnvironment
{
    std::function<QDateTime()> Now = [] { return QDateTime::currentDateTime(); };
    std::function<std::optional<QString>()> SystemLine = [] { return RunningSystemLine(); };
    QString ProductVersion = QStringLiteral(ORVEX_VERSION_STRING);
    bool FixedPauses = true;

    // "Debian GNU/Linux 12 (bookworm), Linux 6.1.0-18-amd64, x86_64" from QSysInfo.
    static std::optional<QString> RunningSystemLine();
};

// The text of a drive snapshot, from a configuration and a status object
// that have been uploaded: six sections (header, component versions,
// operating system, configuration parameters, bit status, numeric status)
// with CR LF line ends. No widgets and no drive traffic of its own beyond
// what reading the uploaded objects asks: the support page and orvex-drive
// both build their snapshots here.
class SnapshotText
{
public:
    // The whole text. Without a command database (lists null) the
    // configuration section holds its title only.
    static QString Build(ComponentFactory& factory, IOrvexConfig& config, IOrvexStatus& status,
                         const CommandDatabaseLists* lists, const SnapshotEnvironment& environment);

    // The sections, each ending with its empty line.
    static QString Header(const QDateTime& now);
    static QString ComponentVersions(ComponentFactory& factory, IOrvexConfig& config,
                                     const QString& productVersion);
    static QString OperatingSystem(const std::optional<QString>& systemLine);
    static QString ConfigurationParameters(IOrvexConfig& config, const CommandDatabaseLists* lists);
    static QString BitStatus(IOrvexStatus& status);
    static QString NumericStatus(IOrvexStatus& status, bool motorIsLinear);

    // The title lines of a section: separator, "; <title>", separator.
    static QString SectionTitle(const char* title);

    // The text as the file holds it: one byte a character (Windows-1252);
    // characters that code page lacks become "?".
    static QByteArray Encode(const QString& text);
};

} // namespace Orvex
