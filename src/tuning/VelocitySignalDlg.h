#pragma once

#include "SignalPanel.h"

namespace Orvex {

// The command signal panel of a velocity drive: the analog input is a
// velocity command.
class CVelocitySignalDlg final : public TAnalogSignalPanel
{
    Q_OBJECT

public:
    CVelocitySignalDlg(TunerContext& tuning, ISignalCommands& commands, QWidget* parent = nullptr);

protected:
    float ScalingOf() const override;
    void SetScalingOf(float value) override;
};

} // namespace Orvex
