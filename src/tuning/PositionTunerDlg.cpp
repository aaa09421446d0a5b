#include "PositionTunerDlg.h"

#include "AppContext.h"
#include "ConfigFields.h"
#include "ErrorReport.h"
#include "FieldValidation.h"
#include "GainsPanel.h"
#include "OrvexConfig.h"
#include "UiServices.h"
#include "WizardContracts.h"
#include "WizardState.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace Orvex {

namespace {

namespace F = ConfigFields;
constexpr int DistanceParameter = 210;
constexpr int Ccw = 1;

} // namespace

CPositionTunerDlg::CPositionTunerDlg(TunerContext& tuning, QWidget* parent)
    : TSessionTunerPage(tuning, parent)
{
    setObjectName(QStringLiteral("positionTuner"));
    BuildControls();
    ResetPageToDefaults();
}

void CPositionTunerDlg::BuildControls()
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    auto* gainsGroup = new QGroupBox(QStringLiteral("Position Loop Gains"), this);
    auto* gains = new QGridLayout(gainsGroup);
    AddLoopGains(gains, m_pKp, m_pKi, m_pIntegralLimit);
    m_pKv = AddEdit(gains, 0, 2, QStringLiteral("Velocity"), NumericChars::Decimal,
                    "velocityGainEdit", QString());
    m_pInertiaRatio = AddEdit(gains, 1, 2, QStringLiteral("Load/Rotor\nInertia Ratio"),
                              NumericChars::Decimal, "inertiaRatioEdit", QString());
    m_pAutoTune = new QPushButton(QStringLiteral("Auto Tune"), gainsGroup);
    m_pAutoTune->setObjectName(QStringLiteral("autoTuneButton"));
    gains->addWidget(m_pAutoTune, 2, 3);
    connect(m_pAutoTune, &QPushButton::clicked, this,
            [this] { ORVEX_GUARDED([&] { AutoTuneInertia(); }); });
    row->addWidget(gainsGroup);

    row->addWidget(AddPositionProfile(m_pDistance, m_pMaxError, m_pDirection));
    row->addStretch(1);
}

PositionTestValues CPositionTunerDlg::PageValues() const
{
    PositionTestValues v;
    v.Kp = m_pKp->Decimal();
    v.Ki = m_pKi->Decimal();
    v.IntegralLimit = m_pIntegralLimit->Integer();
    v.Kv = m_pKv->Decimal();
    v.InertiaRatio = m_pInertiaRatio->Decimal();
    v.Distance = m_pDistance->Integer();
    v.Direction = std::max(m_pDirection->currentIndex(), 0);
    v.MaxPositionError = m_pMaxError->Integer();
    return v;
}

void CPositionTunerDlg::ShowValues(const PositionTestValues& v)
{
    m_pKp->SetDecimal(v.Kp);
    m_pKi->SetDecimal(v.Ki);
    m_pIntegralLimit->SetInteger(v.IntegralLimit);
    m_pKv->SetDecimal(v.Kv);
    m_pInertiaRatio->SetDecimal(v.InertiaRatio);
    m_pDistance->SetInteger(v.Distance);
    m_pDirection->setCurrentIndex(v.Direction);
    m_pMaxError->SetInteger(v.MaxPositionError);
}

void CPositionTunerDlg::ResetPageToDefaults()
{
    m_pKp->setText(QStringLiteral("0.60"));
    m_pKi->setText(QStringLiteral("1.00"));
    m_pIntegralLimit->setText(QStringLiteral("1"));
    m_pKv->setText(QStringLiteral("1.40"));
    m_pInertiaRatio->setText(QStringLiteral("0.00"));
    m_pDistance->setText(QStringLiteral("200"));
    m_pMaxError->setText(QStringLiteral("4000"));
    m_pDirection->clear();
    m_pDirection->addItems({QStringLiteral("CW"), QStringLiteral("CCW")});
    m_pDirection->setCurrentIndex(0);
}

void CPositionTunerDlg::FillFromConfig()
{
    const IOrvexConfig& config = m_tuning.Config();
    m_pKp->SetDecimal(config.PositionLoopKp());
    m_pKi->SetDecimal(config.PositionLoopKi());
    m_pIntegralLimit->SetInteger(config.PositionLoopIntegralLimit());
    m_pKv->SetDecimal(config.PositionLoopKv());
    m_pInertiaRatio->SetDecimal(config.InertiaRatio());
    m_pMaxError->SetInteger(config.MaxPositionError());
}

bool CPositionTunerDlg::Validate()
{
    const auto gains =
        LoopGainRules(m_pKp, m_pKi, m_pIntegralLimit, F::PositionLoopKp.Parameter,
                      F::PositionLoopKi.Parameter, F::PositionLoopIntegralLimit.Parameter);
    const FieldRule rest[] = {
        {m_pKv, F::PositionLoopKv.Parameter, 0, 0, "Velocity Gain must be between %.2lf and %.2lf",
         nullptr, false},
        {m_pInertiaRatio, F::InertiaRatio.Parameter, 0, 0,
         "Load/Rotor Inertia Ratio must be between %.2lf and %.2lf", nullptr, false},
        {m_pDistance, DistanceParameter, 0, 0, "Distance must be between %.0lf and %.0lf counts",
         nullptr, true},
        {m_pMaxError, F::MaxPositionError.Parameter, 0, 0,
         "Maximum Position Error must be between %.2lf and %.2lf counts", nullptr, false},
    };
    return FieldValidation::Run(m_tuning.Ui(), gains, m_tuning.App.Limits) &&
           FieldValidation::Run(m_tuning.Ui(), rest, m_tuning.App.Limits);
}

void CPositionTunerDlg::WriteGains()
{
    IOrvexConfig& config = m_tuning.Config();
    config.SetPositionLoopKp(static_cast<float>(m_pKp->Decimal()));
    config.SetPositionLoopKi(static_cast<float>(m_pKi->Decimal()));
    config.SetPositionLoopIntegralLimit(m_pIntegralLimit->Integer());
    config.SetPositionLoopKv(static_cast<float>(m_pKv->Decimal()));
    config.SetInertiaRatio(static_cast<float>(m_pInertiaRatio->Decimal()));
    config.SetMaxPositionError(m_pMaxError->Integer());
}

bool CPositionTunerDlg::CheckDriveReady()
{
    if (!m_tuning.CheckDriveConnection())
        return false;
    bool ready = false;
    m_tuning.RunDriveAction([&] {
        if (!m_tuning.CheckDriveState() || !m_tuning.CheckStepDirectionMode() || !Validate() ||
            !m_tuning.AskFaultOnDisable())
            return;
        WriteGains();
        ready = true;
    });
    return ready;
}

void CPositionTunerDlg::CaptureResponse()
{
    if (!CheckDriveReady())
        return;
    const bool ccw = m_pDirection->currentIndex() == Ccw;
    const int distance = ccw ? -m_pDistance->Integer() : m_pDistance->Integer();
    const std::optional<QVariant> samples = RunCapture(
        [&] { return m_tuning.Config().CapturePositionStep(distance, CaptureTimeoutMs); });
    if (!samples)
        return;
    StoreCapture(*samples, [ccw](PositionSession& session) {
        CaptureData::RiseFromZero(session.Commanded, session.Actual, ccw);
    });
}

void CPositionTunerDlg::AutoTuneInertia()
{
    AutoTune({[this] { return m_tuning.CheckStepDirectionMode(); },
              [this] { m_tuning.Workflow.CheckConfigurationMatch(); },
              [this] { BlankGraph(); },
              {},
              {}},
             m_pInertiaRatio);
}

bool CPositionTunerDlg::SaveConfiguration()
{
    return SaveTunedConfiguration([this] { WriteGains(); });
}

GraphContent CPositionTunerDlg::Graph() const
{
    return PositionGraph<PositionSession>(
        m_sessions, m_pDistance->Integer(), [](const PositionSession& s) {
            const PositionTestValues& v = s.Page;
            return QStringLiteral("Kp %1, Ki %2, integral limit %3, Kv %4, inertia ratio %5; "
                                  "%6 counts %7, max position error %8 counts")
                .arg(QString::number(v.Kp, 'f', 2), QString::number(v.Ki, 'f', 2))
                .arg(v.IntegralLimit)
                .arg(QString::number(v.Kv, 'f', 2), QString::number(v.InertiaRatio, 'f', 2))
                .arg(v.Distance)
                .arg(v.Direction == Ccw ? QStringLiteral("CCW") : QStringLiteral("CW"))
                .arg(v.MaxPositionError);
        });
}

} // namespace Orvex
