#include "SystemSnapshot.h"

#include "AppContext.h"
#include "CommandDatabase.h"
#include "ComponentFactory.h"
#include "DriveGate.h"
#include "ErrorReport.h"
#include "MainWindowServices.h"
#include "OrvexConfig.h"
#include "OrvexStatus.h"
#include "UiServices.h"

#include <memory>

namespace Orvex {

namespace {

constexpr int kDriveAnswered = -1;
constexpr int kActionPauseMs = 1000;

} // namespace

SystemSnapshot::SystemSnapshot(AppContext& context, IMainWindow& mainWindow,
                               SnapshotEnvironment environment)
    : m_context(context), m_mainWindow(mainWindow), m_environment(std::move(environment))
{}

void SystemSnapshot::Pause(int milliseconds)
{
    if (m_environment.FixedPauses)
        m_context.Ui.Pause(milliseconds);
}

bool SystemSnapshot::UploadConfiguration()
{
    DriveGate gate(m_context.Ui, m_mainWindow);
    const std::optional<int> code = gate.Test(m_context.Config, DriveGate::CommunicationsError);
    if (!code)
        return false;
    Pause(kActionPauseMs);
    if (*code != kDriveAnswered) {
        gate.ShowFailure(*code, DriveGate::Report::MessageBox, DriveGate::CommunicationsError);
        return false;
    }
    // An upload that fails half way says why; the text would be incomplete.
    return RunShowingErrors(m_context.Ui, DriveGate::CommunicationsError, [&] {
        {
            const auto wait =
                m_context.Ui.ShowWait(QStringLiteral("Uploading Orvex configuration..."));
            m_context.Config.LoadConfiguration(QString());
        }
        Pause(kActionPauseMs);
    });
}

bool SystemSnapshot::UploadStatus(IOrvexStatus& status)
{
    DriveGate gate(m_context.Ui, m_mainWindow);
    const std::optional<int> code = gate.Test(status, DriveGate::CommunicationsError);
    if (!code)
        return false;
    Pause(kActionPauseMs);
    if (*code != kDriveAnswered) {
        gate.ShowFailure(*code, DriveGate::Report::MessageBox, DriveGate::CommunicationsError);
        return false;
    }
    return RunShowingErrors(m_context.Ui, DriveGate::CommunicationsError, [&] {
        {
            const auto wait =
                m_context.Ui.ShowWait(QStringLiteral("Uploading Orvex bit status..."));
            status.UploadStatus();
            Pause(kActionPauseMs);
        }
        {
            const auto wait =
                m_context.Ui.ShowWait(QStringLiteral("Uploading Orvex numeric status..."));
            status.UploadNumericStatus(static_cast<int>(0xFFFFFFFFu), 0);
            Pause(kActionPauseMs);
        }
    });
}

std::optional<QString> SystemSnapshot::Take()
{
    if (!UploadConfiguration())
        return std::nullopt;

    std::unique_ptr<IOrvexStatus> status;
    try {
        status = m_context.Factory.Create<IOrvexStatus>(QString::fromLatin1(ProgId::BridgeStatus));
    } catch (const ComponentError&) {
        ORVEX_REPORT_CURRENT_EXCEPTION();
    }
    if (!status) {
        ShowErrorMessage(m_context.Ui, QStringLiteral("Status Update Error"),
                         QStringLiteral("IStatus not created"));
        return std::nullopt;
    }
    if (!UploadStatus(*status))
        return std::nullopt;

    std::optional<QString> text;
    // Reading the uploaded copies may still ask the drive (its enable state);
    // a failure there leaves no half-built snapshot.
    RunShowingErrors(m_context.Ui, DriveGate::CommunicationsError, [&] {
        CommandDatabaseLists lists;
        const bool loaded = LoadCommandDatabase(
            lists, m_context.ProgramFolder, [this](const QString& message, const QString& details) {
                m_context.Ui.ShowDetailedMessage(QStringLiteral("Orvex Support Tool"), message,
                                                 details);
            });
        text = SnapshotText::Build(m_context.Factory, m_context.Config, *status,
                                   loaded ? &lists : nullptr, m_environment);
    });
    return text;
}

} // namespace Orvex
