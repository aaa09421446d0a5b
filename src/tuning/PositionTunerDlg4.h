#pragma once

#include "PositionGains4Fields.h"
#include "TunerPage.h"

class QComboBox;
class QPushButton;
class QSettings;

namespace Orvex {

// A test of the auto tuning position tuner: its gains, the inertia ratio and
// the move.
struct PositionTest4Values
{
    PositionGains4Values Gains;
    double InertiaRatio = 0.0;
    int Distance = 200;          // counts
    int Direction = 0;           // 0 CW, 1 CCW
    int MaxPositionError = 4000; // counts
};

// The auto tuning position tuner: the position loop as a PIV or a
// sliding-mode controller, the drive's measurement of the inertia ratio
// (averaged over several runs in sliding mode), and the same move, sessions,
// graph and save as the classic position tuner.
class CPositionTunerDlg4 final : public TSessionTunerPage<PositionTest4Values, qint32>
{
    Q_OBJECT

public:
    static constexpr int DefaultIterations = 10;
    // Where the number of sliding-mode runs is kept: organisation "Tamsel",
    // application "KVT", under IterationsKey.
    static inline const QString IterationsKey =
        QStringLiteral("Settings/AutoTune/AutoTuneIterations");
    // Sent to the drive when the user clears "Enable Fault on Drive Disable".
    static inline const QString FaultClearCommand = QStringLiteral("P95=0\r");

    explicit CPositionTunerDlg4(TunerContext& tuning, QWidget* parent = nullptr);

    QString TunerName() const override { return QStringLiteral("Position Loop Tuner"); }
    void FillFromConfig() override;
    void ResetPageToDefaults() override;
    bool Validate() override;
    bool CheckDriveReady() override;
    void CaptureResponse() override;
    GraphContent Graph() const override;

    // "Auto Tune": one measurement in PIV mode, the mean of the configured
    // number of runs in sliding mode.
    void AutoTuneInertia();
    bool SaveConfiguration();

    // The store of the number of sliding-mode runs; the user's own
    // ("Tamsel", "KVT") when none is given.
    void SetIterationSettings(QSettings* settings) { m_iterationSettings = settings; }
    // The number of sliding-mode runs in settings, 10 written there when it
    // holds none; 0 when it can be neither read nor written.
    static int IterationsFrom(QSettings& settings);

    CPositionGains4Fields* Fields() const { return m_pFields; }

private:
    void BuildControls();
    PositionTest4Values PageValues() const override;
    void ShowValues(const PositionTest4Values& values) override;
    void WriteGains();
    int SlidingIterations();
    // The sliding-mode runs: their mean, or negative as soon as one fails.
    float MeasureSliding(IWaitWindow& wait, int runs);

    CPositionGains4Fields* m_pFields = nullptr;
    NumericEdit* m_pInertiaRatio = nullptr;
    QPushButton* m_pAutoTune = nullptr;
    NumericEdit* m_pDistance = nullptr;
    NumericEdit* m_pMaxError = nullptr;
    QComboBox* m_pDirection = nullptr;
    QSettings* m_iterationSettings = nullptr;
};

} // namespace Orvex
