#include "StackDialog.h"

#include "ErrorReport.h"

#include <QGridLayout>

namespace Orvex {

TStackedDialog::TStackedDialog(QWidget* parent) : QDialog(parent) {}

TStackedDialog::~TStackedDialog()
{
    DestroyPages();
}

void TStackedDialog::SetPlaceholder(QWidget* placeholder)
{
    m_pPlaceholder = placeholder;
    if (m_pPlaceholder && !m_pPlaceholder->layout()) {
        auto* layout = new QGridLayout(m_pPlaceholder);
        layout->setContentsMargins(0, 0, 0, 0);
    }
}

void TStackedDialog::AddPage(int id)
{
    ORVEX_GUARDED([&] {
        m_pages.push_back(PageRecord{false, false, id, nullptr});
        TStackedPage* pPage = CreatePage(id);
        CheckOrThrow(pPage);
        std::unique_ptr<TStackedPage> page(pPage);
        QWidget* pWnd = m_pPlaceholder;
        CheckOrThrow(pWnd != NULL);
        page->hide();
        page->setParent(pWnd);
        auto* grid = static_cast<QGridLayout*>(pWnd->layout());
        grid->addWidget(page.get(), 0, 0);
        page->setEnabled(true);
        PageRecord& record = m_pages.back();
        record.Page = page.release();
        record.Page->OnCreatePage();
        record.Created = true;
    });
    // A page that could not be made is left out; the others still come.
    if (!m_pages.empty() && !m_pages.back().Created) {
        delete m_pages.back().Page;
        m_pages.pop_back();
    }
}

void TStackedDialog::SetPage(int id)
{
    PageRecord* target = FindRecord(id);
    PageRecord* active = nullptr;
    for (PageRecord& record : m_pages) {
        if (record.Active)
            active = &record;
    }
    if (active) {
        active->Page->OnKillActive();
        active->Page->hide();
        active->Active = false;
        OnPageChanged(active->Id, false);
    }
    if (target) {
        target->Page->show();
        target->Page->repaint();
        target->Page->OnSetActive();
        target->Active = true;
        OnPageChanged(id, true);
    }
}

TStackedPage* TStackedDialog::Page(int id) const
{
    const PageRecord* record = FindRecord(id);
    return record ? record->Page : nullptr;
}

TStackedPage* TStackedDialog::ActivePage() const
{
    for (const PageRecord& record : m_pages) {
        if (record.Active)
            return record.Page;
    }
    return nullptr;
}

int TStackedDialog::ActivePageId() const
{
    for (const PageRecord& record : m_pages) {
        if (record.Active)
            return record.Id;
    }
    return 0;
}

std::vector<int> TStackedDialog::PageIds() const
{
    std::vector<int> ids;
    ids.reserve(m_pages.size());
    for (const PageRecord& record : m_pages)
        ids.push_back(record.Id);
    return ids;
}

void TStackedDialog::OnPageChanged(int, bool) {}

void TStackedDialog::DestroyPages()
{
    for (PageRecord& record : m_pages) {
        if (!record.Created)
            continue;
        ORVEX_GUARDED([&] {
            record.Page->OnKillActive();
            record.Page->OnDestroyPage();
        });
        delete record.Page;
        record.Page = nullptr;
        record.Created = false;
        record.Active = false;
    }
    m_pages.clear();
}

TStackedDialog::PageRecord* TStackedDialog::FindRecord(int id)
{
    for (PageRecord& record : m_pages) {
        if (record.Id == id && record.Created)
            return &record;
    }
    return nullptr;
}

const TStackedDialog::PageRecord* TStackedDialog::FindRecord(int id) const
{
    for (const PageRecord& record : m_pages) {
        if (record.Id == id && record.Created)
            return &record;
    }
    return nullptr;
}

} // namespace Orvex
