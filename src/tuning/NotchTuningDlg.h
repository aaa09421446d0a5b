#pragma once

#include "LinkSession.h"
#include "MainWindowServices.h"
#include "NotchFilters.h"
#include "StackedPage.h"
#include "TunerPage.h"
#include "WizardContracts.h"

#include <array>

class QPushButton;

namespace Orvex {

class NumSpinCtrl;

// The "Notch Filter Tuning" page: the drive's two notch filters and its
// lead/lag filter, each value sent to the running drive over the page's own
// serial link the moment the user presses Enter in its box or steps it, the
// drive buttons (enable, disable, reset) and saving the configuration.
class CNotchTuningDlg final : public TStackedPage, public ITuningReload, public ILinkOwningPage
{
    Q_OBJECT

public:
    using Row = NotchFilters::Row;

    CNotchTuningDlg(AppContext& context, IMainWindow& mainWindow, IConfigWorkflow& workflow,
                    QWidget* parent = nullptr);
    ~CNotchTuningDlg() override;

    void OnSetActive() override;
    void OnDestroyPage() override;

    // ITuningReload: the eight values from the configuration object, or the
    // values of a new configuration.
    void FillFromConfig() override;
    void ResetToDefaults() override;
    // The eight values into the configuration object.
    void StoreToConfig();

    // ILinkOwningPage
    bool HasLink() const override { return m_link.Exists(); }
    void ReopenLink(int portNumber) override;

    // What the page does when shown: checks the drive, uploads its
    // configuration and shows its values.
    void Load();
    // The row's box was entered, or its spin control stepped.
    void EnterAction(Row row);
    void SpinAction(Row row);
    // Every value in its range, in the page's order; at the first failure
    // shows it and focuses the box.
    bool Validate();

    // The buttons' handlers.
    void EnableDrive();
    void DisableDrive();
    void ResetDrive();
    void SaveConfigAs();

    NumSpinCtrl* Spin(Row row) const { return m_spins[static_cast<std::size_t>(row)]; }

private:
    void BuildControls();
    QPushButton* AddButton(const char* name, const QString& text,
                           void (CNotchTuningDlg::*handler)());
    // The lead/lag rule for the lead and lag boxes as they stand; shows the
    // message when it fails.
    bool LeadLagAccepted();
    // Writes a command to the drive, opening the link on the selected port
    // first when it is not open.
    void SendCommand(const QString& command);

    AppContext& m_context;
    IMainWindow& m_mainWindow;
    TunerContext m_tuning;
    LinkSession m_link;
    bool m_destroyed = false;
    std::array<NumSpinCtrl*, NotchFilters::RowCount> m_spins{};
};

} // namespace Orvex
