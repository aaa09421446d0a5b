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
    : m_hub(std::make_unique<PortHub>(ports)), m_programFolder(programFolder)
{
    RegisterLinkComponent(factory, *m_hub);
    RegisterBridgeComponents(factory, *m_hub);

    // The drive is made when the port is first opened, so a start-up that
    // never uses it does not pay for it.
    m_hub->RegisterVirtualTransport(SimulatorKey(), [this]() -> std::unique_ptr<ILinkTransport> {
        const std::shared_ptr<SimulatedDrive> drive = EnsureDrive();
        if (!drive)
            return nullptr;
        auto transport = std::make_unique<SimulatorTransport>(drive);
        transport->SetBaudRate(kSimulatorBaudRate);
        return transport;
    });
    if (SimulatorOffered(settings))
        ports.AddVirtualPort(SimulatorKey(), SimulatorDescription());
}

std::shared_ptr<SimulatedDrive> BuiltInComponents::EnsureDrive() const
{
    if (!m_drive) {
        QString error;
        m_drive = SimulatedDrive::FromFolder(m_programFolder, &error);
        if (m_drive)
            m_drive->SeedFieldHistory();
        else
            qWarning("No simulated drive: %s", qPrintable(error));
    }
    return m_drive;
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
