#include "VelocitySignalDlg.h"

#include "AppContext.h"
#include "OrvexConfig.h"
#include "TunerPage.h"

namespace Orvex {

CVelocitySignalDlg::CVelocitySignalDlg(TunerContext& tuning, ISignalCommands& commands,
                                       QWidget* parent)
    : TAnalogSignalPanel(tuning, commands,
                         {QStringLiteral("Zero Command Reference Voltage (V)"),
                          QStringLiteral("Velocity Scaling (rps/10V)"),
                          QStringLiteral("Velocity Scaling (rps/10V)"), "DMVSCL %1\r",
                          QStringLiteral("4.00"), 194,
                          "Velocity Scaling must be between %.2lf and %.2lf rps/10V", nullptr},
                         parent)
{
    setObjectName(QStringLiteral("velocitySignal"));
}

float CVelocitySignalDlg::ScalingOf() const
{
    return m_tuning.Config().VelocityScaling();
}

void CVelocitySignalDlg::SetScalingOf(float value)
{
    m_tuning.Config().SetVelocityScaling(value);
}

} // namespace Orvex
