#include "PositionSignalDlg.h"

#include "AppContext.h"
#include "OrvexConfig.h"
#include "TunerPage.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

namespace Orvex {

namespace {

constexpr int ResolutionParameter = 188;

} // namespace

CPositionSignalDlg::CPositionSignalDlg(TunerContext& tuning, ISignalCommands& commands,
                                       QWidget* parent)
    : TSignalPanel(tuning, commands, parent)
{
    setObjectName(QStringLiteral("positionSignal"));
    auto* grid = new QGridLayout(this);
    m_pResolution =
        AddEdit(grid, 0, QStringLiteral("Set Step Input Resolution"), NumericChars::Digits,
                "resolutionEdit", ActiveOnEnterAndReset, "DRES %1\r");
    m_pResolution->setAccessibleName(
        QStringLiteral("Set Step Input Resolution (counts per revolution)"));
    grid->addWidget(new QLabel(QStringLiteral("counts per revolution"), this), 1, 1);
    AddDirection(grid, 2);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(3, 1);
}

void CPositionSignalDlg::SetDefaults()
{
    m_linear = false;
    m_pResolution->setText(QStringLiteral("4000"));
    ShowDirection(false, 0);
}

void CPositionSignalDlg::FillFromConfiguration()
{
    const IOrvexConfig& config = m_tuning.Config();
    m_linear = config.MotorIsLinear() != 0;
    m_pResolution->SetInteger(config.StepInputResolution());
    ShowDirection(m_linear, config.CommandDirection());
}

std::vector<FieldRule> CPositionSignalDlg::Rules() const
{
    FieldRule resolution;
    resolution.Edit = m_pResolution;
    resolution.Parameter = ResolutionParameter;
    resolution.Message = "Step Input Resolution must be between %.0lf and %.0lf counts";
    resolution.Integer = true;
    return {resolution};
}

void CPositionSignalDlg::WriteToConfiguration()
{
    IOrvexConfig& config = m_tuning.Config();
    config.SetCommandDirection(DirectionCombo()->currentIndex());
    config.SetStepInputResolution(m_pResolution->Integer());
}

} // namespace Orvex
