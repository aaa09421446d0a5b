#include "TorqueGainsDlg.h"

namespace Orvex {

CTorqueGainsDlg::CTorqueGainsDlg(AppContext& context, QWidget* parent)
    : TGainsPanel(context, parent)
{
    setObjectName(QStringLiteral("torqueGains"));
}

} // namespace Orvex
