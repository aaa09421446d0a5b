#include "NumStatusPanelDlg.h"

#include "AppContext.h"
#include "ComponentError.h"
#include "ErrorReport.h"
#include "NumericStatusTable.h"
#include "OrvexConfig.h"
#include "OrvexStatus.h"
#include "PageIds.h"
#include "StatusConnection.h"
#include "StatusGrid.h"
#include "StatusSelector.h"
#include "UiServices.h"

#include <QColor>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace Orvex {

namespace {

const QString kCommunicationsError = QStringLiteral("Communications Error");
const QString kStartAutoUpdate = QStringLiteral("Start Auto Update");
const QString kStopAutoUpdate = QStringLiteral("Stop Auto Update");
const QString kUpdating = QStringLiteral("Updating...");
const QColor kLightGrey(211, 211, 211);

constexpr int kCheckWidth = 20;
constexpr int kDescriptionWidth = 270;
constexpr int kStatusWidth = 113;

} // namespace

CNumStatusPanelDlg::CNumStatusPanelDlg(AppContext& context, IMainWindow& mainWindow,
                                       QWidget* parent)
    : TStackedPage(parent), m_context(context), m_mainWindow(mainWindow),
      m_gate(context.Ui, mainWindow)
{
    setObjectName(QStringLiteral("numStatusPanelPage"));
    m_timer.setInterval(AutoUpdatePeriodMs);
    connect(&m_timer, &QTimer::timeout, this, &CNumStatusPanelDlg::OnTimerTick);
    BuildControls();
    UpdateControls();
}

CNumStatusPanelDlg::~CNumStatusPanelDlg()
{
    m_timer.stop();
}

void CNumStatusPanelDlg::BuildControls()
{
    auto* layout = new QVBoxLayout(this);

    layout->addWidget(
        MakeStatusSelector(this, PageId::NumericStatusPanel, m_mainWindow, &m_pNumericRadio));

    auto* gridGroup = new QGroupBox(QStringLiteral("Numeric Status"), this);
    auto* gridLayout = new QVBoxLayout(gridGroup);
    m_pGrid = new CStatusGrid(NumericStatusRowCount,
                              {QString(), QStringLiteral("Description"), QStringLiteral("Status")},
                              gridGroup);
    m_pGrid->setObjectName(QStringLiteral("numericStatusGrid"));
    m_pGrid->setAccessibleName(QStringLiteral("Numeric Status"));
    m_pGrid->SetColumnWidth(CheckColumn, kCheckWidth);
    m_pGrid->SetColumnWidth(DescriptionColumn, kDescriptionWidth);
    m_pGrid->SetColumnWidth(StatusColumn, kStatusWidth);
    for (int row = 0; row < NumericStatusRowCount; ++row) {
        const NumericStatusRow& item = NumericStatusTable[static_cast<size_t>(row)];
        m_pGrid->SetCellCheckBox(row, CheckColumn, false);
        m_pGrid->SetRowHeading(row, QString::fromLatin1(item.Label));
        m_pGrid->SetCellText(row, DescriptionColumn, NumericStatusDescription(item, false));
        m_pGrid->SetCellColours(row, StatusColumn, kLightGrey, QColor());
    }
    gridLayout->addWidget(m_pGrid);
    layout->addWidget(gridGroup, 1);

    auto* buttons = new QHBoxLayout;
    auto addButton = [&](const QString& text, const char* name,
                         void (CNumStatusPanelDlg::*slot)()) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, slot);
        buttons->addWidget(button);
        return button;
    };
    m_pSelectAll =
        addButton(QStringLiteral("Select All"), "selectAllButton", &CNumStatusPanelDlg::SelectAll);
    m_pClearAll =
        addButton(QStringLiteral("Clear All"), "clearAllButton", &CNumStatusPanelDlg::ClearAll);
    buttons->addStretch(1);
    m_pUpdating = new QLabel(kUpdating, this);
    m_pUpdating->setObjectName(QStringLiteral("updatingText"));
    // Blinking empties the text; keep the room so the buttons do not move.
    m_pUpdating->setMinimumWidth(m_pUpdating->sizeHint().width());
    QSizePolicy keepRoom = m_pUpdating->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    m_pUpdating->setSizePolicy(keepRoom);
    m_pUpdating->hide();
    buttons->addWidget(m_pUpdating);
    m_pManualUpdate = addButton(QStringLiteral("Manual Update"), "manualUpdateButton",
                                &CNumStatusPanelDlg::ManualUpdate);
    m_pAutoUpdate =
        addButton(kStartAutoUpdate, "autoUpdateButton", &CNumStatusPanelDlg::ToggleAutoUpdate);
    layout->addLayout(buttons);
}

void CNumStatusPanelDlg::UpdateControls()
{
    m_pAutoUpdate->setText(m_autoUpdate ? kStopAutoUpdate : kStartAutoUpdate);
    m_pManualUpdate->setEnabled(!m_autoUpdate);
    m_pSelectAll->setEnabled(!m_autoUpdate);
    m_pClearAll->setEnabled(!m_autoUpdate);
}

void CNumStatusPanelDlg::SetDescriptions(bool motorIsLinear)
{
    for (int row = 0; row < NumericStatusRowCount; ++row) {
        const NumericStatusRow& item = NumericStatusTable[static_cast<size_t>(row)];
        m_pGrid->SetCellText(row, DescriptionColumn, NumericStatusDescription(item, motorIsLinear));
    }
}

void CNumStatusPanelDlg::OnSetActive()
{
    ORVEX_GUARDED([&] {
        m_mainWindow.SetPageTitle(QStringLiteral("Status Panel"));
        m_pNumericRadio->setChecked(true);
        SetDescriptions(m_context.Config.MotorIsLinear() != 0);
    });
}

void CNumStatusPanelDlg::OnKillActive()
{
    StopAutoUpdate();
}

void CNumStatusPanelDlg::OnDestroyPage()
{
    StopAutoUpdate();
}

std::uint32_t CNumStatusPanelDlg::SelectionMask() const
{
    std::uint32_t mask = 0;
    for (int row = 0; row < NumericStatusRowCount; ++row) {
        if (m_pGrid->IsCellChecked(row, CheckColumn))
            mask |= NumericStatusTable[static_cast<size_t>(row)].ItemBit;
    }
    return mask;
}

bool CNumStatusPanelDlg::CheckSelection()
{
    // No item lives in the upper selection word, so the lower one decides.
    if (SelectionMask() != 0)
        return true;
    ShowErrorMessage(m_context.Ui, QStringLiteral("Numeric Status Update"),
                     QStringLiteral("You need to select one or more status items."));
    return false;
}

void CNumStatusPanelDlg::RefreshGrid(IOrvexStatus& status)
{
    for (int row = 0; row < NumericStatusRowCount; ++row) {
        // Unticked rows keep what they last showed.
        if (!m_pGrid->IsCellChecked(row, CheckColumn))
            continue;
        const NumericStatusRow& item = NumericStatusTable[static_cast<size_t>(row)];
        m_pGrid->SetCellText(row, StatusColumn, ReadNumericStatusText(status, item));
    }
}

void CNumStatusPanelDlg::ManualUpdate()
{
    ORVEX_GUARDED([&] {
        if (!CheckSelection() || m_autoUpdate)
            return;
        RunShowingErrors(m_context.Ui, kCommunicationsError, [&] {
            // The object lives for this click only.
            const std::unique_ptr<IOrvexStatus> status = ConnectStatus(m_context, m_gate);
            if (!status)
                return;
            {
                const auto wait =
                    m_context.Ui.ShowWait(QStringLiteral("Uploading Orvex numeric status..."));
                status->UploadNumericStatus(static_cast<int>(SelectionMask()), 0);
            }
            RefreshGrid(*status);
        });
    });
}

void CNumStatusPanelDlg::ToggleAutoUpdate()
{
    ORVEX_GUARDED([&] {
        if (!CheckSelection())
            return;
        if (m_autoUpdate) {
            StopAutoUpdate();
            return;
        }
        RunShowingErrors(m_context.Ui, kCommunicationsError, [&] {
            std::unique_ptr<IOrvexStatus> status = ConnectStatus(m_context, m_gate);
            if (!status)
                return;
            m_status = std::move(status);
            StartAutoUpdate();
        });
    });
}

void CNumStatusPanelDlg::StartAutoUpdate()
{
    m_autoUpdate = true;
    m_pUpdating->setText(kUpdating);
    m_pUpdating->show();
    UpdateControls();
    // Let the button and the text repaint before the first period.
    QPointer<CNumStatusPanelDlg> self(this);
    QCoreApplication::processEvents();
    if (!self || !m_autoUpdate)
        return;
    // The first values come with the first tick.
    m_timer.start();
}

void CNumStatusPanelDlg::OnTimerTick()
{
    if (m_busy || !m_autoUpdate || !m_status)
        return;
    m_busy = true;
    IOrvexStatus* status = m_status.get();
    bool failed = true;
    QString failure;
    ORVEX_GUARDED([&] {
        try {
            status->UploadNumericStatus(static_cast<int>(SelectionMask()), 0);
            RefreshGrid(*status);
            failed = false;
        } catch (const ComponentError& error) {
            failure = error.Description();
        } catch (const FrameworkException& error) {
            failure = error.Message().left(MessageBoxTextMaxLength);
        }
    });
    if (failed) {
        // Stop first: a drive that stopped answering would otherwise raise
        // one message a second.
        StopAutoUpdate();
        if (!failure.isEmpty())
            ShowErrorMessage(m_context.Ui, kCommunicationsError, failure);
    } else if (m_autoUpdate) {
        m_pUpdating->setText(m_blink ? kUpdating : QString());
        m_blink = !m_blink;
    }
    m_retiredStatus.reset();
    m_busy = false;
}

void CNumStatusPanelDlg::StopAutoUpdate()
{
    m_autoUpdate = false;
    m_timer.stop();
    ReleaseStatus();
    m_pUpdating->hide();
    UpdateControls();
}

void CNumStatusPanelDlg::ReleaseStatus()
{
    // A tick waiting on the drive still holds the object; it frees it when done.
    if (m_busy) {
        if (m_status)
            m_retiredStatus = std::move(m_status);
        return;
    }
    m_status.reset();
}

void CNumStatusPanelDlg::SelectAll()
{
    for (int row = 0; row < NumericStatusRowCount; ++row)
        m_pGrid->SetCellCheckBox(row, CheckColumn, true);
}

void CNumStatusPanelDlg::ClearAll()
{
    for (int row = 0; row < NumericStatusRowCount; ++row)
        m_pGrid->SetCellCheckBox(row, CheckColumn, false);
}

} // namespace Orvex
