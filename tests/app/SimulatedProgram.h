#pragma once

#include "AppContext.h"
#include "BuiltInComponents.h"
#include "CommunicationsGroup.h"
#include "ComponentFactory.h"
#include "FakeConfig.h"
#include "FakeUiServices.h"
#include "OrvexConfig.h"
#include "OrvexMotorServer.h"
#include "OrvexSupportToolDlg.h"
#include "ParameterLimits.h"
#include "PortRegistry.h"
#include "ScriptedLink.h"
#include "SimulatedDrive.h"

#include <QSettings>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace OrvexTest {

// Every message box shown so far, as "caption: text".
QStringList Messages(const FakeUiServices& ui);

// The serial devices a test says are present; it may change them at any time.
class ListedDevices final : public Orvex::ISerialDeviceSource
{
public:
    std::vector<Orvex::SerialDeviceInfo> PresentDevices() const override { return Devices; }
    std::vector<Orvex::SerialDeviceInfo> Devices;
};

// A device the system names "COMn".
Orvex::SerialDeviceInfo ComDevice(const QString& name, const QString& description = QString());

// The program's parts as main() and start-up put them together (profile,
// ports, link, bridge, the simulated drive behind its port, the
// configuration object, the motor database, the parameter limits and the
// pages' context) on a computer without serial ports, with UI services that
// answer without windows. prepare edits the profile before anything reads
// it. Without a folder, the shipped data is used.
struct SimulatedProgram
{
    explicit SimulatedProgram(const QString& dataFolder,
                              const std::function<void(QSettings&)>& prepare = {});
    explicit SimulatedProgram(const std::function<void(QSettings&)>& prepare = {});

    // The number of the simulated drive's port.
    int SimulatorPort();
    Orvex::SimulatedDrive& Drive() const { return *components.Drive(); }

    QTemporaryDir dir;
    QSettings settings;
    ListedDevices devices;
    Orvex::PortRegistry ports;
    Orvex::ComponentFactory factory;
    Orvex::BuiltInComponents components;
    std::unique_ptr<Orvex::IOrvexConfig> config;
    FakeUiServices ui;
    Orvex::COrvexMotorServer motors;
    Orvex::ParameterLimits limits;
    Orvex::AppContext context;
};

// The main window as the program builds it, on the simulated drive.
struct SimulatedWindow : SimulatedProgram
{
    explicit SimulatedWindow(const std::function<void(QSettings&)>& prepare = {});
    template <class T = QWidget> T* Child(const char* name) const
    {
        return window.findChild<T*>(QString::fromLatin1(name));
    }

    Orvex::COrvexSupportToolDlg window;
};

// The pages' context over fakes: a profile of its own, listed serial devices
// and the fake configuration object. After ScriptLinks() every serial link is
// a scripted one (the last one made is link) whose Open fails with openError
// when one is given.
struct FakeProgram
{
    FakeProgram();
    void ScriptLinks(const QString& openError = QString());
    // Builds the main window over the fakes, as the program starts it.
    void OpenWindow();
    template <class T = QWidget> T* Child(const char* name) const
    {
        return window->findChild<T*>(QString::fromLatin1(name));
    }

    QTemporaryDir dir;
    QSettings settings;
    ListedDevices devices;
    Orvex::PortRegistry ports;
    Orvex::ComponentFactory factory;
    FakeUiServices ui;
    FakeConfig config;
    Orvex::ParameterLimits limits;
    Orvex::AppContext context;
    ScriptedLink* link = nullptr;
    std::unique_ptr<Orvex::COrvexSupportToolDlg> window;
};

} // namespace OrvexTest
