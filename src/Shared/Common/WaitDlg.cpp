#include "WaitDlg.h"

#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace Orvex {

CWaitDlg::CWaitDlg(QWidget* parent, const QString& text) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Please wait..."));
    setObjectName(QStringLiteral("waitDialog"));
    setModal(false);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    m_pText = new QLabel(text, this);
    m_pText->setObjectName(QStringLiteral("waitText"));
    m_pText->setMinimumWidth(280);
    m_pText->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pText);
    show();
    if (parent) {
        const QPoint centre = parent->window()->geometry().center();
        move(centre - rect().center());
    }
    // The caller blocks right after this; paint the notice first.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CWaitDlg::SetText(const QString& text)
{
    m_pText->setText(text);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QString CWaitDlg::Text() const
{
    return m_pText->text();
}

} // namespace Orvex
