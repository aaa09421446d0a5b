#include "ServoTunerDlg.h"

#include "AppContext.h"
#include "ErrorReport.h"
#include "MainWindowServices.h"
#include "OrvexConfig.h"
#include "PositionTunerDlg.h"
#include "PositionTunerDlg4.h"
#include "ResponseGraph.h"
#include "TorqueTunerDlg.h"
#include "UiServices.h"
#include "VelocityTunerDlg.h"
#include "WizardState.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace Orvex {

CServoTunerDlg::CServoTunerDlg(AppContext& context, IMainWindow& mainWindow,
                               IConfigWorkflow& workflow, QWidget* parent)
    : TStackedPage(parent), m_context(context), m_mainWindow(mainWindow),
      m_tuning(context, mainWindow, workflow)
{
    setObjectName(QStringLiteral("servoTuner"));
    m_tuning.Redraw = [this] { Redraw(); };
    BuildControls();
    ResetAllSessions();
    workflow.RegisterTuningPage(*this);
}

CServoTunerDlg::~CServoTunerDlg() = default;

void CServoTunerDlg::BuildControls()
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);

    auto* top = new QHBoxLayout;
    m_pControlLoop = new QGroupBox(QStringLiteral("Control Loop"), this);
    m_pControlLoop->setObjectName(QStringLiteral("controlLoopGroup"));
    auto* loops = new QVBoxLayout(m_pControlLoop);
    m_pCurrentLoop = new QRadioButton(QStringLiteral("Tune Current Loop"), m_pControlLoop);
    m_pCurrentLoop->setObjectName(QStringLiteral("tuneCurrentLoopRadio"));
    m_pOuterLoop = new QRadioButton(QStringLiteral("Tune Outer Loop"), m_pControlLoop);
    m_pOuterLoop->setObjectName(QStringLiteral("tuneOuterLoopRadio"));
    loops->addWidget(m_pCurrentLoop);
    loops->addWidget(m_pOuterLoop);
    loops->addStretch(1);
    connect(m_pCurrentLoop, &QRadioButton::clicked, this,
            [this] { ORVEX_GUARDED([&] { TuneCurrentLoop(); }); });
    connect(m_pOuterLoop, &QRadioButton::clicked, this,
            [this] { ORVEX_GUARDED([&] { TuneOuterLoop(); }); });
    top->addWidget(m_pControlLoop);

    m_pTuners = new QStackedWidget(this);
    m_pTuners->setObjectName(QStringLiteral("tunerPages"));
    m_pTorque = new CTorqueTunerDlg(m_tuning, m_pTuners);
    m_pVelocity = new CVelocityTunerDlg(m_tuning, m_pTuners);
    m_pPosition = new CPositionTunerDlg(m_tuning, m_pTuners);
    m_pPosition4 = new CPositionTunerDlg4(m_tuning, m_pTuners);
    for (QWidget* page : {static_cast<QWidget*>(m_pTorque), static_cast<QWidget*>(m_pVelocity),
                          static_cast<QWidget*>(m_pPosition), static_cast<QWidget*>(m_pPosition4)})
        m_pTuners->addWidget(page);
    top->addWidget(m_pTuners, 1);
    outer->addLayout(top);

    m_pGraph = new CResponseGraph(m_context.Ui, this);
    m_pGraph->setObjectName(QStringLiteral("responseGraph"));
    outer->addWidget(m_pGraph, 1);

    auto* bottom = new QHBoxLayout;
    auto* sessions = new QGroupBox(QStringLiteral("Active Tuning Session"), this);
    auto* sessionRow = new QHBoxLayout(sessions);
    auto* sessionGroup = new QButtonGroup(this);
    for (int n = 0; n < TuningSessionCount; ++n) {
        auto* radio = new QRadioButton(QString::number(n + 1), sessions);
        radio->setObjectName(QStringLiteral("session%1Radio").arg(n + 1));
        radio->setAccessibleName(QStringLiteral("Active Tuning Session %1").arg(n + 1));
        sessionGroup->addButton(radio, n);
        sessionRow->addWidget(radio);
        m_sessionRadios[static_cast<std::size_t>(n)] = radio;
        connect(radio, &QRadioButton::clicked, this,
                [this, n] { ORVEX_GUARDED([&] { SelectSession(n); }); });
    }
    bottom->addWidget(sessions);

    auto* graphChoice = new QGroupBox(QStringLiteral("Graph Tuning Session"), this);
    auto* graphRow = new QHBoxLayout(graphChoice);
    m_pGraphActive = new QRadioButton(QStringLiteral("Graph Active Session"), graphChoice);
    m_pGraphActive->setObjectName(QStringLiteral("graphActiveSessionRadio"));
    m_pGraphAll = new QRadioButton(QStringLiteral("Graph All Sessions"), graphChoice);
    m_pGraphAll->setObjectName(QStringLiteral("graphAllSessionsRadio"));
    graphRow->addWidget(m_pGraphActive);
    graphRow->addWidget(m_pGraphAll);
    connect(m_pGraphActive, &QRadioButton::clicked, this,
            [this] { ORVEX_GUARDED([&] { SetGraphAllSessions(false); }); });
    connect(m_pGraphAll, &QRadioButton::clicked, this,
            [this] { ORVEX_GUARDED([&] { SetGraphAllSessions(true); }); });
    bottom->addWidget(graphChoice);

    auto* buttons = new QGridLayout;
    buttons->addWidget(AddButton("enableDriveButton", QStringLiteral("Enable Drive"),
                                 &CServoTunerDlg::EnableDrive),
                       0, 0);
    buttons->addWidget(AddButton("disableDriveButton", QStringLiteral("Disable Drive"),
                                 &CServoTunerDlg::DisableDrive),
                       0, 1);
    buttons->addWidget(
        AddButton("resetDriveButton", QStringLiteral("Reset Drive"), &CServoTunerDlg::ResetDrive),
        0, 2);
    m_pStartMotion = AddButton("startMotionButton", QStringLiteral("Start Motion"),
                               &CServoTunerDlg::StartMotion);
    buttons->addWidget(m_pStartMotion, 1, 0);
    m_pSaveConfig = AddButton("saveConfigAsButton", QStringLiteral("Save Config As..."),
                              &CServoTunerDlg::SaveConfigAs);
    buttons->addWidget(m_pSaveConfig, 1, 1);
    buttons->addWidget(AddButton("resetSessionButton", QStringLiteral("Reset Session"),
                                 &CServoTunerDlg::ResetSession),
                       1, 2);
    bottom->addStretch(1);
    bottom->addLayout(buttons);
    outer->addLayout(bottom);
}

QPushButton* CServoTunerDlg::AddButton(const char* name, const QString& text,
                                       void (CServoTunerDlg::*handler)())
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(QLatin1String(name));
    connect(button, &QPushButton::clicked, this,
            [this, handler] { ORVEX_GUARDED([&] { (this->*handler)(); }); });
    return button;
}

// --- Tuners and sessions ---

bool CServoTunerDlg::UsesAutoTuningPositionTuner() const
{
    return m_tuning.Workflow.State().UsesAutoTuningPositionTuner();
}

TTunerPage* CServoTunerDlg::PositionTunerInUse() const
{
    if (UsesAutoTuningPositionTuner())
        return m_pPosition4;
    return m_pPosition;
}

TTunerPage* CServoTunerDlg::ActiveTuner() const
{
    switch (m_kind) {
    case TunerKind::Current:
        return m_pTorque;
    case TunerKind::Velocity:
        return m_pVelocity;
    case TunerKind::Position:
        break;
    }
    return m_pPositionShown;
}

void CServoTunerDlg::ShowTuner(TunerKind kind)
{
    m_kind = kind;
    // The position tuner is chosen here, so every operation until the next
    // choice works on the one shown.
    m_pPositionShown = PositionTunerInUse();
    // Only the shown tuner sizes the page area, so the graph keeps the rest.
    for (TTunerPage* tuner : AllTuners())
        tuner->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    ActiveTuner()->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    m_pTuners->setCurrentWidget(ActiveTuner());
    m_pTuners->updateGeometry();
}

std::array<TTunerPage*, 4> CServoTunerDlg::AllTuners() const
{
    return {m_pTorque, m_pVelocity, m_pPosition, m_pPosition4};
}

void CServoTunerDlg::ResetAllSessions()
{
    ShowTuner(TunerKind::Current);
    m_controlLoop = 0;
    m_pControlLoop->hide();
    for (int n = 0; n < TuningSessionCount; ++n) {
        for (TTunerPage* tuner : AllTuners())
            tuner->ResetSession(n);
    }
    m_tuning.ActiveSession = 0;
    m_tuning.GraphAllSessions = false;
    ShowRadios();
    Redraw();
}

void CServoTunerDlg::ShowRadios()
{
    m_sessionRadios[static_cast<std::size_t>(m_tuning.ActiveSession)]->setChecked(true);
    (m_tuning.GraphAllSessions ? m_pGraphAll : m_pGraphActive)->setChecked(true);
    m_pCurrentLoop->setChecked(m_controlLoop == 0);
    m_pOuterLoop->setChecked(m_controlLoop == 1);
}

void CServoTunerDlg::Redraw()
{
    GraphContent content = ActiveTuner()->Graph();
    // A range of nothing (a value of 0 on the page) still draws a graph.
    if (!(content.YMax > content.YMin)) {
        content.YMin = -1.0;
        content.YMax = 1.0;
    }
    m_pGraph->Show(content);
}

void CServoTunerDlg::TuneCurrentLoop()
{
    m_controlLoop = 0;
    ShowTuner(TunerKind::Current);
    Redraw();
}

void CServoTunerDlg::TuneOuterLoop()
{
    m_controlLoop = 1;
    const bool velocity = m_context.Config.ControlMode() == WizardState::VelocityMode;
    ShowTuner(velocity ? TunerKind::Velocity : TunerKind::Position);
    Redraw();
}

void CServoTunerDlg::SelectSession(int n)
{
    m_tuning.ActiveSession = n;
    ActiveTuner()->SelectSession(n);
    Redraw();
}

void CServoTunerDlg::SetGraphAllSessions(bool all)
{
    m_tuning.GraphAllSessions = all;
    Redraw();
}

void CServoTunerDlg::ResetSession()
{
    // Every tuner forgets the active session's test.
    for (TTunerPage* tuner : AllTuners())
        tuner->ResetSession(m_tuning.ActiveSession);
    Redraw();
}

// --- The page and the drive ---

void CServoTunerDlg::OnSetActive()
{
    m_mainWindow.SetPageTitle(QStringLiteral("Servo Tuner"));
    // The page shows before the drive is asked anything.
    QMetaObject::invokeMethod(
        this, [this] { ORVEX_GUARDED([&] { Activate(); }); }, Qt::QueuedConnection);
}

void CServoTunerDlg::Activate()
{
    if (m_tuning.CheckDriveConnection()) {
        m_tuning.RunDriveAction([&] {
            if (!m_tuning.CheckDriveState())
                return;
            m_tuning.UploadConfiguration();
            m_tuning.Workflow.CheckConfigurationMatch();
        });
    }
    ChooseTunerForMode();
}

void CServoTunerDlg::ChooseTunerForMode()
{
    const int mode = m_context.Config.ControlMode();
    m_pTorque->FillFromConfig();
    if (mode == WizardState::VelocityMode) {
        ShowTuner(TunerKind::Velocity);
        m_controlLoop = 1;
        m_pControlLoop->show();
        m_pOuterLoop->setText(QStringLiteral("Tune Velocity Loop"));
        m_pVelocity->FillFromConfig();
    } else if (mode == WizardState::StepDirectionMode ||
               mode == WizardState::StepReversedDirectionMode) {
        ShowTuner(TunerKind::Position);
        m_controlLoop = 1;
        m_pControlLoop->show();
        m_pOuterLoop->setText(QStringLiteral("Tune Position Loop"));
        ActiveTuner()->FillFromConfig();
    } else {
        ShowTuner(TunerKind::Current);
        m_controlLoop = 0;
        m_pControlLoop->hide();
    }
    ShowRadios();
    Redraw();
}

void CServoTunerDlg::FillFromConfig()
{
    ChooseTunerForMode();
}

void CServoTunerDlg::ResetToDefaults()
{
    for (TTunerPage* tuner : AllTuners())
        tuner->ResetPageToDefaults();
}

void CServoTunerDlg::EnableDrive()
{
    TTunerPage* tuner = ActiveTuner();
    if (m_tuning.CheckDriveConnection() && tuner->CheckDriveReady())
        m_tuning.SwitchDrive(true);
}

void CServoTunerDlg::DisableDrive()
{
    if (m_tuning.CheckDriveConnection())
        m_tuning.SwitchDrive(false);
}

void CServoTunerDlg::ResetDrive()
{
    m_tuning.ResetDrive();
}

void CServoTunerDlg::StartMotion()
{
    ActiveTuner()->CaptureResponse();
}

void CServoTunerDlg::SaveConfigAs()
{
    if (m_pPositionShown == m_pPosition4)
        m_pPosition4->SaveConfiguration();
    else
        m_pPosition->SaveConfiguration();
}

} // namespace Orvex
