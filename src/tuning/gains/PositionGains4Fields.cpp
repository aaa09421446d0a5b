#include "PositionGains4Fields.h"

#include "ConfigFields.h"
#include "ErrorReport.h"
#include "NumSpinCtrl.h"
#include "NumericEdit.h"
#include "OrvexConfig.h"
#include "UiServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace Orvex {

namespace {

namespace F = ConfigFields;

// Shows or hides a box together with its label.
void ShowWithLabel(QWidget* box, bool show)
{
    box->setVisible(show);
    for (QLabel* label : box->parentWidget()->findChildren<QLabel*>()) {
        if (label->buddy() == box)
            label->setVisible(show);
    }
}

} // namespace

CPositionGains4Fields::CPositionGains4Fields(IUiServices& ui, QWidget* parent)
    : QWidget(parent), m_ui(ui)
{
    setObjectName(QStringLiteral("positionGains4Fields"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);

    m_pMode = new QComboBox(this);
    m_pMode->setObjectName(QStringLiteral("tuningModeCombo"));
    m_pMode->setAccessibleName(QStringLiteral("Tuning Mode"));
    m_pMode->addItems({QStringLiteral("PIV Mode"), QStringLiteral("Sliding Mode")});
    auto* modeLabel = new QLabel(QStringLiteral("Tuning &Mode"), this);
    modeLabel->setBuddy(m_pMode);
    grid->addWidget(modeLabel, 0, 0);
    grid->addWidget(m_pMode, 0, 1);
    m_pKp = AddEdit(grid, 1, 0, QStringLiteral("Proportional"), true, "proportionalEdit");

    // PIV mode.
    m_pKi = AddEdit(grid, 2, 0, QStringLiteral("Integral Gain"), true, "integralEdit");
    m_pIntegralLimit =
        AddEdit(grid, 3, 0, QStringLiteral("Integral Limit"), false, "integralLimitEdit");
    m_pKv = AddEdit(grid, 4, 0, QStringLiteral("Velocity"), true, "velocityGainEdit");
    m_pKvff = AddEdit(grid, 5, 0, QStringLiteral("Velocity Feedforward Gain"), true,
                      "velocityFeedforwardEdit");

    // Sliding mode.
    m_pKs = new NumSpinCtrl(NumericChars::Decimal, {0.0, 10.0, 0.01, "%.2lf"}, this);
    m_pKs->setObjectName(QStringLiteral("slidingGainSpin"));
    m_pKs->setAccessibleName(QStringLiteral("Sliding (Ks)"));
    m_pKs->setMaximumWidth(110);
    auto* ksLabel = new QLabel(QStringLiteral("Sliding (Ks)"), this);
    ksLabel->setBuddy(m_pKs);
    grid->addWidget(ksLabel, 2, 0);
    grid->addWidget(m_pKs, 2, 1);
    m_pA1 = AddEdit(grid, 3, 0, QStringLiteral("Acceleration Factor (a1)"), true,
                    "accelerationFactorEdit");
    m_pB1 = AddEdit(grid, 4, 0, QStringLiteral("Rising Speed (b1)"), true, "risingSpeedEdit");
    m_pShowAdvanced = new QCheckBox(QStringLiteral("Show Adv. Tuning"), this);
    m_pShowAdvanced->setObjectName(QStringLiteral("showAdvancedCheck"));
    grid->addWidget(m_pShowAdvanced, 5, 0);
    m_pHelp = new QPushButton(QStringLiteral("Help..."), this);
    m_pHelp->setObjectName(QStringLiteral("slidingHelpButton"));
    grid->addWidget(m_pHelp, 5, 1);
    m_pEpsilon = AddEdit(grid, 6, 0, QStringLiteral("Switching Factor (epsilon)"), true,
                         "switchingFactorEdit");
    m_pScale =
        AddEdit(grid, 7, 0, QStringLiteral("Signed Sliding Scale Factor"), true, "scaleFactorEdit");
    m_pModeFilter =
        AddEdit(grid, 8, 0, QStringLiteral("Mode Filter Constant"), true, "modeFilterEdit");
    m_pAddPiv = new QCheckBox(QStringLiteral("Add PIV Gains"), this);
    m_pAddPiv->setObjectName(QStringLiteral("addPivGainsCheck"));
    grid->addWidget(m_pAddPiv, 1, 2, 1, 2);
    m_pAddedKi = AddEdit(grid, 2, 2, QStringLiteral("Integral Gain"), true, "addedIntegralEdit");
    m_pAddedIntegralLimit =
        AddEdit(grid, 3, 2, QStringLiteral("Integral Limit"), false, "addedIntegralLimitEdit");
    m_pAddedKv = AddEdit(grid, 4, 2, QStringLiteral("Velocity"), true, "addedVelocityGainEdit");
    m_pAddedKvff = AddEdit(grid, 5, 2, QStringLiteral("Velocity Feedforward Gain"), true,
                           "addedVelocityFeedforwardEdit");
    // The added boxes share their labels with the PIV boxes; the reader
    // tells them apart.
    for (NumericEdit* added : {m_pAddedKi, m_pAddedIntegralLimit, m_pAddedKv, m_pAddedKvff})
        added->setAccessibleName(added->accessibleName() + QStringLiteral(" (added PIV)"));

    connect(m_pMode, &QComboBox::currentIndexChanged, this, [this] { ApplyVisibility(); });
    connect(m_pShowAdvanced, &QCheckBox::toggled, this, [this] { ApplyVisibility(); });
    connect(m_pAddPiv, &QCheckBox::toggled, this, [this] { ApplyVisibility(); });
    connect(m_pHelp, &QPushButton::clicked, this, [this] { ORVEX_GUARDED([&] { ShowHelp(); }); });
    SetDefaults();
}

NumericEdit* CPositionGains4Fields::AddEdit(QGridLayout* grid, int row, int column,
                                            const QString& label, bool decimal,
                                            const char* objectName)
{
    auto* edit = new NumericEdit(decimal ? NumericChars::Decimal : NumericChars::Digits, this);
    edit->setObjectName(QLatin1String(objectName));
    edit->setAccessibleName(label);
    edit->setMaximumWidth(110);
    auto* caption = new QLabel(label, this);
    caption->setBuddy(edit);
    grid->addWidget(caption, row, column);
    grid->addWidget(edit, row, column + 1);
    return edit;
}

void CPositionGains4Fields::SetDefaults()
{
    m_pMode->setCurrentIndex(PositionGains4Values::PivMode);
    m_pKp->setText(QStringLiteral("0.60"));
    m_pKi->setText(QStringLiteral("1.00"));
    m_pIntegralLimit->setText(QStringLiteral("1"));
    m_pKv->setText(QStringLiteral("1.40"));
    m_pKvff->setText(QStringLiteral("1.00"));
    m_pKs->SetValue(0.25);
    m_pA1->setText(QStringLiteral("0.5"));
    m_pB1->setText(QStringLiteral("100"));
    m_pEpsilon->setText(QStringLiteral("10"));
    m_pScale->setText(QStringLiteral("0.01"));
    m_pModeFilter->setText(QStringLiteral("0.3"));
    m_pAddedKi->setText(QStringLiteral("1.00"));
    m_pAddedIntegralLimit->setText(QStringLiteral("1"));
    m_pAddedKv->setText(QStringLiteral("1.40"));
    m_pAddedKvff->setText(QStringLiteral("1.00"));
    ApplyVisibility();
}

void CPositionGains4Fields::FillFromConfig(const IOrvexConfig& config)
{
    const int mode = config.TuningMode() == PositionGains4Values::SlidingMode
                         ? PositionGains4Values::SlidingMode
                         : PositionGains4Values::PivMode;
    m_pMode->setCurrentIndex(mode);
    m_pKp->SetDecimal(config.PositionLoopKp());
    // Both sets of PIV boxes show the configured gains; a sliding-mode
    // configuration with PIV gains has them added, so writing it back keeps them.
    const double ki = config.PositionLoopKi();
    const int limit = config.PositionLoopIntegralLimit();
    const double kv = config.PositionLoopKv();
    const double kvff = config.PositionLoopKvff();
    for (NumericEdit* edit : {m_pKi, m_pAddedKi})
        edit->SetDecimal(ki);
    for (NumericEdit* edit : {m_pIntegralLimit, m_pAddedIntegralLimit})
        edit->SetInteger(limit);
    for (NumericEdit* edit : {m_pKv, m_pAddedKv})
        edit->SetDecimal(kv);
    for (NumericEdit* edit : {m_pKvff, m_pAddedKvff})
        edit->SetDecimal(kvff);
    if (mode == PositionGains4Values::SlidingMode)
        m_pAddPiv->setChecked(ki != 0.0 || limit != 0 || kv != 0.0 || kvff != 0.0);
    m_pKs->SetValue(config.SlidingGain());
    m_pA1->SetDecimal(config.AccelerationFactor());
    m_pB1->SetDecimal(config.RisingSpeed());
    m_pEpsilon->SetDecimal(config.SwitchingFactor());
    m_pScale->SetDecimal(config.SignedSlidingScaleFactor());
    m_pModeFilter->SetDecimal(config.ModeFilterConstant());
    ApplyVisibility();
}

PositionGains4Values CPositionGains4Fields::Values() const
{
    PositionGains4Values v;
    v.TuningMode = std::max(m_pMode->currentIndex(), 0);
    v.Kp = m_pKp->Decimal();
    v.Ki = m_pKi->Decimal();
    v.IntegralLimit = m_pIntegralLimit->Integer();
    v.Kv = m_pKv->Decimal();
    v.Kvff = m_pKvff->Decimal();
    v.Ks = m_pKs->Value();
    v.A1 = m_pA1->Decimal();
    v.B1 = m_pB1->Decimal();
    v.Epsilon = m_pEpsilon->Decimal();
    v.ScaleFactor = m_pScale->Decimal();
    v.ModeFilter = m_pModeFilter->Decimal();
    v.ShowAdvanced = m_pShowAdvanced->isChecked();
    v.AddPiv = m_pAddPiv->isChecked();
    v.AddedKi = m_pAddedKi->Decimal();
    v.AddedIntegralLimit = m_pAddedIntegralLimit->Integer();
    v.AddedKv = m_pAddedKv->Decimal();
    v.AddedKvff = m_pAddedKvff->Decimal();
    return v;
}

void CPositionGains4Fields::ShowValues(const PositionGains4Values& v)
{
    m_pMode->setCurrentIndex(v.TuningMode);
    m_pKp->SetDecimal(v.Kp);
    m_pKi->SetDecimal(v.Ki);
    m_pIntegralLimit->SetInteger(v.IntegralLimit);
    m_pKv->SetDecimal(v.Kv);
    m_pKvff->SetDecimal(v.Kvff);
    m_pKs->SetValue(v.Ks);
    m_pA1->SetDecimal(v.A1);
    m_pB1->SetDecimal(v.B1);
    m_pEpsilon->SetDecimal(v.Epsilon);
    m_pScale->SetDecimal(v.ScaleFactor);
    m_pModeFilter->SetDecimal(v.ModeFilter);
    m_pShowAdvanced->setChecked(v.ShowAdvanced);
    m_pAddPiv->setChecked(v.AddPiv);
    m_pAddedKi->SetDecimal(v.AddedKi);
    m_pAddedIntegralLimit->SetInteger(v.AddedIntegralLimit);
    m_pAddedKv->SetDecimal(v.AddedKv);
    m_pAddedKvff->SetDecimal(v.AddedKvff);
    ApplyVisibility();
}

bool CPositionGains4Fields::Sliding() const
{
    return m_pMode->currentIndex() == PositionGains4Values::SlidingMode;
}

void CPositionGains4Fields::ApplyVisibility()
{
    const bool sliding = Sliding();
    for (QWidget* piv : {static_cast<QWidget*>(m_pKi), static_cast<QWidget*>(m_pIntegralLimit),
                         static_cast<QWidget*>(m_pKv), static_cast<QWidget*>(m_pKvff)})
        ShowWithLabel(piv, !sliding);
    for (QWidget* basic :
         {static_cast<QWidget*>(m_pKs), static_cast<QWidget*>(m_pA1), static_cast<QWidget*>(m_pB1)})
        ShowWithLabel(basic, sliding);
    m_pHelp->setVisible(sliding);
    m_pShowAdvanced->setVisible(sliding);
    m_pAddPiv->setVisible(sliding);
    for (QWidget* advanced : {m_pEpsilon, m_pScale, m_pModeFilter})
        ShowWithLabel(advanced, sliding && m_pShowAdvanced->isChecked());
    for (QWidget* added : {m_pAddedKi, m_pAddedIntegralLimit, m_pAddedKv, m_pAddedKvff})
        ShowWithLabel(added, sliding && m_pAddPiv->isChecked());
}

std::array<FieldRule, 5> CPositionGains4Fields::Rules() const
{
    const bool added = Sliding();
    return {{
        {m_pKp, F::PositionLoopKp.Parameter, 0, 0,
         "Proportional Gain must be between %.2lf and %.2lf", nullptr, false},
        {added ? m_pAddedKi : m_pKi, F::PositionLoopKi.Parameter, 0, 0,
         "Integral Gain must be between %.2lf and %.2lf", nullptr, false},
        {added ? m_pAddedIntegralLimit : m_pIntegralLimit, F::PositionLoopIntegralLimit.Parameter,
         0, 0, "Integral Limit must be between %.0lf and %.0lf", nullptr, true},
        {added ? m_pAddedKv : m_pKv, F::PositionLoopKv.Parameter, 0, 0,
         "Velocity Gain must be between %.2lf and %.2lf", nullptr, false},
        {added ? m_pAddedKvff : m_pKvff, F::PositionLoopKvff.Parameter, 0, 0,
         "Velocity Feedforward Gain must be between %.2lf and %.2lf", nullptr, false},
    }};
}

void CPositionGains4Fields::WritePivGains(IOrvexConfig& config) const
{
    config.SetPositionLoopKp(static_cast<float>(m_pKp->Decimal()));
    if (!Sliding()) {
        config.SetPositionLoopKi(static_cast<float>(m_pKi->Decimal()));
        config.SetPositionLoopIntegralLimit(m_pIntegralLimit->Integer());
        config.SetPositionLoopKv(static_cast<float>(m_pKv->Decimal()));
        config.SetPositionLoopKvff(static_cast<float>(m_pKvff->Decimal()));
    } else if (m_pAddPiv->isChecked()) {
        config.SetPositionLoopKi(static_cast<float>(m_pAddedKi->Decimal()));
        config.SetPositionLoopIntegralLimit(m_pAddedIntegralLimit->Integer());
        config.SetPositionLoopKv(static_cast<float>(m_pAddedKv->Decimal()));
        config.SetPositionLoopKvff(static_cast<float>(m_pAddedKvff->Decimal()));
    } else {
        // The sliding-mode controller alone.
        config.SetPositionLoopKi(0.0f);
        config.SetPositionLoopIntegralLimit(0);
        config.SetPositionLoopKv(0.0f);
        config.SetPositionLoopKvff(0.0f);
    }
}

void CPositionGains4Fields::WriteModeAndSliding(IOrvexConfig& config) const
{
    config.SetTuningMode(std::max(m_pMode->currentIndex(), 0));
    config.SetSlidingGain(static_cast<float>(m_pKs->Value()));
    config.SetAccelerationFactor(static_cast<float>(m_pA1->Decimal()));
    config.SetRisingSpeed(static_cast<float>(m_pB1->Decimal()));
    config.SetSwitchingFactor(static_cast<float>(m_pEpsilon->Decimal()));
    config.SetSignedSlidingScaleFactor(static_cast<float>(m_pScale->Decimal()));
    config.SetModeFilterConstant(static_cast<float>(m_pModeFilter->Decimal()));
}

QString CPositionGains4Fields::HelpText()
{
    return QStringLiteral(
        "Sliding mode drives the position error and its rate of change onto a sliding "
        "line, where the error decays at a set rate, and holds it there against load "
        "changes.\n\n"
        "Sliding (Ks): how hard the controller pushes back towards the sliding line. "
        "Raise it for a stiffer response; too high a value makes the motor chatter.\n"
        "Acceleration Factor (a1): the share of the commanded acceleration fed forward.\n"
        "Rising Speed (b1): how fast the error is made to decay on the sliding line; "
        "higher values give a faster rise and less settling time.\n\n"
        "Advanced:\n"
        "Switching Factor (epsilon): the width of the band around the sliding line in which "
        "the switching is smoothed; a wider band means less chatter and a softer hold.\n"
        "Signed Sliding Scale Factor: scales the switching term to the drive's units.\n"
        "Mode Filter Constant: filters the sliding variable (0 to 1); higher values filter "
        "more.\n\n"
        "Add PIV Gains adds the integral and velocity gains of the PIV controller to the "
        "sliding mode; without it they are set to 0.\n"
        "Auto Tune measures the load to rotor inertia ratio the sliding mode needs.");
}

void CPositionGains4Fields::ShowHelp()
{
    m_ui.ShowMessage(QStringLiteral("Sliding Mode Tuning"), HelpText());
}

} // namespace Orvex
