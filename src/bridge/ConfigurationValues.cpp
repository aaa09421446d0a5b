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

// How each property travels to the drive, and its default: the drive's
// factory value, so a fresh configuration downloads cleanly.
constexpr ConfigurationValues::Property kProperties[] = {
    {ConfigFields::MotorIsLinear, Way::Direct, 0},
    {ConfigFields::MotorPartNumber, Way::MotorPartCommand, 0},
    {ConfigFields::MotorRatedSpeed, Way::Direct, 50},
    {ConfigFields::MotorPolePairs, Way::Direct, 4},
    {ConfigFields::MotorInertia, Way::Direct, 100},
    {ConfigFields::MotorDamping, Way::Direct, 0},
    {ConfigFields::MotorThermalTimeConstant, Way::Direct, 30},
    {ConfigFields::WindingThermalTimeConstant, Way::Direct, 2},
    {ConfigFields::ThermalResistance, Way::Direct, 1},
    {ConfigFields::AmbientTemperature, Way::Direct, 25},
    {ConfigFields::MaxWindingTemperature, Way::Direct, 155},
    {ConfigFields::MotorKe, Way::Direct, 30},
    {ConfigFields::ContinuousCurrent, Way::Direct, 3},
    {ConfigFields::ContinuousCurrentDerating, Way::Direct, 0},
    {ConfigFields::PeakCurrent, Way::Direct, 9},
    {ConfigFields::WindingResistance, Way::Direct, 2},
    {ConfigFields::InductanceRatio, Way::Direct, 1},
    {ConfigFields::MaxInductance, Way::Direct, 5},
    // A rotary motor has no pitch; the wizard stores 0, below the drive's minimum.
    {ConfigFields::ElectricalPitch, Way::LinearMotorOnly, 0},
    {ConfigFields::CustomWindingNumber, Way::Direct, 0},
    {ConfigFields::FeedbackResolution, Way::Direct, 8000},
    {ConfigFields::CurrentLoopKp, Way::Direct, 20},
    {ConfigFields::CurrentLoopKi, Way::Direct, 0.25},
    {ConfigFields::CurrentLoopIntegralLimit, Way::Direct, 128},
    {ConfigFields::TorqueLimit, Way::Direct, 2},
    {ConfigFields::TorqueScaling, Way::Direct, 2},
    {ConfigFields::VelocityLimit, Way::Direct, 50},
    {ConfigFields::PwmFrequency, Way::Direct, 16},
    {ConfigFields::CurrentFoldback, Way::Direct, 0},
    {ConfigFields::CoolingCode, Way::Direct, 0},
    {ConfigFields::CommandDirection, Way::Direct, 0},
    {ConfigFields::FeedbackAuxiliary, Way::None, 0},
    {ConfigFields::PositionLoopKp, Way::Direct, 0.6},
    {ConfigFields::PositionLoopKi, Way::Direct, 1},
    {ConfigFields::PositionLoopKv, Way::Direct, 1.4},
    {ConfigFields::PositionLoopIntegralLimit, Way::NotVelocityModeIntegral, 1},
    {ConfigFields::ControlMode, Way::Direct, 2},
    {ConfigFields::MaxPositionError, Way::Direct, 4000},
    {ConfigFields::InertiaRatio, Way::Direct, 0},
    {ConfigFields::VelocityScaling, Way::Direct, 50},
    {ConfigFields::Commutation, Way::Direct, 0},
    {ConfigFields::VelocityLoopKp, Way::Direct, 1},
    {ConfigFields::VelocityLoopKi, Way::Direct, 1},
    {ConfigFields::VelocityLoopIntegralLimit, Way::VelocityModeIntegral, 1},
    {ConfigFields::FaultOnDriveDisable, Way::Direct, 1},
    {ConfigFields::StartupVoltageFault, Way::Direct, 10},
    {ConfigFields::BrakeDelay, Way::Direct, 0},
    {ConfigFields::InPositionEnable, Way::Direct, 0},
    {ConfigFields::InPositionDeadband, Way::Direct, 0},
    {ConfigFields::InPositionTimeout, Way::Direct, 0},
    {ConfigFields::ThermalSensorDisable, Way::Direct, 0},
    {ConfigFields::ThermalSensorCode, Way::Direct, 0},
    {ConfigFields::NotchADepth, Way::Direct, 0},
    {ConfigFields::NotchAFrequency, Way::Direct, 0},
    {ConfigFields::NotchAQuality, Way::Direct, 1},
    {ConfigFields::NotchBDepth, Way::Direct, 0},
    {ConfigFields::NotchBFrequency, Way::Direct, 0},
    {ConfigFields::NotchBQuality, Way::Direct, 1},
    {ConfigFields::NotchLeadFrequency, Way::Direct, 0},
    {ConfigFields::NotchLagFrequency, Way::Direct, 0},
    {ConfigFields::HallSensorDirection, Way::Direct, 0},
    {ConfigFields::InvertHallSignals, Way::Direct, 0},
    {ConfigFields::EncoderOffset, Way::Direct, 0},
    {ConfigFields::EncoderPolarity, Way::Direct, 0},
    {ConfigFields::StepInputResolution, Way::Direct, 4000},
    {ConfigFields::AnalogCenterDeadband, Way::Direct, 0.04},
    {ConfigFields::InvertAnalogInput, Way::Direct, 0},
    {ConfigFields::ZeroReferenceVoltage, Way::ZeroReferenceCounts, 0},
    {ConfigFields::PositionLoopKvff, Way::Direct, 1},
    {ConfigFields::MaxVelocityError, Way::Direct, 0},
    {ConfigFields::DriveParameter186, Way::UploadOnly, 0},
    {ConfigFields::AutoCurrentGains, Way::Direct, 1},
    {ConfigFields::CurrentLoopBandwidth, Way::Direct, 1200},
    {ConfigFields::EncoderFiltering, Way::Direct, 0},
    {ConfigFields::TuningMode, Way::Direct, 0},
    {ConfigFields::SlidingGain, Way::Direct, 0.25},
    {ConfigFields::AccelerationFactor, Way::Direct, 0.5},
    {ConfigFields::RisingSpeed, Way::Direct, 100},
    {ConfigFields::SwitchingFactor, Way::Direct, 10},
    {ConfigFields::SignedSlidingScaleFactor, Way::Direct, 0.01},
    {ConfigFields::ModeFilterConstant, Way::Direct, 0.3},
    {ConfigFields::FeedbackType, Way::None, 1},
    {ConfigFields::Step1Value, Way::None, 0},
};
constexpr std::size_t kPropertyCount = std::size(kProperties);

constexpr bool HoldsEveryPropertyInTableOrder()
{
    if (kPropertyCount != std::size(ConfigFields::All)) {
        return false;
    }
    for (std::size_t row = 0; row < kPropertyCount; ++row) {
        if (kProperties[row].DispatchId != ConfigFields::All[row].DispatchId) {
            return false;
        }
    }
    return true;
}
static_assert(HoldsEveryPropertyInTableOrder(), "one row per property of ConfigFields::All");

constexpr int kVelocityMode = 4;

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

const ConfigurationValues::Property& ConfigurationValues::Of(const ConfigField& field)
{
    const Property* property = FindById(field.DispatchId);
    if (property == nullptr) {
        throw ComponentError(ResultCode::Unexpected,
                             QStringLiteral("Configuration property %1 is not held.")
                                 .arg(QLatin1String(field.Name)));
    }
    return *property;
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

QVariant ConfigurationValues::Value(const Property& property) const
{
    const int id = property.DispatchId;
    switch (property.Type) {
    case ValueType::Int:
        return Int(id);
    case ValueType::Float:
        return Float(id);
    case ValueType::Bool:
        return Bool(id);
    case ValueType::Text:
        break;
    }
    return Text(id);
}

bool ConfigurationValues::SetValue(const Property& property, const QVariant& value)
{
    if (value.metaType() != Value(property).metaType()) {
        return false;
    }
    const int id = property.DispatchId;
    switch (property.Type) {
    case ValueType::Int:
        SetInt(id, value.toInt());
        break;
    case ValueType::Float:
        SetFloat(id, value.toFloat());
        break;
    case ValueType::Bool:
        SetBool(id, value.toBool());
        break;
    case ValueType::Text:
        SetText(id, value.toString());
        break;
    }
    return true;
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
    const bool velocityMode = Int(ConfigFields::ControlMode.DispatchId) == kVelocityMode;
    const bool linear = Int(ConfigFields::MotorIsLinear.DispatchId) != 0;
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

float ConfigurationValues::ZeroReferenceVolts(double counts)
{
    return static_cast<float>((counts - kZeroVoltCounts) / kCountsPerVolt);
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
    double mode = Int(ConfigFields::ControlMode.DispatchId);
    double linear = Int(ConfigFields::MotorIsLinear.DispatchId);
    valueOf(ConfigFields::ControlMode.Parameter, &mode);
    valueOf(ConfigFields::MotorIsLinear.Parameter, &linear);
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
            value = ZeroReferenceVolts(value);
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
