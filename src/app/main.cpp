#include "Artwork.h"
#include "BuiltInComponents.h"
#include "ComponentFactory.h"
#include "OrvexSupportTool.h"
#include "PortRegistry.h"
#include "ProgramFolders.h"
#include "ProgramInfo.h"
#include "SerialDeviceSource.h"
#include "TraceFile.h"
#include "WidgetUiServices.h"

#include <QApplication>
#include <QSettings>

#include <cstdio>

namespace {

// The arguments as one command line, quoting those that hold blanks.
QString CommandLineOf(const QStringList& arguments)
{
    QStringList parts;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        parts << (argument.contains(QLatin1Char(' '))
                      ? QLatin1Char('"') + argument + QLatin1Char('"')
                      : argument);
    }
    return parts.join(QLatin1Char(' '));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Tamsel"));
    QCoreApplication::setApplicationName(QStringLiteral("OrvexSupportTool"));
    QCoreApplication::setApplicationVersion(Orvex::ProductVersion());
    QApplication::setQuitOnLastWindowClosed(false);

    // The trace goes to standard error; ORVEX_TRACE_FILE names a file to copy it to.
    const QString traceFile = qEnvironmentVariable("ORVEX_TRACE_FILE");
    if (!traceFile.isEmpty() && !Orvex::InstallTraceFile(traceFile))
        qWarning("Cannot write the trace file %s", qPrintable(traceFile));

    QSettings settings;
    Orvex::WidgetUiServices ui;
    QApplication::setWindowIcon(Orvex::ProgramIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("com.tamsel.OrvexSupportTool"));

    // Beside the executable in the build folder, the installed folders otherwise.
    const Orvex::ProgramFolders folders =
        Orvex::FindProgramFolders(QCoreApplication::applicationDirPath(), Orvex::StartupDataFiles(),
                                  Orvex::MotorDatabaseLibraryName());
    if (!folders.Found()) {
        const QString message = folders.MissingMessage();
        std::fprintf(stderr, "%s\n", qPrintable(message));
        ui.ShowMessage(Orvex::COrvexSupportToolApp::Caption(), message);
        return 1;
    }

    Orvex::ComponentFactory factory;
    Orvex::QtSerialDeviceSource devices;
    Orvex::PortRegistry ports(devices, settings);
    Orvex::BuiltInComponents components(factory, ports, settings, folders.Data);

    Orvex::COrvexSupportToolApp app(
        {folders.Data, CommandLineOf(QCoreApplication::arguments()), factory, ui, settings, ports});
    app.SetLibraryFolder(folders.Library);
    app.InitInstance();
    return app.ExitInstance();
}
