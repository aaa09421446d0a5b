#include "PageFactory.h"

#include "AboutDlg.h"
#include "AppContext.h"
#include "BitStatusPanelDlg.h"
#include "ConfigWizardStep1Dlg.h"
#include "ConfigWizardStep2Dlg.h"
#include "ConfigWizardStep3Dlg.h"
#include "ConfigWizardStep4Dlg.h"
#include "ConfigWizardStep5Dlg.h"
#include "ConfigWorkflow.h"
#include "ErrorLogDlg.h"
#include "MiscTuningDlg.h"
#include "NotchTuningDlg.h"
#include "NumStatusPanelDlg.h"
#include "OperatingSystemUpdateDlg.h"
#include "PageIds.h"
#include "ServoTunerDlg.h"
#include "TechnicalSupportDlg.h"
#include "TerminalEmulatorDlg.h"
#include "UiServices.h"

namespace Orvex {

CPageFactory::CPageFactory(AppContext& context, IMainWindow& mainWindow)
    : m_context(context), m_mainWindow(mainWindow),
      m_workflow(std::make_unique<CConfigWorkflow>(context, mainWindow))
{}

CPageFactory::~CPageFactory() = default;

void CPageFactory::AllPagesCreated()
{
    m_workflow->OpenRememberedConfiguration();
}

const std::vector<CPageFactory::PageInfo>& CPageFactory::Pages()
{
    static const std::vector<PageInfo> pages{
        {PageId::ConfigWizardStep1, "Configuration Wizard - Step 1 of 5"},
        {PageId::ConfigWizardStep2, "Configuration Wizard - Step 2 of 5"},
        {PageId::ConfigWizardStep3, "Configuration Wizard - Step 3 of 5"},
        {PageId::ConfigWizardStep4, "Configuration Wizard - Step 4 of 5"},
        {PageId::ConfigWizardStep5, "Configuration Wizard - Step 5 of 5"},
        {PageId::OperatingSystemUpdate, "Operating System Update"},
        {PageId::BitStatusPanel, "Status Panel"},
        {PageId::NumericStatusPanel, "Status Panel"},
        {PageId::ErrorLog, "Status Panel"},
        {PageId::ServoTuner, "Servo Tuner"},
        {PageId::NotchTuning, "Notch Filter Tuning"},
        {PageId::MiscTuning, "Miscellaneous Tuning"},
        {PageId::TechnicalSupport, "Technical Support"},
        {PageId::TerminalEmulator, "Terminal Emulator"},
    };
    return pages;
}

TStackedPage* CPageFactory::Create(int id) const
{
    switch (id) {
    case PageId::ConfigWizardStep1:
        return new CConfigWizardStep1Dlg(m_context, m_mainWindow, *m_workflow);
    case PageId::ConfigWizardStep2:
        return new CConfigWizardStep2Dlg(m_context, m_mainWindow, *m_workflow);
    case PageId::ConfigWizardStep3:
        return new CConfigWizardStep3Dlg(m_context, m_mainWindow, *m_workflow);
    case PageId::ConfigWizardStep5:
        return new CConfigWizardStep5Dlg(m_context, m_mainWindow, *m_workflow);
    case PageId::ConfigWizardStep4:
        return new CConfigWizardStep4Dlg(m_context, m_mainWindow, *m_workflow);
    case PageId::ServoTuner:
        return new CServoTunerDlg(m_context, m_mainWindow, *m_workflow);
    case PageId::MiscTuning:
        return new CMiscTuningDlg(m_context, m_mainWindow, *m_workflow);
    case PageId::NotchTuning:
        return new CNotchTuningDlg(m_context, m_mainWindow, *m_workflow);
    case PageId::BitStatusPanel:
        return new CBitStatusPanelDlg(m_context, m_mainWindow);
    case PageId::NumericStatusPanel:
        return new CNumStatusPanelDlg(m_context, m_mainWindow);
    case PageId::ErrorLog:
        return new CErrorLogDlg(m_context, m_mainWindow);
    case PageId::TerminalEmulator:
        return new CTerminalEmulatorDlg(m_context, m_mainWindow);
    case PageId::TechnicalSupport:
        return new CTechnicalSupportDlg(m_context, m_mainWindow, [this](QWidget* owner) {
            CAboutDlg about(m_context.Config, m_context.Factory, m_context.Ui, owner);
            m_context.Ui.RunModal(about);
        });
    case PageId::OperatingSystemUpdate:
        return new COperatingSystemUpdateDlg(m_context, m_mainWindow);
    default:
        break;
    }
    return nullptr;
}

} // namespace Orvex
