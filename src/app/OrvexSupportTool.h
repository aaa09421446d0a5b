#pragma once

#include "AppContext.h"
#include "OrvexSupportToolDlg.h"
#include "ParameterLimits.h"

#include <QLibrary>
#include <QString>

#include <memory>

class QSettings;

namespace Orvex {

class CHMIProgressSplashWnd;
class AutomationServer;
class ComponentFactory;
class IOrvexConfig;
class IOrvexMotorCollection;
class IOrvexMotorServer;
class IUiServices;
class PortRegistry;

// The application object: runs start-up (splash, command line, drive bridge,
// motor database, command database, automation object), runs the main
// window, and releases the components at exit.
class COrvexSupportToolApp final : public ISplashControl
{
public:
    struct Environment
    {
        QString ProgramFolder; // where the data files and the motor database library are
        QString CommandLine;
        ComponentFactory& Factory;
        IUiServices& Ui;
        QSettings& Settings;
        PortRegistry& Ports;
    };

    explicit COrvexSupportToolApp(Environment environment);
    ~COrvexSupportToolApp() override;

    // The folder of the motor database library when it is not the program
    // folder (an installed program keeps it apart from the data files).
    void SetLibraryFolder(const QString& folder) { m_libraryFolder = folder; }

    // Start-up and the main window; answers false so that the program ends
    // when it returns.
    bool InitInstance();
    // Steps up to the main window: true when everything the window needs is
    // there. Every failure has shown its message by then.
    bool Startup();
    // Constructs and runs the main window modally, then destroys it.
    void RunMainWindow();
    // Releases the motor collection, the motor server and the configuration
    // object, in this order. Answers the process's exit status: 1 when
    // start-up failed.
    int ExitInstance();

    void ShowSplash(int delayMs);
    void HideSplash() override;
    void SetSplashProgress(int step, int range) override;
    bool SplashShown() const { return m_splashShown; }

    bool TestMode() const { return m_testMode; }
    IOrvexConfig* Config() const { return m_config.get(); }
    IOrvexMotorServer* MotorServer() const { return m_motorServer.get(); }
    IOrvexMotorCollection* MotorCollection() const { return m_motorCollection; }
    const ParameterLimits& Limits() const { return m_limits; }
    // Built once start-up has succeeded.
    AppContext* Context() const { return m_context.get(); }

    static QString Caption();

private:
    bool CreateConfiguration();
    bool OpenMotorDatabase();
    bool LoadCommandDatabase();
    // Shows message over no splash; details, when given, open on request.
    void Fail(const QString& message, const QString& details = QString());

    Environment m_env;
    QString m_libraryFolder;
    bool m_testMode = false;
    bool m_startedUp = false;
    std::unique_ptr<IOrvexConfig> m_config;
    std::unique_ptr<IOrvexMotorServer> m_motorServer;
    IOrvexMotorCollection* m_motorCollection = nullptr; // the server's
    ParameterLimits m_limits;
    std::unique_ptr<AppContext> m_context;
    std::unique_ptr<AutomationServer> m_automation;
    QLibrary m_motorLibrary;

    std::unique_ptr<CHMIProgressSplashWnd> m_splash;
    unsigned m_splashCloseDelay = 0;
    bool m_splashShown = false;
};

} // namespace Orvex
