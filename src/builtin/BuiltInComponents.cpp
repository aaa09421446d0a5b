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
const QString kLoadRatioSetting = QStringLiteral("Simulator/LoadRatio");
const QString kResonanceSetting = QStringLiteral("Simulator/ResonanceHz");
const QString kDampingSetting = QStringLiteral("Simulator/ResonanceDamping");
// The simulated drive's link runs at the real drive's speed, so transfers take
// the time they would take on a real cable.
constexpr int kSimulatorBaudRate = 115200;

} // namespace

BuiltInComponents::BuiltInComponents(ComponentFactory& factory, PortRegistry& ports,
                                     QSettings& settings, const QString& programFolder)
    : m_hub(std::make_unique<PortHub>(ports)), m_settings(settings), m_programFolder(programFolder)
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
        if (!m_drive) {
            qWarning("No simulated drive: %s", qPrintable(error));
            return m_drive;
        }
        m_drive->SeedFieldHistory();
        if (m_seed)
            m_drive->SetSeed(*m_seed);
        QSettings& settings = m_settings;
        // Until a load is chosen, the drive keeps its own (which a test may set).
        m_drive->SetLoadSource([&settings](DriveModel::Load& load) {
            if (settings.contains(kLoadRatioSetting))
                load = SimulatedLoad(settings);
        });
    }
    return m_drive;
}

void BuiltInComponents::SeedSimulator(quint64 seed)
{
    m_seed = seed;
    if (m_drive)
        m_drive->SetSeed(seed);
}

DriveModel::Load BuiltInComponents::SimulatedLoad(QSettings& settings)
{
    DriveModel::Load load;
    const double ratio = settings.value(kLoadRatioSetting, load.InertiaRatio).toDouble();
    const double resonance = settings.value(kResonanceSetting, load.ResonanceHz).toDouble();
    const double damping = settings.value(kDampingSetting, load.DampingRatio).toDouble();
    // A profile edited by hand to something the drive cannot take keeps the usual load.
    if (SimulatedDrive::LoadError(ratio, resonance, damping).isEmpty()) {
        load.InertiaRatio = ratio;
        load.ResonanceHz = resonance;
        load.DampingRatio = damping;
    }
    return load;
}

void BuiltInComponents::SetSimulatedLoad(QSettings& settings, double inertiaRatio,
                                         double resonanceHz, double dampingRatio)
{
    settings.setValue(kLoadRatioSetting, inertiaRatio);
    settings.setValue(kResonanceSetting, resonanceHz);
    settings.setValue(kDampingSetting, dampingRatio);
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
