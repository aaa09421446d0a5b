#pragma once

#include "SnapshotText.h"

#include <QString>

#include <optional>

namespace Orvex {

struct AppContext;
class IMainWindow;
class IOrvexStatus;

// The drive snapshot for technical support: uploads the drive's configuration
// and its bit and numeric status behind the wait window, then builds one text
// of six sections (header, component versions, operating system,
// configuration parameters, bit status, numeric status) with CR LF line ends.
// No widgets: the page saves the text, tests and the benchmark call it alone.
class SystemSnapshot
{
public:
    SystemSnapshot(AppContext& context, IMainWindow& mainWindow,
                   SnapshotEnvironment environment = {});

    // Reads the drive and builds the text. Nothing, after the user has been
    // told why, when the drive cannot be reached or an upload fails.
    std::optional<QString> Take();

private:
    bool UploadConfiguration();
    bool UploadStatus(IOrvexStatus& status);
    void Pause(int milliseconds);

    AppContext& m_context;
    IMainWindow& m_mainWindow;
    SnapshotEnvironment m_environment;
};

} // namespace Orvex
