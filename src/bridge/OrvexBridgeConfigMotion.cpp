// The configuration object's drive actions that move the motor: the three
// step captures, auto tuning and alignment, and the zero reference reading.
#include "OrvexBridgeConfig.h"

#include "ComponentError.h"
#include "DriveExchange.h"

#include <QList>
#include <QLocale>

#include <map>

namespace Orvex {

namespace {

// The drive may run a test move for many seconds (alignment up to 10 s).
constexpr int ActionTimeoutMs = 20000;
constexpr int MaxCapturePairs = 512;
namespace F = ConfigFields;

// The properties each test depends on.
constexpr const ConfigField* CurrentLoop[] = {&F::CurrentLoopKp, &F::CurrentLoopKi,
                                              &F::CurrentLoopIntegralLimit, &F::AutoCurrentGains,
                                              &F::CurrentLoopBandwidth};
constexpr const ConfigField* Filters[] = {
    &F::NotchADepth,     &F::NotchAFrequency, &F::NotchAQuality,      &F::NotchBDepth,
    &F::NotchBFrequency, &F::NotchBQuality,   &F::NotchLeadFrequency, &F::NotchLagFrequency};
constexpr const ConfigField* VelocityLoop[] = {&F::VelocityLoopKp, &F::VelocityLoopKi,
                                               &F::VelocityLoopIntegralLimit, &F::InertiaRatio,
                                               &F::MaxVelocityError};
constexpr const ConfigField* PositionLoop[] = {
    &F::PositionLoopKp,   &F::PositionLoopKi, &F::PositionLoopKv,  &F::PositionLoopIntegralLimit,
    &F::PositionLoopKvff, &F::InertiaRatio,   &F::MaxPositionError};
// What alignment finds.
constexpr const ConfigField* Alignment[] = {&F::HallSensorDirection, &F::InvertHallSignals,
                                            &F::EncoderOffset, &F::EncoderPolarity};

QString ParameterName(int number)
{
    return QStringLiteral("P%1").arg(number, 3, 10, QLatin1Char('0'));
}

ComponentError BadCapture(const QString& detail)
{
    return ComponentError(
        ResultCode::Fail,
        QStringLiteral("Incorrect capture data from Orvex drive: %1").arg(detail));
}

QString Decimal(float value)
{
    return QString::asprintf("%.9g", static_cast<double>(value));
}

// The value text of a property as the drive takes it.
QString DriveValue(const ConfigurationValues& values, const ConfigurationValues::Property& property)
{
    switch (property.Type) {
    case ConfigurationValues::ValueType::Float:
        return Decimal(values.Float(property.DispatchId));
    case ConfigurationValues::ValueType::Bool:
        return values.Bool(property.DispatchId) ? QStringLiteral("1") : QStringLiteral("0");
    case ConfigurationValues::ValueType::Int:
    case ConfigurationValues::ValueType::Text:
        break;
    }
    return QString::number(values.Int(property.DispatchId));
}

template <typename T, typename Read> QVariant Pairs(const QStringList& fields, Read read)
{
    QList<T> samples;
    samples.reserve(fields.size());
    for (const QString& field : fields) {
        bool ok = false;
        const T value = read(field, &ok);
        if (!ok)
            throw BadCapture(QStringLiteral("'%1' is not a sample value").arg(field));
        samples.append(value);
    }
    return QVariant::fromValue(samples);
}

} // namespace

void COrvexBridgeConfig::SendProperties(std::span<const ConfigField* const> fields)
{
    for (const ConfigField* field : fields) {
        const ConfigurationValues::Property* property = &ConfigurationValues::Of(*field);
        if (!property->HasParameter())
            continue;
        const QString command =
            ParameterName(property->Parameter) + QLatin1Char('=') + DriveValue(m_values, *property);
        const DriveExchange::Answer answer =
            m_connection.Send(command, DriveExchange::PlainTimeoutMs);
        if (answer.Result == DriveExchange::Outcome::Refused) {
            throw ComponentError(ResultCode::Fail,
                                 QStringLiteral("The drive refused %1 (%2): %3")
                                     .arg(QLatin1String(property->Name), command, answer.Text));
        }
        DriveExchange::ThrowFor(answer, command);
    }
}

QStringList COrvexBridgeConfig::RunCapture(const QString& command, int timeoutMs)
{
    const QStringList lines =
        m_connection.Run(command, timeoutMs > 0 ? timeoutMs : ActionTimeoutMs);
    const QString header = lines.value(0);
    if (!header.startsWith(QLatin1String("CAP="), Qt::CaseInsensitive))
        throw BadCapture(QStringLiteral("the answer does not begin with CAP="));
    const QStringList counts = header.mid(4).split(u',');
    bool ok = false;
    const int count = counts.value(0).toInt(&ok);
    if (!ok || counts.size() != 2 || count < 0 || count > MaxCapturePairs)
        throw BadCapture(QStringLiteral("'%1'").arg(header));
    if (lines.size() - 1 != count) {
        throw BadCapture(
            QStringLiteral("%1 of %2 samples arrived").arg(lines.size() - 1).arg(count));
    }
    QStringList fields;
    fields.reserve(2 * count);
    for (int i = 1; i <= count; ++i) {
        const QStringList pair = lines[i].split(u',');
        if (pair.size() != 2)
            throw BadCapture(QStringLiteral("sample line '%1'").arg(lines[i]));
        fields << pair[0].trimmed() << pair[1].trimmed();
    }
    return fields;
}

QVariant COrvexBridgeConfig::CaptureCurrentStep(float amplitude, int frequency, int timeoutMs)
{
    SendProperties(CurrentLoop);
    const QStringList fields =
        RunCapture(QStringLiteral("CAPI %1,%2").arg(Decimal(amplitude)).arg(frequency), timeoutMs);
    return Pairs<float>(
        fields, [](const QString& text, bool* ok) { return QLocale::c().toFloat(text, ok); });
}

QVariant COrvexBridgeConfig::CaptureVelocityStep(float acceleration, float velocity, int frequency,
                                                 int timeoutMs)
{
    SendProperties(VelocityLoop);
    SendProperties(Filters);
    const QStringList fields = RunCapture(QStringLiteral("CAPV %1,%2,%3")
                                              .arg(Decimal(acceleration), Decimal(velocity))
                                              .arg(frequency),
                                          timeoutMs);
    return Pairs<float>(
        fields, [](const QString& text, bool* ok) { return QLocale::c().toFloat(text, ok); });
}

QVariant COrvexBridgeConfig::CapturePositionStep(int distance, int timeoutMs)
{
    SendProperties(PositionLoop);
    SendProperties(Filters);
    const QStringList fields = RunCapture(QStringLiteral("CAPP %1").arg(distance), timeoutMs);
    return Pairs<qint32>(fields, [](const QString& text, bool* ok) { return text.toInt(ok); });
}

float COrvexBridgeConfig::AutoTune()
{
    const QString command = QStringLiteral("ATUNE");
    const DriveExchange::Answer answer = m_connection.Send(command, ActionTimeoutMs);
    // The drive ran the test and could not measure: a failed tuning, not an error.
    if (answer.Result == DriveExchange::Outcome::Refused && answer.Code == 8)
        return -1.0f;
    DriveExchange::ThrowFor(answer, command);
    bool ok = false;
    const float ratio = QLocale::c().toFloat(DriveExchange::ValueOf(answer.Lines, command), &ok);
    if (!ok) {
        throw ComponentError(ResultCode::Fail,
                             QStringLiteral("Incorrect response from Orvex drive"));
    }
    return ratio;
}

void COrvexBridgeConfig::AlignMotor()
{
    m_connection.Run(QStringLiteral("ALIGN"), ActionTimeoutMs);
    // Alignment changes the drive's alignment parameters; the configuration
    // follows so the page shows what the drive found.
    std::map<int, QString> found;
    for (const ConfigField* field : Alignment) {
        const QString name = ParameterName(field->Parameter);
        found[field->Parameter] = m_connection.Query(name, name);
    }
    int bad = 0;
    if (!m_values.ApplyUpload(found, nullptr, &bad)) {
        throw ComponentError(ResultCode::Fail,
                             QStringLiteral("Incorrect response from Orvex drive: %1=%2")
                                 .arg(ParameterName(bad), found[bad]));
    }
}

float COrvexBridgeConfig::ReadZeroReference()
{
    const QString name = ParameterName(F::ZeroReferenceVoltage.Parameter);
    bool ok = false;
    const double counts = QLocale::c().toDouble(m_connection.Query(name, name), &ok);
    if (!ok) {
        throw ComponentError(ResultCode::Fail,
                             QStringLiteral("Incorrect response from Orvex drive"));
    }
    return ConfigurationValues::ZeroReferenceVolts(counts);
}

} // namespace Orvex
