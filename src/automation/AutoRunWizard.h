#pragma once

#include "LinkSession.h"

#include <QDialog>
#include <QString>

class QPushButton;
class QStackedWidget;

namespace Orvex {

struct AppContext;
class IMainWindow;

// The auto run test: on "Next >" the drive is switched into its auto run
// mode, in which it turns the motor by itself; "< Back" and "Finish" switch it
// back, and so does closing the wizard once the second step was shown. The
// wizard types the drive commands over a serial link of its own and reads no
// answer.
class CAutoRunWizard final : public QDialog
{
    Q_OBJECT

public:
    static inline const QString StartText = QStringLiteral("\rDMODE 1\rRESET\r");
    static inline const QString StopText = QStringLiteral("\rDMODE 2\rRESET\r");
    // How long the drive is given to leave its auto run mode.
    static constexpr int StopPauseMs = 500;

    CAutoRunWizard(AppContext& context, IMainWindow& mainWindow, QWidget* parent = nullptr);
    ~CAutoRunWizard() override;

    // 0 or 1: the step on show.
    int CurrentStep() const;

    void Next();
    void Back();
    void Finish();

private:
    QPushButton* AddButton(const char* name, const QString& text,
                           void (CAutoRunWizard::*handler)());
    void ShowStep(int step);
    // The second step's link, opened on the selected port the first time
    // the step is shown.
    void InitStep2();
    // Leaving the second step: the drive goes back to its normal mode.
    void LeaveStep2();
    void Send(const QString& text);

    AppContext& m_context;
    IMainWindow& m_mainWindow;
    LinkSession m_link;
    bool m_step2Made = false;

    QStackedWidget* m_pSteps = nullptr;
    QPushButton* m_pBack = nullptr;
    QPushButton* m_pNext = nullptr;
    QPushButton* m_pFinish = nullptr;
    QPushButton* m_pCancel = nullptr;
};

} // namespace Orvex
