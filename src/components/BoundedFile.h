#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace Orvex {

// Reads the whole of a file the program takes in, but only a regular file and
// only up to maxBytes: a device such as /dev/zero would be read for ever and
// a pipe would block the window. On refusal answers nothing and sets reason
// to why: "it is not a regular file",
// "it is larger than 16 MB", or the system's reason ("Permission denied").
std::optional<QByteArray> ReadBoundedFile(const QString& path, qint64 maxBytes, QString* reason);

// A size limit as a user reads it: "16 MB", "64 KB", "512 bytes".
QString SizeText(qint64 bytes);

} // namespace Orvex
