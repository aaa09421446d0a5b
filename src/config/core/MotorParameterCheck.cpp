#include "MotorParameterCheck.h"

#include "CommandDatabase.h"
#include "ConfigFields.h"

#include <cmath>

namespace Orvex {

namespace {

using Field = MotorParameterCheck::Field;
namespace F = ConfigFields;

QString Format(const char* format, const ParameterLimits::Entry& entry)
{
    return QString::asprintf(format, entry.Minimum, entry.Maximum);
}

bool IsAbsoluteOrResolver(const QString& feedbackType)
{
    return feedbackType == QLatin1String(MotorParameterCheck::AbsoluteEncoder) ||
           feedbackType == QLatin1String(MotorParameterCheck::Resolver);
}

// Where each page field comes from in the motor record.
constexpr int RecordFieldOf[MotorParameterCheck::FieldCount] = {
    MotorField::RatedSpeed,
    MotorField::PolePairsOrPitch,
    MotorField::InertiaOrMass,
    MotorField::Damping,
    MotorField::MotorThermalTimeConstant,
    MotorField::WindingThermalTimeConstant,
    MotorField::ThermalResistance,
    MotorField::AmbientTemperature,
    MotorField::MaxWindingTemperature,
    MotorField::Ke,
    MotorField::ContinuousCurrent,
    MotorField::ContinuousCurrentDerating,
    MotorField::PeakCurrent,
    MotorField::WindingResistance,
    MotorField::MinInductance,
    MotorField::MaxInductance,
    MotorField::FeedbackResolution,
};

// One range check of the page: the field, its parameter, its message for
// rotary and linear motors, and whether the field is read as an integer.
struct RangeCheck
{
    Field field;
    int parameter;
    const char* rotary;
    const char* linear;
    bool integer;
};

// The plain range checks after the pole pairs or pitch. The rated speed, the
// pole pairs or pitch, the inductance order and the resolution depend on more
// than the motor kind and are written out in Validate.
constexpr RangeCheck AfterPolePairs[] = {
    {Field::InertiaOrMass, F::MotorInertia.Parameter,
     "Motor Rotor Inertia must be between %.2lf and %.2lf kgm\u00b2e-6",
     "Force Limit must be between %.2lf and %.2lf kg", false},
    {Field::Damping, F::MotorDamping.Parameter, "Motor Damping must be between %.2lf and %.2lf",
     "Motor Damping must be between %.2lf and %.2lf", false},
    {Field::MotorThermalTimeConstant, F::MotorThermalTimeConstant.Parameter,
     "Motor Thermal Time Constant must be between %.2lf and %.2lf min",
     "Motor Thermal Time Constant must be between %.2lf and %.2lf min", false},
    {Field::WindingThermalTimeConstant, F::WindingThermalTimeConstant.Parameter,
     "Winding Thermal Time Constant must be between %.2lf and %.2lf min",
     "Winding Thermal Time Constant must be between %.2lf and %.2lf min", false},
    {Field::ThermalResistance, F::ThermalResistance.Parameter,
     "Winding Thermal Resistance must be between %.2lf and %.2lf",
     "Winding Thermal Resistance must be between %.2lf and %.2lf", false},
    {Field::AmbientTemperature, F::AmbientTemperature.Parameter,
     "Motor Ambient Temperature must be between %.2lf and %.2lf",
     "Motor Ambient Temperature must be between %.2lf and %.2lf", false},
    {Field::MaxWindingTemperature, F::MaxWindingTemperature.Parameter,
     "Maximum Motor Winding Temperature must be between %.2lf and %.2lf",
     "Maximum Motor Winding Temperature must be between %.2lf and %.2lf", false},
    {Field::Ke, F::MotorKe.Parameter, "Ke must be between %.2lf and %.2lf V/krpm",
     "Ke must be between %.2lf and %.2lf V/m/s", false},
    {Field::ContinuousCurrent, F::ContinuousCurrent.Parameter,
     "Continuous Current must be between %.2lf and %.2lf Arms",
     "Continuous Current must be between %.2lf and %.2lf Arms", false},
    {Field::ContinuousCurrentDerating, F::ContinuousCurrentDerating.Parameter,
     "Continuous Current Derating must be between %.2lf and %.2lf %%",
     "Continuous Current Derating must be between %.2lf and %.2lf %%", false},
    {Field::PeakCurrent, F::PeakCurrent.Parameter,
     "Peak Current must be between %.2lf and %.2lf Arms",
     "Peak Current must be between %.2lf and %.2lf Arms", false},
    {Field::WindingResistance, F::WindingResistance.Parameter,
     "Winding Resistance must be between %.2lf and %.2lf Ohm",
     "Winding Resistance must be between %.2lf and %.2lf Ohm", false},
    // Both inductances share the drive's inductance range.
    {Field::MinInductance, F::MaxInductance.Parameter,
     "Minimum Inductance must be between %.2lf and %.2lf mH",
     "Minimum Inductance must be between %.2lf and %.2lf mH", false},
    {Field::MaxInductance, F::MaxInductance.Parameter,
     "Maximum Inductance must be between %.2lf and %.2lf mH",
     "Maximum Inductance must be between %.2lf and %.2lf mH", false},
};

} // namespace

QString MotorParameterCheck::FeedbackTypeOfCode(const QString& code)
{
    if (code == QLatin1String("3E") || code == QLatin1String("Q")) {
        return QString::fromLatin1(SmartEncoder);
    }
    if (code == QLatin1String("6D") || code == QLatin1String("9D")) {
        return QString::fromLatin1(AbsoluteEncoder);
    }
    if (code == QLatin1String("R") || code == QLatin1String("41") ||
        code == QLatin1String("___G")) {
        return QString::fromLatin1(Resolver);
    }
    return QString::fromLatin1(RegularEncoder);
}

MotorParameterCheck::Result MotorParameterCheck::Validate(const Texts& texts,
                                                          const ParameterLimits& limits)
{
    Result result;
    const auto fail = [&result](Field field, const QString& message) {
        result.Ok = false;
        result.Failed = field;
        result.Message = message;
        return result;
    };
    // An empty field fails the range check whatever the range.
    const auto inRange = [&](Field field, int parameter, bool integer) {
        const QString& text = texts[field];
        if (text.trimmed().isEmpty()) {
            return false;
        }
        const double value = integer ? LeadingInteger(text) : LeadingDecimal(text);
        return limits.Contains(parameter, value);
    };

    if (!inRange(Field::RatedSpeed, F::MotorRatedSpeed.Parameter, false)) {
        return fail(Field::RatedSpeed,
                    Format(texts.Linear ? "Motor Rated Speed must be between %.2lf and %.2lf mps"
                                        : "Motor Rated Speed must be between %.2lf and %.2lf rps",
                           limits[F::MotorRatedSpeed.Parameter]));
    }
    if (texts.Linear) {
        if (!inRange(Field::PolePairsOrPitch, F::ElectricalPitch.Parameter, false)) {
            return fail(Field::PolePairsOrPitch,
                        Format("Electrical Pitch must be between %.2lf and %.2lf mm",
                               limits[F::ElectricalPitch.Parameter]));
        }
    } else if (!inRange(Field::PolePairsOrPitch, F::MotorPolePairs.Parameter, true)) {
        return fail(Field::PolePairsOrPitch,
                    Format("Motor Pole Pairs must be between %.0lf and %.0lf pole pairs",
                           limits[F::MotorPolePairs.Parameter]));
    }
    for (const RangeCheck& check : AfterPolePairs) {
        if (!inRange(check.field, check.parameter, check.integer)) {
            return fail(check.field, Format(texts.Linear ? check.linear : check.rotary,
                                            limits[check.parameter]));
        }
    }
    if (LeadingDecimal(texts[Field::MaxInductance]) < LeadingDecimal(texts[Field::MinInductance])) {
        return fail(Field::MaxInductance,
                    QStringLiteral("Maximum Inductance must be greater than or equal to Minimum "
                                   "Inductance"));
    }
    if (!inRange(Field::FeedbackResolution, F::FeedbackResolution.Parameter, true)) {
        const bool counts = IsAbsoluteOrResolver(texts.FeedbackType);
        const char* format =
            texts.Linear
                ? (counts ? "Feedback Resolution must be between %.0lf and %.0lf counts/electrical "
                            "pitch"
                          : "Feedback Resolution must be between %.0lf and %.0lf post-quad "
                            "pulses/electrical pitch")
                : (counts ? "Feedback Resolution must be between %.0lf and %.0lf counts/rev"
                          : "Feedback Resolution must be between %.0lf and %.0lf post-quad "
                            "pulses/rev");
        return fail(Field::FeedbackResolution,
                    Format(format, limits[F::FeedbackResolution.Parameter]));
    }
    return result;
}

MotorParameterCheck::Texts MotorParameterCheck::FromMotor(const IOrvexMotor& motor)
{
    Texts texts;
    const QString package = motor.Field(MotorField::Package);
    // Package texts other than these have no entry in the page's combo; a
    // motor of unknown kind is taken as rotary.
    texts.Linear = package == QLatin1String("Linear") || package == QLatin1String("Table");
    for (int i = 0; i < FieldCount; ++i) {
        texts.Fields[static_cast<std::size_t>(i)] = motor.Field(RecordFieldOf[i]);
    }
    texts.FeedbackType = FeedbackTypeOfCode(motor.Field(MotorField::Feedback));
    QString& resolution = texts[Field::FeedbackResolution];
    if (texts.FeedbackType == QLatin1String(AbsoluteEncoder)) {
        const int counts = LeadingInteger(resolution);
        resolution = QString::number(counts < 0 ? 0u : static_cast<unsigned>(counts));
    } else if (texts.FeedbackType == QLatin1String(Resolver)) {
        resolution = QStringLiteral("4096");
    }
    const bool hallsApply = texts.FeedbackType == QLatin1String(RegularEncoder) ||
                            texts.FeedbackType == QLatin1String(SmartEncoder);
    texts.InvertHallSignals =
        hallsApply && motor.Field(MotorField::Series) == QLatin1String("Vantor");
    return texts;
}

MotorParameterCheck::Values MotorParameterCheck::ToValues(const Texts& texts)
{
    const auto decimal = [&texts](Field field) {
        return static_cast<float>(LeadingDecimal(texts[field]));
    };
    Values values;
    if (texts.Linear) {
        values.MotorIsLinear = 1;
        values.MotorPolePairs = 1;
        values.ElectricalPitch = decimal(Field::PolePairsOrPitch);
    } else {
        values.MotorIsLinear = 0;
        values.MotorPolePairs = LeadingInteger(texts[Field::PolePairsOrPitch]);
        values.ElectricalPitch = 0.0f;
    }
    values.MotorRatedSpeed = decimal(Field::RatedSpeed);
    values.MotorInertia = decimal(Field::InertiaOrMass);
    values.MotorDamping = decimal(Field::Damping);
    values.MotorThermalTimeConstant = decimal(Field::MotorThermalTimeConstant);
    values.WindingThermalTimeConstant = decimal(Field::WindingThermalTimeConstant);
    values.ThermalResistance = decimal(Field::ThermalResistance);
    values.AmbientTemperature = decimal(Field::AmbientTemperature);
    values.MaxWindingTemperature = decimal(Field::MaxWindingTemperature);
    values.MotorKe = decimal(Field::Ke);
    values.ContinuousCurrent = decimal(Field::ContinuousCurrent);
    values.ContinuousCurrentDerating = decimal(Field::ContinuousCurrentDerating);
    values.PeakCurrent = decimal(Field::PeakCurrent);
    values.WindingResistance = decimal(Field::WindingResistance);
    const double maxInductance = LeadingDecimal(texts[Field::MaxInductance]);
    const double minInductance = LeadingDecimal(texts[Field::MinInductance]);
    values.MaxInductance = static_cast<float>(maxInductance);
    // A zero maximum would make the ratio infinite or NaN; the drive gets 0 then.
    values.InductanceRatio =
        maxInductance > 0.0 ? static_cast<float>(minInductance / maxInductance) : 0.0f;
    values.FeedbackAuxiliary = 0;
    values.FeedbackResolution = texts.FeedbackType == QLatin1String(Resolver)
                                    ? 4096
                                    : LeadingInteger(texts[Field::FeedbackResolution]);
    values.InvertHallSignals = texts.InvertHallSignals ? 1 : 0;
    return values;
}

} // namespace Orvex
