#include "ConfigWarningDlg.h"

#include "ConfigDifferencesView.h"
#include "ErrorReport.h"
#include "WizardContracts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace Orvex {

CConfigWarningDlg::CConfigWarningDlg(IConfigWorkflow& workflow,
                                     const ConfigurationDifferences& differences,
                                     const QString& problem, QWidget* parent)
    : QDialog(parent), m_workflow(workflow)
{
    setObjectName(QStringLiteral("configWarningDlg"));
    setWindowTitle(Caption);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(
        QStringLiteral("Orvex Support Tool has detected a difference between the configuration in "
                       "the Orvex Drive and the Configuration in the Orvex Support Tool "),
        this);
    text->setWordWrap(true);
    layout->addWidget(text);
    // What each choice would change, setting by setting.
    auto* detail = new QLabel(
        problem.isEmpty()
            ? QStringLiteral("A download would change these settings in the drive; an upload "
                             "would change them in the program:")
            : QStringLiteral("The drive's settings could not be read to show what differs: ") +
                  problem,
        this);
    detail->setObjectName(QStringLiteral("differencesNote"));
    detail->setWordWrap(true);
    layout->addWidget(detail);
    if (problem.isEmpty())
        layout->addWidget(new CConfigDifferencesView(differences, this));
    auto* buttons = new QHBoxLayout;
    const auto add = [&](const char* name, const QString& caption) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        buttons->addWidget(button);
        return button;
    };
    QPushButton* upload = add("uploadButton", QStringLiteral("Upload from Orvex Drive"));
    QPushButton* download = add("downloadButton", QStringLiteral("Download to Orvex Drive"));
    QPushButton* cancel = add("cancelButton", QStringLiteral("Cancel and Do Nothing"));
    cancel->setDefault(true);
    layout->addLayout(buttons);
    connect(upload, &QPushButton::clicked, this,
            [this] { ORVEX_GUARDED([&] { UploadFromDrive(); }); });
    connect(download, &QPushButton::clicked, this,
            [this] { ORVEX_GUARDED([&] { DownloadToDrive(); }); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CConfigWarningDlg::UploadFromDrive()
{
    m_choice = 1;
    done(m_workflow.UploadFromDrive() ? Accepted : Rejected);
}

void CConfigWarningDlg::DownloadToDrive()
{
    done(m_workflow.FinishWizard(false, true, true) ? Accepted : Rejected);
}

} // namespace Orvex
