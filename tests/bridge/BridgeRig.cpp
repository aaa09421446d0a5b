#include "BridgeRig.h"

#include "BridgeComponents.h"
#include "ComponentError.h"
#include "OrvexBridgeConfig.h"

#include <QtGlobal>

namespace OrvexTest {

namespace {

const QString kSimKey = QStringLiteral("sim");

} // namespace

BridgeRig::BridgeRig(Drive where)
    : settings(dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat),
      registry(source, settings), hub(registry)
{
    if (where == Drive::InProcess) {
        QString error;
        drive = Orvex::SimulatedDrive::FromFolder(qEnvironmentVariable("ORVEX_DATA_DIR"), &error);
        if (!drive) {
            qFatal("No simulated drive: %s", qPrintable(error));
        }
        port = AddVirtualPort(kSimKey, QStringLiteral("Sim"), [this] {
            auto made = std::make_unique<Orvex::SimulatorTransport>(drive);
            transport = made.get();
            return made;
        });
    }
    Orvex::RegisterBridgeComponents(factory, hub);
}

BridgeRig::BridgeRig(DriveLinkMaker makeLink) : BridgeRig(Drive::InProcess)
{
    hub.RegisterVirtualTransport(kSimKey, [this, makeLink] { return makeLink(drive); });
}

int BridgeRig::AddVirtualPort(const QString& key, const QString& description,
                              Orvex::PortHub::TransportMaker make)
{
    const int number = registry.AddVirtualPort(key, description);
    hub.RegisterVirtualTransport(key, std::move(make));
    return number;
}

std::unique_ptr<Orvex::IOrvexConfig> BridgeRig::Config()
{
    auto config = factory.Create<Orvex::IOrvexConfig>(QLatin1String(Orvex::ProgId::BridgeConfig));
    config->SetPortNumber(port);
    return config;
}

std::unique_ptr<Orvex::IOrvexStatus> BridgeRig::Status()
{
    auto status = factory.Create<Orvex::IOrvexStatus>(QLatin1String(Orvex::ProgId::BridgeStatus));
    status->SetPortNumber(port);
    return status;
}

QString DescriptionOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const Orvex::ComponentError& error) {
        return error.Description();
    }
    return QStringLiteral("(no error)");
}

const Orvex::ConfigurationValues& ValuesOf(const Orvex::IOrvexConfig& config)
{
    return static_cast<const Orvex::COrvexBridgeConfig&>(config).Values();
}

QStringList DriveHeldValues(const Orvex::ConfigurationValues& values)
{
    using Values = Orvex::ConfigurationValues;
    using Way = Values::Transfer;
    const bool velocityMode = values.Int(45) == 4;
    QStringList texts;
    for (const Values::Property& property : Values::Properties()) {
        if (property.Way == Way::None || property.Way == Way::UploadOnly ||
            (property.Way == Way::VelocityModeIntegral && !velocityMode) ||
            (property.Way == Way::NotVelocityModeIntegral && velocityMode)) {
            continue;
        }
        texts << QStringLiteral("%1=%2").arg(QLatin1String(property.Name),
                                             values.FileText(property));
    }
    return texts;
}

void SetSampleConfiguration(Orvex::IOrvexConfig& config, bool linear, int controlMode)
{
    config.SetMotorPartNumber(QStringLiteral("VX-220-B"));
    config.SetMotorIsLinear(linear ? 1 : 0);
    config.SetElectricalPitch(linear ? 24.5f : 0.0f);
    config.SetMotorPolePairs(linear ? 1 : 5);
    config.SetMotorRatedSpeed(37.25f);
    config.SetMotorKe(41.5f);
    config.SetPeakCurrent(12.75f);
    config.SetFeedbackResolution(131072);
    config.SetControlMode(controlMode);
    config.SetNotchAFrequency(250);
    config.SetZeroReferenceVoltage(1.25f);
    config.SetEncoderOffset(-1200);
}

} // namespace OrvexTest
