#include "PageIds.h"
#include "PositionTunerDlg.h"
#include "ResponseGraph.h"
#include "ServoTunerDlg.h"
#include "SimulatedProgram.h"
#include "TorqueTunerDlg.h"
#include "VelocityTunerDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cmath>

using namespace Orvex;
using Kind = CServoTunerDlg::TunerKind;

namespace {

// The program on the simulated drive with the "Servo Tuning" page at hand.
struct Tuning : OrvexTest::SimulatedWindow
{
    CServoTunerDlg& Frame() const
    {
        return *dynamic_cast<CServoTunerDlg*>(window.Page(PageId::ServoTuner));
    }
    // Sets the drive up for a control mode, as the wizard's download would.
    void ConfigureDrive(int mode)
    {
        config->SetControlMode(mode);
        config->SetPortNumber(SimulatorPort());
        QCOMPARE(config->TestConnection(), -1);
        config->StoreConfiguration(true, QString());
    }
    // Shows the page and lets it check the drive, as a click on the menu does.
    void Open()
    {
        window.SetPage(PageId::ServoTuner);
        QCoreApplication::processEvents();
    }
    template <class T = QWidget> T* In(const char* name) const
    {
        return Frame().findChild<T*>(QString::fromLatin1(name));
    }
    QString Shown() const { return OrvexTest::Messages(ui).join(u'\n'); }
};

} // namespace

// The servo tuner frame and its tuners on the simulated drive, through the
// real bridge and link.
class TestServoTuner : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tunerForControlMode_data();
    void tunerForControlMode();
    void driveNotReady_data();
    void driveNotReady();
    void currentTunerChecks_data();
    void currentTunerChecks();
    void sessionsOnTheGraph();
    void testMoves_data();
    void testMoves();
    void saveConfigAs();
    void velocityTuning();
};

void TestServoTuner::tunerForControlMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("outerLoop"); // empty: no "Control Loop" group
    QTest::newRow("torque") << 2 << int(Kind::Current) << QString();
    QTest::newRow("3") << 3 << int(Kind::Current) << QString();
    QTest::newRow("velocity") << 4 << int(Kind::Velocity) << "Tune Velocity Loop";
    QTest::newRow("5") << 5 << int(Kind::Current) << QString();
    QTest::newRow("step and direction") << 6 << int(Kind::Position) << "Tune Position Loop";
    QTest::newRow("reversed direction") << 7 << int(Kind::Position) << "Tune Position Loop";
}

void TestServoTuner::tunerForControlMode()
{
    QFETCH(int, mode);
    Tuning p;
    p.config->SetControlMode(mode);
    p.config->SetVelocityLoopKp(2.5f);
    p.config->SetCurrentLoopKp(31.0f);
    CServoTunerDlg& frame = p.Frame();
    frame.FillFromConfig();
    QFETCH(int, kind);
    QCOMPARE(int(frame.Kind()), kind);
    QFETCH(QString, outerLoop);
    QCOMPARE(frame.ControlLoopGroup()->isHidden(), outerLoop.isEmpty());
    if (!outerLoop.isEmpty()) {
        QCOMPARE(frame.OuterLoopRadio()->text(), outerLoop);
        QVERIFY(frame.OuterLoopRadio()->isChecked());
    }
    // The current loop tuner always shows the configuration; the velocity
    // tuner only when it is the one chosen.
    QCOMPARE(frame.TorqueTuner()->findChild<QLineEdit*>("proportionalEdit")->text(),
             QStringLiteral("31.00"));
    QCOMPARE(frame.VelocityTuner()->findChild<QLineEdit*>("proportionalEdit")->text(),
             mode == 4 ? QStringLiteral("2.50") : QStringLiteral("1.00"));
}

void TestServoTuner::driveNotReady_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("velocityTuner");
    QTest::addColumn<QString>("message");
    QTest::newRow("not configured")
        << "unconfigured" << false << "Configuration Error: Orvex drive has not been configured";
    QTest::newRow("no enable input")
        << "noenable" << false
        << "Hardware Drive Enable Error: Orvex drive is not enabled via enable input";
    QTest::newRow("faulted") << "fault:28" << false
                             << "Drive Fault: Orvex drive is faulted.  You must reset drive to "
                                "clear fault.";
    QTest::newRow("torque drive, velocity tuner")
        << QString() << true
        << "Configuration Error: Orvex drive has not been configured as a velocity servo drive";
}

void TestServoTuner::driveNotReady()
{
    QFETCH(QString, fault);
    QFETCH(bool, velocityTuner);
    Tuning p;
    if (!fault.isEmpty())
        QVERIFY(p.Drive().ApplySwitch(fault, nullptr));
    TTunerPage* tuner = velocityTuner ? static_cast<TTunerPage*>(p.Frame().VelocityTuner())
                                      : static_cast<TTunerPage*>(p.Frame().TorqueTuner());
    QVERIFY(!tuner->CheckDriveReady());
    QFETCH(QString, message);
    QCOMPARE(p.Shown(), message);
    if (!velocityTuner) {
        p.ui.Messages.clear();
        p.Frame().EnableDrive();
        QVERIFY(!p.config->DriveEnable());
    }
}

void TestServoTuner::currentTunerChecks_data()
{
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message"); // empty: passes
    const QString bandwidth = QStringLiteral(
        "Data Validation Error: Current Loop Bandwidth must be between 250 and 2500");
    // The drive derives the gains itself: they are not checked then.
    QTest::newRow("gain ignored") << true << "proportionalEdit"
                                  << "99999" << QString();
    QTest::newRow("gain checked") << false << "proportionalEdit"
                                  << "99999"
                                  << "Proportional Gain";
    QTest::newRow("bandwidth 249") << true << "bandwidthEdit"
                                   << "249" << bandwidth;
    QTest::newRow("bandwidth 250") << true << "bandwidthEdit"
                                   << "250" << QString();
    QTest::newRow("bandwidth 2500") << true << "bandwidthEdit"
                                    << "2500" << QString();
    QTest::newRow("bandwidth 2501") << true << "bandwidthEdit"
                                    << "2501" << bandwidth;
    QTest::newRow("empty current") << true << "currentEdit"
                                   << ""
                                   << "Current must be between";
}

void TestServoTuner::currentTunerChecks()
{
    QFETCH(bool, automatic);
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, message);
    Tuning p;
    CTorqueTunerDlg* tuner = p.Frame().TorqueTuner();
    tuner->AutomaticBox()->setChecked(automatic);
    auto* edit = tuner->findChild<QLineEdit*>(box);
    edit->setText(text);
    QCOMPARE(tuner->Validate(), message.isEmpty());
    if (message.isEmpty())
        QVERIFY(p.ui.Messages.empty());
    else
        QVERIFY2(p.Shown().contains(message), qPrintable(p.Shown()));
}

void TestServoTuner::sessionsOnTheGraph()
{
    Tuning p;
    p.Open();
    CServoTunerDlg& frame = p.Frame();
    frame.EnableDrive();
    frame.StartMotion();
    p.In<QRadioButton>("session3Radio")->click();
    frame.StartMotion();
    QVERIFY2(p.ui.Messages.empty(), qPrintable(p.Shown()));
    const auto drawn = [&] { return frame.Graph()->Content().Drawn; };
    QCOMPARE(drawn(), (std::array<bool, 4>{false, false, true, false}));
    p.In<QRadioButton>("graphAllSessionsRadio")->click();
    QCOMPARE(drawn(), (std::array<bool, 4>{true, true, true, true}));
    const CurrentSession& first = frame.TorqueTuner()->Session(0);
    QVERIFY(std::any_of(first.Actual.begin(), first.Actual.end(), [](float v) { return v != 0; }));

    // "Reset Session" forgets the active session's test in every tuner.
    p.Frame().VelocityTuner()->Session(2).Actual[0] = 1.0f;
    p.In<QPushButton>("resetSessionButton")->click();
    const auto empty = [](const auto& trace) {
        return std::all_of(trace.begin(), trace.end(), [](auto v) { return v == 0; });
    };
    QVERIFY(empty(frame.TorqueTuner()->Session(2).Actual));
    QVERIFY(empty(frame.VelocityTuner()->Session(2).Actual));
    QVERIFY(!empty(frame.TorqueTuner()->Session(0).Actual));
}

void TestServoTuner::testMoves_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("kind");
    QTest::newRow("current step") << 2 << int(Kind::Current);
    QTest::newRow("velocity move") << 4 << int(Kind::Velocity);
    QTest::newRow("position move") << 6 << int(Kind::Position);
}

void TestServoTuner::testMoves()
{
    QFETCH(int, mode);
    Tuning p;
    p.ConfigureDrive(mode);
    p.Open();
    CServoTunerDlg& frame = p.Frame();
    QFETCH(int, kind);
    QCOMPARE(int(frame.Kind()), kind);
    QVERIFY2(p.ui.WaitTexts.contains(QStringLiteral("Uploading Orvex configuration...")),
             qPrintable(p.ui.WaitTexts.join(u',')));
    // The position tuner offers to clear the drive's fault-on-disable flag.
    p.ui.QuestionAnswers.push_back(QuestionAnswer::Yes);
    p.In<QPushButton>("enableDriveButton")->click();
    QVERIFY2(p.ui.Messages.empty(), qPrintable(p.Shown()));
    QVERIFY(p.config->DriveEnable());

    p.ui.WaitTexts.clear();
    p.In<QPushButton>("startMotionButton")->click();
    QVERIFY2(p.ui.Messages.empty(), qPrintable(p.Shown()));
    QCOMPARE(p.ui.WaitTexts, (QStringList{"Testing Orvex connection...", "Acquiring data...",
                                          "Data acquisition finished"}));
    QCOMPARE(p.ui.Pauses.back(), 2000);
    // The actual trace follows the commanded one to its level.
    const GraphContent& content = frame.Graph()->Content();
    QVERIFY(content.Drawn[0]);
    QVERIFY(content.Figures[0].has_value());
    const StepFigures& figures = *content.Figures[0];
    const auto& commanded = content.Series[0];
    double level = 0.0;
    for (const QPointF& point : commanded)
        level = std::max(level, std::abs(point.y()));
    QVERIFY(level > 0.0);
    QVERIFY2(std::abs(figures.SteadyStateError) < 0.1 * level,
             qPrintable(QString::number(figures.SteadyStateError)));
    QVERIFY(std::isfinite(figures.RiseTimeMs));
}

void TestServoTuner::saveConfigAs()
{
    Tuning p;
    p.ConfigureDrive(6);
    p.Open();
    CPositionTunerDlg* tuner = p.Frame().PositionTuner();
    tuner->findChild<QLineEdit*>("proportionalEdit")->setText(QStringLiteral("0.80"));
    const QString path = p.dir.filePath(QStringLiteral("tuned.kvt"));
    p.ui.FileAnswers.push_back(path);
    p.In<QPushButton>("saveConfigAsButton")->click();
    QVERIFY2(p.ui.Messages.empty(), qPrintable(p.Shown()));
    p.config->SetPositionLoopKp(0.1f);
    p.config->LoadConfiguration(path);
    QCOMPARE(p.config->PositionLoopKp(), 0.8f);
}

// Much more velocity gain overshoots more; the drive's measured inertia
// ratio goes into the page.
void TestServoTuner::velocityTuning()
{
    Tuning p;
    p.ConfigureDrive(4);
    p.Open();
    CServoTunerDlg& frame = p.Frame();
    CVelocityTunerDlg* tuner = frame.VelocityTuner();
    p.In<QPushButton>("enableDriveButton")->click();
    const auto capture = [&](int session, const char* kp) {
        frame.SelectSession(session);
        tuner->findChild<QLineEdit*>("proportionalEdit")->setText(QLatin1String(kp));
        tuner->findChild<QLineEdit*>("integralLimitEdit")->setText(QStringLiteral("100"));
        frame.StartMotion();
        return frame.Graph()->Content().Figures[std::size_t(session)]->OvershootPercent;
    };
    // Past the best damping, more gain rings more as the loop nears its limit.
    const double damped = capture(0, "12.00");
    const double ringing = capture(1, "40.00");
    QVERIFY2(p.ui.Messages.empty(), qPrintable(p.Shown()));
    QVERIFY2(ringing > damped + 10.0, qPrintable(QStringLiteral("%1 %2").arg(damped).arg(ringing)));

    p.ui.QuestionAnswers.push_back(QuestionAnswer::Yes);
    tuner->findChild<QPushButton*>("autoTuneButton")->click();
    QVERIFY2(p.Shown().startsWith(QLatin1String("Auto Tune Success")), qPrintable(p.Shown()));
    QVERIFY(tuner->InertiaRatioBox()->Decimal() > 0.0);
}

QTEST_MAIN(TestServoTuner)
#include "tst_servotuner.moc"
