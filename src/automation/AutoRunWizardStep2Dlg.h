#pragma once

#include "AutoRunPage.h"

namespace Orvex {

// Step 2: how to judge the test while the motor turns.
class CAutoRunWizardStep2Dlg final : public TAutoRunPage
{
    Q_OBJECT

public:
    explicit CAutoRunWizardStep2Dlg(QWidget* parent = nullptr);
};

} // namespace Orvex
