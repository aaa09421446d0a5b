#pragma once

#include "ProgramFolders.h"
#include "SerialDeviceSource.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class QSettings;
class QTextStream;

namespace Orvex {

class ComponentFactory;
class IOrvexConfig;
class IOrvexStatus;
class PortHub;
class PortRegistry;

// The system's serial devices, asked for once: listing them walks the whole
// device tree, and one run of orvex-drive needs the list several times.
class COnceDeviceSource final : public ISerialDeviceSource
{
public:
    explicit COnceDeviceSource(const ISerialDeviceSource& source) : m_source(source) {}
    std::vector<SerialDeviceInfo> PresentDevices() const override
    {
        if (!m_devices)
            m_devices = m_source.PresentDevices();
        return *m_devices;
    }
    // Lists none of the system's devices: a port named by its device path,
    // or the simulated drive, needs no list.
    void LeaveOutSystemDevices()
    {
        if (!m_devices)
            m_devices.emplace();
    }

private:
    const ISerialDeviceSource& m_source;
    mutable std::optional<std::vector<SerialDeviceInfo>> m_devices;
};

// orvex-drive: the drive actions of the program for scripts, through the same
// bridge, link and port registry. Each command answers an exit status; what
// the user must know goes to the output stream, every failure to the error
// stream with the drive's or the file's own message.
class CDriveTool
{
public:
    // Exit statuses. A failed connection test answers ExitConnection plus its
    // code (11 to 16), any other answer ExitUnexpectedConnection.
    enum Exit : int
    {
        ExitOk = 0,
        ExitFailed = 1, // the drive refused or did not finish an action
        ExitUsage = 2,  // a wrong command line
        ExitFile = 3,   // a file that cannot be read, is not sound, or cannot be written
        ExitConnection = 10,
        ExitUnexpectedConnection = 17,
    };

    struct Environment
    {
        ComponentFactory& Factory;
        PortRegistry& Ports;
        PortHub& Hub;
        QSettings& Settings;
        ProgramFolders Folders; // where the simulated drive's command database is
        QTextStream& Out;
        QTextStream& Err;
        bool OutIsTerminal = false; // a progress bar rather than plain lines
        // The registry's device source, told when the system's list is not needed.
        COnceDeviceSource* Devices = nullptr;
    };

    explicit CDriveTool(Environment environment);

    // Runs the command line without the program's name.
    int Run(const QStringList& arguments);

    // Pages' time-outs for the drive actions that restart the drive.
    static constexpr int ResetTimeoutMs = 10000;
    static constexpr int FactoryRestoreTimeoutMs = 20000;

private:
    struct Options;

    int Ports();
    int Test(const Options& options);
    int Upload(const Options& options);
    int Download(const Options& options);
    int Status(const Options& options);
    int OsDownload(const Options& options);
    int FactoryRestore(const Options& options);
    int Reset(const Options& options);
    int Snapshot(const Options& options);

    // The drive bridge's configuration and status objects, made fresh.
    std::unique_ptr<IOrvexConfig> NewConfig() const;
    std::unique_ptr<IOrvexStatus> NewStatus() const;
    // The number of the port named on the command line (COMn, a number, a
    // device path or "sim"); 0 after saying why there is none.
    int ResolvePort(const Options& options);
    // Sets the port and runs the connection test: ExitOk when the drive
    // answered, otherwise the status after the failure is told.
    int Connect(class IDriveConnection& drive, int port);
    int ConnectionFailure(int answer, int port);

    Environment m_env;
    QString m_addedPath; // a device path added for this run only
};

} // namespace Orvex
