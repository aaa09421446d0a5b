#include "WidgetUiServices.h"

#include "WaitDlg.h"

#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>

namespace Orvex {

namespace {

QString BareExtension(const QString& extension)
{
    QString bare = extension;
    while (bare.startsWith(QLatin1Char('*')) || bare.startsWith(QLatin1Char('.')))
        bare.remove(0, 1);
    return bare;
}

// A name of "*.kvt" is the classic way of saying "no name yet".
QString InitialName(const FileDialogRequest& request)
{
    return request.InitialName.contains(QLatin1Char('*')) ? QString() : request.InitialName;
}

} // namespace

void WidgetUiServices::CloseWaitWindows()
{
    for (const QPointer<QWidget>& wait : m_waits) {
        if (wait)
            wait->hide();
    }
    m_waits.clear();
}

int WidgetUiServices::OpenWaitWindows() const
{
    int open = 0;
    for (const QPointer<QWidget>& wait : m_waits)
        open += wait && wait->isVisible() ? 1 : 0;
    return open;
}

void WidgetUiServices::ShowMessage(const QString& caption, const QString& text)
{
    CloseWaitWindows();
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, m_owner);
    box.exec();
}

void WidgetUiServices::ShowDetailedMessage(const QString& caption, const QString& text,
                                           const QString& details)
{
    CloseWaitWindows();
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, m_owner);
    box.setDetailedText(details);
    box.exec();
}

QuestionAnswer WidgetUiServices::AskYesNoCancel(const QString& caption, const QString& text)
{
    CloseWaitWindows();
    const auto answer = QMessageBox::question(
        m_owner, caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes)
        return QuestionAnswer::Yes;
    if (answer == QMessageBox::No)
        return QuestionAnswer::No;
    return QuestionAnswer::Cancel;
}

QString WidgetUiServices::AskText(const QString& caption, const QString& label,
                                  const QString& initial)
{
    CloseWaitWindows();
    bool accepted = false;
    const QString text =
        QInputDialog::getText(m_owner, caption, label, QLineEdit::Normal, initial, &accepted);
    return accepted ? text.trimmed() : QString();
}

QString WidgetUiServices::GetOpenFileName(const FileDialogRequest& request)
{
    return RunFileDialog(request, false);
}

QString WidgetUiServices::GetSaveFileName(const FileDialogRequest& request)
{
    return RunFileDialog(request, true);
}

QString WidgetUiServices::RunFileDialog(const FileDialogRequest& request, bool save)
{
    CloseWaitWindows();
    QString start = InitialName(request);
    if (!request.Folder.isEmpty())
        start = QDir(request.Folder).filePath(start);
    QFileDialog dialog(m_owner, request.Caption, start, ToolkitFileFilter(request.Filter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(BareExtension(request.DefaultExtension));
    if (save)
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.OverwritePrompt);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

int WidgetUiServices::RunModal(QDialog& dialog)
{
    CloseWaitWindows();
    return dialog.exec();
}

std::unique_ptr<IWaitWindow> WidgetUiServices::ShowWait(const QString& text)
{
    // Windows closed by now are forgotten here, so the list stays short.
    std::erase_if(m_waits, [](const QPointer<QWidget>& wait) { return wait.isNull(); });
    auto wait = std::make_unique<CWaitDlg>(m_owner, text);
    m_waits.emplace_back(wait.get());
    return wait;
}

void WidgetUiServices::Pause(int milliseconds)
{
    if (milliseconds <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace Orvex
