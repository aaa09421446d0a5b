#pragma once

#include "MainWindowServices.h"

#include <vector>

namespace OrvexTest {

// A main window that records what a page asks of it.
class FakeMainWindow final : public Orvex::IMainWindow
{
public:
    void SetPageTitle(const QString& title) override { Title = title; }
    void ShowConnectionError(bool show, const QString& text) override
    {
        LabelsShown = show;
        LabelText = text;
    }
    void EnableCommControls(bool) override {}
    int SelectedPort() const override { return Port; }
    void SetPage(int id) override { Pages.push_back(id); }
    int StopStatusAutoUpdate() override
    {
        ++StopRequests;
        return RunningStatusPages;
    }

    QString Title;
    bool LabelsShown = false;
    QString LabelText;
    int Port = 0;
    std::vector<int> Pages;
    int StopRequests = 0;
    // What StopStatusAutoUpdate answers.
    int RunningStatusPages = 0;
};

} // namespace OrvexTest
