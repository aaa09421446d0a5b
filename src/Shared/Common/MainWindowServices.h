#pragma once

#include <QString>

namespace Orvex {

// What the main window offers its pages: the page title, the connection
// error labels, the selected port and page switching.
class IMainWindow
{
public:
    virtual ~IMainWindow() = default;

    virtual void SetPageTitle(const QString& title) = 0;
    virtual void ShowConnectionError(bool show, const QString& text) = 0;
    virtual void EnableCommControls(bool enable) = 0;
    virtual int SelectedPort() const = 0;
    virtual void SetPage(int id) = 0;
    // Stops the status pages' automatic updates before a drive action;
    // answers how many of them were running.
    virtual int StopStatusAutoUpdate() = 0;
};

// A page that reads status on a timer; every drive action stops it first.
class IAutoUpdatingPage
{
public:
    virtual ~IAutoUpdatingPage() = default;
    virtual bool IsAutoUpdating() const = 0;
    virtual void StopAutoUpdate() = 0;
};

// A page that owns a serial link and reopens it when the user picks another
// port. Throws a ComponentError when the link cannot be reopened.
class ILinkOwningPage
{
public:
    virtual ~ILinkOwningPage() = default;
    // Only pages whose link exists answer true.
    virtual bool HasLink() const = 0;
    virtual void ReopenLink(int portNumber) = 0;
};

} // namespace Orvex
