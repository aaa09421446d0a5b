#pragma once

#include "FieldValidation.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;

namespace Orvex {

class IOrvexConfig;
class IUiServices;
class NumericEdit;
class NumSpinCtrl;

// What the auto tuning position loop's gains hold: the controller (PIV or
// sliding mode), the PIV gains, the sliding-mode parameters and the PIV gains
// added to the sliding mode.
struct PositionGains4Values
{
    static constexpr int PivMode = 0;
    static constexpr int SlidingMode = 1;

    int TuningMode = PivMode;
    double Kp = 0.6;
    double Ki = 1.0;
    int IntegralLimit = 1;
    double Kv = 1.4;
    double Kvff = 1.0;
    double Ks = 0.25;
    double A1 = 0.5;
    double B1 = 100.0;
    double Epsilon = 10.0;
    double ScaleFactor = 0.01;
    double ModeFilter = 0.3;
    bool ShowAdvanced = false;
    bool AddPiv = false;
    double AddedKi = 1.0;
    int AddedIntegralLimit = 1;
    double AddedKv = 1.4;
    double AddedKvff = 1.0;
};

// The boxes of the auto tuning position loop's gains, shared by the tuner and
// the wizard's gains panel: "Tuning Mode", the PIV gains, the sliding-mode
// parameters with "Show Adv. Tuning" and "Help...", and "Add PIV Gains",
// each shown only where it counts.
class CPositionGains4Fields final : public QWidget
{
    Q_OBJECT

public:
    CPositionGains4Fields(IUiServices& ui, QWidget* parent = nullptr);

    // The initial texts; the tuning mode back to PIV.
    void SetDefaults();
    void FillFromConfig(const IOrvexConfig& config);
    PositionGains4Values Values() const;
    void ShowValues(const PositionGains4Values& values);

    bool Sliding() const;
    // The range checks of the gains in their order: the proportional gain,
    // then the integral gain, integral limit, velocity gain and feedforward
    // of the boxes that count in the chosen mode.
    std::array<FieldRule, 5> Rules() const;
    // The gains to the configuration object: the proportional gain, the four
    // PIV gains that count (zeros in sliding mode without added PIV gains),
    // and, after whatever the caller writes in between, the mode and the
    // sliding parameters.
    void WritePivGains(IOrvexConfig& config) const;
    void WriteModeAndSliding(IOrvexConfig& config) const;

    // "Help...": what the sliding-mode parameters do.
    void ShowHelp();
    static QString HelpText();

    QComboBox* TuningModeCombo() const { return m_pMode; }
    QCheckBox* ShowAdvancedCheck() const { return m_pShowAdvanced; }
    QCheckBox* AddPivCheck() const { return m_pAddPiv; }

private:
    NumericEdit* AddEdit(QGridLayout* grid, int row, int column, const QString& label, bool decimal,
                         const char* objectName);
    // Shows the boxes the mode and the two check boxes call for.
    void ApplyVisibility();

    IUiServices& m_ui;
    QComboBox* m_pMode = nullptr;
    NumericEdit* m_pKp = nullptr;
    NumericEdit* m_pKi = nullptr;
    NumericEdit* m_pIntegralLimit = nullptr;
    NumericEdit* m_pKv = nullptr;
    NumericEdit* m_pKvff = nullptr;
    NumSpinCtrl* m_pKs = nullptr;
    NumericEdit* m_pA1 = nullptr;
    NumericEdit* m_pB1 = nullptr;
    NumericEdit* m_pEpsilon = nullptr;
    NumericEdit* m_pScale = nullptr;
    NumericEdit* m_pModeFilter = nullptr;
    QCheckBox* m_pShowAdvanced = nullptr;
    QCheckBox* m_pAddPiv = nullptr;
    QPushButton* m_pHelp = nullptr;
    NumericEdit* m_pAddedKi = nullptr;
    NumericEdit* m_pAddedIntegralLimit = nullptr;
    NumericEdit* m_pAddedKv = nullptr;
    NumericEdit* m_pAddedKvff = nullptr;
};

} // namespace Orvex
