#pragma once

#include <QString>

#include <optional>
#include <span>

class QWidget;

namespace Orvex {

class IUiServices;
class ParameterLimits;

// One range check of a page's edit box: the range of a drive parameter (or a
// fixed one), the message shown when the value is outside it, and how the
// text is read. A page lists its rules in the order it checks them.
struct FieldRule
{
    // A NumericEdit, a NumSpinCtrl or any line edit.
    QWidget* Edit = nullptr;
    // The ParameterLimits entry whose range applies; -1 takes Minimum and
    // Maximum below.
    int Parameter = -1;
    double Minimum = 0.0;
    double Maximum = 0.0;
    // printf format given the minimum and the maximum:
    // "Proportional Gain must be between %.2lf and %.2lf".
    const char* Message = nullptr;
    // The message for a linear motor; null when it is the same.
    const char* LinearMessage = nullptr;
    // Read like atoi when true, like atof otherwise.
    bool Integer = false;
    // A value inside the range that is still refused (a dead band); null for none.
    bool (*Refuses)(double value) = nullptr;
};

// The check every page runs before it writes typed values: the rules in
// order, stopping at the first that fails. An empty box always fails, since
// the drive would silently take 0.
class FieldValidation
{
public:
    static inline const QString Caption = QStringLiteral("Data Validation Error");

    // The message when text breaks the rule; nothing when it holds.
    static std::optional<QString> Check(const FieldRule& rule, const QString& text,
                                        const ParameterLimits& limits, bool linear);

    // Checks the boxes in order. At the first failure shows its message under
    // "Data Validation Error", selects the box's text and gives it the focus,
    // and answers false.
    static bool Run(IUiServices& ui, std::span<const FieldRule> rules,
                    const ParameterLimits& limits, bool linear = false);

    // Marks a box whose value was refused, so it stands out beside the
    // message: a red frame and an accessible description, gone as soon as
    // the user edits the box.
    static void Flag(QWidget* edit);
    static bool IsFlagged(const QWidget* edit);

    // The text of an edit box or spin control.
    static QString TextOf(const QWidget* edit);
};

} // namespace Orvex
