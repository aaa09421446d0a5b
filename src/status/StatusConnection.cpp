#include "StatusConnection.h"

#include "AppContext.h"
#include "ComponentFactory.h"
#include "DriveGate.h"
#include "ErrorReport.h"
#include "OrvexStatus.h"
#include "UiServices.h"

namespace Orvex {

std::unique_ptr<IOrvexStatus> ConnectStatus(AppContext& context, DriveGate& gate)
{
    std::unique_ptr<IOrvexStatus> status;
    try {
        status = context.Factory.Create<IOrvexStatus>(QString::fromLatin1(ProgId::BridgeStatus));
    } catch (const ComponentError&) {
        ORVEX_REPORT_CURRENT_EXCEPTION();
    }
    if (!status) {
        ShowErrorMessage(context.Ui, QStringLiteral("Status Update Error"),
                         QStringLiteral("IStatus not created"));
        return nullptr;
    }
    if (!gate.Reach(*status, DriveGate::Report::MessageBox, DriveGate::CommunicationsError, false))
        return nullptr;
    return status;
}

} // namespace Orvex
