#include "PositionGainsDlg.h"

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

CPositionGainsDlg::CPositionGainsDlg(AppContext& context, QWidget* parent)
    : TGainsPanel(context, parent)
{
    setObjectName(QStringLiteral("positionGains"));
    QGridLayout* grid = GroupIn(QStringLiteral("Specify Position Loop Gains"));
    m_pKp = AddEdit(grid, 0, QStringLiteral("Proportional Gain"), true, "proportionalGainEdit");
    m_pKi = AddEdit(grid, 1, QStringLiteral("Integral Gain"), true, "integralGainEdit");
    m_pIntegralLimit =
        AddEdit(grid, 2, QStringLiteral("Integral Limit"), false, "integralLimitEdit");
    m_pKv = AddEdit(grid, 3, QStringLiteral("Velocity Gain"), true, "velocityGainEdit");
    m_pKvff = AddEdit(grid, 4, QStringLiteral("Velocity Feedforward Gain"), true,
                      "velocityFeedforwardGainEdit");
    SetDefaults();
}

void CPositionGainsDlg::SetDefaults()
{
    m_pKp->setText(QStringLiteral("0.60"));
    m_pKi->setText(QStringLiteral("1.00"));
    m_pIntegralLimit->setText(QStringLiteral("1"));
    m_pKv->setText(QStringLiteral("1.40"));
    m_pKvff->setText(QStringLiteral("1.00"));
}

void CPositionGainsDlg::FillFromConfig()
{
    const IOrvexConfig& config = m_context.Config;
    m_pKp->SetDecimal(config.PositionLoopKp());
    m_pKi->SetDecimal(config.PositionLoopKi());
    m_pIntegralLimit->SetInteger(config.PositionLoopIntegralLimit());
    m_pKv->SetDecimal(config.PositionLoopKv());
    m_pKvff->SetDecimal(config.PositionLoopKvff());
}

bool CPositionGainsDlg::Validate()
{
    const auto gains =
        LoopGainRules(m_pKp, m_pKi, m_pIntegralLimit, F::PositionLoopKp.Parameter,
                      F::PositionLoopKi.Parameter, F::PositionLoopIntegralLimit.Parameter);
    const FieldRule rest[] = {
        {m_pKv, F::PositionLoopKv.Parameter, 0, 0, "Velocity Gain must be between %.2lf and %.2lf",
         nullptr, false},
        {m_pKvff, F::PositionLoopKvff.Parameter, 0, 0,
         "Velocity Feedforward Gain must be between %.2lf and %.2lf", nullptr, false},
    };
    return FieldValidation::Run(m_context.Ui, gains, m_context.Limits) &&
           FieldValidation::Run(m_context.Ui, rest, m_context.Limits);
}

void CPositionGainsDlg::WriteToConfig()
{
    IOrvexConfig& config = m_context.Config;
    config.SetPositionLoopKp(static_cast<float>(m_pKp->Decimal()));
    config.SetPositionLoopKi(static_cast<float>(m_pKi->Decimal()));
    config.SetPositionLoopIntegralLimit(m_pIntegralLimit->Integer());
    config.SetPositionLoopKv(static_cast<float>(m_pKv->Decimal()));
    config.SetPositionLoopKvff(static_cast<float>(m_pKvff->Decimal()));
}

} // namespace Orvex
