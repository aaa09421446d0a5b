#pragma once

#include "DriveErrorLog.h"
#include "DriveMeasurements.h"
#include "DriveModel.h"
#include "ParameterTable.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <utility>

namespace Orvex {

struct CommandDatabaseLists;
struct DriveCommandLine;

// A model of one Orvex drive that answers the drive's serial protocol: its
// parameters, configuration, enable and fault state, status values and error
// log, with switches that make it misbehave for tests of the error paths. It
// comes configured for the motor it left the factory with (FactoryMotor.h).
class SimulatedDrive
{
public:
    enum class OsState
    {
        Valid,
        Missing,
        Corrupt
    };

    static constexpr char Prompt = '\x05';
    static constexpr int MaxLineLength = 255;

    // Takes the parameter, status, error and X command rows it needs from
    // lists; the lists are not kept.
    explicit SimulatedDrive(const CommandDatabaseLists& lists);
    // Loads the command database of folder; nullptr and error set when it
    // cannot be read.
    static std::unique_ptr<SimulatedDrive> FromFolder(const QString& folder,
                                                      QString* error = nullptr);
    ~SimulatedDrive();

    SimulatedDrive(const SimulatedDrive&) = delete;
    SimulatedDrive& operator=(const SimulatedDrive&) = delete;

    // Takes incoming bytes in any split and answers every command line they
    // complete, each answer ended by the prompt.
    QByteArray Receive(const QByteArray& bytes);

    // Misbehaviour switches, by name, for a user of the standalone simulator
    // (its --fault option) or of the terminal (the SIMSW command): "noanswer",
    // "garbage", "os:missing", "os:corrupt", "os:valid", "unconfigured",
    // "noenable", "fault:<bit>", "mute:<bytes>", "cut:<bytes>",
    // "baud:<rate>", "clear", "noise:on", "noise:off",
    // "truemotor:<mnemonic>=<factor>" (MRES, MLMAX, MKT, MKE, MJ or MFRIC
    // of the motor as built against its configured value),
    // "truemotor:fitted". Of these, "mute", "cut", "baud" and "clear" concern
    // the link; they wait in LinkSwitches for the transport. False, with
    // error set, for a switch that does not exist or a bad value.
    bool ApplySwitch(const QString& text, QString* error);
    struct LinkSwitches
    {
        std::optional<int> Baud;
        std::optional<qint64> MuteAfter; // answer bytes still let through; -1: all
        std::optional<qint64> CutAfter;  // bytes before the link is cut; -1: never
        qint64 From = 0;                 // counted from this many bytes into Receive's answer
    };
    LinkSwitches TakeLinkSwitches() { return std::exchange(m_LinkSwitches, {}); }

    // Misbehaviour switches.
    void SetNoAnswer(bool on) { m_NoAnswer = on; }
    void SetWrongAnswer(bool on) { m_WrongAnswer = on; }
    void SetOsState(OsState state) { m_OsState = state; }
    void SetConfigured(bool configured) { m_Configured = configured; }
    // The hardware enable input; switching it off disables the drive.
    void SetEnableInput(bool on);
    // Latches error bit (not one the drive derives from its state); a fault
    // disables the drive and is logged when its kind is. False when bit
    // cannot be latched.
    bool LatchFault(int bit);
    // Fills the error log with the entries of an earlier working life (a few
    // faults in its first 412 hours), as a drive back from the field has.
    void SeedFieldHistory();
    void SetAnalogInput(double volts) { m_AnalogInput = volts; }
    // Milliseconds from any fixed origin; the default runs with the wall clock.
    void SetClock(std::function<qint64()> clock);
    // Power off and on: the drive restarts, a corrupt OS reads as missing.
    void PowerCycle();
    // The mechanics coupled to the motor shaft, which the drive does not know
    // and auto tuning measures.
    void SetLoad(const DriveModel::Load& load) { m_Load = load; }
    const DriveModel::Load& Load() const { return m_Load; }
    // The loads a user may set: inertia ratio 0 to 100, resonance 0 (a rigid
    // shaft) or 50 to 5000 Hz, damping ratio 0.001 to 1. Why load is not
    // one of them, empty when it is.
    static QString LoadError(double inertiaRatio, double resonanceHz, double dampingRatio);
    // Where the load comes from: asked before each test move to update it.
    void SetLoadSource(std::function<void(DriveModel::Load&)> source)
    {
        m_LoadSource = std::move(source);
    }
    // Current sensor noise and quantisation, torque ripple and stiction; on
    // unless switched off.
    void SetImperfect(bool on) { m_Imperfect = on; }
    bool Imperfect() const { return m_Imperfect; }
    // The seed of the noise: the same seed gives the same captures and auto
    // tuning answers in the same order. Without one, each drive takes its own
    // at random.
    void SetSeed(quint64 seed);
    quint64 Seed() const { return m_Seed; }
    // The shaft position in encoder counts; alignment moves it.
    double RotorCounts() const { return m_RotorCounts; }

    // State, as the drive would report it.
    OsState Os() const { return m_OsState; }
    bool IsConfigured() const { return m_Configured; }
    bool IsEnabled() const { return m_Enabled; }
    bool IsFaulted() const;
    bool EnableInput() const { return m_EnableInput; }
    quint64 ErrorBits() const;
    bool FaultOutput() const;
    bool BrakeRelayEnergized() const { return m_Enabled; }
    int ActiveDriveMode() const { return m_ActiveMode; }
    int PendingDriveMode() const { return m_PendingMode; }
    std::optional<double> WorkingValue(int number) const;
    std::optional<double> StoredValue(int number) const;
    QString MotorName() const { return m_MotorName; }
    const DriveErrorLog& ErrorLog() const { return m_ErrorLog; }

    // Counters for tests.
    int CommandsReceived() const { return m_CommandsReceived; }
    int ParameterWrites() const { return m_ParameterWrites; }
    // The last command lines received, oldest first, as typed (empty lines
    // left out); at most RecentCommandsKept of them.
    static constexpr int RecentCommandsKept = 64;
    const QStringList& RecentCommands() const { return m_RecentCommands; }

    // Identity of the simulated drive.
    static QString Model() { return QStringLiteral("AE-0620"); }
    static QString OsRevision() { return QStringLiteral("3.02.0017"); }
    static QString BootRevision() { return QStringLiteral("1.04"); }
    static QString SerialNumber() { return QStringLiteral("AE0620-2401-00042"); }

private:
    using Handler = QByteArray (SimulatedDrive::*)(const DriveCommandLine&);

    QByteArray Process(const QByteArray& line);
    QByteArray BootLoader(const DriveCommandLine& command);
    QByteArray Execute(const DriveCommandLine& command);
    void Advance();
    qint64 Now() const;
    qint64 PoweredUpMinutes() const;
    void Restart();
    // Sets up and saves the configuration of the factory-fitted motor; a
    // command database whose limits cannot hold it leaves the defaults and
    // the drive unconfigured.
    void FitFactoryMotor();
    void Disable() { m_Enabled = false; }
    // Why the drive cannot be enabled now, as an error answer; empty when it can.
    QByteArray EnableRefusal() const;
    quint64 ConfigurationBits() const;
    double Param(int number, double fallback = 0.0) const;
    QString ErrorName(int bit) const;
    QStringList ConfigurationLines(bool stored) const;
    quint16 ConfigurationChecksum(bool stored) const;

    // Parameters, status and X commands (SimulatedDriveItems.cpp).
    QByteArray ParameterCommand(const ParameterTable::Entry& entry, const QString& name,
                                const DriveCommandLine& command);
    QByteArray StatusCommand(int number, const QString& name, const DriveCommandLine& command);
    std::optional<QString> StatusValue(const QString& mnemonic, const QString& format) const;
    QByteArray XCommand(int number, const DriveCommandLine& command);

    // Named commands (SimulatedDriveCommands.cpp).
    QByteArray Version(const DriveCommandLine& command);
    QByteArray ErrorWord(const DriveCommandLine& command);
    QByteArray Outputs(const DriveCommandLine& command);
    QByteArray State(const DriveCommandLine& command);
    QByteArray Enable(const DriveCommandLine& command);
    QByteArray ClearFaults(const DriveCommandLine& command);
    QByteArray Reset(const DriveCommandLine& command);
    QByteArray DriveMode(const DriveCommandLine& command);
    QByteArray Factory(const DriveCommandLine& command);
    QByteArray ZeroReference(const DriveCommandLine& command);
    QByteArray ConfigurationUpload(const DriveCommandLine& command);
    QByteArray ConfigurationSave(const DriveCommandLine& command);
    QByteArray LogMask(const DriveCommandLine& command);
    QByteArray LogRead(const DriveCommandLine& command);
    QByteArray LogClear(const DriveCommandLine& command);
    QByteArray SimulateFault(const DriveCommandLine& command);
    QByteArray SimulationSeed(const DriveCommandLine& command);
    QByteArray MotorText(const DriveCommandLine& command);
    QByteArray Identity(const DriveCommandLine& command);
    QByteArray NotYetAvailable(const DriveCommandLine& command);

    // Captures, auto tuning and alignment (SimulatedDriveMotion.cpp).
    QByteArray CaptureCurrent(const DriveCommandLine& command);
    QByteArray CaptureVelocity(const DriveCommandLine& command);
    QByteArray CapturePosition(const DriveCommandLine& command);
    QByteArray AutoTune(const DriveCommandLine& command);
    QByteArray Align(const DriveCommandLine& command);
    // Why a test move cannot run now, as an error answer; empty when it can.
    QByteArray MotionRefusal() const;
    DriveModel::Settings ModelSettings() const;
    // ModelSettings with the imperfections and a fresh seed for one test move.
    DriveModel::Settings MoveSettings();
    bool ApplyTrueMotor(const QString& value);

    static const QHash<QString, Handler>& Handlers();

    ParameterTable m_Parameters;
    std::map<int, std::pair<QString, QString>> m_StatusItems; // number: mnemonic, format
    std::map<int, QString> m_XCommands;                       // number: equivalent command
    std::map<int, QString> m_ErrorNames;

    QByteArray m_Line;
    bool m_LineTooLong = false;

    bool m_NoAnswer = false;
    bool m_WrongAnswer = false;
    LinkSwitches m_LinkSwitches;
    OsState m_OsState = OsState::Valid;
    bool m_Configured = false;
    bool m_Enabled = false;
    bool m_EnableInput = true;
    quint64 m_Latched = 0;
    int m_ActiveMode = 2;
    int m_PendingMode = 2;
    double m_AnalogInput = 0.0;
    QString m_MotorName, m_StoredMotorName;
    QString m_MotorPart, m_StoredMotorPart;

    DriveErrorLog m_ErrorLog;
    DriveMeasurements m_Measurements;
    QElapsedTimer m_WallClock;
    std::function<qint64()> m_Clock;
    qint64 m_ClockOrigin = 0;

    int m_CommandsReceived = 0;
    int m_ParameterWrites = 0;
    QStringList m_RecentCommands;

    DriveModel::Load m_Load;
    double m_RotorCounts = 0.0;
    std::function<void(DriveModel::Load&)> m_LoadSource;
    DriveModel::MotorFactors m_TrueMotor;
    bool m_Imperfect = true;
    quint64 m_Seed = 0;
    std::mt19937_64 m_MoveSeeds;

    // --- Operating system download (SimulatedDriveOs.cpp) ---
public:
    // The largest image the drive's flash takes.
    static constexpr qint64 MaxOsBytes = 1024 * 1024;
    // The revision of the OS the drive runs: OsRevision() until a download
    // replaces it.
    QString InstalledOsRevision() const { return m_InstalledOs; }
    // True between an accepted OSDL and its OSEND or OSABORT.
    bool OsDownloadActive() const { return m_OsDownload.Active; }
    qint64 OsBytesReceived() const { return m_OsDownload.Data.size(); }

private:
    struct OsDownloadSession
    {
        bool Active = false;
        qint64 Expected = 0;
        quint32 Crc = 0;
        QString Revision;
        QByteArray Data;
    };

    QByteArray OsDownloadStart(const DriveCommandLine& command);
    QByteArray OsDownloadData(const DriveCommandLine& command);
    QByteArray OsDownloadEnd(const DriveCommandLine& command);
    QByteArray OsDownloadAbort(const DriveCommandLine& command);

    OsDownloadSession m_OsDownload;
    QString m_InstalledOs = OsRevision();
};

} // namespace Orvex
