#pragma once

#include <QString>

#include <optional>

namespace Orvex {

class IDriveConnection;
class IMainWindow;
class IUiServices;

// The sequence every drive action starts with: stop the status pages'
// automatic updates, give the drive object the selected port, and run the
// connection test behind "Testing Orvex connection...". Only the answer -1
// (the drive answered) lets the action go on; how a failure is shown is the
// caller's choice.
class DriveGate
{
public:
    // Where a failed connection test is reported.
    enum class Report
    {
        // The main window's red "CONNECTION ERROR" labels; a success hides them.
        ConnectionLabels,
        // An OK-only message box with the caption given.
        MessageBox,
    };

    static inline const QString CommunicationsError = QStringLiteral("Communications Error");

    DriveGate(IUiServices& ui, IMainWindow& mainWindow);

    // Runs the sequence and answers the connection test's code. A component
    // error or framework exception on the way is shown under errorCaption
    // (after the wait window has closed) and answers nothing.
    // stopStatusUpdates is false only for the status pages themselves.
    std::optional<int> Test(IDriveConnection& drive, const QString& errorCaption,
                            bool stopStatusUpdates = true);

    // Test, then true when the drive answered; any other code is reported as
    // asked, with its text ("No response from Orvex drive", ...). Component
    // errors go under the caption in both cases.
    bool Reach(IDriveConnection& drive, Report report, const QString& caption = CommunicationsError,
               bool stopStatusUpdates = true);

    // Shows a failed code as Reach does.
    void ShowFailure(int code, Report report, const QString& caption);

private:
    IUiServices& m_ui;
    IMainWindow& m_mainWindow;
};

} // namespace Orvex
