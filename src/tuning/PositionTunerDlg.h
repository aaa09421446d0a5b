#pragma once

#include "TunerPage.h"

class QComboBox;
class QPushButton;

namespace Orvex {

// The classic position loop tuner: the position loop gains and the inertia
// ratio, a move of a distance in one direction, and the save of the tuned
// configuration for the frame's "Save Config As...".
class CPositionTunerDlg final : public TSessionTunerPage<PositionTestValues, qint32>
{
    Q_OBJECT

public:
    explicit CPositionTunerDlg(TunerContext& tuning, QWidget* parent = nullptr);

    QString TunerName() const override { return QStringLiteral("Position Loop Tuner"); }
    void FillFromConfig() override;
    void ResetPageToDefaults() override;
    bool Validate() override;
    bool CheckDriveReady() override;
    void CaptureResponse() override;
    GraphContent Graph() const override;

    // "Auto Tune": the drive measures the inertia ratio.
    void AutoTuneInertia();
    // Checks the page, writes its gains and stores the configuration in a
    // file the user picks; false when anything stopped it.
    bool SaveConfiguration();

    QComboBox* DirectionCombo() const { return m_pDirection; }

private:
    void BuildControls();
    PositionTestValues PageValues() const override;
    void ShowValues(const PositionTestValues& values) override;
    void WriteGains();

    NumericEdit* m_pKp = nullptr;
    NumericEdit* m_pKi = nullptr;
    NumericEdit* m_pIntegralLimit = nullptr;
    NumericEdit* m_pKv = nullptr;
    NumericEdit* m_pInertiaRatio = nullptr;
    QPushButton* m_pAutoTune = nullptr;
    NumericEdit* m_pDistance = nullptr;
    NumericEdit* m_pMaxError = nullptr;
    QComboBox* m_pDirection = nullptr;
};

} // namespace Orvex
