#include "TerminalEmulatorDlg.h"

#include "AppContext.h"
#include "BoundedFile.h"
#include "ErrorReport.h"
#include "OrvexCommandDlg.h"
#include "ReceivedText.h"
#include "TermEdit.h"
#include "UiServices.h"
#include "UserButtonProfile.h"
#include "UserButtonsDlg.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLoggingCategory>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace Orvex {

namespace {

const QString kCommunicationsStatus = QStringLiteral("Communications Status");
Q_LOGGING_CATEGORY(lcTerminal, "orvex.terminal", QtInfoMsg)

constexpr QChar kPromptByte(5);
constexpr int kLinePauseMs = 100;
constexpr int kUserButtonColumns = 4;

} // namespace

CTerminalEmulatorDlg::CTerminalEmulatorDlg(AppContext& context, IMainWindow& mainWindow,
                                           QWidget* parent)
    : TStackedPage(parent), m_context(context), m_mainWindow(mainWindow),
      m_link(context.Factory, context.Ui)
{
    setObjectName(QStringLiteral("terminalEmulatorPage"));

    // Without a link the page still shows; every send then says why nothing went.
    RunShowingErrors(m_context.Ui, LinkSession::CommunicationsError, [&] { m_link.Create(); });
    connect(&m_link, &LinkSession::Received, this, &CTerminalEmulatorDlg::OnReceived);

    BuildControls();
    m_buttons = ReadUserButtons(m_context.Settings);
    ApplyButtonLabels();
}

CTerminalEmulatorDlg::~CTerminalEmulatorDlg() = default;

void CTerminalEmulatorDlg::BuildControls()
{
    auto* layout = new QVBoxLayout(this);

    auto* boxLabel = new QLabel(QStringLiteral("&Terminal"), this);
    m_pBox = new CTermEdit(this);
    boxLabel->setBuddy(m_pBox);
    layout->addWidget(boxLabel);
    layout->addWidget(m_pBox, 1);
    connect(m_pBox, &CTermEdit::LineEntered, this, &CTerminalEmulatorDlg::OnLineEntered);

    auto* userGrid = new QGridLayout;
    for (int i = 0; i < UserButtonCount; ++i) {
        auto* button = new QPushButton(DefaultUserButtonLabel(i + 1), this);
        button->setObjectName(QStringLiteral("userButton%1").arg(i + 1));
        // Long labels must not widen the page beyond the screen.
        button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        button->setMinimumWidth(80);
        userGrid->addWidget(button, i / kUserButtonColumns, i % kUserButtonColumns);
        connect(button, &QPushButton::clicked, this, [this, i] { SendUserButton(i); });
        m_userButtons[static_cast<size_t>(i)] = button;
    }
    layout->addLayout(userGrid);

    auto* actions = new QHBoxLayout;
    auto addAction = [&](const QString& text, const char* name,
                         void (CTerminalEmulatorDlg::*slot)()) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(QString::fromLatin1(name));
        actions->addWidget(button);
        connect(button, &QPushButton::clicked, this, slot);
        return button;
    };
    addAction(QStringLiteral("Orvex Commands..."), "orvexCommandsButton",
              &CTerminalEmulatorDlg::RunCommandBrowser);
    addAction(QStringLiteral("Clear Display"), "clearDisplayButton",
              &CTerminalEmulatorDlg::ClearDisplay);
    addAction(QStringLiteral("Edit User Buttons..."), "editUserButtonsButton",
              &CTerminalEmulatorDlg::EditUserButtons);
    m_pDownload = addAction(QStringLiteral("Download Text File..."), "downloadTextFileButton",
                            &CTerminalEmulatorDlg::DownloadTextFile);
    layout->addLayout(actions);

    // Enter belongs to the text box, never to a default button.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
}

void CTerminalEmulatorDlg::ApplyButtonLabels()
{
    for (size_t i = 0; i < m_userButtons.size(); ++i) {
        m_userButtons[i]->setText(m_buttons[i].Label);
        m_userButtons[i]->setToolTip(m_buttons[i].Command);
    }
}

void CTerminalEmulatorDlg::OnSetActive()
{
    m_mainWindow.SetPageTitle(QStringLiteral("Terminal Emulator"));
    const int port = m_mainWindow.SelectedPort();
    if (port <= 0) {
        ShowErrorMessage(m_context.Ui, kCommunicationsStatus,
                         QStringLiteral("Invalid COM port number"));
        return;
    }
    if (!m_link.Exists()) {
        m_pBox->setFocus();
        return;
    }
    if (!m_link.Open(port, true))
        return;
    // A bare carriage return makes the drive answer with its prompt.
    if (m_link.Send(QStringLiteral("\r")))
        m_pBox->setFocus();
}

void CTerminalEmulatorDlg::OnDestroyPage()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    ORVEX_GUARDED([&] { m_link.Release(); });
    WriteUserButtons(m_context.Settings, m_buttons);
}

void CTerminalEmulatorDlg::ReopenLink(int portNumber)
{
    m_link.Reopen(portNumber, true);
    // A hidden page must not pull the focus away from the one on show.
    if (isVisible())
        m_pBox->setFocus();
}

void CTerminalEmulatorDlg::OnReceived(const QString& text)
{
    m_pBox->ShowAboveTypedLine([&] {
        AppendReceived(*m_pBox, text);
        if (text.contains(kPromptByte) || text == QLatin1String("\r\n"))
            AppendReceived(*m_pBox, QStringLiteral(">"));
    });
}

void CTerminalEmulatorDlg::OnLineEntered(const QString& line)
{
    ORVEX_GUARDED([&] { m_link.Send(line); });
}

void CTerminalEmulatorDlg::SendUserButton(int index)
{
    ORVEX_GUARDED([&] {
        if (index < 0 || index >= UserButtonCount)
            return;
        if (SendEchoed(m_buttons[static_cast<size_t>(index)].Command))
            m_pBox->setFocus();
    });
}

void CTerminalEmulatorDlg::RunCommandBrowser()
{
    ORVEX_GUARDED([&] {
        COrvexCommandDlg browser(m_context.ProgramFolder, m_context.Ui, this);
        if (!browser.IsLoaded())
            return;
        if (m_context.Ui.RunModal(browser) != QDialog::Accepted)
            return;
        if (SendEchoed(browser.CommandText()))
            m_pBox->setFocus();
    });
}

bool CTerminalEmulatorDlg::SendEchoed(const QString& command)
{
    if (!m_link.CheckOpen())
        return false;
    // Shown as if typed, so the drive's answer stands under its command.
    m_pBox->ShowAboveTypedLine([&] { AppendReceived(*m_pBox, command + QLatin1Char('\r')); });
    return m_link.Send(command + QLatin1Char('\r'));
}

void CTerminalEmulatorDlg::ClearDisplay()
{
    ORVEX_GUARDED([&] {
        m_pBox->clear();
        m_pBox->setFocus();
        AppendReceived(*m_pBox, QStringLiteral(">"));
    });
}

void CTerminalEmulatorDlg::EditUserButtons()
{
    ORVEX_GUARDED([&] {
        CUserButtonsDlg dialog(m_buttons, m_context.Ui, this);
        if (m_context.Ui.RunModal(dialog) != QDialog::Accepted)
            return;
        m_buttons = dialog.Entries();
        ApplyButtonLabels();
    });
}

void CTerminalEmulatorDlg::DownloadTextFile()
{
    ORVEX_GUARDED([&] {
        FileDialogRequest request;
        request.Caption = QStringLiteral("Open");
        request.Filter = QStringLiteral("All Files(*.*)|*.*||");
        request.DefaultExtension = QStringLiteral("*.*");
        request.InitialName = QStringLiteral("*.*");
        request.OverwritePrompt = false;
        const QString path = m_context.Ui.GetOpenFileName(request);
        if (path.isEmpty() || !m_link.CheckOpen())
            return;
        // The pauses let events through; a second download must not start inside the first.
        m_pDownload->setEnabled(false);
        QPointer<CTerminalEmulatorDlg> self(this);
        SendFileLines(path);
        if (self) {
            m_pDownload->setEnabled(true);
            m_pBox->setFocus();
        }
    });
}

void CTerminalEmulatorDlg::SendFileLines(const QString& path)
{
    // A command script is a few kilobytes; a device or pipe would never end.
    constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;
    QString reason;
    const std::optional<QByteArray> bytes = ReadBoundedFile(path, kMaxFileSize, &reason);
    if (!bytes) {
        qCWarning(lcTerminal).noquote() << "cannot download" << path << ":" << reason;
        ShowErrorMessage(m_context.Ui, QStringLiteral("Download File"),
                         QStringLiteral("Unable to open file"));
        return;
    }
    QList<QByteArray> lines = bytes->split('\n');
    // A final line break ends the last line rather than starting an empty one.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QPointer<CTerminalEmulatorDlg> self(this);
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        // Bytes go out as they are in the file; the link sends Latin-1.
        // Lines lost while the link was down cannot be sent again in order.
        if (!m_link.Send(QString::fromLatin1(line) + QLatin1Char('\r'), false))
            return;
        m_context.Ui.Pause(kLinePauseMs);
        QCoreApplication::processEvents();
        if (!self)
            return;
    }
}

} // namespace Orvex
