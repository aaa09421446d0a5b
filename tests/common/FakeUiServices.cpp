#include "FakeUiServices.h"

#include <QDialog>

namespace OrvexTest {

namespace {

class FakeWaitWindow final : public Orvex::IWaitWindow
{
public:
    explicit FakeWaitWindow(FakeUiServices& owner) : m_owner(owner) { ++m_owner.OpenWaitWindows; }
    ~FakeWaitWindow() override { --m_owner.OpenWaitWindows; }
    void SetText(const QString& text) override { m_owner.WaitTexts << text; }

private:
    FakeUiServices& m_owner;
};

template <class T> T TakeFront(std::deque<T>& queue, T fallback)
{
    if (queue.empty())
        return fallback;
    T value = queue.front();
    queue.pop_front();
    return value;
}

} // namespace

void FakeUiServices::ShowMessage(const QString& caption, const QString& text)
{
    Messages.push_back({caption, text});
    if (OnMessage)
        OnMessage(Messages.back());
}

Orvex::QuestionAnswer FakeUiServices::AskYesNoCancel(const QString& caption, const QString& text)
{
    Questions.push_back({caption, text});
    return TakeFront(QuestionAnswers, Orvex::QuestionAnswer::Cancel);
}

QString FakeUiServices::AskText(const QString& caption, const QString& label, const QString&)
{
    Questions.push_back({caption, label});
    return TakeFront(TextAnswers, QString());
}

QString FakeUiServices::GetOpenFileName(const Orvex::FileDialogRequest& request)
{
    FileRequests.push_back(request);
    return TakeFront(FileAnswers, QString());
}

QString FakeUiServices::GetSaveFileName(const Orvex::FileDialogRequest& request)
{
    FileRequests.push_back(request);
    return TakeFront(FileAnswers, QString());
}

int FakeUiServices::RunModal(QDialog& dialog)
{
    return OnModal ? OnModal(dialog) : QDialog::Rejected;
}

std::unique_ptr<Orvex::IWaitWindow> FakeUiServices::ShowWait(const QString& text)
{
    auto window = std::make_unique<FakeWaitWindow>(*this);
    window->SetText(text);
    return window;
}

} // namespace OrvexTest
