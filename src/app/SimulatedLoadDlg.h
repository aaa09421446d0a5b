#pragma once

#include <QDialog>

class QDoubleSpinBox;

namespace Orvex {

class IUiServices;

// "Simulated Load": the mechanics the built-in simulated drive hides behind
// its motor shaft (load inertia ratio, shaft resonance and its damping), so a
// user can practise tuning on other machines.
class CSimulatedLoadDlg final : public QDialog
{
    Q_OBJECT

public:
    CSimulatedLoadDlg(IUiServices& ui, double inertiaRatio, double resonanceHz, double dampingRatio,
                      QWidget* parent = nullptr);

    double InertiaRatio() const;
    double ResonanceHz() const;
    double DampingRatio() const;

    // Closes only on a load the simulated drive can take; says why not otherwise.
    void accept() override;

private:
    IUiServices& m_ui;
    QDoubleSpinBox* m_pRatio = nullptr;
    QDoubleSpinBox* m_pResonance = nullptr;
    QDoubleSpinBox* m_pDamping = nullptr;
};

} // namespace Orvex
