#include "TunerPage.h"

#include "AppContext.h"
#include "ComponentError.h"
#include "DriveGate.h"
#include "ErrorReport.h"
#include "LinkSession.h"
#include "MainWindowServices.h"
#include "NumericEdit.h"
#include "OrvexConfig.h"
#include "UiServices.h"
#include "WizardState.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

namespace Orvex {

namespace {

const QString CommunicationsError = DriveGate::CommunicationsError;

} // namespace

TunerContext::TunerContext(AppContext& context, IMainWindow& mainWindow, IConfigWorkflow& workflow)
    : App(context), MainWindow(mainWindow), Workflow(workflow)
{}

IOrvexConfig& TunerContext::Config() const
{
    return App.Config;
}

IUiServices& TunerContext::Ui() const
{
    return App.Ui;
}

bool TunerContext::CheckDriveConnection()
{
    DriveGate gate(App.Ui, MainWindow);
    return gate.Reach(App.Config, DriveGate::Report::ConnectionLabels);
}

bool TunerContext::CheckDriveConfigured()
{
    if (App.Config.DriveConfigured())
        return true;
    ShowErrorMessage(App.Ui, QStringLiteral("Configuration Error"),
                     QStringLiteral("Orvex drive has not been configured"));
    return false;
}

bool TunerContext::WarnDriveState()
{
    IOrvexConfig& config = App.Config;
    if (!CheckDriveConfigured())
        return false;
    if (!config.EnableInputActive())
        ShowErrorMessage(App.Ui, QStringLiteral("Hardware Drive Enable Warning"),
                         QStringLiteral("Orvex drive is not enabled via enable input"));
    if (config.DriveFaulted())
        ShowErrorMessage(App.Ui, QStringLiteral("Drive Fault Warning"),
                         QStringLiteral("Orvex drive is faulted.  You must reset drive to clear "
                                        "fault."));
    return true;
}

void TunerContext::UploadConfiguration()
{
    const auto wait = App.Ui.ShowWait(QStringLiteral("Uploading Orvex configuration..."));
    App.Config.LoadConfiguration(QString());
    App.Ui.Pause(UploadPauseMs);
}

bool TunerContext::SwitchDrive(bool enable, const std::function<bool()>& ready)
{
    bool switched = false;
    RunDriveAction([&] {
        if (ready && !ready())
            return;
        const auto wait = App.Ui.ShowWait(enable ? QStringLiteral("Enabling Orvex drive...")
                                                 : QStringLiteral("Disabling Orvex drive..."));
        App.Config.SetDriveEnable(enable);
        App.Ui.Pause(EnablePauseMs);
        switched = true;
    });
    return switched;
}

void TunerContext::ResetDrive()
{
    if (!CheckDriveConnection())
        return;
    RunDriveAction([&] {
        if (!CheckDriveConfigured())
            return;
        const auto wait = App.Ui.ShowWait(QStringLiteral("Resetting Orvex drive..."));
        App.Config.ResetDrive(App.Config.DriveFaulted(), ResetTimeoutMs);
    });
}

bool TunerContext::CheckDriveState()
{
    IOrvexConfig& config = App.Config;
    if (!CheckDriveConfigured())
        return false;
    if (!config.EnableInputActive()) {
        ShowErrorMessage(App.Ui, QStringLiteral("Hardware Drive Enable Error"),
                         QStringLiteral("Orvex drive is not enabled via enable input"));
        return false;
    }
    if (config.DriveFaulted()) {
        ShowErrorMessage(App.Ui, QStringLiteral("Drive Fault"),
                         QStringLiteral("Orvex drive is faulted.  You must reset drive to clear "
                                        "fault."));
        return false;
    }
    return true;
}

bool TunerContext::AskFaultOnDisable(const QString& clearCommand)
{
    IOrvexConfig& config = App.Config;
    if (!config.FaultOnDriveDisable())
        return true;
    const QuestionAnswer answer = App.Ui.AskYesNoCancel(
        QStringLiteral("Configuration Warning"),
        QStringLiteral("The 'Enable Fault on Drive Disable' flag is set\nand could interfere with "
                       "the tuning.\n\nDo you want to disable it (recommended)?"));
    if (answer == QuestionAnswer::Cancel)
        return false;
    if (answer == QuestionAnswer::Yes) {
        config.SetFaultOnDriveDisable(false);
        if (!clearCommand.isEmpty())
            SendDriveCommand(clearCommand);
    }
    return true;
}

bool TunerContext::CheckStepDirectionMode()
{
    if (App.Config.ControlMode() >= WizardState::StepDirectionMode)
        return true;
    ShowErrorMessage(App.Ui, QStringLiteral("Configuration Error"),
                     QStringLiteral("Orvex drive has not been configured as a step/direction "
                                    "servo drive"));
    return false;
}

bool TunerContext::SendDriveCommand(const QString& text)
{
    LinkSession link(App.Factory, App.Ui);
    if (!link.EnsureCreated() || !link.Open(MainWindow.SelectedPort(), true))
        return false;
    const bool sent = link.Send(text);
    link.Close();
    return sent;
}

bool TunerContext::RunDriveAction(const std::function<void()>& action)
{
    return RunShowingErrors(App.Ui, CommunicationsError, action);
}

bool TunerContext::SaveConfigurationAs(const std::function<void()>& writeToConfig)
{
    if (!RunDriveAction(writeToConfig))
        return false;
    FileDialogRequest request;
    request.Caption = QStringLiteral("Save Orvex Configuration");
    request.Filter = QStringLiteral("Orvex Configuration Files(*.kvt)|*.kvt||");
    request.DefaultExtension = QStringLiteral("*.kvt");
    request.InitialName = QStringLiteral("*.kvt");
    request.OverwritePrompt = true;
    const QString path = Ui().GetSaveFileName(request);
    if (path.isEmpty())
        return false;
    return RunShowingErrors(Ui(), QStringLiteral("Saving Configuration Error"), [&] {
        const auto wait = Ui().ShowWait(QStringLiteral("Saving Orvex configuration file..."));
        Config().StoreConfiguration(false, path);
    });
}

TTunerPage::TTunerPage(TunerContext& tuning, QWidget* parent) : QWidget(parent), m_tuning(tuning) {}

NumericEdit* TTunerPage::AddEdit(QGridLayout* grid, int row, int column, const QString& label,
                                 NumericChars chars, const char* objectName,
                                 const QString& defaultText)
{
    auto* edit = new NumericEdit(chars, this);
    edit->setObjectName(QLatin1String(objectName));
    edit->setText(defaultText);
    edit->setMaximumWidth(110);
    auto* caption = new QLabel(label, this);
    caption->setBuddy(edit);
    edit->setAccessibleName(
        QString(label).remove(QLatin1Char('&')).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    grid->addWidget(caption, row, column);
    grid->addWidget(edit, row, column + 1);
    return edit;
}

void TTunerPage::AddLoopGains(QGridLayout* grid, NumericEdit*& kp, NumericEdit*& ki,
                              NumericEdit*& integralLimit)
{
    kp = AddEdit(grid, 0, 0, QStringLiteral("Proportional"), NumericChars::Decimal,
                 "proportionalEdit", QString());
    ki = AddEdit(grid, 1, 0, QStringLiteral("Integral"), NumericChars::Decimal, "integralEdit",
                 QString());
    integralLimit = AddEdit(grid, 2, 0, QStringLiteral("Integral Limit"), NumericChars::Digits,
                            "integralLimitEdit", QString());
}

QWidget* TTunerPage::AddPositionProfile(NumericEdit*& distance, NumericEdit*& maxError,
                                        QComboBox*& direction)
{
    auto* group = new QGroupBox(QStringLiteral("Position Profile"), this);
    auto* profile = new QGridLayout(group);
    distance = AddEdit(profile, 0, 0, QStringLiteral("Distance\n(counts)"), NumericChars::Digits,
                       "distanceEdit", QString());
    distance->setValidator(nullptr);
    maxError = AddEdit(profile, 1, 0, QStringLiteral("Max. Position\nError (counts)"),
                       NumericChars::Digits, "maxPositionErrorEdit", QString());
    direction = new QComboBox(group);
    direction->setObjectName(QStringLiteral("directionCombo"));
    direction->setAccessibleName(QStringLiteral("Direction"));
    auto* directionLabel = new QLabel(QStringLiteral("Direction"), group);
    directionLabel->setBuddy(direction);
    profile->addWidget(directionLabel, 2, 0);
    profile->addWidget(direction, 2, 1);
    return group;
}

std::optional<QVariant> TTunerPage::RunCapture(const std::function<QVariant()>& capture)
{
    QVariant samples;
    IUiServices& ui = m_tuning.Ui();
    const bool ran = m_tuning.RunDriveAction([&] {
        const auto wait = ui.ShowWait(QStringLiteral("Acquiring data..."));
        samples = capture();
        wait->SetText(QStringLiteral("Data acquisition finished"));
        ui.Pause(AfterCapturePauseMs);
    });
    if (!ran)
        return std::nullopt;
    return samples;
}

bool TTunerPage::AcceptUnpacked(CaptureData::Problem problem)
{
    if (problem == CaptureData::Problem::None)
        return true;
    ShowErrorMessage(m_tuning.Ui(), QStringLiteral("VARIANT Error"),
                     CaptureData::MessageOf(problem));
    return false;
}

void TTunerPage::AutoTune(const AutoTuneSteps& steps, NumericEdit* ratioBox)
{
    if (!m_tuning.CheckDriveConnection())
        return;
    float ratio = -1.0f;
    bool ran = false;
    const bool asked = m_tuning.RunDriveAction([&] {
        if (!m_tuning.CheckDriveState() || !steps.ControlModeOk() ||
            !m_tuning.AskFaultOnDisable(steps.FaultClearCommand))
            return;
        if (steps.BeforeTuning)
            steps.BeforeTuning();
        steps.BlankGraph();
        const auto wait = m_tuning.Ui().ShowWait(QStringLiteral("Auto tuning..."));
        ratio = steps.Measure ? steps.Measure(*wait) : m_tuning.Config().AutoTune();
        ran = true;
    });
    if (!asked || !ran)
        return;
    // Not a number counts as a failed measurement as well.
    if (ratio >= 0.0f) {
        ratioBox->SetDecimal(ratio);
        m_tuning.Ui().ShowMessage(
            QStringLiteral("Auto Tune Success"),
            QStringLiteral("Auto tuning was successful.  Hit 'Start Motion' pushbutton to graph a "
                           "move."));
    } else {
        m_tuning.Ui().ShowMessage(QStringLiteral("Auto Tune Error"),
                                  QStringLiteral("Auto tuning failed."));
    }
}

bool TTunerPage::SaveTunedConfiguration(const std::function<void()>& writeGains)
{
    return Validate() && m_tuning.SaveConfigurationAs(writeGains);
}

} // namespace Orvex
