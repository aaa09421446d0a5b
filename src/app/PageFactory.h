#pragma once

#include <QString>

#include <vector>

class TStackedPage;

namespace Orvex {
struct AppContext;
class IMainWindow;
} // namespace Orvex

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

    CPageFactory(Orvex::AppContext& context, Orvex::IMainWindow& mainWindow);

    // Every page, in the order the window creates them.
    static const std::vector<PageInfo>& Pages();
    // The page for an id, or null for an id that is no page.
    TStackedPage* Create(int id) const;

private:
    Orvex::AppContext& m_context;
    Orvex::IMainWindow& m_mainWindow;
};
