#include "BuiltInComponents.h"

#include "BridgeComponents.h"
#include "ComponentFactory.h"
#include "LinkComponent.h"
#include "PortHub.h"
#include "PortRegistry.h"
#include "SimulatedDrive.h"
#include "SimulatorTransport.h"

#include <QLoggingCategory>
#include <QSettings>

namespace Orvex {

namespace {

const QString kSimulatorSetting = QStringLiteral("Communications/Simulator");
// The simulated drive's link runs at the real drive's speed, so transfers take
// the time they would take on a real cable.
constexpr int kSimulatorBaudRate = 115200;

} // namespace

BuiltInComponents::BuiltInComponents(ComponentFactory& factory, PortRegistry& ports,
                                     QSettings& settings, const QString& programFolder)
    : m_hub(std::make_unique<PortHub>(ports))
{
    RegisterLinkComponent(factory, *m_hub);
    RegisterBridgeComponents(factory, *m_hub);

    QString error;
    m_drive = SimulatedDrive::FromFolder(programFolder, &error);
    if (!m_drive) {
        qWarning("No simulated drive: %s", qPrintable(error));
        return;
    }
    const std::shared_ptr<SimulatedDrive> drive = m_drive;
    m_hub->RegisterVirtualTransport(SimulatorKey(), [drive] {
        auto transport = std::make_unique<SimulatorTransport>(drive);
        transport->SetBaudRate(kSimulatorBaudRate);
        return transport;
    });
    if (SimulatorOffered(settings))
        ports.AddVirtualPort(SimulatorKey(), SimulatorDescription());
}

BuiltInComponents::~BuiltInComponents() = default;

QString BuiltInComponents::SimulatorKey()
{
    return QStringLiteral("sim:orvex");
}

QString BuiltInComponents::SimulatorDescription()
{
    return QStringLiteral("Orvex Drive Simulator");
}

bool BuiltInComponents::SimulatorOffered(QSettings& settings)
{
    return settings.value(kSimulatorSetting, true).toBool();
}

void BuiltInComponents::OfferSimulator(PortRegistry& ports, QSettings& settings, bool offer)
{
    settings.setValue(kSimulatorSetting, offer);
    if (offer)
        ports.AddVirtualPort(SimulatorKey(), SimulatorDescription());
    else
        ports.RemoveVirtualPort(SimulatorKey());
}

} // namespace Orvex
