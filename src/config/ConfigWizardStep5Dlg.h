#pragma once

#include "WizardStepPage.h"

class QCheckBox;

namespace Orvex {

// Step 5 of the configuration wizard: what happens on "&Finish", saving the
// configuration to a file and downloading it into the drive.
class CConfigWizardStep5Dlg final : public TWizardStepPage
{
    Q_OBJECT

public:
    CConfigWizardStep5Dlg(AppContext& context, IMainWindow& mainWindow, IConfigWorkflow& workflow,
                          QWidget* parent = nullptr);

    // The page holds only its two choices; they stay as the user left them.
    void FillFromConfig() override {}
    void ResetToDefaults() override {}
    void WriteToConfig() override {}

    QCheckBox* SaveBox() const { return m_pSave; }
    QCheckBox* DownloadBox() const { return m_pDownload; }

protected:
    void OnNext() override;
    void OnBack() override;

private:
    QCheckBox* m_pSave = nullptr;
    QCheckBox* m_pDownload = nullptr;
};

} // namespace Orvex
