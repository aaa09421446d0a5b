#pragma once

#include "ConfirmDriveDlg.h"

namespace Orvex {

// "Return to Factory Settings": every drive setting back to its default.
class CRFSDlg final : public TConfirmDriveDlg
{
    Q_OBJECT

public:
    static constexpr int TimeoutMs = 20000;

    CRFSDlg(AppContext& context, IMainWindow& mainWindow, QWidget* parent = nullptr);

protected:
    QString WaitText() const override;
    void CarryOut(IOrvexConfig& config) override;
};

} // namespace Orvex
