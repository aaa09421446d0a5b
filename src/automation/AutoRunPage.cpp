#include "AutoRunPage.h"

#include <QLabel>
#include <QVBoxLayout>

namespace Orvex {

TAutoRunPage::TAutoRunPage(QWidget* parent) : QWidget(parent), m_pLayout(new QVBoxLayout(this)) {}

QLabel* TAutoRunPage::AddText(const QString& text, const char* name)
{
    auto* label = new QLabel(text, this);
    if (name != nullptr)
        label->setObjectName(QLatin1String(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_pLayout->addWidget(label);
    return label;
}

void TAutoRunPage::AddHeading(const char* name, const QString& text, const QColor& colour,
                              bool bold)
{
    QLabel* label = AddText(text, name);
    QFont font = label->font();
    font.setPointSize(12);
    font.setBold(bold);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

void TAutoRunPage::AddLines(std::initializer_list<QString> lines)
{
    for (const QString& line : lines)
        AddText(line);
}

void TAutoRunPage::EndPage()
{
    m_pLayout->addStretch(1);
}

} // namespace Orvex
