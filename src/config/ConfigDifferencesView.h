#pragma once

#include "ConfigurationComparison.h"

#include <QTableWidget>

namespace Orvex {

// The settings that differ between the wizard and the drive, one row each:
// the setting, its value in the program, its value in the drive.
class CConfigDifferencesView final : public QTableWidget
{
    Q_OBJECT

public:
    explicit CConfigDifferencesView(const ConfigurationDifferences& differences,
                                    QWidget* parent = nullptr);
};

} // namespace Orvex
