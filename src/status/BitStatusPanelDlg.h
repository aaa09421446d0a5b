#pragma once

#include "DriveGate.h"
#include "MainWindowServices.h"
#include "StackedPage.h"

#include <QTimer>

#include <memory>

class QLabel;
class QPushButton;
class QRadioButton;

namespace Orvex {

class CStatusGrid;
struct AppContext;
class IOrvexStatus;

// The bit status page: the drive's 64 error and warning bits and its two
// status outputs, read once on request or every second while auto updating.
class CBitStatusPanelDlg final : public TStackedPage, public IAutoUpdatingPage
{
    Q_OBJECT

public:
    CBitStatusPanelDlg(AppContext& context, IMainWindow& mainWindow, QWidget* parent = nullptr);
    ~CBitStatusPanelDlg() override;

    void OnSetActive() override;
    void OnKillActive() override;
    void OnDestroyPage() override;

    // IAutoUpdatingPage
    void StopAutoUpdate() override;

    // The buttons' handlers.
    void ManualUpdate();
    void ToggleAutoUpdate();
    // One auto update step; the timer calls it every second.
    void OnTimerTick();

    bool IsAutoUpdating() const override { return m_autoUpdate != 0; }
    bool IsTimerRunning() const { return m_timer.isActive(); }
    bool HasStatusObject() const { return m_status != nullptr; }
    CStatusGrid* Grid() const { return m_pGrid; }

private:
    void BuildControls();
    // Creates the status object and checks that the drive answers; false (the
    // user told why, no object kept) when it does not.
    bool ConnectAndTest();
    void RefreshBitGrid();
    // What the idle-time update did: button text and enabling from the flag.
    void UpdateControls();
    void ReleaseStatus();

    AppContext& m_context;
    IMainWindow& m_mainWindow;
    DriveGate m_gate;
    std::unique_ptr<IOrvexStatus> m_status;
    int m_autoUpdate = 0;
    QTimer m_timer;
    bool m_busy = false;
    bool m_blink = false;

    CStatusGrid* m_pGrid = nullptr;
    QRadioButton* m_pBitRadio = nullptr;
    QPushButton* m_pManual = nullptr;
    QPushButton* m_pAuto = nullptr;
    QLabel* m_pUpdating = nullptr;
};

} // namespace Orvex
