#pragma once

#include <QLineEdit>
#include <QValidator>

namespace Orvex {

// Which characters a numeric box takes as the user types or pastes.
enum class NumericChars
{
    Digits,        // 0-9
    Decimal,       // 0-9 and "."
    SignedDecimal, // 0-9, "." and a leading "-"
};

// Refuses any text holding a character the box does not take. What is left
// is read like atof or atoi, so "1.2.3" reads 1.2 and "" reads 0; the range
// checks decide whether that is a value the drive takes.
class NumericValidator final : public QValidator
{
    Q_OBJECT

public:
    NumericValidator(NumericChars chars, QObject* parent);

    State validate(QString& input, int& pos) const override;
    static bool Accepts(NumericChars chars, const QString& text);

private:
    NumericChars m_chars;
};

// An edit box for a typed drive value: takes only the characters of its
// kind, reads like atof or atoi, and shows values as the pages do ("%.2f",
// "%d").
class NumericEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit NumericEdit(NumericChars chars, QWidget* parent = nullptr);

    double Decimal() const;
    int Integer() const;
    void SetDecimal(double value, int decimals = 2);
    void SetInteger(int value);
};

} // namespace Orvex
