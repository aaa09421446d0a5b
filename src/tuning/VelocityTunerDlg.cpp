#include "VelocityTunerDlg.h"

#include "AppContext.h"
#include "ConfigFields.h"
#include "ErrorReport.h"
#include "FieldValidation.h"
#include "GainsPanel.h"
#include "OrvexConfig.h"
#include "UiServices.h"
#include "WizardState.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>

namespace Orvex {

namespace {

namespace F = ConfigFields;
constexpr int AccelerationParameter = 198;
constexpr int TestVelocityParameter = 204;

} // namespace

CVelocityTunerDlg::CVelocityTunerDlg(TunerContext& tuning, QWidget* parent)
    : TSessionTunerPage(tuning, parent)
{
    setObjectName(QStringLiteral("velocityTuner"));
    BuildControls();
    ResetPageToDefaults();
}

void CVelocityTunerDlg::BuildControls()
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    auto* gainsGroup = new QGroupBox(QStringLiteral("Velocity Loop Gains"), this);
    auto* gains = new QGridLayout(gainsGroup);
    AddLoopGains(gains, m_pKp, m_pKi, m_pIntegralLimit);
    m_pInertiaRatio = AddEdit(gains, 0, 2, QStringLiteral("Load/Rotor\nInertia Ratio"),
                              NumericChars::Decimal, "inertiaRatioEdit", QString());
    m_pAutoTune = new QPushButton(QStringLiteral("Auto Tune"), gainsGroup);
    m_pAutoTune->setObjectName(QStringLiteral("autoTuneButton"));
    gains->addWidget(m_pAutoTune, 1, 3);
    connect(m_pAutoTune, &QPushButton::clicked, this,
            [this] { ORVEX_GUARDED([&] { AutoTuneInertia(); }); });
    row->addWidget(gainsGroup);

    auto* profileGroup = new QGroupBox(QStringLiteral("Velocity Profile"), this);
    auto* profile = new QGridLayout(profileGroup);
    m_pAcceleration = AddEdit(profile, 0, 0, QStringLiteral("Acceleration\n(rev/sec/sec)"),
                              NumericChars::Decimal, "accelerationEdit", QString());
    m_pVelocity = AddEdit(profile, 1, 0, QStringLiteral("Velocity\n(rev/sec)"),
                          NumericChars::Decimal, "velocityEdit", QString());
    m_pFrequency = AddEdit(profile, 0, 2, QStringLiteral("Frequency\n(Hz)"), NumericChars::Digits,
                           "frequencyEdit", QString());
    m_pMaxError = AddEdit(profile, 1, 2, QStringLiteral("Max. Velocity\nError (rev/sec)"),
                          NumericChars::Decimal, "maxVelocityErrorEdit", QString());
    row->addWidget(profileGroup);
    row->addStretch(1);
}

VelocityTestValues CVelocityTunerDlg::PageValues() const
{
    VelocityTestValues v;
    v.Kp = m_pKp->Decimal();
    v.Ki = m_pKi->Decimal();
    v.IntegralLimit = m_pIntegralLimit->Integer();
    v.InertiaRatio = m_pInertiaRatio->Decimal();
    v.Acceleration = m_pAcceleration->Decimal();
    v.Velocity = m_pVelocity->Decimal();
    v.Frequency = m_pFrequency->Integer();
    v.MaxVelocityError = m_pMaxError->Decimal();
    return v;
}

void CVelocityTunerDlg::ShowValues(const VelocityTestValues& v)
{
    m_pKp->SetDecimal(v.Kp);
    m_pKi->SetDecimal(v.Ki);
    m_pIntegralLimit->SetInteger(v.IntegralLimit);
    m_pInertiaRatio->SetDecimal(v.InertiaRatio);
    m_pAcceleration->SetDecimal(v.Acceleration);
    m_pVelocity->SetDecimal(v.Velocity);
    m_pFrequency->SetInteger(v.Frequency);
    m_pMaxError->SetDecimal(v.MaxVelocityError);
}

void CVelocityTunerDlg::ResetPageToDefaults()
{
    m_pKp->setText(QStringLiteral("1.00"));
    m_pKi->setText(QStringLiteral("1.00"));
    m_pIntegralLimit->setText(QStringLiteral("100"));
    m_pInertiaRatio->setText(QStringLiteral("0.00"));
    m_pAcceleration->setText(QStringLiteral("10000.00"));
    m_pVelocity->setText(QStringLiteral("10.00"));
    m_pFrequency->setText(QStringLiteral("10"));
    m_pMaxError->setText(QStringLiteral("0.00"));
}

void CVelocityTunerDlg::FillFromConfig()
{
    const IOrvexConfig& config = m_tuning.Config();
    m_pKp->SetDecimal(config.VelocityLoopKp());
    m_pKi->SetDecimal(config.VelocityLoopKi());
    m_pIntegralLimit->SetInteger(config.VelocityLoopIntegralLimit());
    m_pInertiaRatio->SetDecimal(config.InertiaRatio());
    m_pMaxError->SetDecimal(config.MaxVelocityError());
}

bool CVelocityTunerDlg::Validate()
{
    const auto gains =
        LoopGainRules(m_pKp, m_pKi, m_pIntegralLimit, F::VelocityLoopKp.Parameter,
                      F::VelocityLoopKi.Parameter, F::VelocityLoopIntegralLimit.Parameter);
    const FieldRule rest[] = {
        {m_pInertiaRatio, F::InertiaRatio.Parameter, 0, 0,
         "Load/Rotor Inertia Ratio must be between %.2lf and %.2lf", nullptr, false},
        {m_pAcceleration, AccelerationParameter, 0, 0,
         "Acceleration must be between %.2lf and %.2lf rev/sec/sec", nullptr, false},
        {m_pVelocity, TestVelocityParameter, 0, 0,
         "Velocity must be between %.2lf and %.2lf rev/sec", nullptr, false},
        {m_pFrequency, -1, MinFrequency, MaxFrequency, "Frequency must be between 1 and 48 Hz",
         nullptr, true},
        {m_pMaxError, F::MaxVelocityError.Parameter, 0, 0,
         "Max Velocity Error must be between %.2lf and %.2lf rev/sec", nullptr, false},
    };
    return FieldValidation::Run(m_tuning.Ui(), gains, m_tuning.App.Limits) &&
           FieldValidation::Run(m_tuning.Ui(), rest, m_tuning.App.Limits);
}

bool CVelocityTunerDlg::VelocityMode()
{
    if (m_tuning.Config().ControlMode() == WizardState::VelocityMode)
        return true;
    ShowErrorMessage(m_tuning.Ui(), QStringLiteral("Configuration Error"),
                     QStringLiteral("Orvex drive has not been configured as a velocity servo "
                                    "drive"));
    return false;
}

bool CVelocityTunerDlg::CheckDriveReady()
{
    if (!m_tuning.CheckDriveConnection())
        return false;
    bool ready = false;
    m_tuning.RunDriveAction([&] {
        if (!m_tuning.CheckDriveState() || !VelocityMode() || !Validate())
            return;
        IOrvexConfig& config = m_tuning.Config();
        config.SetVelocityLoopKp(static_cast<float>(m_pKp->Decimal()));
        config.SetVelocityLoopKi(static_cast<float>(m_pKi->Decimal()));
        config.SetVelocityLoopIntegralLimit(m_pIntegralLimit->Integer());
        config.SetInertiaRatio(static_cast<float>(m_pInertiaRatio->Decimal()));
        config.SetMaxVelocityError(static_cast<float>(m_pMaxError->Decimal()));
        ready = true;
    });
    return ready;
}

void CVelocityTunerDlg::CaptureResponse()
{
    if (!CheckDriveReady())
        return;
    const auto acceleration = static_cast<float>(m_pAcceleration->Decimal());
    const auto velocity = static_cast<float>(m_pVelocity->Decimal());
    const int frequency = m_pFrequency->Integer();
    const std::optional<QVariant> samples = RunCapture([&] {
        return m_tuning.Config().CaptureVelocityStep(acceleration, velocity, frequency,
                                                     CaptureTimeoutMs);
    });
    if (!samples)
        return;
    StoreCapture(*samples);
}

void CVelocityTunerDlg::AutoTuneInertia()
{
    AutoTune({[this] { return VelocityMode(); }, {}, [this] { BlankGraph(); }, {}, {}},
             m_pInertiaRatio);
}

int CVelocityTunerDlg::DividerOf(int n) const
{
    const bool fromPage = !m_tuning.GraphAllSessions && n == m_tuning.ActiveSession;
    if (fromPage) {
        if (const int d = CaptureData::VelocityDivider(m_pFrequency->Integer()); d > 0)
            return d;
    }
    const int d = CaptureData::VelocityDivider(Session(n).Page.Frequency);
    return d > 0 ? d : 1;
}

GraphContent CVelocityTunerDlg::Graph() const
{
    GraphContent content;
    content.Tuner = TunerName();
    content.Title = QStringLiteral("Velocity Response");
    content.YTitle = QStringLiteral("Velocity (rev/sec)");
    int pageDivider = CaptureData::VelocityDivider(m_pFrequency->Integer());
    if (pageDivider <= 0)
        pageDivider = DividerOf(m_tuning.ActiveSession);
    const double window = TraceLength * pageDivider * CaptureData::CurrentSampleMs;
    content.XMin = 0.0;
    content.XMax = window;
    content.XGrid = window / 8.0;
    content.XMinor = content.XGrid / 4.0;
    const double velocity = m_pVelocity->Decimal();
    content.YMin = -2.0 * velocity;
    content.YMax = 2.0 * velocity;
    AddSessions<VelocitySession>(
        content, m_sessions,
        [this](int n, int j) { return j * DividerOf(n) * CaptureData::CurrentSampleMs; },
        [](const VelocitySession& s) {
            const VelocityTestValues& v = s.Page;
            return QStringLiteral("Kp %1, Ki %2, integral limit %3, inertia ratio %4; "
                                  "acceleration %5 rev/s/s, velocity %6 rev/s at %7 Hz, "
                                  "max velocity error %8 rev/s")
                .arg(QString::number(v.Kp, 'f', 2), QString::number(v.Ki, 'f', 2))
                .arg(v.IntegralLimit)
                .arg(QString::number(v.InertiaRatio, 'f', 2),
                     QString::number(v.Acceleration, 'f', 2), QString::number(v.Velocity, 'f', 2))
                .arg(v.Frequency)
                .arg(QString::number(v.MaxVelocityError, 'f', 2));
        });
    return content;
}

} // namespace Orvex
