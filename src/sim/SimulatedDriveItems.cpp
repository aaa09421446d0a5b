// Parameters, status items and X commands of the simulated drive.
#include "SimulatedDrive.h"

#include "DriveCommandLine.h"

#include <cmath>

namespace Orvex {

namespace {

QByteArray Line(const QString& text)
{
    return text.toLatin1() + "\r\n";
}

// Motor data and the settings the power stage runs with cannot change under
// a running motor.
bool LockedWhileEnabled(const QString& mnemonic)
{
    return mnemonic.startsWith(u'M') || mnemonic == QLatin1String("DCTRL") ||
           mnemonic == QLatin1String("DCOMM") || mnemonic == QLatin1String("DPWM");
}

} // namespace

QByteArray SimulatedDrive::ParameterCommand(const ParameterTable::Entry& entry, const QString& name,
                                            const DriveCommandLine& command)
{
    constexpr int SoftwareEnable = 212;
    constexpr int ConfigurationChecksumParameter = 186;
    constexpr int ParameterChecksum = 255;
    constexpr int LogMaskParameter = 115;

    if (!command.HasValue) {
        QString value = m_Parameters.FormatWorking(entry.Number);
        if (entry.Number == SoftwareEnable)
            value = m_Enabled ? QStringLiteral("1") : QStringLiteral("0");
        else if (entry.Number == ConfigurationChecksumParameter)
            value = QString::number(m_Configured ? ConfigurationChecksum(true) : 0);
        else if (entry.Number == ParameterChecksum)
            value = QString::number(ConfigurationChecksum(false));
        return Line(name + u'=' + value);
    }
    if (entry.ReadOnly)
        return "?4 Read only\r\n";
    const std::optional<double> value = DriveCommandLine::Number(command.Value);
    if (!value)
        return "?3 Bad value\r\n";
    if (entry.Number == SoftwareEnable) {
        DriveCommandLine enable;
        enable.Name = QStringLiteral("ENABLE");
        enable.HasValue = true;
        enable.Value = command.Value;
        return Enable(enable);
    }
    if (m_Enabled && LockedWhileEnabled(entry.Mnemonic))
        return "?5 Not allowed while enabled\r\n";
    switch (m_Parameters.Write(entry.Number, *value)) {
    case ParameterTable::WriteResult::OutOfRange:
        return Line(QStringLiteral("?2 Out of range ") + m_Parameters.RangeText(entry.Number));
    case ParameterTable::WriteResult::ReadOnly:
        return "?4 Read only\r\n";
    case ParameterTable::WriteResult::Written:
        break;
    }
    ++m_ParameterWrites;
    if (entry.Number == LogMaskParameter)
        m_ErrorLog.SetMask(static_cast<int>(Param(LogMaskParameter)));
    return {};
}

QByteArray SimulatedDrive::StatusCommand(int number, const QString& name,
                                         const DriveCommandLine& command)
{
    if (command.HasValue)
        return "?4 Read only\r\n";
    const auto& [mnemonic, format] = m_StatusItems.at(number);
    const std::optional<QString> value = StatusValue(mnemonic, format);
    if (!value)
        return "?1 Unknown command\r\n";
    return Line(name + u'=' + *value);
}

std::optional<QString> SimulatedDrive::StatusValue(const QString& mnemonic,
                                                   const QString& format) const
{
    const DriveMeasurements& m = m_Measurements;
    const quint64 bits = ErrorBits();
    const auto hours = [](qint64 ms) {
        const qint64 seconds = ms / 1000;
        return QStringLiteral("%1:%2:%3")
            .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
            .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    };
    static constexpr qint64 PreviousPoweredHours = 412;
    static constexpr qint64 PreviousOperatingMs = 137LL * 3'600'000 + 25 * 60'000 + 14'000;

    double value = 0.0;
    if (mnemonic == QLatin1String("ERRLO"))
        value = static_cast<double>(bits & 0xFFFFFFFFu);
    else if (mnemonic == QLatin1String("ERRHI"))
        value = static_cast<double>(bits >> 32);
    else if (mnemonic == QLatin1String("DICONT"))
        value = 6.0;
    else if (mnemonic == QLatin1String("DIPEAK"))
        value = 20.0;
    else if (mnemonic == QLatin1String("DCFW"))
        value = 0.0;
    else if (mnemonic == QLatin1String("DPWR"))
        value = 1500.0;
    else if (mnemonic == QLatin1String("ICMD"))
        value = m.CommandedCurrent();
    else if (mnemonic == QLatin1String("TCMD"))
        value = m.CommandedTorque();
    else if (mnemonic == QLatin1String("TFB"))
        value = m.FeedbackTorque();
    else if (mnemonic == QLatin1String("VCMD"))
        value = m.CommandedVelocity();
    else if (mnemonic == QLatin1String("VFB"))
        value = m.FeedbackVelocity();
    else if (mnemonic == QLatin1String("VERR"))
        value = m.CommandedVelocity() - m.FeedbackVelocity();
    else if (mnemonic == QLatin1String("PCMD"))
        value = static_cast<double>(m.CommandedPosition());
    else if (mnemonic == QLatin1String("PFB"))
        value = static_cast<double>(m.FeedbackPosition());
    else if (mnemonic == QLatin1String("PERR"))
        value = static_cast<double>(m.CommandedPosition() - m.FeedbackPosition());
    else if (mnemonic == QLatin1String("ANIN"))
        value = m_AnalogInput;
    else if (mnemonic == QLatin1String("ANIRAW"))
        value = std::round(m_AnalogInput * 3276.8);
    else if (mnemonic == QLatin1String("DTEMP"))
        value = m.DriveTemperature();
    else if (mnemonic == QLatin1String("MTEMP"))
        value = m.MotorTemperature();
    else if (mnemonic == QLatin1String("VBUS"))
        value = m.BusVoltage();
    else if (mnemonic == QLatin1String("DOUT"))
        value = (FaultOutput() ? 1 : 0) | (BrakeRelayEnergized() ? 2 : 0);
    else if (mnemonic == QLatin1String("OPHRS"))
        return hours(PreviousOperatingMs + m.OperatingMs());
    else if (mnemonic == QLatin1String("DIN"))
        value = m_EnableInput ? 1 : 0;
    else if (mnemonic == QLatin1String("PWRHRS"))
        value = static_cast<double>(PreviousPoweredHours + Now() / 3'600'000);
    else if (mnemonic == QLatin1String("HALLS"))
        value = m.HallState();
    else if (mnemonic == QLatin1String("PWMPER"))
        value = 1000.0 / std::max(1.0, Param(84, 16.0));
    else
        return std::nullopt;

    if (format.compare(QLatin1String("Hex"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("%1")
            .arg(static_cast<quint64>(value), 8, 16, QLatin1Char('0'))
            .toUpper();
    if (format.compare(QLatin1String("Integer"), Qt::CaseInsensitive) == 0)
        return ParameterTable::FormatValue(ParameterTable::Format::Integer, std::round(value));
    // Status values are measurements: four decimals are all a reader needs.
    return ParameterTable::FormatValue(ParameterTable::Format::Float,
                                       std::round(value * 1e4) / 1e4);
}

QByteArray SimulatedDrive::XCommand(int number, const DriveCommandLine& command)
{
    DriveCommandLine equivalent = command;
    equivalent.Name = m_XCommands.at(number);
    // A row naming another X command would loop forever.
    if (DriveCommandLine::Indexed(equivalent.Name, u'X', 2))
        return {};
    QByteArray answer = Execute(equivalent);
    // A command the firmware has no action for just answers the prompt.
    if (answer.startsWith("?1 "))
        return {};
    const QByteArray ownName = equivalent.Name.toLatin1() + '=';
    if (answer.startsWith(ownName))
        answer.replace(0, ownName.size() - 1,
                       QStringLiteral("X%1").arg(number, 2, 10, QLatin1Char('0')).toLatin1());
    return answer;
}

} // namespace Orvex
