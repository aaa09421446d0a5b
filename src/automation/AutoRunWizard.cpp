#include "AutoRunWizard.h"

#include "AutoRunWizardStep1Dlg.h"
#include "AutoRunWizardStep2Dlg.h"

#include "AppContext.h"
#include "ErrorReport.h"
#include "MainWindowServices.h"
#include "UiServices.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace Orvex {

namespace {

const QString Step1Caption = QStringLiteral("Auto Run Test Wizard - Step 1 of 2");
const QString Step2Caption = QStringLiteral("Auto Run Test Wizard - Step 2 of 2");

} // namespace

CAutoRunWizard::CAutoRunWizard(AppContext& context, IMainWindow& mainWindow, QWidget* parent)
    : QDialog(parent), m_context(context), m_mainWindow(mainWindow),
      m_link(context.Factory, context.Ui, QStringLiteral("Failed to create Communications Server"))
{
    setObjectName(QStringLiteral("autoRunWizard"));
    auto* layout = new QVBoxLayout(this);
    m_pSteps = new QStackedWidget(this);
    m_pSteps->addWidget(new CAutoRunWizardStep1Dlg(m_pSteps));
    m_pSteps->addWidget(new CAutoRunWizardStep2Dlg(m_pSteps));
    layout->addWidget(m_pSteps, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_pBack = AddButton("backButton", QStringLiteral("< &Back"), &CAutoRunWizard::Back);
    m_pNext = AddButton("nextButton", QStringLiteral("&Next >"), &CAutoRunWizard::Next);
    m_pFinish = AddButton("finishButton", QStringLiteral("&Finish"), &CAutoRunWizard::Finish);
    m_pCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_pCancel->setObjectName(QStringLiteral("cancelButton"));
    connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);
    for (QPushButton* button : {m_pBack, m_pNext, m_pFinish, m_pCancel})
        buttons->addWidget(button);
    layout->addLayout(buttons);
    ShowStep(0);
}

CAutoRunWizard::~CAutoRunWizard()
{
    // However the wizard ends, a drive that was in auto run is switched back.
    ORVEX_GUARDED([this] {
        if (m_step2Made)
            LeaveStep2();
    });
}

QPushButton* CAutoRunWizard::AddButton(const char* name, const QString& text,
                                       void (CAutoRunWizard::*handler)())
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(QLatin1String(name));
    connect(button, &QPushButton::clicked, this,
            [this, handler] { ORVEX_GUARDED([&] { (this->*handler)(); }); });
    return button;
}

int CAutoRunWizard::CurrentStep() const
{
    return m_pSteps->currentIndex();
}

void CAutoRunWizard::ShowStep(int step)
{
    m_pSteps->setCurrentIndex(step);
    setWindowTitle(step == 0 ? Step1Caption : Step2Caption);
    m_pBack->setVisible(step == 1);
    m_pCancel->setVisible(step == 0);
    m_pNext->setVisible(step == 0);
    m_pFinish->setVisible(step == 1);
    QPushButton* forward = step == 0 ? m_pNext : m_pFinish;
    forward->setDefault(true);
    forward->setFocus();
}

void CAutoRunWizard::Next()
{
    if (CurrentStep() != 0)
        return;
    ShowStep(1);
    if (!m_step2Made) {
        m_step2Made = true;
        InitStep2();
    }
    Send(StartText);
}

void CAutoRunWizard::Back()
{
    if (CurrentStep() != 1)
        return;
    LeaveStep2();
    ShowStep(0);
}

void CAutoRunWizard::Finish()
{
    if (CurrentStep() != 1)
        return;
    LeaveStep2();
    accept();
}

void CAutoRunWizard::InitStep2()
{
    if (!m_link.EnsureCreated())
        return;
    if (m_link.IsOpen())
        m_link.Close();
    m_link.Open(m_mainWindow.SelectedPort(), false);
}

void CAutoRunWizard::LeaveStep2()
{
    Send(StopText);
    m_context.Ui.Pause(StopPauseMs);
}

void CAutoRunWizard::Send(const QString& text)
{
    // The port was chosen when the step was first shown; a lost device is
    // not looked for again behind the user's back.
    m_link.Send(text, false);
}

} // namespace Orvex
