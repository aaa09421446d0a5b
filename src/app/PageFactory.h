#pragma once

#include <QString>

#include <memory>
#include <vector>

namespace Orvex {

class CConfigWorkflow;
class TStackedPage;
struct AppContext;
class IMainWindow;

// Makes the main window's pages: the one place that names the page classes.
class CPageFactory
{
public:
    struct PageInfo
    {
        int Id;
        const char* Title;
    };

    CPageFactory(AppContext& context, IMainWindow& mainWindow);
    ~CPageFactory();

    // Every page, in the order the window creates them.
    static const std::vector<PageInfo>& Pages();
    // The page for an id, or null for an id that is no page.
    TStackedPage* Create(int id) const;
    // Every page exists: the wizard opens the configuration file of the last run.
    void AllPagesCreated();

    // What the wizard and tuning pages share; made before them.
    CConfigWorkflow& Workflow() const { return *m_workflow; }

private:
    AppContext& m_context;
    IMainWindow& m_mainWindow;
    std::unique_ptr<CConfigWorkflow> m_workflow;
};

} // namespace Orvex
