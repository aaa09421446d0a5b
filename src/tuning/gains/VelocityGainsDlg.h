#pragma once

#include "GainsPanel.h"

namespace Orvex {

class NumericEdit;

// "Specify Velocity Loop Gains".
class CVelocityGainsDlg final : public TGainsPanel
{
    Q_OBJECT

public:
    explicit CVelocityGainsDlg(AppContext& context, QWidget* parent = nullptr);

    void SetDefaults() override;
    void FillFromConfig() override;
    bool Validate() override;
    void WriteToConfig() override;

private:
    NumericEdit* m_pKp = nullptr;
    NumericEdit* m_pKi = nullptr;
    NumericEdit* m_pIntegralLimit = nullptr;
};

} // namespace Orvex
