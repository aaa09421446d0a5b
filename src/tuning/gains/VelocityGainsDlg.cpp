#include "VelocityGainsDlg.h"

#include "AppContext.h"
#include "ConfigFields.h"
#include "FieldValidation.h"
#include "NumericEdit.h"
#include "OrvexConfig.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace Orvex {

namespace {

namespace F = ConfigFields;

QString Decimal(float value)
{
    return QString::asprintf("%.2f", static_cast<double>(value));
}

} // namespace

CVelocityGainsDlg::CVelocityGainsDlg(AppContext& context, QWidget* parent)
    : TGainsPanel(context, parent)
{
    setObjectName(QStringLiteral("velocityGains"));
    QGridLayout* grid = GroupIn(QStringLiteral("Specify Velocity Loop Gains"));
    m_pKp = AddEdit(grid, 0, QStringLiteral("Proportional Gain"), true, "proportionalGainEdit");
    m_pKi = AddEdit(grid, 1, QStringLiteral("Integral Gain"), true, "integralGainEdit");
    m_pIntegralLimit =
        AddEdit(grid, 2, QStringLiteral("Integral Limit"), false, "integralLimitEdit");
    SetDefaults();
}

void CVelocityGainsDlg::SetDefaults()
{
    m_pKp->setText(QStringLiteral("0.60"));
    m_pKi->setText(QStringLiteral("1.00"));
    m_pIntegralLimit->setText(QStringLiteral("1"));
}

void CVelocityGainsDlg::FillFromConfig()
{
    const IOrvexConfig& config = m_context.Config;
    m_pKp->setText(Decimal(config.VelocityLoopKp()));
    m_pKi->setText(Decimal(config.VelocityLoopKi()));
    m_pIntegralLimit->SetInteger(config.VelocityLoopIntegralLimit());
}

bool CVelocityGainsDlg::Validate()
{
    const FieldRule rules[] = {
        {m_pKp, F::VelocityLoopKp.Parameter, 0, 0,
         "Proportional Gain must be between %.2lf and %.2lf", nullptr, false},
        {m_pKi, F::VelocityLoopKi.Parameter, 0, 0, "Integral Gain must be between %.2lf and %.2lf",
         nullptr, false},
        {m_pIntegralLimit, F::VelocityLoopIntegralLimit.Parameter, 0, 0,
         "Integral Limit must be between %.0lf and %.0lf", nullptr, true},
    };
    return FieldValidation::Run(m_context.Ui, rules, m_context.Limits);
}

void CVelocityGainsDlg::WriteToConfig()
{
    IOrvexConfig& config = m_context.Config;
    config.SetVelocityLoopKp(static_cast<float>(m_pKp->Decimal()));
    config.SetVelocityLoopKi(static_cast<float>(m_pKi->Decimal()));
    config.SetVelocityLoopIntegralLimit(m_pIntegralLimit->Integer());
}

} // namespace Orvex
