#include "AutoRunWizard.h"

#include "AppContext.h"
#include "ErrorReport.h"
#include "MainWindowServices.h"
#include "UiServices.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <initializer_list>

namespace Orvex {

namespace {

const QString Step1Caption = QStringLiteral("Auto Run Test Wizard - Step 1 of 2");
const QString Step2Caption = QStringLiteral("Auto Run Test Wizard - Step 2 of 2");

QLabel* AddText(QVBoxLayout* layout, QWidget* page, const QString& text)
{
    auto* label = new QLabel(text, page);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    layout->addWidget(label);
    return label;
}

// A heading in its colour at 12 points.
void AddHeading(QVBoxLayout* layout, QWidget* page, const char* name, const QString& text,
                const QColor& colour, bool bold)
{
    QLabel* label = AddText(layout, page, text);
    label->setObjectName(QLatin1String(name));
    QFont font = label->font();
    font.setPointSize(12);
    font.setBold(bold);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

void AddLines(QVBoxLayout* layout, QWidget* page, std::initializer_list<QString> lines)
{
    for (const QString& line : lines)
        AddText(layout, page, line);
}

} // namespace

CAutoRunWizardStep1Dlg::CAutoRunWizardStep1Dlg(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("autoRunStep1"));
    auto* layout = new QVBoxLayout(this);
    AddLines(layout, this,
             {QStringLiteral("The Auto Run Test Wizard is used to exercise the basic "
                             "functionality of your Orvex drive.")});
    AddHeading(layout, this, "conditionsHeading", QStringLiteral("Conditions:"), Qt::blue, false);
    AddLines(layout, this,
             {QStringLiteral("1.  The drive must be configured for the selected motor, and there "
                             "can be no configuration errors."),
              QStringLiteral("2.  If your drive is connected to a controller, then the "
                             "controller's servo loop must be disabled."),
              QStringLiteral("3.  AC power must be supplied to the drive."),
              QStringLiteral("4.  The drive must be enabled.")});
    AddHeading(layout, this, "warningsHeading", QStringLiteral("Warnings:"), Qt::red, true);
    AddLines(layout, this,
             {QStringLiteral("1.  Clicking the 'Next' pushbutton will cause motion!!!"),
              QStringLiteral("2.  The motor will run with 90% of continuous current, which will "
                             "significantly heat up the motor if \nleft on indefinitely."),
              QStringLiteral("3.  The motor should be disconnected from the load, so that the "
                             "motor is free to spin."),
              QStringLiteral("4.  If your drive is connected to a controller, then the "
                             "controller's servo loop must be disabled."),
              QStringLiteral("When all of the above conditions are met and the warnings are "
                             "understood, then click the 'Next'\npushbutton to start motion.")});
    layout->addStretch(1);
}

CAutoRunWizardStep2Dlg::CAutoRunWizardStep2Dlg(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("autoRunStep2"));
    auto* layout = new QVBoxLayout(this);
    AddHeading(layout, this, "evaluationHeading", QStringLiteral("Evaluation:"), Qt::blue, false);
    AddLines(layout, this,
             {QStringLiteral("1.  If the motor is moving clockwise at 1 revolution per second, "
                             "then the test passed."),
              QStringLiteral("2.  Otherwise, the test failed, and there is possibly a "
                             "configuration error or a wiring problem.   \nCheck the Status "
                             "Panel for possible configuration errors."),
              QStringLiteral("Click the 'Finish' pushbutton to stop motion and end the test.")});
    layout->addStretch(1);
}

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
