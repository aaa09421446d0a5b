#include "ConfigurationComparison.h"

#include "ComponentFactory.h"
#include "ConnectionResult.h"
#include "OrvexConfig.h"

namespace Orvex {

namespace {

bool IsSetting(const ConfigField& field)
{
    return field.Access == ConfigAccess::GetPut;
}

} // namespace

QString ShownValue(ConfigType type, const QVariant& value)
{
    switch (type) {
    case ConfigType::Int:
        return QString::number(value.toInt());
    case ConfigType::Float: {
        const QString shown = QString::asprintf("%.2f", static_cast<double>(value.toFloat()));
        // A small negative number shows as zero, not as "-0.00".
        return shown == QLatin1String("-0.00") ? shown.mid(1) : shown;
    }
    case ConfigType::Bool:
        return value.toBool() ? QStringLiteral("Yes") : QStringLiteral("No");
    case ConfigType::Text:
        break;
    }
    return value.toString();
}

ConfigurationDifferences CompareConfigurations(const IOrvexConfig& program,
                                               const IOrvexConfig& drive)
{
    ConfigurationDifferences differences;
    for (const ConfigField& field : ConfigFields::All) {
        if (!IsSetting(field)) {
            continue;
        }
        QString programValue = ShownValue(field.Type, program.Property(field));
        QString driveValue = ShownValue(field.Type, drive.Property(field));
        if (programValue != driveValue) {
            differences.push_back(
                {QLatin1String(field.Name), std::move(programValue), std::move(driveValue)});
        }
    }
    return differences;
}

ConfigurationDifferences CompareWithDrive(const ComponentFactory& factory,
                                          const IOrvexConfig& program, int portNumber)
{
    const auto drive = factory.Create<IOrvexConfig>(QLatin1String(ProgId::BridgeConfig));
    drive->SetPortNumber(portNumber);
    if (const int answer = drive->TestConnection(); answer != -1) {
        throw ComponentError(ResultCode::Fail, ConnectionResultText(answer));
    }
    for (const ConfigField& field : ConfigFields::All) {
        if (IsSetting(field)) {
            drive->SetProperty(field, program.Property(field));
        }
    }
    drive->LoadConfiguration(QString());
    return CompareConfigurations(program, *drive);
}

} // namespace Orvex
