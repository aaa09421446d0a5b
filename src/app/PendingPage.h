#pragma once

#include "StackDialog.h"

namespace Orvex {

class IMainWindow;

// A page whose work has not been built yet: it shows its title and says it
// is not available yet.
class CPendingPage final : public TStackedPage
{
    Q_OBJECT

public:
    CPendingPage(IMainWindow& mainWindow, QString title, QWidget* parent = nullptr);

    void OnSetActive() override;
    const QString& Title() const { return m_title; }

private:
    IMainWindow& m_mainWindow;
    QString m_title;
};

} // namespace Orvex
