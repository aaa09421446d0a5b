// The named commands of the simulated drive.
#include "SimulatedDrive.h"

#include "DriveCommandLine.h"
#include "DriveErrorBits.h"

#include <cmath>

namespace Orvex {

namespace {

QByteArray Line(const QString& text)
{
    return text.toLatin1() + "\r\n";
}

constexpr int ZeroReferenceParameter = 134;
// The zero command reference is held in converter counts: 3276.8 counts a volt
// above an offset of 230 counts, as the drive's snapshot documents it.
constexpr double CountsPerVolt = 3276.8;
constexpr double ZeroCounts = 230.0;

double CountsToVolts(double counts)
{
    return (counts - ZeroCounts) / CountsPerVolt;
}

} // namespace

const QHash<QString, SimulatedDrive::Handler>& SimulatedDrive::Handlers()
{
    static const QHash<QString, Handler> handlers{
        {QStringLiteral("VER"), &SimulatedDrive::Version},
        {QStringLiteral("ERRS"), &SimulatedDrive::ErrorWord},
        {QStringLiteral("OUTS"), &SimulatedDrive::Outputs},
        {QStringLiteral("STAT"), &SimulatedDrive::State},
        {QStringLiteral("ENABLE"), &SimulatedDrive::Enable},
        {QStringLiteral("CLRFLT"), &SimulatedDrive::ClearFaults},
        {QStringLiteral("RESET"), &SimulatedDrive::Reset},
        {QStringLiteral("DMODE"), &SimulatedDrive::DriveMode},
        {QStringLiteral("FACTORY"), &SimulatedDrive::Factory},
        {QStringLiteral("RFS"), &SimulatedDrive::Factory},
        {QStringLiteral("DCMDZ"), &SimulatedDrive::ZeroReference},
        {QStringLiteral("CFGUP"), &SimulatedDrive::ConfigurationUpload},
        {QStringLiteral("DUMPCFG"), &SimulatedDrive::ConfigurationUpload},
        {QStringLiteral("CFGSAVE"), &SimulatedDrive::ConfigurationSave},
        {QStringLiteral("SAVE"), &SimulatedDrive::ConfigurationSave},
        {QStringLiteral("ERRORL"), &SimulatedDrive::LogMask},
        {QStringLiteral("TERRLG"), &SimulatedDrive::LogRead},
        {QStringLiteral("CERRLG"), &SimulatedDrive::LogClear},
        {QStringLiteral("SIMFLT"), &SimulatedDrive::SimulateFault},
        {QStringLiteral("SIMSEED"), &SimulatedDrive::SimulationSeed},
        {QStringLiteral("MNAME"), &SimulatedDrive::MotorText},
        {QStringLiteral("MPART"), &SimulatedDrive::MotorText},
        {QStringLiteral("SERNUM"), &SimulatedDrive::Identity},
        {QStringLiteral("DMODEL"), &SimulatedDrive::Identity},
        {QStringLiteral("DPART"), &SimulatedDrive::Identity},
        {QStringLiteral("OSREV"), &SimulatedDrive::Identity},
        {QStringLiteral("BOOTREV"), &SimulatedDrive::Identity},
        {QStringLiteral("FPGAREV"), &SimulatedDrive::Identity},
        {QStringLiteral("CAPI"), &SimulatedDrive::CaptureCurrent},
        {QStringLiteral("CAPV"), &SimulatedDrive::CaptureVelocity},
        {QStringLiteral("CAPP"), &SimulatedDrive::CapturePosition},
        {QStringLiteral("ATUNE"), &SimulatedDrive::AutoTune},
        {QStringLiteral("AUTOTUNE"), &SimulatedDrive::AutoTune},
        {QStringLiteral("ALIGN"), &SimulatedDrive::Align},
        {QStringLiteral("OSDL"), &SimulatedDrive::OsDownloadStart},
        {QStringLiteral("OSLOAD"), &SimulatedDrive::OsDownloadStart},
        {QStringLiteral("OSD"), &SimulatedDrive::OsDownloadData},
        {QStringLiteral("OSEND"), &SimulatedDrive::OsDownloadEnd},
        {QStringLiteral("OSABORT"), &SimulatedDrive::OsDownloadAbort},
    };
    return handlers;
}

QByteArray SimulatedDrive::Version(const DriveCommandLine& command)
{
    if (command.HasValue)
        return "?4 Read only\r\n";
    return Line(QStringLiteral("VER=ORVEX %1 OS %2").arg(Model(), InstalledOsRevision()));
}

QByteArray SimulatedDrive::ErrorWord(const DriveCommandLine& command)
{
    if (command.HasValue)
        return "?4 Read only\r\n";
    return Line(QStringLiteral("ERRS=%1").arg(ErrorBits(), 16, 16, QLatin1Char('0')).toUpper());
}

QByteArray SimulatedDrive::Outputs(const DriveCommandLine& command)
{
    if (command.HasValue)
        return "?4 Read only\r\n";
    return Line(
        QStringLiteral("OUTS=%1,%2").arg(FaultOutput() ? 1 : 0).arg(BrakeRelayEnergized() ? 1 : 0));
}

QByteArray SimulatedDrive::State(const DriveCommandLine& command)
{
    if (command.HasValue)
        return "?4 Read only\r\n";
    return Line(QStringLiteral("STAT=%1,%2,%3,%4")
                    .arg(m_Configured ? 1 : 0)
                    .arg(m_Enabled ? 1 : 0)
                    .arg(IsFaulted() ? 1 : 0)
                    .arg(m_EnableInput ? 1 : 0));
}

QByteArray SimulatedDrive::Enable(const DriveCommandLine& command)
{
    if (!command.HasValue)
        return Line(QStringLiteral("ENABLE=%1").arg(m_Enabled ? 1 : 0));
    const std::optional<double> value = DriveCommandLine::Number(command.Value);
    if (!value)
        return "?3 Bad value\r\n";
    if (*value != 0.0 && *value != 1.0)
        return "?2 Out of range 0 to 1\r\n";
    if (*value == 0.0) {
        Disable();
        return {};
    }
    if (m_Enabled)
        return {};
    const QByteArray refusal = EnableRefusal();
    if (!refusal.isEmpty())
        return refusal;
    // An analog command far from zero at enable would make the motor jump.
    const double control = Param(71, 2.0);
    const double limit = Param(114, 10.0);
    const double zero = CountsToVolts(Param(ZeroReferenceParameter));
    if ((control == 2.0 || control == 4.0) && std::abs(m_AnalogInput - zero) > limit) {
        constexpr int ExcessiveCommandVoltage = 25;
        LatchFault(ExcessiveCommandVoltage);
        return Line(QStringLiteral("?8 Failed ") + ErrorName(ExcessiveCommandVoltage));
    }
    m_Enabled = true;
    return {};
}

QByteArray SimulatedDrive::ClearFaults(const DriveCommandLine& command)
{
    if (command.HasValue)
        return "?3 Bad value\r\n";
    m_Latched = 0;
    return {};
}

QByteArray SimulatedDrive::Reset(const DriveCommandLine& command)
{
    if (command.HasValue)
        return "?3 Bad value\r\n";
    Restart();
    return {};
}

QByteArray SimulatedDrive::DriveMode(const DriveCommandLine& command)
{
    if (!command.HasValue)
        return Line(QStringLiteral("DMODE=%1").arg(m_PendingMode));
    const std::optional<double> value = DriveCommandLine::Number(command.Value);
    if (!value)
        return "?3 Bad value\r\n";
    if (*value != 1.0 && *value != 2.0)
        return "?2 Out of range 1 to 2\r\n";
    m_PendingMode = static_cast<int>(*value);
    return {};
}

QByteArray SimulatedDrive::Factory(const DriveCommandLine& command)
{
    if (command.HasValue)
        return "?3 Bad value\r\n";
    // The defaults are no configuration for any motor, so the drive stops first.
    Disable();
    m_Parameters.RestoreDefaults();
    m_Configured = false;
    m_MotorName.clear();
    m_StoredMotorName.clear();
    m_MotorPart.clear();
    m_StoredMotorPart.clear();
    m_PendingMode = 2;
    m_ErrorLog.SetMask(static_cast<int>(Param(115, DriveErrorLog::AllKinds)));
    return {};
}

QByteArray SimulatedDrive::ZeroReference(const DriveCommandLine& command)
{
    double volts = std::clamp(m_AnalogInput, 0.0, 10.0);
    if (command.HasValue) {
        const std::optional<double> value = DriveCommandLine::Number(command.Value);
        if (!value)
            return "?3 Bad value\r\n";
        if (*value < 0.0 || *value > 10.0)
            return "?2 Out of range 0 to 10\r\n";
        volts = *value;
    }
    m_Parameters.SetWorking(ZeroReferenceParameter, std::round(volts * CountsPerVolt + ZeroCounts));
    ++m_ParameterWrites;
    if (command.HasValue)
        return {};
    return Line(
        QStringLiteral("DCMDZ=%1").arg(CountsToVolts(Param(ZeroReferenceParameter)), 0, 'f', 3));
}

QByteArray SimulatedDrive::ConfigurationUpload(const DriveCommandLine& command)
{
    if (command.HasValue)
        return "?3 Bad value\r\n";
    const QStringList lines = ConfigurationLines(false);
    QByteArray answer;
    for (const QString& line : lines)
        answer += Line(line);
    answer += Line(QStringLiteral("MPART=") + m_MotorPart);
    answer += Line(QStringLiteral("MNAME=") + m_MotorName);
    answer += Line(QStringLiteral("CFGEND=%1").arg(lines.size()));
    return answer;
}

QByteArray SimulatedDrive::ConfigurationSave(const DriveCommandLine& command)
{
    if (command.HasValue)
        return "?3 Bad value\r\n";
    m_Parameters.SaveToFlash();
    m_StoredMotorName = m_MotorName;
    m_StoredMotorPart = m_MotorPart;
    m_Configured = true;
    return {};
}

QByteArray SimulatedDrive::LogMask(const DriveCommandLine& command)
{
    constexpr int LogMaskParameter = 115;
    if (!command.HasValue)
        return Line(QStringLiteral("ERRORL=h") +
                    QStringLiteral("%1").arg(m_ErrorLog.Mask(), 4, 16, QLatin1Char('0')).toUpper());
    const std::optional<quint32> mask = DriveCommandLine::PrefixedHex(command.Value);
    if (!mask)
        return "?3 Bad value\r\n";
    if (*mask > static_cast<quint32>(DriveErrorLog::AllKinds))
        return "?2 Out of range h0000 to h3FFF\r\n";
    m_ErrorLog.SetMask(static_cast<int>(*mask));
    // The log set-up is kept at once, without a configuration save.
    m_Parameters.SetStoredAndWorking(LogMaskParameter, *mask);
    return {};
}

QByteArray SimulatedDrive::LogRead(const DriveCommandLine& command)
{
    if (command.HasValue)
        return "?3 Bad value\r\n";
    const QStringList lines = m_ErrorLog.Lines();
    if (lines.isEmpty())
        return "No errors logged\r\n";
    QByteArray answer;
    for (const QString& line : lines)
        answer += Line(line);
    return answer;
}

QByteArray SimulatedDrive::LogClear(const DriveCommandLine& command)
{
    if (command.HasValue)
        return "?3 Bad value\r\n";
    m_ErrorLog.Clear();
    return {};
}

QByteArray SimulatedDrive::SimulateFault(const DriveCommandLine& command)
{
    // Simulation only: latches an error bit as if the drive had seen it.
    if (!command.HasValue)
        return "?3 Bad value\r\n";
    bool ok = false;
    const int bit = command.Value.toInt(&ok);
    if (!ok)
        return "?3 Bad value\r\n";
    if (!LatchFault(bit))
        return "?2 Out of range\r\n";
    return {};
}

QByteArray SimulatedDrive::SimulationSeed(const DriveCommandLine& command)
{
    // Simulation only: the seed of the noise, so a run can be repeated.
    if (!command.HasValue)
        return Line(QStringLiteral("SIMSEED=%1").arg(m_Seed));
    bool ok = false;
    const quint64 seed = command.Value.toULongLong(&ok);
    if (!ok)
        return "?3 Bad value\r\n";
    SetSeed(seed);
    return {};
}

QByteArray SimulatedDrive::MotorText(const DriveCommandLine& command)
{
    QString& text = command.Name == QLatin1String("MNAME") ? m_MotorName : m_MotorPart;
    if (!command.HasValue)
        return Line(command.Name + u'=' + text);
    if (m_Enabled)
        return "?5 Not allowed while enabled\r\n";
    text = command.Value;
    ++m_ParameterWrites;
    return {};
}

QByteArray SimulatedDrive::Identity(const DriveCommandLine& command)
{
    if (command.HasValue)
        return "?4 Read only\r\n";
    const QString& name = command.Name;
    if (name == QLatin1String("SERNUM"))
        return Line(QStringLiteral("SERNUM=") + SerialNumber());
    if (name == QLatin1String("DMODEL"))
        return Line(QStringLiteral("DMODEL=") + Model());
    if (name == QLatin1String("DPART"))
        return Line(QStringLiteral("DPART=") + Model() + QStringLiteral("-S1"));
    if (name == QLatin1String("OSREV"))
        return Line(QStringLiteral("OSREV=") + InstalledOsRevision()) +
               Line(QStringLiteral("Built 2024-03-18"));
    if (name == QLatin1String("BOOTREV"))
        return Line(QStringLiteral("BOOTREV=") + BootRevision());
    return Line(QStringLiteral("FPGAREV=2.1"));
}

QByteArray SimulatedDrive::NotYetAvailable(const DriveCommandLine&)
{
    return "?8 Failed not available in the simulated drive yet\r\n";
}

} // namespace Orvex
