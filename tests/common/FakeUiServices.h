#pragma once

#include "UiServices.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

class QDialog;

namespace OrvexTest {

// Answers every UI request without a window and records what was asked, so a
// test can assert captions, texts and pause lengths.
class FakeUiServices final : public Orvex::IUiServices
{
public:
    struct Message
    {
        QString Caption;
        QString Text;
    };

    void SetOwner(QWidget* owner) override { Owner = owner; }
    void ShowMessage(const QString& caption, const QString& text) override;
    Orvex::QuestionAnswer AskYesNoCancel(const QString& caption, const QString& text) override;
    QString AskText(const QString& caption, const QString& label, const QString& initial) override;
    QString GetOpenFileName(const Orvex::FileDialogRequest& request) override;
    QString GetSaveFileName(const Orvex::FileDialogRequest& request) override;
    int RunModal(QDialog& dialog) override;
    std::unique_ptr<Orvex::IWaitWindow> ShowWait(const QString& text) override;
    void Pause(int milliseconds) override { Pauses.push_back(milliseconds); }

    // What was asked.
    std::vector<Message> Messages;
    std::vector<Message> Questions;
    std::vector<Orvex::FileDialogRequest> FileRequests;
    QStringList WaitTexts; // every text the wait window showed, in order
    std::vector<int> Pauses;
    int OpenWaitWindows = 0;
    QWidget* Owner = nullptr;

    // What to answer; empty queues answer Cancel / an empty text.
    std::deque<Orvex::QuestionAnswer> QuestionAnswers;
    std::deque<QString> TextAnswers;
    std::deque<QString> FileAnswers;
    // Runs inside RunModal with the dialog, before it "closes"; answers its result.
    std::function<int(QDialog&)> OnModal;
    // Runs when a message box is shown (for example to check what else is on screen).
    std::function<void(const Message&)> OnMessage;
};

} // namespace OrvexTest
