#include "ResetDlg.h"

#include "OrvexConfig.h"

namespace Orvex {

CResetDlg::CResetDlg(AppContext& context, IMainWindow& mainWindow, QWidget* parent)
    : TConfirmDriveDlg(
          context, mainWindow, QStringLiteral("Reset Drive"),
          QStringLiteral("Would you like to reset the Orvex drive to its power-up state?"), parent)
{
    setObjectName(QStringLiteral("resetDlg"));
}

QString CResetDlg::WaitText() const
{
    return QStringLiteral("Resetting Orvex drive...");
}

void CResetDlg::CarryOut(IOrvexConfig& config)
{
    config.ResetDrive(false, TimeoutMs);
}

} // namespace Orvex
