#include "WidgetUiServices.h"

#include "WaitDlg.h"

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

void WidgetUiServices::ShowMessage(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, m_owner);
    box.exec();
}

QuestionAnswer WidgetUiServices::AskYesNoCancel(const QString& caption, const QString& text)
{
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
    QFileDialog dialog(m_owner, request.Caption, InitialName(request),
                       ToolkitFileFilter(request.Filter));
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
    return dialog.exec();
}

std::unique_ptr<IWaitWindow> WidgetUiServices::ShowWait(const QString& text)
{
    return std::make_unique<CWaitDlg>(m_owner, text);
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
