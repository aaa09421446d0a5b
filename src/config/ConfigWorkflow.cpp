#include "ConfigWorkflow.h"

#include "AppContext.h"
#include "ComponentError.h"
#include "ConfigWarningDlg.h"
#include "DriveGate.h"
#include "ErrorReport.h"
#include "MainWindowServices.h"
#include "OrvexConfig.h"
#include "PageIds.h"
#include "UiServices.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QSettings>

namespace Orvex {

namespace {

const QString KvtFilter = QStringLiteral("Orvex Configuration Files(*.kvt)|*.kvt||");
const QString CommunicationsError = DriveGate::CommunicationsError;

} // namespace

CConfigWorkflow::CConfigWorkflow(AppContext& context, IMainWindow& mainWindow)
    : m_context(context), m_mainWindow(mainWindow)
{}

void CConfigWorkflow::RegisterStep(int step, IWizardStep& page)
{
    if (step >= 1 && step <= StepCount)
        m_steps[static_cast<std::size_t>(step - 1)] = &page;
}

void CConfigWorkflow::RegisterTuningPage(ITuningReload& page)
{
    m_tuningPages.push_back(&page);
}

IWizardStep* CConfigWorkflow::Step(int step) const
{
    if (step < 1 || step > StepCount)
        return nullptr;
    return m_steps[static_cast<std::size_t>(step - 1)];
}

void CConfigWorkflow::RefillSteps()
{
    // Step 1 first: the later steps read the motor it picks.
    for (int step = 1; step <= 4; ++step) {
        if (IWizardStep* page = Step(step))
            page->FillFromConfig();
    }
}

void CConfigWorkflow::RefillAll()
{
    RefillSteps();
    ReloadTuningPages();
}

void CConfigWorkflow::ResetLaterSteps()
{
    for (int step = 2; step <= StepCount; ++step) {
        if (IWizardStep* page = Step(step))
            page->ResetToDefaults();
    }
    for (ITuningReload* page : m_tuningPages)
        page->ResetToDefaults();
}

void CConfigWorkflow::ResetMotorDefaults()
{
    for (int step : {2, 3}) {
        if (IWizardStep* page = Step(step))
            page->ResetToMotorDefaults();
    }
}

void CConfigWorkflow::WriteAllPagesToConfig()
{
    for (int step = 1; step <= 4; ++step) {
        if (IWizardStep* page = Step(step))
            page->WriteToConfig();
    }
}

void CConfigWorkflow::ReloadTuningPages()
{
    for (ITuningReload* page : m_tuningPages)
        page->FillFromConfig();
}

QString CConfigWorkflow::SaveToChosenFile(const QString& errorCaption)
{
    FileDialogRequest request;
    request.Caption = QStringLiteral("Save Orvex Configuration");
    request.Filter = KvtFilter;
    request.DefaultExtension = QStringLiteral("*.kvt");
    request.InitialName = QStringLiteral("*.kvt");
    request.OverwritePrompt = true;
    const QString path = m_context.Ui.GetSaveFileName(request);
    if (path.isEmpty())
        return QString();
    const bool saved = RunShowingErrors(m_context.Ui, errorCaption, [&] {
        const auto wait =
            m_context.Ui.ShowWait(QStringLiteral("Saving Orvex configuration file..."));
        m_context.Config.StoreConfiguration(false, path);
    });
    return saved ? path : QString();
}

bool CConfigWorkflow::SaveConfigurationAs()
{
    const QString path = SaveToChosenFile(QStringLiteral("Saving Configuration Error"));
    if (path.isEmpty())
        return false;
    // Step 1 shows the new title when it is shown next.
    m_state.SavedFile(path);
    return true;
}

bool CConfigWorkflow::Download()
{
    DriveGate gate(m_context.Ui, m_mainWindow);
    if (!gate.Reach(m_context.Config, DriveGate::Report::MessageBox))
        return false;
    return RunShowingErrors(m_context.Ui, CommunicationsError, [&] {
        const auto wait =
            m_context.Ui.ShowWait(QStringLiteral("Downloading Orvex configuration..."));
        m_context.Config.StoreConfiguration(true, QString());
        wait->SetText(QStringLiteral("Orvex configuration successfully downloaded"));
        m_context.Ui.Pause(DownloadNoticeMs);
    });
}

bool CConfigWorkflow::FinishWizard(bool save, bool download, bool stay)
{
    if (save || download)
        WriteAllPagesToConfig();
    ReloadTuningPages();
    QString savedPath;
    bool failed = false;
    if (save) {
        savedPath = SaveToChosenFile(QStringLiteral("Saving Configuration Error"));
        failed = savedPath.isEmpty();
    }
    bool downloadFailed = false;
    if (download)
        downloadFailed = !Download();
    if (!failed && !downloadFailed && !stay) {
        if (!savedPath.isEmpty())
            m_state.SavedFile(savedPath);
        m_mainWindow.SetPage(PageId::ConfigWizardStep1);
    }
    return !downloadFailed;
}

bool CConfigWorkflow::CheckConfigurationMatch()
{
    if (m_context.Config.ControlMode() == m_state.ControlMode)
        return false;
    // The warning shows what each choice would change.
    ConfigurationDifferences differences;
    QString problem;
    m_mainWindow.StopStatusAutoUpdate();
    try {
        const auto wait =
            m_context.Ui.ShowWait(QStringLiteral("Reading the Orvex drive's configuration..."));
        differences = DifferencesFromDrive();
    } catch (const ComponentError& error) {
        problem = error.Description();
    } catch (const FrameworkException& error) {
        problem = error.Message().left(MessageBoxTextMaxLength);
    }
    CConfigWarningDlg warning(*this, differences, problem);
    return m_context.Ui.RunModal(warning) == QDialog::Accepted;
}

ConfigurationDifferences CConfigWorkflow::DifferencesFromDrive()
{
    // The pages are written to the configuration object for the comparison;
    // afterwards the object holds again what it held.
    IOrvexConfig& config = m_context.Config;
    std::vector<std::pair<const ConfigField*, QVariant>> kept;
    for (const ConfigField& field : ConfigFields::All) {
        if (field.Readable() && field.Writable())
            kept.emplace_back(&field, config.Property(field));
    }
    const auto restore = qScopeGuard([&] {
        ORVEX_GUARDED([&] {
            for (const auto& [field, value] : kept)
                config.SetProperty(*field, value);
        });
    });
    WriteAllPagesToConfig();
    return CompareWithDrive(m_context.Factory, config, m_mainWindow.SelectedPort());
}

bool CConfigWorkflow::UploadFromDrive()
{
    DriveGate gate(m_context.Ui, m_mainWindow);
    if (!gate.Reach(m_context.Config, DriveGate::Report::MessageBox))
        return false;
    QString problem;
    try {
        const auto wait = m_context.Ui.ShowWait(QStringLiteral("Uploading Orvex configuration..."));
        m_context.Config.LoadConfiguration(QString());
        wait->SetText(QStringLiteral("Orvex configuration successfully uploaded"));
        m_context.Ui.Pause(UploadNoticeMs);
    } catch (const ComponentError& error) {
        problem = error.Description();
        if (problem.isEmpty())
            problem = QStringLiteral("Uploading configuration failed.");
    } catch (const FrameworkException& error) {
        problem = error.Message().left(MessageBoxTextMaxLength);
    }
    if (!problem.isEmpty()) {
        ShowErrorMessage(m_context.Ui, CommunicationsError, problem);
        return false;
    }
    m_state.UploadedFromDrive();
    RefillSteps();
    return true;
}

void CConfigWorkflow::OpenRememberedConfiguration()
{
    const QString path = m_state.LoadPath();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    const bool opened = RunShowingErrors(m_context.Ui, QStringLiteral("Open Configuration Error"),
                                         [&] { m_context.Config.LoadConfiguration(path); });
    if (!opened)
        return;
    m_state.ReopenedFile(path);
    RefillAll();
}

} // namespace Orvex
