#pragma once

#include "WizardContracts.h"
#include "WizardState.h"

#include <array>
#include <vector>

namespace Orvex {

struct AppContext;
class IMainWindow;

// The wizard and tuning pages' go-between: holds the wizard's state, knows
// the registered steps and tuning pages through their interfaces only, and
// carries out what spans several pages (refills, resets, upload, save and
// download).
class CConfigWorkflow final : public IConfigWorkflow
{
public:
    static constexpr int UploadNoticeMs = 2000;
    static constexpr int DownloadNoticeMs = 2000;

    CConfigWorkflow(AppContext& context, IMainWindow& mainWindow);

    void RegisterStep(int step, IWizardStep& page) override;
    void RegisterTuningPage(ITuningReload& page) override;
    WizardState& State() override { return m_state; }
    IWizardStep* Step(int step) const override;

    void RefillAll() override;
    void ResetLaterSteps() override;
    void ResetMotorDefaults() override;
    void WriteAllPagesToConfig() override;
    void ReloadTuningPages() override;
    bool FinishWizard(bool save, bool download, bool stay) override;
    bool SaveConfigurationAs() override;
    bool CheckConfigurationMatch() override;
    bool UploadFromDrive() override;
    ConfigurationDifferences DifferencesFromDrive() override;

    // Opens again the configuration file of the last run, once every page
    // exists; a file that is gone or unreadable leaves the default profile.
    void OpenRememberedConfiguration();

private:
    // Steps 1 to 4 show the configuration object again.
    void RefillSteps();
    // Asks for a file and stores the configuration in it; the path, or
    // empty when cancelled or failed.
    QString SaveToChosenFile(const QString& errorCaption);
    bool Download();

    AppContext& m_context;
    IMainWindow& m_mainWindow;
    WizardState m_state;
    std::array<IWizardStep*, StepCount> m_steps{};
    std::vector<ITuningReload*> m_tuningPages;
};

} // namespace Orvex
