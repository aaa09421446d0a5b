#include "StatusGrid.h"

#include <QCheckBox>
#include <QHeaderView>

#include <algorithm>

namespace Orvex {

CStatusGrid::CStatusGrid(int rows, const QStringList& columnHeadings, QWidget* parent)
    : QTableWidget(rows, static_cast<int>(columnHeadings.size()), parent)
{
    setHorizontalHeaderLabels(columnHeadings);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    horizontalHeader()->setDefaultSectionSize(100);
    // The columns start at the widths the page asks for and widen to what
    // they show; the last one takes whatever room is left.
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columnCount(); ++column)
            CellItem(row, column);
    }
}

QTableWidgetItem* CStatusGrid::CellItem(int row, int column)
{
    QTableWidgetItem* cell = item(row, column);
    if (cell == nullptr && row >= 0 && row < rowCount() && column >= 0 && column < columnCount()) {
        cell = new QTableWidgetItem;
        cell->setFlags(Qt::ItemIsEnabled);
        setItem(row, column, cell);
    }
    return cell;
}

void CStatusGrid::SetRowHeading(int row, const QString& heading)
{
    if (row < 0 || row >= rowCount())
        return;
    setVerticalHeaderItem(row, new QTableWidgetItem(heading));
    for (int column = 0; column < columnCount(); ++column) {
        if (QCheckBox* check = CellCheck(row, column))
            check->setAccessibleName(heading);
    }
}

void CStatusGrid::SetCellText(int row, int column, const QString& text)
{
    QTableWidgetItem* cell = CellItem(row, column);
    if (cell == nullptr)
        return;
    cell->setText(text);
    if (column < columnCount() - 1)
        WidenToFit(column, text);
}

void CStatusGrid::WidenToFit(int column, const QString& text)
{
    // Room for the cell's margins and the grid line on either side.
    constexpr int kPadding = 12;
    int needed = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        needed = std::max(needed, fontMetrics().horizontalAdvance(line.trimmed()) + kPadding);
    if (needed > columnWidth(column))
        QTableWidget::setColumnWidth(column, needed);
}

QString CStatusGrid::CellText(int row, int column) const
{
    const QTableWidgetItem* cell = item(row, column);
    return cell != nullptr ? cell->text() : QString();
}

void CStatusGrid::SetCellColours(int row, int column, const QColor& background, const QColor& text)
{
    QTableWidgetItem* cell = CellItem(row, column);
    if (cell == nullptr)
        return;
    cell->setBackground(background.isValid() ? QBrush(background) : QBrush());
    cell->setForeground(text.isValid() ? QBrush(text) : QBrush());
}

QColor CStatusGrid::CellBackground(int row, int column) const
{
    const QTableWidgetItem* cell = item(row, column);
    if (cell == nullptr || cell->background().style() == Qt::NoBrush)
        return {};
    return cell->background().color();
}

void CStatusGrid::SetCellCheckBox(int row, int column, bool checked)
{
    if (CellItem(row, column) == nullptr)
        return;
    QCheckBox* check = CellCheck(row, column);
    if (check == nullptr) {
        check = new QCheckBox;
        check->setObjectName(QStringLiteral("cellCheck%1_%2").arg(row).arg(column));
        const QTableWidgetItem* heading = verticalHeaderItem(row);
        check->setAccessibleName(heading ? heading->text() : QString());
        setCellWidget(row, column, check);
    }
    check->setChecked(checked);
}

bool CStatusGrid::IsCellChecked(int row, int column) const
{
    const QCheckBox* check = CellCheck(row, column);
    return check != nullptr && check->isChecked();
}

QCheckBox* CStatusGrid::CellCheck(int row, int column) const
{
    return qobject_cast<QCheckBox*>(cellWidget(row, column));
}

void CStatusGrid::SetColumnWidth(int column, int width)
{
    QTableWidget::setColumnWidth(column, width);
}

} // namespace Orvex
