#pragma once

#include <QString>

#include <vector>

namespace Orvex {

class TStackedPage;
struct AppContext;
class IMainWindow;

// Makes the main window's pages: the one place that names the page classes.
// A page whose work is not built yet is made as a page that shows its title.
class CPageFactory
{
public:
    struct PageInfo
    {
        int Id;
        const char* Title;
    };

    CPageFactory(AppContext& context, IMainWindow& mainWindow);

    // Every page, in the order the window creates them.
    static const std::vector<PageInfo>& Pages();
    // The page for an id, or null for an id that is no page.
    TStackedPage* Create(int id) const;

private:
    AppContext& m_context;
    IMainWindow& m_mainWindow;
};

} // namespace Orvex
