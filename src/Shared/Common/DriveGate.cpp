#include "DriveGate.h"

#include "ConnectionResult.h"
#include "IDriveConnection.h"
#include "MainWindowServices.h"
#include "UiServices.h"

namespace Orvex {

namespace {

constexpr int kDriveAnswered = -1;

} // namespace

DriveGate::DriveGate(IUiServices& ui, IMainWindow& mainWindow) : m_ui(ui), m_mainWindow(mainWindow)
{}

std::optional<int> DriveGate::Test(IDriveConnection& drive, const QString& errorCaption,
                                   bool stopStatusUpdates)
{
    if (stopStatusUpdates)
        m_mainWindow.StopStatusAutoUpdate();
    std::optional<int> code;
    // The wait window belongs to the test alone: it is gone before any
    // message about the test's outcome opens.
    RunShowingErrors(m_ui, errorCaption, [&] {
        drive.SetPortNumber(m_mainWindow.SelectedPort());
        const auto wait = m_ui.ShowWait(QStringLiteral("Testing Orvex connection..."));
        code = drive.TestConnection();
    });
    return code;
}

bool DriveGate::Reach(IDriveConnection& drive, Report report, const QString& caption,
                      bool stopStatusUpdates)
{
    const std::optional<int> code = Test(drive, caption, stopStatusUpdates);
    if (!code)
        return false;
    if (*code == kDriveAnswered) {
        if (report == Report::ConnectionLabels)
            m_mainWindow.ShowConnectionError(false, QString());
        return true;
    }
    ShowFailure(*code, report, caption);
    return false;
}

void DriveGate::ShowFailure(int code, Report report, const QString& caption)
{
    if (report == Report::ConnectionLabels)
        m_mainWindow.ShowConnectionError(true, ConnectionResultText(code));
    else
        ShowErrorMessage(m_ui, caption, ConnectionResultText(code));
}

} // namespace Orvex
