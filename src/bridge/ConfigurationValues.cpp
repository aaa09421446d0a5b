#include "ConfigurationValues.h"

#include "ComponentError.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

namespace Orvex {

namespace {

using Type = ConfigurationValues::ValueType;
using Way = ConfigurationValues::Transfer;

// Drive parameter numbers follow the drive's parameter list; defaults are the
// drive's factory values, so a fresh configuration downloads cleanly.
// FeedbackType codes (1 to 6) are not the drive's feedback type codes (P2,
// 0 to 3), and the tuner generation is a read-only parameter (P230), so those
// two and the auxiliary feedback stay with the bridge.
constexpr ConfigurationValues::Property kProperties[] = {
    {"MotorIsLinear", 2, Type::Int, 15, Way::Direct, 0},
    {"MotorPartNumber", 3, Type::Text, -1, Way::MotorPartCommand, 0},
    {"MotorRatedSpeed", 4, Type::Float, 16, Way::Direct, 50},
    {"MotorPolePairs", 5, Type::Int, 18, Way::Direct, 4},
    {"MotorInertia", 6, Type::Float, 21, Way::Direct, 100},
    {"MotorDamping", 7, Type::Float, 19, Way::Direct, 0},
    {"MotorThermalTimeConstant", 8, Type::Float, 124, Way::Direct, 30},
    {"WindingThermalTimeConstant", 9, Type::Float, 126, Way::Direct, 2},
    {"ThermalResistance", 10, Type::Float, 121, Way::Direct, 1},
    {"AmbientTemperature", 11, Type::Float, 119, Way::Direct, 25},
    {"MaxWindingTemperature", 12, Type::Float, 12, Way::Direct, 155},
    {"MotorKe", 13, Type::Float, 38, Way::Direct, 30},
    {"ContinuousCurrent", 14, Type::Float, 3, Way::Direct, 3},
    {"ContinuousCurrentDerating", 15, Type::Float, 5, Way::Direct, 0},
    {"PeakCurrent", 16, Type::Float, 7, Way::Direct, 9},
    {"WindingResistance", 17, Type::Float, 14, Way::Direct, 2},
    {"InductanceRatio", 18, Type::Float, 11, Way::Direct, 1},
    {"MaxInductance", 19, Type::Float, 9, Way::Direct, 5},
    // A rotary motor has no pitch; the wizard stores 0, below the drive's minimum.
    {"ElectricalPitch", 20, Type::Float, 29, Way::LinearMotorOnly, 0},
    {"CustomWindingNumber", 21, Type::Int, 116, Way::Direct, 0},
    {"FeedbackResolution", 22, Type::Int, 1, Way::Direct, 8000},
    {"CurrentLoopKp", 23, Type::Float, 60, Way::Direct, 20},
    {"CurrentLoopKi", 24, Type::Float, 58, Way::Direct, 0.25},
    {"CurrentLoopIntegralLimit", 25, Type::Float, 129, Way::Direct, 128},
    {"TorqueLimit", 26, Type::Float, 36, Way::Direct, 2},
    {"TorqueScaling", 27, Type::Float, 68, Way::Direct, 2},
    {"VelocityLimit", 28, Type::Float, 93, Way::Direct, 50},
    {"PwmFrequency", 29, Type::Int, 84, Way::Direct, 16},
    {"CurrentFoldback", 30, Type::Bool, 70, Way::Direct, 0},
    {"CoolingCode", 34, Type::Int, 25, Way::Direct, 0},
    {"CommandDirection", 35, Type::Int, 55, Way::Direct, 0},
    {"FeedbackAuxiliary", 37, Type::Int, -1, Way::None, 0},
    {"PositionLoopKp", 38, Type::Float, 170, Way::Direct, 0.6},
    {"PositionLoopKi", 39, Type::Float, 172, Way::Direct, 1},
    {"PositionLoopKv", 41, Type::Float, 176, Way::Direct, 1.4},
    {"PositionLoopIntegralLimit", 42, Type::Int, 178, Way::NotVelocityModeIntegral, 1},
    {"ControlMode", 45, Type::Int, 71, Way::Direct, 2},
    {"MaxPositionError", 46, Type::Int, 184, Way::Direct, 4000},
    {"InertiaRatio", 49, Type::Float, 27, Way::Direct, 0},
    {"VelocityScaling", 51, Type::Float, 194, Way::Direct, 50},
    {"Commutation", 52, Type::Int, 96, Way::Direct, 0},
    {"VelocityLoopKp", 53, Type::Float, 190, Way::Direct, 1},
    {"VelocityLoopKi", 54, Type::Float, 192, Way::Direct, 1},
    {"VelocityLoopIntegralLimit", 55, Type::Int, 178, Way::VelocityModeIntegral, 1},
    {"FaultOnDriveDisable", 56, Type::Bool, 95, Way::Direct, 1},
    {"StartupVoltageFault", 57, Type::Float, 114, Way::Direct, 10},
    {"BrakeDelay", 58, Type::Int, 90, Way::Direct, 0},
    {"InPositionEnable", 59, Type::Bool, 89, Way::Direct, 0},
    {"InPositionDeadband", 60, Type::Int, 91, Way::Direct, 0},
    {"InPositionTimeout", 61, Type::Int, 92, Way::Direct, 0},
    {"ThermalSensorDisable", 62, Type::Bool, 85, Way::Direct, 0},
    {"ThermalSensorCode", 63, Type::Int, 118, Way::Direct, 0},
    {"NotchADepth", 64, Type::Float, 72, Way::Direct, 0},
    {"NotchAFrequency", 65, Type::Int, 74, Way::Direct, 0},
    {"NotchAQuality", 66, Type::Float, 75, Way::Direct, 1},
    {"NotchBDepth", 67, Type::Float, 77, Way::Direct, 0},
    {"NotchBFrequency", 68, Type::Int, 79, Way::Direct, 0},
    {"NotchBQuality", 69, Type::Float, 80, Way::Direct, 1},
    {"NotchLeadFrequency", 70, Type::Int, 82, Way::Direct, 0},
    {"NotchLagFrequency", 71, Type::Int, 83, Way::Direct, 0},
    {"HallSensorDirection", 72, Type::Int, 163, Way::Direct, 0},
    {"InvertHallSignals", 73, Type::Int, 86, Way::Direct, 0},
    {"EncoderOffset", 74, Type::Int, 142, Way::Direct, 0},
    {"EncoderPolarity", 75, Type::Int, 54, Way::Direct, 0},
    {"StepInputResolution", 76, Type::Int, 188, Way::Direct, 4000},
    {"AnalogCenterDeadband", 77, Type::Float, 56, Way::Direct, 0.04},
    {"InvertAnalogInput", 78, Type::Bool, 53, Way::Direct, 0},
    {"ZeroReferenceVoltage", 79, Type::Float, 134, Way::ZeroReferenceCounts, 0},
    {"PositionLoopKvff", 80, Type::Float, 182, Way::Direct, 1},
    {"MaxVelocityError", 81, Type::Float, 196, Way::Direct, 0},
    {"DriveParameter186", 82, Type::Int, 186, Way::UploadOnly, 0},
    {"AutoCurrentGains", 83, Type::Int, 62, Way::Direct, 1},
    {"CurrentLoopBandwidth", 84, Type::Int, 130, Way::Direct, 1200},
    {"EncoderFiltering", 85, Type::Int, 87, Way::Direct, 0},
    {"TuningMode", 190, Type::Int, 226, Way::Direct, 0},
    {"SlidingGain", 191, Type::Float, 220, Way::Direct, 0.25},
    {"AccelerationFactor", 192, Type::Float, 221, Way::Direct, 0.5},
    {"RisingSpeed", 193, Type::Float, 222, Way::Direct, 100},
    {"SwitchingFactor", 194, Type::Float, 223, Way::Direct, 10},
    {"SignedSlidingScaleFactor", 195, Type::Float, 224, Way::Direct, 0.01},
    {"ModeFilterConstant", 196, Type::Float, 225, Way::Direct, 0.3},
    {"FeedbackType", 197, Type::Int, -1, Way::None, 1},
    {"Step1Value", 198, Type::Float, -1, Way::None, 0},
};
constexpr std::size_t kPropertyCount = std::size(kProperties);

constexpr int kControlModeId = 45;
constexpr int kMotorIsLinearId = 2;
constexpr int kVelocityMode = 4;
constexpr int kControlModeParameter = 71;
constexpr int kMotorIsLinearParameter = 15;

// The drive keeps the zero command reference as an analog input reading.
constexpr double kCountsPerVolt = 3276.8;
constexpr double kZeroVoltCounts = 230.0;

// A number the way the drive or the file prints it, in the C locale only.
bool ParseNumber(QStringView text, double* value)
{
    bool ok = false;
    const double parsed = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(parsed)) {
        return false;
    }
    *value = parsed;
    return true;
}

bool IsWhole(double value)
{
    return value == std::trunc(value) && value >= std::numeric_limits<int>::min() &&
           value <= std::numeric_limits<int>::max();
}

// Narrows a number read from text to what the property's type can hold.
bool Narrow(ConfigurationValues::ValueType type, double* value)
{
    switch (type) {
    case Type::Int:
        return IsWhole(*value);
    case Type::Bool:
        return *value == 0.0 || *value == 1.0;
    case Type::Float: {
        const auto narrowed = static_cast<float>(*value);
        if (!std::isfinite(narrowed)) {
            return false;
        }
        *value = narrowed;
        return true;
    }
    case Type::Text:
        break;
    }
    return false;
}

QString EscapeText(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\\') {
            escaped += QLatin1String("\\\\");
        } else if (c == u'\r') {
            escaped += QLatin1String("\\r");
        } else if (c == u'\n') {
            escaped += QLatin1String("\\n");
        } else {
            escaped += c;
        }
    }
    return escaped;
}

bool UnescapeText(QStringView text, QString* out)
{
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\') {
            result += text[i];
            continue;
        }
        if (++i == text.size()) {
            return false;
        }
        switch (text[i].unicode()) {
        case '\\':
            result += u'\\';
            break;
        case 'r':
            result += u'\r';
            break;
        case 'n':
            result += u'\n';
            break;
        default:
            return false;
        }
    }
    *out = result;
    return true;
}

} // namespace

std::span<const ConfigurationValues::Property> ConfigurationValues::Properties()
{
    return kProperties;
}

const ConfigurationValues::Property* ConfigurationValues::FindByName(QStringView name)
{
    for (const Property& property : kProperties) {
        if (name == QLatin1String(property.Name)) {
            return &property;
        }
    }
    return nullptr;
}

const ConfigurationValues::Property* ConfigurationValues::FindById(int dispatchId)
{
    for (const Property& property : kProperties) {
        if (property.DispatchId == dispatchId) {
            return &property;
        }
    }
    return nullptr;
}

std::size_t ConfigurationValues::RowOf(int dispatchId, ValueType type)
{
    const Property* property = FindById(dispatchId);
    if (property == nullptr || property->Type != type) {
        throw ComponentError(
            ResultCode::Unexpected,
            QStringLiteral("Configuration property %1 used with the wrong type.").arg(dispatchId));
    }
    return static_cast<std::size_t>(property - kProperties);
}

ConfigurationValues::ConfigurationValues() : m_numbers(kPropertyCount), m_texts(kPropertyCount)
{
    for (std::size_t row = 0; row < kPropertyCount; ++row) {
        const Property& property = kProperties[row];
        // Held as the 32-bit value the property answers, so a default reads
        // back from a file or the drive as itself.
        m_numbers[row] = property.Type == ValueType::Float
                             ? static_cast<double>(static_cast<float>(property.Default))
                             : property.Default;
    }
}

int ConfigurationValues::Int(int dispatchId) const
{
    return static_cast<int>(m_numbers[RowOf(dispatchId, ValueType::Int)]);
}

float ConfigurationValues::Float(int dispatchId) const
{
    return static_cast<float>(m_numbers[RowOf(dispatchId, ValueType::Float)]);
}

bool ConfigurationValues::Bool(int dispatchId) const
{
    return m_numbers[RowOf(dispatchId, ValueType::Bool)] != 0.0;
}

QString ConfigurationValues::Text(int dispatchId) const
{
    return m_texts[RowOf(dispatchId, ValueType::Text)];
}

void ConfigurationValues::SetInt(int dispatchId, int value)
{
    m_numbers[RowOf(dispatchId, ValueType::Int)] = value;
}

void ConfigurationValues::SetFloat(int dispatchId, float value)
{
    m_numbers[RowOf(dispatchId, ValueType::Float)] = static_cast<double>(value);
}

void ConfigurationValues::SetBool(int dispatchId, bool value)
{
    m_numbers[RowOf(dispatchId, ValueType::Bool)] = value ? 1.0 : 0.0;
}

void ConfigurationValues::SetText(int dispatchId, const QString& value)
{
    m_texts[RowOf(dispatchId, ValueType::Text)] = value;
}

QString ConfigurationValues::FileText(const Property& property) const
{
    const std::size_t row = RowOf(property.DispatchId, property.Type);
    switch (property.Type) {
    case ValueType::Text:
        return EscapeText(m_texts[row]);
    case ValueType::Float:
        return QString::asprintf("%.9g", m_numbers[row]);
    case ValueType::Int:
    case ValueType::Bool:
        break;
    }
    return QString::number(static_cast<int>(m_numbers[row]));
}

bool ConfigurationValues::SetFromFileText(const Property& property, QStringView text)
{
    const std::size_t row = RowOf(property.DispatchId, property.Type);
    if (property.Type == ValueType::Text) {
        return UnescapeText(text, &m_texts[row]);
    }
    double value = 0.0;
    if (!ParseNumber(text, &value) || !Narrow(property.Type, &value)) {
        return false;
    }
    m_numbers[row] = value;
    return true;
}

bool ConfigurationValues::CanBeStored(QString* offendingName) const
{
    for (std::size_t row = 0; row < kPropertyCount; ++row) {
        if (kProperties[row].Type == ValueType::Float && !std::isfinite(m_numbers[row])) {
            *offendingName = QLatin1String(kProperties[row].Name);
            return false;
        }
    }
    return true;
}

QString ConfigurationValues::DriveText(const Property& property, double value)
{
    if (property.Way == Transfer::ZeroReferenceCounts) {
        // Rounded, not truncated, so a value read back from the drive is sent
        // back as the same reading.
        return QString::number(std::llround(value * kCountsPerVolt + kZeroVoltCounts));
    }
    if (property.Type == ValueType::Float) {
        return QString::asprintf("%.9g", value);
    }
    return QString::number(static_cast<int>(value));
}

std::vector<ConfigurationValues::DriveWrite> ConfigurationValues::DownloadWrites() const
{
    const bool velocityMode = Int(kControlModeId) == kVelocityMode;
    const bool linear = Int(kMotorIsLinearId) != 0;
    std::vector<std::pair<int, DriveWrite>> writes;
    for (std::size_t row = 0; row < kPropertyCount; ++row) {
        const Property& property = kProperties[row];
        switch (property.Way) {
        case Transfer::None:
        case Transfer::UploadOnly:
            continue;
        case Transfer::MotorPartCommand:
            writes.push_back({-1, {QStringLiteral("MPART=") + m_texts[row], &property}});
            continue;
        case Transfer::LinearMotorOnly:
            if (!linear) {
                continue;
            }
            break;
        case Transfer::VelocityModeIntegral:
            if (!velocityMode) {
                continue;
            }
            break;
        case Transfer::NotVelocityModeIntegral:
            if (velocityMode) {
                continue;
            }
            break;
        case Transfer::Direct:
        case Transfer::ZeroReferenceCounts:
            break;
        }
        const QString command = QStringLiteral("P%1=%2")
                                    .arg(property.Parameter, 3, 10, QLatin1Char('0'))
                                    .arg(DriveText(property, m_numbers[row]));
        writes.push_back({property.Parameter, {command, &property}});
    }
    std::stable_sort(writes.begin(), writes.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<DriveWrite> ordered;
    ordered.reserve(writes.size());
    for (auto& write : writes) {
        ordered.push_back(std::move(write.second));
    }
    return ordered;
}

std::vector<int> ConfigurationValues::UploadOnlyParameters()
{
    std::vector<int> numbers;
    for (const Property& property : kProperties) {
        if (property.Way == Transfer::UploadOnly) {
            numbers.push_back(property.Parameter);
        }
    }
    return numbers;
}

bool ConfigurationValues::ApplyUpload(const std::map<int, QString>& parameters,
                                      const QString* motorPart, int* badParameter)
{
    ConfigurationValues updated = *this;
    // The control mode and the motor kind decide where the shared and the
    // linear-only parameters go, so they are read first.
    const auto valueOf = [&](int parameter, double* value) {
        const auto found = parameters.find(parameter);
        return found != parameters.end() && ParseNumber(found->second, value);
    };
    double mode = Int(kControlModeId);
    double linear = Int(kMotorIsLinearId);
    valueOf(kControlModeParameter, &mode);
    valueOf(kMotorIsLinearParameter, &linear);
    const bool velocityMode = mode == kVelocityMode;

    for (std::size_t row = 0; row < kPropertyCount; ++row) {
        const Property& property = kProperties[row];
        if (property.Way == Transfer::None) {
            continue;
        }
        if (property.Way == Transfer::MotorPartCommand) {
            if (motorPart != nullptr) {
                updated.m_texts[row] = *motorPart;
            }
            continue;
        }
        if ((property.Way == Transfer::VelocityModeIntegral && !velocityMode) ||
            (property.Way == Transfer::NotVelocityModeIntegral && velocityMode)) {
            continue;
        }
        if (property.Way == Transfer::LinearMotorOnly && linear == 0.0) {
            updated.m_numbers[row] = 0.0;
            continue;
        }
        const auto found = parameters.find(property.Parameter);
        if (found == parameters.end()) {
            continue;
        }
        double value = 0.0;
        if (!ParseNumber(found->second, &value)) {
            *badParameter = property.Parameter;
            return false;
        }
        if (property.Way == Transfer::ZeroReferenceCounts) {
            value = (value - kZeroVoltCounts) / kCountsPerVolt;
        }
        if (!Narrow(property.Type, &value)) {
            *badParameter = property.Parameter;
            return false;
        }
        updated.m_numbers[row] = value;
    }
    *this = std::move(updated);
    return true;
}

} // namespace Orvex
