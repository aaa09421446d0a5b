#pragma once

#include "TunerPage.h"

class QCheckBox;
class QGroupBox;
class QLabel;

namespace Orvex {

// The current loop tuner: the current loop gains, or a bandwidth from which
// the drive derives them, and a test current and frequency.
class CTorqueTunerDlg final : public TTunerPage
{
    Q_OBJECT

public:
    // The fixed range of the bandwidth the drive derives gains from, in Hz.
    static constexpr int MinBandwidth = 250;
    static constexpr int MaxBandwidth = 2500;

    explicit CTorqueTunerDlg(TunerContext& tuning, QWidget* parent = nullptr);

    QString TunerName() const override { return QStringLiteral("Current Loop Tuner"); }
    void ResetSession(int n) override;
    void SelectSession(int n) override;
    void FillFromConfig() override;
    void ResetPageToDefaults() override;
    bool Validate() override;
    bool CheckDriveReady() override;
    void CaptureResponse() override;
    GraphContent Graph() const override;

    const CurrentSession& Session(int n) const { return m_sessions[static_cast<std::size_t>(n)]; }
    CurrentSession& Session(int n) { return m_sessions[static_cast<std::size_t>(n)]; }
    QCheckBox* AutomaticBox() const { return m_pAutomatic; }
    QGroupBox* GainsGroup() const { return m_pGains; }

private:
    void BuildControls();
    // Gains for typed gains, the bandwidth for the drive's own calculation.
    void ShowAutomatic();
    CurrentTestValues PageValues() const;
    void ShowValues(const CurrentTestValues& values);

    std::array<CurrentSession, TuningSessionCount> m_sessions;
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
