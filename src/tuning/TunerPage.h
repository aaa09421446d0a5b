#pragma once

#include "CaptureData.h"
#include "NumericEdit.h"
#include "ResponseGraph.h"
#include "TuningSession.h"

#include <QString>
#include <QWidget>

class QComboBox;
class QGridLayout;

#include <functional>
#include <optional>
#include <vector>

class QVariant;

namespace Orvex {

struct AppContext;
class IConfigWorkflow;
class IMainWindow;
class IOrvexConfig;
class IUiServices;
class IWaitWindow;

// What the servo tuner frame shares with its tuners: the program's objects,
// the session and graph choice, the drive checks every drive action starts
// with, and the graph redraw.
class TunerContext
{
public:
    TunerContext(AppContext& context, IMainWindow& mainWindow, IConfigWorkflow& workflow);

    AppContext& App;
    IMainWindow& MainWindow;
    IConfigWorkflow& Workflow;
    IOrvexConfig& Config() const;
    IUiServices& Ui() const;

    // The session the next test goes into, 0 to 3, and whether the graph
    // shows all four sessions or only that one.
    int ActiveSession = 0;
    bool GraphAllSessions = false;
    // Redraws the graph from the shown tuner; set by the frame.
    std::function<void()> Redraw;

    // Stops the status pages' automatic updates, gives the drive the
    // selected port and tests the connection; a failure shows on the main
    // window's connection labels.
    bool CheckDriveConnection();
    // The drive holds a configuration, its enable input is on and it is not
    // faulted; the first that fails is shown and answers false.
    bool CheckDriveState();
    // The drive holds a configuration ("Configuration Error" when not).
    bool CheckDriveConfigured();
    // Before values are read from the drive: a drive without a configuration
    // stops it; an enable input that is off or a fault is only a warning.
    bool WarnDriveState();
    // The drive's "Enable Fault on Drive Disable" flag would stop a test
    // move; the user may clear it, and clearCommand, when given, clears it in
    // the drive at once. False when the user cancelled.
    bool AskFaultOnDisable(const QString& clearCommand = QString());
    // The drive holds a step/direction configuration; shown when not.
    bool CheckStepDirectionMode();
    // Types a command to the drive on the selected port through a serial
    // link of its own; false, with the reason shown, when it did not go out.
    bool SendDriveCommand(const QString& text);
    // The drive's configuration read into the configuration object behind
    // "Uploading Orvex configuration..." and the pause after it.
    void UploadConfiguration();
    // Enables or disables the drive behind its wait window and the pause
    // after it; ready, when given, is checked first. False when it did not happen.
    bool SwitchDrive(bool enable, const std::function<bool()>& ready = {});
    // "Reset Drive": the connection test, the configuration check, and the
    // reset, clearing a fault exactly when the drive reports one.
    void ResetDrive();

    // The pauses after an upload and after enabling or disabling, and how
    // long a reset may take.
    static constexpr int UploadPauseMs = 1000;
    static constexpr int EnablePauseMs = 1000;
    static constexpr int ResetTimeoutMs = 10000;

    // Runs a drive action, showing a component error under "Communications
    // Error"; false when it failed.
    bool RunDriveAction(const std::function<void()>& action);
    // "Save Config As...": writes the page's values into the configuration
    // object, asks for a .kvt file and stores the configuration there;
    // false when something failed or the user cancelled.
    bool SaveConfigurationAs(const std::function<void()>& writeToConfig);
};

// A tuner of the servo tuner frame: its page of gains and test profile, its
// four sessions, its checks before a test, its capture and its graph.
class TTunerPage : public QWidget
{
    Q_OBJECT

public:
    // How long a capture may take, in ms, and the pause after it.
    static constexpr int CaptureTimeoutMs = 20000;
    static constexpr int AfterCapturePauseMs = 2000;

    TTunerPage(TunerContext& tuning, QWidget* parent = nullptr);

    // "Current Loop Tuner", ...
    virtual QString TunerName() const = 0;
    // Session n back to the page's defaults with empty traces; the page
    // shows the defaults.
    virtual void ResetSession(int n) = 0;
    // The page shows session n's values.
    virtual void SelectSession(int n) = 0;
    // The page takes its gains from the configuration object.
    virtual void FillFromConfig() = 0;
    // The page's texts back to their defaults; the sessions keep their tests.
    virtual void ResetPageToDefaults() = 0;
    // Checks the page in its order; at the first failure shows it and focuses the box.
    virtual bool Validate() = 0;
    // The drive checks before a test, the page's checks, and the gains
    // written to the configuration object; false when anything stopped it.
    virtual bool CheckDriveReady() = 0;
    // "Start Motion": checks, runs the test and draws it in the active session.
    virtual void CaptureResponse() = 0;
    // What the graph shows for this tuner.
    virtual GraphContent Graph() const = 0;

protected:
    // A labelled box of the page in grid at row, column (label) and column + 1.
    NumericEdit* AddEdit(QGridLayout* grid, int row, int column, const QString& label,
                         NumericChars chars, const char* objectName, const QString& defaultText);

    // The boxes of the three gains every loop has ("Proportional", "Integral",
    // "Integral Limit") in the first column of grid.
    void AddLoopGains(QGridLayout* grid, NumericEdit*& kp, NumericEdit*& ki,
                      NumericEdit*& integralLimit);

    // The "Position Profile" group both position tuners show: the distance
    // (read like atoi from any text), the maximum position error and the
    // direction combo.
    QWidget* AddPositionProfile(NumericEdit*& distance, NumericEdit*& maxError,
                                QComboBox*& direction);

    // The shared test protocol around the tuner's capture call: the wait
    // window, the pause, the result's checks. Answers the samples, or an
    // invalid QVariant with the user told why.
    std::optional<QVariant> RunCapture(const std::function<QVariant()>& capture);
    // Shows "VARIANT Error" for a capture whose answer is unusable; false then.
    bool AcceptUnpacked(CaptureData::Problem problem);

    // What an auto tuning run of the inertia ratio needs from its tuner.
    struct AutoTuneSteps
    {
        // Whether the drive's control mode suits the tuner (with the
        // message when not).
        std::function<bool()> ControlModeOk;
        // Runs after the checks, before the graph is blanked; may be empty.
        std::function<void()> BeforeTuning;
        std::function<void()> BlankGraph;
        // Sent to the drive when the user clears the fault-on-disable flag.
        QString FaultClearCommand;
        // The measurement with the wait window open: the ratio, negative
        // when it failed. Empty: one run of the drive's measurement.
        std::function<float(IWaitWindow&)> Measure;
    };
    // Auto tuning of the inertia ratio, shared by the velocity and position
    // tuners: checks the drive, asks about the fault-on-disable flag, blanks
    // the graph, runs the measurement and puts the ratio into ratioBox.
    void AutoTune(const AutoTuneSteps& steps, NumericEdit* ratioBox);

    // Checks the page, writes its gains and stores the configuration in a
    // file the user picks; false when anything stopped it.
    bool SaveTunedConfiguration(const std::function<void()>& writeGains);

    // The graph of a position tuner's step moves.
    template <class Session>
    GraphContent PositionGraph(const std::array<Session, TuningSessionCount>& sessions,
                               int distance,
                               const std::function<QString(const Session&)>& notes) const;

    // Puts each drawn session's traces and figures into content.
    template <class Session>
    void AddSessions(GraphContent& content, const std::array<Session, TuningSessionCount>& sessions,
                     const std::function<double(int session, int sample)>& timeOf,
                     const std::function<QString(const Session&)>& notes) const;

    TunerContext& m_tuning;
};

// A tuner whose four sessions hold Values and traces of Sample: what every
// tuner does with its sessions, written once.
template <class Values, class Sample> class TSessionTunerPage : public TTunerPage
{
public:
    using SessionType = TuningSession<Values, Sample>;
    using TTunerPage::TTunerPage;

    void ResetSession(int n) override
    {
        ResetPageToDefaults();
        Session(n).Reset(PageValues());
    }
    void SelectSession(int n) override { ShowValues(Session(n).Page); }

    const SessionType& Session(int n) const { return m_sessions[static_cast<std::size_t>(n)]; }
    SessionType& Session(int n) { return m_sessions[static_cast<std::size_t>(n)]; }

protected:
    // The page's boxes as values, and values shown in the boxes.
    virtual Values PageValues() const = 0;
    virtual void ShowValues(const Values& values) = 0;

    // A finished capture: its samples go into the active session (then the
    // tuner's own touches, if any), the graph is redrawn and the page's
    // values are kept with the test.
    void StoreCapture(const QVariant& samples,
                      const std::function<void(SessionType&)>& afterUnpack = {})
    {
        SessionType& session = Session(m_tuning.ActiveSession);
        if (!AcceptUnpacked(CaptureData::Unpack(samples, session.Commanded, session.Actual)))
            return;
        if (afterUnpack)
            afterUnpack(session);
        m_tuning.Redraw();
        if (Validate())
            session.Page = PageValues();
    }

    // Redraws the graph with every trace blank, then puts the tests back:
    // the graph stays empty until its next redraw.
    void BlankGraph()
    {
        const auto kept = m_sessions;
        for (SessionType& session : m_sessions) {
            session.Commanded.fill({});
            session.Actual.fill({});
        }
        m_tuning.Redraw();
        m_sessions = kept;
    }

    std::array<SessionType, TuningSessionCount> m_sessions;
};

template <class Session>
void TTunerPage::AddSessions(GraphContent& content,
                             const std::array<Session, TuningSessionCount>& sessions,
                             const std::function<double(int session, int sample)>& timeOf,
                             const std::function<QString(const Session&)>& notes) const
{
    std::vector<double> times(TraceLength);
    std::vector<double> commanded(TraceLength);
    std::vector<double> actual(TraceLength);
    for (int n = 0; n < TuningSessionCount; ++n) {
        const auto index = static_cast<std::size_t>(n);
        const bool drawn = m_tuning.GraphAllSessions || n == m_tuning.ActiveSession;
        content.Drawn[index] = drawn;
        content.SessionNotes[index] = notes(sessions[index]);
        if (!drawn)
            continue;
        QList<QPointF>& commandedPoints = content.Series[2 * index];
        QList<QPointF>& actualPoints = content.Series[2 * index + 1];
        commandedPoints.reserve(TraceLength);
        actualPoints.reserve(TraceLength);
        for (int j = 0; j < TraceLength; ++j) {
            const auto k = static_cast<std::size_t>(j);
            times[k] = timeOf(n, j);
            commanded[k] = static_cast<double>(sessions[index].Commanded[k]);
            actual[k] = static_cast<double>(sessions[index].Actual[k]);
            commandedPoints.append(QPointF(times[k], commanded[k]));
            actualPoints.append(QPointF(times[k], actual[k]));
        }
        content.Figures[index] = ComputeStepFigures(times, commanded, actual);
    }
}

template <class Session>
GraphContent TTunerPage::PositionGraph(const std::array<Session, TuningSessionCount>& sessions,
                                       int distance,
                                       const std::function<QString(const Session&)>& notes) const
{
    GraphContent content;
    content.Tuner = TunerName();
    content.Title = QStringLiteral("Position Response");
    content.YTitle = QStringLiteral("Position (counts)");
    content.XMin = CaptureData::PositionStartMs;
    content.XMax = CaptureData::PositionStartMs + TraceLength * CaptureData::PositionSampleMs;
    content.XGrid = 16.0;
    content.XMinor = 4.0;
    content.YMin = 0.0;
    content.YMax = 2.0 * distance;
    AddSessions<Session>(
        content, sessions,
        [](int, int j) { return CaptureData::PositionStartMs + j * CaptureData::PositionSampleMs; },
        notes);
    return content;
}

} // namespace Orvex
