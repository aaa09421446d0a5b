#pragma once

#include <QWidget>

namespace Orvex {

// A page of the main window: created once, shown and hidden by the page
// container, kept until the window closes. Enter and Escape inside a page do
// nothing.
class TStackedPage : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

    // The page became visible.
    virtual void OnSetActive() {}
    // The page is being hidden; it cannot refuse.
    virtual void OnKillActive() {}
    // The page was just created and placed.
    virtual void OnCreatePage() {}
    // The page is about to be destroyed.
    virtual void OnDestroyPage() {}

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace Orvex
