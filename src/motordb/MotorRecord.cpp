#include "MotorRecord.h"

namespace Orvex {

namespace {

// Element names of the database file, in field order; the names follow the
// MotorField constants so the file reads like the code.
constexpr std::array<const char*, MotorField::Count> FieldNames = {
    "PartNumber",
    "Series",
    "Frame",
    "Package",
    "RatedSpeed",
    "PolePairsOrPitch",
    "InertiaOrMass",
    "Damping",
    "MotorThermalTimeConstant",
    "WindingThermalTimeConstant",
    "ThermalResistance",
    "AmbientTemperature",
    "MaxWindingTemperature",
    "Ke",
    "ContinuousCurrent",
    "ContinuousCurrentDerating",
    "PeakCurrent",
    "WindingResistance",
    "MinInductance",
    "MaxInductance",
    "FeedbackResolution",
    "CurrentLoopKp",
    "CurrentLoopKi",
    "CustomWinding",
    "CoolingKey",
    "CustomPart",
    "Stack",
    "Winding",
    "Feedback",
    "BaseSeries",
    "Description",
    "BusVoltage",
    "MaxSpeed",
    "PwmFrequency",
    "CurrentLoopIntegralLimit",
};

const QString EmptyText;

} // namespace

const QString& MotorRecord::Field(int number) const
{
    if (number < 1 || number > MotorField::Count) {
        return EmptyText;
    }
    return m_fields[static_cast<std::size_t>(number - 1)];
}

void MotorRecord::SetField(int number, const QString& text)
{
    if (number >= 1 && number <= MotorField::Count) {
        m_fields[static_cast<std::size_t>(number - 1)] = text;
    }
}

QString MotorRecord::CascadePartNumber() const
{
    const QString& series = Field(MotorField::Series);
    const QString& frame = Field(MotorField::Frame);
    const QString& stack = Field(MotorField::Stack);
    const QString& winding = Field(MotorField::Winding);
    const QString& feedback = Field(MotorField::Feedback);
    if (series == QLatin1String("K")) {
        return series + frame + stack + QLatin1Char('-') + winding + feedback;
    }
    if (series == QLatin1String("Vantor")) {
        return frame + QLatin1Char('-') + stack + winding + feedback;
    }
    return series + frame + stack + winding + feedback;
}

QString MotorRecord::FieldName(int number)
{
    if (number < 1 || number > MotorField::Count) {
        return {};
    }
    return QLatin1String(FieldNames[static_cast<std::size_t>(number - 1)]);
}

int MotorRecord::FieldNumber(QStringView name)
{
    for (std::size_t i = 0; i < FieldNames.size(); ++i) {
        if (name == QLatin1String(FieldNames[i])) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

} // namespace Orvex
