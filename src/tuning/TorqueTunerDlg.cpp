#include "TorqueTunerDlg.h"

#include "AppContext.h"
#include "CommandDatabase.h"
#include "ConfigFields.h"
#include "FieldValidation.h"
#include "GainsPanel.h"
#include "OrvexConfig.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>

namespace Orvex {

namespace {

namespace F = ConfigFields;
// The drive's test current and test frequency limits.
constexpr int TestCurrentParameter = 204;
constexpr int TestFrequencyParameter = 201;

} // namespace

CTorqueTunerDlg::CTorqueTunerDlg(TunerContext& tuning, QWidget* parent)
    : TSessionTunerPage(tuning, parent)
{
    setObjectName(QStringLiteral("torqueTuner"));
    BuildControls();
    ResetPageToDefaults();
}

void CTorqueTunerDlg::BuildControls()
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    m_pGains = new QGroupBox(this);
    m_pGains->setObjectName(QStringLiteral("currentGainsGroup"));
    auto* gains = new QGridLayout(m_pGains);
    AddLoopGains(gains, m_pKp, m_pKi, m_pIntegralLimit);
    m_pAutomatic = new QCheckBox(
        QStringLiteral("Enable Automatic \nCurrent Loop Gain\nCalculations"), m_pGains);
    m_pAutomatic->setObjectName(QStringLiteral("automaticGainsCheck"));
    m_pAutomatic->setAccessibleName(
        QStringLiteral("Enable Automatic Current Loop Gain Calculations"));
    gains->addWidget(m_pAutomatic, 0, 2, 2, 1);
    m_pBandwidth = AddEdit(gains, 2, 2, QStringLiteral("Bandwidth (Hz)"), NumericChars::Decimal,
                           "bandwidthEdit", QString());
    connect(m_pAutomatic, &QCheckBox::toggled, this, [this] { ShowAutomatic(); });
    row->addWidget(m_pGains);

    auto* profileGroup = new QGroupBox(QStringLiteral("Current Profile"), this);
    auto* profile = new QGridLayout(profileGroup);
    m_pCurrent = AddEdit(profile, 0, 0, QStringLiteral("Current (A)"), NumericChars::Decimal,
                         "currentEdit", QString());
    m_pFrequency = AddEdit(profile, 1, 0, QStringLiteral("Frequency\n(Hz)"), NumericChars::Digits,
                           "frequencyEdit", QString());
    row->addWidget(profileGroup);
    row->addStretch(1);
}

void CTorqueTunerDlg::ShowAutomatic()
{
    const bool automatic = m_pAutomatic->isChecked();
    m_pGains->setTitle(automatic ? QStringLiteral("Current Loop Bandwidth")
                                 : QStringLiteral("Current Loop Gains"));
    // The bandwidth for the drive's own calculation, else the three gains.
    const auto labels = m_pGains->findChildren<QLabel*>();
    for (QLabel* label : labels) {
        const bool bandwidth = label->buddy() == m_pBandwidth;
        label->setVisible(bandwidth == automatic);
        if (label->buddy())
            label->buddy()->setVisible(bandwidth == automatic);
    }
}

CurrentTestValues CTorqueTunerDlg::PageValues() const
{
    CurrentTestValues values;
    values.Kp = m_pKp->Decimal();
    values.Ki = m_pKi->Decimal();
    values.IntegralLimit = m_pIntegralLimit->Integer();
    values.AutoGains = m_pAutomatic->isChecked() ? 1 : 0;
    values.Bandwidth = m_pBandwidth->Integer();
    values.Amplitude = m_pCurrent->Decimal();
    values.Frequency = m_pFrequency->Integer();
    return values;
}

void CTorqueTunerDlg::ShowValues(const CurrentTestValues& values)
{
    m_pKp->SetDecimal(values.Kp);
    m_pKi->SetDecimal(values.Ki);
    m_pIntegralLimit->SetInteger(values.IntegralLimit);
    m_pAutomatic->setChecked(values.AutoGains != 0);
    m_pBandwidth->SetInteger(values.Bandwidth);
    m_pCurrent->SetDecimal(values.Amplitude);
    m_pFrequency->SetInteger(values.Frequency);
    ShowAutomatic();
}

void CTorqueTunerDlg::ResetPageToDefaults()
{
    m_pKp->setText(QStringLiteral("20.00"));
    m_pKi->setText(QStringLiteral("0.33"));
    m_pIntegralLimit->setText(QStringLiteral("128.00"));
    m_pAutomatic->setChecked(true);
    m_pBandwidth->setText(QStringLiteral("1200"));
    m_pCurrent->setText(QStringLiteral("3"));
    m_pFrequency->setText(QStringLiteral("500"));
    ShowAutomatic();
}

void CTorqueTunerDlg::FillFromConfig()
{
    const IOrvexConfig& config = m_tuning.Config();
    m_pKp->SetDecimal(config.CurrentLoopKp());
    m_pKi->SetDecimal(config.CurrentLoopKi());
    m_pIntegralLimit->SetDecimal(config.CurrentLoopIntegralLimit());
    m_pAutomatic->setChecked(config.AutoCurrentGains() != 0);
    m_pBandwidth->SetInteger(config.CurrentLoopBandwidth());
    ShowAutomatic();
}

bool CTorqueTunerDlg::Validate()
{
    std::vector<FieldRule> rules;
    if (m_pAutomatic->isChecked()) {
        rules.push_back({m_pBandwidth, -1, MinBandwidth, MaxBandwidth,
                         "Current Loop Bandwidth must be between 250 and 2500", nullptr, true});
    } else {
        for (const FieldRule& rule :
             LoopGainRules(m_pKp, m_pKi, m_pIntegralLimit, F::CurrentLoopKp.Parameter,
                           F::CurrentLoopKi.Parameter, F::CurrentLoopIntegralLimit.Parameter))
            rules.push_back(rule);
    }
    rules.push_back({m_pCurrent, TestCurrentParameter, 0, 0,
                     "Current must be between %.2lf and %.2lf Amps", nullptr, false});
    rules.push_back({m_pFrequency, TestFrequencyParameter, 0, 0,
                     "Frequency must be between %.0lf and %.0lf Hz", nullptr, true});
    return FieldValidation::Run(m_tuning.Ui(), rules, m_tuning.App.Limits);
}

bool CTorqueTunerDlg::CheckDriveReady()
{
    if (!m_tuning.CheckDriveConnection())
        return false;
    bool ready = false;
    m_tuning.RunDriveAction([&] {
        if (!m_tuning.CheckDriveState() || !Validate())
            return;
        IOrvexConfig& config = m_tuning.Config();
        config.SetCurrentLoopKp(static_cast<float>(m_pKp->Decimal()));
        config.SetCurrentLoopKi(static_cast<float>(m_pKi->Decimal()));
        config.SetCurrentLoopIntegralLimit(static_cast<float>(m_pIntegralLimit->Decimal()));
        config.SetAutoCurrentGains(m_pAutomatic->isChecked() ? 1 : 0);
        config.SetCurrentLoopBandwidth(m_pBandwidth->Integer());
        ready = true;
    });
    return ready;
}

void CTorqueTunerDlg::CaptureResponse()
{
    if (!CheckDriveReady())
        return;
    const float amplitude = static_cast<float>(m_pCurrent->Decimal());
    const int frequency = m_pFrequency->Integer();
    const std::optional<QVariant> samples = RunCapture([&] {
        return m_tuning.Config().CaptureCurrentStep(amplitude, frequency, CaptureTimeoutMs);
    });
    if (!samples)
        return;
    StoreCapture(*samples);
}

GraphContent CTorqueTunerDlg::Graph() const
{
    GraphContent content;
    content.Tuner = TunerName();
    content.Title = QStringLiteral("Current Response");
    content.YTitle = QStringLiteral("Current (A)");
    content.XMin = 0.0;
    content.XMax = TraceLength * CaptureData::CurrentSampleMs;
    content.XGrid = 4.0;
    content.XMinor = 1.0;
    const double amplitude = m_pCurrent->Decimal();
    content.YMin = -2.0 * amplitude;
    content.YMax = 2.0 * amplitude;
    AddSessions<CurrentSession>(
        content, m_sessions, [](int, int j) { return j * CaptureData::CurrentSampleMs; },
        [](const CurrentSession& s) {
            const CurrentTestValues& v = s.Page;
            const QString gains =
                v.AutoGains ? QStringLiteral("automatic gains, bandwidth %1 Hz").arg(v.Bandwidth)
                            : QStringLiteral("Kp %1, Ki %2, integral limit %3")
                                  .arg(QString::number(v.Kp, 'f', 2), QString::number(v.Ki, 'f', 2))
                                  .arg(v.IntegralLimit);
            return QStringLiteral("%1; current %2 A at %3 Hz")
                .arg(gains, QString::number(v.Amplitude, 'f', 2))
                .arg(v.Frequency);
        });
    return content;
}

} // namespace Orvex
