#include "NumericStatusTable.h"

#include "OrvexStatus.h"

namespace Orvex {

const std::array<NumericStatusRow, NumericStatusRowCount> NumericStatusTable{{
    {"S3", 0x8, "Amplifier Continuous Current Rating (Arms)",
     "Amplifier Continuous Current Rating (Arms)", &IOrvexStatus::AmplifierContinuousCurrent},
    {"S5", 0x10, "Amplifier Peak Current Rating (Arms)", "Amplifier Peak Current Rating (Arms)",
     &IOrvexStatus::AmplifierPeakCurrent},
    {"S7", 0x20, "Custom Firmware Code", "Custom Firmware Code", &IOrvexStatus::CustomFirmwareCode},
    {"S9", 0x40, "Power Level (W)", "Power Level (W)", &IOrvexStatus::PowerLevel},
    {"S10", 0x800, "Commanded Current (A)", "Commanded Current (A)",
     &IOrvexStatus::CommandedCurrent},
    {"S12", 0x1000, "Commanded Torque (Nm)", "Commanded Force (N)", &IOrvexStatus::CommandedTorque},
    {"S14", 0x2000, "Feedback Torque (Nm)", "Feedback Force (N)", &IOrvexStatus::FeedbackTorque},
    {"S16", 0x4000, "Commanded Velocity (rps)", "Commanded Velocity (mps)",
     &IOrvexStatus::CommandedVelocity},
    {"S18", 0x8000, "Feedback Velocity (rps)", "Feedback Velocity (mps)",
     &IOrvexStatus::FeedbackVelocity},
    {"S20", 0x10000, "Velocity Error (rps)", "Velocity Error (mps)", &IOrvexStatus::VelocityError},
    {"S22", 0x20000, "Commanded Position (counts)", "Commanded Position (counts)",
     &IOrvexStatus::CommandedPosition},
    {"S25", 0x40000, "Feedback Position (counts)", "Feedback Position (counts)",
     &IOrvexStatus::FeedbackPosition},
    {"S28", 0x80000, "Position Error (counts)", "Position Error (counts)",
     &IOrvexStatus::PositionError},
    {"S35", 0x200000, "+/- 10V Input Signal (V)", "+/- 10V Input Signal (V)",
     &IOrvexStatus::AnalogInputVoltage},
    {"S38", 0x100, "Drive Temperature (\u00B0C)", "Drive Temperature (\u00B0C)",
     &IOrvexStatus::DriveTemperature},
    {"S40", 0x200, "Motor Temperature (\u00B0C)", "Motor Temperature (\u00B0C)",
     &IOrvexStatus::MotorTemperature},
    {"S42", 0x400, "Bus Voltage (V)", "Bus Voltage (V)", &IOrvexStatus::BusVoltage},
    {"S45", 0x80, "Operating Hours (HH:MM:SS)", "Operating Hours (HH:MM:SS)",
     &IOrvexStatus::OperatingHours},
    {"S52", 0x800000, "Hours Powered Up (hr)", "Hours Powered Up (hr)",
     &IOrvexStatus::HoursPoweredUp},
    {"S55", 0x1000000, "Hall Effect State", "Hall Effect State", &IOrvexStatus::HallEffectState},
    {"S57", 0x2000000, "PWM Update Period (\u00B5s)", "PWM Update Period (\u00B5s)",
     &IOrvexStatus::PwmUpdatePeriod},
    {"X7", 0x4, "OS Revision", "OS Revision", &IOrvexStatus::OsRevision, true},
    {"X12", 0x2, "Motor Name", "Motor Name", &IOrvexStatus::MotorName},
    {"X18", 0x1, "Serial Number", "Serial Number", &IOrvexStatus::SerialNumber},
}};

QString NumericStatusDescription(const NumericStatusRow& row, bool motorIsLinear)
{
    return QString::fromUtf8(motorIsLinear ? row.LinearDescription : row.RotaryDescription);
}

namespace {

struct ValueText
{
    IOrvexStatus& Status;

    QString operator()(NumericStatusFloatGetter getter) const
    {
        // Widened to double like every other float the program prints.
        return QString::asprintf("%.2f", static_cast<double>((Status.*getter)()));
    }
    QString operator()(NumericStatusIntGetter getter) const
    {
        return QString::number((Status.*getter)());
    }
    QString operator()(NumericStatusTextGetter getter) const { return (Status.*getter)(); }
};

} // namespace

QString ReadNumericStatusText(IOrvexStatus& status, const NumericStatusRow& row)
{
    QString text = std::visit(ValueText{status}, row.Getter);
    if (row.OneLine)
        text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    return text;
}

} // namespace Orvex
