#pragma once

#include "StackedPage.h"
#include "WizardContracts.h"

#include <QString>

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace Orvex {

struct AppContext;
class IMainWindow;

// What every step of the configuration wizard shares: the page title
// "Configuration Wizard - Step N of 5" on the main window, the page's own
// controls above a row with "< &Back" and the forward button, and Enter
// pressing the forward button. The steps walk to each other by page id.
class TWizardStepPage : public TStackedPage, public IWizardStep
{
    Q_OBJECT

public:
    TWizardStepPage(int step, AppContext& context, IMainWindow& mainWindow,
                    IConfigWorkflow& workflow, QWidget* parent = nullptr);

    int StepNumber() const { return m_step; }
    static QString TitleOfStep(int step);

    void OnSetActive() override;

    // Steps without such values answer as a step with nothing to check.
    void ResetToMotorDefaults() override {}
    bool Validate() override { return true; }

    IConfigWorkflow& Workflow() const { return m_workflow; }
    QPushButton* NextButton() const { return m_pNext; }
    QPushButton* BackButton() const { return m_pBack; }

protected:
    // The page's own controls go here, above the button row.
    QVBoxLayout* Body() const { return m_pBody; }
    // The buttons at the foot of the page: "< &Back" unless back is false,
    // and the forward button with its text.
    void AddButtonRow(bool back, const QString& forwardText);

    virtual void OnNext() = 0;
    virtual void OnBack() {}

    void keyPressEvent(QKeyEvent* event) override;

    AppContext& m_context;
    IMainWindow& m_mainWindow;
    IConfigWorkflow& m_workflow;

private:
    int m_step;
    QVBoxLayout* m_pBody = nullptr;
    QPushButton* m_pBack = nullptr;
    QPushButton* m_pNext = nullptr;
};

} // namespace Orvex
