#include "OrvexSupportTool.h"

#include "CmdLineParser.h"
#include "CommandDatabase.h"
#include "ComponentFactory.h"
#include "ErrorReport.h"
#include "KVTProxy.h"
#include "MotorDatabase.h"
#include "OrvexConfig.h"
#include "OrvexSupportToolDlg.h"
#include "ProgramInfo.h"
#include "ProgressSplashWnd.h"
#include "UiServices.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <QFile>

#include <cerrno>
#include <unistd.h>

namespace Orvex {

namespace {

const QString kMotorDatabaseName = QStringLiteral("OrvexMotorDatabase");
const QString kCrossReferenceName = QStringLiteral("WindNum CustomNum CrossRef");
const QString kLibrarySuffix = QStringLiteral(".so");

using RegisterServerFn = int (*)(ComponentFactory*);

} // namespace

COrvexSupportToolApp::COrvexSupportToolApp(Environment environment) : m_env(std::move(environment))
{}

COrvexSupportToolApp::~COrvexSupportToolApp()
{
    ExitInstance();
}

QString COrvexSupportToolApp::Caption()
{
    return QString::fromLatin1(ProgramName);
}

bool COrvexSupportToolApp::InitInstance()
{
    if (Startup())
        RunMainWindow();
    return false;
}

void COrvexSupportToolApp::Fail(const QString& message, const QString& details)
{
    // The splash goes before the message box, so the box is never hidden behind it.
    HideSplash();
    if (details.isEmpty())
        m_env.Ui.ShowMessage(Caption(), message);
    else
        m_env.Ui.ShowDetailedMessage(Caption(), message, details);
}

bool COrvexSupportToolApp::Startup()
{
    m_startedUp = false;
    // The component factory lives on the application object, which must exist.
    if (!QCoreApplication::instance()) {
        m_env.Ui.ShowMessage(Caption(), QStringLiteral("Error loading COM runtime environment"));
        return false;
    }

    ShowSplash(250);
    SetSplashProgress(0, 100);

    const CCmdLineParser parser(m_env.CommandLine);
    if (parser.HasKey(QStringLiteral("Test")))
        m_testMode = true;

    if (!CreateConfiguration() || !OpenMotorDatabase())
        return false;

    // The command database fills the parameter limits.
    if (!LoadCommandDatabase())
        return false;

    // The automation object goes on the bus once the main window is up.
    m_automation = std::make_unique<AutomationServer>();

    m_context.reset(new AppContext{m_env.Factory, m_env.Ui, m_env.Settings, *m_config,
                                   m_motorServer.get(), m_motorCollection, m_limits, m_testMode,
                                   m_env.ProgramFolder});
    m_startedUp = true;
    return true;
}

bool COrvexSupportToolApp::CreateConfiguration()
{
    try {
        m_config = m_env.Factory.Create<IOrvexConfig>(QString::fromLatin1(ProgId::BridgeConfig));
        return true;
    } catch (const ComponentError& error) {
        Fail(QStringLiteral("Unable to create Orvex Bridge:\n%1").arg(error.Description()));
    } catch (...) {
        ORVEX_REPORT_CURRENT_EXCEPTION();
        Fail(QStringLiteral("Unable to create Orvex Bridge:\n%1")
                 .arg(QStringLiteral("Unexpected error")));
    }
    return false;
}

bool COrvexSupportToolApp::OpenMotorDatabase()
{
    const QDir folder(m_env.ProgramFolder);
    const QString databasePath = QDir::toNativeSeparators(
        folder.absoluteFilePath(kMotorDatabaseName + QStringLiteral(".xml")));
    const QDir libraryFolder(m_libraryFolder.isEmpty() ? m_env.ProgramFolder : m_libraryFolder);
    const QString libraryPath = QDir::toNativeSeparators(
        libraryFolder.absoluteFilePath(kMotorDatabaseName + kLibrarySuffix));
    const QString crossReferencePath = QDir::toNativeSeparators(
        folder.absoluteFilePath(kCrossReferenceName + QStringLiteral(".xml")));

    for (const QString& path : {databasePath, libraryPath, crossReferencePath}) {
        if (!QFileInfo::exists(path)) {
            Fail(QStringLiteral("Unable to locate %1.").arg(path));
            return false;
        }
    }

    m_motorLibrary.setFileName(libraryPath);
    if (!m_motorLibrary.load()) {
        // The loader keeps no error number of its own: a file we may not read
        // says why, any other failure means it is no library we can load.
        const QByteArray nativePath = QFile::encodeName(libraryPath);
        const int error = ::access(nativePath.constData(), R_OK) != 0 ? errno : ENOEXEC;
        ORVEX_TRACE_ERROR(m_motorLibrary.errorString());
        Fail(QStringLiteral("Unable to load %1%2.\nError %3.")
                 .arg(kMotorDatabaseName, kLibrarySuffix)
                 .arg(error));
        return false;
    }
    auto registerServer =
        reinterpret_cast<RegisterServerFn>(m_motorLibrary.resolve("DllRegisterServer"));
    if (!registerServer) {
        ORVEX_TRACE_ERROR(m_motorLibrary.errorString());
        Fail(QStringLiteral("GetProcAddress() failed.\nError %1.").arg(ENOENT));
        return false;
    }
    if (registerServer(&m_env.Factory) < 0) {
        Fail(QStringLiteral("DllRegisterServer() failed."));
        return false;
    }

    try {
        m_motorServer =
            m_env.Factory.Create<IOrvexMotorServer>(QString::fromLatin1(ProgId::MotorServer));
    } catch (const ComponentError& error) {
        Fail(QStringLiteral("Unable to create Orvex Motor Server:\n%1").arg(error.Description()));
        return false;
    }

    try {
        m_motorCollection = m_motorServer->GetOrvexMotorCollection();
        if (!m_motorCollection) {
            Fail(QStringLiteral("m_OrvexMotorServer.GetOrvexMotorCollection() failed"));
            return false;
        }
        SetSplashProgress(20, 100);
        const bool motorsLoaded = m_motorServer->LoadMotorDatabase(databasePath);
        SetSplashProgress(40, 100);
        SetSplashProgress(50, 100);
        const bool crossReferenceLoaded =
            motorsLoaded && m_motorServer->LoadCrossReference(crossReferencePath);
        SetSplashProgress(60, 100);
        // A database that cannot be read would leave the wizard without motors
        // and without a word why; stop here instead.
        if (!motorsLoaded || !crossReferenceLoaded) {
            Fail(QStringLiteral("Unable to read %1.")
                     .arg(motorsLoaded ? crossReferencePath : databasePath),
                 m_motorServer->LoadError());
            return false;
        }
    } catch (...) {
        ORVEX_REPORT_CURRENT_EXCEPTION();
        Fail(QStringLiteral("Unable to read %1.").arg(databasePath));
        return false;
    }
    return true;
}

bool COrvexSupportToolApp::LoadCommandDatabase()
{
    CommandDatabaseLists lists;
    // The loader says why whenever it fails.
    const bool loaded = Orvex::LoadCommandDatabase(
        lists, m_env.ProgramFolder,
        [this](const QString& text, const QString& details) { Fail(text, details); });
    if (!loaded) {
        lists.Clear();
        HideSplash();
        return false;
    }
    FillParameterLimits(lists, m_limits);
    lists.Clear();
    return true;
}

void COrvexSupportToolApp::RunMainWindow()
{
    COrvexSupportToolDlg dialog(*m_context, m_env.Ports, this);
    m_env.Ui.SetOwner(&dialog);
    m_automation->SetGrids(&dialog);
    SetSplashProgress(80, 100);
    dialog.OnInitDialog();
    // Reaching the session bus loads the D-Bus library and takes a round
    // trip: it waits for the first turn of the window's event loop, so the
    // window shows first. No client could read a panel before that anyway.
    QTimer::singleShot(0, &dialog, [this] { m_automation->RegisterOnSessionBus(); });
    dialog.exec();
    m_automation->SetGrids(nullptr);
    m_env.Ui.SetOwner(nullptr);
}

int COrvexSupportToolApp::ExitInstance()
{
    // A start-up that failed ends the process with an error status for scripts.
    const int status = m_startedUp ? 0 : 1;
    m_automation.reset();
    m_context.reset();
    m_motorCollection = nullptr;
    m_motorServer.reset();
    m_config.reset();
    return status;
}

void COrvexSupportToolApp::ShowSplash(int delayMs)
{
    if (m_splashShown)
        return;
    m_splash = std::make_unique<CHMIProgressSplashWnd>();
    m_splashCloseDelay = static_cast<unsigned>(delayMs);
    m_splash->show();
    m_splashShown = true;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void COrvexSupportToolApp::HideSplash()
{
    if (!m_splashShown)
        return;
    m_env.Ui.Pause(static_cast<int>(m_splashCloseDelay));
    if (QWidget* main = QApplication::activeModalWidget()) {
        main->raise();
        main->activateWindow();
    }
    m_splash->close();
    m_splash.reset();
    m_splashShown = false;
}

void COrvexSupportToolApp::SetSplashProgress(int step, int range)
{
    if (!m_splash)
        return;
    m_splash->SetRange(0, range);
    m_splash->SetPos(step + 1);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace Orvex
