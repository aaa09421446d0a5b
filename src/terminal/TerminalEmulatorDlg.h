#pragma once

#include "LinkSession.h"
#include "MainWindowServices.h"
#include "StackedPage.h"
#include "UserButtonInfo.h"

#include <QString>

#include <array>

class QPushButton;

namespace Orvex {

class CTermEdit;
struct AppContext;

// The terminal page: the user types drive commands and sees the drive's
// answers, sends prepared commands from twelve user buttons or the command
// browser, and sends a text file line by line, over the page's own serial link.
class CTerminalEmulatorDlg final : public TStackedPage, public ILinkOwningPage
{
    Q_OBJECT

public:
    CTerminalEmulatorDlg(AppContext& context, IMainWindow& mainWindow, QWidget* parent = nullptr);
    ~CTerminalEmulatorDlg() override;

    void OnSetActive() override;
    void OnDestroyPage() override;

    // ILinkOwningPage
    bool HasLink() const override { return m_link.Exists(); }
    void ReopenLink(int portNumber) override;

    // The buttons' handlers.
    void SendUserButton(int index);
    void RunCommandBrowser();
    void ClearDisplay();
    void EditUserButtons();
    void DownloadTextFile();

    const std::array<CUserButtonInfo, 12>& UserButtons() const { return m_buttons; }
    CTermEdit* TextBox() const { return m_pBox; }

private:
    void BuildControls();
    void ApplyButtonLabels();
    void OnReceived(const QString& text);
    void OnLineEntered(const QString& line);
    // Sends a prepared command and shows it in the box as a typed one.
    bool SendEchoed(const QString& command);
    void SendFileLines(const QString& path);

    AppContext& m_context;
    IMainWindow& m_mainWindow;
    LinkSession m_link;
    std::array<CUserButtonInfo, 12> m_buttons;
    bool m_destroyed = false;

    CTermEdit* m_pBox = nullptr;
    std::array<QPushButton*, 12> m_userButtons{};
    QPushButton* m_pDownload = nullptr;
};

} // namespace Orvex
