#include "TorqueSignalDlg.h"

#include "AppContext.h"
#include "OrvexConfig.h"
#include "TunerPage.h"

namespace Orvex {

CTorqueSignalDlg::CTorqueSignalDlg(TunerContext& tuning, ISignalCommands& commands, QWidget* parent)
    : TAnalogSignalPanel(tuning, commands,
                         {QStringLiteral("Zero Commmand Reference Voltage (V)"),
                          QStringLiteral("Torque Scaling (Nm/10V)"),
                          QStringLiteral("Force Scaling (N/10V)"), "DMTSCL %1\r",
                          QStringLiteral("0.00"), 68,
                          "Torque Scaling must be between %.2lf and %.2lf Nm/10V",
                          "Force Scaling must be between %.2lf and %.2lf N/10V"},
                         parent)
{
    setObjectName(QStringLiteral("torqueSignal"));
}

float CTorqueSignalDlg::ScalingOf() const
{
    return m_tuning.Config().TorqueScaling();
}

void CTorqueSignalDlg::SetScalingOf(float value)
{
    m_tuning.Config().SetTorqueScaling(value);
}

} // namespace Orvex
