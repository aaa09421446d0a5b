#include "OrvexModelDlg.h"

#include "SupportDocuments.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace Orvex {

COrvexModelDlg::COrvexModelDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("orvexModelDialog"));
    setWindowTitle(QStringLiteral("Orvex Model"));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Select Orvex Model"), this);
    auto* groupLayout = new QVBoxLayout(group);
    m_pModels = new QButtonGroup(this);
    for (int index = 0; index < SupportDocuments::ModelCount; ++index) {
        auto* radio = new QRadioButton(SupportDocuments::ModelName(index), group);
        radio->setObjectName(QStringLiteral("model%1").arg(index));
        m_pModels->addButton(radio, index);
        groupLayout->addWidget(radio);
    }
    layout->addWidget(group);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    SelectModel(0);
    m_pModels->button(0)->setFocus();
}

int COrvexModelDlg::SelectedModel() const
{
    return m_pModels->checkedId();
}

void COrvexModelDlg::SelectModel(int index)
{
    if (QAbstractButton* radio = m_pModels->button(index))
        radio->setChecked(true);
}

} // namespace Orvex
