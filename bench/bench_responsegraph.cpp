// The tuning pages' response graph, shown offscreen at 900x500, redrawn with
// all four sessions drawn (eight traces of 512 samples). A redraw, timed as a
// whole: Show() with the new content, then the posted work it leaves (the
// scene's changed items, layouts, the view's update request, which paints the
// view on this platform); when that left the view unpainted, a synchronous
// repaint of its viewport. The view's paints are counted, so every timed
// redraw is known to include one. Two contents alternate, as a page does
// between captures, over 200 redraws after a warm-up.
// Target: every redraw in at most 16 ms (one frame at 60 Hz); mean and
// slowest printed.

#include "FakeUiServices.h"
#include "ResponseGraph.h"

#include <QApplication>
#include <QChartView>
#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace Orvex;

namespace {

constexpr double TargetMs = 16.0;
constexpr int WarmUp = 10;
constexpr int Redraws = 200;
constexpr int Samples = 512;
constexpr double PeriodMs = 0.0625; // 16 kHz capture

// A current loop test: a 3 A square wave at 62.5 Hz commanded, each
// session's loop answering it as a second-order system of its own damping,
// with a little measurement noise; variant moves the gains a little.
GraphContent CurrentTest(int variant)
{
    GraphContent content;
    content.Title = QStringLiteral("Current Response");
    content.YTitle = QStringLiteral("Current (A)");
    content.Tuner = QStringLiteral("Current Loop Tuner");
    content.XMin = 0.0, content.XMax = Samples * PeriodMs, content.XGrid = 4.0;
    content.XMinor = 1.0, content.YMin = -4.0, content.YMax = 4.0;
    content.Drawn = {true, true, true, true};
    unsigned noise = 12345u + static_cast<unsigned>(variant);
    for (int n = 0; n < GraphContent::SessionCount; ++n) {
        const double zeta = 0.35 + 0.15 * n + 0.05 * variant;
        const double wn = 1.4 + 0.2 * n;
        const double wd = wn * std::sqrt(1.0 - zeta * zeta);
        const auto unitStep = [&](double t) {
            if (t < 0.0)
                return 0.0;
            return 1.0 -
                   std::exp(-zeta * wn * t) *
                       (std::cos(wd * t) + zeta / std::sqrt(1.0 - zeta * zeta) * std::sin(wd * t));
        };
        QList<QPointF>& commanded = content.Series[static_cast<size_t>(2 * n)];
        QList<QPointF>& actual = content.Series[static_cast<size_t>(2 * n + 1)];
        for (int i = 0; i < Samples; ++i) {
            const double t = i * PeriodMs;
            const double level = std::fmod(t, 16.0) < 8.0 ? 3.0 : -3.0;
            double answer = -3.0 + 6.0 * unitStep(t);
            for (double edge = 8.0; edge <= t; edge += 8.0)
                answer += (std::fmod(edge, 16.0) < 8.0 ? 6.0 : -6.0) * unitStep(t - edge);
            noise = noise * 1103515245u + 12345u;
            answer += 0.02 * (static_cast<double>((noise >> 16) & 0x7fff) / 0x7fff - 0.5);
            commanded << QPointF(t, level);
            actual << QPointF(t, answer);
        }
        content.SessionNotes[static_cast<size_t>(n)] = QStringLiteral("Kp %1, Ki 0.33").arg(20 + n);
        content.Figures[static_cast<size_t>(n)] =
            StepFigures{0.8 + 0.1 * n, 30.0 - 6.0 * n, 3.0 + n, 0.01 * (variant + 1)};
    }
    return content;
}

// Counts the paints of the chart view's viewport, to be sure one happened.
class PaintCounter final : public QObject
{
public:
    int Paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++Paints;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    OrvexTest::FakeUiServices ui;
    CResponseGraph graph(ui);
    graph.resize(900, 500);
    graph.show();
    QApplication::processEvents();
    QWidget* viewport = graph.View()->viewport();
    PaintCounter counter;
    viewport->installEventFilter(&counter);

    const std::array<GraphContent, 2> contents{CurrentTest(0), CurrentTest(1)};
    double total = 0.0;
    double slowest = 0.0;
    int paints = 0;    // in the timed regions
    int repainted = 0; // redraws the event loop's work left unpainted
    int unpainted = 0; // redraws that did not paint at all
    QElapsedTimer timer;
    for (int i = 0; i < WarmUp + Redraws; ++i) {
        const int paintsBefore = counter.Paints;
        timer.start();
        graph.Show(contents[static_cast<size_t>(i % 2)]);
        // The chart's queued work: the scene's changed items, layouts and the
        // view's update, which paints it here. When that did not paint the
        // view, a synchronous repaint does; either way a paint is timed.
        QApplication::sendPostedEvents();
        const bool forced = counter.Paints == paintsBefore;
        if (forced)
            viewport->repaint();
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        const int painted = counter.Paints - paintsBefore;
        // Whatever else is pending runs between redraws, outside the timing.
        QApplication::processEvents();
        if (i < WarmUp)
            continue;
        paints += painted;
        repainted += forced ? 1 : 0;
        unpainted += painted == 0 ? 1 : 0;
        total += ms;
        slowest = std::max(slowest, ms);
    }
    const double mean = total / Redraws;
    const bool met = slowest <= TargetMs && unpainted == 0;
    std::printf("response graph redraw, 8 x %d points at %dx%d: mean %.3f ms, slowest %.3f ms "
                "over %d redraws (target %.0f ms): %s\n",
                Samples, viewport->width(), viewport->height(), mean, slowest, Redraws, TargetMs,
                met ? "met" : "NOT MET");
    std::printf("paints of the chart view timed: %d (%d forced by a repaint), %d redraws "
                "unpainted\n",
                paints, repainted, unpainted);
    return met ? 0 : 1;
}
