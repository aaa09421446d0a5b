#include "ConfigWizardStep3Dlg.h"

#include "AppContext.h"
#include "CommandDatabase.h"
#include "ConfigFields.h"
#include "DriveSetup.h"
#include "ErrorReport.h"
#include "FieldValidation.h"
#include "MainWindowServices.h"
#include "MotorChoice.h"
#include "MotorDatabase.h"
#include "NumericEdit.h"
#include "OrvexConfig.h"
#include "PageIds.h"
#include "PositionGainsDlg.h"
#include "PositionGainsDlg4.h"
#include "TorqueGainsDlg.h"
#include "VelocityGainsDlg.h"
#include "WizardState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace Orvex {

namespace {

namespace F = ConfigFields;

constexpr int Velocity = 3; // the velocity mode's radio
const QString DefaultBandwidth = QStringLiteral("1200");

QString Decimal(double value)
{
    return QString::asprintf("%.2f", value);
}

// The limit labels for rotary and linear motors, in the page's order.
struct LimitLabel
{
    const char* Rotary;
    const char* Linear;
};
constexpr LimitLabel LimitLabels[] = {
    {"Torque Limit (Nm)", "Force Limit (N)"},
    {"Torque Scaling (Nm/10V)", "Force Scaling (N/10V)"},
    {"Velocity Limit (rps)", "Velocity Limit (mps)"},
    {"Velocity Scaling (rps/10V)", "Velocity Scaling (mps/10V)"},
};

} // namespace

CConfigWizardStep3Dlg::CConfigWizardStep3Dlg(AppContext& context, IMainWindow& mainWindow,
                                             IConfigWorkflow& workflow, QWidget* parent)
    : TWizardStepPage(3, context, mainWindow, workflow, parent)
{
    setObjectName(QStringLiteral("configWizardStep3"));
    BuildControls();
    ResetToDefaults();
}

NumericEdit* CConfigWizardStep3Dlg::AddEdit(QGridLayout* grid, int row, const QString& label,
                                            const char* objectName, QLabel** labelOut)
{
    auto* edit = new NumericEdit(NumericChars::Decimal, this);
    edit->setObjectName(QLatin1String(objectName));
    edit->setMaximumWidth(110);
    auto* caption = new QLabel(label, this);
    caption->setBuddy(edit);
    edit->setAccessibleName(QString(label).remove(QLatin1Char('&')));
    grid->addWidget(caption, row, 0);
    grid->addWidget(edit, row, 1);
    if (labelOut)
        *labelOut = caption;
    return edit;
}

void CConfigWizardStep3Dlg::BuildControls()
{
    auto* top = new QHBoxLayout;
    auto* modes = new QGroupBox(QStringLiteral("Control Mode"), this);
    auto* modeColumn = new QVBoxLayout(modes);
    const char* const modeTexts[] = {"Torque Mode (AE or SE drives)", "Step and Direction Mode",
                                     "Step and Reversed Direction Mode",
                                     "Velocity Mode (AE or SE drives)"};
    const char* const modeNames[] = {"torqueModeRadio", "stepDirectionModeRadio",
                                     "stepReversedDirectionModeRadio", "velocityModeRadio"};
    for (int i = 0; i < 4; ++i) {
        auto* radio = new QRadioButton(QLatin1String(modeTexts[i]), modes);
        radio->setObjectName(QLatin1String(modeNames[i]));
        modeColumn->addWidget(radio);
        m_modes[static_cast<std::size_t>(i)] = radio;
        connect(radio, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                ORVEX_GUARDED([&] { ShowGainsPanel(); });
        });
    }
    modeColumn->addStretch(1);
    top->addWidget(modes);

    // The gains the chosen control mode needs beside the current loop's.
    m_pPanels = new QStackedWidget(this);
    m_pPanels->setObjectName(QStringLiteral("gainsPanels"));
    m_pTorqueGains = new CTorqueGainsDlg(m_context, m_pPanels);
    m_pVelocityGains = new CVelocityGainsDlg(m_context, m_pPanels);
    m_pPositionGains = new CPositionGainsDlg(m_context, m_pPanels);
    m_pPositionGains4 = new CPositionGainsDlg4(m_context, m_pPanels);
    m_pPanels->addWidget(m_pTorqueGains);
    m_pPanels->addWidget(m_pVelocityGains);
    m_pPanels->addWidget(m_pPositionGains);
    m_pPanels->addWidget(m_pPositionGains4);
    top->addWidget(m_pPanels, 1);
    Body()->addLayout(top);

    auto* middle = new QHBoxLayout;
    m_pGains = new QGroupBox(this);
    m_pGains->setObjectName(QStringLiteral("currentGainsGroup"));
    auto* gains = new QGridLayout(m_pGains);
    m_pAutoGains = new QCheckBox(QStringLiteral("Enable Auto Current Loop Gains"), m_pGains);
    m_pAutoGains->setObjectName(QStringLiteral("autoCurrentGainsCheck"));
    gains->addWidget(m_pAutoGains, 0, 0, 1, 2);
    m_pKp = AddEdit(gains, 1, QStringLiteral("Proportional Gain"), "currentProportionalGainEdit");
    m_pKi = AddEdit(gains, 2, QStringLiteral("Integral Gain"), "currentIntegralGainEdit");
    m_pIntegralLimit =
        AddEdit(gains, 3, QStringLiteral("Integral Limit"), "currentIntegralLimitEdit");
    m_pBandwidth = AddEdit(gains, 4, QStringLiteral("Bandwidth (Hz)"), "bandwidthEdit");
    connect(m_pAutoGains, &QCheckBox::toggled, this, [this] { ShowAutoGains(); });
    middle->addWidget(m_pGains);

    auto* drive = new QGroupBox(QStringLiteral("Drive"), this);
    auto* driveGrid = new QGridLayout(drive);
    m_pFoldback = new QCheckBox(QStringLiteral("Enable Current Foldback"), drive);
    m_pFoldback->setObjectName(QStringLiteral("currentFoldbackCheck"));
    driveGrid->addWidget(m_pFoldback, 0, 0, 1, 2);
    const auto addCombo = [&](int row, const QString& label, const char* name) {
        auto* combo = new QComboBox(drive);
        combo->setObjectName(QLatin1String(name));
        combo->setAccessibleName(label);
        auto* caption = new QLabel(label, drive);
        caption->setBuddy(combo);
        driveGrid->addWidget(caption, row, 0);
        driveGrid->addWidget(combo, row, 1);
        return combo;
    };
    m_pCommutation = addCombo(1, QStringLiteral("Commutation"), "commutationCombo");
    m_pPwm = addCombo(2, QStringLiteral("PWM Frequency (kHz)"), "pwmFrequencyCombo");
    m_pEncoderFiltering =
        addCombo(3, QStringLiteral("Encoder Filtering (MHz)"), "encoderFilteringCombo");
    middle->addWidget(drive);

    auto* limits = new QGroupBox(QStringLiteral("Drive Limits"), this);
    auto* limitGrid = new QGridLayout(limits);
    m_pTorqueLimit = AddEdit(limitGrid, 0, QString(), "torqueLimitEdit", &m_limitLabels[0]);
    m_pTorqueScaling = AddEdit(limitGrid, 1, QString(), "torqueScalingEdit", &m_limitLabels[1]);
    m_pVelocityLimit = AddEdit(limitGrid, 2, QString(), "velocityLimitEdit", &m_limitLabels[2]);
    m_pVelocityScaling = AddEdit(limitGrid, 3, QString(), "velocityScalingEdit", &m_limitLabels[3]);
    middle->addWidget(limits);
    middle->addStretch(1);
    Body()->addLayout(middle);
    Body()->addStretch(1);
    AddButtonRow(true, QStringLiteral("&Next >"));
    ShowForPackage();
}

// --- What is shown ---

void CConfigWizardStep3Dlg::ShowAutoGains()
{
    const bool automatic = m_pAutoGains->isChecked();
    m_pGains->setTitle(automatic ? QStringLiteral("Specify Current Loop Bandwidth")
                                 : QStringLiteral("Specify Current Loop Gains"));
    const auto labels = m_pGains->findChildren<QLabel*>();
    for (QLabel* label : labels) {
        const bool bandwidth = label->buddy() == m_pBandwidth;
        label->setVisible(bandwidth == automatic);
        if (label->buddy())
            label->buddy()->setVisible(bandwidth == automatic);
    }
}

bool CConfigWizardStep3Dlg::UsesAutoTuningGains() const
{
    return m_workflow.State().UsesAutoTuningPositionTuner();
}

QWidget* CConfigWizardStep3Dlg::ShownGainsPanel() const
{
    return m_pPanels->currentWidget();
}

void CConfigWizardStep3Dlg::ShowGainsPanel()
{
    const int mode = ControlMode();
    m_workflow.State().ControlMode = mode;
    if (mode == WizardState::VelocityMode)
        m_pPanels->setCurrentWidget(m_pVelocityGains);
    else if (mode == WizardState::StepDirectionMode ||
             mode == WizardState::StepReversedDirectionMode)
        m_pPanels->setCurrentWidget(UsesAutoTuningGains()
                                        ? static_cast<QWidget*>(m_pPositionGains4)
                                        : static_cast<QWidget*>(m_pPositionGains));
    else
        m_pPanels->setCurrentWidget(m_pTorqueGains);
}

void CConfigWizardStep3Dlg::ShowForPackage()
{
    const bool linear = m_workflow.State().Linear;
    for (std::size_t i = 0; i < m_limitLabels.size(); ++i) {
        const char* text = linear ? LimitLabels[i].Linear : LimitLabels[i].Rotary;
        m_limitLabels[i]->setText(QLatin1String(text));
        if (QWidget* edit = m_limitLabels[i]->buddy())
            edit->setAccessibleName(QLatin1String(text));
    }
}

int CConfigWizardStep3Dlg::ControlMode() const
{
    for (std::size_t i = 0; i < m_modes.size(); ++i) {
        if (m_modes[i]->isChecked())
            return DriveSetup::ControlModeCodes[i];
    }
    return WizardState::TorqueMode;
}

void CConfigWizardStep3Dlg::SetControlMode(int code)
{
    m_modes[static_cast<std::size_t>(DriveSetup::ControlModeRadio(code))]->setChecked(true);
    ShowGainsPanel();
}

void CConfigWizardStep3Dlg::FillCombos()
{
    const QSignalBlocker quiet1(m_pCommutation);
    const QSignalBlocker quiet2(m_pPwm);
    const QSignalBlocker quiet3(m_pEncoderFiltering);
    m_pCommutation->clear();
    m_pCommutation->addItems({QStringLiteral("Sinusoidal"), QStringLiteral("Trapezoidal"),
                              QStringLiteral("DC Brushed"), QStringLiteral("Hall-Less")});
    m_pCommutation->setCurrentIndex(0);
    m_pPwm->clear();
    m_pPwm->addItems({QStringLiteral("32"), QStringLiteral("16")});
    m_pPwm->setCurrentIndex(0);
    m_pEncoderFiltering->clear();
    m_pEncoderFiltering->addItems(
        {QStringLiteral("1.02"), QStringLiteral("2.67"), QStringLiteral("5")});
    m_pEncoderFiltering->setCurrentIndex(0);
}

// --- The wizard's entry points ---

void CConfigWizardStep3Dlg::ResetToMotorDefaults()
{
    FillCombos();
    const WizardState& state = m_workflow.State();
    if (state.Series == QLatin1String(MotorChoice::OtherSeries)) {
        for (NumericEdit* edit : {m_pTorqueLimit, m_pTorqueScaling, m_pVelocityLimit,
                                  m_pVelocityScaling, m_pKp, m_pKi, m_pIntegralLimit})
            edit->clear();
    } else if (const auto& motor = state.Motor) {
        const QString package = motor->Field(MotorField::Package);
        const bool linear = package == QLatin1String("Linear") || package == QLatin1String("Table");
        const QString limit = QString::asprintf(
            "%.2lf", DriveSetup::TorqueOrForceLimit(
                         LeadingDecimal(motor->Field(MotorField::Ke)),
                         LeadingDecimal(motor->Field(MotorField::PeakCurrent)), linear));
        m_pTorqueLimit->setText(limit);
        m_pTorqueScaling->setText(limit);
        m_pVelocityLimit->setText(motor->Field(MotorField::RatedSpeed));
        m_pVelocityScaling->setText(motor->Field(MotorField::RatedSpeed));
        m_pKp->setText(motor->Field(MotorField::CurrentLoopKp));
        m_pKi->setText(motor->Field(MotorField::CurrentLoopKi));
        m_pIntegralLimit->setText(motor->Field(MotorField::CurrentLoopIntegralLimit));
        const int pwm = m_pPwm->findText(motor->Field(MotorField::PwmFrequency));
        if (pwm >= 0)
            m_pPwm->setCurrentIndex(pwm);
    } else {
        // A motor the database does not have leaves the values as they are.
        return;
    }
    m_pBandwidth->setText(DefaultBandwidth);
    m_pFoldback->setChecked(false);
    m_pAutoGains->setChecked(true);
    ShowAutoGains();
    m_pVelocityGains->SetDefaults();
    m_pPositionGains->SetDefaults();
    m_pPositionGains4->SetDefaults();
}

void CConfigWizardStep3Dlg::ResetToDefaults()
{
    // A new configuration starts in torque mode with the motor's values.
    SetControlMode(WizardState::TorqueMode);
    FillCombos();
    m_pBandwidth->setText(DefaultBandwidth);
    m_pAutoGains->setChecked(true);
    ShowAutoGains();
    ResetToMotorDefaults();
}

void CConfigWizardStep3Dlg::FillFromConfig()
{
    const IOrvexConfig& config = m_context.Config;
    FillCombos();
    m_pTorqueLimit->SetDecimal(config.TorqueLimit());
    m_pTorqueScaling->SetDecimal(config.TorqueScaling());
    m_pVelocityLimit->SetDecimal(config.VelocityLimit());
    m_pVelocityScaling->SetDecimal(config.VelocityScaling());
    m_pKp->SetDecimal(config.CurrentLoopKp());
    m_pKi->SetDecimal(config.CurrentLoopKi());
    m_pIntegralLimit->SetDecimal(config.CurrentLoopIntegralLimit());
    m_pBandwidth->SetInteger(config.CurrentLoopBandwidth());
    m_pFoldback->setChecked(config.CurrentFoldback());
    m_pAutoGains->setChecked(config.AutoCurrentGains() != 0);
    ShowAutoGains();
    m_pPwm->setCurrentIndex(m_pPwm->findText(QString::number(config.PwmFrequency())));
    m_pCommutation->setCurrentIndex(DriveSetup::CommutationIndex(config.Commutation()));
    const int filtering = config.EncoderFiltering();
    m_pEncoderFiltering->setCurrentIndex(
        filtering >= 0 && filtering < m_pEncoderFiltering->count() ? filtering : 0);
    m_pVelocityGains->FillFromConfig();
    m_pPositionGains->FillFromConfig();
    m_pPositionGains4->FillFromConfig();
    SetControlMode(config.ControlMode());
    ShowForPackage();
}

bool CConfigWizardStep3Dlg::Validate()
{
    std::vector<FieldRule> rules = {
        {m_pTorqueLimit, F::TorqueLimit.Parameter, 0, 0,
         "Torque Limit must be between %.2lf and %.2lf Nm",
         "Force Limit must be between %.2lf and %.2lf N", false},
        {m_pTorqueScaling, F::TorqueScaling.Parameter, 0, 0,
         "Torque Scaling must be between %.2lf and %.2lf Nm/10V",
         "Force Scaling must be between %.2lf and %.2lf N/10V", false},
        {m_pVelocityLimit, F::VelocityLimit.Parameter, 0, 0,
         "Velocity Limit must be between %.2lf and %.2lf rps",
         "Velocity Limit must be between %.2lf and %.2lf mps", false},
        {m_pVelocityScaling, F::VelocityScaling.Parameter, 0, 0,
         "Velocity Scaling must be between %.2lf and %.2lf rps/10V",
         "Velocity Scaling must be between %.2lf and %.2lf mps/10V", false},
    };
    if (m_pAutoGains->isChecked()) {
        rules.push_back({m_pBandwidth, -1, MinBandwidth, MaxBandwidth,
                         "Current Loop Bandwidth must be between 250 and 2500", nullptr, true});
    } else {
        rules.push_back({m_pKp, F::CurrentLoopKp.Parameter, 0, 0,
                         "Current Loop Proportional Gain must be between %.2lf and %.2lf", nullptr,
                         false});
        rules.push_back({m_pKi, F::CurrentLoopKi.Parameter, 0, 0,
                         "Current Loop Integral Gain must be between %.2lf and %.2lf", nullptr,
                         false});
        rules.push_back({m_pIntegralLimit, F::CurrentLoopIntegralLimit.Parameter, 0, 0,
                         "Current Loop Integral Limit must be between %.2lf and %.2lf", nullptr,
                         false});
    }
    if (!FieldValidation::Run(m_context.Ui, rules, m_context.Limits, m_workflow.State().Linear))
        return false;
    // Then the gains the control mode needs.
    const int mode = ControlMode();
    if (mode == WizardState::VelocityMode)
        return m_pVelocityGains->Validate();
    if (mode == WizardState::StepDirectionMode || mode == WizardState::StepReversedDirectionMode)
        return UsesAutoTuningGains() ? m_pPositionGains4->Validate() : m_pPositionGains->Validate();
    return true;
}

void CConfigWizardStep3Dlg::WriteToConfig()
{
    // The motor's data first, as step 2 holds it, whether or not it was shown.
    if (IWizardStep* step2 = m_workflow.Step(2))
        step2->WriteToConfig();
    IOrvexConfig& config = m_context.Config;
    config.SetTorqueLimit(static_cast<float>(m_pTorqueLimit->Decimal()));
    config.SetTorqueScaling(static_cast<float>(m_pTorqueScaling->Decimal()));
    config.SetVelocityLimit(static_cast<float>(m_pVelocityLimit->Decimal()));
    config.SetVelocityScaling(static_cast<float>(m_pVelocityScaling->Decimal()));
    config.SetCurrentLoopKp(static_cast<float>(m_pKp->Decimal()));
    config.SetCurrentLoopKi(static_cast<float>(m_pKi->Decimal()));
    config.SetCurrentLoopIntegralLimit(static_cast<float>(m_pIntegralLimit->Decimal()));
    config.SetCurrentLoopBandwidth(m_pBandwidth->Integer());
    // The position gains of the tuner generation in use.
    if (UsesAutoTuningGains())
        m_pPositionGains4->WriteToConfig();
    else
        m_pPositionGains->WriteToConfig();
    m_pVelocityGains->WriteToConfig();
    config.SetCurrentFoldback(m_pFoldback->isChecked());
    config.SetAutoCurrentGains(m_pAutoGains->isChecked() ? 1 : 0);
    config.SetPwmFrequency(m_pPwm->currentIndex() >= 0 ? m_pPwm->currentText().toInt() : 16);
    config.SetCommutation(DriveSetup::CommutationCode(m_pCommutation->currentIndex()));
    config.SetEncoderFiltering(m_pEncoderFiltering->currentIndex());
    config.SetControlMode(ControlMode());
}

// --- The page ---

void CConfigWizardStep3Dlg::DeriveDefaults()
{
    const IOrvexConfig& config = m_context.Config;
    // Derived again only when the motor's data changed: coming back to the
    // page keeps what the user typed.
    const QString from = QStringLiteral("%1 %2 %3 %4 %5 %6")
                             .arg(config.MaxInductance())
                             .arg(config.WindingResistance())
                             .arg(config.MotorKe())
                             .arg(config.PeakCurrent())
                             .arg(config.MotorIsLinear())
                             .arg(config.MotorRatedSpeed());
    if (from == m_derivedFrom)
        return;
    m_derivedFrom = from;
    m_pKp->setText(Decimal(DriveSetup::DerivedKp(config.MaxInductance())));
    m_pKi->setText(Decimal(DriveSetup::DerivedKi(config.WindingResistance())));
    m_pIntegralLimit->setText(QStringLiteral("128"));
    m_pBandwidth->setText(DefaultBandwidth);
    const QString limit = QString::asprintf(
        "%.2lf", DriveSetup::TorqueOrForceLimit(config.MotorKe(), config.PeakCurrent(),
                                                config.MotorIsLinear() != 0));
    m_pTorqueLimit->setText(limit);
    m_pTorqueScaling->setText(limit);
    const QString speed = QString::asprintf("%.2lf", double(config.MotorRatedSpeed()));
    m_pVelocityLimit->setText(speed);
    m_pVelocityScaling->setText(speed);
}

void CConfigWizardStep3Dlg::OnSetActive()
{
    TWizardStepPage::OnSetActive();
    ShowForPackage();
    // The tuner generation may have changed since the page was last shown.
    ShowGainsPanel();
    const WizardState& state = m_workflow.State();
    const bool other = state.Series.left(5).compare(QLatin1String(MotorChoice::OtherSeries),
                                                    Qt::CaseInsensitive) == 0;
    if (other && state.ConfigOrigin() == WizardState::Origin::Default)
        DeriveDefaults();
}

void CConfigWizardStep3Dlg::OnNext()
{
    if (!Validate())
        return;
    WriteToConfig();
    m_mainWindow.SetPage(PageId::ConfigWizardStep4);
}

void CConfigWizardStep3Dlg::OnBack()
{
    m_mainWindow.SetPage(m_workflow.State().Advanced ? PageId::ConfigWizardStep2
                                                     : PageId::ConfigWizardStep1);
}

} // namespace Orvex
