#include "GainsPanel.h"

#include "AppContext.h"
#include "ConfigFields.h"
#include "FieldValidation.h"
#include "NumericEdit.h"
#include "OrvexConfig.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace Orvex {

TGainsPanel::TGainsPanel(AppContext& context, QWidget* parent) : QWidget(parent), m_context(context)
{}

NumericEdit* TGainsPanel::AddEdit(QGridLayout* grid, int row, const QString& label, bool decimal,
                                  const char* objectName)
{
    auto* edit = new NumericEdit(decimal ? NumericChars::Decimal : NumericChars::Digits, this);
    edit->setObjectName(QLatin1String(objectName));
    edit->setAccessibleName(label);
    edit->setMaximumWidth(110);
    auto* caption = new QLabel(label, this);
    caption->setBuddy(edit);
    grid->addWidget(caption, row, 0);
    grid->addWidget(edit, row, 1);
    return edit;
}

QGridLayout* TGainsPanel::GroupIn(const QString& title)
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* group = new QGroupBox(title, this);
    outer->addWidget(group);
    return new QGridLayout(group);
}

} // namespace Orvex
