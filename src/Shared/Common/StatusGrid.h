#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QTableWidget>

namespace Orvex {

// A read-only grid of status values: row headings, per-cell colours and
// check-box cells the user may toggle.
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
    void SetCellCheckBox(int row, int column, bool checked);
    bool IsCellChecked(int row, int column) const;
    void SetColumnWidth(int column, int width);

Q_SIGNALS:
    void CellCheckChanged(int row, int column, bool checked);

private:
    QTableWidgetItem* CellItem(int row, int column);
    void OnItemChanged(QTableWidgetItem* item);

    bool m_settingCheck = false;
};

} // namespace Orvex
