#pragma once

#include <cstddef>
#include <iterator>

namespace Orvex {

// The type a configuration property answers.
enum class ConfigType
{
    Int,
    Float,
    Bool,
    Text,
};

// Whether a property has a getter, a setter or both.
enum class ConfigAccess
{
    GetPut,
    Get,
    Put,
};

// One property of the drive bridge's configuration object: its name, dispatch
// id, type, the drive parameter it travels to (-1 when the drive keeps no
// such parameter) and whether it is read, written or both. The bridge's
// accessors, its .kvt file and transfers, and the pages' range checks (whose
// limits are those of the drive parameter) all take a property from the table
// below, so each number is written once.
struct ConfigField
{
    const char* Name;
    int DispatchId;
    ConfigType Type;
    int Parameter;
    ConfigAccess Access = ConfigAccess::GetPut;

    constexpr bool HasParameter() const { return Parameter >= 0; }
    constexpr bool Readable() const { return Access != ConfigAccess::Put; }
    constexpr bool Writable() const { return Access != ConfigAccess::Get; }
};

// Every configuration property, in dispatch id order. FeedbackType codes
// (1 to 6) are not the drive's feedback type codes, and the tuner generation
// is a read-only drive value, so those two and the auxiliary feedback have no
// parameter of their own; the three are only written, and the drive's
// configuration checksum (parameter 186) is only read. The velocity and position loop integral
// limits share one parameter: the drive uses it for the loop of its control mode.
namespace ConfigFields {
// clang-format off
inline constexpr ConfigField MotorIsLinear{"MotorIsLinear", 2, ConfigType::Int, 15};
inline constexpr ConfigField MotorPartNumber{"MotorPartNumber", 3, ConfigType::Text, -1};
inline constexpr ConfigField MotorRatedSpeed{"MotorRatedSpeed", 4, ConfigType::Float, 16};
inline constexpr ConfigField MotorPolePairs{"MotorPolePairs", 5, ConfigType::Int, 18};
inline constexpr ConfigField MotorInertia{"MotorInertia", 6, ConfigType::Float, 21};
inline constexpr ConfigField MotorDamping{"MotorDamping", 7, ConfigType::Float, 19};
inline constexpr ConfigField MotorThermalTimeConstant{"MotorThermalTimeConstant", 8, ConfigType::Float, 124};
inline constexpr ConfigField WindingThermalTimeConstant{"WindingThermalTimeConstant", 9, ConfigType::Float, 126};
inline constexpr ConfigField ThermalResistance{"ThermalResistance", 10, ConfigType::Float, 121};
inline constexpr ConfigField AmbientTemperature{"AmbientTemperature", 11, ConfigType::Float, 119};
inline constexpr ConfigField MaxWindingTemperature{"MaxWindingTemperature", 12, ConfigType::Float, 12};
inline constexpr ConfigField MotorKe{"MotorKe", 13, ConfigType::Float, 38};
inline constexpr ConfigField ContinuousCurrent{"ContinuousCurrent", 14, ConfigType::Float, 3};
inline constexpr ConfigField ContinuousCurrentDerating{"ContinuousCurrentDerating", 15, ConfigType::Float, 5};
inline constexpr ConfigField PeakCurrent{"PeakCurrent", 16, ConfigType::Float, 7};
inline constexpr ConfigField WindingResistance{"WindingResistance", 17, ConfigType::Float, 14};
inline constexpr ConfigField InductanceRatio{"InductanceRatio", 18, ConfigType::Float, 11};
inline constexpr ConfigField MaxInductance{"MaxInductance", 19, ConfigType::Float, 9};
inline constexpr ConfigField ElectricalPitch{"ElectricalPitch", 20, ConfigType::Float, 29};
inline constexpr ConfigField CustomWindingNumber{"CustomWindingNumber", 21, ConfigType::Int, 116};
inline constexpr ConfigField FeedbackResolution{"FeedbackResolution", 22, ConfigType::Int, 1};
inline constexpr ConfigField CurrentLoopKp{"CurrentLoopKp", 23, ConfigType::Float, 60};
inline constexpr ConfigField CurrentLoopKi{"CurrentLoopKi", 24, ConfigType::Float, 58};
inline constexpr ConfigField CurrentLoopIntegralLimit{"CurrentLoopIntegralLimit", 25, ConfigType::Float, 129};
inline constexpr ConfigField TorqueLimit{"TorqueLimit", 26, ConfigType::Float, 36};
inline constexpr ConfigField TorqueScaling{"TorqueScaling", 27, ConfigType::Float, 68};
inline constexpr ConfigField VelocityLimit{"VelocityLimit", 28, ConfigType::Float, 93};
inline constexpr ConfigField PwmFrequency{"PwmFrequency", 29, ConfigType::Int, 84};
inline constexpr ConfigField CurrentFoldback{"CurrentFoldback", 30, ConfigType::Bool, 70};
inline constexpr ConfigField CoolingCode{"CoolingCode", 34, ConfigType::Int, 25};
inline constexpr ConfigField CommandDirection{"CommandDirection", 35, ConfigType::Int, 55};
inline constexpr ConfigField FeedbackAuxiliary{"FeedbackAuxiliary", 37, ConfigType::Int, -1, ConfigAccess::Put};
inline constexpr ConfigField PositionLoopKp{"PositionLoopKp", 38, ConfigType::Float, 170};
inline constexpr ConfigField PositionLoopKi{"PositionLoopKi", 39, ConfigType::Float, 172};
inline constexpr ConfigField PositionLoopKv{"PositionLoopKv", 41, ConfigType::Float, 176};
inline constexpr ConfigField PositionLoopIntegralLimit{"PositionLoopIntegralLimit", 42, ConfigType::Int, 178};
inline constexpr ConfigField ControlMode{"ControlMode", 45, ConfigType::Int, 71};
inline constexpr ConfigField MaxPositionError{"MaxPositionError", 46, ConfigType::Int, 184};
inline constexpr ConfigField InertiaRatio{"InertiaRatio", 49, ConfigType::Float, 27};
inline constexpr ConfigField VelocityScaling{"VelocityScaling", 51, ConfigType::Float, 194};
inline constexpr ConfigField Commutation{"Commutation", 52, ConfigType::Int, 96};
inline constexpr ConfigField VelocityLoopKp{"VelocityLoopKp", 53, ConfigType::Float, 190};
inline constexpr ConfigField VelocityLoopKi{"VelocityLoopKi", 54, ConfigType::Float, 192};
inline constexpr ConfigField VelocityLoopIntegralLimit{"VelocityLoopIntegralLimit", 55, ConfigType::Int, 178};
inline constexpr ConfigField FaultOnDriveDisable{"FaultOnDriveDisable", 56, ConfigType::Bool, 95};
inline constexpr ConfigField StartupVoltageFault{"StartupVoltageFault", 57, ConfigType::Float, 114};
inline constexpr ConfigField BrakeDelay{"BrakeDelay", 58, ConfigType::Int, 90};
inline constexpr ConfigField InPositionEnable{"InPositionEnable", 59, ConfigType::Bool, 89};
inline constexpr ConfigField InPositionDeadband{"InPositionDeadband", 60, ConfigType::Int, 91};
inline constexpr ConfigField InPositionTimeout{"InPositionTimeout", 61, ConfigType::Int, 92};
inline constexpr ConfigField ThermalSensorDisable{"ThermalSensorDisable", 62, ConfigType::Bool, 85};
inline constexpr ConfigField ThermalSensorCode{"ThermalSensorCode", 63, ConfigType::Int, 118};
inline constexpr ConfigField NotchADepth{"NotchADepth", 64, ConfigType::Float, 72};
inline constexpr ConfigField NotchAFrequency{"NotchAFrequency", 65, ConfigType::Int, 74};
inline constexpr ConfigField NotchAQuality{"NotchAQuality", 66, ConfigType::Float, 75};
inline constexpr ConfigField NotchBDepth{"NotchBDepth", 67, ConfigType::Float, 77};
inline constexpr ConfigField NotchBFrequency{"NotchBFrequency", 68, ConfigType::Int, 79};
inline constexpr ConfigField NotchBQuality{"NotchBQuality", 69, ConfigType::Float, 80};
inline constexpr ConfigField NotchLeadFrequency{"NotchLeadFrequency", 70, ConfigType::Int, 82};
inline constexpr ConfigField NotchLagFrequency{"NotchLagFrequency", 71, ConfigType::Int, 83};
inline constexpr ConfigField HallSensorDirection{"HallSensorDirection", 72, ConfigType::Int, 163};
inline constexpr ConfigField InvertHallSignals{"InvertHallSignals", 73, ConfigType::Int, 86};
inline constexpr ConfigField EncoderOffset{"EncoderOffset", 74, ConfigType::Int, 142};
inline constexpr ConfigField EncoderPolarity{"EncoderPolarity", 75, ConfigType::Int, 54};
inline constexpr ConfigField StepInputResolution{"StepInputResolution", 76, ConfigType::Int, 188};
inline constexpr ConfigField AnalogCenterDeadband{"AnalogCenterDeadband", 77, ConfigType::Float, 56};
inline constexpr ConfigField InvertAnalogInput{"InvertAnalogInput", 78, ConfigType::Bool, 53};
inline constexpr ConfigField ZeroReferenceVoltage{"ZeroReferenceVoltage", 79, ConfigType::Float, 134};
inline constexpr ConfigField PositionLoopKvff{"PositionLoopKvff", 80, ConfigType::Float, 182};
inline constexpr ConfigField MaxVelocityError{"MaxVelocityError", 81, ConfigType::Float, 196};
inline constexpr ConfigField DriveParameter186{"DriveParameter186", 82, ConfigType::Int, 186, ConfigAccess::Get};
inline constexpr ConfigField AutoCurrentGains{"AutoCurrentGains", 83, ConfigType::Int, 62};
inline constexpr ConfigField CurrentLoopBandwidth{"CurrentLoopBandwidth", 84, ConfigType::Int, 130};
inline constexpr ConfigField EncoderFiltering{"EncoderFiltering", 85, ConfigType::Int, 87};
inline constexpr ConfigField TuningMode{"TuningMode", 190, ConfigType::Int, 226};
inline constexpr ConfigField SlidingGain{"SlidingGain", 191, ConfigType::Float, 220};
inline constexpr ConfigField AccelerationFactor{"AccelerationFactor", 192, ConfigType::Float, 221};
inline constexpr ConfigField RisingSpeed{"RisingSpeed", 193, ConfigType::Float, 222};
inline constexpr ConfigField SwitchingFactor{"SwitchingFactor", 194, ConfigType::Float, 223};
inline constexpr ConfigField SignedSlidingScaleFactor{"SignedSlidingScaleFactor", 195, ConfigType::Float, 224};
inline constexpr ConfigField ModeFilterConstant{"ModeFilterConstant", 196, ConfigType::Float, 225};
inline constexpr ConfigField FeedbackType{"FeedbackType", 197, ConfigType::Int, -1, ConfigAccess::Put};
inline constexpr ConfigField Step1Value{"Step1Value", 198, ConfigType::Float, -1, ConfigAccess::Put};

// The table, row by row, for those who go over every property.
inline constexpr ConfigField All[] = {
    MotorIsLinear, MotorPartNumber, MotorRatedSpeed, MotorPolePairs, MotorInertia, MotorDamping,
    MotorThermalTimeConstant, WindingThermalTimeConstant, ThermalResistance, AmbientTemperature,
    MaxWindingTemperature, MotorKe, ContinuousCurrent, ContinuousCurrentDerating, PeakCurrent,
    WindingResistance, InductanceRatio, MaxInductance, ElectricalPitch, CustomWindingNumber,
    FeedbackResolution, CurrentLoopKp, CurrentLoopKi, CurrentLoopIntegralLimit, TorqueLimit,
    TorqueScaling, VelocityLimit, PwmFrequency, CurrentFoldback, CoolingCode, CommandDirection,
    FeedbackAuxiliary, PositionLoopKp, PositionLoopKi, PositionLoopKv, PositionLoopIntegralLimit,
    ControlMode, MaxPositionError, InertiaRatio, VelocityScaling, Commutation, VelocityLoopKp,
    VelocityLoopKi, VelocityLoopIntegralLimit, FaultOnDriveDisable, StartupVoltageFault,
    BrakeDelay, InPositionEnable, InPositionDeadband, InPositionTimeout, ThermalSensorDisable,
    ThermalSensorCode, NotchADepth, NotchAFrequency, NotchAQuality, NotchBDepth, NotchBFrequency,
    NotchBQuality, NotchLeadFrequency, NotchLagFrequency, HallSensorDirection, InvertHallSignals,
    EncoderOffset, EncoderPolarity, StepInputResolution, AnalogCenterDeadband, InvertAnalogInput,
    ZeroReferenceVoltage, PositionLoopKvff, MaxVelocityError, DriveParameter186, AutoCurrentGains,
    CurrentLoopBandwidth, EncoderFiltering, TuningMode, SlidingGain, AccelerationFactor,
    RisingSpeed, SwitchingFactor, SignedSlidingScaleFactor, ModeFilterConstant, FeedbackType,
    Step1Value,
};
// clang-format on

constexpr bool InDispatchIdOrder()
{
    for (std::size_t row = 1; row < std::size(All); ++row) {
        if (All[row - 1].DispatchId >= All[row].DispatchId) {
            return false;
        }
    }
    return true;
}
static_assert(InDispatchIdOrder(), "each property once, in dispatch id order");
} // namespace ConfigFields

} // namespace Orvex
