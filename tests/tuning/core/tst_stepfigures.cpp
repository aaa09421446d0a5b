// The step-response figures on synthetic traces whose figures are known: the
// first-order ones in closed form, the others solved from their closed-form
// responses to far finer than a sample.
#include "StepFigures.h"

#include <QTest>

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

using namespace Orvex;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
using Shape = std::function<double(double)>; // of the time since the step, in ms

struct Traces
{
    QList<double> Times, Commanded, Actual;
};

// 512 samples every dtMs from t0Ms, the step at sample stepAt; by default
// the current test's time base with the step 1 ms in.
Traces Make(const Shape& commanded, const Shape& actual, double t0Ms = 0, double dtMs = 0.0625,
            int stepAt = 16)
{
    Traces traces;
    for (int i = 0; i < 512; ++i) {
        const double since = (i - stepAt) * dtMs;
        traces.Times << t0Ms + i * dtMs;
        traces.Commanded << commanded(since);
        traces.Actual << actual(since);
    }
    return traces;
}

// The unit step and its responses: a first-order lag of 1 ms, and a second
// order of damping zeta and natural frequency wn in rad/ms.
const Shape Step = [](double s) { return s >= 0 ? 1.0 : 0.0; };
const Shape Lag = [](double s) { return s > 0 ? 1 - std::exp(-s) : 0.0; };
Shape SecondOrder(double zeta, double wn)
{
    const double root = std::sqrt(1 - zeta * zeta), wd = wn * root;
    return [=](double s) {
        return s > 0 ? 1 - std::exp(-zeta * wn * s) *
                               (std::cos(wd * s) + zeta / root * std::sin(wd * s))
                     : 0.0;
    };
}
double OvershootOf(double zeta)
{
    return 100 * std::exp(-zeta * std::numbers::pi / std::sqrt(1 - zeta * zeta));
}
Shape Scaled(const Shape& unit, double from, double to)
{
    return [=](double s) { return from + (to - from) * unit(s); };
}

} // namespace

Q_DECLARE_METATYPE(Traces)
Q_DECLARE_METATYPE(StepFigures)

class TestStepFigures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void figures_data()
    {
        QTest::addColumn<Traces>("traces");
        QTest::addColumn<StepFigures>("expected");
        const auto row = [](const char* name, const Traces& t, double rise, double overshoot,
                            double settling, double error) {
            QTest::newRow(name) << t << StepFigures{rise, overshoot, settling, error};
        };
        const double ln9 = std::log(9.0), ln50 = std::log(50.0);
        row("first order", Make(Step, Lag), ln9, 0, ln50, 0);
        row("second order", Make(Step, SecondOrder(0.4, 2)), 0.731746, OvershootOf(0.4), 4.204660,
            0);
        row("negative step from an offset",
            Make(Scaled(Step, 0.5, -1.5), Scaled(SecondOrder(0.5, 2), 0.5, -1.5)), 0.818786,
            OvershootOf(0.5), 4.038174, 0);
        // The position test's time base: from -16 ms, the move at 0.
        row("position time base",
            Make(Scaled(Step, 0, 200), Scaled(SecondOrder(0.5, 0.5), 0, 200), -16, 0.25, 64),
            3.275146, OvershootOf(0.5), 16.152698, 0);
        // 95 % of the step: 10 % at ln(0.95 / 0.85), 90 % at ln 19.
        row("stops short", Make(Step, Scaled(Lag, 0, 0.95)), std::log(17.0), 0, NaN, 0.05);
        // A 2 ms ramp and a first-order lag of 1 ms behind it.
        const Shape ramp = [](double s) { return std::clamp(s / 2, 0.0, 1.0); };
        const Shape lagged = [](double s) {
            return s <= 0   ? 0.0
                   : s <= 2 ? (s - 1 + std::exp(-s)) / 2
                            : 1 - (std::exp(2.0) - 1) / 2 * std::exp(-s);
        };
        row("ramped step", Make(ramp, lagged), 2.757264, 0, std::log(25 * (std::exp(2.0) - 1)), 0);
        // Steps back to -1 after 10 ms; only the first step counts.
        const Shape square = [](double s) { return s < 0 ? 0.0 : s < 10 ? 1.0 : -1.0; };
        const Shape follows = [](double s) {
            return s < 10 ? Lag(s) : -1 + (2 - std::exp(-10.0)) * std::exp(10 - s);
        };
        row("square wave", Make(square, follows), ln9, 0, ln50, 0);
        row("never responds", Make(Step, [](double) { return 0.0; }), NaN, 0, NaN, 1);
        Traces gap = Make(Step, Lag);
        gap.Actual[300] = NaN; // long settled, but no telling it stayed so
        row("a sample not a number", gap, ln9, NaN, NaN, 0);
    }
    void figures()
    {
        QFETCH(Traces, traces);
        QFETCH(StepFigures, expected);
        const StepFigures f = ComputeStepFigures(traces.Times, traces.Commanded, traces.Actual);
        const double got[] = {f.RiseTimeMs, f.OvershootPercent, f.SettlingTimeMs,
                              f.SteadyStateError};
        const double want[] = {expected.RiseTimeMs, expected.OvershootPercent,
                               expected.SettlingTimeMs, expected.SteadyStateError};
        // Times within half a sample, the overshoot within 2 % of itself.
        const double halfSample = (traces.Times[1] - traces.Times[0]) / 2;
        const double within[] = {halfSample, std::max(0.02 * want[1], 0.01), halfSample, 1e-3};
        const char* names[] = {"rise", "overshoot", "settling", "error"};
        for (int k = 0; k < 4; ++k) {
            const bool near =
                std::isnan(want[k]) ? std::isnan(got[k]) : std::abs(got[k] - want[k]) <= within[k];
            QVERIFY2(near, qPrintable(
                               QString::asprintf("%s %g, expected %g", names[k], got[k], want[k])));
        }
    }

    // Traces that give no figures at all.
    void nothing_data()
    {
        QTest::addColumn<Traces>("traces");
        const Traces good = Make(Step, Lag);
        QTest::newRow("no step") << Make([](double) { return 1.0; }, Lag);
        Traces shorter = good;
        shorter.Actual.removeLast();
        QTest::newRow("lengths differ") << shorter;
        QTest::newRow("one sample") << Traces{{0}, {0}, {0}};
        Traces stalled = good;
        stalled.Times[100] = stalled.Times[99];
        QTest::newRow("times not rising") << stalled;
        Traces unknown = good;
        unknown.Commanded[8] = NaN;
        QTest::newRow("commanded not a number before the step") << unknown;
    }
    void nothing()
    {
        QFETCH(Traces, traces);
        const StepFigures f = ComputeStepFigures(traces.Times, traces.Commanded, traces.Actual);
        QVERIFY(std::isnan(f.RiseTimeMs) && std::isnan(f.OvershootPercent) &&
                std::isnan(f.SettlingTimeMs) && std::isnan(f.SteadyStateError));
    }
};

QTEST_GUILESS_MAIN(TestStepFigures)
#include "tst_stepfigures.moc"
