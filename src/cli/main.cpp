// orvex-drive: the program's drive actions from a shell or a script.
#include "BuiltInComponents.h"
#include "ComponentFactory.h"
#include "DriveTool.h"
#include "PortRegistry.h"
#include "ProgramFolders.h"
#include "ProgramInfo.h"
#include "SerialDeviceSource.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QSettings>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    // The program's profile, so a port has the same number here as in the program.
    QCoreApplication::setOrganizationName(QStringLiteral("Tamsel"));
    QCoreApplication::setApplicationName(QStringLiteral("OrvexSupportTool"));
    QCoreApplication::setApplicationVersion(Orvex::ProductVersion());

    // The components' trace stays quiet: every failure is told in the
    // tool's own words. QT_LOGGING_RULES turns it back on.
    QLoggingCategory::setFilterRules(QStringLiteral("orvex.*=false"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.value(0) == QLatin1String("--version")) {
        out << "orvex-drive " << Orvex::ProductVersion() << '\n';
        return 0;
    }

    QSettings settings;
    Orvex::ComponentFactory factory;
    Orvex::QtSerialDeviceSource systemDevices;
    Orvex::COnceDeviceSource devices(systemDevices);
    Orvex::PortRegistry ports(devices, settings);
    // The simulated drive needs only the command database.
    const Orvex::ProgramFolders folders =
        Orvex::FindProgramFolders(QCoreApplication::applicationDirPath(),
                                  {QStringLiteral("OrvexCommandDatabase.xml")}, QString());
    Orvex::BuiltInComponents components(factory, ports, settings,
                                        folders.Found() ? folders.Data
                                                        : QCoreApplication::applicationDirPath());

    Orvex::CDriveTool tool({factory, ports, components.Hub(), settings, folders, out, err,
                            ::isatty(STDOUT_FILENO) == 1, &devices});
    return tool.Run(arguments);
}
