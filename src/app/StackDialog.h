#pragma once

#include "StackedPage.h"

#include <QDialog>

#include <memory>
#include <vector>

namespace Orvex {

// The page container: owns the page records in creation order and shows
// exactly one page at a time in its placeholder.
class TStackedDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TStackedDialog(QWidget* parent = nullptr);
    ~TStackedDialog() override;

    // Creates the page of that id and places it; a page that cannot be made
    // is reported and left out.
    void AddPage(int id);
    // Hides the active page and shows the page of that id.
    void SetPage(int id);

    TStackedPage* Page(int id) const;
    TStackedPage* ActivePage() const;
    int ActivePageId() const;
    std::vector<int> PageIds() const;

protected:
    // Answers the new page object for an id, or null.
    virtual TStackedPage* CreatePage(int id) = 0;
    virtual void OnPageChanged(int id, bool activated);

    void SetPlaceholder(QWidget* placeholder);
    QWidget* Placeholder() const { return m_pPlaceholder; }
    // Destroys every created page: OnKillActive, OnDestroyPage, delete.
    void DestroyPages();

private:
    struct PageRecord
    {
        bool Created = false;
        bool Active = false;
        int Id = 0;
        TStackedPage* Page = nullptr; // owned through the placeholder
    };

    PageRecord* FindRecord(int id);
    const PageRecord* FindRecord(int id) const;

    std::vector<PageRecord> m_pages;
    QWidget* m_pPlaceholder = nullptr;
};

} // namespace Orvex
