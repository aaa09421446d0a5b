#pragma once

#include "TunerPage.h"

class QCheckBox;
class QGroupBox;
class QLabel;

namespace Orvex {

// The current loop tuner: the current loop gains, or a bandwidth from which
// the drive derives them, and a test current and frequency.
class CTorqueTunerDlg final : public TSessionTunerPage<CurrentTestValues, float>
{
    Q_OBJECT

public:
    // The fixed range of the bandwidth the drive derives gains from, in Hz.
    static constexpr int MinBandwidth = 250;
    static constexpr int MaxBandwidth = 2500;

    explicit CTorqueTunerDlg(TunerContext& tuning, QWidget* parent = nullptr);

    QString TunerName() const override { return QStringLiteral("Current Loop Tuner"); }
    void FillFromConfig() override;
    void ResetPageToDefaults() override;
    bool Validate() override;
    bool CheckDriveReady() override;
    void CaptureResponse() override;
    GraphContent Graph() const override;

    QCheckBox* AutomaticBox() const { return m_pAutomatic; }
    QGroupBox* GainsGroup() const { return m_pGains; }

private:
    void BuildControls();
    // Gains for typed gains, the bandwidth for the drive's own calculation.
    void ShowAutomatic();
    CurrentTestValues PageValues() const override;
    void ShowValues(const CurrentTestValues& values) override;

    QGroupBox* m_pGains = nullptr;
    NumericEdit* m_pKp = nullptr;
    NumericEdit* m_pKi = nullptr;
    NumericEdit* m_pIntegralLimit = nullptr;
    QCheckBox* m_pAutomatic = nullptr;
    NumericEdit* m_pBandwidth = nullptr;
    NumericEdit* m_pCurrent = nullptr;
    NumericEdit* m_pFrequency = nullptr;
};

} // namespace Orvex
