#pragma once

#include "LinkSession.h"
#include "MainWindowServices.h"
#include "StackedPage.h"

#include <QPlainTextEdit>

class QPushButton;
class QRadioButton;

namespace Orvex {

struct AppContext;

// The read-only box that shows what the drive printed: dark text on wheat, in
// a fixed-pitch font.
class CErrorLogEdit final : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit CErrorLogEdit(QWidget* parent = nullptr);
};

// The drive error log page: chooses which fault events the drive logs, has
// the drive print its log and clears it, through the page's own serial link.
class CErrorLogDlg final : public TStackedPage
{
    Q_OBJECT

public:
    static constexpr int SetupPauseMs = 1000;
    static constexpr int LogPauseMs = 3000;
    static constexpr int StopPauseMs = 1000;
    // For the drive's one-line answer to a read-back of its set-up.
    static constexpr int ReadBackPauseMs = 300;

    CErrorLogDlg(AppContext& context, IMainWindow& mainWindow, QWidget* parent = nullptr);
    ~CErrorLogDlg() override;

    void OnSetActive() override;
    void OnKillActive() override;
    void OnDestroyPage() override;

    // The buttons' handlers.
    void SetupErrorLog();
    void ViewErrorLog();
    void ClearErrorLog();

    // Sends one command on a freshly reopened link; false, with the user
    // told why, when it could not be sent.
    bool SendLogCommand(const QString& text);
    void AppendReceived(const QString& text);

    bool HasLink() const { return m_link.Exists(); }
    CErrorLogEdit* Box() const { return m_pBox; }

private:
    void BuildControls();
    // Runs one log command behind the wait window, then pauses while the
    // drive's answer comes in; the buttons stay disabled throughout.
    // A read-back command, when given, follows on the same link.
    void RunLogCommand(const QString& waitText, const QString& command, int pauseMs,
                       const QString& readBack = QString());

    AppContext& m_context;
    IMainWindow& m_mainWindow;
    LinkSession m_link;
    bool m_busy = false;

    QRadioButton* m_pErrorLogRadio = nullptr;
    CErrorLogEdit* m_pBox = nullptr;
    QPushButton* m_pSetup = nullptr;
    QPushButton* m_pView = nullptr;
    QPushButton* m_pClear = nullptr;
};

} // namespace Orvex
