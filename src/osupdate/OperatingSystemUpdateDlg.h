#pragma once

#include "StackedPage.h"

#include <QString>

namespace Orvex {

struct AppContext;
class IMainWindow;

// The "Operating System Update" page: what the drive's operating system is,
// its download, and the auto run test, reset and factory settings dialogs.
class COperatingSystemUpdateDlg final : public TStackedPage
{
    Q_OBJECT

public:
    static inline const QString Title = QStringLiteral("Operating System Update");

    COperatingSystemUpdateDlg(AppContext& context, IMainWindow& mainWindow,
                              QWidget* parent = nullptr);

    void OnSetActive() override;

    // The buttons' handlers.
    void DownloadOperatingSystem();
    void RunAutoRunWizard();
    void ReturnToFactorySettings();
    void ResetDrive();

private:
    // After a successful download: offers to send the configuration kept
    // before it back to the drive.
    void OfferConfigurationBack(const QString& path);

    AppContext& m_context;
    IMainWindow& m_mainWindow;
};

} // namespace Orvex
