#include "NumericEdit.h"

#include "CommandDatabase.h"

namespace Orvex {

NumericValidator::NumericValidator(NumericChars chars, QObject* parent)
    : QValidator(parent), m_chars(chars)
{}

bool NumericValidator::Accepts(NumericChars chars, const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isDigit() && c.unicode() < 128)
            continue;
        if (c == u'.' && chars != NumericChars::Digits)
            continue;
        if (c == u'-' && i == 0 && chars == NumericChars::SignedDecimal)
            continue;
        return false;
    }
    return true;
}

QValidator::State NumericValidator::validate(QString& input, int&) const
{
    return Accepts(m_chars, input) ? Acceptable : Invalid;
}

NumericEdit::NumericEdit(NumericChars chars, QWidget* parent) : QLineEdit(parent)
{
    setValidator(new NumericValidator(chars, this));
}

double NumericEdit::Decimal() const
{
    return LeadingDecimal(text());
}

int NumericEdit::Integer() const
{
    return LeadingInteger(text());
}

void NumericEdit::SetDecimal(double value, int decimals)
{
    setText(QString::asprintf("%.*f", decimals, value));
}

void NumericEdit::SetInteger(int value)
{
    setText(QString::number(value));
}

} // namespace Orvex
