#pragma once

#include "UiServices.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

namespace OrvexTest {

// Answers every UI request without a window and records what was asked, so a
// test can assert captions, texts and pause lengths.
class FakeUiServices final : public Orvex::IUiServices
{
    using Request = Orvex::FileDialogRequest;

public:
    struct Message
    {
        QString Caption;
        QString Text;
        QString Details = {};
    };

    void SetOwner(QWidget* owner) override { Owner = owner; }
    void ShowMessage(const QString& caption, const QString& text) override
    {
        ShowDetailedMessage(caption, text, QString());
    }
    void ShowDetailedMessage(const QString& caption, const QString& text,
                             const QString& details) override
    {
        Messages.push_back({caption, text, details});
        if (OnMessage)
            OnMessage(Messages.back());
    }
    Orvex::QuestionAnswer AskYesNoCancel(const QString& caption, const QString& text) override
    {
        Questions.push_back({caption, text});
        return TakeFront(QuestionAnswers, Orvex::QuestionAnswer::Cancel);
    }
    QString AskText(const QString& caption, const QString& label, const QString&) override
    {
        Questions.push_back({caption, label});
        return TakeFront(TextAnswers, QString());
    }
    QString GetOpenFileName(const Request& request) override { return AskFile(request); }
    QString GetSaveFileName(const Request& request) override { return AskFile(request); }
    int RunModal(QDialog& dialog) override;
    std::unique_ptr<Orvex::IWaitWindow> ShowWait(const QString& text) override
    {
        auto window = std::make_unique<WaitWindow>(*this);
        window->SetText(text);
        return window;
    }
    void Pause(int milliseconds) override
    {
        Pauses.push_back(milliseconds);
        if (OnPause)
            OnPause(milliseconds);
    }

    // What was asked.
    std::vector<Message> Messages;
    std::vector<Message> Questions;
    std::vector<Request> FileRequests;
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
    // Runs when a pause is asked for (for example to change the drive between two actions).
    std::function<void(int)> OnPause;

private:
    // Counted while open; every text it shows is recorded.
    class WaitWindow final : public Orvex::IWaitWindow
    {
    public:
        explicit WaitWindow(FakeUiServices& ui) : m_ui(ui) { ++m_ui.OpenWaitWindows; }
        ~WaitWindow() override { --m_ui.OpenWaitWindows; }
        void SetText(const QString& text) override { m_ui.WaitTexts << text; }

    private:
        FakeUiServices& m_ui;
    };

    QString AskFile(const Request& request)
    {
        FileRequests.push_back(request);
        return TakeFront(FileAnswers, QString());
    }
    template <class T> static T TakeFront(std::deque<T>& queue, T fallback)
    {
        if (queue.empty())
            return fallback;
        T value = std::move(queue.front());
        queue.pop_front();
        return value;
    }
};

} // namespace OrvexTest
