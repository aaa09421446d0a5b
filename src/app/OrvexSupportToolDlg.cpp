#include "OrvexSupportToolDlg.h"

#include "AboutDlg.h"
#include "AppContext.h"
#include "Artwork.h"
#include "BitStatusPanelDlg.h"
#include "BuiltInComponents.h"
#include "CommunicationsGroup.h"
#include "ComponentError.h"
#include "ConfigWorkflow.h"
#include "ConnectionResult.h"
#include "DriveGate.h"
#include "ErrorReport.h"
#include "NumStatusPanelDlg.h"
#include "OrvexConfig.h"
#include "PageIds.h"
#include "ProgramInfo.h"
#include "SimulatedLoadDlg.h"
#include "StatusGrid.h"
#include "UiServices.h"
#include "WizardState.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QRadioButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <array>

namespace Orvex {

namespace {

struct MenuEntry
{
    const char* Text;
    const char* ObjectName;
    int PageId;
};

constexpr std::array<MenuEntry, 8> kMenu{{
    {"Configuration Wizard", "configurationWizardButton", PageId::ConfigWizardStep1},
    {"Servo Tuning", "servoTuningButton", PageId::ServoTuner},
    {"Notch Filter Tuning", "notchFilterTuningButton", PageId::NotchTuning},
    {"Miscellaneous Tuning", "miscellaneousTuningButton", PageId::MiscTuning},
    {"Status Panel", "statusPanelButton", PageId::BitStatusPanel},
    {"Operating System Update", "operatingSystemUpdateButton", PageId::OperatingSystemUpdate},
    {"Technical Support", "technicalSupportButton", PageId::TechnicalSupport},
    {"Terminal Emulator ", "terminalEmulatorButton", PageId::TerminalEmulator},
}};

} // namespace

COrvexSupportToolDlg::COrvexSupportToolDlg(AppContext& context, PortRegistry& ports,
                                           ISplashControl* splash, QWidget* parent)
    : TStackedDialog(parent), m_context(context), m_pSplash(splash), m_pages(context, *this)
{
    setObjectName(QStringLiteral("orvexSupportTool"));
    m_pComms = new CCommunicationsGroup(context, ports, this);
    BuildControls();
}

COrvexSupportToolDlg::~COrvexSupportToolDlg()
{
    // Pages go first; then the port the list shows is remembered for next time.
    DestroyPages();
    WriteSelectedPortToProfile();
}

void COrvexSupportToolDlg::UseAutoTuningPositionTuner(bool use)
{
    // The wizard's tuner generation picks the position tuner and its gains
    // panel; the pages follow when they are next shown.
    m_pages.Workflow().State().Step1Value =
        use ? WizardState::AutoTuningGeneration : WizardState::InitialStep1Value;
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
    simulator->setChecked(BuiltInComponents::SimulatorOffered(m_context.Settings));
    connect(simulator, &QAction::toggled, m_pComms, &CCommunicationsGroup::OfferSimulator);
    QAction* load = options->addAction(QStringLiteral("Simulated &Load..."));
    load->setObjectName(QStringLiteral("simulatedLoadAction"));
    connect(load, &QAction::triggered, this, &COrvexSupportToolDlg::ShowSimulatedLoad);
    QAction* autoTuning = options->addAction(QStringLiteral("Use the &Auto Tuning Position Tuner"));
    autoTuning->setObjectName(QStringLiteral("autoTuningTunerAction"));
    autoTuning->setCheckable(true);
    autoTuning->setChecked(m_context.Settings.value(AutoTuningTunerKey, false).toBool());
    UseAutoTuningPositionTuner(autoTuning->isChecked());
    connect(autoTuning, &QAction::toggled, this, [this](bool on) {
        m_context.Settings.setValue(AutoTuningTunerKey, on);
        UseAutoTuningPositionTuner(on);
    });
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
    menuGroup->setMaximumWidth(320);
    auto* menuLayout = new QVBoxLayout(menuGroup);
    auto* menuButtons = new QButtonGroup(this);
    for (const MenuEntry& entry : kMenu) {
        auto* radio = new QRadioButton(QString::fromLatin1(entry.Text), menuGroup);
        radio->setObjectName(QString::fromLatin1(entry.ObjectName));
        menuButtons->addButton(radio);
        menuLayout->addWidget(radio);
        const int pageId = entry.PageId;
        // Ticked by mouse, keyboard or an assistive technology, the radio
        // shows its page; clicked again, it shows the page once more (the
        // status panel may have moved on to its other pages).
        connect(radio, &QRadioButton::toggled, this, [this, pageId](bool checked) {
            if (checked)
                ORVEX_GUARDED([&] { SetPage(pageId); });
        });
        connect(radio, &QRadioButton::clicked, this, [this, pageId] {
            if (ActivePageId() != pageId)
                ORVEX_GUARDED([&] { SetPage(pageId); });
        });
        if (!m_pWizardButton)
            m_pWizardButton = radio;
    }
    left->addWidget(menuGroup);
    left->addWidget(m_pComms);
    left->addStretch(1);
    connect(m_pComms, &CCommunicationsGroup::TestRequested, this,
            &COrvexSupportToolDlg::TestConnection);
    connect(m_pComms, &CCommunicationsGroup::PortSelected, this,
            &COrvexSupportToolDlg::ReopenPageLinks);

    // Right: the page frame and, inside it, the placeholder the pages fill.
    m_pPageFrame = new QGroupBox(this);
    m_pPageFrame->setObjectName(QStringLiteral("pageFrame"));
    auto* frameLayout = new QVBoxLayout(m_pPageFrame);
    m_pPlaceholder = new QWidget(m_pPageFrame);
    m_pPlaceholder->setObjectName(QStringLiteral("pagePlaceholder"));
    frameLayout->addWidget(m_pPlaceholder);
    body->addWidget(m_pPageFrame, 1);
    SetPlaceholder(m_pPlaceholder);

    setWindowIcon(ProgramIcon());
    // Small enough for a 1366x768 screen with its panel and title bar (and
    // for a 2732x1536 one at twice the scale), large enough that no page
    // clips its buttons: the servo tuner's two rows of action buttons beside
    // its session groups need the most width, and the auto tuning position
    // tuner's gains above its graph the most height.
    setMinimumSize(1100, 680);
    resize(1200, 680);
}

void COrvexSupportToolDlg::OnInitDialog()
{
    ORVEX_GUARDED([&] {
        setWindowTitle(
            QStringLiteral("Orvex Support Tool, Version %1").arg(TitleVersion(ProductVersion())));
        ShowConnectionError(false, QString());
        for (const CPageFactory::PageInfo& page : CPageFactory::Pages())
            AddPage(page.Id);
        SetPage(PageId::ConfigWizardStep1);
        if (m_pWizardButton) {
            const QSignalBlocker quiet(m_pWizardButton);
            m_pWizardButton->setChecked(true);
        }
        m_pages.AllPagesCreated();
        m_pComms->SetSelectedPort(
            m_context.Settings.value(QStringLiteral("Communications/COM"), 0).toInt());
        m_starting = true;
        m_pComms->FindPorts();
        m_starting = false;
    });
    if (m_pSplash) {
        m_pSplash->SetSplashProgress(100, 100);
        m_pSplash->HideSplash();
    }
}

TStackedPage* COrvexSupportToolDlg::CreatePage(int id)
{
    return m_pages.Create(id);
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
    m_pComms->ShowConnectionError(show, text);
}

void COrvexSupportToolDlg::EnableCommControls(bool enable)
{
    m_pComms->EnableCommControls(enable);
}

int COrvexSupportToolDlg::SelectedPort() const
{
    return m_pComms->SelectedPort();
}

void COrvexSupportToolDlg::ReopenPageLinks(int port)
{
    // Each page's failure is told on its own; the other pages still reopen.
    // While the window starts, a port that cannot be opened is told once,
    // under the port list, not in a box over the splash.
    bool told = false;
    for (int id : PageIds()) {
        auto* owner = dynamic_cast<ILinkOwningPage*>(Page(id));
        if (!owner || !owner->HasLink())
            continue;
        if (!m_starting) {
            RunShowingErrors(m_context.Ui, DriveGate::CommunicationsError,
                             [&] { owner->ReopenLink(port); });
            continue;
        }
        try {
            owner->ReopenLink(port);
        } catch (const ComponentError& error) {
            if (!told)
                m_pComms->ShowPortProblem(error.Description());
            told = true;
        }
    }
}

const QTableWidget* COrvexSupportToolDlg::BitStatusGrid() const
{
    const auto* page = dynamic_cast<const CBitStatusPanelDlg*>(Page(PageId::BitStatusPanel));
    return page ? page->Grid() : nullptr;
}

const QTableWidget* COrvexSupportToolDlg::NumericStatusGrid() const
{
    const auto* page = dynamic_cast<const CNumStatusPanelDlg*>(Page(PageId::NumericStatusPanel));
    return page ? page->Grid() : nullptr;
}

int COrvexSupportToolDlg::StopStatusAutoUpdate()
{
    int stopped = 0;
    for (int id : PageIds()) {
        auto* page = dynamic_cast<IAutoUpdatingPage*>(Page(id));
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
        const QString caption = QStringLiteral("Communications Status");
        DriveGate gate(m_context.Ui, *this);
        const std::optional<int> answer = gate.Test(m_context.Config, caption);
        if (!answer)
            return;
        if (*answer == -1) {
            // The labels go once the user has read the success.
            ShowErrorMessage(m_context.Ui, caption, ConnectionResultText(-1));
            ShowConnectionError(false, QString());
        } else {
            gate.ShowFailure(*answer, DriveGate::Report::ConnectionLabels, caption);
        }
    });
}

void COrvexSupportToolDlg::ShowAboutBox()
{
    ORVEX_GUARDED([&] {
        CAboutDlg about(m_context.Config, m_context.Factory, m_context.Ui, this);
        m_context.Ui.RunModal(about);
    });
}

void COrvexSupportToolDlg::ShowSimulatedLoad()
{
    ORVEX_GUARDED([&] {
        QSettings& settings = m_context.Settings;
        const DriveModel::Load load = BuiltInComponents::SimulatedLoad(settings);
        CSimulatedLoadDlg dialog(m_context.Ui, load.InertiaRatio, load.ResonanceHz,
                                 load.DampingRatio, this);
        if (m_context.Ui.RunModal(dialog) == QDialog::Accepted)
            BuiltInComponents::SetSimulatedLoad(settings, dialog.InertiaRatio(),
                                                dialog.ResonanceHz(), dialog.DampingRatio());
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
    m_context.Settings.setValue(QStringLiteral("Communications/COM"), m_pComms->ListedPort());
}

} // namespace Orvex
