#pragma once

#include "AutoRunPage.h"

namespace Orvex {

// Step 1: the conditions and warnings before the drive turns the motor.
class CAutoRunWizardStep1Dlg final : public TAutoRunPage
{
    Q_OBJECT

public:
    explicit CAutoRunWizardStep1Dlg(QWidget* parent = nullptr);
};

} // namespace Orvex
