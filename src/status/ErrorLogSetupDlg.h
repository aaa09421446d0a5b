#pragma once

#include "ErrorLogSettings.h"

#include <QDialog>

class QCheckBox;
class QSettings;

namespace Orvex {

// "Setup Error Log": one check box per fault event the drive may log. Reads
// the profile when made; OK writes every box back, Cancel writes nothing.
class CErrorLogSetupDlg final : public QDialog
{
    Q_OBJECT

public:
    explicit CErrorLogSetupDlg(QSettings& settings, QWidget* parent = nullptr);

    ErrorLogSelection Selection() const;
    void SetSelection(const ErrorLogSelection& selection);
    QCheckBox* CheckBox(int index) const;

    void accept() override;

private:
    QSettings& m_settings;
    std::array<QCheckBox*, ErrorLogEventCount> m_boxes{};
};

} // namespace Orvex
