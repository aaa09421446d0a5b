#include "ConfigWizardStep3Dlg.h"
#include "FakeMainWindow.h"
#include "OrvexConfigBase.h"
#include "PageIds.h"
#include "PositionGains4Fields.h"
#include "PositionGainsDlg4.h"
#include "PositionTunerDlg4.h"
#include "ResponseGraph.h"
#include "ServoTunerDlg.h"
#include "SimulatedProgram.h"
#include "WizardContracts.h"
#include "WizardState.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cmath>

#include <deque>
#include <map>

using namespace Orvex;

namespace {

// A drive ready for a step/direction test whose auto tuning answers as told
// (1.25 when told nothing), and which records the gains written to it by
// dispatch id.
class TuningConfig final : public OrvexConfigBase
{
public:
    void SetPortNumber(int) override {}
    int TestConnection() override { return -1; }
    bool DriveConfigured() override { return true; }
    bool EnableInputActive() override { return true; }
    bool DriveFaulted() override { return false; }
    int ControlMode() const override { return WizardState::StepDirectionMode; }
    bool FaultOnDriveDisable() const override { return false; }
    float AutoTune() override
    {
        ++AutoTuneCalls;
        if (Answers.empty())
            return 1.25f;
        const float answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    void SetPositionLoopKp(float v) override { Written[38] = v; }
    void SetPositionLoopKi(float v) override { Written[39] = v; }
    void SetPositionLoopKv(float v) override { Written[41] = v; }
    void SetPositionLoopIntegralLimit(int v) override { Written[42] = v; }
    void SetPositionLoopKvff(float v) override { Written[80] = v; }
    void SetTuningMode(int v) override { Written[190] = v; }
    void SetSlidingGain(float v) override { Written[191] = v; }
    void SetAccelerationFactor(float v) override { Written[192] = v; }
    void SetRisingSpeed(float v) override { Written[193] = v; }
    void SetSwitchingFactor(float v) override { Written[194] = v; }
    void SetSignedSlidingScaleFactor(float v) override { Written[195] = v; }
    void SetModeFilterConstant(float v) override { Written[196] = v; }

    std::deque<float> Answers;
    int AutoTuneCalls = 0;
    std::map<int, double> Written;
};

// The wizard as far as the tuner asks it: the configuration always matches.
class QuietWorkflow final : public IConfigWorkflow
{
public:
    void RegisterStep(int, IWizardStep&) override {}
    void RegisterTuningPage(ITuningReload&) override {}
    WizardState& State() override { return m_state; }
    IWizardStep* Step(int) const override { return nullptr; }
    void RefillAll() override {}
    void ResetLaterSteps() override {}
    void ResetMotorDefaults() override {}
    void WriteAllPagesToConfig() override {}
    void ReloadTuningPages() override {}
    bool FinishWizard(bool, bool, bool) override { return true; }
    bool SaveConfigurationAs() override { return false; }
    bool CheckConfigurationMatch() override { return true; }
    bool UploadFromDrive() override { return false; }
    ConfigurationDifferences DifferencesFromDrive() override { return {}; }

private:
    WizardState m_state;
};

// The auto tuning tuner on its own over the fakes, its run count kept in a
// file of the test's own.
struct Bench
{
    Bench()
        : context{program.factory, program.ui, program.settings, config, nullptr, nullptr,
                  program.limits,  false,      QString()},
          tuning(context, mainWindow, workflow), tuner(tuning),
          iterations(program.dir.filePath(QStringLiteral("kvt.ini")), QSettings::IniFormat)
    {
        tuning.Redraw = [] {};
        tuner.SetIterationSettings(&iterations);
    }

    OrvexTest::SimulatedProgram program;
    TuningConfig config;
    OrvexTest::FakeMainWindow mainWindow;
    QuietWorkflow workflow;
    AppContext context;
    TunerContext tuning;
    CPositionTunerDlg4 tuner;
    QSettings iterations;
};

constexpr int NoKey = -1;

} // namespace

class TestAutoTune : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void autoTuneRuns_data();
    void autoTuneRuns();
    void pivGainsWritten_data();
    void pivGainsWritten();
    void optionsMenuChoosesTuner();
};

void TestAutoTune::autoTuneRuns_data()
{
    QTest::addColumn<bool>("sliding");
    QTest::addColumn<int>("stored"); // the stored run count, NoKey for none
    QTest::addColumn<QList<float>>("answers");
    QTest::addColumn<int>("calls");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("ratio");
    const QString ok = QStringLiteral("Auto Tune Success");
    const QString failed = QStringLiteral("Auto Tune Error: Auto tuning failed.");
    QTest::newRow("sliding, 3 runs")
        << true << 3 << QList<float>{1.0f, 2.0f, 4.5f} << 3 << ok << QStringLiteral("2.50");
    QTest::newRow("sliding, no key")
        << true << NoKey << QList<float>{} << 10 << ok << QStringLiteral("1.25");
    QTest::newRow("PIV, one run") << false << 3 << QList<float>{0.75f} << 1 << ok
                                  << QStringLiteral("0.75");
    QTest::newRow("sliding, 2nd run fails")
        << true << 5 << QList<float>{3.0f, -1.0f, 3.0f} << 2 << failed << QStringLiteral("0.00");
    QTest::newRow("PIV fails") << false << NoKey << QList<float>{-1.0f} << 1 << failed
                               << QStringLiteral("0.00");
}

void TestAutoTune::autoTuneRuns()
{
    QFETCH(bool, sliding);
    QFETCH(int, stored);
    QFETCH(QList<float>, answers);
    QFETCH(int, calls);
    QFETCH(QString, message);
    QFETCH(QString, ratio);
    Bench b;
    if (stored != NoKey)
        b.iterations.setValue(CPositionTunerDlg4::IterationsKey, stored);
    b.config.Answers.assign(answers.begin(), answers.end());
    b.tuner.Fields()->TuningModeCombo()->setCurrentIndex(sliding ? 1 : 0);

    b.tuner.findChild<QPushButton*>(QStringLiteral("autoTuneButton"))->click();

    QCOMPARE(b.config.AutoTuneCalls, calls);
    QCOMPARE(b.tuner.findChild<QLineEdit*>(QStringLiteral("inertiaRatioEdit"))->text(), ratio);
    QVERIFY2(OrvexTest::Messages(b.program.ui).join(u'\n').startsWith(message),
             qPrintable(OrvexTest::Messages(b.program.ui).join(u'\n')));
    QCOMPARE(b.program.ui.OpenWaitWindows, 0);
    if (sliding) {
        QVERIFY(b.program.ui.WaitTexts.contains(
            QStringLiteral("Performing Auto tuning (Sliding Mode: %1 of %2)...")
                .arg(calls)
                .arg(stored == NoKey ? CPositionTunerDlg4::DefaultIterations : stored)));
        // A missing count is written for the next time.
        QCOMPARE(b.iterations.value(CPositionTunerDlg4::IterationsKey).toInt(),
                 stored == NoKey ? CPositionTunerDlg4::DefaultIterations : stored);
    } else {
        QVERIFY(b.program.ui.WaitTexts.contains(
            QStringLiteral("Performing Auto tuning (PID Mode)...")));
    }
}

void TestAutoTune::pivGainsWritten_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("addPiv");
    QTest::addColumn<QList<double>>("gains"); // 39, 42, 41, 80
    QTest::newRow("PIV") << 0 << false << QList<double>{1.0, 1.0, 1.4, 1.0};
    QTest::newRow("sliding") << 1 << false << QList<double>{0.0, 0.0, 0.0, 0.0};
    QTest::newRow("sliding, added PIV") << 1 << true << QList<double>{1.5, 7.0, 1.5, 1.5};
}

void TestAutoTune::pivGainsWritten()
{
    QFETCH(int, mode);
    QFETCH(bool, addPiv);
    QFETCH(QList<double>, gains);
    Bench b;
    CPositionGainsDlg4 panel(b.context);
    CPositionGains4Fields* fields = panel.Fields();
    fields->TuningModeCombo()->setCurrentIndex(mode);
    fields->AddPivCheck()->setChecked(addPiv);
    for (const char* added : {"addedIntegralEdit", "addedVelocityGainEdit",
                              "addedVelocityFeedforwardEdit", "addedIntegralLimitEdit"})
        fields->findChild<QLineEdit*>(QLatin1String(added))
            ->setText(QLatin1String(added) == QLatin1String("addedIntegralLimitEdit")
                          ? QStringLiteral("7")
                          : QStringLiteral("1.5"));
    // The added boxes show only where they count.
    QCOMPARE(fields->findChild<QLineEdit*>(QStringLiteral("addedIntegralEdit"))->isHidden(),
             !(mode == 1 && addPiv));
    QCOMPARE(fields->findChild<QLineEdit*>(QStringLiteral("integralEdit"))->isHidden(), mode == 1);

    QVERIFY2(panel.Validate(), qPrintable(OrvexTest::Messages(b.program.ui).join(u'\n')));
    panel.WriteToConfig();

    const std::map<int, double>& w = b.config.Written;
    QCOMPARE(w.at(38), double(0.6f));
    QCOMPARE(QList<double>({w.at(39), w.at(42), w.at(41), w.at(80)}),
             QList<double>({static_cast<float>(gains[0]), gains[1], static_cast<float>(gains[2]),
                            static_cast<float>(gains[3])}));
    QCOMPARE(w.at(190), double(mode));
    QCOMPARE(w.at(191), double(0.25f));
}

void TestAutoTune::optionsMenuChoosesTuner()
{
    OrvexTest::SimulatedWindow p;
    auto& frame = *dynamic_cast<CServoTunerDlg*>(p.window.Page(PageId::ServoTuner));
    auto* option = p.Child<QAction>("autoTuningTunerAction");
    QVERIFY(option && option->isCheckable() && !option->isChecked());

    // A step/direction drive.
    p.config->SetControlMode(WizardState::StepDirectionMode);
    p.config->SetPortNumber(p.SimulatorPort());
    QCOMPARE(p.config->TestConnection(), -1);
    p.config->StoreConfiguration(true, QString());
    for (const bool on : {true, false}) {
        option->setChecked(on);
        QCOMPARE(p.settings.value(COrvexSupportToolDlg::AutoTuningTunerKey).toBool(), on);
        // The frame's position tuner and step 3's gains panel follow the choice.
        p.window.SetPage(PageId::ServoTuner);
        QCoreApplication::processEvents();
        QCOMPARE(frame.ActiveTuner() == frame.PositionTuner4(), on);
        // Either tuner moves the drive; the auto tuning one clears the
        // fault-on-disable flag in the drive as well.
        p.ui.QuestionAnswers.push_back(QuestionAnswer::Yes);
        frame.findChild<QPushButton*>(QStringLiteral("enableDriveButton"))->click();
        frame.findChild<QPushButton*>(QStringLiteral("startMotionButton"))->click();
        QVERIFY2(p.ui.Messages.empty(), qPrintable(OrvexTest::Messages(p.ui).join(u'\n')));
        QVERIFY(!on || p.ui.QuestionAnswers.empty());
        QVERIFY(frame.Graph()->Content().Figures[0].has_value());
        if (on) {
            // Two sliding-mode runs on the drive find the simulated load's
            // inertia ratio of 2.5.
            CPositionTunerDlg4* tuner = frame.PositionTuner4();
            QSettings runs(p.dir.filePath(QStringLiteral("kvt.ini")), QSettings::IniFormat);
            runs.setValue(CPositionTunerDlg4::IterationsKey, 2);
            tuner->SetIterationSettings(&runs);
            tuner->Fields()->TuningModeCombo()->setCurrentIndex(1);
            tuner->findChild<QPushButton*>(QStringLiteral("autoTuneButton"))->click();
            const QString ratio =
                tuner->findChild<QLineEdit*>(QStringLiteral("inertiaRatioEdit"))->text();
            QVERIFY2(std::abs(ratio.toDouble() - 2.5) < 0.05 * 2.5, qPrintable(ratio));
            QVERIFY2(OrvexTest::Messages(p.ui).join(u'\n').startsWith(
                         QLatin1String("Auto Tune Success")),
                     qPrintable(OrvexTest::Messages(p.ui).join(u'\n')));
            p.ui.Messages.clear();
            tuner->SetIterationSettings(nullptr);
        }
        auto* step3 =
            dynamic_cast<CConfigWizardStep3Dlg*>(p.window.Page(PageId::ConfigWizardStep3));
        step3->SetControlMode(WizardState::StepDirectionMode);
        p.window.SetPage(PageId::ConfigWizardStep3);
        QCOMPARE(step3->ShownGainsPanel()->objectName(),
                 on ? QStringLiteral("positionGains4") : QStringLiteral("positionGains"));
    }
}

QTEST_MAIN(TestAutoTune)
#include "tst_autotune.moc"
