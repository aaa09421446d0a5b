#pragma once

#include "SignalPanel.h"

namespace Orvex {

// The command signal panel of a torque drive: the analog input is a torque
// (or, for a linear motor, a force) command.
class CTorqueSignalDlg final : public TAnalogSignalPanel
{
    Q_OBJECT

public:
    CTorqueSignalDlg(TunerContext& tuning, ISignalCommands& commands, QWidget* parent = nullptr);

protected:
    float ScalingOf() const override;
    void SetScalingOf(float value) override;
};

} // namespace Orvex
