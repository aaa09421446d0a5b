#include "ErrorLogDlg.h"

#include "AppContext.h"
#include "ErrorLogSettings.h"
#include "ErrorLogSetupDlg.h"
#include "ErrorReport.h"
#include "PageIds.h"
#include "ReceivedText.h"
#include "StatusSelector.h"
#include "UiServices.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace Orvex {

CErrorLogEdit::CErrorLogEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("errorLogEdit"));
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);

    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFamilies({QStringLiteral("Courier New"),
                      QFontDatabase::systemFont(QFontDatabase::FixedFont).family()});
    font.setPixelSize(12);
    font.setWeight(QFont::Normal);
    setFont(font);

    QPalette colours = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::Base, QColor(245, 222, 179));
        colours.setColor(group, QPalette::Text, QColor(0, 0, 0));
    }
    setPalette(colours);
}

CErrorLogDlg::CErrorLogDlg(AppContext& context, IMainWindow& mainWindow, QWidget* parent)
    : TStackedPage(parent), m_context(context), m_mainWindow(mainWindow),
      m_link(context.Factory, context.Ui)
{
    setObjectName(QStringLiteral("errorLogPage"));
    connect(&m_link, &LinkSession::Received, this, &CErrorLogDlg::AppendReceived);
    BuildControls();
}

CErrorLogDlg::~CErrorLogDlg() = default;

void CErrorLogDlg::BuildControls()
{
    auto* layout = new QVBoxLayout(this);

    layout->addWidget(MakeStatusSelector(this, PageId::ErrorLog, m_mainWindow, &m_pErrorLogRadio));

    auto* log = new QGroupBox(QStringLiteral("Error Log"), this);
    log->setObjectName(QStringLiteral("errorLogGroup"));
    auto* logLayout = new QVBoxLayout(log);
    m_pBox = new CErrorLogEdit(log);
    logLayout->addWidget(m_pBox);
    layout->addWidget(log, 1);

    auto* actions = new QHBoxLayout;
    auto addButton = [&](const QString& text, const char* name, void (CErrorLogDlg::*handler)()) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        actions->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, handler] {
            const auto run = [this, handler] { (this->*handler)(); };
            ORVEX_GUARDED(run);
        });
        return button;
    };
    m_pSetup = addButton(QStringLiteral("Setup Error Log..."), "setupErrorLogButton",
                         &CErrorLogDlg::SetupErrorLog);
    m_pView = addButton(QStringLiteral("View Error Log"), "viewErrorLogButton",
                        &CErrorLogDlg::ViewErrorLog);
    m_pClear = addButton(QStringLiteral("Clear Error Log"), "clearErrorLogButton",
                         &CErrorLogDlg::ClearErrorLog);
    actions->addStretch(1);
    layout->addLayout(actions);
}

void CErrorLogDlg::OnSetActive()
{
    m_mainWindow.SetPageTitle(QStringLiteral("Status Panel"));
    m_pErrorLogRadio->setChecked(true);
    // The status pages' bridge traffic must be over before the log commands.
    QPointer<CErrorLogDlg> self(this);
    const int stopped = m_mainWindow.StopStatusAutoUpdate();
    for (int i = 0; i < stopped && self; ++i)
        m_context.Ui.Pause(StopPauseMs);
    if (self)
        m_pBox->clear();
}

void CErrorLogDlg::OnKillActive()
{
    // The link would otherwise keep collecting every other page's traffic
    // on the port; the next command opens it again anyway.
    ORVEX_GUARDED([this] { m_link.Close(); });
}

void CErrorLogDlg::OnDestroyPage()
{
    ORVEX_GUARDED([this] { m_link.Release(); });
}

bool CErrorLogDlg::SendLogCommand(const QString& text)
{
    // Every command goes out on a freshly opened link.
    if (!m_link.EnsureCreated())
        return false;
    m_link.Close();
    return m_link.Open(m_mainWindow.SelectedPort(), true) && m_link.Send(text);
}

void CErrorLogDlg::AppendReceived(const QString& text)
{
    Orvex::AppendReceived(*m_pBox, text);
}

void CErrorLogDlg::RunLogCommand(const QString& waitText, const QString& command, int pauseMs,
                                 const QString& readBack)
{
    if (m_busy)
        return;
    m_busy = true;
    for (QPushButton* button : {m_pSetup, m_pView, m_pClear})
        button->setEnabled(false);
    QPointer<CErrorLogDlg> self(this);
    {
        const auto wait = m_context.Ui.ShowWait(waitText);
        // A command that did not go out has no answer to wait for.
        if (SendLogCommand(command)) {
            m_context.Ui.Pause(pauseMs);
            if (self && !readBack.isEmpty() && m_link.Send(readBack))
                m_context.Ui.Pause(ReadBackPauseMs);
        }
    }
    if (!self)
        return;
    for (QPushButton* button : {m_pSetup, m_pView, m_pClear})
        button->setEnabled(true);
    m_busy = false;
}

void CErrorLogDlg::SetupErrorLog()
{
    if (m_busy)
        return;
    CErrorLogSetupDlg dialog(m_context.Settings, this);
    if (m_context.Ui.RunModal(dialog) != QDialog::Accepted)
        return;
    m_pBox->clear();
    const std::uint16_t mask = ErrorLogMask(dialog.Selection());
    // The drive then prints the set-up it now holds, so the user sees it took.
    RunLogCommand(QStringLiteral("Setting up Orvex error log..."), ErrorLogMaskCommand(mask),
                  SetupPauseMs, QStringLiteral("ERRORL\r"));
}

void CErrorLogDlg::ViewErrorLog()
{
    if (m_busy)
        return;
    m_pBox->clear();
    RunLogCommand(QStringLiteral("Retrieving Orvex error log..."), QStringLiteral("TERRLG\r"),
                  LogPauseMs);
}

void CErrorLogDlg::ClearErrorLog()
{
    if (m_busy)
        return;
    m_pBox->clear();
    RunLogCommand(QStringLiteral("Clearing Orvex error log..."), QStringLiteral("CERRLG\r"),
                  LogPauseMs);
}

} // namespace Orvex
