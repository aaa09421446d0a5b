#include "FieldValidation.h"

#include "CommandDatabase.h"
#include "ParameterLimits.h"
#include "UiServices.h"

#include <QAbstractSpinBox>
#include <QLineEdit>

namespace Orvex {

std::optional<QString> FieldValidation::Check(const FieldRule& rule, const QString& text,
                                              const ParameterLimits& limits, bool linear)
{
    double minimum = rule.Minimum;
    double maximum = rule.Maximum;
    if (rule.Parameter >= 0) {
        minimum = limits[rule.Parameter].Minimum;
        maximum = limits[rule.Parameter].Maximum;
    }
    const double value = rule.Integer ? LeadingInteger(text) : LeadingDecimal(text);
    const bool holds = !text.trimmed().isEmpty() && value >= minimum && value <= maximum &&
                       (rule.Refuses == nullptr || !rule.Refuses(value));
    if (holds)
        return std::nullopt;
    const char* format = linear && rule.LinearMessage ? rule.LinearMessage : rule.Message;
    return QString::asprintf(format, minimum, maximum);
}

bool FieldValidation::Run(IUiServices& ui, std::span<const FieldRule> rules,
                          const ParameterLimits& limits, bool linear)
{
    for (const FieldRule& rule : rules) {
        const std::optional<QString> message = Check(rule, TextOf(rule.Edit), limits, linear);
        if (!message)
            continue;
        ShowErrorMessage(ui, Caption, *message);
        if (auto* edit = qobject_cast<QLineEdit*>(rule.Edit))
            edit->selectAll();
        else if (auto* spin = qobject_cast<QAbstractSpinBox*>(rule.Edit))
            spin->selectAll();
        if (rule.Edit)
            rule.Edit->setFocus();
        return false;
    }
    return true;
}

QString FieldValidation::TextOf(const QWidget* edit)
{
    if (const auto* line = qobject_cast<const QLineEdit*>(edit))
        return line->text();
    if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(edit))
        return spin->text();
    return QString();
}

} // namespace Orvex
