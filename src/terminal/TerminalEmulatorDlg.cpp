#include "TerminalEmulatorDlg.h"

#include "AppContext.h"
#include "Component.h"
#include "ComponentFactory.h"
#include "ErrorReport.h"
#include "LinkPort.h"
#include "OrvexCommandDlg.h"
#include "ReceivedText.h"
#include "TermEdit.h"
#include "UiServices.h"
#include "UserButtonProfile.h"
#include "UserButtonsDlg.h"

#include <QCoreApplication>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace {

const QString kCommunicationsError = QStringLiteral("Communications Error");
const QString kCommunicationsStatus = QStringLiteral("Communications Status");
const QString kNotOpen = QStringLiteral("COM port not open");
const QString kNoLink = QStringLiteral("ILinkPort not created");
constexpr QChar kPromptByte(5);
constexpr int kLinePauseMs = 100;
constexpr int kUserButtonColumns = 4;

} // namespace

CTerminalEmulatorDlg::CTerminalEmulatorDlg(Orvex::AppContext& context,
                                           Orvex::IMainWindow& mainWindow, QWidget* parent)
    : TStackedPage(parent), m_context(context), m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("terminalEmulatorPage"));

    // Without a link the page still shows; every send then says why nothing went.
    Orvex::RunShowingErrors(m_context.Ui, kCommunicationsError, [&] {
        m_link = m_context.Factory.Create<Orvex::ILinkPort>(
            QString::fromLatin1(Orvex::ProgId::LinkPort));
    });
    if (m_link)
        connect(m_link.get(), &Orvex::ILinkPort::DataWaiting, this,
                &CTerminalEmulatorDlg::OnDataWaiting);

    BuildControls();
    m_buttons = ReadUserButtons(m_context.Settings);
    ApplyButtonLabels();
}

CTerminalEmulatorDlg::~CTerminalEmulatorDlg()
{
    if (m_link)
        disconnect(m_link.get(), nullptr, this, nullptr);
}

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
        Orvex::ShowErrorMessage(m_context.Ui, kCommunicationsStatus,
                                QStringLiteral("Invalid COM port number"));
        return;
    }
    if (!m_link) {
        m_pBox->setFocus();
        return;
    }
    if (!m_link->IsOpen()) {
        // The link says why it could not open; that beats a bare "not open".
        if (!Orvex::RunShowingErrors(m_context.Ui, kCommunicationsError,
                                     [&] { m_link->Open(port, true); }))
            return;
    }
    if (!m_link->IsOpen()) {
        Orvex::ShowErrorMessage(m_context.Ui, kCommunicationsError, kNotOpen);
        return;
    }
    // A bare carriage return makes the drive answer with its prompt.
    if (Send(QStringLiteral("\r")))
        m_pBox->setFocus();
}

void CTerminalEmulatorDlg::OnDestroyPage()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    if (m_link) {
        disconnect(m_link.get(), nullptr, this, nullptr);
        std::unique_ptr<Orvex::ILinkPort> link = std::move(m_link);
        ORVEX_GUARDED([&] { link->Close(); });
    }
    WriteUserButtons(m_context.Settings, m_buttons);
}

void CTerminalEmulatorDlg::ReopenLink(int portNumber)
{
    if (!m_link)
        return;
    m_link->Close();
    m_link->Open(portNumber, true);
    // A hidden page must not pull the focus away from the one on show.
    if (isVisible())
        m_pBox->setFocus();
}

void CTerminalEmulatorDlg::OnDataWaiting()
{
    ORVEX_GUARDED([&] {
        if (!m_link)
            return;
        const QString text = m_link->Read();
        Orvex::AppendReceived(*m_pBox, text);
        if (text.contains(kPromptByte) || text == QLatin1String("\r\n"))
            Orvex::AppendReceived(*m_pBox, QStringLiteral(">"));
    });
}

void CTerminalEmulatorDlg::OnLineEntered(const QString& line)
{
    ORVEX_GUARDED([&] { Send(line); });
}

bool CTerminalEmulatorDlg::CheckLinkOpen()
{
    if (!m_link) {
        Orvex::ShowErrorMessage(m_context.Ui, kCommunicationsError, kNoLink);
        return false;
    }
    if (!m_link->IsOpen()) {
        Orvex::ShowErrorMessage(m_context.Ui, kCommunicationsError, kNotOpen);
        return false;
    }
    return true;
}

bool CTerminalEmulatorDlg::Send(const QString& text)
{
    if (!CheckLinkOpen())
        return false;
    // A port lost under the write says so in the same box.
    return Orvex::RunShowingErrors(m_context.Ui, kCommunicationsError,
                                   [&] { m_link->Write(text); });
}

void CTerminalEmulatorDlg::SendUserButton(int index)
{
    ORVEX_GUARDED([&] {
        if (index < 0 || index >= UserButtonCount)
            return;
        if (Send(m_buttons[static_cast<size_t>(index)].Command + QLatin1Char('\r')))
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
        if (Send(browser.CommandText() + QLatin1Char('\r')))
            m_pBox->setFocus();
    });
}

void CTerminalEmulatorDlg::ClearDisplay()
{
    ORVEX_GUARDED([&] {
        m_pBox->clear();
        m_pBox->setFocus();
        Orvex::AppendReceived(*m_pBox, QStringLiteral(">"));
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
        Orvex::FileDialogRequest request;
        request.Caption = QStringLiteral("Open");
        request.Filter = QStringLiteral("All Files(*.*)|*.*||");
        request.DefaultExtension = QStringLiteral("*.*");
        request.InitialName = QStringLiteral("*.*");
        request.OverwritePrompt = false;
        const QString path = m_context.Ui.GetOpenFileName(request);
        if (path.isEmpty() || !CheckLinkOpen())
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Orvex::ShowErrorMessage(m_context.Ui, QStringLiteral("Download File"),
                                QStringLiteral("Unable to open file"));
        return;
    }
    QPointer<CTerminalEmulatorDlg> self(this);
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        if (line.endsWith('\n'))
            line.chop(1);
        if (line.endsWith('\r'))
            line.chop(1);
        // Bytes go out as they are in the file; the link sends Latin-1.
        if (!Send(QString::fromLatin1(line) + QLatin1Char('\r')))
            return;
        m_context.Ui.Pause(kLinePauseMs);
        QCoreApplication::processEvents();
        if (!self)
            return;
    }
}
