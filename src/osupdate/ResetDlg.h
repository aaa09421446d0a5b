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

// "Reset Drive": the drive restarts as at power-up.
class CResetDlg final : public TConfirmDriveDlg
{
    Q_OBJECT

public:
    static constexpr int TimeoutMs = 10000;

    CResetDlg(AppContext& context, IMainWindow& mainWindow, QWidget* parent = nullptr);

protected:
    QString WaitText() const override;
    void CarryOut(IOrvexConfig& config) override;
};

// "Return to Factory Settings": every drive setting back to its default.
class CRFSDlg final : public TConfirmDriveDlg
{
    Q_OBJECT

public:
    static constexpr int TimeoutMs = 20000;

    CRFSDlg(AppContext& context, IMainWindow& mainWindow, QWidget* parent = nullptr);

protected:
    QString WaitText() const override;
    void CarryOut(IOrvexConfig& config) override;
};

} // namespace Orvex
