#pragma once

#include "GainsPanel.h"

namespace Orvex {

// Torque mode has no loop above the current loop: its panel is empty.
class CTorqueGainsDlg final : public TGainsPanel
{
    Q_OBJECT

public:
    explicit CTorqueGainsDlg(AppContext& context, QWidget* parent = nullptr);

    void SetDefaults() override {}
    void FillFromConfig() override {}
    bool Validate() override { return true; }
    void WriteToConfig() override {}
};

} // namespace Orvex
