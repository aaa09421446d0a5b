#include "ConfirmDriveDlg.h"

#include "AppContext.h"
#include "DriveGate.h"
#include "ErrorReport.h"
#include "OrvexConfig.h"
#include "UiServices.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace Orvex {

TConfirmDriveDlg::TConfirmDriveDlg(AppContext& context, IMainWindow& mainWindow,
                                   const QString& caption, const QString& question, QWidget* parent)
    : QDialog(parent), m_context(context), m_mainWindow(mainWindow)
{
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(question, this);
    text->setObjectName(QStringLiteral("questionLabel"));
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* yes = buttons->addButton(QStringLiteral("&Yes"), QDialogButtonBox::AcceptRole);
    yes->setObjectName(QStringLiteral("yesButton"));
    yes->setAccessibleDescription(question);
    yes->setDefault(true);
    QPushButton* no = buttons->addButton(QStringLiteral("&No"), QDialogButtonBox::RejectRole);
    no->setObjectName(QStringLiteral("noButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void TConfirmDriveDlg::accept()
{
    QDialog::accept();
    ORVEX_GUARDED([this] { Run(); });
}

void TConfirmDriveDlg::Run()
{
    IUiServices& ui = m_context.Ui;
    DriveGate gate(ui, m_mainWindow);
    const std::optional<int> code = gate.Test(m_context.Config, CommunicationsStatus);
    if (!code)
        return;
    if (*code != -1) {
        gate.ShowFailure(*code, DriveGate::Report::MessageBox, CommunicationsStatus);
        return;
    }
    // The wait window closes before a message about the action opens.
    RunShowingErrors(ui, CommunicationsStatus, [&] {
        const auto wait = ui.ShowWait(WaitText());
        CarryOut(m_context.Config);
    });
}

} // namespace Orvex
