#pragma once

#include "DriveGate.h"
#include "MainWindowServices.h"
#include "StackedPage.h"

#include <QTimer>

#include <cstdint>
#include <memory>

class QLabel;
class QPushButton;
class QRadioButton;

namespace Orvex {

class CStatusGrid;
struct AppContext;
class IOrvexStatus;

// The numeric status page: the user ticks drive status items and reads their
// values once or every second through the drive bridge's status object.
class CNumStatusPanelDlg final : public TStackedPage, public IAutoUpdatingPage
{
    Q_OBJECT

public:
    // Grid columns.
    static constexpr int CheckColumn = 0;
    static constexpr int DescriptionColumn = 1;
    static constexpr int StatusColumn = 2;
    static constexpr int AutoUpdatePeriodMs = 1000;

    CNumStatusPanelDlg(AppContext& context, IMainWindow& mainWindow, QWidget* parent = nullptr);
    ~CNumStatusPanelDlg() override;

    void OnSetActive() override;
    void OnKillActive() override;
    void OnDestroyPage() override;

    // IAutoUpdatingPage
    void StopAutoUpdate() override;

    // The buttons' handlers.
    void ManualUpdate();
    void ToggleAutoUpdate();
    void SelectAll();
    void ClearAll();
    // One auto-update period: reads the ticked items and blinks "Updating...".
    void OnTimerTick();

    bool IsAutoUpdating() const override { return m_autoUpdate; }
    // The item bits of the ticked rows.
    std::uint32_t SelectionMask() const;
    CStatusGrid* Grid() const { return m_pGrid; }

private:
    void BuildControls();
    void UpdateControls();
    void SetDescriptions(bool motorIsLinear);
    // Answers false, having told the user, when no item is ticked.
    bool CheckSelection();
    void RefreshGrid(IOrvexStatus& status);
    void StartAutoUpdate();
    void ReleaseStatus();

    AppContext& m_context;
    IMainWindow& m_mainWindow;
    DriveGate m_gate;
    std::unique_ptr<IOrvexStatus> m_status;
    // A status object released while a tick still reads it; the tick frees it.
    std::unique_ptr<IOrvexStatus> m_retiredStatus;
    bool m_autoUpdate = false;
    bool m_busy = false;
    bool m_blink = false;
    QTimer m_timer;

    CStatusGrid* m_pGrid = nullptr;
    QRadioButton* m_pNumericRadio = nullptr;
    QPushButton* m_pManualUpdate = nullptr;
    QPushButton* m_pAutoUpdate = nullptr;
    QPushButton* m_pSelectAll = nullptr;
    QPushButton* m_pClearAll = nullptr;
    QLabel* m_pUpdating = nullptr;
};

} // namespace Orvex
