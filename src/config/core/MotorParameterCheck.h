#pragma once

#include "MotorDatabase.h"
#include "ParameterLimits.h"

#include <QString>

#include <array>

namespace Orvex {

// The motor parameters of the wizard's advanced motor page without its
// widgets: takes them from a motor record, checks them against the parameter
// limits in the page's order, and turns them into the values it writes.
class MotorParameterCheck
{
public:
    static constexpr char RegularEncoder[] = "Regular Encoder";
    static constexpr char SmartEncoder[] = "Smart Encoder";
    static constexpr char AbsoluteEncoder[] = "Absolute Encoder";
    static constexpr char Resolver[] = "Resolver";

    // The page's edit fields, in the order they are checked.
    enum class Field
    {
        RatedSpeed,
        PolePairsOrPitch,
        InertiaOrMass,
        Damping,
        MotorThermalTimeConstant,
        WindingThermalTimeConstant,
        ThermalResistance,
        AmbientTemperature,
        MaxWindingTemperature,
        Ke,
        ContinuousCurrent,
        ContinuousCurrentDerating,
        PeakCurrent,
        WindingResistance,
        MinInductance,
        MaxInductance,
        FeedbackResolution,
    };
    static constexpr int FieldCount = 17;

    struct Texts
    {
        bool Linear = false;
        // One of the four feedback type texts above.
        QString FeedbackType = QString::fromLatin1(RegularEncoder);
        bool InvertHallSignals = false;
        std::array<QString, FieldCount> Fields;

        QString& operator[](Field field) { return Fields[static_cast<std::size_t>(field)]; }
        const QString& operator[](Field field) const
        {
            return Fields[static_cast<std::size_t>(field)];
        }
    };

    // The first failed check, or Ok. The inductance order check fails on
    // MaxInductance.
    struct Result
    {
        bool Ok = true;
        Field Failed = Field::RatedSpeed;
        QString Message;
    };

    // What the page writes to the configuration after a passed check.
    struct Values
    {
        int MotorIsLinear = 0;
        int MotorPolePairs = 0;
        float ElectricalPitch = 0.0f;
        float MotorRatedSpeed = 0.0f;
        float MotorInertia = 0.0f;
        float MotorDamping = 0.0f;
        float MotorThermalTimeConstant = 0.0f;
        float WindingThermalTimeConstant = 0.0f;
        float ThermalResistance = 0.0f;
        float AmbientTemperature = 0.0f;
        float MaxWindingTemperature = 0.0f;
        float MotorKe = 0.0f;
        float ContinuousCurrent = 0.0f;
        float ContinuousCurrentDerating = 0.0f;
        float PeakCurrent = 0.0f;
        float WindingResistance = 0.0f;
        float MaxInductance = 0.0f;
        float InductanceRatio = 0.0f;
        int FeedbackAuxiliary = 0;
        int FeedbackResolution = 0;
        int InvertHallSignals = 0;
    };

    // Runs the checks in order and stops at the first failure; an empty field fails.
    static Result Validate(const Texts& texts, const ParameterLimits& limits);
    // The page's texts as resetting to the motor's defaults sets them.
    static Texts FromMotor(const IOrvexMotor& motor);
    // The values the page writes; a resolver always writes 4096.
    static Values ToValues(const Texts& texts);
    // The feedback type text of a motor record's feedback code.
    static QString FeedbackTypeOfCode(const QString& feedbackCode);
};

} // namespace Orvex
