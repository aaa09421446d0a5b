#pragma once

#include "ConfigurationComparison.h"

namespace Orvex {

class WizardState;

// One step of the configuration wizard, as the workflow drives it. The step
// reads and writes its fields in the bridge's configuration object.
class IWizardStep
{
public:
    virtual ~IWizardStep() = default;

    // Shows what the configuration object holds.
    virtual void FillFromConfig() = 0;
    // Back to the values of a new default configuration.
    virtual void ResetToDefaults() = 0;
    // Back to the chosen motor's values (steps 2 and 3).
    virtual void ResetToMotorDefaults() = 0;
    // Checks the typed values in the step's order; at the first failure shows
    // "Data Validation Error", focuses the box and answers false.
    virtual bool Validate() = 0;
    // Writes the step's fields to the configuration object, in its order.
    virtual void WriteToConfig() = 0;
};

// A tuning page that shows values of the configuration object: the tuner
// frame, notch filter and miscellaneous tuning.
class ITuningReload
{
public:
    virtual ~ITuningReload() = default;

    virtual void FillFromConfig() = 0;
    virtual void ResetToDefaults() = 0;
};

// What the wizard and tuning pages ask of each other, so that none reaches
// into another page or the main window. The page factory builds the workflow
// before the pages, hands it to their constructors and registers them.
class IConfigWorkflow
{
public:
    // The wizard's steps, 1 to 5.
    static constexpr int StepCount = 5;

    virtual ~IConfigWorkflow() = default;

    virtual void RegisterStep(int step, IWizardStep& page) = 0;
    virtual void RegisterTuningPage(ITuningReload& page) = 0;

    virtual WizardState& State() = 0;
    // The registered step 1 to 5, or null.
    virtual IWizardStep* Step(int step) const = 0;

    // Every step and tuning page shows the configuration object again (after
    // a file was opened or a configuration uploaded).
    virtual void RefillAll() = 0;
    // The steps after step 1 and the tuning pages go back to defaults.
    virtual void ResetLaterSteps() = 0;
    // Steps 2 and 3 take the chosen motor's values.
    virtual void ResetMotorDefaults() = 0;
    // Writes steps 1 to 4 to the configuration object, in that order.
    virtual void WriteAllPagesToConfig() = 0;
    // The tuning pages show the configuration object again.
    virtual void ReloadTuningPages() = 0;
    // Saves and or downloads the configuration; false only when a requested
    // download failed. stay keeps the wizard on its page.
    virtual bool FinishWizard(bool save, bool download, bool stay) = 0;
    // Asks for a file and stores the configuration in it; false when the
    // user cancelled or the file could not be written.
    virtual bool SaveConfigurationAs() = 0;
    // Warns when the drive's control mode differs from the wizard's; true
    // when the user may go on.
    virtual bool CheckConfigurationMatch() = 0;
    // Reads the configuration from the drive and refills every page; false,
    // with the user told why, when it failed.
    virtual bool UploadFromDrive() = 0;
    // What a download would change in the drive: the pages' values against
    // the drive's configuration, setting by setting. Throws a ComponentError
    // when the drive cannot be read.
    virtual ConfigurationDifferences DifferencesFromDrive() = 0;
};

} // namespace Orvex
