#pragma once

#include <QByteArray>
#include <QString>

namespace Orvex {

// Text as one byte a character in the Windows-1252 code page, the snapshot
// file's encoding: characters the code page lacks become "?".
QByteArray ToWindows1252(const QString& text);
// The bytes back as text; the five bytes the code page leaves out read as
// the characters of the same code.
QString FromWindows1252(const QByteArray& bytes);

} // namespace Orvex
