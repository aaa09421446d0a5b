#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QTableWidget>

class QCheckBox;

namespace Orvex {

// A read-only grid of status values: row headings, per-cell colours and
// check-box cells the user may toggle. Columns widen to fit what they show
// and the last one fills the grid's width.
class CStatusGrid : public QTableWidget
{
    Q_OBJECT

public:
    CStatusGrid(int rows, const QStringList& columnHeadings, QWidget* parent = nullptr);

    void SetRowHeading(int row, const QString& heading);
    void SetCellText(int row, int column, const QString& text);
    QString CellText(int row, int column) const;
    void SetCellColours(int row, int column, const QColor& background, const QColor& text);
    QColor CellBackground(int row, int column) const;
    // Turns the cell into a check box; only these cells are user-editable.
    // The box is a real check box, so the keyboard and assistive
    // technologies can tick it; it is named after its row.
    void SetCellCheckBox(int row, int column, bool checked);
    bool IsCellChecked(int row, int column) const;
    void SetColumnWidth(int column, int width);

private:
    QTableWidgetItem* CellItem(int row, int column);
    QCheckBox* CellCheck(int row, int column) const;
    void WidenToFit(int column, const QString& text);
};

} // namespace Orvex
