#pragma once

#include "UiServices.h"

#include <QPointer>
#include <QWidget>

#include <vector>

namespace Orvex {

// The real UI services: toolkit message boxes and file dialogs, the wait
// window, and pauses that wait in a local event loop so windows keep painting
// while user input is held back. A message box or dialog never opens on top of
// a wait window: the wait windows still on show close first.
class WidgetUiServices final : public IUiServices
{
public:
    void SetOwner(QWidget* owner) override { m_owner = owner; }
    void ShowMessage(const QString& caption, const QString& text) override;
    void ShowDetailedMessage(const QString& caption, const QString& text,
                             const QString& details) override;
    QuestionAnswer AskYesNoCancel(const QString& caption, const QString& text) override;
    QString AskText(const QString& caption, const QString& label, const QString& initial) override;
    QString GetOpenFileName(const FileDialogRequest& request) override;
    QString GetSaveFileName(const FileDialogRequest& request) override;
    int RunModal(QDialog& dialog) override;
    std::unique_ptr<IWaitWindow> ShowWait(const QString& text) override;
    void Pause(int milliseconds) override;

    // The wait windows still on show.
    int OpenWaitWindows() const;

private:
    QString RunFileDialog(const FileDialogRequest& request, bool save);
    void CloseWaitWindows();

    QPointer<QWidget> m_owner;
    std::vector<QPointer<QWidget>> m_waits;
};

} // namespace Orvex
