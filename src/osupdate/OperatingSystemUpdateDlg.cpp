#include "OperatingSystemUpdateDlg.h"

#include "AppContext.h"
#include "AutoRunWizard.h"
#include "Component.h"
#include "ComponentFactory.h"
#include "DownloadOSDlg.h"
#include "DriveGate.h"
#include "ErrorReport.h"
#include "MainWindowServices.h"
#include "OrvexConfig.h"
#include "RFSDlg.h"
#include "ResetDlg.h"
#include "UiServices.h"

#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

namespace Orvex {

COperatingSystemUpdateDlg::COperatingSystemUpdateDlg(AppContext& context, IMainWindow& mainWindow,
                                                     QWidget* parent)
    : TStackedPage(parent), m_context(context), m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("operatingSystemUpdate"));
    auto* layout = new QVBoxLayout(this);
    for (const QString& line :
         {QStringLiteral("Orvex drives are digital motor drives that run under an internal "
                         "software operating system."),
          QStringLiteral("The operating system was loaded into your drive during the "
                         "manufacturing process, and"),
          QStringLiteral("under ordinary circumstances you will not need to update your drive's "
                         "operating system."),
          QStringLiteral("However, because Tamsel continues to add enhancements and improve"),
          QStringLiteral("performance, you may want to upgrade the Orvex operating system.  You "
                         "may obtain a"),
          QStringLiteral("new operating system file from Technical Support.")}) {
        layout->addWidget(new QLabel(line, this));
    }
    layout->addSpacing(16);

    auto* buttons = new QGridLayout;
    const auto add = [&](const char* name, const QString& text,
                         void (COperatingSystemUpdateDlg::*handler)(), int row, int column) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(QLatin1String(name));
        connect(button, &QPushButton::clicked, this,
                [this, handler] { ORVEX_GUARDED([&] { (this->*handler)(); }); });
        buttons->addWidget(button, row, column);
    };
    add("downloadOSButton", QStringLiteral("Download Operating System..."),
        &COperatingSystemUpdateDlg::DownloadOperatingSystem, 0, 0);
    add("autoRunWizardButton", QStringLiteral("Auto Run Test Wizard..."),
        &COperatingSystemUpdateDlg::RunAutoRunWizard, 0, 1);
    add("factorySettingsButton", QStringLiteral("Return to Factory Settings..."),
        &COperatingSystemUpdateDlg::ReturnToFactorySettings, 1, 0);
    add("resetDriveButton", QStringLiteral("Reset Drive..."),
        &COperatingSystemUpdateDlg::ResetDrive, 1, 1);
    buttons->setColumnStretch(2, 1);
    layout->addLayout(buttons);
    layout->addStretch(1);
}

void COperatingSystemUpdateDlg::OnSetActive()
{
    m_mainWindow.SetPageTitle(Title);
}

void COperatingSystemUpdateDlg::DownloadOperatingSystem()
{
    FileDialogRequest request;
    request.Filter = QStringLiteral("Orvex Operating System Files(*.ops)|*.ops||");
    request.DefaultExtension = QStringLiteral("*.ops");
    request.InitialName = QStringLiteral("*.ops");
    request.OverwritePrompt = false;
    // Where the operating system image shipped with the program is.
    request.Folder = m_context.ProgramFolder;
    const QString path = m_context.Ui.GetOpenFileName(request);
    if (path.isEmpty())
        return;
    QString kept;
    {
        CDownloadOSDlg dialog(m_context, m_mainWindow, path, window());
        if (dialog.Start())
            m_context.Ui.RunModal(dialog);
        if (dialog.Succeeded())
            kept = dialog.BackupPath();
    } // the dialog lets the bridge forget the download as it goes
    if (!kept.isEmpty())
        OfferConfigurationBack(kept);
}

void COperatingSystemUpdateDlg::OfferConfigurationBack(const QString& path)
{
    IUiServices& ui = m_context.Ui;
    const QuestionAnswer answer = ui.AskYesNoCancel(
        Title, QStringLiteral("The new operating system is running. Download the configuration "
                              "saved before the download (%1) back to the drive?")
                   .arg(QDir::toNativeSeparators(path)));
    if (answer != QuestionAnswer::Yes)
        return;
    // An object of its own, so the configuration the pages show stays as it is.
    std::unique_ptr<IOrvexConfig> drive;
    if (!RunShowingErrors(ui, DriveGate::CommunicationsError, [&] {
            drive =
                m_context.Factory.Create<IOrvexConfig>(QString::fromLatin1(ProgId::BridgeConfig));
        }))
        return;
    DriveGate gate(ui, m_mainWindow);
    if (!gate.Reach(*drive, DriveGate::Report::MessageBox))
        return;
    const bool downloaded = RunShowingErrors(ui, DriveGate::CommunicationsError, [&] {
        const auto wait = ui.ShowWait(QStringLiteral("Downloading configuration..."));
        drive->LoadConfiguration(path);
        drive->StoreConfiguration(true, QString());
    });
    // Said in words, since nothing on the page changes.
    if (downloaded)
        ui.ShowMessage(QStringLiteral("Operating System Update"),
                       QStringLiteral("The configuration saved before the download is on the "
                                      "drive again."));
}

void COperatingSystemUpdateDlg::RunAutoRunWizard()
{
    CAutoRunWizard wizard(m_context, m_mainWindow, window());
    m_context.Ui.RunModal(wizard);
}

void COperatingSystemUpdateDlg::ReturnToFactorySettings()
{
    CRFSDlg dialog(m_context, m_mainWindow, window());
    m_context.Ui.RunModal(dialog);
}

void COperatingSystemUpdateDlg::ResetDrive()
{
    CResetDlg dialog(m_context, m_mainWindow, window());
    m_context.Ui.RunModal(dialog);
}

} // namespace Orvex
