#include "TechnicalSupportDlg.h"

#include "AppContext.h"
#include "ErrorReport.h"
#include "MainWindowServices.h"
#include "OrvexModelDlg.h"
#include "SupportDocuments.h"
#include "UiServices.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QScopeGuard>
#include <QVBoxLayout>

namespace Orvex {

namespace {

const QString kShellError = QStringLiteral("ShellExecute() Error");
const QString kSnapshotError = QStringLiteral("Orvex Snapshot");

} // namespace

CTechnicalSupportDlg::CTechnicalSupportDlg(AppContext& context, IMainWindow& mainWindow,
                                           std::function<void(QWidget*)> showAbout, QWidget* parent)
    : TStackedPage(parent), m_context(context), m_mainWindow(mainWindow),
      m_showAbout(std::move(showAbout))
{
    setObjectName(QStringLiteral("technicalSupportPage"));
    BuildControls();
}

QString CTechnicalSupportDlg::DocumentPath(const QString& fileName) const
{
    const QString inData = QDir(m_context.ProgramFolder).filePath(fileName);
    if (m_context.ProgramFolder.isEmpty() || !QFileInfo::exists(inData)) {
        const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(fileName);
        if (QFileInfo::exists(beside) || m_context.ProgramFolder.isEmpty())
            return beside;
    }
    return inData;
}
void CTechnicalSupportDlg::SetSnapshotEnvironment(SnapshotEnvironment environment)
{
    m_environment = std::move(environment);
}

void CTechnicalSupportDlg::BuildControls()
{
    auto* layout = new QVBoxLayout(this);

    auto* documents = new QGroupBox(QStringLiteral("Documentation"), this);
    auto* documentsLayout = new QVBoxLayout(documents);
    const auto addButton = [this](QWidget* parent, QBoxLayout* to, const QString& text,
                                  const char* name, std::function<void()> action) {
        auto* button = new QPushButton(text, parent);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this,
                [action = std::move(action)] { ORVEX_GUARDED([&] { action(); }); });
        to->addWidget(button);
        return button;
    };
    addButton(documents, documentsLayout, QStringLiteral("Release Notes"), "releaseNotesButton",
              [this] { OpenDocument(QLatin1String(SupportDocuments::ReleaseNotes)); });
    addButton(documents, documentsLayout, QStringLiteral("Orvex Drive User Guide"),
              "userGuideButton",
              [this] { OpenDocument(QLatin1String(SupportDocuments::DriveUserGuide)); });
    addButton(documents, documentsLayout, QStringLiteral("Orvex Quick Reference Guide"),
              "quickReferenceButton", [this] { OpenQuickReferenceGuide(); });
    layout->addWidget(documents);

    auto* assistance = new QGroupBox(QStringLiteral("Assistance"), this);
    auto* grid = new QGridLayout(assistance);
    grid->addWidget(new QLabel(QStringLiteral("Tamsel Motion Systems"), assistance), 0, 0, 1, 2);
    grid->addWidget(
        new QLabel(QStringLiteral("Technical Support, 12 Foundry Lane, Millbrook"), assistance), 1,
        0, 1, 2);
    auto* phoneLabel = new QLabel(QStringLiteral("Telephone:"), assistance);
    auto* phone = new QLabel(QStringLiteral("+1 555 0142 700"), assistance);
    phone->setObjectName(QStringLiteral("supportTelephone"));
    phone->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    phone->setFocusPolicy(Qt::StrongFocus);
    phoneLabel->setBuddy(phone);
    grid->addWidget(phoneLabel, 2, 0);
    grid->addWidget(phone, 2, 1);
    auto* emailLabel = new QLabel(QStringLiteral("Email:"), assistance);
    QLabel* email = MakeLink(SupportEmail, QStringLiteral("supportEmailLink"));
    emailLabel->setBuddy(email);
    grid->addWidget(emailLabel, 3, 0);
    grid->addWidget(email, 3, 1);
    auto* webLabel = new QLabel(QStringLiteral("Internet:"), assistance);
    QLabel* web = MakeLink(SupportWeb, QStringLiteral("supportWebLink"));
    webLabel->setBuddy(web);
    grid->addWidget(webLabel, 4, 0);
    grid->addWidget(web, 4, 1);
    grid->setColumnStretch(1, 1);
    layout->addWidget(assistance);

    auto* actions = new QHBoxLayout;
    m_pSnapshot = addButton(this, actions, QStringLiteral("Take System Snapshot..."),
                            "snapshotButton", [this] { TakeSnapshot(); });
    addButton(this, actions, QStringLiteral("About Orvex Support Tool"), "aboutButton", [this] {
        if (m_showAbout)
            m_showAbout(window());
    });
    actions->addStretch(1);
    layout->addLayout(actions);
    layout->addStretch(1);
}

QLabel* CTechnicalSupportDlg::MakeLink(const QString& text, const QString& name)
{
    auto* link =
        new QLabel(QStringLiteral("<a href=\"%1\">%2</a>")
                       .arg(SupportDocuments::LinkTarget(text).toString(QUrl::FullyEncoded),
                            text.toHtmlEscaped()),
                   this);
    link->setObjectName(name);
    link->setAccessibleName(text);
    link->setTextFormat(Qt::RichText);
    link->setTextInteractionFlags(Qt::TextBrowserInteraction);
    link->setFocusPolicy(Qt::StrongFocus);
    link->setOpenExternalLinks(false);
    connect(link, &QLabel::linkActivated, this,
            [this, text] { ORVEX_GUARDED([&] { OpenLink(text); }); });
    return link;
}

void CTechnicalSupportDlg::OnSetActive()
{
    m_mainWindow.SetPageTitle(QStringLiteral("Technical Support"));
}

void CTechnicalSupportDlg::OpenDocument(const QString& fileName)
{
    const QUrl url = QUrl::fromLocalFile(DocumentPath(fileName));
    ShowOpenResult(SupportDocuments::OpenResult(url, &QDesktopServices::openUrl));
}

void CTechnicalSupportDlg::OpenQuickReferenceGuide()
{
    COrvexModelDlg dialog(window());
    if (m_context.Ui.RunModal(dialog) != QDialog::Accepted)
        return;
    OpenDocument(SupportDocuments::QuickReferenceGuide(dialog.SelectedModel()));
}

void CTechnicalSupportDlg::OpenLink(const QString& text)
{
    ShowOpenResult(SupportDocuments::OpenResult(SupportDocuments::LinkTarget(text),
                                                &QDesktopServices::openUrl));
}

void CTechnicalSupportDlg::ShowOpenResult(int result)
{
    if (result <= 32)
        ShowErrorMessage(m_context.Ui, kShellError, SupportDocuments::OpenErrorText(result));
}

void CTechnicalSupportDlg::TakeSnapshot()
{
    // One snapshot at a time: the button stays off while the drive is read.
    m_pSnapshot->setEnabled(false);
    const auto enableAgain = qScopeGuard([this] { m_pSnapshot->setEnabled(true); });
    SystemSnapshot snapshot(m_context, m_mainWindow, m_environment);
    const std::optional<QString> text = snapshot.Take();
    if (!text)
        return;
    FileDialogRequest request;
    request.Caption = QStringLiteral("Save As");
    request.Filter = QStringLiteral("Orvex Snapshot Files(*.txt)|*.txt||");
    request.DefaultExtension = QStringLiteral("*.txt");
    request.InitialName = QStringLiteral("*.txt");
    request.OverwritePrompt = true;
    const QString path = m_context.Ui.GetSaveFileName(request);
    if (path.isEmpty())
        return;
    SaveSnapshot(path, SnapshotText::Encode(*text));
}

void CTechnicalSupportDlg::SaveSnapshot(const QString& path, const QByteArray& bytes)
{
    QString failure;
    {
        const auto wait = m_context.Ui.ShowWait(QStringLiteral("Saving Orvex snapshot file..."));
        // The whole text at once, and a file that is either whole or untouched.
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
            !file.commit()) {
            failure = file.errorString();
            file.cancelWriting();
        } else {
            m_context.Ui.Pause(1000);
        }
    }
    if (!failure.isEmpty())
        ShowErrorMessage(m_context.Ui, kSnapshotError,
                         QStringLiteral("Unable to save the snapshot file \"%1\".\n%2")
                             .arg(QDir::toNativeSeparators(path), failure));
}

} // namespace Orvex
