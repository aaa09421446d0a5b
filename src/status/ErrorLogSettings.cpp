#include "ErrorLogSettings.h"

#include <QSettings>

namespace Orvex {

namespace {

const QString kGroup = QStringLiteral("ErrorLogSettings");
const QString kYes = QStringLiteral("Yes");
const QString kNo = QStringLiteral("No");

} // namespace

// The labels are the ones users know from the drive's log set-up, spelling
// included, so nobody looks twice for a box they have ticked before.
const std::array<ErrorLogEvent, ErrorLogEventCount> ErrorLogEvents{{
    {0x0001, "LogDriveShutdown", "logDriveShutdownCheck", "Log Drive Shutown"},
    {0x0002, "LogBridgeHardwareFault", "logBridgeHardwareFaultCheck", "Log Bridge Hardware Fault"},
    {0x0004, "LogNoPWMOutput", "logNoPwmOutputCheck", "Log No PWM Output"},
    {0x0008, "LogOverVoltageFault", "logOverVoltageFaultCheck", "Log Over Voltage Fault"},
    {0x0010, "LogUnderVoltageFault", "logUnderVoltageFaultCheck", "Log Under Voltage Fault"},
    {0x0020, "LogFeedbackError", "logFeedbackErrorCheck", "Log Feedback Error"},
    {0x0040, "LogDriveTempFault", "logDriveTempFaultCheck", "Log Drive Temp Fault"},
    {0x0080, "LogMotorModelFault", "logMotorModelFaultCheck", "Log Motor Model Fault"},
    {0x0100, "LogMotorTempFault", "logMotorTempFaultCheck", "Log Motor Temp Fault"},
    {0x0200, "LogExcessiveCommandVoltage", "logExcessiveCommandVoltageCheck",
     "Log Excessive Command Voltage At Enable"},
    {0x0400, "LogHallError", "logHallErrorCheck", "Log Hall Error"},
    {0x0800, "LogMotorConfigError", "logMotorConfigErrorCheck", "Log Motor Config Error"},
    {0x1000, "LogRegenFault", "logRegenFaultCheck", "Log Regen Fault"},
    {0x2000, "LogExcessiveSpeed", "logExcessiveSpeedCheck", "Log Execessive Speed At Enable"},
}};

ErrorLogSelection ReadErrorLogSettings(QSettings& settings)
{
    ErrorLogSelection selection{};
    settings.beginGroup(kGroup);
    for (size_t i = 0; i < ErrorLogEvents.size(); ++i) {
        const QString key = QString::fromLatin1(ErrorLogEvents[i].Key);
        selection[i] = settings.value(key, kYes).toString() == kYes;
    }
    settings.endGroup();
    return selection;
}

void WriteErrorLogSettings(QSettings& settings, const ErrorLogSelection& selection)
{
    settings.beginGroup(kGroup);
    for (size_t i = 0; i < ErrorLogEvents.size(); ++i)
        settings.setValue(QString::fromLatin1(ErrorLogEvents[i].Key), selection[i] ? kYes : kNo);
    settings.endGroup();
}

std::uint16_t ErrorLogMask(const ErrorLogSelection& selection)
{
    std::uint16_t mask = 0;
    for (size_t i = 0; i < ErrorLogEvents.size(); ++i) {
        if (selection[i])
            mask |= ErrorLogEvents[i].Bit;
    }
    return mask;
}

QString ErrorLogMaskCommand(std::uint16_t mask)
{
    return QStringLiteral("ERRORL=h%1\r")
        .arg(QString::number(mask, 16).toUpper(), 4, QLatin1Char('0'));
}

} // namespace Orvex
