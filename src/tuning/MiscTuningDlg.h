#pragma once

#include "LinkSession.h"
#include "MainWindowServices.h"
#include "SignalPanel.h"
#include "StackedPage.h"
#include "TunerPage.h"
#include "WizardContracts.h"

#include <array>

class QLabel;
class QPushButton;
class QStackedWidget;

namespace Orvex {

class CPositionSignalDlg;
class CTorqueSignalDlg;
class CVelocitySignalDlg;

// What the alignment labels show: the hall sensors' direction and
// inversion, the encoder's offset and polarity.
struct AlignmentValues
{
    bool HallReversed = false;
    bool HallInverted = false;
    int EncoderOffset = 0;
    bool EncoderReversed = false;

    bool operator==(const AlignmentValues&) const = default;
};

// One sentence on what an alignment changed, from the values shown before
// to those the drive found.
QString DescribeAlignment(const AlignmentValues& before, const AlignmentValues& after);

// The "Miscellaneous Tuning" page: the motor's alignment (hall sensors and
// encoder), the command signal panel for the drive's control mode, and the
// drive buttons (enable, disable, reset, save). The panels' direct commands
// go out over the page's own serial link.
class CMiscTuningDlg final : public TStackedPage,
                             public ITuningReload,
                             public ILinkOwningPage,
                             public ISignalCommands
{
    Q_OBJECT

public:
    CMiscTuningDlg(AppContext& context, IMainWindow& mainWindow, IConfigWorkflow& workflow,
                   QWidget* parent = nullptr);
    ~CMiscTuningDlg() override;

    void OnSetActive() override;
    void OnDestroyPage() override;

    // ITuningReload: the panel for the control mode and the alignment labels
    // show the configuration object.
    void FillFromConfig() override;
    void ResetToDefaults() override;

    // ILinkOwningPage
    bool HasLink() const override { return m_link.Exists(); }
    void ReopenLink(int portNumber) override;

    // ISignalCommands: opens the link on the selected port when it is not
    // open, and writes text.
    bool SendLinkCommand(const QString& text) override;

    // What the page does when shown: checks the drive, uploads its
    // configuration and shows it.
    void Activate();
    // The buttons' handlers.
    void Align();
    void EnableDrive();
    void DisableDrive();
    void ResetDrive();
    void SaveConfigAs();

    // The panel that fits the control mode: velocity for 4, position for 6
    // and 7, torque for every other.
    TSignalPanel* PanelForMode(int controlMode) const;
    // The panel on show.
    TSignalPanel* CurrentPanel() const;
    CTorqueSignalDlg* TorquePanel() const { return m_pTorque; }
    CVelocitySignalDlg* VelocityPanel() const { return m_pVelocity; }
    CPositionSignalDlg* PositionPanel() const { return m_pPosition; }
    // What the four labels show, read as the save writes them.
    AlignmentValues ShownAlignment() const;

private:
    void BuildControls();
    QPushButton* AddButton(const char* name, const QString& text,
                           void (CMiscTuningDlg::*handler)());
    QLabel* AddValueLabel(QWidget* parent, const char* name, const QString& caption);
    void ShowPanel(TSignalPanel* panel);
    void ShowAlignment(const AlignmentValues& values);
    AlignmentValues ConfigAlignment() const;

    AppContext& m_context;
    IMainWindow& m_mainWindow;
    TunerContext m_tuning;
    LinkSession m_link;
    bool m_destroyed = false;

    QStackedWidget* m_pSignals = nullptr;
    CTorqueSignalDlg* m_pTorque = nullptr;
    CVelocitySignalDlg* m_pVelocity = nullptr;
    CPositionSignalDlg* m_pPosition = nullptr;
    QLabel* m_pHallDirection = nullptr;
    QLabel* m_pHallInversion = nullptr;
    QLabel* m_pEncoderOffset = nullptr;
    QLabel* m_pEncoderPolarity = nullptr;
    QLabel* m_pAlignmentResult = nullptr;
};

} // namespace Orvex
