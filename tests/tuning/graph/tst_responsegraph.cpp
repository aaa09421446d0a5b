#include "FakeUiServices.h"
#include "ResponseGraph.h"

#include <QAction>
#include <QChartView>
#include <QFile>
#include <QImage>
#include <QLegendMarker>
#include <QLineSeries>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

#include <cmath>
#include <set>

using namespace Orvex;

namespace {

// A step to 1 at 2 ms and a first-order answer to it, sampled every
// periodMs; the sessions in drawn are drawn.
GraphContent Steps(int points, double periodMs, std::array<bool, 4> drawn)
{
    GraphContent content;
    content.Title = QStringLiteral("Current Response");
    content.YTitle = QStringLiteral("Current (A)");
    content.Tuner = QStringLiteral("Current Loop Tuner");
    content.Drawn = drawn;
    for (size_t n = 0; n < 4; ++n) {
        content.SessionNotes[n] = QStringLiteral("Kp %1").arg(n + 1);
        for (int i = 0; i < points; ++i) {
            const double t = i * periodMs;
            const double step = t >= 2.0 ? 1.0 : 0.0;
            content.Series[2 * n] << QPointF(t, step);
            content.Series[2 * n + 1] << QPointF(t, step * (1.0 - std::exp(-(t - 2.0) / 1.5)));
        }
    }
    content.Figures[0] = StepFigures{3.3, 0.0, 5.87, std::nan("")};
    return content;
}

QValueAxis* Axis(const CResponseGraph& graph, Qt::Orientation orientation)
{
    return qobject_cast<QValueAxis*>(graph.View()->chart()->axes(orientation).value(0));
}

std::pair<double, double> Shown(const CResponseGraph& graph)
{
    return {graph.ShownXMin(), graph.ShownXMax()};
}

} // namespace

class TestResponseGraph : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void seriesLooks()
    {
        OrvexTest::FakeUiServices ui;
        CResponseGraph graph(ui);
        const QStringList names{"Commanded 1", "Actual 1", "Commanded 2", "Actual 2",
                                "Commanded 3", "Actual 3", "Commanded 4", "Actual 4"};
        const QList<QColor> colors{{139, 0, 0}, {255, 0, 0},     {0, 128, 0},   {144, 238, 144},
                                   {0, 0, 255}, {173, 216, 230}, {255, 255, 0}, {255, 255, 224}};
        std::set<std::pair<int, double>> pens;
        const auto series = graph.View()->chart()->series();
        QCOMPARE(series.size(), 8);
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(CResponseGraph::SeriesName(i), names[i]);
            QCOMPARE(CResponseGraph::SeriesColor(i), colors[i]);
            const QPen pen = qobject_cast<QLineSeries*>(series[i])->pen();
            QCOMPARE(series[i]->name(), names[i]);
            QCOMPARE(pen.color(), colors[i]);
            pens.insert({int(pen.style()), pen.widthF()});
        }
        QCOMPARE(pens.size(), size_t(8));
    }

    void showsInPlace()
    {
        OrvexTest::FakeUiServices ui;
        CResponseGraph graph(ui);
        QChartView* view = graph.View();
        QChart* chart = view->chart();
        const auto series = chart->series();
        const auto axes = chart->axes();
        graph.Show(Steps(512, 0.0625, {true, true, true, true}));
        graph.Show(Steps(512, 0.0625, {true, false, true, false}));
        graph.show(); // the legend lays its markers out on show
        QVERIFY(QTest::qWaitForWindowExposed(&graph));
        QCOMPARE(graph.View(), view);
        QCOMPARE(view->chart(), chart);
        QCOMPARE(chart->series(), series);
        QCOMPARE(chart->axes(), axes);
        for (int i = 0; i < 8; ++i) {
            auto* line = qobject_cast<QLineSeries*>(series[i]);
            QCOMPARE(line->count(), 512);
            const bool drawn = (i / 2) % 2 == 0;
            QCOMPARE(line->isVisible(), drawn);
            QCOMPARE(chart->legend()->markers(line).value(0)->isVisible(), drawn);
        }
        auto* figures = graph.findChild<QTableWidget*>();
        QCOMPARE(figures->accessibleName(), QStringLiteral("Step response figures"));
        QCOMPARE(figures->rowCount(), 2);
        QCOMPARE(figures->verticalHeaderItem(1)->text(), QStringLiteral("Session 3"));
        QCOMPARE(figures->horizontalHeaderItem(2)->text(), QStringLiteral("Settling time (ms)"));
        const QStringList row0{"3.30", "0.00", "5.87", "-"};
        for (int column = 0; column < 4; ++column) {
            QCOMPARE(figures->item(0, column)->text(), row0[column]);
            QCOMPARE(figures->item(1, column)->text(), QStringLiteral("-"));
        }
    }

    void axes()
    {
        OrvexTest::FakeUiServices ui;
        CResponseGraph graph(ui);
        GraphContent content = Steps(64, 0.5, {true, false, false, false});
        content.XMin = 2.0, content.XMax = 26.0, content.XGrid = 4.0, content.XMinor = 0.5;
        content.YMin = -0.5, content.YMax = 1.5;
        graph.Show(content);
        QValueAxis* x = Axis(graph, Qt::Horizontal);
        QValueAxis* y = Axis(graph, Qt::Vertical);
        QCOMPARE(graph.View()->chart()->title(), QStringLiteral("Current Response"));
        QCOMPARE(x->titleText(), QStringLiteral("Time (milliseconds)"));
        QCOMPARE(y->titleText(), QStringLiteral("Current (A)"));
        QCOMPARE(std::pair(x->min(), x->max()), std::pair(2.0, 26.0));
        QCOMPARE(std::pair(y->min(), y->max()), std::pair(-0.5, 1.5));
        QCOMPARE(x->tickType(), QValueAxis::TicksDynamic);
        QCOMPARE(std::pair(x->tickAnchor(), x->tickInterval()), std::pair(2.0, 4.0));
        QCOMPARE(x->minorTickCount(), 7);
    }

    void zoomAndPan()
    {
        OrvexTest::FakeUiServices ui;
        CResponseGraph graph(ui);
        graph.Show(Steps(512, 0.0625, {true, false, false, false})); // [0, 32] ms
        graph.ZoomTime(2.0, 16.0);
        QCOMPARE(Shown(graph), std::pair(8.0, 24.0));
        graph.ZoomTime(2.0, 8.0);
        QCOMPARE(Shown(graph), std::pair(8.0, 16.0));
        graph.PanTime(-4.0);
        QCOMPARE(Shown(graph), std::pair(4.0, 12.0));
        graph.PanTime(-100.0); // no further than the start
        QCOMPARE(Shown(graph), std::pair(0.0, 8.0));
        graph.ZoomTime(0.01, 4.0); // no wider than the whole
        QCOMPARE(Shown(graph), std::pair(0.0, 32.0));
        graph.ZoomTime(4.0, 16.0);
        graph.RestoreRanges();
        QCOMPARE(Shown(graph), std::pair(0.0, 32.0));

        // The keys: + zooms about the middle, Right pans an eighth, Home restores.
        graph.ZoomTime(2.0, 16.0);
        QTest::keyClick(graph.View(), Qt::Key_Right);
        QCOMPARE(Shown(graph), std::pair(10.0, 26.0));
        QTest::keyClick(graph.View(), Qt::Key_Home);
        QCOMPARE(Shown(graph), std::pair(0.0, 32.0));
        QTest::keyClick(graph.View(), Qt::Key_Plus);
        QVERIFY(graph.ShownXMax() - graph.ShownXMin() < 32.0);
        QCOMPARE(graph.ShownXMin() + graph.ShownXMax(), 32.0);
    }

    void cursors()
    {
        OrvexTest::FakeUiServices ui;
        CResponseGraph graph(ui);
        GraphContent content = Steps(33, 1.0, {false, true, false, false});
        content.Series[3] = {{0.0, 0.0}, {10.0, 1.0}, {20.0, 3.0}};
        graph.Show(content);
        QCOMPARE(graph.CursorReadout(), QString());
        graph.SetCursor(0, 5.0);
        QCOMPARE(graph.CursorReadout(), QStringLiteral("t1 = 5.00 ms"));
        graph.SetCursor(1, 12.5);
        QCOMPARE(graph.CursorReadout(),
                 QStringLiteral("t1 = 5.00 ms, t2 = 12.50 ms, Δt = 7.50 ms, Δy = 1.00"));
        graph.ClearCursors();
        QVERIFY(!graph.CursorTime(0) && !graph.CursorTime(1));
        QCOMPARE(graph.CursorReadout(), QString());

        // A click in the plot places cursor 1, a Shift+click cursor 2.
        graph.resize(900, 500);
        graph.show();
        QVERIFY(QTest::qWaitForWindowExposed(&graph));
        const QRectF plot = graph.View()->chart()->plotArea();
        const QPoint middle = graph.View()->mapFromScene(plot.center());
        QTest::mouseClick(graph.View()->viewport(), Qt::LeftButton, {}, middle);
        QVERIFY(graph.CursorTime(0) && std::abs(*graph.CursorTime(0) - 16.0) < 0.2);
        QTest::mouseClick(graph.View()->viewport(), Qt::LeftButton, Qt::ShiftModifier, middle);
        QVERIFY(graph.CursorTime(1));
        // A drag pans instead: the time under the pointer follows it.
        graph.ZoomTime(2.0, 16.0);
        QTest::mousePress(graph.View()->viewport(), Qt::LeftButton, {}, middle);
        QTest::mouseMove(graph.View()->viewport(), middle - QPoint(50, 0));
        QTest::mouseMove(graph.View()->viewport(), middle - QPoint(100, 0));
        QTest::mouseRelease(graph.View()->viewport(), Qt::LeftButton, {}, middle - QPoint(100, 0));
        QCOMPARE(graph.ShownXMin(), 8.0 + 100.0 * 16.0 / plot.width());
        QVERIFY(graph.CursorTime(0) && *graph.CursorTime(0) < 16.2);
    }

    void csv_data()
    {
        QTest::addColumn<double>("secondPeriod");
        QTest::addColumn<QString>("header");
        QTest::newRow("shared") << 1.0 << "Time (ms),Commanded 1,Actual 1,Commanded 3,Actual 3";
        QTest::newRow("own") << 2.0
                             << "Time 1 (ms),Commanded 1,Actual 1,Time 3 (ms),Commanded 3,Actual 3";
    }
    void csv()
    {
        QFETCH(double, secondPeriod);
        QFETCH(QString, header);
        GraphContent content = Steps(4, 1.0, {true, false, true, false});
        const GraphContent other = Steps(4, secondPeriod, {});
        content.Series[4] = other.Series[4], content.Series[5] = other.Series[5];
        const QStringList lines = CResponseGraph::CsvText(content).split(QLatin1Char('\n'));
        QCOMPARE(lines.mid(0, 4), QStringList({"# Current Loop Tuner", "# Session 1: Kp 1",
                                               "# Session 3: Kp 3", header}));
        QCOMPARE(lines.size(), 4 + 4 + 1); // four samples, the last line ends
        QCOMPARE(lines[7], secondPeriod == 1.0 ? QStringLiteral("3,1,0.486582881,1,0.486582881")
                                               : QStringLiteral("3,1,0.486582881,6,1,0.930516549"));
        QCOMPARE(CResponseGraph::CsvText(Steps(4, 1.0, {})),
                 QStringLiteral("# Current Loop Tuner\nTime (ms)\n"));
        QCOMPARE(CResponseGraph::CsvText(Steps(512, 1.0, {true, true, true, true})).count('\n'),
                 1 + 4 + 1 + 512);
    }

    void exports()
    {
        OrvexTest::FakeUiServices ui;
        CResponseGraph graph(ui);
        graph.Show(Steps(512, 0.0625, {true, true, false, false}));
        QTemporaryDir dir;
        QString error;
        QVERIFY(graph.ExportCsv(dir.filePath("graph.csv"), &error));
        QFile csv(dir.filePath("graph.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(csv.readAll()), CResponseGraph::CsvText(graph.Content()));
        QVERIFY(!graph.ExportCsv(dir.filePath("missing/graph.csv"), &error));
        QVERIFY(error.contains("missing/graph.csv"));

        QVERIFY(graph.ExportPng(dir.filePath("graph.png"), &error));
        const QImage image(dir.filePath("graph.png"));
        QVERIFY(image.width() >= 800 && image.height() >= 500);
        QCOMPARE(image.pixelColor(image.width() / 2, 2), QColor(0, 128, 128));

        // From the menu: the path asked for, a failure reported.
        const auto action = [&](const QString& text) {
            for (QAction* a : graph.findChildren<QAction*>())
                if (a->text() == text)
                    return a;
            return static_cast<QAction*>(nullptr);
        };
        ui.FileAnswers = {dir.filePath("menu.csv"), dir.filePath("missing/menu.png")};
        action("Export CSV...")->trigger();
        action("Export PNG...")->trigger();
        QCOMPARE(ui.FileRequests[0].Filter, QStringLiteral("CSV Files(*.csv)|*.csv||"));
        QCOMPARE(ui.FileRequests[1].Filter, QStringLiteral("PNG Images(*.png)|*.png||"));
        QVERIFY(QFile::exists(dir.filePath("menu.csv")));
        QCOMPARE(ui.Messages.size(), size_t(1));
        QCOMPARE(ui.Messages[0].Caption, QStringLiteral("Export Error"));
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).size() == 3);
    }
};

QTEST_MAIN(TestResponseGraph)
#include "tst_responsegraph.moc"
