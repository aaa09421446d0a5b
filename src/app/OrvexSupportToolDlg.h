#pragma once

#include "KVTProxy.h"
#include "MainWindowServices.h"
#include "StackDialog.h"

#include <QString>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace Orvex {
struct AppContext;
class ISplashControl;
class PortRegistry;
} // namespace Orvex

// The program's only top-level window: the page menu, the "Communications"
// group with the port list and the connection test, and the page area.
class COrvexSupportToolDlg : public TStackedDialog,
                             public Orvex::IMainWindow,
                             public Orvex::IStatusGrids
{
    Q_OBJECT

public:
    // Page ids, in the order the window creates them.
    enum PageId
    {
        IDD_CONFIG_WIZARD_STEP1 = 129,
        IDD_CONFIG_WIZARD_STEP2 = 130,
        IDD_CONFIG_WIZARD_STEP3 = 131,
        IDD_CONFIG_WIZARD_STEP4 = 132,
        IDD_CONFIG_WIZARD_STEP5 = 157,
        IDD_OPERATING_SYSTEM_UPDATE = 135,
        IDD_BIT_STATUS_PANEL = Orvex::PageId::BitStatusPanel,
        IDD_NUM_STATUS_PANEL = Orvex::PageId::NumericStatusPanel,
        IDD_ERROR_LOG = Orvex::PageId::ErrorLog,
        IDD_SERVO_TUNER = 156,
        IDD_NOTCH_TUNING = 160,
        IDD_MISC_TUNING = 158,
        IDD_TECHNICAL_SUPPORT = 136,
        IDD_TERMINAL_EMULATOR = 141,
    };

    COrvexSupportToolDlg(Orvex::AppContext& context, Orvex::PortRegistry& ports,
                         Orvex::ISplashControl* splash, QWidget* parent = nullptr);
    ~COrvexSupportToolDlg() override;

    // Builds the window and its pages, selects the remembered port and ends
    // the start-up splash.
    void OnInitDialog();

    // Orvex::IMainWindow
    void SetPageTitle(const QString& title) override;
    void ShowConnectionError(bool show, const QString& text) override;
    void EnableCommControls(bool enable) override;
    int SelectedPort() const override { return m_selectedPort; }
    void SetPage(int id) override { TStackedDialog::SetPage(id); }
    int StopStatusAutoUpdate() override;

    // Orvex::IStatusGrids
    const QTableWidget* BitStatusGrid() const override;
    const QTableWidget* NumericStatusGrid() const override;

    // The "Communications" group.
    void FindPorts();
    void ApplyPortSelection();
    void TestConnection();
    void AddPortPath();
    // Offers or withdraws the simulated drive's port and lists the ports again.
    void OfferSimulator(bool offer);

    void ShowAboutBox();

    // Text 101 of the window's menu.
    static QString AboutMenuText();

protected:
    TStackedPage* CreatePage(int id) override;
    void OnPageChanged(int id, bool activated) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    void UpdatePortDetails();
    void WriteSelectedPortToProfile();

    Orvex::AppContext& m_context;
    Orvex::PortRegistry& m_ports;
    Orvex::ISplashControl* m_pSplash;
    int m_selectedPort = 0;
    bool m_destroyed = false;

    QGroupBox* m_pPageFrame = nullptr;
    QWidget* m_pPlaceholder = nullptr;
    QComboBox* m_pPortList = nullptr;
    QLabel* m_pNoPorts = nullptr;
    QLabel* m_pPortDescription = nullptr;
    QLabel* m_pPortPath = nullptr;
    QLabel* m_pPortProblem = nullptr;
    QPushButton* m_pTest = nullptr;
    QPushButton* m_pFindPorts = nullptr;
    QPushButton* m_pAddPort = nullptr;
    QLabel* m_pConnectionError = nullptr;
    QLabel* m_pConnectionStatus = nullptr;
    QRadioButton* m_pWizardButton = nullptr;
};
