#include "PendingPage.h"

#include "MainWindowServices.h"

#include <QLabel>
#include <QVBoxLayout>

#include <utility>

namespace Orvex {

CPendingPage::CPendingPage(IMainWindow& mainWindow, QString title, QWidget* parent)
    : TStackedPage(parent), m_mainWindow(mainWindow), m_title(std::move(title))
{
    setObjectName(QStringLiteral("pendingPage"));
    // Said plainly, so nobody takes the empty page for a fault.
    auto* layout = new QVBoxLayout(this);
    auto* note =
        new QLabel(QStringLiteral("This page is not available in this version yet."), this);
    note->setObjectName(QStringLiteral("pendingNote"));
    note->setAlignment(Qt::AlignCenter);
    layout->addWidget(note);
}

void CPendingPage::OnSetActive()
{
    m_mainWindow.SetPageTitle(m_title);
}

} // namespace Orvex
