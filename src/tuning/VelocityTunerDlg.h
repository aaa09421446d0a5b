#pragma once

#include "TunerPage.h"

class QPushButton;

namespace Orvex {

// The velocity loop tuner: the velocity loop gains and the load to rotor
// inertia ratio (measured by the drive on "Auto Tune"), and a velocity
// profile to test them with.
class CVelocityTunerDlg final : public TSessionTunerPage<VelocityTestValues, float>
{
    Q_OBJECT

public:
    static constexpr int MinFrequency = 1;
    static constexpr int MaxFrequency = 48;

    explicit CVelocityTunerDlg(TunerContext& tuning, QWidget* parent = nullptr);

    QString TunerName() const override { return QStringLiteral("Velocity Loop Tuner"); }
    void FillFromConfig() override;
    void ResetPageToDefaults() override;
    bool Validate() override;
    bool CheckDriveReady() override;
    void CaptureResponse() override;
    GraphContent Graph() const override;

    // "Auto Tune": the drive measures the inertia ratio.
    void AutoTuneInertia();

    // The sample spacing divider of a session: 48 / frequency, from the
    // page's frequency for the active session when only it is drawn. A
    // frequency that gives none falls back to the session's own, then to 1.
    int DividerOf(int n) const;

    NumericEdit* InertiaRatioBox() const { return m_pInertiaRatio; }

private:
    void BuildControls();
    VelocityTestValues PageValues() const override;
    void ShowValues(const VelocityTestValues& values) override;
    bool VelocityMode();

    NumericEdit* m_pKp = nullptr;
    NumericEdit* m_pKi = nullptr;
    NumericEdit* m_pIntegralLimit = nullptr;
    NumericEdit* m_pInertiaRatio = nullptr;
    QPushButton* m_pAutoTune = nullptr;
    NumericEdit* m_pAcceleration = nullptr;
    NumericEdit* m_pVelocity = nullptr;
    NumericEdit* m_pFrequency = nullptr;
    NumericEdit* m_pMaxError = nullptr;
};

} // namespace Orvex
