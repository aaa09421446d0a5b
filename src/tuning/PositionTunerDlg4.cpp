#include "PositionTunerDlg4.h"

#include "AppContext.h"
#include "ConfigFields.h"
#include "ErrorReport.h"
#include "FieldValidation.h"
#include "OrvexConfig.h"
#include "UiServices.h"
#include "WizardContracts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>

#include <algorithm>

namespace Orvex {

namespace {

namespace F = ConfigFields;
constexpr int DistanceParameter = 210;
constexpr int Ccw = 1;

} // namespace

CPositionTunerDlg4::CPositionTunerDlg4(TunerContext& tuning, QWidget* parent)
    : TSessionTunerPage(tuning, parent)
{
    setObjectName(QStringLiteral("positionTuner4"));
    BuildControls();
    ResetPageToDefaults();
}

void CPositionTunerDlg4::BuildControls()
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    auto* gainsGroup = new QGroupBox(QStringLiteral("Position Loop Gains"), this);
    auto* gains = new QGridLayout(gainsGroup);
    m_pFields = new CPositionGains4Fields(m_tuning.Ui(), gainsGroup);
    gains->addWidget(m_pFields, 0, 0, 1, 3);
    m_pInertiaRatio = AddEdit(gains, 1, 0, QStringLiteral("Load : Rotor"), NumericChars::Decimal,
                              "inertiaRatioEdit", QString());
    m_pAutoTune = new QPushButton(QStringLiteral("Auto Tune"), gainsGroup);
    m_pAutoTune->setObjectName(QStringLiteral("autoTuneButton"));
    gains->addWidget(m_pAutoTune, 1, 2);
    connect(m_pAutoTune, &QPushButton::clicked, this,
            [this] { ORVEX_GUARDED([&] { AutoTuneInertia(); }); });
    row->addWidget(gainsGroup);

    row->addWidget(AddPositionProfile(m_pDistance, m_pMaxError, m_pDirection));
    row->addStretch(1);
}

PositionTest4Values CPositionTunerDlg4::PageValues() const
{
    PositionTest4Values v;
    v.Gains = m_pFields->Values();
    v.InertiaRatio = m_pInertiaRatio->Decimal();
    v.Distance = m_pDistance->Integer();
    v.Direction = std::max(m_pDirection->currentIndex(), 0);
    v.MaxPositionError = m_pMaxError->Integer();
    return v;
}

void CPositionTunerDlg4::ShowValues(const PositionTest4Values& v)
{
    m_pFields->ShowValues(v.Gains);
    m_pInertiaRatio->SetDecimal(v.InertiaRatio);
    m_pDistance->SetInteger(v.Distance);
    m_pDirection->setCurrentIndex(v.Direction);
    m_pMaxError->SetInteger(v.MaxPositionError);
}

void CPositionTunerDlg4::ResetPageToDefaults()
{
    m_pFields->SetDefaults();
    m_pInertiaRatio->setText(QStringLiteral("0.00"));
    m_pDistance->setText(QStringLiteral("200"));
    m_pMaxError->setText(QStringLiteral("4000"));
    m_pDirection->clear();
    m_pDirection->addItems({QStringLiteral("CW"), QStringLiteral("CCW")});
    m_pDirection->setCurrentIndex(0);
}

void CPositionTunerDlg4::FillFromConfig()
{
    const IOrvexConfig& config = m_tuning.Config();
    m_pFields->FillFromConfig(config);
    m_pInertiaRatio->SetDecimal(config.InertiaRatio());
    m_pMaxError->SetInteger(config.MaxPositionError());
}

bool CPositionTunerDlg4::Validate()
{
    const FieldRule rest[] = {
        {m_pInertiaRatio, F::InertiaRatio.Parameter, 0, 0,
         "Load/Rotor Inertia Ratio must be between %.2lf and %.2lf", nullptr, false},
        {m_pDistance, DistanceParameter, 0, 0, "Distance must be between %.0lf and %.0lf counts",
         nullptr, true},
        {m_pMaxError, F::MaxPositionError.Parameter, 0, 0,
         "Maximum Position Error must be between %.2lf and %.2lf counts", nullptr, false},
    };
    return FieldValidation::Run(m_tuning.Ui(), m_pFields->Rules(), m_tuning.App.Limits) &&
           FieldValidation::Run(m_tuning.Ui(), rest, m_tuning.App.Limits);
}

void CPositionTunerDlg4::WriteGains()
{
    IOrvexConfig& config = m_tuning.Config();
    m_pFields->WritePivGains(config);
    config.SetInertiaRatio(static_cast<float>(m_pInertiaRatio->Decimal()));
    config.SetMaxPositionError(m_pMaxError->Integer());
    m_pFields->WriteModeAndSliding(config);
}

bool CPositionTunerDlg4::CheckDriveReady()
{
    if (!m_tuning.CheckDriveConnection())
        return false;
    bool ready = false;
    m_tuning.RunDriveAction([&] {
        if (!m_tuning.CheckDriveState() || !m_tuning.CheckStepDirectionMode() || !Validate() ||
            !m_tuning.AskFaultOnDisable(FaultClearCommand))
            return;
        WriteGains();
        ready = true;
    });
    return ready;
}

void CPositionTunerDlg4::CaptureResponse()
{
    m_tuning.Workflow.CheckConfigurationMatch();
    if (!CheckDriveReady())
        return;
    const bool ccw = m_pDirection->currentIndex() == Ccw;
    const int distance = ccw ? -m_pDistance->Integer() : m_pDistance->Integer();
    const std::optional<QVariant> samples = RunCapture(
        [&] { return m_tuning.Config().CapturePositionStep(distance, CaptureTimeoutMs); });
    if (!samples)
        return;
    StoreCapture(*samples, [ccw](SessionType& session) {
        CaptureData::RiseFromZero(session.Commanded, session.Actual, ccw);
    });
}

int CPositionTunerDlg4::IterationsFrom(QSettings& settings)
{
    if (!settings.contains(IterationsKey)) {
        settings.setValue(IterationsKey, DefaultIterations);
        settings.sync();
        return settings.status() == QSettings::NoError ? DefaultIterations : 0;
    }
    bool read = false;
    const int iterations = settings.value(IterationsKey).toInt(&read);
    return read ? iterations : DefaultIterations;
}

int CPositionTunerDlg4::SlidingIterations()
{
    if (m_iterationSettings)
        return IterationsFrom(*m_iterationSettings);
    QSettings user(QSettings::UserScope, QStringLiteral("Tamsel"), QStringLiteral("KVT"));
    return IterationsFrom(user);
}

float CPositionTunerDlg4::MeasureSliding(IWaitWindow& wait, int runs)
{
    wait.SetText(QStringLiteral("Performing Auto tuning (Sliding Mode)..."));
    double sum = 0.0;
    for (int i = 1; i <= runs; ++i) {
        wait.SetText(
            QStringLiteral("Performing Auto tuning (Sliding Mode: %1 of %2)...").arg(i).arg(runs));
        const float ratio = m_tuning.Config().AutoTune();
        // A failed run (or no number) fails the whole measurement: a mean of
        // the runs before it would pass for a result.
        if (!(ratio >= 0.0f))
            return -1.0f;
        sum += ratio;
    }
    return static_cast<float>(sum / runs);
}

void CPositionTunerDlg4::AutoTuneInertia()
{
    AutoTuneSteps steps;
    steps.ControlModeOk = [this] { return m_tuning.CheckStepDirectionMode(); };
    steps.BeforeTuning = [this] { m_tuning.Workflow.CheckConfigurationMatch(); };
    steps.BlankGraph = [this] { BlankGraph(); };
    steps.FaultClearCommand = FaultClearCommand;
    steps.Measure = [this](IWaitWindow& wait) {
        const int runs = m_pFields->Sliding() ? SlidingIterations() : 0;
        if (runs > 0)
            return MeasureSliding(wait, runs);
        wait.SetText(QStringLiteral("Performing Auto tuning (PID Mode)..."));
        return m_tuning.Config().AutoTune();
    };
    AutoTune(steps, m_pInertiaRatio);
}

bool CPositionTunerDlg4::SaveConfiguration()
{
    return SaveTunedConfiguration([this] { WriteGains(); });
}

GraphContent CPositionTunerDlg4::Graph() const
{
    return PositionGraph<SessionType>(m_sessions, m_pDistance->Integer(), [](const SessionType& s) {
        const PositionTest4Values& v = s.Page;
        const PositionGains4Values& g = v.Gains;
        const QString gains =
            g.TuningMode == PositionGains4Values::SlidingMode
                ? QStringLiteral("sliding mode Kp %1, Ks %2, a1 %3, b1 %4")
                      .arg(QString::number(g.Kp, 'f', 2), QString::number(g.Ks, 'f', 2),
                           QString::number(g.A1, 'f', 2), QString::number(g.B1, 'f', 2))
                : QStringLiteral("PIV mode Kp %1, Ki %2, integral limit %3, Kv %4, Kvff %5")
                      .arg(QString::number(g.Kp, 'f', 2), QString::number(g.Ki, 'f', 2))
                      .arg(g.IntegralLimit)
                      .arg(QString::number(g.Kv, 'f', 2), QString::number(g.Kvff, 'f', 2));
        return QStringLiteral("%1, inertia ratio %2; %3 counts %4, max position error %5 "
                              "counts")
            .arg(gains, QString::number(v.InertiaRatio, 'f', 2))
            .arg(v.Distance)
            .arg(v.Direction == Ccw ? QStringLiteral("CCW") : QStringLiteral("CW"))
            .arg(v.MaxPositionError);
    });
}

} // namespace Orvex
