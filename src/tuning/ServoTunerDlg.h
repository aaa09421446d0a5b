#pragma once

#include "StackedPage.h"
#include "TunerPage.h"
#include "WizardContracts.h"

#include <array>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace Orvex {

class CPositionTunerDlg;
class CPositionTunerDlg4;
class CResponseGraph;
class CTorqueTunerDlg;
class CVelocityTunerDlg;

// The "Servo Tuning" page: the tuner for the drive's control mode, four
// sessions of test results side by side on one response graph, and the
// drive buttons (enable, disable, reset, start a test move, save, reset a
// session).
class CServoTunerDlg final : public TStackedPage, public ITuningReload
{
    Q_OBJECT

public:
    // Which tuner shows.
    enum class TunerKind
    {
        Current = 0,
        Velocity = 1,
        Position = 2,
    };

    CServoTunerDlg(AppContext& context, IMainWindow& mainWindow, IConfigWorkflow& workflow,
                   QWidget* parent = nullptr);
    ~CServoTunerDlg() override;

    void OnSetActive() override;

    // The tuners show the configuration object's gains, the one for its
    // control mode in front.
    void FillFromConfig() override;
    void ResetToDefaults() override;

    // What the page does when shown: checks the drive, uploads its
    // configuration, and picks the tuner for its control mode.
    void Activate();
    // The buttons' and radios' handlers.
    void TuneCurrentLoop();
    void TuneOuterLoop();
    void SelectSession(int n);
    void SetGraphAllSessions(bool all);
    void EnableDrive();
    void DisableDrive();
    void ResetDrive();
    void StartMotion();
    void SaveConfigAs();
    void ResetSession();
    void Redraw();

    TunerKind Kind() const { return m_kind; }
    // The shown tuner.
    TTunerPage* ActiveTuner() const;
    // The position tuner of the wizard's tuner generation: the auto tuning
    // one from generation 4.0 on, the classic one before.
    TTunerPage* PositionTunerInUse() const;
    TunerContext& Tuning() { return m_tuning; }
    CTorqueTunerDlg* TorqueTuner() const { return m_pTorque; }
    CVelocityTunerDlg* VelocityTuner() const { return m_pVelocity; }
    CPositionTunerDlg* PositionTuner() const { return m_pPosition; }
    CPositionTunerDlg4* PositionTuner4() const { return m_pPosition4; }
    CResponseGraph* Graph() const { return m_pGraph; }
    QGroupBox* ControlLoopGroup() const { return m_pControlLoop; }
    QRadioButton* OuterLoopRadio() const { return m_pOuterLoop; }

private:
    void BuildControls();
    QPushButton* AddButton(const char* name, const QString& text,
                           void (CServoTunerDlg::*handler)());
    // The tuner for the drive's control mode, its pages filled.
    void ChooseTunerForMode();
    void ShowTuner(TunerKind kind);
    std::array<TTunerPage*, 4> AllTuners() const;
    bool UsesAutoTuningPositionTuner() const;
    void ShowRadios();
    // Every tuner's sessions back to their defaults.
    void ResetAllSessions();

    AppContext& m_context;
    IMainWindow& m_mainWindow;
    TunerContext m_tuning;
    TunerKind m_kind = TunerKind::Current;
    int m_controlLoop = -1;

    QGroupBox* m_pControlLoop = nullptr;
    QRadioButton* m_pCurrentLoop = nullptr;
    QRadioButton* m_pOuterLoop = nullptr;
    QStackedWidget* m_pTuners = nullptr;
    CTorqueTunerDlg* m_pTorque = nullptr;
    CVelocityTunerDlg* m_pVelocity = nullptr;
    CPositionTunerDlg* m_pPosition = nullptr;
    CPositionTunerDlg4* m_pPosition4 = nullptr;
    TTunerPage* m_pPositionShown = nullptr;
    CResponseGraph* m_pGraph = nullptr;
    std::array<QRadioButton*, TuningSessionCount> m_sessionRadios{};
    QRadioButton* m_pGraphActive = nullptr;
    QRadioButton* m_pGraphAll = nullptr;
    QPushButton* m_pStartMotion = nullptr;
    QPushButton* m_pSaveConfig = nullptr;
};

} // namespace Orvex
