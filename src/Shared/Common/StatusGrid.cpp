#include "StatusGrid.h"

#include <QHeaderView>

namespace Orvex {

CStatusGrid::CStatusGrid(int rows, const QStringList& columnHeadings, QWidget* parent)
    : QTableWidget(rows, static_cast<int>(columnHeadings.size()), parent)
{
    setHorizontalHeaderLabels(columnHeadings);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    horizontalHeader()->setDefaultSectionSize(100);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columnCount(); ++column)
            CellItem(row, column);
    }
    connect(this, &QTableWidget::itemChanged, this, &CStatusGrid::OnItemChanged);
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
}

void CStatusGrid::SetCellText(int row, int column, const QString& text)
{
    if (QTableWidgetItem* cell = CellItem(row, column))
        cell->setText(text);
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
    QTableWidgetItem* cell = CellItem(row, column);
    if (cell == nullptr)
        return;
    // Programmatic changes are not the user's; keep them out of the signal.
    m_settingCheck = true;
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    cell->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    cell->setData(Qt::UserRole, checked);
    m_settingCheck = false;
}

bool CStatusGrid::IsCellChecked(int row, int column) const
{
    const QTableWidgetItem* cell = item(row, column);
    return cell != nullptr && (cell->flags() & Qt::ItemIsUserCheckable) &&
           cell->checkState() == Qt::Checked;
}

void CStatusGrid::SetColumnWidth(int column, int width)
{
    QTableWidget::setColumnWidth(column, width);
}

void CStatusGrid::OnItemChanged(QTableWidgetItem* cell)
{
    if (m_settingCheck || cell == nullptr || !(cell->flags() & Qt::ItemIsUserCheckable))
        return;
    // Text and colour changes also land here; only a changed tick counts.
    const bool checked = cell->checkState() == Qt::Checked;
    if (cell->data(Qt::UserRole).toBool() == checked)
        return;
    cell->setData(Qt::UserRole, checked);
    Q_EMIT CellCheckChanged(cell->row(), cell->column(), checked);
}

} // namespace Orvex
