#include "WizardStepPage.h"

#include "AppContext.h"
#include "ErrorReport.h"
#include "MainWindowServices.h"
#include "OrvexConfig.h"
#include "PageIds.h"
#include "WizardState.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace Orvex {

TWizardStepPage::TWizardStepPage(int step, AppContext& context, IMainWindow& mainWindow,
                                 IConfigWorkflow& workflow, QWidget* parent)
    : TStackedPage(parent), m_context(context), m_mainWindow(mainWindow), m_workflow(workflow),
      m_step(step)
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    // On a small screen the page's controls scroll; the buttons stay in view.
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("stepScrollArea"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    auto* content = new QWidget(scroll);
    content->setObjectName(QStringLiteral("stepContent"));
    m_pBody = new QVBoxLayout(content);
    m_pBody->setContentsMargins(0, 0, 0, 0);
    scroll->setWidget(content);
    outer->addWidget(scroll, 1);
    workflow.RegisterStep(step, *this);
}

QString TWizardStepPage::TitleOfStep(int step)
{
    return QStringLiteral("Configuration Wizard - Step %1 of %2")
        .arg(step)
        .arg(IConfigWorkflow::StepCount);
}

void TWizardStepPage::OnSetActive()
{
    m_mainWindow.SetPageTitle(TitleOfStep(m_step));
}

void TWizardStepPage::AddButtonRow(bool back, const QString& forwardText)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    if (back) {
        m_pBack = new QPushButton(QStringLiteral("< &Back"), this);
        m_pBack->setObjectName(QStringLiteral("backButton"));
        m_pBack->setAccessibleName(QStringLiteral("Back"));
        connect(m_pBack, &QPushButton::clicked, this, [this] { ORVEX_GUARDED([&] { OnBack(); }); });
        row->addWidget(m_pBack);
    }
    m_pNext = new QPushButton(forwardText, this);
    m_pNext->setObjectName(QStringLiteral("nextButton"));
    m_pNext->setAccessibleName(
        QString(forwardText).remove(QLatin1Char('&')).remove(u'>').trimmed());
    connect(m_pNext, &QPushButton::clicked, this, [this] { ORVEX_GUARDED([&] { OnNext(); }); });
    row->addWidget(m_pNext);
    static_cast<QVBoxLayout*>(layout())->addLayout(row);
}

void TWizardStepPage::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || event->modifiers() & ~Qt::KeypadModifier) {
        TStackedPage::keyPressEvent(event);
        return;
    }
    event->accept();
    // Enter on a focused button presses it, as in a dialog; anywhere else it
    // presses the forward button.
    auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
    if (focused && isAncestorOf(focused) && focused->isEnabled()) {
        focused->click();
        return;
    }
    if (m_pNext && m_pNext->isEnabled() && !m_pNext->isHidden())
        m_pNext->click();
}

} // namespace Orvex
