#include "ResponseGraph.h"

#include "UiServices.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QChart>
#include <QChartView>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QSaveFile>
#include <QScrollBar>
#include <QTableWidget>
#include <QValueAxis>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <vector>

namespace Orvex {

namespace {

const QColor kBackground(0, 128, 128);
const QColor kText(Qt::white);
const QColor kGrid(169, 169, 169);

// Commanded traces solid or dashed, actual traces dotted; the widths tell
// apart the two of a kind, so no two series look alike even without colour.
struct SeriesLook
{
    QColor Color;
    Qt::PenStyle Style;
    double Width;
};
const std::array<SeriesLook, GraphContent::SeriesCount> kLooks{{
    {QColor(139, 0, 0), Qt::SolidLine, 2.0},
    {QColor(255, 0, 0), Qt::DotLine, 2.0},
    {QColor(0, 128, 0), Qt::DashLine, 2.0},
    {QColor(144, 238, 144), Qt::DashDotDotLine, 2.0},
    {QColor(0, 0, 255), Qt::SolidLine, 3.0},
    {QColor(173, 216, 230), Qt::DotLine, 3.0},
    {QColor(255, 255, 0), Qt::DashDotLine, 2.0},
    {QColor(255, 255, 224), Qt::DashDotDotLine, 3.0},
}};

const QStringList kFigureColumns{QStringLiteral("Rise time (ms)"), QStringLiteral("Overshoot (%)"),
                                 QStringLiteral("Settling time (ms)"),
                                 QStringLiteral("Steady-state error")};

// Zoom steps of the wheel (per notch) and of the + and - keys.
constexpr double kWheelZoom = 1.25;
constexpr double kKeyZoom = 1.5;
// A key press moves a cursor by this share of the shown window.
constexpr double kCursorStep = 1.0 / 100.0;
// The narrowest window, as a share of the whole time range.
constexpr double kNarrowestShare = 1e-4;

// The ticks of the time axis: a grid line every interval from the anchor,
// minorCount minor ticks between two lines.
struct TimeTicks
{
    double Interval;
    int MinorCount;
};

// The content's grid, halved while fewer than three lines would show and
// doubled while more than twenty would, so a zoomed window keeps a grid.
TimeTicks TicksFor(const GraphContent& content, double span)
{
    double interval = content.XGrid > 0.0 ? content.XGrid : span / 8.0;
    for (int i = 0; i < 64 && span / interval < 3.0; ++i)
        interval /= 2.0;
    for (int i = 0; i < 64 && span / interval > 20.0; ++i)
        interval *= 2.0;
    int minor = 0;
    if (content.XGrid > 0.0 && content.XMinor > 0.0 && content.XMinor < content.XGrid)
        minor =
            std::clamp(static_cast<int>(std::lround(content.XGrid / content.XMinor)) - 1, 0, 20);
    return {interval, minor};
}

// The trace's value at timeMs, linear between its samples; none outside it.
// The samples are in time order.
std::optional<double> ValueAt(const QList<QPointF>& trace, double timeMs)
{
    if (trace.isEmpty() || std::isnan(timeMs) || timeMs < trace.front().x() ||
        timeMs > trace.back().x())
        return std::nullopt;
    const auto after = std::lower_bound(trace.begin(), trace.end(), timeMs,
                                        [](const QPointF& p, double t) { return p.x() < t; });
    if (after == trace.begin() || after->x() == timeMs)
        return after->y();
    const QPointF& b = *after;
    const QPointF& a = *(after - 1);
    if (b.x() == a.x())
        return b.y();
    return a.y() + (b.y() - a.y()) * (timeMs - a.x()) / (b.x() - a.x());
}

// "12.50": two decimals, or as many as show two significant digits of a
// small value.
QString FormatValue(double value)
{
    int decimals = 2;
    if (value != 0.0 && std::abs(value) < 0.1)
        decimals = std::min(9, 1 - static_cast<int>(std::floor(std::log10(std::abs(value)))));
    return QString::number(value, 'f', decimals);
}

QString CsvNumber(double value)
{
    return std::isnan(value) ? QString() : QString::number(value, 'g', 9);
}

std::vector<int> DrawnSessions(const GraphContent& content)
{
    std::vector<int> drawn;
    for (int n = 0; n < GraphContent::SessionCount; ++n)
        if (content.Drawn[static_cast<size_t>(n)])
            drawn.push_back(n);
    return drawn;
}

const QList<QPointF>& Commanded(const GraphContent& content, int session)
{
    return content.Series[static_cast<size_t>(2 * session)];
}
const QList<QPointF>& Actual(const GraphContent& content, int session)
{
    return content.Series[static_cast<size_t>(2 * session + 1)];
}
// A session's samples are taken at the times of its commanded trace (of its
// actual one when it has no commanded trace).
const QList<QPointF>& TimeBase(const GraphContent& content, int session)
{
    const QList<QPointF>& commanded = Commanded(content, session);
    return commanded.isEmpty() ? Actual(content, session) : commanded;
}

bool SameTimes(const QList<QPointF>& a, const QList<QPointF>& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](const QPointF& p, const QPointF& q) { return p.x() == q.x(); });
}

// A small swatch of a session's two colours for its row in the figures.
QIcon SessionIcon(int session)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.fillRect(QRect(0, 0, 8, 16), CResponseGraph::SeriesColor(2 * session));
    painter.fillRect(QRect(8, 0, 8, 16), CResponseGraph::SeriesColor(2 * session + 1));
    painter.setPen(Qt::black);
    painter.drawRect(QRect(0, 0, 15, 15));
    return QIcon(pixmap);
}

// The figures' column headers, each on two lines broken at the space that
// makes the column narrowest.
class FiguresHeader final : public QHeaderView
{
public:
    explicit FiguresHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
    {
        setDefaultAlignment(Qt::AlignCenter | Qt::Alignment(Qt::TextWordWrap));
    }

protected:
    QSize sectionSizeFromContents(int logicalIndex) const override
    {
        const QSize oneLine = QHeaderView::sectionSizeFromContents(logicalIndex);
        const QString text =
            model() ? model()->headerData(logicalIndex, orientation()).toString() : QString();
        const QFontMetrics metrics = fontMetrics();
        const int whole = metrics.horizontalAdvance(text);
        int narrowest = whole;
        for (qsizetype i = text.indexOf(QLatin1Char(' ')); i >= 0;
             i = text.indexOf(QLatin1Char(' '), i + 1))
            narrowest = std::min(narrowest, std::max(metrics.horizontalAdvance(text.left(i)),
                                                     metrics.horizontalAdvance(text.mid(i + 1))));
        if (narrowest == whole)
            return oneLine;
        return {oneLine.width() - whole + narrowest + 2, oneLine.height() + metrics.lineSpacing()};
    }
};

// A step of 1, 2, 2.5 or 5 times a power of ten near raw.
double NiceStep(double raw)
{
    if (!(raw > 0.0) || !std::isfinite(raw))
        return 1.0;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    const double mantissa = raw / power;
    const double nice = mantissa <= 1.0   ? 1.0
                        : mantissa <= 2.0 ? 2.0
                        : mantissa <= 2.5 ? 2.5
                        : mantissa <= 5.0 ? 5.0
                                          : 10.0;
    return nice * power;
}

// The chart view: a click places a cursor, a drag pans the time axis, the
// wheel zooms it about the pointer, a double click restores the ranges; the
// keys do the same for keyboard users.
class GraphView final : public QChartView
{
public:
    GraphView(QChart* chart, CResponseGraph& graph, QWidget* parent)
        : QChartView(chart, parent), m_graph(graph)
    {}

    QMenu* Menu = nullptr;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton) {
            QChartView::mousePressEvent(event);
            return;
        }
        m_pressed = true;
        m_dragging = false;
        m_pressPos = event->position();
        m_pressMin = m_graph.ShownXMin();
        event->accept();
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!m_pressed) {
            QChartView::mouseMoveEvent(event);
            return;
        }
        const double dx = event->position().x() - m_pressPos.x();
        if (!m_dragging && std::abs(dx) < QApplication::startDragDistance())
            return;
        if (!m_dragging) {
            m_dragging = true;
            viewport()->setCursor(Qt::ClosedHandCursor);
        }
        const double width = PlotArea().width();
        if (width > 0.0) {
            const double perPixel = (m_graph.ShownXMax() - m_graph.ShownXMin()) / width;
            m_graph.PanTime(m_pressMin - dx * perPixel - m_graph.ShownXMin());
        }
        event->accept();
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton || !m_pressed) {
            QChartView::mouseReleaseEvent(event);
            return;
        }
        m_pressed = false;
        if (m_dragging) {
            m_dragging = false;
            viewport()->unsetCursor();
        } else if (const auto time = TimeAt(event->position(), true)) {
            m_active = event->modifiers().testFlag(Qt::ShiftModifier) ? 1 : 0;
            m_graph.SetCursor(m_active, *time);
        }
        event->accept();
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton) {
            m_graph.RestoreRanges();
            event->accept();
            return;
        }
        QChartView::mouseDoubleClickEvent(event);
    }

    void wheelEvent(QWheelEvent* event) override
    {
        const double notches = event->angleDelta().y() / 120.0;
        if (notches == 0.0) {
            event->ignore();
            return;
        }
        const double centre = TimeAt(event->position(), false).value_or(ShownCentre());
        m_graph.ZoomTime(std::pow(kWheelZoom, notches), centre);
        event->accept();
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
        const double span = m_graph.ShownXMax() - m_graph.ShownXMin();
        switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            m_graph.ZoomTime(kKeyZoom, ShownCentre());
            break;
        case Qt::Key_Minus:
        case Qt::Key_Underscore:
            m_graph.ZoomTime(1.0 / kKeyZoom, ShownCentre());
            break;
        case Qt::Key_Left:
        case Qt::Key_Right: {
            const double sign = event->key() == Qt::Key_Left ? -1.0 : 1.0;
            if (shift)
                MoveActiveCursor(sign * span * kCursorStep);
            else
                m_graph.PanTime(sign * span / 8.0);
            break;
        }
        case Qt::Key_Home:
            m_graph.RestoreRanges();
            break;
        case Qt::Key_1:
        case Qt::Key_2:
            m_active = event->key() == Qt::Key_1 ? 0 : 1;
            if (const auto time = m_graph.CursorTime(m_active);
                !time || *time < m_graph.ShownXMin() || *time > m_graph.ShownXMax())
                m_graph.SetCursor(m_active, ShownCentre());
            break;
        case Qt::Key_Delete:
        case Qt::Key_Backspace:
            m_graph.ClearCursors();
            break;
        case Qt::Key_F10:
            if (!shift) {
                QChartView::keyPressEvent(event);
                return;
            }
            ShowMenu(viewport()->rect().center());
            break;
        default:
            QChartView::keyPressEvent(event);
            return;
        }
        event->accept();
    }

    void contextMenuEvent(QContextMenuEvent* event) override
    {
        const QPoint pos = event->reason() == QContextMenuEvent::Mouse
                               ? viewport()->mapFromGlobal(event->globalPos())
                               : viewport()->rect().center();
        ShowMenu(pos);
        event->accept();
    }

    void focusInEvent(QFocusEvent* event) override
    {
        QChartView::focusInEvent(event);
        viewport()->update();
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        QChartView::focusOutEvent(event);
        viewport()->update();
    }

    // A dashed frame while the graph has the keyboard focus.
    void drawForeground(QPainter* painter, const QRectF& rect) override
    {
        QChartView::drawForeground(painter, rect);
        if (!hasFocus())
            return;
        painter->save();
        painter->setPen(QPen(kText, 1.0, Qt::DashLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(mapToScene(viewport()->rect().adjusted(1, 1, -2, -2)).boundingRect());
        painter->restore();
    }

private:
    QRectF PlotArea() const { return chart()->plotArea(); }
    double ShownCentre() const { return (m_graph.ShownXMin() + m_graph.ShownXMax()) / 2.0; }

    // The time under a viewport position; none outside the plot area when
    // insidePlotOnly.
    std::optional<double> TimeAt(QPointF viewportPos, bool insidePlotOnly) const
    {
        const QRectF plot = PlotArea();
        if (plot.width() <= 0.0)
            return std::nullopt;
        const QPointF pos = chart()->mapFromScene(mapToScene(viewportPos.toPoint()));
        if (insidePlotOnly && !plot.contains(pos))
            return std::nullopt;
        const double share = (pos.x() - plot.left()) / plot.width();
        return m_graph.ShownXMin() + share * (m_graph.ShownXMax() - m_graph.ShownXMin());
    }

    void MoveActiveCursor(double deltaMs)
    {
        const auto time = m_graph.CursorTime(m_active);
        m_graph.SetCursor(m_active, time ? *time + deltaMs : ShownCentre());
    }

    void ShowMenu(QPoint viewportPos)
    {
        if (Menu)
            Menu->exec(viewport()->mapToGlobal(viewportPos));
    }

    CResponseGraph& m_graph;
    bool m_pressed = false;
    bool m_dragging = false;
    QPointF m_pressPos;
    double m_pressMin = 0.0;
    int m_active = 0; // the cursor the keys move
};

} // namespace

struct CResponseGraph::Private
{
    QChart* chart = nullptr;
    GraphView* view = nullptr;
    QValueAxis* x = nullptr;
    QValueAxis* y = nullptr;
    std::array<QLineSeries*, GraphContent::SeriesCount> series{};
    QLabel* readout = nullptr;
    QTableWidget* figures = nullptr;
    QBoxLayout* split = nullptr;
    QMenu* menu = nullptr;

    std::array<std::optional<double>, 2> cursors;
    std::array<QGraphicsLineItem*, 2> cursorLines{};
    std::array<QGraphicsSimpleTextItem*, 2> cursorLabels{};

    // How far zoom out and pan may go: the content's window and its traces.
    double boundMin = 0.0;
    double boundMax = 1.0;

    void SetTimeRange(const GraphContent& content, double min, double max)
    {
        const TimeTicks ticks = TicksFor(content, max - min);
        x->setTickAnchor(content.XMin);
        x->setTickInterval(ticks.Interval);
        x->setMinorTickCount(ticks.MinorCount);
        x->setRange(min, max);
    }

    // The value axis divided into as many steps as the plot's height has room
    // for, eight at most: a short graph keeps its labels readable rather than
    // elided.
    void SetValueTicks()
    {
        const double span = y->max() - y->min();
        if (!(span > 0.0))
            return;
        const double lineHeight = QFontMetricsF(y->labelsFont()).height();
        const double height = chart->plotArea().height();
        const int divisions =
            height > 0.0 ? std::clamp(static_cast<int>(height / (1.5 * lineHeight)), 2, 8) : 8;
        y->setTickInterval(NiceStep(span / divisions));
    }

    // The cursor lines across the plot area at their times; a cursor outside
    // the shown window is hidden.
    void PlaceCursors()
    {
        const QRectF plot = chart->plotArea();
        const double min = x->min();
        const double span = x->max() - min;
        for (size_t i = 0; i < cursors.size(); ++i) {
            const bool shown = cursors[i] && span > 0.0 && *cursors[i] >= min &&
                               *cursors[i] <= x->max() && plot.width() > 0.0;
            cursorLines[i]->setVisible(shown);
            cursorLabels[i]->setVisible(shown);
            if (!shown)
                continue;
            const double px = plot.left() + (*cursors[i] - min) / span * plot.width();
            cursorLines[i]->setLine(px, plot.top(), px, plot.bottom());
            cursorLabels[i]->setPos(px + 3.0, plot.top() + 2.0);
        }
    }

    // The figures beside the graph when they fit in about a quarter of its
    // width, below it otherwise; either way no larger than their rows.
    void ArrangeFigures(int totalWidth)
    {
        const QHeaderView* columns = figures->horizontalHeader();
        const QHeaderView* rows = figures->verticalHeader();
        int width = rows->sizeHint().width() + 2 * figures->frameWidth();
        for (int column = 0; column < figures->columnCount(); ++column)
            width += columns->sectionSizeHint(column);
        int height = columns->sizeHint().height() + 2 * figures->frameWidth();
        for (int row = 0; row < figures->rowCount(); ++row)
            height += rows->sectionSizeHint(row);

        const bool beside = width <= totalWidth * 3 / 10;
        const QBoxLayout::Direction direction =
            beside ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom;
        if (split->direction() != direction)
            split->setDirection(direction);
        if (!beside && totalWidth < width)
            height += figures->horizontalScrollBar()->sizeHint().height();
        figures->setMaximumSize(width, height);
        split->setAlignment(figures, beside ? Qt::AlignTop : Qt::AlignLeft);
    }
};

QString CResponseGraph::SeriesName(int series)
{
    if (series < 0 || series >= GraphContent::SeriesCount)
        return {};
    const int session = series / 2 + 1;
    return series % 2 == 0 ? QStringLiteral("Commanded %1").arg(session)
                           : QStringLiteral("Actual %1").arg(session);
}

QColor CResponseGraph::SeriesColor(int series)
{
    if (series < 0 || series >= GraphContent::SeriesCount)
        return {};
    return kLooks[static_cast<size_t>(series)].Color;
}

CResponseGraph::CResponseGraph(IUiServices& ui, QWidget* parent)
    : QWidget(parent), m_ui(ui), d(std::make_unique<Private>())
{
    d->chart = new QChart;
    d->chart->setAnimationOptions(QChart::NoAnimation);
    d->chart->setBackgroundBrush(kBackground);
    d->chart->setBackgroundRoundness(0.0);
    d->chart->setPlotAreaBackgroundBrush(kBackground);
    d->chart->setPlotAreaBackgroundVisible(true);
    d->chart->setTitleBrush(kText);
    QFont titleFont = d->chart->titleFont();
    titleFont.setBold(true);
    d->chart->setTitleFont(titleFont);
    d->chart->legend()->setLabelColor(kText);
    d->chart->legend()->setAlignment(Qt::AlignBottom);
    d->chart->layout()->setContentsMargins(0, 0, 0, 0);
    d->chart->setMargins(QMargins(4, 4, 12, 4));

    d->x = new QValueAxis;
    d->y = new QValueAxis;
    for (QValueAxis* axis : {d->x, d->y}) {
        axis->setLabelsColor(kText);
        axis->setTitleBrush(kText);
        axis->setLinePenColor(kText);
        axis->setGridLineColor(kGrid);
        axis->setMinorGridLineVisible(false);
        axis->setLabelFormat(QStringLiteral("%g"));
    }
    d->x->setTitleText(QStringLiteral("Time (milliseconds)"));
    d->x->setTickType(QValueAxis::TicksDynamic);
    d->y->setTickType(QValueAxis::TicksDynamic);
    d->y->setTickAnchor(0.0);
    d->chart->addAxis(d->x, Qt::AlignBottom);
    d->chart->addAxis(d->y, Qt::AlignLeft);
    connect(d->chart, &QChart::plotAreaChanged, this, [this] { d->SetValueTicks(); });

    for (int i = 0; i < GraphContent::SeriesCount; ++i) {
        const SeriesLook& look = kLooks[static_cast<size_t>(i)];
        auto* series = new QLineSeries;
        series->setName(SeriesName(i));
        series->setUseOpenGL(false);
        QPen pen(look.Color, look.Width, look.Style);
        pen.setCapStyle(Qt::FlatCap);
        series->setPen(pen);
        d->chart->addSeries(series);
        series->attachAxis(d->x);
        series->attachAxis(d->y);
        series->setVisible(false);
        d->series[static_cast<size_t>(i)] = series;
        for (QLegendMarker* marker : d->chart->legend()->markers(series))
            marker->setVisible(false);
    }

    for (size_t i = 0; i < d->cursorLines.size(); ++i) {
        auto* line = new QGraphicsLineItem(d->chart);
        line->setPen(QPen(kText, 1.0, i == 0 ? Qt::SolidLine : Qt::DashLine));
        line->setZValue(1000.0);
        line->setVisible(false);
        d->cursorLines[i] = line;
        auto* label = new QGraphicsSimpleTextItem(QStringLiteral("t%1").arg(i + 1), d->chart);
        label->setBrush(kText);
        label->setZValue(1000.0);
        label->setVisible(false);
        d->cursorLabels[i] = label;
    }

    d->view = new GraphView(d->chart, *this, this);
    d->view->setRenderHint(QPainter::Antialiasing);
    d->view->setFocusPolicy(Qt::StrongFocus);
    d->view->setMinimumSize(320, 200);
    d->view->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    d->view->setAccessibleName(QStringLiteral("Response graph"));
    const QString help = QStringLiteral(
        "Click to place cursor 1, Shift+click to place cursor 2; drag to pan the time axis, "
        "turn the wheel to zoom it, double-click to restore it. Keys: + and - zoom, Left and "
        "Right pan, Home restores; 1 and 2 pick a cursor (bringing it to the middle when it "
        "is not in sight), Shift+Left and Shift+Right move it, Delete clears the cursors; "
        "the Menu key or Shift+F10 opens the menu (export, restore zoom, clear cursors).");
    d->view->setAccessibleDescription(help);
    d->view->setWhatsThis(help);

    d->readout = new QLabel(this);
    d->readout->setAccessibleName(QStringLiteral("Cursor readout"));
    d->readout->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    d->figures = new QTableWidget(0, static_cast<int>(kFigureColumns.size()), this);
    d->figures->setHorizontalHeader(new FiguresHeader(d->figures));
    d->figures->setAccessibleName(QStringLiteral("Step response figures"));
    d->figures->setHorizontalHeaderLabels(kFigureColumns);
    d->figures->setEditTriggers(QAbstractItemView::NoEditTriggers);
    d->figures->setSelectionMode(QAbstractItemView::SingleSelection);
    d->figures->setTabKeyNavigation(false);
    d->figures->setWordWrap(false);
    d->figures->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    d->figures->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    d->figures->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    d->figures->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);

    auto* graphColumn = new QVBoxLayout;
    graphColumn->setContentsMargins(0, 0, 0, 0);
    graphColumn->addWidget(d->view, 1);
    graphColumn->addWidget(d->readout);
    d->split = new QBoxLayout(QBoxLayout::LeftToRight, this);
    d->split->setContentsMargins(0, 0, 0, 0);
    d->split->addLayout(graphColumn, 1);
    d->split->addWidget(d->figures, 0);

    d->menu = new QMenu(this);
    d->menu->setAccessibleName(QStringLiteral("Graph menu"));
    QAction* exportCsv = d->menu->addAction(QStringLiteral("Export CSV..."));
    QAction* exportPng = d->menu->addAction(QStringLiteral("Export PNG..."));
    d->menu->addSeparator();
    QAction* restore = d->menu->addAction(QStringLiteral("Restore Zoom"));
    QAction* clear = d->menu->addAction(QStringLiteral("Clear Cursors"));
    d->view->Menu = d->menu;

    const auto exportFile = [this](const QString& caption, const QString& filter,
                                   const QString& extension, bool png) {
        const QString name =
            m_content.Tuner.isEmpty() ? QStringLiteral("Response") : m_content.Tuner;
        const QString path = m_ui.GetSaveFileName(FileDialogRequest{
            caption, filter, extension, name + QLatin1Char('.') + extension, true, QString()});
        if (path.isEmpty())
            return;
        QString error;
        if (!(png ? ExportPng(path, &error) : ExportCsv(path, &error)))
            m_ui.ShowMessage(QStringLiteral("Export Error"), error);
    };
    connect(exportCsv, &QAction::triggered, this, [exportFile] {
        exportFile(QStringLiteral("Export CSV"), QStringLiteral("CSV Files(*.csv)|*.csv||"),
                   QStringLiteral("csv"), false);
    });
    connect(exportPng, &QAction::triggered, this, [exportFile] {
        exportFile(QStringLiteral("Export PNG"), QStringLiteral("PNG Images(*.png)|*.png||"),
                   QStringLiteral("png"), true);
    });
    connect(restore, &QAction::triggered, this, [this] { RestoreRanges(); });
    connect(clear, &QAction::triggered, this, [this] { ClearCursors(); });

    connect(d->chart, &QChart::plotAreaChanged, this, [this] { d->PlaceCursors(); });
    connect(d->x, &QValueAxis::rangeChanged, this, [this] { d->PlaceCursors(); });

    Show(m_content);
}

CResponseGraph::~CResponseGraph() = default;

QChartView* CResponseGraph::View() const
{
    return d->view;
}

void CResponseGraph::Show(const GraphContent& content)
{
    m_content = content;

    double dataMin = content.XMin;
    double dataMax = content.XMax;
    for (int i = 0; i < GraphContent::SeriesCount; ++i) {
        const size_t index = static_cast<size_t>(i);
        QLineSeries* series = d->series[index];
        const QList<QPointF>& points = content.Series[index];
        const bool drawn = content.Drawn[index / 2];
        series->replace(points);
        if (series->isVisible() != drawn) {
            series->setVisible(drawn);
            for (QLegendMarker* marker : d->chart->legend()->markers(series))
                marker->setVisible(drawn);
        }
        if (drawn && !points.isEmpty()) {
            dataMin = std::min(dataMin, points.front().x());
            dataMax = std::max(dataMax, points.back().x());
        }
    }

    if (d->chart->title() != content.Title)
        d->chart->setTitle(content.Title);
    if (d->y->titleText() != content.YTitle)
        d->y->setTitleText(content.YTitle);
    d->boundMin = dataMin;
    d->boundMax = dataMax > dataMin ? dataMax : dataMin + 1.0;
    RestoreRanges();

    const std::vector<int> drawn = DrawnSessions(content);
    QTableWidget* table = d->figures;
    table->setRowCount(static_cast<int>(drawn.size()));
    for (int row = 0; row < static_cast<int>(drawn.size()); ++row) {
        const int session = drawn[static_cast<size_t>(row)];
        QTableWidgetItem* header = table->verticalHeaderItem(row);
        if (!header) {
            header = new QTableWidgetItem;
            table->setVerticalHeaderItem(row, header);
        }
        header->setText(QStringLiteral("Session %1").arg(session + 1));
        header->setIcon(SessionIcon(session));
        const std::optional<StepFigures>& figures = content.Figures[static_cast<size_t>(session)];
        const std::array<double, 4> values =
            figures ? std::array<double, 4>{figures->RiseTimeMs, figures->OvershootPercent,
                                            figures->SettlingTimeMs, figures->SteadyStateError}
                    : std::array<double, 4>{std::nan(""), std::nan(""), std::nan(""), std::nan("")};
        for (int column = 0; column < 4; ++column) {
            const double value = values[static_cast<size_t>(column)];
            const QString text =
                std::isnan(value) ? QStringLiteral("-") : QString::number(value, 'f', 2);
            QTableWidgetItem* item = table->item(row, column);
            if (!item) {
                item = new QTableWidgetItem;
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                table->setItem(row, column, item);
            }
            item->setText(text);
        }
    }
    d->readout->setText(CursorReadout());
    d->ArrangeFigures(width());
}

double CResponseGraph::ShownXMin() const
{
    return d->x->min();
}

double CResponseGraph::ShownXMax() const
{
    return d->x->max();
}

void CResponseGraph::ZoomTime(double factor, double centreMs)
{
    const double min = ShownXMin();
    const double span = ShownXMax() - min;
    if (!(factor > 0.0) || !std::isfinite(factor) || !std::isfinite(centreMs) || span <= 0.0)
        return;
    const double whole = d->boundMax - d->boundMin;
    const double narrowest = std::max(whole * kNarrowestShare, 1e-9);
    const double newSpan = std::clamp(span / factor, narrowest, whole);
    double newMin = centreMs - (centreMs - min) * (newSpan / span);
    newMin = std::clamp(newMin, d->boundMin, d->boundMax - newSpan);
    d->SetTimeRange(m_content, newMin, newMin + newSpan);
}

void CResponseGraph::PanTime(double deltaMs)
{
    if (!std::isfinite(deltaMs))
        return;
    const double min = ShownXMin();
    const double span = ShownXMax() - min;
    const double newMin = std::clamp(min + deltaMs, d->boundMin, d->boundMax - span);
    if (newMin != min)
        d->SetTimeRange(m_content, newMin, newMin + span);
}

void CResponseGraph::RestoreRanges()
{
    const double max = m_content.XMax > m_content.XMin ? m_content.XMax : m_content.XMin + 1.0;
    d->SetTimeRange(m_content, m_content.XMin, max);
    const double yMax = m_content.YMax > m_content.YMin ? m_content.YMax : m_content.YMin + 1.0;
    d->y->setRange(m_content.YMin, yMax);
    d->SetValueTicks();
}

void CResponseGraph::SetCursor(int cursor, double timeMs)
{
    if (cursor < 0 || cursor > 1 || !std::isfinite(timeMs))
        return;
    d->cursors[static_cast<size_t>(cursor)] = timeMs;
    d->PlaceCursors();
    d->readout->setText(CursorReadout());
}

void CResponseGraph::ClearCursors()
{
    d->cursors = {};
    d->PlaceCursors();
    d->readout->setText(QString());
}

std::optional<double> CResponseGraph::CursorTime(int cursor) const
{
    if (cursor < 0 || cursor > 1)
        return std::nullopt;
    return d->cursors[static_cast<size_t>(cursor)];
}

QString CResponseGraph::CursorReadout() const
{
    const auto& t1 = d->cursors[0];
    const auto& t2 = d->cursors[1];
    QStringList parts;
    if (t1)
        parts << QStringLiteral("t1 = %1 ms").arg(*t1, 0, 'f', 2);
    if (t2)
        parts << QStringLiteral("t2 = %1 ms").arg(*t2, 0, 'f', 2);
    if (t1 && t2) {
        parts << QStringLiteral("Δt = %1 ms").arg(*t2 - *t1, 0, 'f', 2);
        const std::vector<int> drawn = DrawnSessions(m_content);
        if (!drawn.empty()) {
            const QList<QPointF>& actual = Actual(m_content, drawn.front());
            const auto y1 = ValueAt(actual, *t1);
            const auto y2 = ValueAt(actual, *t2);
            if (y1 && y2)
                parts << QStringLiteral("Δy = %1").arg(FormatValue(*y2 - *y1));
        }
    }
    return parts.join(QStringLiteral(", "));
}

QString CResponseGraph::CsvText(const GraphContent& content)
{
    const std::vector<int> drawn = DrawnSessions(content);
    QString text;
    const auto oneLine = [](QString s) { return s.replace(QLatin1Char('\n'), QLatin1Char(' ')); };
    if (!content.Tuner.isEmpty())
        text += QStringLiteral("# ") + oneLine(content.Tuner) + QLatin1Char('\n');
    for (int n : drawn)
        text += QStringLiteral("# Session %1: %2\n")
                    .arg(n + 1)
                    .arg(oneLine(content.SessionNotes[static_cast<size_t>(n)]));

    bool shared = true;
    for (int n : drawn)
        shared = shared && SameTimes(TimeBase(content, n), TimeBase(content, drawn.front()));

    QStringList header;
    if (shared)
        header << QStringLiteral("Time (ms)");
    for (int n : drawn) {
        if (!shared)
            header << QStringLiteral("Time %1 (ms)").arg(n + 1);
        header << SeriesName(2 * n) << SeriesName(2 * n + 1);
    }
    text += header.join(QLatin1Char(',')) + QLatin1Char('\n');

    qsizetype rows = 0;
    for (int n : drawn)
        rows = std::max(rows, TimeBase(content, n).size());
    text.reserve(text.size() + rows * 16 * (1 + 3 * static_cast<qsizetype>(drawn.size())));
    QStringList cells;
    for (qsizetype row = 0; row < rows; ++row) {
        cells.clear();
        for (int n : drawn) {
            const QList<QPointF>& base = TimeBase(content, n);
            const QList<QPointF>& commanded = Commanded(content, n);
            const QList<QPointF>& actual = Actual(content, n);
            if (row >= base.size()) {
                cells << QString() << QString() << QString();
                continue;
            }
            const double time = base[row].x();
            if (!shared || n == drawn.front())
                cells << CsvNumber(time);
            cells << (row < commanded.size() ? CsvNumber(commanded[row].y()) : QString());
            if (row < actual.size() && actual[row].x() == time)
                cells << CsvNumber(actual[row].y());
            else
                cells << CsvNumber(ValueAt(actual, time).value_or(std::nan("")));
        }
        text += cells.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return text;
}

namespace {

bool Fail(QString* error, const QString& path, const QString& reason)
{
    if (error)
        *error = QStringLiteral("Could not write %1: %2").arg(path, reason);
    return false;
}

} // namespace

bool CResponseGraph::ExportCsv(const QString& path, QString* error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Fail(error, path, file.errorString());
    const QByteArray bytes = CsvText(m_content).toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit())
        return Fail(error, path, file.errorString());
    return true;
}

bool CResponseGraph::ExportPng(const QString& path, QString* error) const
{
    QImage image;
    if (d->view->isVisible()) {
        image = d->view->grab().toImage();
    } else {
        // A graph not on screen is drawn on its own at a size that reads well,
        // then given back the size it had.
        const QRectF old = d->chart->geometry();
        const QSizeF size = old.size().expandedTo(QSizeF(800, 500));
        d->chart->setGeometry(QRectF(old.topLeft(), size));
        d->chart->layout()->activate();
        image = QImage(size.toSize(), QImage::Format_ARGB32_Premultiplied);
        image.fill(kBackground);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        d->chart->scene()->render(&painter, QRectF(QPointF(0, 0), size), d->chart->geometry());
        painter.end();
        d->chart->setGeometry(old);
        d->chart->layout()->activate();
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Fail(error, path, file.errorString());
    if (!image.save(&file, "PNG"))
        return Fail(error, path, QStringLiteral("the image could not be written"));
    if (!file.commit())
        return Fail(error, path, file.errorString());
    return true;
}

void CResponseGraph::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    d->ArrangeFigures(width());
}

} // namespace Orvex
