#pragma once

#include "ConfigurationComparison.h"

#include <QDialog>

namespace Orvex {

class IConfigWorkflow;

// The warning shown when the drive's control mode differs from the
// wizard's: the user uploads the drive's configuration, downloads the
// wizard's, or leaves both as they are. Ends with Accepted when the chosen
// transfer succeeded.
class CConfigWarningDlg final : public QDialog
{
    Q_OBJECT

public:
    static inline const QString Caption = QStringLiteral("Configuration Mismatch Warning");

    // differences lists what a download would change in the drive; when the
    // drive's configuration could not be read, problem says why instead.
    CConfigWarningDlg(IConfigWorkflow& workflow, const ConfigurationDifferences& differences,
                      const QString& problem = QString(), QWidget* parent = nullptr);

    // 1 after the user chose the upload.
    int Choice() const { return m_choice; }

    void UploadFromDrive();
    void DownloadToDrive();

private:
    IConfigWorkflow& m_workflow;
    int m_choice = 0;
};

} // namespace Orvex
