#pragma once

#include <QDialog>

class QButtonGroup;

namespace Orvex {

// Asks which Orvex drive model the quick reference guide is wanted for:
// twelve models in one group, the first chosen when the dialog opens.
class COrvexModelDlg final : public QDialog
{
    Q_OBJECT

public:
    explicit COrvexModelDlg(QWidget* parent = nullptr);

    // The index of the chosen model, 0 to 11.
    int SelectedModel() const;
    void SelectModel(int index);

private:
    QButtonGroup* m_pModels = nullptr;
};

} // namespace Orvex
