#pragma once

#include "FieldValidation.h"

#include <QWidget>

#include <array>

class QGridLayout;

namespace Orvex {

struct AppContext;
class NumericEdit;

// The loop gains the wizard's control mode step asks for, beside the tuners
// that try them: a panel per control mode with its defaults, its values from
// the configuration object, its checks and its writes.
class TGainsPanel : public QWidget
{
    Q_OBJECT

public:
    TGainsPanel(AppContext& context, QWidget* parent);

    // The panel's default texts.
    virtual void SetDefaults() = 0;
    virtual void FillFromConfig() = 0;
    // The boxes in order; the first failure is shown, its box focused.
    virtual bool Validate() = 0;
    virtual void WriteToConfig() = 0;

protected:
    NumericEdit* AddEdit(QGridLayout* grid, int row, const QString& label, bool decimal,
                         const char* objectName);
    // The panel's group box with its title; the boxes go into its grid.
    QGridLayout* GroupIn(const QString& title);

    AppContext& m_context;
};

// The checks every loop's gains start with, in this order: the proportional
// gain, the integral gain and the integral limit (a whole number), each in
// the range of its drive parameter.
std::array<FieldRule, 3> LoopGainRules(QWidget* kp, QWidget* ki, QWidget* integralLimit,
                                       int kpParameter, int kiParameter, int limitParameter);

} // namespace Orvex
