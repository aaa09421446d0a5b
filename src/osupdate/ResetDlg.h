#pragma once

#include "ConfirmDriveDlg.h"

namespace Orvex {

// "Reset Drive": the drive restarts as at power-up.
class CResetDlg final : public TConfirmDriveDlg
{
    Q_OBJECT

public:
    static constexpr int TimeoutMs = 10000;

    CResetDlg(AppContext& context, IMainWindow& mainWindow, QWidget* parent = nullptr);

protected:
    QString WaitText() const override;
    void CarryOut(IOrvexConfig& config) override;
};

} // namespace Orvex
