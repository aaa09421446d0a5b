#include "ConfigDifferencesView.h"

#include <QHeaderView>

namespace Orvex {

CConfigDifferencesView::CConfigDifferencesView(const ConfigurationDifferences& differences,
                                               QWidget* parent)
    : QTableWidget(int(differences.size()), 3, parent)
{
    setObjectName(QStringLiteral("configDifferences"));
    setAccessibleName(QStringLiteral("Settings that differ"));
    setHorizontalHeaderLabels({QStringLiteral("Setting"), QStringLiteral("In the program"),
                               QStringLiteral("In the drive")});
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    verticalHeader()->hide();
    for (int row = 0; row < differences.size(); ++row) {
        const ConfigurationDifference& difference = differences[row];
        setItem(row, 0, new QTableWidgetItem(difference.Name));
        setItem(row, 1, new QTableWidgetItem(difference.ProgramValue));
        setItem(row, 2, new QTableWidgetItem(difference.DriveValue));
    }
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    horizontalHeader()->setStretchLastSection(true);
    setMinimumSize(420, 160);
}

} // namespace Orvex
