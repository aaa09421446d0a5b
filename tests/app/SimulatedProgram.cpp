#include "SimulatedProgram.h"

#include "CommandDatabase.h"

#include <QDir>

namespace OrvexTest {

QStringList Messages(const FakeUiServices& ui)
{
    QStringList shown;
    for (const FakeUiServices::Message& message : ui.Messages)
        shown << message.Caption + QStringLiteral(": ") + message.Text;
    return shown;
}

Orvex::SerialDeviceInfo ComDevice(const QString& name, const QString& description)
{
    Orvex::SerialDeviceInfo info;
    info.PortName = info.SystemLocation = name;
    info.Description = description;
    return info;
}

SimulatedProgram::SimulatedProgram(const QString& dataFolder,
                                   const std::function<void(QSettings&)>& prepare)
    : settings(dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat),
      // The profile is prepared before the port registry reads it.
      ports(((prepare ? prepare(settings) : void()), devices), settings),
      components(factory, ports, settings, dataFolder),
      config(factory.Create<Orvex::IOrvexConfig>(QString::fromLatin1(Orvex::ProgId::BridgeConfig))),
      context{factory, ui,    settings,  *config, &motors, motors.GetOrvexMotorCollection(),
              limits,  false, dataFolder}
{
    // The simulated drive's noise repeats from run to run.
    components.SeedSimulator(1);
    // As start-up loads them; a folder without them leaves both empty.
    const QDir folder(dataFolder);
    motors.LoadMotorDatabase(folder.filePath(QStringLiteral("OrvexMotorDatabase.xml")));
    motors.LoadCrossReference(folder.filePath(QStringLiteral("WindNum CustomNum CrossRef.xml")));
    Orvex::CommandDatabaseLists lists;
    if (Orvex::LoadCommandDatabase(lists, dataFolder, [](const QString&, const QString&) {}))
        Orvex::FillParameterLimits(lists, limits);
}

SimulatedProgram::SimulatedProgram(const std::function<void(QSettings&)>& prepare)
    : SimulatedProgram(QStringLiteral(ORVEX_TEST_DATA_DIR), prepare)
{}

int SimulatedProgram::SimulatorPort()
{
    for (const Orvex::PortRegistry::PortEntry& entry : ports.EnumerateSerialPorts()) {
        if (entry.SystemLocation == Orvex::BuiltInComponents::SimulatorKey())
            return entry.Number;
    }
    return 0;
}

SimulatedWindow::SimulatedWindow(const std::function<void(QSettings&)>& prepare)
    : SimulatedProgram(prepare), window(context, ports, nullptr)
{
    window.OnInitDialog();
}

FakeProgram::FakeProgram()
    : settings(dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat),
      ports(devices, settings), context{factory, ui,     settings, config,   nullptr,
                                        nullptr, limits, false,    QString()}
{}

void FakeProgram::ScriptLinks(const QString& openError)
{
    factory.Register(QString::fromLatin1(Orvex::ProgId::LinkPort), [this, openError] {
        auto made = std::make_unique<ScriptedLink>();
        made->OpenError = openError;
        link = made.get();
        return made;
    });
}

void FakeProgram::OpenWindow()
{
    window = std::make_unique<Orvex::COrvexSupportToolDlg>(context, ports, nullptr);
    window->OnInitDialog();
}

} // namespace OrvexTest
