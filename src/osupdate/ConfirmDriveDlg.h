#pragma once

#include <QDialog>
#include <QString>

namespace Orvex {

struct AppContext;
class IMainWindow;
class IOrvexConfig;

// A question before a drive action, with "&Yes" and "&No". "&Yes" closes the
// dialog, tests the connection and carries the action out behind the wait
// window; "&No" sends nothing. Failures are shown under "Communications
// Status".
class TConfirmDriveDlg : public QDialog
{
    Q_OBJECT

public:
    static inline const QString CommunicationsStatus = QStringLiteral("Communications Status");

    void accept() override;

protected:
    TConfirmDriveDlg(AppContext& context, IMainWindow& mainWindow, const QString& caption,
                     const QString& question, QWidget* parent);

    // The wait window's text while the action runs, and the action.
    virtual QString WaitText() const = 0;
    virtual void CarryOut(IOrvexConfig& config) = 0;

private:
    void Run();

    AppContext& m_context;
    IMainWindow& m_mainWindow;
};

} // namespace Orvex
