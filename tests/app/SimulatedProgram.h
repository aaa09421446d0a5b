#pragma once

#include "AppContext.h"
#include "BuiltInComponents.h"
#include "CommunicationsGroup.h"
#include "ComponentFactory.h"
#include "FakeUiServices.h"
#include "OrvexConfig.h"
#include "OrvexSupportToolDlg.h"
#include "ParameterLimits.h"
#include "PortRegistry.h"

#include <QSettings>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace OrvexTest {

// A computer without serial ports.
class NoSerialDevices final : public Orvex::ISerialDeviceSource
{
public:
    std::vector<Orvex::SerialDeviceInfo> PresentDevices() const override { return {}; }
};

// The program's parts as main() and start-up put them together (profile,
// ports, link, bridge, the simulated drive behind its port, the
// configuration object and the pages' context) on a computer without serial
// ports, with UI services that answer without windows. prepare edits the
// profile before anything reads it.
struct SimulatedProgram
{
    explicit SimulatedProgram(const QString& dataFolder,
                              const std::function<void(QSettings&)>& prepare = {});

    // The number of the simulated drive's port.
    int SimulatorPort();

    QTemporaryDir dir;
    QSettings settings;
    NoSerialDevices devices;
    Orvex::PortRegistry ports;
    Orvex::ComponentFactory factory;
    Orvex::BuiltInComponents components;
    std::unique_ptr<Orvex::IOrvexConfig> config;
    FakeUiServices ui;
    Orvex::ParameterLimits limits;
    Orvex::AppContext context;
};

} // namespace OrvexTest
