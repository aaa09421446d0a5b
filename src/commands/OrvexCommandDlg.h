#pragma once

#include "CommandDatabase.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;

namespace Orvex {

class IUiServices;

// The command browser: lets the user pick a drive command from the command
// database, shows its reference data and answers an editable command text for
// the terminal to send.
class COrvexCommandDlg final : public QDialog
{
    Q_OBJECT

public:
    // Command categories with the numbers the category list carries as item data.
    enum Category
    {
        ParameterCategory = 0,
        StatusCategory = 1,
        ErrorCategory = 2,
        XCommandCategory = 3
    };

    // Loads the command database of programFolder afresh; a failed load has
    // shown its message through ui and leaves IsLoaded() false.
    COrvexCommandDlg(const QString& programFolder, IUiServices& ui, QWidget* parent = nullptr);

    // False when the database could not be loaded; the dialog is not to be run then.
    bool IsLoaded() const { return m_Loaded; }
    // The text "Send" hands back.
    QString CommandText() const;

private:
    // The six reference texts beside the command, cleared on every selection.
    enum Detail
    {
        EquivalentDetail,
        DataFormatDetail,
        UnitsDetail,
        MinimumDetail,
        MaximumDetail,
        DefaultDetail,
        DetailCount
    };

    void BuildControls();
    void OnCategoryChanged();
    void OnCommandChanged();
    void FillCommands(int category);
    void ShowDetails();
    void SetDetail(Detail detail, const QString& text);

    CommandDatabaseLists m_Lists;
    bool m_Loaded = false;

    QComboBox* m_pCategory = nullptr;
    QComboBox* m_pCommand = nullptr;
    QLineEdit* m_pEdit = nullptr;
    std::array<QLineEdit*, DetailCount> m_Details{};
};

} // namespace Orvex
