#pragma once

#include "UiServices.h"

#include <QDialog>

class QLabel;

namespace Orvex {

// The modeless "Please wait..." notice with one line of text, shown around
// every blocking drive call.
class CWaitDlg final : public QDialog, public IWaitWindow
{
    Q_OBJECT

public:
    explicit CWaitDlg(QWidget* parent, const QString& text = QString());

    void SetText(const QString& text) override;
    QString Text() const;

private:
    QLabel* m_pText = nullptr;
};

} // namespace Orvex
