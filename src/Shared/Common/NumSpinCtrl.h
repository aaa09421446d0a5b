#pragma once

#include "NumericEdit.h"

#include <QAbstractSpinBox>

#include <functional>
#include <utility>

namespace Orvex {

// An edit box with up and down arrows for a drive value. It holds no number
// of its own: its value is the number in the box (read like atof; an empty
// or non-numeric text reads 0), and setting it writes the number in the
// box's display format. A step moves the value by the step size within the
// range and then tells the page through Stepped, which sends it to the drive.
// The page hears of a typed value through EnterReleased.
class NumSpinCtrl final : public QAbstractSpinBox
{
    Q_OBJECT
    // Read and set by assistive technologies as the control's value.
    Q_PROPERTY(double value READ Value WRITE SetValue USER true)

public:
    struct Range
    {
        double Minimum = 0.0;
        double Maximum = 0.0;
        double Step = 1.0;
        // printf format of one double: "%.0lf", "%.2lf", "%.4lf".
        const char* Format = "%.2lf";
    };

    NumSpinCtrl(NumericChars chars, const Range& range, QWidget* parent = nullptr);

    double Value() const;
    void SetValue(double value);
    const Range& Limits() const { return m_range; }
    // A value a step lands on may be moved before it shows (a dead band the
    // step jumps across): snap gets the stepped value and the steps and
    // answers the value to show.
    using StepSnap = std::function<double(double stepped, int steps)>;
    void SetStepSnap(StepSnap snap) { m_snap = std::move(snap); }

    void stepBy(int steps) override;
    // Wide enough for every value of the range in the box's format.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    // After the control stepped its value; steps is +1 or -1 for one arrow.
    void Stepped(int steps);
    // Enter was released in the box.
    void EnterReleased();

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    StepEnabled stepEnabled() const override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    QSize WithWidestValue(QSize size) const;

    NumericChars m_chars;
    Range m_range;
    StepSnap m_snap;
};

} // namespace Orvex
