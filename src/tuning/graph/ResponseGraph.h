#pragma once

#include "StepFigures.h"

#include <QList>
#include <QPointF>
#include <QString>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>

class QChartView;

namespace Orvex {

class IUiServices;

// What the response graph shows: a tuner's titles and ranges, and the
// commanded and actual traces of its four sessions.
struct GraphContent
{
    static constexpr int SessionCount = 4;
    static constexpr int SeriesCount = 2 * SessionCount;

    // "Current Response", "Current (A)"; the time axis is "Time (milliseconds)".
    QString Title;
    QString YTitle;
    // The time window and its grid: a line every XGrid ms, a minor tick
    // every XMinor ms.
    double XMin = 0.0;
    double XMax = 32.0;
    double XGrid = 4.0;
    double XMinor = 1.0;
    // The value range, set by the tuner from its page.
    double YMin = -1.0;
    double YMax = 1.0;
    // Series 2n is session n's commanded trace, series 2n+1 its actual one:
    // x in ms, y in the tuner's unit.
    std::array<QList<QPointF>, SeriesCount> Series;
    // The sessions drawn; the others' series are hidden.
    std::array<bool, SessionCount> Drawn{};
    // The drawn sessions' step-response figures, where there is a step.
    std::array<std::optional<StepFigures>, SessionCount> Figures;
    // For exports: the tuner ("Current Loop Tuner") and, per session, its
    // gains and profile ("Kp 20.00, Ki 0.33, ...").
    QString Tuner;
    std::array<QString, SessionCount> SessionNotes;
};

// The tuning pages' response graph: eight series (commanded and actual of
// four sessions) on one chart, updated in place; the step-response figures of
// the drawn sessions beside it; two time cursors; zoom and pan on the time
// axis; CSV and PNG export from its context menu.
class CResponseGraph final : public QWidget
{
    Q_OBJECT

public:
    // "Commanded 1", "Actual 1", ... "Actual 4".
    static QString SeriesName(int series);
    // Session n's commanded trace dark, its actual trace light, of one hue:
    // red, green, blue, yellow.
    static QColor SeriesColor(int series);

    explicit CResponseGraph(IUiServices& ui, QWidget* parent = nullptr);
    ~CResponseGraph() override;

    // Shows content, replacing what was shown; the chart and its view stay.
    void Show(const GraphContent& content);
    const GraphContent& Content() const { return m_content; }

    // The time axis as shown now; zoom and pan change it, RestoreRanges
    // (also a double click) brings back the content's.
    double ShownXMin() const;
    double ShownXMax() const;
    void ZoomTime(double factor, double centreMs);
    void PanTime(double deltaMs);
    void RestoreRanges();

    // Cursor 0 and 1 on the time axis; the readout gives their times, the
    // time difference and the difference of the first drawn actual trace.
    void SetCursor(int cursor, double timeMs);
    void ClearCursors();
    std::optional<double> CursorTime(int cursor) const;
    QString CursorReadout() const;

    // The drawn sessions as CSV text: a header naming the tuner and each
    // session's notes, then one row per sample.
    static QString CsvText(const GraphContent& content);
    // Write through QSaveFile; false with the reason when it failed.
    bool ExportCsv(const QString& path, QString* error) const;
    bool ExportPng(const QString& path, QString* error) const;

    QChartView* View() const;

private:
    struct Private;

    // Puts the figures beside the graph when they fit in a quarter of the
    // width, below it otherwise.
    void resizeEvent(QResizeEvent* event) override;

    GraphContent m_content;
    IUiServices& m_ui;
    std::unique_ptr<Private> d;
};

} // namespace Orvex
