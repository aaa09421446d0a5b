// The simulated drive's test moves: captures, auto tuning and alignment.
#include "SimulatedDrive.h"

#include "DriveCapture.h"
#include "DriveCommandLine.h"
#include "DriveErrorBits.h"

#include <cmath>
#include <numbers>

namespace Orvex {

namespace {

QByteArray Line(const QString& text)
{
    return text.toLatin1() + "\r\n";
}

QByteArray OutOfRange(const QString& range)
{
    return Line(QStringLiteral("?2 Out of range ") + range);
}

// The comma separated numbers of a command's value; empty when one is not a number.
std::vector<double> Numbers(const DriveCommandLine& command, qsizetype count)
{
    const QStringList fields = command.Value.split(u',');
    if (!command.HasValue || fields.size() != count)
        return {};
    std::vector<double> values;
    for (const QString& field : fields) {
        const std::optional<double> value = DriveCommandLine::Number(field.trimmed());
        if (!value)
            return {};
        values.push_back(*value);
    }
    return values;
}

QByteArray CaptureAnswer(const DriveCapture::Result& result, bool wholeNumbers)
{
    const auto text = [wholeNumbers](double value) {
        return wholeNumbers ? QString::number(std::llround(value)) : QString::number(value, 'g', 6);
    };
    QByteArray answer = Line(QStringLiteral("CAP=%1,%2")
                                 .arg(result.Commanded.size())
                                 .arg(QString::number(result.PeriodMicroseconds, 'g', 7)));
    for (std::size_t i = 0; i < result.Commanded.size(); ++i)
        answer += Line(text(result.Commanded[i]) + u',' + text(result.Actual[i]));
    return answer;
}

// Where the magnets put electrical zero, as a share of one electrical cycle
// from the encoder's index; only alignment can find it.
constexpr double ElectricalZeroShare = 0.172;

constexpr int TorqueMode = 2;
constexpr int VelocityMode = 4;
constexpr int StepDirectionMode = 6;
constexpr int StepReversedMode = 7;

} // namespace

DriveModel::Settings SimulatedDrive::ModelSettings() const
{
    DriveModel::Settings settings;
    DriveModel::Motor& motor = settings.Machine;
    motor.Resistance = Param(14, 2.0);
    motor.Inductance = Param(9, 5.0) * 1e-3;
    motor.TorqueConstant = Param(20, 0.5);
    // Ke is given in V per 1000 rpm.
    motor.BackEmfConstant = Param(38, 30.0) / 1000.0 * 60.0 / (2.0 * std::numbers::pi);
    motor.RotorInertia = Param(21, 100.0) * 1e-6;
    motor.Damping = Param(19) * 1e-6;
    motor.Friction = Param(41);
    motor.PeakCurrent = Param(7, 9.0);
    motor.CountsPerRev = Param(1, 8000.0);
    motor.SpeedFilterHz = Param(160);
    motor.VelocityLimit = Param(93, 50.0);

    DriveModel::CurrentLoop& current = settings.Current;
    if (Param(62) != 0.0) {
        // Automatic gains: the bandwidth asked for, the integral cancelling
        // the winding's own time constant.
        const double bandwidth = 2.0 * std::numbers::pi * Param(130, 1200.0);
        current.Kp = motor.Inductance * bandwidth;
        current.Ki = motor.Resistance * DriveModel::TickSeconds * bandwidth;
    } else {
        current.Kp = Param(60, 20.0);
        current.Ki = Param(58, 0.25);
    }
    current.IntegralLimit = Param(129, 128.0);

    settings.Velocity.Kp = Param(190, 1.0);
    settings.Velocity.Ki = Param(192, 1.0);
    settings.Velocity.IntegralLimit = Param(178, 1.0);
    settings.Velocity.InertiaRatio = Param(27);
    settings.Position.Kp = Param(170, 0.6);
    settings.Position.Ki = Param(172, 1.0);
    settings.Position.Kv = Param(176, 1.4);
    settings.Position.Kvff = Param(182, 1.0);
    settings.Position.Kaff = Param(180);
    settings.Position.IntegralLimit = Param(178, 1.0);

    DriveModel::Filters& filter = settings.Filter;
    filter.A = {Param(74), Param(72), Param(75, 1.0)};
    filter.B = {Param(79), Param(77), Param(80, 1.0)};
    filter.LeadHz = Param(82);
    filter.LagHz = Param(83);
    return settings;
}

DriveModel::Settings SimulatedDrive::MoveSettings()
{
    // The move runs on the load as it is set now.
    if (m_LoadSource)
        m_LoadSource(m_Load);
    DriveModel::Settings settings = ModelSettings();
    settings.TrueMotor = m_TrueMotor;
    settings.Imperfect.Seed = m_MoveSeeds();
    if (!m_Imperfect)
        return settings;
    DriveModel::Imperfections& imperfect = settings.Imperfect;
    // The drive's current sensor reads +-25 A on 12 bits.
    imperfect.CurrentQuantum = 50.0 / 4096.0;
    imperfect.CurrentNoise = 0.01;
    imperfect.TorqueRipple = 0.01;
    // Half a percent of the motor's peak torque holds the shaft at standstill.
    imperfect.Stiction = 0.005 * settings.Machine.PeakCurrent * settings.Machine.TorqueConstant;
    return settings;
}

QByteArray SimulatedDrive::MotionRefusal() const
{
    if (!m_Configured)
        return "?6 Not configured\r\n";
    const auto failed = [this](int bit) {
        return Line(QStringLiteral("?8 Failed ") + ErrorName(bit));
    };
    for (int bit = 0; bit < 64; ++bit) {
        if ((m_Latched & DriveErrorBits::OperationalFaults) & DriveErrorBits::Bit(bit))
            return failed(bit);
    }
    if (!m_EnableInput)
        return failed(DriveErrorBits::NoHardwareEnable);
    if (!m_Enabled)
        return failed(DriveErrorBits::DriveDisabled);
    return {};
}

QByteArray SimulatedDrive::CaptureCurrent(const DriveCommandLine& command)
{
    const std::vector<double> values = Numbers(command, 2);
    if (values.empty())
        return "?3 Bad value\r\n";
    const double amplitude = values[0];
    const int frequency = static_cast<int>(values[1]);
    const ParameterTable::Entry* amplitudeLimits = m_Parameters.Find(204);
    const ParameterTable::Entry* frequencyLimits = m_Parameters.Find(201);
    if (amplitudeLimits != nullptr &&
        (amplitude < amplitudeLimits->Minimum || amplitude > amplitudeLimits->Maximum))
        return OutOfRange(m_Parameters.RangeText(204));
    if (frequencyLimits != nullptr &&
        (frequency < frequencyLimits->Minimum || frequency > frequencyLimits->Maximum))
        return OutOfRange(m_Parameters.RangeText(201));
    if (frequency < 1)
        return OutOfRange(QStringLiteral("1 to 2000"));
    // Current into the flux axis makes no torque, so this runs in every control mode.
    if (const QByteArray refusal = MotionRefusal(); !refusal.isEmpty())
        return refusal;
    return CaptureAnswer(DriveCapture::CurrentStep(MoveSettings(), m_Load, amplitude, frequency),
                         false);
}

QByteArray SimulatedDrive::CaptureVelocity(const DriveCommandLine& command)
{
    const std::vector<double> values = Numbers(command, 3);
    if (values.empty())
        return "?3 Bad value\r\n";
    const double acceleration = values[0];
    const double velocity = values[1];
    const int frequency = static_cast<int>(values[2]);
    const ParameterTable::Entry* accelerationLimits = m_Parameters.Find(198);
    const ParameterTable::Entry* velocityLimits = m_Parameters.Find(204);
    if (accelerationLimits != nullptr &&
        (acceleration < accelerationLimits->Minimum || acceleration > accelerationLimits->Maximum))
        return OutOfRange(m_Parameters.RangeText(198));
    if (velocityLimits != nullptr &&
        (velocity < velocityLimits->Minimum || velocity > velocityLimits->Maximum))
        return OutOfRange(m_Parameters.RangeText(204));
    if (acceleration <= 0.0 || velocity <= 0.0)
        return "?2 Out of range 0.01 to 500\r\n";
    if (frequency < 1 || frequency > 48)
        return "?2 Out of range 1 to 48\r\n";
    if (const QByteArray refusal = MotionRefusal(); !refusal.isEmpty())
        return refusal;
    if (static_cast<int>(Param(71, TorqueMode)) != VelocityMode)
        return "?8 Failed not in velocity mode\r\n";
    return CaptureAnswer(
        DriveCapture::VelocityStep(MoveSettings(), m_Load, acceleration, velocity, frequency),
        false);
}

QByteArray SimulatedDrive::CapturePosition(const DriveCommandLine& command)
{
    const std::vector<double> values = Numbers(command, 1);
    if (values.empty())
        return "?3 Bad value\r\n";
    const double distance = std::trunc(values[0]);
    if (std::abs(distance) > 1'000'000.0)
        return "?2 Out of range -1000000 to 1000000\r\n";
    if (const QByteArray refusal = MotionRefusal(); !refusal.isEmpty())
        return refusal;
    const int mode = static_cast<int>(Param(71, TorqueMode));
    if (mode != StepDirectionMode && mode != StepReversedMode)
        return "?8 Failed not in position mode\r\n";
    const DriveCapture::Result result =
        DriveCapture::PositionStep(MoveSettings(), m_Load, distance, Param(198, 10000.0));
    m_RotorCounts += result.Actual.back();
    return CaptureAnswer(result, true);
}

QByteArray SimulatedDrive::AutoTune(const DriveCommandLine& command)
{
    if (command.HasValue)
        return "?3 Bad value\r\n";
    if (const QByteArray refusal = MotionRefusal(); !refusal.isEmpty())
        return refusal;
    const int iterations = static_cast<int>(Param(228, 10.0));
    double ratio = DriveCapture::MeasureInertiaRatio(MoveSettings(), m_Load, iterations);
    // A little below zero is measuring noise on an unloaded motor; far below
    // means the motor data do not fit the motor.
    if (!std::isfinite(ratio) || ratio < -0.1)
        return "?8 Failed inertia measurement\r\n";
    ratio = std::max(ratio, 0.0);
    return Line(QStringLiteral("%1=%2").arg(command.Name).arg(ratio, 0, 'f', 3));
}

QByteArray SimulatedDrive::Align(const DriveCommandLine& command)
{
    if (command.HasValue)
        return "?3 Bad value\r\n";
    if (const QByteArray refusal = MotionRefusal(); !refusal.isEmpty())
        return refusal;
    if (Param(146, 50.0) <= 0.0)
        return "?8 Failed alignment current is 0\r\n";
    // The alignment current pulls the rotor to the nearest electrical zero;
    // the encoder reading there is the offset of electrical zero.
    const double cycle = Param(1, 8000.0) / std::max(1.0, Param(18, 4.0));
    const double zero = ElectricalZeroShare * cycle;
    m_RotorCounts = zero + std::round((m_RotorCounts - zero) / cycle) * cycle;
    const double offset = std::round(std::fmod(zero, cycle));
    const ParameterTable::Entry* entry = m_Parameters.Find(142);
    if (entry != nullptr && (offset < entry->Minimum || offset > entry->Maximum))
        return "?8 Failed encoder offset out of range\r\n";
    m_Parameters.SetWorking(142, offset);
    ++m_ParameterWrites;
    return {};
}

} // namespace Orvex
