#pragma once

#include "UserButtonInfo.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace Orvex {

class IUiServices;
struct FileDialogRequest;

// "Edit User Buttons": edits a copy of the terminal's twelve user buttons,
// clears them, and loads or saves them as a button file; the caller takes
// Entries() back only when the dialog is accepted.
class CUserButtonsDlg final : public QDialog
{
    Q_OBJECT

public:
    CUserButtonsDlg(const std::array<CUserButtonInfo, 12>& entries, IUiServices& ui,
                    QWidget* parent = nullptr);

    const std::array<CUserButtonInfo, 12>& Entries() const { return m_entries; }

private:
    void ShowSelected();
    void SelectFirst();
    void OnLabelChanged(const QString& text);
    void OnCommandChanged(const QString& text);
    void OnClearAll();
    void OnOpen();
    void OnSave();
    static FileDialogRequest ButtonFileRequest();

    std::array<CUserButtonInfo, 12> m_entries;
    IUiServices& m_ui;
    QComboBox* m_pSelect = nullptr;
    QLineEdit* m_pLabel = nullptr;
    QLineEdit* m_pCommand = nullptr;
    bool m_showing = false; // the edits are being filled, not edited
};

} // namespace Orvex
