#include "PositionGainsDlg4.h"

#include "AppContext.h"
#include "FieldValidation.h"
#include "PositionGains4Fields.h"

#include <QGridLayout>

namespace Orvex {

CPositionGainsDlg4::CPositionGainsDlg4(AppContext& context, QWidget* parent)
    : TGainsPanel(context, parent)
{
    setObjectName(QStringLiteral("positionGains4"));
    QGridLayout* grid = GroupIn(QStringLiteral("Specify Position Loop Gains"));
    m_pFields = new CPositionGains4Fields(context.Ui, this);
    grid->addWidget(m_pFields, 0, 0);
}

void CPositionGainsDlg4::SetDefaults()
{
    m_pFields->SetDefaults();
}

void CPositionGainsDlg4::FillFromConfig()
{
    m_pFields->FillFromConfig(m_context.Config);
}

bool CPositionGainsDlg4::Validate()
{
    return FieldValidation::Run(m_context.Ui, m_pFields->Rules(), m_context.Limits);
}

void CPositionGainsDlg4::WriteToConfig()
{
    m_pFields->WritePivGains(m_context.Config);
    m_pFields->WriteModeAndSliding(m_context.Config);
}

} // namespace Orvex
