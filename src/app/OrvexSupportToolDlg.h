#pragma once

#include "KVTProxy.h"
#include "MainWindowServices.h"
#include "PageFactory.h"
#include "StackDialog.h"

#include <QString>

class QGroupBox;
class QRadioButton;

namespace Orvex {

class CCommunicationsGroup;
struct AppContext;
class PortRegistry;

// Start-up progress shown while the main window builds itself.
class ISplashControl
{
public:
    virtual ~ISplashControl() = default;
    virtual void SetSplashProgress(int step, int range) = 0;
    virtual void HideSplash() = 0;
};

// The program's only top-level window: the page menu, the communications
// group with the port list and the connection test, and the page area.
class COrvexSupportToolDlg : public TStackedDialog, public IMainWindow, public IStatusGrids
{
    Q_OBJECT

public:
    // The profile's choice of the auto tuning position tuner.
    static inline const QString AutoTuningTunerKey =
        QStringLiteral("Tuning/AutoTuningPositionTuner");

    COrvexSupportToolDlg(AppContext& context, PortRegistry& ports, ISplashControl* splash,
                         QWidget* parent = nullptr);
    ~COrvexSupportToolDlg() override;

    // Builds the window and its pages, selects the remembered port and ends
    // the start-up splash.
    void OnInitDialog();

    // IMainWindow
    void SetPageTitle(const QString& title) override;
    void ShowConnectionError(bool show, const QString& text) override;
    void EnableCommControls(bool enable) override;
    int SelectedPort() const override;
    void SetPage(int id) override { TStackedDialog::SetPage(id); }
    int StopStatusAutoUpdate() override;

    // IStatusGrids
    const QTableWidget* BitStatusGrid() const override;
    const QTableWidget* NumericStatusGrid() const override;

    CCommunicationsGroup& Communications() const { return *m_pComms; }
    // "Test": the connection test on the selected port.
    void TestConnection();
    void ShowAboutBox();
    // "Simulated Load...": the load behind the simulated drive's motor.
    void ShowSimulatedLoad();

    // Text 101 of the window's menu.
    static QString AboutMenuText();

protected:
    TStackedPage* CreatePage(int id) override;
    void OnPageChanged(int id, bool activated) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    // Sets the wizard's tuner generation to the one of the auto tuning
    // position tuner, or back to the classic one.
    void UseAutoTuningPositionTuner(bool use);
    // Reopens the serial links of the pages that own one on the new port.
    void ReopenPageLinks(int port);
    void WriteSelectedPortToProfile();

    AppContext& m_context;
    ISplashControl* m_pSplash;
    CPageFactory m_pages;
    bool m_destroyed = false;
    bool m_starting = false;

    CCommunicationsGroup* m_pComms = nullptr;
    QGroupBox* m_pPageFrame = nullptr;
    QWidget* m_pPlaceholder = nullptr;
    QRadioButton* m_pWizardButton = nullptr;
};

} // namespace Orvex
