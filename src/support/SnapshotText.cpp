#include "SnapshotText.h"

#include "BitStatusTable.h"
#include "CommandDatabase.h"
#include "ComponentFactory.h"
#include "ConfigFields.h"
#include "LinkPort.h"
#include "NumericStatusTable.h"
#include "OrvexConfig.h"
#include "OrvexStatus.h"
#include "Windows1252.h"

#include <QHash>
#include <QLocale>
#include <QSysInfo>

#include <cmath>
#include <cstdint>

namespace Orvex {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString Line(const QString& text)
{
    return text + kCrLf;
}

// How a configuration row prints its value and what follows it.
enum class RowStyle
{
    A,              // "P%s(%s)=%d\t\t;%s(%s)"
    B,              // "P%s(%s)=%.2f\t;%s(%s)"
    C,              // "P%s(%s)=%.4f\t;%s(%s)"
    D,              // "P%s(%s)=%.2f\t\t;%s(%s)"
    E,              // "P%s(%s)=%d\t;%s(%s)"
    IntegralLimit,  // "P%s=%.2f\t\t\t;%s(%s)"
    ZeroReference,  // "P%s=%d\t\t\t;Zero Reference Voltage = (P134-230)/3276.8"
    HallDirection,  // "P%s=%d\t\t\t\t;%s(%s)"
    IntegralByMode, // A, with the velocity loop's limit in velocity mode
    DriveEnabled,   // A, with the drive's enable state
};

struct ConfigRow
{
    int Parameter;
    const ConfigField* Field; // null where the style says where the value comes from
    RowStyle Style;
};

using namespace ConfigFields;
// clang-format off
const ConfigRow kConfigRows[] = {
    {1, &FeedbackResolution, RowStyle::A},        {3, &ContinuousCurrent, RowStyle::B},
    {5, &ContinuousCurrentDerating, RowStyle::B}, {7, &PeakCurrent, RowStyle::B},
    {9, &MaxInductance, RowStyle::B},             {11, &InductanceRatio, RowStyle::C},
    {12, &MaxWindingTemperature, RowStyle::B},    {14, &WindingResistance, RowStyle::B},
    {16, &MotorRatedSpeed, RowStyle::B},          {18, &MotorPolePairs, RowStyle::A},
    {19, &MotorDamping, RowStyle::B},             {21, &MotorInertia, RowStyle::D},
    {25, &CoolingCode, RowStyle::E},              {27, &InertiaRatio, RowStyle::B},
    {29, &ElectricalPitch, RowStyle::B},          {36, &TorqueLimit, RowStyle::B},
    {38, &MotorKe, RowStyle::B},                  {53, &InvertAnalogInput, RowStyle::A},
    {54, &EncoderPolarity, RowStyle::A},          {55, &CommandDirection, RowStyle::A},
    {56, &AnalogCenterDeadband, RowStyle::B},     {58, &CurrentLoopKi, RowStyle::B},
    {60, &CurrentLoopKp, RowStyle::B},            {68, &TorqueScaling, RowStyle::B},
    {70, &CurrentFoldback, RowStyle::A},          {71, &ControlMode, RowStyle::A},
    {72, &NotchADepth, RowStyle::C},              {74, &NotchAFrequency, RowStyle::A},
    {75, &NotchAQuality, RowStyle::B},            {77, &NotchBDepth, RowStyle::C},
    {79, &NotchBFrequency, RowStyle::A},          {80, &NotchBQuality, RowStyle::B},
    {82, &NotchLeadFrequency, RowStyle::A},       {83, &NotchLagFrequency, RowStyle::A},
    {84, &PwmFrequency, RowStyle::A},             {85, &ThermalSensorDisable, RowStyle::A},
    {86, &InvertHallSignals, RowStyle::A},        {89, &InPositionEnable, RowStyle::A},
    {90, &BrakeDelay, RowStyle::A},               {91, &InPositionDeadband, RowStyle::A},
    {92, &InPositionTimeout, RowStyle::A},        {93, &VelocityLimit, RowStyle::B},
    {95, &FaultOnDriveDisable, RowStyle::A},      {96, &Commutation, RowStyle::A},
    {114, &StartupVoltageFault, RowStyle::B},     {116, &CustomWindingNumber, RowStyle::A},
    {118, &ThermalSensorCode, RowStyle::A},       {119, &AmbientTemperature, RowStyle::B},
    {121, &ThermalResistance, RowStyle::B},       {124, &MotorThermalTimeConstant, RowStyle::B},
    {126, &WindingThermalTimeConstant, RowStyle::B},
    {129, &CurrentLoopIntegralLimit, RowStyle::IntegralLimit},
    {134, &ZeroReferenceVoltage, RowStyle::ZeroReference},
    {142, &EncoderOffset, RowStyle::A},           {163, &HallSensorDirection, RowStyle::HallDirection},
    {170, &PositionLoopKp, RowStyle::D},          {172, &PositionLoopKi, RowStyle::D},
    {176, &PositionLoopKv, RowStyle::D},          {178, nullptr, RowStyle::IntegralByMode},
    {182, &PositionLoopKvff, RowStyle::D},        {184, &MaxPositionError, RowStyle::E},
    {186, &DriveParameter186, RowStyle::A},       {188, &StepInputResolution, RowStyle::A},
    {190, &VelocityLoopKp, RowStyle::D},          {192, &VelocityLoopKi, RowStyle::D},
    {194, &VelocityScaling, RowStyle::B},         {196, &MaxVelocityError, RowStyle::B},
    {212, nullptr, RowStyle::DriveEnabled},
};
// clang-format on

constexpr int kVelocityMode = 4;

// The command database's parameter records by number.
struct ParameterText
{
    QString Number, Command, Name, Units;
};

QHash<int, ParameterText> ParameterLookup(const CommandDatabaseLists& lists)
{
    QHash<int, ParameterText> lookup;
    for (const auto& record : lists.Parameters) {
        const int number = LeadingInteger(record->m_Number);
        if (number >= 0 && number <= 255 && !lookup.contains(number))
            lookup.insert(number, {record->m_Number, record->m_EquivalentCommand, record->m_Name,
                                   record->m_Units});
    }
    return lookup;
}

QString IntText(int value)
{
    return QString::number(value);
}

QString FixedText(double value, int decimals)
{
    return QString::asprintf("%.*f", decimals, value);
}

// A property's value as the row prints it: booleans as 1 or 0, floats
// widened to double.
QString ValueText(IOrvexConfig& config, const ConfigField& field, int decimals)
{
    const QVariant value = config.Property(field);
    if (decimals < 0)
        return IntText(field.Type == ConfigType::Bool ? (value.toBool() ? 1 : 0) : value.toInt());
    return FixedText(static_cast<double>(value.toFloat()), decimals);
}

QString ConfigLine(IOrvexConfig& config, const ConfigRow& row, const ParameterText& text)
{
    const QString withCommand = QStringLiteral("P%1(%2)=").arg(text.Number, text.Command);
    const QString plain = QStringLiteral("P%1=").arg(text.Number);
    const QString nameUnits = QStringLiteral("%1(%2)").arg(text.Name, text.Units);
    switch (row.Style) {
    case RowStyle::A:
        return withCommand + ValueText(config, *row.Field, -1) + "\t\t;" + nameUnits;
    case RowStyle::B:
        return withCommand + ValueText(config, *row.Field, 2) + "\t;" + nameUnits;
    case RowStyle::C:
        return withCommand + ValueText(config, *row.Field, 4) + "\t;" + nameUnits;
    case RowStyle::D:
        return withCommand + ValueText(config, *row.Field, 2) + "\t\t;" + nameUnits;
    case RowStyle::E:
        return withCommand + ValueText(config, *row.Field, -1) + "\t;" + nameUnits;
    case RowStyle::IntegralLimit:
        return plain + ValueText(config, *row.Field, 2) + "\t\t\t;" + nameUnits;
    case RowStyle::ZeroReference: {
        const double volts = static_cast<double>(config.ZeroReferenceVoltage());
        const int counts = static_cast<int>(std::trunc(volts * 3276.8 + 230.0));
        return plain + IntText(counts) + "\t\t\t;" +
               QStringLiteral("Zero Reference Voltage = (P134-230)/3276.8");
    }
    case RowStyle::HallDirection:
        return plain + ValueText(config, *row.Field, -1) + "\t\t\t\t;" + nameUnits;
    case RowStyle::IntegralByMode: {
        const int limit = config.ControlMode() == kVelocityMode
                              ? config.VelocityLoopIntegralLimit()
                              : config.PositionLoopIntegralLimit();
        return withCommand + IntText(limit) + "\t\t;" + nameUnits;
    }
    case RowStyle::DriveEnabled:
        return withCommand + IntText(config.DriveEnable() ? 1 : 0) + "\t\t;" + nameUnits;
    }
    return QString();
}

// The gap between a numeric status value and its description, by item bit.
std::optional<QString> NumericGap(std::uint32_t itemBit)
{
    switch (itemBit) {
    case 0x8:       // S3
    case 0x10:      // S5
    case 0x20:      // S7
    case 0x40:      // S9
    case 0x80000:   // S28
    case 0x800000:  // S52
    case 0x1000000: // S55
        return QStringLiteral("\t\t");
    case 0x800:     // S10
    case 0x1000:    // S12
    case 0x2000:    // S14
    case 0x4000:    // S16
    case 0x8000:    // S18
    case 0x10000:   // S20
    case 0x200000:  // S35
    case 0x100:     // S38
    case 0x200:     // S40
    case 0x400:     // S42
    case 0x2000000: // S57
    case 0x20000:   // S22
    case 0x40000:   // S25
    case 0x80:      // S45
    case 0x2:       // X12
    case 0x1:       // X18
    case 0x4:       // X7
        return QStringLiteral("\t");
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<QString> SnapshotEnvironment::RunningSystemLine()
{
    const QString product = QSysInfo::prettyProductName();
    if (product.isEmpty() || product == QLatin1String("Unknown"))
        return std::nullopt;
    return QStringLiteral("%1, %2 %3, %4")
        .arg(product, QSysInfo::kernelType(), QSysInfo::kernelVersion(),
             QSysInfo::currentCpuArchitecture());
}

QString SnapshotText::Build(ComponentFactory& factory, IOrvexConfig& config, IOrvexStatus& status,
                            const CommandDatabaseLists* lists,
                            const SnapshotEnvironment& environment)
{
    QString text = Header(environment.Now());
    text += ComponentVersions(factory, config, environment.ProductVersion);
    text += OperatingSystem(environment.SystemLine());
    text += ConfigurationParameters(config, lists);
    text += BitStatus(status);
    text += NumericStatus(status, config.MotorIsLinear() != 0);
    return text;
}

QString SnapshotText::SectionTitle(const char* title)
{
    const QString separator = Line(QLatin1String(SnapshotSeparator));
    return separator + Line(QStringLiteral("; ") + QLatin1String(title)) + separator;
}

QString SnapshotText::Header(const QDateTime& now)
{
    const QLocale c = QLocale::c();
    return SectionTitle("Orvex Drive Snapshot") +
           Line(c.toString(now, QStringLiteral("MM/dd/yyyy"))) +
           Line(c.toString(now, QStringLiteral("hh:mm:ss AP"))) + kCrLf;
}

QString SnapshotText::ComponentVersions(ComponentFactory& factory, IOrvexConfig& config,
                                        const QString& productVersion)
{
    QString text = SectionTitle("Orvex Support Tool Component Versions");
    QString product = productVersion;
    product.replace(u',', u'.');
    text += Line(QStringLiteral("OrvexSupportTool.exe, Version %1").arg(product));
    text += Line(QStringLiteral("OrvexBridge.dll, Version %1").arg(config.Version()));
    try {
        const auto link = factory.Create<ILinkPort>(QString::fromLatin1(ProgId::LinkPort));
        text += Line(QStringLiteral("ComHost2.exe, Version %1").arg(link->Version()));
    } catch (const ComponentError& error) {
        text += Line(QStringLiteral("ComHost2.exe, Unknown version %1").arg(error.Description()));
    }
    return text + kCrLf;
}

QString SnapshotText::OperatingSystem(const std::optional<QString>& systemLine)
{
    const QString title = SectionTitle("Microsoft Windows Operating System");
    // A system that cannot be named ends the section without its empty line,
    // as the snapshots support has always read.
    if (!systemLine)
        return title + Line(QStringLiteral("Unknown Windows OS"));
    return title + Line(*systemLine) + kCrLf;
}

QString SnapshotText::ConfigurationParameters(IOrvexConfig& config,
                                              const CommandDatabaseLists* lists)
{
    QString text = SectionTitle("Orvex Configuration Parameters");
    if (lists != nullptr) {
        const QHash<int, ParameterText> lookup = ParameterLookup(*lists);
        for (const ConfigRow& row : kConfigRows)
            text += Line(ConfigLine(config, row, lookup.value(row.Parameter)));
    }
    return text + kCrLf;
}

QString SnapshotText::BitStatus(IOrvexStatus& status)
{
    QString text = SectionTitle("Orvex Bit Status");
    for (int row = 0; row < BitStatusRowCount; ++row) {
        const BitStatusRow& bit = BitStatusTable[static_cast<std::size_t>(row)];
        text +=
            Line(QStringLiteral("%1=%2\t;%3")
                     .arg(QLatin1String(bit.Label), QLatin1String(status.BitState(row) ? "1" : "0"),
                          QLatin1String(bit.Description)));
    }
    return text + kCrLf;
}

QString SnapshotText::NumericStatus(IOrvexStatus& status, bool motorIsLinear)
{
    QString text = SectionTitle("Orvex Numeric Status");
    for (const NumericStatusRow& row : NumericStatusTable) {
        const std::optional<QString> gap = NumericGap(row.ItemBit);
        if (!gap) {
            text += Line(QStringLiteral("Unknown"));
            continue;
        }
        text += Line(QString::fromLatin1(row.Label) + u'=' + ReadNumericStatusText(status, row) +
                     *gap + u';' + NumericStatusDescription(row, motorIsLinear));
    }
    return text + kCrLf;
}

QByteArray SnapshotText::Encode(const QString& text)
{
    return ToWindows1252(text);
}

} // namespace Orvex
