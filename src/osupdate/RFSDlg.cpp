#include "RFSDlg.h"

#include "OrvexConfig.h"

namespace Orvex {

CRFSDlg::CRFSDlg(AppContext& context, IMainWindow& mainWindow, QWidget* parent)
    : TConfirmDriveDlg(
          context, mainWindow, QStringLiteral("Return to Factory Settings"),
          QStringLiteral(
              "Would you like to restore all Orvex drive settings to their factory defaults?"),
          parent)
{
    setObjectName(QStringLiteral("rfsDlg"));
}

QString CRFSDlg::WaitText() const
{
    return QStringLiteral("Restoring Orvex factory settings...");
}

void CRFSDlg::CarryOut(IOrvexConfig& config)
{
    config.RestoreFactorySettings(TimeoutMs);
}

} // namespace Orvex
