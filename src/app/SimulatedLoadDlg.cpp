#include "SimulatedLoadDlg.h"

#include "SimulatedDrive.h"
#include "UiServices.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>

namespace Orvex {

namespace {

QDoubleSpinBox* Field(QWidget* parent, const char* name, double maximum, int decimals, double value)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(0.0, maximum);
    box->setDecimals(decimals);
    box->setValue(value);
    return box;
}

} // namespace

CSimulatedLoadDlg::CSimulatedLoadDlg(IUiServices& ui, double inertiaRatio, double resonanceHz,
                                     double dampingRatio, QWidget* parent)
    : QDialog(parent), m_ui(ui)
{
    setObjectName(QStringLiteral("simulatedLoadDlg"));
    setWindowTitle(QStringLiteral("Simulated Load"));
    auto* form = new QFormLayout(this);
    m_pRatio = Field(this, "loadRatioSpin", 100.0, 2, inertiaRatio);
    m_pResonance = Field(this, "resonanceSpin", 5000.0, 0, resonanceHz);
    m_pDamping = Field(this, "dampingSpin", 1.0, 3, dampingRatio);
    const auto row = [this, form](const QString& text, QDoubleSpinBox* box) {
        auto* label = new QLabel(text, this);
        label->setBuddy(box);
        box->setAccessibleName(QString(text).remove(u'&').remove(u':'));
        form->addRow(label, box);
    };
    row(QStringLiteral("Load &inertia ratio:"), m_pRatio);
    row(QStringLiteral("&Resonance (Hz, 0 rigid):"), m_pResonance);
    row(QStringLiteral("Resonance &damping ratio:"), m_pDamping);
    auto* buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSimulatedLoadDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSimulatedLoadDlg::reject);
    form->addRow(buttons);
}

double CSimulatedLoadDlg::InertiaRatio() const
{
    return m_pRatio->value();
}

double CSimulatedLoadDlg::ResonanceHz() const
{
    return m_pResonance->value();
}

double CSimulatedLoadDlg::DampingRatio() const
{
    return m_pDamping->value();
}

void CSimulatedLoadDlg::accept()
{
    const QString error = SimulatedDrive::LoadError(InertiaRatio(), ResonanceHz(), DampingRatio());
    if (!error.isEmpty()) {
        m_ui.ShowMessage(QStringLiteral("Data Validation Error"), error);
        return;
    }
    QDialog::accept();
}

} // namespace Orvex
