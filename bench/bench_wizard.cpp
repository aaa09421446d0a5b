// The configuration wizard's first two steps in the main window on the
// simulated drive, as the program builds it, with the window shown offscreen.
//
// - Series change: picking another series in step 1 refills the whole
//   cascade (frames, stacks, windings, feedbacks, custom windings, cooling
//   methods) and resets step 2 to the new motor's data. Timed over repeated
//   picks round every series on a 10,000-motor database, with the repaint
//   that follows. Target: at most
//   20 ms a change (mean and slowest printed).
// - Writing every wizard page to the configuration object and reloading the
//   tuning pages from it, as "Finish" and the mismatch warning's download
//   do. Target: under 5 ms.
// - "Validate All Motors": every motor in turn refilled into step 1, step 2
//   reset and repainted, then checked; failures go to the test UI services
//   instead of message boxes. Target: at most 5 ms a motor, on the shipped
//   database and on 10,000 motors.

#include "ConfigWizardStep1Dlg.h"
#include "ConfigWizardStep2Dlg.h"
#include "GeneratedMotors.h"
#include "PageIds.h"
#include "SimulatedProgram.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace Orvex;

namespace {

constexpr double SeriesChangeTargetMs = 20.0;
constexpr double ValidateTargetMsPerMotor = 5.0;
constexpr int SeriesChanges = 200;

struct Wizard : OrvexTest::SimulatedProgram
{
    explicit Wizard(const QString& folder)
        : SimulatedProgram(folder), window(context, ports, nullptr)
    {
        window.OnInitDialog();
        window.resize(1200, 680);
        window.show();
    }
    CConfigWizardStep1Dlg& Step1() const
    {
        return *dynamic_cast<CConfigWizardStep1Dlg*>(window.Page(PageId::ConfigWizardStep1));
    }
    CConfigWizardStep2Dlg& Step2() const
    {
        return *dynamic_cast<CConfigWizardStep2Dlg*>(window.Page(PageId::ConfigWizardStep2));
    }

    COrvexSupportToolDlg window;
};

bool MeasureSeriesChange(Wizard& w)
{
    QComboBox* series = w.Step1().Combo(CConfigWizardStep1Dlg::List::Series);
    // Every series but "Other", which has nothing to refill.
    const int count = series->count() - 1;
    double total = 0.0;
    double slowest = 0.0;
    QElapsedTimer timer;
    for (int i = 0; i < SeriesChanges; ++i) {
        const int next = (series->currentIndex() + 1) % count;
        timer.start();
        series->setCurrentIndex(next);
        // The step repaints before the user sees the new motor.
        QApplication::processEvents();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        total += ms;
        slowest = std::max(slowest, ms);
    }
    const double mean = total / SeriesChanges;
    const bool met = mean <= SeriesChangeTargetMs && slowest <= SeriesChangeTargetMs;
    std::printf("series change on %d motors: mean %.3f ms, slowest %.3f ms over %d changes "
                "(target %.0f ms): %s\n",
                w.motors.GetOrvexMotorCollection()->Count(), mean, slowest, SeriesChanges,
                SeriesChangeTargetMs, met ? "met" : "NOT MET");
    return met;
}

constexpr double WriteAndReloadTargetMs = 5.0;
constexpr int WriteAndReloadRuns = 100;

bool MeasureWriteAndReload(Wizard& w)
{
    IConfigWorkflow& workflow = w.Step1().Workflow();
    double total = 0.0;
    double slowest = 0.0;
    QElapsedTimer timer;
    for (int i = 0; i < WriteAndReloadRuns; ++i) {
        timer.start();
        workflow.WriteAllPagesToConfig();
        workflow.ReloadTuningPages();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        QApplication::processEvents();
        total += ms;
        slowest = std::max(slowest, ms);
    }
    const double mean = total / WriteAndReloadRuns;
    const bool met = slowest <= WriteAndReloadTargetMs;
    std::printf("write every wizard page and reload the tuning pages: mean %.3f ms, slowest "
                "%.3f ms over %d runs (target %.0f ms): %s\n",
                mean, slowest, WriteAndReloadRuns, WriteAndReloadTargetMs, met ? "met" : "NOT MET");
    return met;
}

bool MeasureValidateAll(Wizard& w, const char* what)
{
    w.window.SetPage(PageId::ConfigWizardStep2);
    const int motors = w.motors.GetOrvexMotorCollection()->Count();
    QElapsedTimer timer;
    timer.start();
    const int failed = w.Step2().ValidateAllMotors();
    const double perMotor = double(timer.nsecsElapsed()) / 1e6 / std::max(motors, 1);
    const bool met = perMotor <= ValidateTargetMsPerMotor && failed == 0;
    std::printf("Validate All Motors, %s (%d motors): %.3f ms a motor, %d failed (target %.0f ms, "
                "none failed): %s\n",
                what, motors, perMotor, failed, ValidateTargetMsPerMotor, met ? "met" : "NOT MET");
    return met;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    QTemporaryDir generated;
    const QString shipped = QStringLiteral(ORVEX_BENCH_DATA_DIR);
    if (!generated.isValid() ||
        !QFile::copy(shipped + QStringLiteral("/OrvexCommandDatabase.xml"),
                     generated.filePath(QStringLiteral("OrvexCommandDatabase.xml")))) {
        std::fprintf(stderr, "cannot prepare the generated data folder\n");
        return 1;
    }
    OrvexBench::WriteGeneratedMotors(generated.path());

    bool ok = true;
    {
        Wizard w(generated.path());
        if (w.motors.GetOrvexMotorCollection()->Count() != OrvexBench::GeneratedMotorCount) {
            std::fprintf(stderr, "the generated motor database did not load\n");
            return 1;
        }
        ok = MeasureSeriesChange(w) && ok;
        ok = MeasureValidateAll(w, "generated database") && ok;
    }
    {
        Wizard w(shipped);
        ok = MeasureWriteAndReload(w) && ok;
        ok = MeasureValidateAll(w, "shipped database") && ok;
    }
    return ok ? 0 : 1;
}
