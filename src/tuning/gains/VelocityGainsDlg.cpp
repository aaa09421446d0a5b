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
    m_pKp->SetDecimal(config.VelocityLoopKp());
    m_pKi->SetDecimal(config.VelocityLoopKi());
    m_pIntegralLimit->SetInteger(config.VelocityLoopIntegralLimit());
}

bool CVelocityGainsDlg::Validate()
{
    const auto gains =
        LoopGainRules(m_pKp, m_pKi, m_pIntegralLimit, F::VelocityLoopKp.Parameter,
                      F::VelocityLoopKi.Parameter, F::VelocityLoopIntegralLimit.Parameter);
    return FieldValidation::Run(m_context.Ui, gains, m_context.Limits);
}

void CVelocityGainsDlg::WriteToConfig()
{
    IOrvexConfig& config = m_context.Config;
    config.SetVelocityLoopKp(static_cast<float>(m_pKp->Decimal()));
    config.SetVelocityLoopKi(static_cast<float>(m_pKi->Decimal()));
    config.SetVelocityLoopIntegralLimit(m_pIntegralLimit->Integer());
}

} // namespace Orvex
