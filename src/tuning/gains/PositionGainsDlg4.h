#pragma once

#include "GainsPanel.h"

namespace Orvex {

class CPositionGains4Fields;

// "Specify Position Loop Gains" for the auto tuning position loop: PIV or
// sliding mode, with the same boxes as its tuner but no move profile.
class CPositionGainsDlg4 final : public TGainsPanel
{
    Q_OBJECT

public:
    explicit CPositionGainsDlg4(AppContext& context, QWidget* parent = nullptr);

    void SetDefaults() override;
    void FillFromConfig() override;
    bool Validate() override;
    void WriteToConfig() override;

    CPositionGains4Fields* Fields() const { return m_pFields; }

private:
    CPositionGains4Fields* m_pFields = nullptr;
};

} // namespace Orvex
