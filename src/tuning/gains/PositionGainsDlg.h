#pragma once

#include "GainsPanel.h"

namespace Orvex {

class NumericEdit;

// "Specify Position Loop Gains".
class CPositionGainsDlg final : public TGainsPanel
{
    Q_OBJECT

public:
    explicit CPositionGainsDlg(AppContext& context, QWidget* parent = nullptr);

    void SetDefaults() override;
    void FillFromConfig() override;
    bool Validate() override;
    void WriteToConfig() override;

private:
    NumericEdit* m_pKp = nullptr;
    NumericEdit* m_pKi = nullptr;
    NumericEdit* m_pIntegralLimit = nullptr;
    NumericEdit* m_pKv = nullptr;
    NumericEdit* m_pKvff = nullptr;
};

} // namespace Orvex
