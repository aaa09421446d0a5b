#include "OrvexSupportToolDlg.h"

#include "AboutDlg.h"
#include "AppContext.h"
#include "BitStatusPanelDlg.h"
#include "BuiltInComponents.h"
#include "ComponentError.h"
#include "ConnectionResult.h"
#include "ErrorLogDlg.h"
#include "ErrorReport.h"
#include "NumStatusPanelDlg.h"
#include "OrvexConfig.h"
#include "PendingPage.h"
#include "PortAccess.h"
#include "PortRegistry.h"
#include "ProgramInfo.h"
#include "StatusGrid.h"
#include "TerminalEmulatorDlg.h"
#include "UiServices.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QVBoxLayout>

#include <array>

namespace {

struct PageInfo
{
    int Id;
    const char* Title;
};

// Every page, in creation order, with the title it puts on the page frame.
constexpr std::array<PageInfo, 14> kPages{{
    {COrvexSupportToolDlg::IDD_CONFIG_WIZARD_STEP1, "Configuration Wizard - Step 1 of 5"},
    {COrvexSupportToolDlg::IDD_CONFIG_WIZARD_STEP2, "Configuration Wizard - Step 2 of 5"},
    {COrvexSupportToolDlg::IDD_CONFIG_WIZARD_STEP3, "Configuration Wizard - Step 3 of 5"},
    {COrvexSupportToolDlg::IDD_CONFIG_WIZARD_STEP4, "Configuration Wizard - Step 4 of 5"},
    {COrvexSupportToolDlg::IDD_CONFIG_WIZARD_STEP5, "Configuration Wizard - Step 5 of 5"},
    {COrvexSupportToolDlg::IDD_OPERATING_SYSTEM_UPDATE, "Operating System Update"},
    {COrvexSupportToolDlg::IDD_BIT_STATUS_PANEL, "Status Panel"},
    {COrvexSupportToolDlg::IDD_NUM_STATUS_PANEL, "Status Panel"},
    {COrvexSupportToolDlg::IDD_ERROR_LOG, "Status Panel"},
    {COrvexSupportToolDlg::IDD_SERVO_TUNER, "Servo Tuner"},
    {COrvexSupportToolDlg::IDD_NOTCH_TUNING, "Notch Filter Tuning"},
    {COrvexSupportToolDlg::IDD_MISC_TUNING, "Miscellaneous Tuning"},
    {COrvexSupportToolDlg::IDD_TECHNICAL_SUPPORT, "Technical Support"},
    {COrvexSupportToolDlg::IDD_TERMINAL_EMULATOR, "Terminal Emulator"},
}};

struct MenuEntry
{
    const char* Text;
    const char* ObjectName;
    int PageId;
};

constexpr std::array<MenuEntry, 8> kMenu{{
    {"Configuration Wizard", "configurationWizardButton",
     COrvexSupportToolDlg::IDD_CONFIG_WIZARD_STEP1},
    {"Servo Tuning", "servoTuningButton", COrvexSupportToolDlg::IDD_SERVO_TUNER},
    {"Notch Filter Tuning", "notchFilterTuningButton", COrvexSupportToolDlg::IDD_NOTCH_TUNING},
    {"Miscellaneous Tuning", "miscellaneousTuningButton", COrvexSupportToolDlg::IDD_MISC_TUNING},
    {"Status Panel", "statusPanelButton", COrvexSupportToolDlg::IDD_BIT_STATUS_PANEL},
    {"Operating System Update", "operatingSystemUpdateButton",
     COrvexSupportToolDlg::IDD_OPERATING_SYSTEM_UPDATE},
    {"Technical Support", "technicalSupportButton", COrvexSupportToolDlg::IDD_TECHNICAL_SUPPORT},
    {"Terminal Emulator ", "terminalEmulatorButton", COrvexSupportToolDlg::IDD_TERMINAL_EMULATOR},
}};

const QString kCommunicationsStatus = QStringLiteral("Communications Status");
const QString kCommunicationsError = QStringLiteral("Communications Error");

QLabel* MakeErrorLabel(const QString& text, bool bold, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    label->setPalette(palette);
    QFont font = label->font();
    font.setPointSize(10);
    font.setBold(bold);
    label->setFont(font);
    label->setAutoFillBackground(false);
    label->hide();
    return label;
}

} // namespace

COrvexSupportToolDlg::COrvexSupportToolDlg(Orvex::AppContext& context, Orvex::PortRegistry& ports,
                                           Orvex::ISplashControl* splash, QWidget* parent)
    : TStackedDialog(parent), m_context(context), m_ports(ports), m_pSplash(splash)
{
    setObjectName(QStringLiteral("orvexSupportTool"));
    BuildControls();
}

COrvexSupportToolDlg::~COrvexSupportToolDlg()
{
    // Pages go first; then the port the list shows is remembered for next time.
    DestroyPages();
    WriteSelectedPortToProfile();
}

void COrvexSupportToolDlg::BuildControls()
{
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);

    auto* outer = new QVBoxLayout(this);
    auto* menuBar = new QMenuBar(this);
    QMenu* options = menuBar->addMenu(QStringLiteral("&Options"));
    QAction* simulator = options->addAction(QStringLiteral("Offer the &Simulated Drive Port"));
    simulator->setObjectName(QStringLiteral("simulatorAction"));
    simulator->setCheckable(true);
    simulator->setChecked(Orvex::BuiltInComponents::SimulatorOffered(m_context.Settings));
    connect(simulator, &QAction::toggled, this, &COrvexSupportToolDlg::OfferSimulator);
    QMenu* help = menuBar->addMenu(QStringLiteral("&Help"));
    const QString aboutText = AboutMenuText();
    if (!aboutText.isEmpty()) {
        QAction* about = help->addAction(aboutText);
        about->setObjectName(QStringLiteral("aboutAction"));
        connect(about, &QAction::triggered, this, &COrvexSupportToolDlg::ShowAboutBox);
    }
    outer->setMenuBar(menuBar);

    auto* body = new QHBoxLayout;
    outer->addLayout(body, 1);

    // Left column: the page menu, then the communications group.
    auto* left = new QVBoxLayout;
    body->addLayout(left);
    auto* menuGroup = new QGroupBox(QStringLiteral("Menu"), this);
    menuGroup->setObjectName(QStringLiteral("menuGroup"));
    auto* menuLayout = new QVBoxLayout(menuGroup);
    auto* menuButtons = new QButtonGroup(this);
    for (const MenuEntry& entry : kMenu) {
        auto* radio = new QRadioButton(QString::fromLatin1(entry.Text), menuGroup);
        radio->setObjectName(QString::fromLatin1(entry.ObjectName));
        menuButtons->addButton(radio);
        menuLayout->addWidget(radio);
        const int pageId = entry.PageId;
        connect(radio, &QRadioButton::clicked, this,
                [this, pageId] { ORVEX_GUARDED([&] { SetPage(pageId); }); });
        if (!m_pWizardButton)
            m_pWizardButton = radio;
    }
    left->addWidget(menuGroup);

    auto* comms = new QGroupBox(QStringLiteral("Communications"), this);
    comms->setObjectName(QStringLiteral("communicationsGroup"));
    auto* commsLayout = new QGridLayout(comms);
    auto* portLabel = new QLabel(QStringLiteral("&Port"), comms);
    m_pPortList = new QComboBox(comms);
    m_pPortList->setObjectName(QStringLiteral("portList"));
    m_pPortList->setMinimumContentsLength(8);
    portLabel->setBuddy(m_pPortList);
    m_pNoPorts = new QLabel(QStringLiteral("No Ports Found"), comms);
    m_pNoPorts->setObjectName(QStringLiteral("noPortsLabel"));
    m_pNoPorts->hide();
    m_pTest = new QPushButton(QStringLiteral("Test"), comms);
    m_pTest->setObjectName(QStringLiteral("testButton"));
    m_pFindPorts = new QPushButton(QStringLiteral("Find Ports"), comms);
    m_pFindPorts->setObjectName(QStringLiteral("findPortsButton"));
    m_pAddPort = new QPushButton(QStringLiteral("Add Port..."), comms);
    m_pAddPort->setObjectName(QStringLiteral("addPortButton"));
    m_pAddPort->setToolTip(
        QStringLiteral("Add a serial device path, such as /dev/pts/3, as a port"));
    m_pPortDescription = new QLabel(comms);
    m_pPortDescription->setObjectName(QStringLiteral("portDescription"));
    m_pPortDescription->setWordWrap(true);
    m_pPortPath = new QLabel(comms);
    m_pPortPath->setObjectName(QStringLiteral("portPath"));
    m_pPortPath->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pPortProblem = new QLabel(comms);
    m_pPortProblem->setObjectName(QStringLiteral("portProblem"));
    m_pPortProblem->setWordWrap(true);
    m_pPortProblem->hide();
    commsLayout->addWidget(portLabel, 0, 0);
    commsLayout->addWidget(m_pPortList, 0, 1);
    commsLayout->addWidget(m_pTest, 0, 2);
    commsLayout->addWidget(m_pNoPorts, 1, 0, 1, 3);
    commsLayout->addWidget(m_pPortDescription, 2, 0, 1, 3);
    commsLayout->addWidget(m_pPortPath, 3, 0, 1, 3);
    commsLayout->addWidget(m_pPortProblem, 4, 0, 1, 3);
    commsLayout->addWidget(m_pFindPorts, 5, 0, 1, 2);
    commsLayout->addWidget(m_pAddPort, 5, 2);
    left->addWidget(comms);

    m_pConnectionError = MakeErrorLabel(QStringLiteral("CONNECTION ERROR"), true, this);
    m_pConnectionError->setObjectName(QStringLiteral("connectionErrorLabel"));
    m_pConnectionStatus =
        MakeErrorLabel(QStringLiteral("Status:  No Response from Orvex drive."), false, this);
    m_pConnectionStatus->setObjectName(QStringLiteral("connectionStatusLabel"));
    m_pConnectionStatus->setWordWrap(true);
    left->addWidget(m_pConnectionError);
    left->addWidget(m_pConnectionStatus);
    left->addStretch(1);
    for (QWidget* w : {static_cast<QWidget*>(menuGroup), static_cast<QWidget*>(comms)})
        w->setMaximumWidth(320);

    // Right: the page frame and, inside it, the placeholder the pages fill.
    m_pPageFrame = new QGroupBox(this);
    m_pPageFrame->setObjectName(QStringLiteral("pageFrame"));
    auto* frameLayout = new QVBoxLayout(m_pPageFrame);
    m_pPlaceholder = new QWidget(m_pPageFrame);
    m_pPlaceholder->setObjectName(QStringLiteral("pagePlaceholder"));
    frameLayout->addWidget(m_pPlaceholder);
    body->addWidget(m_pPageFrame, 1);
    SetPlaceholder(m_pPlaceholder);

    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);

    connect(m_pTest, &QPushButton::clicked, this, &COrvexSupportToolDlg::TestConnection);
    connect(m_pFindPorts, &QPushButton::clicked, this, &COrvexSupportToolDlg::FindPorts);
    connect(m_pAddPort, &QPushButton::clicked, this, &COrvexSupportToolDlg::AddPortPath);
    connect(m_pPortList, &QComboBox::activated, this, &COrvexSupportToolDlg::ApplyPortSelection);

    resize(1024, 640);
}

void COrvexSupportToolDlg::OnInitDialog()
{
    ORVEX_GUARDED([&] {
        setWindowTitle(QStringLiteral("Orvex Support Tool, Version %1")
                           .arg(Orvex::TitleVersion(Orvex::ProductVersion())));
        ShowConnectionError(false, QString());
        for (const PageInfo& page : kPages)
            AddPage(page.Id);
        SetPage(IDD_CONFIG_WIZARD_STEP1);
        if (m_pWizardButton)
            m_pWizardButton->setChecked(true);
        m_selectedPort = m_context.Settings.value(QStringLiteral("Communications/COM"), 0).toInt();
        FindPorts();
    });
    if (m_pSplash) {
        m_pSplash->SetSplashProgress(100, 100);
        m_pSplash->HideSplash();
    }
}

TStackedPage* COrvexSupportToolDlg::CreatePage(int id)
{
    switch (id) {
    case IDD_BIT_STATUS_PANEL:
        return new CBitStatusPanelDlg(m_context, *this);
    case IDD_NUM_STATUS_PANEL:
        return new CNumStatusPanelDlg(m_context, *this);
    case IDD_ERROR_LOG:
        return new CErrorLogDlg(m_context, *this);
    case IDD_TERMINAL_EMULATOR:
        return new CTerminalEmulatorDlg(m_context, *this);
    default:
        break;
    }
    for (const PageInfo& page : kPages) {
        if (page.Id == id)
            return new CPendingPage(*this, QString::fromLatin1(page.Title));
    }
    return nullptr;
}

void COrvexSupportToolDlg::OnPageChanged(int, bool activated)
{
    if (!activated)
        return;
    if (TStackedPage* page = ActivePage()) {
        page->setGeometry(Placeholder()->rect());
        page->repaint();
    }
}

void COrvexSupportToolDlg::keyPressEvent(QKeyEvent* event)
{
    // Enter does nothing here; Escape closes the window as usual.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    TStackedDialog::keyPressEvent(event);
}

void COrvexSupportToolDlg::SetPageTitle(const QString& title)
{
    m_pPageFrame->setTitle(title);
}

void COrvexSupportToolDlg::ShowConnectionError(bool show, const QString& text)
{
    m_pConnectionStatus->setText(QStringLiteral("Status: ") + text);
    m_pConnectionError->setVisible(show);
    m_pConnectionStatus->setVisible(show);
    repaint();
}

void COrvexSupportToolDlg::EnableCommControls(bool enable)
{
    m_pPortList->setEnabled(enable);
    m_pTest->setEnabled(enable);
}

void COrvexSupportToolDlg::FindPorts()
{
    ORVEX_GUARDED([&] {
        m_pPortList->clear();
        for (const Orvex::PortRegistry::PortEntry& entry : m_ports.EnumerateSerialPorts()) {
            if (entry.Description == Orvex::PortRegistry::ExcludedDeviceDescription())
                continue;
            m_pPortList->addItem(QStringLiteral("COM%1").arg(entry.Number));
        }
        if (m_pPortList->count() == 0) {
            EnableCommControls(false);
            m_pNoPorts->show();
            UpdatePortDetails();
            return;
        }
        EnableCommControls(true);
        m_pNoPorts->hide();
        int index = -1;
        if (m_selectedPort > 0)
            index = m_pPortList->findText(QStringLiteral("COM%1").arg(m_selectedPort),
                                          Qt::MatchExactly | Qt::MatchCaseSensitive);
        m_pPortList->setCurrentIndex(index >= 0 ? index : 0);
        ApplyPortSelection();
    });
}

void COrvexSupportToolDlg::ApplyPortSelection()
{
    const QString text = m_pPortList->currentText();
    if (!text.isEmpty())
        m_selectedPort = text.mid(3).toInt();
    UpdatePortDetails();
    for (int id : PageIds()) {
        auto* owner = dynamic_cast<Orvex::ILinkOwningPage*>(Page(id));
        if (!owner || !owner->HasLink())
            continue;
        Orvex::RunShowingErrors(m_context.Ui, kCommunicationsError,
                                [&] { owner->ReopenLink(m_selectedPort); });
    }
}

void COrvexSupportToolDlg::UpdatePortDetails()
{
    const auto entry = m_pPortList->count() > 0 ? m_ports.Find(m_selectedPort) : std::nullopt;
    if (!entry) {
        m_pPortDescription->clear();
        m_pPortPath->clear();
        m_pPortProblem->hide();
        return;
    }
    m_pPortDescription->setText(entry->Description);
    m_pPortDescription->setVisible(entry->Description != entry->SystemLocation);
    m_pPortPath->setText(entry->Virtual ? QStringLiteral("built into this program")
                                        : entry->SystemLocation);
    const QString problem =
        entry->Virtual ? QString() : Orvex::PortAccessProblem(entry->SystemLocation);
    m_pPortProblem->setText(problem);
    m_pPortProblem->setVisible(!problem.isEmpty());
}

void COrvexSupportToolDlg::AddPortPath()
{
    ORVEX_GUARDED([&] {
        const QString path =
            m_context.Ui.AskText(QStringLiteral("Add Port"),
                                 QStringLiteral("Serial device path (for example /dev/pts/3):"),
                                 QStringLiteral("/dev/"));
        if (path.isEmpty() || path == QStringLiteral("/dev/"))
            return;
        const int number = m_ports.AddDevicePath(path);
        if (number <= 0)
            return;
        m_selectedPort = number;
        FindPorts();
        if (m_pPortList->findText(QStringLiteral("COM%1").arg(number)) < 0) {
            Orvex::ShowErrorMessage(m_context.Ui, QStringLiteral("Add Port"),
                                    Orvex::PortAccessProblem(path).isEmpty()
                                        ? QStringLiteral("%1 is not a serial device.").arg(path)
                                        : Orvex::PortAccessProblem(path));
        }
    });
}

void COrvexSupportToolDlg::OfferSimulator(bool offer)
{
    ORVEX_GUARDED([&] {
        Orvex::BuiltInComponents::OfferSimulator(m_ports, m_context.Settings, offer);
        FindPorts();
    });
}

const QTableWidget* COrvexSupportToolDlg::BitStatusGrid() const
{
    const auto* page = dynamic_cast<const CBitStatusPanelDlg*>(Page(IDD_BIT_STATUS_PANEL));
    return page ? page->Grid() : nullptr;
}

const QTableWidget* COrvexSupportToolDlg::NumericStatusGrid() const
{
    const auto* page = dynamic_cast<const CNumStatusPanelDlg*>(Page(IDD_NUM_STATUS_PANEL));
    return page ? page->Grid() : nullptr;
}

int COrvexSupportToolDlg::StopStatusAutoUpdate()
{
    int stopped = 0;
    for (int id : {IDD_BIT_STATUS_PANEL, IDD_NUM_STATUS_PANEL}) {
        auto* page = dynamic_cast<Orvex::IAutoUpdatingPage*>(Page(id));
        if (page && page->IsAutoUpdating()) {
            page->StopAutoUpdate();
            ++stopped;
        }
    }
    return stopped;
}

void COrvexSupportToolDlg::TestConnection()
{
    ORVEX_GUARDED([&] {
        Orvex::RunShowingErrors(m_context.Ui, kCommunicationsStatus, [&] {
            StopStatusAutoUpdate();
            m_context.Config.SetPortNumber(m_selectedPort);
            int answer = 0;
            {
                const auto wait =
                    m_context.Ui.ShowWait(QStringLiteral("Testing Orvex connection..."));
                answer = m_context.Config.TestConnection();
            }
            if (answer == -1) {
                Orvex::ShowErrorMessage(
                    m_context.Ui, kCommunicationsStatus,
                    QStringLiteral("Successfully communicated with Orvex drive"));
                ShowConnectionError(false, QString());
            } else {
                ShowConnectionError(true, Orvex::ConnectionResultText(answer));
            }
        });
    });
}

void COrvexSupportToolDlg::ShowAboutBox()
{
    ORVEX_GUARDED([&] {
        CAboutDlg about(m_context.Config, m_context.Factory, m_context.Ui, this);
        m_context.Ui.RunModal(about);
    });
}

QString COrvexSupportToolDlg::AboutMenuText()
{
    return QStringLiteral("&About Orvex Support Tool...");
}

void COrvexSupportToolDlg::WriteSelectedPortToProfile()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    const QString text = m_pPortList ? m_pPortList->currentText() : QString();
    const int port = text.isEmpty() ? 0 : text.mid(3).toInt();
    m_context.Settings.setValue(QStringLiteral("Communications/COM"), port);
}
