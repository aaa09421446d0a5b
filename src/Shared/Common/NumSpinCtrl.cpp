#include "NumSpinCtrl.h"

#include "CommandDatabase.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include <algorithm>

namespace Orvex {

NumSpinCtrl::NumSpinCtrl(NumericChars chars, const Range& range, QWidget* parent)
    : QAbstractSpinBox(parent), m_chars(chars), m_range(range)
{
    // Typed text stays as typed; only a step or SetValue rewrites it.
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(true);
}

double NumSpinCtrl::Value() const
{
    return LeadingDecimal(lineEdit()->text());
}

void NumSpinCtrl::SetValue(double value)
{
    lineEdit()->setText(QString::asprintf(m_range.Format, value));
    update();
}

void NumSpinCtrl::stepBy(int steps)
{
    double stepped = std::clamp(Value() + steps * m_range.Step, m_range.Minimum, m_range.Maximum);
    if (m_snap)
        stepped = m_snap(stepped, steps);
    SetValue(stepped);
    Q_EMIT Stepped(steps);
}

QValidator::State NumSpinCtrl::validate(QString& input, int&) const
{
    return NumericValidator::Accepts(m_chars, input) ? QValidator::Acceptable : QValidator::Invalid;
}

QAbstractSpinBox::StepEnabled NumSpinCtrl::stepEnabled() const
{
    if (isReadOnly() || !isEnabled())
        return StepNone;
    const double value = Value();
    StepEnabled enabled = StepNone;
    if (value < m_range.Maximum)
        enabled |= StepUpEnabled;
    if (value > m_range.Minimum)
        enabled |= StepDownEnabled;
    return enabled;
}

void NumSpinCtrl::keyReleaseEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !event->isAutoRepeat()) {
        event->accept();
        Q_EMIT EnterReleased();
        return;
    }
    QAbstractSpinBox::keyReleaseEvent(event);
}

QSize NumSpinCtrl::WithWidestValue(QSize size) const
{
    // The spin box base knows no range of its own, so its hints hold no value.
    ensurePolished();
    const QString minimum = QString::asprintf(m_range.Format, m_range.Minimum);
    const QString maximum = QString::asprintf(m_range.Format, m_range.Maximum);
    const QFontMetrics metrics(font());
    const int text =
        std::max(metrics.horizontalAdvance(minimum), metrics.horizontalAdvance(maximum)) +
        metrics.horizontalAdvance(QLatin1Char(' '));
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QSize styled =
        style()->sizeFromContents(QStyle::CT_SpinBox, &option, QSize(text, size.height()), this);
    size.setWidth(std::max(size.width(), styled.width()));
    return size;
}

QSize NumSpinCtrl::sizeHint() const
{
    return WithWidestValue(QAbstractSpinBox::sizeHint());
}

QSize NumSpinCtrl::minimumSizeHint() const
{
    return WithWidestValue(QAbstractSpinBox::minimumSizeHint());
}

} // namespace Orvex
