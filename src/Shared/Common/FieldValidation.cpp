#include "FieldValidation.h"

#include "CommandDatabase.h"
#include "ParameterLimits.h"
#include "UiServices.h"

#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QVariant>

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
        Flag(rule.Edit);
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

namespace {

const char* const FlaggedProperty = "orvexRefused";

void Unflag(QWidget* edit)
{
    if (!edit->property(FlaggedProperty).toBool())
        return;
    edit->setProperty(FlaggedProperty, false);
    edit->setStyleSheet(QString());
    edit->setAccessibleDescription(QString());
}

} // namespace

void FieldValidation::Flag(QWidget* edit)
{
    if (edit == nullptr)
        return;
    if (!edit->property(FlaggedProperty).isValid()) {
        // Connected once per box: the first edit after a refusal clears the mark.
        if (auto* line = qobject_cast<QLineEdit*>(edit))
            QObject::connect(line, &QLineEdit::textEdited, line, [line] { Unflag(line); });
        else if (auto* spin = qobject_cast<QAbstractSpinBox*>(edit))
            QObject::connect(spin, &QAbstractSpinBox::editingFinished, spin,
                             [spin] { Unflag(spin); });
    }
    edit->setProperty(FlaggedProperty, true);
    edit->setStyleSheet(QStringLiteral("border: 2px solid #c00000;"));
    edit->setAccessibleDescription(QStringLiteral("Value refused"));
}

bool FieldValidation::IsFlagged(const QWidget* edit)
{
    return edit != nullptr && edit->property(FlaggedProperty).toBool();
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
