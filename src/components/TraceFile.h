#pragma once

#include <QString>

namespace Orvex {

// Copies every message of the program's logging categories ("orvex.*") to a
// file as well as to the usual output, so a user can send the trace to
// support. Returns false when the file cannot be opened for appending.
bool InstallTraceFile(const QString& path);
// Stops copying to the file.
void RemoveTraceFile();

} // namespace Orvex
