#include "SimulatedDrive.h"

#include "CommandDatabase.h"
#include "DriveCommandLine.h"
#include "DriveErrorBits.h"
#include "FactoryMotor.h"

#include <QDir>
#include <QLoggingCategory>

#include <cmath>

namespace Orvex {

Q_LOGGING_CATEGORY(lcOrvexSim, "orvex.sim", QtInfoMsg)

namespace {

// What this drive had behind it before the simulation started.
constexpr qint64 PreviousPoweredMs = 412LL * 3'600'000;

} // namespace

SimulatedDrive::SimulatedDrive(const CommandDatabaseLists& lists) : m_Parameters(lists)
{
    for (const auto& row : lists.Status) {
        bool ok = false;
        const int number = row->m_Number.trimmed().toInt(&ok);
        if (ok)
            m_StatusItems.emplace(number,
                                  std::make_pair(row->m_EquivalentCommand.trimmed().toUpper(),
                                                 row->m_DataFormat.trimmed()));
    }
    for (const auto& row : lists.XCommands) {
        bool ok = false;
        const int number = row->m_Number.trimmed().toInt(&ok);
        if (ok)
            m_XCommands.emplace(number, row->m_EquivalentCommand.trimmed().toUpper());
    }
    for (const auto& row : lists.Errors) {
        bool ok = false;
        const int number = row->m_Number.trimmed().toInt(&ok);
        if (ok && number >= 0 && number < 64)
            m_ErrorNames.emplace(number, row->m_Name.trimmed());
    }
    FitFactoryMotor();
    m_WallClock.start();
    SetSeed((static_cast<quint64>(std::random_device()()) << 32) ^ std::random_device()());
    m_ErrorLog.SetMask(static_cast<int>(Param(115, DriveErrorLog::AllKinds)));
    m_Measurements.PowerUp(Now(), Param(119, 25.0));
}

SimulatedDrive::~SimulatedDrive() = default;

QString SimulatedDrive::LoadError(double inertiaRatio, double resonanceHz, double dampingRatio)
{
    if (!(inertiaRatio >= 0.0 && inertiaRatio <= 100.0))
        return QStringLiteral("The load inertia ratio must be 0 to 100.");
    if (!(resonanceHz == 0.0 || (resonanceHz >= 50.0 && resonanceHz <= 5000.0)))
        return QStringLiteral("The resonance must be 0 (a rigid shaft) or 50 to 5000 Hz.");
    if (!(dampingRatio >= 0.001 && dampingRatio <= 1.0))
        return QStringLiteral("The resonance damping ratio must be 0.001 to 1.");
    return {};
}

void SimulatedDrive::SetSeed(quint64 seed)
{
    m_Seed = seed;
    m_MoveSeeds.seed(seed);
}

std::unique_ptr<SimulatedDrive> SimulatedDrive::FromFolder(const QString& folder, QString* error)
{
    CommandDatabaseLists lists;
    QString message;
    const auto told = [&message](const QString& text, const QString& details) {
        message = details.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, details);
    };
    if (!LoadCommandDatabase(lists, folder, told)) {
        if (error != nullptr)
            *error = message;
        return nullptr;
    }
    if (const QString problem = ParameterTable::Problem(lists); !problem.isEmpty()) {
        if (error != nullptr)
            *error = QStringLiteral("The simulated drive cannot use %1: %2.")
                         .arg(QDir::toNativeSeparators(CommandDatabasePath(folder)), problem);
        return nullptr;
    }
    return std::make_unique<SimulatedDrive>(lists);
}

void SimulatedDrive::SetClock(std::function<qint64()> clock)
{
    m_Clock = std::move(clock);
    m_ClockOrigin = m_Clock ? m_Clock() : 0;
    m_Measurements.PowerUp(Now(), m_Measurements.MotorTemperature());
}

qint64 SimulatedDrive::Now() const
{
    return m_Clock ? m_Clock() - m_ClockOrigin : m_WallClock.elapsed();
}

qint64 SimulatedDrive::PoweredUpMinutes() const
{
    return (PreviousPoweredMs + Now()) / 60'000;
}

QByteArray SimulatedDrive::Receive(const QByteArray& bytes)
{
    QByteArray answer;
    for (const char c : bytes) {
        if (c == '\r') {
            const QByteArray line = m_LineTooLong ? QByteArray() : m_Line;
            const bool tooLong = m_LineTooLong;
            m_Line.clear();
            m_LineTooLong = false;
            ++m_CommandsReceived;
            if (!line.trimmed().isEmpty()) {
                if (m_RecentCommands.size() == RecentCommandsKept)
                    m_RecentCommands.removeFirst();
                m_RecentCommands << QString::fromLatin1(line.trimmed());
            }
            // The simulator's own switches work whatever the drive does, so
            // that a silenced drive can be made to talk again.
            if (line.trimmed().toUpper().startsWith("SIMSW")) {
                const DriveCommandLine command = DriveCommandLine::Parse(line);
                QString error;
                if (command.Name != QLatin1String("SIMSW") || !command.HasValue)
                    answer += "?3 Bad value\r\n";
                else if (!ApplySwitch(command.Value, &error))
                    answer += "?3 " + error.toLatin1() + "\r\n";
                answer += Prompt;
                m_LinkSwitches.From = answer.size();
                continue;
            }
            if (m_NoAnswer)
                continue;
            if (m_WrongAnswer) {
                answer += "#!GARBLED\r\n";
                continue;
            }
            answer += tooLong ? QByteArray("?1 Unknown command\r\n") : Process(line);
            answer += Prompt;
        } else if (c == '\b') {
            m_Line.chop(1);
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            continue; // line feeds and other control bytes mean nothing here
        } else if (m_Line.size() >= MaxLineLength) {
            m_LineTooLong = true;
        } else {
            m_Line += c;
        }
    }
    return answer;
}

QByteArray SimulatedDrive::Process(const QByteArray& line)
{
    const DriveCommandLine command = DriveCommandLine::Parse(line);
    if (command.Name.isEmpty())
        return {};
    Advance();
    if (m_OsState != OsState::Valid)
        return BootLoader(command);
    return Execute(command);
}

QByteArray SimulatedDrive::BootLoader(const DriveCommandLine& command)
{
    if (command.Name == QLatin1String("VER")) {
        return QStringLiteral("VER=ORVEX BOOT %1 OS %2\r\n")
            .arg(BootRevision(), m_OsState == OsState::Missing ? QStringLiteral("MISSING")
                                                               : QStringLiteral("CORRUPT"))
            .toLatin1();
    }
    if (command.Name == QLatin1String("RESET"))
        return {}; // the boot loader restarts into itself
    static const QStringList DownloadCommands{QStringLiteral("OSDL"), QStringLiteral("OSLOAD"),
                                              QStringLiteral("OSD"), QStringLiteral("OSEND"),
                                              QStringLiteral("OSABORT")};
    if (DownloadCommands.contains(command.Name))
        return (this->*Handlers().value(command.Name))(command);
    return "?7 No operating system\r\n";
}

QByteArray SimulatedDrive::Execute(const DriveCommandLine& command)
{
    const QString& name = command.Name;
    const auto handler = Handlers().constFind(name);
    if (handler != Handlers().constEnd())
        return (this->*handler.value())(command);

    if (const auto number = DriveCommandLine::Indexed(name, u'P', 3)) {
        if (const ParameterTable::Entry* entry = m_Parameters.Find(*number))
            return ParameterCommand(
                *entry, QStringLiteral("P%1").arg(*number, 3, 10, QLatin1Char('0')), command);
    } else if (const auto bit = DriveCommandLine::Indexed(name, u'E', 2)) {
        if (*bit < 64) {
            if (command.HasValue)
                return "?4 Read only\r\n";
            return QStringLiteral("E%1=%2\r\n")
                .arg(*bit, 2, 10, QLatin1Char('0'))
                .arg((ErrorBits() >> *bit) & 1)
                .toLatin1();
        }
    } else if (const auto item = DriveCommandLine::Indexed(name, u'S', 2)) {
        if (m_StatusItems.count(*item) != 0)
            return StatusCommand(*item, QStringLiteral("S%1").arg(*item, 2, 10, QLatin1Char('0')),
                                 command);
    } else if (const auto x = DriveCommandLine::Indexed(name, u'X', 2)) {
        if (m_XCommands.count(*x) != 0)
            return XCommand(*x, command);
    } else if (const ParameterTable::Entry* entry = m_Parameters.FindByMnemonic(name)) {
        return ParameterCommand(*entry, name, command);
    } else {
        for (const auto& [number, item] : m_StatusItems) {
            if (item.first == name)
                return StatusCommand(number, name, command);
        }
    }
    return "?1 Unknown command\r\n";
}

void SimulatedDrive::Advance()
{
    DriveMeasurements::Conditions conditions;
    conditions.Enabled = m_Enabled;
    conditions.AutoRun = m_ActiveMode == 1;
    conditions.ContinuousCurrent = Param(3);
    conditions.TorqueConstant = Param(20);
    conditions.WindingResistance = Param(14);
    conditions.ThermalResistance = Param(121, 1.0);
    conditions.MotorAmbient = Param(119, 25.0);
    conditions.MotorTimeConstant = Param(124, 30.0);
    conditions.FeedbackResolution = Param(1, 8000.0);
    conditions.PolePairs = static_cast<int>(Param(18, 4.0));
    m_Measurements.Advance(Now(), conditions);
}

void SimulatedDrive::Restart()
{
    Advance();
    m_Enabled = false;
    m_Latched = 0;
    m_Parameters.LoadFromFlash();
    m_MotorName = m_StoredMotorName;
    m_MotorPart = m_StoredMotorPart;
    m_ErrorLog.SetMask(static_cast<int>(Param(115, DriveErrorLog::AllKinds)));
    m_ActiveMode = m_PendingMode;
    // The start-up check of the configuration writes its errors to the log.
    if (m_Configured) {
        const quint64 bits = ConfigurationBits();
        for (int bit = 0; bit < 64; ++bit) {
            if ((bits >> bit) & 1 & (DriveErrorBits::ConfigurationErrors >> bit))
                m_ErrorLog.Record(bit, ErrorName(bit), PoweredUpMinutes());
        }
    }
    // The auto run test and "enable at power up" start enabled when they can.
    if ((m_ActiveMode == 1 || Param(214) != 0.0) && EnableRefusal().isEmpty())
        m_Enabled = true;
    qCDebug(lcOrvexSim) << "restart, mode" << m_ActiveMode << "enabled" << m_Enabled;
}

void SimulatedDrive::FitFactoryMotor()
{
    for (const FactoryMotor::Setting& setting : FactoryMotor::Settings) {
        if (m_Parameters.Write(setting.Field.Parameter, setting.Value) !=
            ParameterTable::WriteResult::Written) {
            qCWarning(lcOrvexSim).noquote()
                << QStringLiteral("The command database does not take the factory-fitted "
                                  "motor's %1 of %2; the drive starts unconfigured.")
                       .arg(QLatin1String(setting.Field.Name))
                       .arg(setting.Value);
            m_Parameters.RestoreDefaults();
            return;
        }
    }
    m_Parameters.SaveToFlash();
    m_MotorPart = m_StoredMotorPart = QLatin1String(FactoryMotor::PartNumber);
    m_Configured = true;
}

void SimulatedDrive::PowerCycle()
{
    m_OsDownload = {}; // a download in progress lives in RAM only
    if (m_OsState == OsState::Corrupt)
        m_OsState = OsState::Missing;
    m_PendingMode = 2;
    Restart();
    m_Measurements.PowerUp(Now(), m_Measurements.MotorTemperature());
}

void SimulatedDrive::SeedFieldHistory()
{
    struct PastFault
    {
        int Hours;
        int Minutes;
        int Bit;
    };
    // A supply dip at commissioning, a hot summer and a shorted motor cable.
    static constexpr PastFault kHistory[] = {
        {3, 12, 30},
        {157, 40, 36},
        {388, 5, 27},
    };
    for (const PastFault& fault : kHistory)
        m_ErrorLog.Record(fault.Bit, ErrorName(fault.Bit), fault.Hours * 60 + fault.Minutes);
}

void SimulatedDrive::SetEnableInput(bool on)
{
    Advance();
    m_EnableInput = on;
    if (!on)
        Disable();
}

bool SimulatedDrive::LatchFault(int bit)
{
    if (bit < 0 || bit > 63 || (DriveErrorBits::DerivedBits & DriveErrorBits::Bit(bit)) != 0)
        return false;
    Advance();
    m_Latched |= DriveErrorBits::Bit(bit);
    if ((DriveErrorBits::OperationalFaults & DriveErrorBits::Bit(bit)) != 0) {
        Disable();
        m_ErrorLog.Record(bit, ErrorName(bit), PoweredUpMinutes());
    }
    return true;
}

bool SimulatedDrive::IsFaulted() const
{
    return (m_Latched & DriveErrorBits::OperationalFaults) != 0;
}

bool SimulatedDrive::FaultOutput() const
{
    // "Fault on drive disable" makes a disabled drive signal not ready too.
    return IsFaulted() || (!m_Enabled && Param(95) != 0.0);
}

double SimulatedDrive::Param(int number, double fallback) const
{
    const ParameterTable::Entry* entry = m_Parameters.Find(number);
    return entry != nullptr ? entry->Working : fallback;
}

std::optional<double> SimulatedDrive::WorkingValue(int number) const
{
    if (number == 212)
        return m_Enabled ? 1.0 : 0.0;
    const ParameterTable::Entry* entry = m_Parameters.Find(number);
    return entry != nullptr ? std::optional<double>(entry->Working) : std::nullopt;
}

std::optional<double> SimulatedDrive::StoredValue(int number) const
{
    const ParameterTable::Entry* entry = m_Parameters.Find(number);
    return entry != nullptr ? std::optional<double>(entry->Stored) : std::nullopt;
}

QString SimulatedDrive::ErrorName(int bit) const
{
    const auto it = m_ErrorNames.find(bit);
    return it != m_ErrorNames.end() ? it->second : QStringLiteral("Error %1").arg(bit);
}

quint64 SimulatedDrive::ConfigurationBits() const
{
    using namespace DriveErrorBits;
    // The drive's own ratings, as S03 and S05 report them.
    constexpr double DriveContinuous = 6.0;
    constexpr double DrivePeak = 20.0;

    quint64 bits = 0;
    const auto zeroCheck = [&](int bit, int parameter) {
        if (m_Parameters.Find(parameter) != nullptr && Param(parameter) == 0.0)
            bits |= Bit(bit);
    };
    zeroCheck(MaximumInductanceZero, 9);
    zeroCheck(RatedSpeedZero, 16);
    zeroCheck(DpoleZero, 18);
    zeroCheck(ResistanceZero, 14);
    zeroCheck(KeZero, 38);
    zeroCheck(ContinuousCurrentZero, 3);
    zeroCheck(PeakCurrentZero, 7);
    zeroCheck(InertiaZero, 21);
    // Damping 0 is a real motor (many have none worth giving), so no check for it.
    if (Param(62, 1.0) == 0.0 && Param(60, 1.0) == 0.0)
        bits |= Bit(InvalidCurrentLoopGains);
    if (Param(3) > DriveContinuous)
        bits |= Bit(ContinuousCurrentTooHigh);
    if (Param(36) > Param(20) * DrivePeak)
        bits |= Bit(TorqueRatingTooHigh);
    if (Param(7) > DrivePeak)
        bits |= Bit(PeakCurrentTooHigh);
    const auto inNotchDeadBand = [](double hz) { return hz > 0.0 && hz < 60.0; };
    if (inNotchDeadBand(Param(74)) || inNotchDeadBand(Param(79)))
        bits |= Bit(NotchFilterCalculation);
    const double lead = Param(82);
    const double lag = Param(83);
    if (lead > 0.0 && lag > 0.0) {
        if (lead < lag)
            bits |= Bit(LeadBelowLag);
        // The tuning page allows lead = 4 x lag, so only beyond that is wrong.
        if (lead > 4.0 * lag)
            bits |= Bit(LeadAboveFourLag);
    }
    if (lag > 0.0 && lag < 20.0)
        bits |= Bit(LagBelow20Hz);
    if ((bits & ConfigurationErrors) != 0)
        bits |= Bit(MotorConfigurationError);
    if ((bits & (Bit(10) | Bit(11) | Bit(12) | Bit(15) | Bit(16) | Bit(17) | Bit(18))) != 0)
        bits |= Bit(MotorConfigurationWarning);
    return bits;
}

quint64 SimulatedDrive::ErrorBits() const
{
    using namespace DriveErrorBits;
    quint64 bits = m_Latched | ConfigurationBits();
    if (!m_Enabled)
        bits |= Bit(DriveDisabled);
    if (!m_EnableInput)
        bits |= Bit(NoHardwareEnable);
    return bits;
}

QByteArray SimulatedDrive::EnableRefusal() const
{
    if (!m_Configured)
        return "?6 Not configured\r\n";
    const auto failed = [](const QString& reason) {
        return QStringLiteral("?8 Failed %1\r\n").arg(reason).toLatin1();
    };
    for (int bit = 0; bit < 64; ++bit) {
        if ((m_Latched & DriveErrorBits::OperationalFaults) & DriveErrorBits::Bit(bit))
            return failed(ErrorName(bit));
    }
    if (!m_EnableInput)
        return failed(ErrorName(DriveErrorBits::NoHardwareEnable));
    const quint64 errors = ConfigurationBits() & DriveErrorBits::ConfigurationErrors;
    for (int bit = 2; bit < 64; ++bit) {
        if (errors & DriveErrorBits::Bit(bit))
            return failed(ErrorName(bit));
    }
    return {};
}

QStringList SimulatedDrive::ConfigurationLines(bool stored) const
{
    QStringList lines;
    for (const ParameterTable::Entry& entry : m_Parameters.Entries()) {
        // Computed values and the enable switch are state, not configuration.
        if (entry.ReadOnly || entry.Number == 212)
            continue;
        lines << QStringLiteral("P%1=%2")
                     .arg(entry.Number, 3, 10, QLatin1Char('0'))
                     .arg(ParameterTable::FormatValue(entry.DataFormat,
                                                      stored ? entry.Stored : entry.Working));
    }
    return lines;
}

quint16 SimulatedDrive::ConfigurationChecksum(bool stored) const
{
    QByteArray text = ConfigurationLines(stored).join(QLatin1String("\r\n")).toLatin1();
    text += (stored ? m_StoredMotorPart + m_StoredMotorName : m_MotorPart + m_MotorName).toLatin1();
    return qChecksum(text);
}

} // namespace Orvex
