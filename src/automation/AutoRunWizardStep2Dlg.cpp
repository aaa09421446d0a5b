#include "AutoRunWizardStep2Dlg.h"

namespace Orvex {

CAutoRunWizardStep2Dlg::CAutoRunWizardStep2Dlg(QWidget* parent) : TAutoRunPage(parent)
{
    setObjectName(QStringLiteral("autoRunStep2"));
    AddHeading("evaluationHeading", QStringLiteral("Evaluation:"), Qt::blue, false);
    AddLines({QStringLiteral("1.  If the motor is moving clockwise at 1 revolution per second, "
                             "then the test passed."),
              QStringLiteral("2.  Otherwise, the test failed, and there is possibly a "
                             "configuration error or a wiring problem.   \nCheck the Status "
                             "Panel for possible configuration errors."),
              QStringLiteral("Click the 'Finish' pushbutton to stop motion and end the test.")});
    EndPage();
}

} // namespace Orvex
