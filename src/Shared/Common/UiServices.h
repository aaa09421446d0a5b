#pragma once

#include "ComponentError.h"

#include <QString>

#include <memory>
#include <utility>

class QDialog;
class QWidget;

namespace Orvex {

// The notice shown while a blocking drive call runs.
class IWaitWindow
{
public:
    virtual ~IWaitWindow() = default;
    virtual void SetText(const QString& text) = 0;
};

// What a file dialog is asked for. The filter is written the classic way,
// "Description(*.ext)|*.ext||"; the services translate it for the toolkit.
struct FileDialogRequest
{
    QString Caption;
    QString Filter;
    QString DefaultExtension; // "*.kvt" or "kvt"
    QString InitialName;
    bool OverwritePrompt = true;
    // The folder the dialog opens in; empty for the toolkit's choice.
    QString Folder;
};

enum class QuestionAnswer
{
    Yes,
    No,
    Cancel
};

// Message boxes, questions, file dialogs, the wait window and fixed pauses,
// behind one small interface so that every page can be driven by a test
// without a modal window and without real waiting.
class IUiServices
{
public:
    virtual ~IUiServices() = default;

    // The window that owns message boxes and dialogs (the main window).
    virtual void SetOwner(QWidget* owner) = 0;

    // An OK-only message box.
    virtual void ShowMessage(const QString& caption, const QString& text) = 0;
    // The same with details the user can open (why a file was refused, and
    // on which line).
    virtual void ShowDetailedMessage(const QString& caption, const QString& text,
                                     const QString& details) = 0;
    virtual QuestionAnswer AskYesNoCancel(const QString& caption, const QString& text) = 0;
    // A line of text; an empty result means the user cancelled.
    virtual QString AskText(const QString& caption, const QString& label,
                            const QString& initial) = 0;
    // The chosen path, or empty when the user cancelled.
    virtual QString GetOpenFileName(const FileDialogRequest& request) = 0;
    virtual QString GetSaveFileName(const FileDialogRequest& request) = 0;

    // Runs a modal dialog and answers its result code.
    virtual int RunModal(QDialog& dialog) = 0;

    // Shows the "Please wait..." window with one line of text until the
    // returned object is destroyed.
    virtual std::unique_ptr<IWaitWindow> ShowWait(const QString& text) = 0;
    // A fixed pause after a drive action; the window keeps painting.
    virtual void Pause(int milliseconds) = 0;
};

// Shows an OK-only error box owned by the main window.
inline void ShowErrorMessage(IUiServices& ui, const QString& caption, const QString& text)
{
    ui.ShowMessage(caption, text);
}

// Longest framework message a message box shows.
inline constexpr int MessageBoxTextMaxLength = 1024;

// Runs body. A component error shows its description, a framework exception
// its message, in an OK-only box with the caption; answers false then. Other
// failures go on to the caller's guarded handler.
template <class Body> bool RunShowingErrors(IUiServices& ui, const QString& caption, Body&& body)
{
    try {
        std::forward<Body>(body)();
        return true;
    } catch (const ComponentError& error) {
        ShowErrorMessage(ui, caption, error.Description());
    } catch (const FrameworkException& error) {
        ShowErrorMessage(ui, caption, error.Message().left(MessageBoxTextMaxLength));
    }
    return false;
}

// "Orvex Configuration Files(*.kvt)|*.kvt||" as a toolkit filter:
// "Orvex Configuration Files(*.kvt)"; a description that does not end with
// its patterns gets them added: "Text|*.txt||" becomes "Text (*.txt)".
QString ToolkitFileFilter(const QString& classicFilter);

} // namespace Orvex
