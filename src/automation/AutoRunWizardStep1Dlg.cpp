#include "AutoRunWizardStep1Dlg.h"

namespace Orvex {

CAutoRunWizardStep1Dlg::CAutoRunWizardStep1Dlg(QWidget* parent) : TAutoRunPage(parent)
{
    setObjectName(QStringLiteral("autoRunStep1"));
    AddLines({QStringLiteral("The Auto Run Test Wizard is used to exercise the basic "
                             "functionality of your Orvex drive.")});
    AddHeading("conditionsHeading", QStringLiteral("Conditions:"), Qt::blue, false);
    AddLines({QStringLiteral("1.  The drive must be configured for the selected motor, and there "
                             "can be no configuration errors."),
              QStringLiteral("2.  If your drive is connected to a controller, then the "
                             "controller's servo loop must be disabled."),
              QStringLiteral("3.  AC power must be supplied to the drive."),
              QStringLiteral("4.  The drive must be enabled.")});
    AddHeading("warningsHeading", QStringLiteral("Warnings:"), Qt::red, true);
    AddLines({QStringLiteral("1.  Clicking the 'Next' pushbutton will cause motion!!!"),
              QStringLiteral("2.  The motor will run with 90% of continuous current, which will "
                             "significantly heat up the motor if \nleft on indefinitely."),
              QStringLiteral("3.  The motor should be disconnected from the load, so that the "
                             "motor is free to spin."),
              QStringLiteral("4.  If your drive is connected to a controller, then the "
                             "controller's servo loop must be disabled."),
              QStringLiteral("When all of the above conditions are met and the warnings are "
                             "understood, then click the 'Next'\npushbutton to start motion.")});
    EndPage();
}

} // namespace Orvex
