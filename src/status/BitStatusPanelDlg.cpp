#include "BitStatusPanelDlg.h"

#include "AppContext.h"
#include "BitStatusTable.h"
#include "ComponentError.h"
#include "ErrorReport.h"
#include "OrvexStatus.h"
#include "PageIds.h"
#include "StatusConnection.h"
#include "StatusGrid.h"
#include "StatusSelector.h"
#include "UiServices.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <optional>

namespace Orvex {

namespace {

const QString kCommunicationsError = QStringLiteral("Communications Error");
const QString kUpdating = QStringLiteral("Updating...");
constexpr int kTickMs = 1000;

// Runs body; answers the text a message box shows for what it threw, or
// nothing when it succeeded. Other failures go on to the guarded handler.
template <class Body> std::optional<QString> FailureOf(Body&& body)
{
    try {
        std::forward<Body>(body)();
        return std::nullopt;
    } catch (const ComponentError& error) {
        return error.Description();
    } catch (const FrameworkException& error) {
        return error.Message().left(MessageBoxTextMaxLength);
    }
}

} // namespace

CBitStatusPanelDlg::CBitStatusPanelDlg(AppContext& context, IMainWindow& mainWindow,
                                       QWidget* parent)
    : TStackedPage(parent), m_context(context), m_mainWindow(mainWindow),
      m_gate(context.Ui, mainWindow)
{
    setObjectName(QStringLiteral("bitStatusPage"));
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &CBitStatusPanelDlg::OnTimerTick);
    BuildControls();
    UpdateControls();
}

CBitStatusPanelDlg::~CBitStatusPanelDlg()
{
    m_timer.stop();
    ReleaseStatus();
}

void CBitStatusPanelDlg::BuildControls()
{
    auto* layout = new QVBoxLayout(this);

    layout->addWidget(MakeStatusSelector(this, PageId::BitStatusPanel, m_mainWindow, &m_pBitRadio));

    auto* bits = new QGroupBox(QStringLiteral("Bit Status"), this);
    auto* bitsLayout = new QVBoxLayout(bits);
    m_pGrid = new CStatusGrid(BitStatusRowCount,
                              {QStringLiteral("Description"), QStringLiteral("Status")}, bits);
    m_pGrid->setObjectName(QStringLiteral("bitStatusGrid"));
    m_pGrid->setAccessibleName(QStringLiteral("Bit Status"));
    m_pGrid->SetColumnWidth(0, 290);
    m_pGrid->SetColumnWidth(1, 113);
    for (int row = 0; row < BitStatusRowCount; ++row) {
        const BitStatusRow& entry = BitStatusTable[static_cast<size_t>(row)];
        m_pGrid->SetRowHeading(row, QString::fromLatin1(entry.Label));
        m_pGrid->SetCellText(row, 0, QString::fromLatin1(entry.Description));
        m_pGrid->SetCellColours(row, 1, StatusLightGrey(), QColor());
    }
    bitsLayout->addWidget(m_pGrid);
    layout->addWidget(bits, 1);

    auto* actions = new QHBoxLayout;
    m_pManual = new QPushButton(QStringLiteral("Manual Update"), this);
    m_pManual->setObjectName(QStringLiteral("manualUpdateButton"));
    m_pAuto = new QPushButton(QStringLiteral("Start Auto Update"), this);
    m_pAuto->setObjectName(QStringLiteral("autoUpdateButton"));
    m_pUpdating = new QLabel(kUpdating, this);
    m_pUpdating->setObjectName(QStringLiteral("updatingLabel"));
    // Blinking empties the text; keep the room so the buttons do not move.
    m_pUpdating->setMinimumWidth(m_pUpdating->sizeHint().width());
    QSizePolicy keepRoom = m_pUpdating->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    m_pUpdating->setSizePolicy(keepRoom);
    m_pUpdating->hide();
    // The same places as on the numeric status page: the notice, then the
    // two update buttons, at the right.
    actions->addStretch(1);
    actions->addWidget(m_pUpdating);
    actions->addWidget(m_pManual);
    actions->addWidget(m_pAuto);
    layout->addLayout(actions);
    connect(m_pManual, &QPushButton::clicked, this,
            [this] { ORVEX_GUARDED([this] { ManualUpdate(); }); });
    connect(m_pAuto, &QPushButton::clicked, this,
            [this] { ORVEX_GUARDED([this] { ToggleAutoUpdate(); }); });

    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
}

void CBitStatusPanelDlg::OnSetActive()
{
    m_mainWindow.SetPageTitle(QStringLiteral("Status Panel"));
    m_pBitRadio->setChecked(true);
    UpdateControls();
}

void CBitStatusPanelDlg::OnKillActive()
{
    StopAutoUpdate();
}

void CBitStatusPanelDlg::OnDestroyPage()
{
    StopAutoUpdate();
}

void CBitStatusPanelDlg::StopAutoUpdate()
{
    m_autoUpdate = 0;
    m_timer.stop();
    ReleaseStatus();
    m_pUpdating->hide();
    UpdateControls();
}

void CBitStatusPanelDlg::ReleaseStatus()
{
    m_status.reset();
}

void CBitStatusPanelDlg::UpdateControls()
{
    m_pAuto->setText(m_autoUpdate != 0 ? QStringLiteral("Stop Auto Update")
                                       : QStringLiteral("Start Auto Update"));
    m_pManual->setEnabled(m_autoUpdate == 0);
}

bool CBitStatusPanelDlg::ConnectAndTest()
{
    m_status = ConnectStatus(m_context, m_gate);
    return m_status != nullptr;
}

void CBitStatusPanelDlg::ManualUpdate()
{
    if (m_autoUpdate != 0)
        return;
    if (!ConnectAndTest())
        return;
    const std::optional<QString> failure = FailureOf([&] {
        {
            const auto wait =
                m_context.Ui.ShowWait(QStringLiteral("Uploading Orvex bit status..."));
            m_status->UploadStatus();
        }
        RefreshBitGrid();
    });
    ReleaseStatus();
    if (failure)
        ShowErrorMessage(m_context.Ui, kCommunicationsError, *failure);
}

void CBitStatusPanelDlg::ToggleAutoUpdate()
{
    if (m_autoUpdate != 0) {
        StopAutoUpdate();
        return;
    }
    if (!ConnectAndTest())
        return;
    m_autoUpdate = 1;
    m_blink = false;
    m_pUpdating->setText(kUpdating);
    m_pUpdating->show();
    UpdateControls();
    // Let the new button text and the notice paint before the first upload.
    QCoreApplication::processEvents();
    if (m_autoUpdate == 0 || !m_status)
        return; // stopped while the queue drained
    const std::optional<QString> failure = FailureOf([&] {
        m_status->UploadStatus();
        RefreshBitGrid();
    });
    if (failure) {
        // A page that says it updates but has no timer would only mislead.
        StopAutoUpdate();
        ShowErrorMessage(m_context.Ui, kCommunicationsError, *failure);
        return;
    }
    m_timer.start();
}

void CBitStatusPanelDlg::OnTimerTick()
{
    if (m_busy || !m_status)
        return;
    m_busy = true;
    std::optional<QString> failure;
    const std::uint32_t unexpected = ORVEX_GUARDED([&] {
        failure = FailureOf([&] {
            m_status->UploadStatus();
            RefreshBitGrid();
        });
    });
    if (failure || unexpected != 0) {
        // Stop before the message box: its own event loop would keep the
        // timer firing and the user would get one box a second.
        StopAutoUpdate();
        m_busy = false;
        if (failure)
            ShowErrorMessage(m_context.Ui, kCommunicationsError, *failure);
        return;
    }
    if (m_blink) {
        m_pUpdating->setText(kUpdating);
        m_blink = false;
    } else {
        m_pUpdating->setText(QString());
        m_blink = true;
    }
    m_busy = false;
}

void CBitStatusPanelDlg::RefreshBitGrid()
{
    if (!m_status)
        return;
    for (int row = 0; row < BitStatusRowCount; ++row) {
        BitStatusLook look;
        if (row == DriveFaultOutputRow)
            look = OutputLook(m_status->DriveFaultOutput());
        else if (row == BrakeRelayRow)
            look = OutputLook(m_status->BrakeRelayEnergized());
        else
            look =
                BitLook(BitStatusTable[static_cast<size_t>(row)].Category, m_status->BitState(row));
        m_pGrid->SetCellText(row, 1, look.Text);
        m_pGrid->SetCellColours(row, 1, look.Background, QColor());
    }
}

} // namespace Orvex
