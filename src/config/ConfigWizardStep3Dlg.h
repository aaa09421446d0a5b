#pragma once

#include "WizardStepPage.h"

#include <array>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QRadioButton;
class QStackedWidget;

namespace Orvex {

class CPositionGainsDlg;
class CPositionGainsDlg4;
class CTorqueGainsDlg;
class CVelocityGainsDlg;
class NumericEdit;

// Step 3 of the configuration wizard: the drive's control mode with the loop
// gains it needs, the current loop gains (typed in or derived by the drive
// from a bandwidth), commutation, PWM frequency, encoder filtering, and the
// torque (or force) and velocity limits and scalings.
class CConfigWizardStep3Dlg final : public TWizardStepPage
{
    Q_OBJECT

public:
    static constexpr int MinBandwidth = 250;
    static constexpr int MaxBandwidth = 2500;

    CConfigWizardStep3Dlg(AppContext& context, IMainWindow& mainWindow, IConfigWorkflow& workflow,
                          QWidget* parent = nullptr);

    void FillFromConfig() override;
    void ResetToDefaults() override;
    void ResetToMotorDefaults() override;
    bool Validate() override;
    void WriteToConfig() override;

    void OnSetActive() override;

    // The radio's control mode code (2, 6, 7 or 4).
    int ControlMode() const;
    void SetControlMode(int code);

    QRadioButton* ModeRadio(int index) const { return m_modes[static_cast<std::size_t>(index)]; }
    QCheckBox* AutoGainsBox() const { return m_pAutoGains; }
    QGroupBox* GainsGroup() const { return m_pGains; }
    QComboBox* CommutationCombo() const { return m_pCommutation; }
    QComboBox* PwmCombo() const { return m_pPwm; }
    QComboBox* EncoderFilteringCombo() const { return m_pEncoderFiltering; }
    QWidget* ShownGainsPanel() const;
    NumericEdit* TorqueScalingEdit() const { return m_pTorqueScaling; }

protected:
    void OnNext() override;
    void OnBack() override;

private:
    void BuildControls();
    NumericEdit* AddEdit(QGridLayout* grid, int row, const QString& label, const char* objectName,
                         QLabel** labelOut = nullptr);
    void ShowAutoGains();
    void ShowGainsPanel();
    void ShowForPackage();
    void FillCombos();
    bool UsesAutoTuningGains() const;
    // The drive limits and current loop gains of a motor described by
    // hand, from what step 2 wrote.
    void DeriveDefaults();

    std::array<QRadioButton*, 4> m_modes{};
    QStackedWidget* m_pPanels = nullptr;
    CTorqueGainsDlg* m_pTorqueGains = nullptr;
    CVelocityGainsDlg* m_pVelocityGains = nullptr;
    CPositionGainsDlg* m_pPositionGains = nullptr;
    CPositionGainsDlg4* m_pPositionGains4 = nullptr;

    QGroupBox* m_pGains = nullptr;
    QCheckBox* m_pAutoGains = nullptr;
    NumericEdit* m_pKp = nullptr;
    NumericEdit* m_pKi = nullptr;
    NumericEdit* m_pIntegralLimit = nullptr;
    NumericEdit* m_pBandwidth = nullptr;

    QCheckBox* m_pFoldback = nullptr;
    QComboBox* m_pCommutation = nullptr;
    QComboBox* m_pPwm = nullptr;
    QComboBox* m_pEncoderFiltering = nullptr;

    NumericEdit* m_pTorqueLimit = nullptr;
    NumericEdit* m_pTorqueScaling = nullptr;
    NumericEdit* m_pVelocityLimit = nullptr;
    NumericEdit* m_pVelocityScaling = nullptr;
    std::array<QLabel*, 4> m_limitLabels{};
    // The motor data the current loop defaults were last derived from.
    QString m_derivedFrom;
};

} // namespace Orvex
