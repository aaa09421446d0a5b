#include "ConfigWizardStep5Dlg.h"

#include "MainWindowServices.h"
#include "PageIds.h"

#include <QCheckBox>
#include <QFont>
#include <QLabel>
#include <QVBoxLayout>

namespace Orvex {

CConfigWizardStep5Dlg::CConfigWizardStep5Dlg(AppContext& context, IMainWindow& mainWindow,
                                             IConfigWorkflow& workflow, QWidget* parent)
    : TWizardStepPage(5, context, mainWindow, workflow, parent)
{
    setObjectName(QStringLiteral("configWizardStep5"));
    auto* heading = new QLabel(QStringLiteral("Completing the Orvex Configuration Wizard."), this);
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    heading->setFont(bold);
    Body()->addWidget(heading);
    Body()->addWidget(new QLabel(
        QStringLiteral("Congratulations.  The Orvex Configuration Wizard is now ready to save and "
                       "download\nyour configuration to an Orvex drive.  Select the operations "
                       "you wish to happen after\nclicking on Finish:"),
        this));
    m_pSave = new QCheckBox(QStringLiteral("Save Orvex Configuration To File"), this);
    m_pSave->setObjectName(QStringLiteral("saveToFileCheck"));
    m_pDownload = new QCheckBox(QStringLiteral("Download Configuration To Orvex Drive"), this);
    m_pDownload->setObjectName(QStringLiteral("downloadToDriveCheck"));
    Body()->addWidget(m_pSave);
    Body()->addWidget(m_pDownload);
    Body()->addWidget(new QLabel(
        QStringLiteral("Once the above operations have been successfully carried out, you will be "
                       "returned\nto Step 1 of the wizard."),
        this));
    Body()->addStretch(1);
    AddButtonRow(true, QStringLiteral("&Finish"));
}

void CConfigWizardStep5Dlg::OnNext()
{
    m_workflow.FinishWizard(m_pSave->isChecked(), m_pDownload->isChecked(), false);
}

void CConfigWizardStep5Dlg::OnBack()
{
    m_mainWindow.SetPage(PageId::ConfigWizardStep4);
}

} // namespace Orvex
