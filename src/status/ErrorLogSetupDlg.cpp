#include "ErrorLogSetupDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QSettings>
#include <QVBoxLayout>

namespace Orvex {

namespace {

constexpr int kRowsPerColumn = 7;

} // namespace

CErrorLogSetupDlg::CErrorLogSetupDlg(QSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("errorLogSetupDialog"));
    setWindowTitle(QStringLiteral("Setup Error Log"));

    auto* layout = new QVBoxLayout(this);
    auto* boxes = new QGridLayout;
    for (size_t i = 0; i < ErrorLogEvents.size(); ++i) {
        const ErrorLogEvent& event = ErrorLogEvents[i];
        auto* box = new QCheckBox(QString::fromLatin1(event.Label), this);
        box->setObjectName(QString::fromLatin1(event.ObjectName));
        const int index = static_cast<int>(i);
        boxes->addWidget(box, index % kRowsPerColumn, index / kRowsPerColumn);
        m_boxes[i] = box;
    }
    layout->addLayout(boxes);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CErrorLogSetupDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CErrorLogSetupDlg::reject);
    layout->addWidget(buttons);

    SetSelection(ReadErrorLogSettings(m_settings));
}

ErrorLogSelection CErrorLogSetupDlg::Selection() const
{
    ErrorLogSelection selection{};
    for (size_t i = 0; i < m_boxes.size(); ++i)
        selection[i] = m_boxes[i]->isChecked();
    return selection;
}

void CErrorLogSetupDlg::SetSelection(const ErrorLogSelection& selection)
{
    for (size_t i = 0; i < m_boxes.size(); ++i)
        m_boxes[i]->setChecked(selection[i]);
}

QCheckBox* CErrorLogSetupDlg::CheckBox(int index) const
{
    if (index < 0 || index >= ErrorLogEventCount)
        return nullptr;
    return m_boxes[static_cast<size_t>(index)];
}

void CErrorLogSetupDlg::accept()
{
    WriteErrorLogSettings(m_settings, Selection());
    QDialog::accept();
}

} // namespace Orvex
