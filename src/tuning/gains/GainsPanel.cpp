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

std::array<FieldRule, 3> LoopGainRules(QWidget* kp, QWidget* ki, QWidget* integralLimit,
                                       int kpParameter, int kiParameter, int limitParameter)
{
    return {{
        {kp, kpParameter, 0, 0, "Proportional Gain must be between %.2lf and %.2lf", nullptr,
         false},
        {ki, kiParameter, 0, 0, "Integral Gain must be between %.2lf and %.2lf", nullptr, false},
        {integralLimit, limitParameter, 0, 0, "Integral Limit must be between %.0lf and %.0lf",
         nullptr, true},
    }};
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
