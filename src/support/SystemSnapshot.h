#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

namespace Orvex {

struct AppContext;
struct CommandDatabaseLists;
class IMainWindow;
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

// The drive snapshot for technical support: uploads the drive's configuration
// and its bit and numeric status behind the wait window, then builds one text
// of six sections (header, component versions, operating system,
// configuration parameters, bit status, numeric status) with CR LF line ends.
// No widgets: the page saves the text, tests and the benchmark call it alone.
class SystemSnapshot
{
public:
    SystemSnapshot(AppContext& context, IMainWindow& mainWindow,
                   SnapshotEnvironment environment = {});

    // Reads the drive and builds the text. Nothing, after the user has been
    // told why, when the drive cannot be reached or an upload fails.
    std::optional<QString> Take();

    // The sections, each ending with its empty line, from a configuration and
    // a status object that have been uploaded.
    static QString Header(const QDateTime& now);
    QString ComponentVersions() const;
    static QString OperatingSystem(const std::optional<QString>& systemLine);
    // Without a command database (lists null) the section holds its title only.
    static QString ConfigurationParameters(IOrvexConfig& config, const CommandDatabaseLists* lists);
    static QString BitStatus(IOrvexStatus& status);
    static QString NumericStatus(IOrvexStatus& status, bool motorIsLinear);

    // The title lines of a section: separator, "; <title>", separator.
    static QString SectionTitle(const char* title);

    // The text as the file holds it: one byte a character (Windows-1252);
    // characters that code page lacks become "?".
    static QByteArray Encode(const QString& text);

private:
    bool UploadConfiguration();
    bool UploadStatus(IOrvexStatus& status);
    void Pause(int milliseconds);

    AppContext& m_context;
    IMainWindow& m_mainWindow;
    SnapshotEnvironment m_environment;
};

} // namespace Orvex
