#include "OrvexBridgeStatus.h"

#include "ComponentError.h"
#include "ConnectionResult.h"
#include "DriveExchange.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace Orvex {

namespace {

enum class ItemKind
{
    Int,
    Float,
    Text,
};

struct StatusItem
{
    quint32 Bit;
    const char* Command; // the drive's status item or query that reads it
    int DispatchId;
    ItemKind Kind;
};

constexpr std::array<StatusItem, COrvexBridgeStatus::ItemCount> kItems{{
    {0x1, "X18", 102, ItemKind::Text},       {0x2, "X12", 103, ItemKind::Text},
    {0x4, "X07", 112, ItemKind::Text},       {0x8, "S03", 117, ItemKind::Float},
    {0x10, "S05", 118, ItemKind::Float},     {0x20, "S07", 119, ItemKind::Int},
    {0x40, "S09", 120, ItemKind::Int},       {0x80, "S45", 121, ItemKind::Text},
    {0x100, "S38", 125, ItemKind::Float},    {0x200, "S40", 126, ItemKind::Float},
    {0x400, "S42", 127, ItemKind::Float},    {0x800, "S10", 128, ItemKind::Float},
    {0x1000, "S12", 129, ItemKind::Float},   {0x2000, "S14", 130, ItemKind::Float},
    {0x4000, "S16", 131, ItemKind::Float},   {0x8000, "S18", 132, ItemKind::Float},
    {0x10000, "S20", 133, ItemKind::Float},  {0x20000, "S22", 134, ItemKind::Int},
    {0x40000, "S25", 135, ItemKind::Int},    {0x80000, "S28", 136, ItemKind::Int},
    {0x200000, "S35", 141, ItemKind::Float}, {0x800000, "S52", 143, ItemKind::Int},
    {0x1000000, "S55", 145, ItemKind::Int},  {0x2000000, "S57", 146, ItemKind::Float},
}};

constexpr int kErrorBits = 64;
constexpr int kFaultOutputRow = 64;
constexpr int kBrakeRelayRow = 65;

ComponentError Incorrect(const QString& answer)
{
    return ComponentError(ResultCode::Fail,
                          QStringLiteral("%1: '%2'").arg(ConnectionResultText(4), answer));
}

// "NAME=value" answer lines; a text item may go on over further lines, which
// are kept with their CR LF breaks.
QString AnswerValue(const QStringList& lines, const QString& name)
{
    const QString prefix = name + u'=';
    if (lines.isEmpty() || !lines.first().startsWith(prefix, Qt::CaseInsensitive)) {
        throw Incorrect(lines.join(QStringLiteral(" ")));
    }
    QStringList parts = lines;
    parts.first() = parts.first().mid(prefix.size());
    return parts.join(QStringLiteral("\r\n"));
}

} // namespace

COrvexBridgeStatus::COrvexBridgeStatus(PortHub& hub) : m_connection(hub) {}

COrvexBridgeStatus::~COrvexBridgeStatus() = default;

QString COrvexBridgeStatus::Version() const
{
    return QStringLiteral("1.0.0");
}

void COrvexBridgeStatus::SetPortNumber(int port)
{
    m_connection.SetPortNumber(port);
}

int COrvexBridgeStatus::TestConnection()
{
    return m_connection.TestConnection();
}

void COrvexBridgeStatus::UploadStatus()
{
    const QString errors = m_connection.Query(QStringLiteral("ERRS"), QStringLiteral("ERRS"));
    bool ok = false;
    const quint64 bits = errors.toULongLong(&ok, 16);
    if (!ok || errors.size() != 16) {
        throw Incorrect(errors);
    }
    const QString outputs = m_connection.Query(QStringLiteral("OUTS"), QStringLiteral("OUTS"));
    const QStringList states = outputs.split(u',');
    const auto isFlag = [](const QString& text) {
        return text == QLatin1String("0") || text == QLatin1String("1");
    };
    if (states.size() != 2 || !isFlag(states[0]) || !isFlag(states[1])) {
        throw Incorrect(outputs);
    }
    m_errorBits = bits;
    m_faultOutput = states[0] == QLatin1String("1");
    m_brakeRelay = states[1] == QLatin1String("1");
}

bool COrvexBridgeStatus::BitState(int index)
{
    if (index >= 0 && index < kErrorBits) {
        return ((m_errorBits >> index) & 1u) != 0;
    }
    if (index == kFaultOutputRow) {
        return m_faultOutput;
    }
    if (index == kBrakeRelayRow) {
        return m_brakeRelay;
    }
    throw ComponentError(
        ResultCode::Fail,
        QStringLiteral("Bit status row %1 does not exist; rows are 0 to 65.").arg(index));
}

bool COrvexBridgeStatus::DriveFaultOutput()
{
    return m_faultOutput;
}

bool COrvexBridgeStatus::BrakeRelayEnergized()
{
    return m_brakeRelay;
}

void COrvexBridgeStatus::UploadNumericStatus(int selectionMask, int upperMask)
{
    // No item lives in the upper word yet.
    Q_UNUSED(upperMask);
    const auto mask = static_cast<quint32>(selectionMask);
    // Read everything first, so a failure leaves the previous values whole.
    std::array<ItemValue, ItemCount> fresh = m_items;
    for (std::size_t row = 0; row < kItems.size(); ++row) {
        const StatusItem& item = kItems[row];
        if ((mask & item.Bit) == 0) {
            continue;
        }
        const QString command = QLatin1String(item.Command);
        const QString value =
            AnswerValue(m_connection.Run(command, DriveExchange::PlainTimeoutMs), command);
        ItemValue& slot = fresh[row];
        if (item.Kind == ItemKind::Text) {
            slot.Text = value;
            continue;
        }
        bool ok = false;
        const double number = QLocale::c().toDouble(value, &ok);
        if (!ok || !std::isfinite(number) ||
            (item.Kind == ItemKind::Int && (number != std::trunc(number) ||
                                            std::fabs(number) > std::numeric_limits<int>::max()))) {
            throw Incorrect(value);
        }
        slot.Number = number;
    }
    m_items = fresh;
}

const COrvexBridgeStatus::ItemValue& COrvexBridgeStatus::Item(int dispatchId) const
{
    for (std::size_t row = 0; row < kItems.size(); ++row) {
        if (kItems[row].DispatchId == dispatchId) {
            return m_items[row];
        }
    }
    throw ComponentError(ResultCode::Unexpected,
                         QStringLiteral("Status item %1 does not exist.").arg(dispatchId));
}

float COrvexBridgeStatus::FloatItem(int dispatchId) const
{
    return static_cast<float>(Item(dispatchId).Number);
}

int COrvexBridgeStatus::IntItem(int dispatchId) const
{
    return static_cast<int>(Item(dispatchId).Number);
}

QString COrvexBridgeStatus::SerialNumber()
{
    return Item(102).Text;
}
QString COrvexBridgeStatus::MotorName()
{
    return Item(103).Text;
}
QString COrvexBridgeStatus::OsRevision()
{
    return Item(112).Text;
}
float COrvexBridgeStatus::AmplifierContinuousCurrent()
{
    return FloatItem(117);
}
float COrvexBridgeStatus::AmplifierPeakCurrent()
{
    return FloatItem(118);
}
int COrvexBridgeStatus::CustomFirmwareCode()
{
    return IntItem(119);
}
int COrvexBridgeStatus::PowerLevel()
{
    return IntItem(120);
}
QString COrvexBridgeStatus::OperatingHours()
{
    return Item(121).Text;
}
float COrvexBridgeStatus::DriveTemperature()
{
    return FloatItem(125);
}
float COrvexBridgeStatus::MotorTemperature()
{
    return FloatItem(126);
}
float COrvexBridgeStatus::BusVoltage()
{
    return FloatItem(127);
}
float COrvexBridgeStatus::CommandedCurrent()
{
    return FloatItem(128);
}
float COrvexBridgeStatus::CommandedTorque()
{
    return FloatItem(129);
}
float COrvexBridgeStatus::FeedbackTorque()
{
    return FloatItem(130);
}
float COrvexBridgeStatus::CommandedVelocity()
{
    return FloatItem(131);
}
float COrvexBridgeStatus::FeedbackVelocity()
{
    return FloatItem(132);
}
float COrvexBridgeStatus::VelocityError()
{
    return FloatItem(133);
}
int COrvexBridgeStatus::CommandedPosition()
{
    return IntItem(134);
}
int COrvexBridgeStatus::FeedbackPosition()
{
    return IntItem(135);
}
int COrvexBridgeStatus::PositionError()
{
    return IntItem(136);
}
float COrvexBridgeStatus::AnalogInputVoltage()
{
    return FloatItem(141);
}
int COrvexBridgeStatus::HoursPoweredUp()
{
    return IntItem(143);
}
int COrvexBridgeStatus::HallEffectState()
{
    return IntItem(145);
}
float COrvexBridgeStatus::PwmUpdatePeriod()
{
    return FloatItem(146);
}

} // namespace Orvex
