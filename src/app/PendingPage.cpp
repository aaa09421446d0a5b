#include "PendingPage.h"

#include "MainWindowServices.h"

#include <utility>

namespace Orvex {

CPendingPage::CPendingPage(IMainWindow& mainWindow, QString title, QWidget* parent)
    : TStackedPage(parent), m_mainWindow(mainWindow), m_title(std::move(title))
{
    setObjectName(QStringLiteral("pendingPage"));
}

void CPendingPage::OnSetActive()
{
    m_mainWindow.SetPageTitle(m_title);
}

} // namespace Orvex
