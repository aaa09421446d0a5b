#pragma once

#include "UserButtonInfo.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace Orvex {

// Longest label or command a button file gives back; longer values are cut.
inline constexpr int ButtonFileValueMaxLength = 255;
// Larger files are refused rather than read into memory.
inline constexpr qint64 ButtonFileMaxSize = 16 * 1024 * 1024;

// The user buttons as a ".btn" file: a private-profile file with one section
// "UserButtons" holding "Label%d" and "Command%d" for the twelve buttons.
//
// Reading follows that format's own reader: section and key names ignore case,
// a value is the text after the first '=' without surrounding blanks, and
// loses one pair of quotes that encloses it fully; keys that are missing give
// the default entry. Values are written as they stand, so a value that starts
// or ends with blanks, or is fully enclosed in quotes, does not come back
// exactly; line breaks inside a value are written as spaces.
std::array<CUserButtonInfo, 12> ParseButtonFile(const QByteArray& bytes);

// The file's bytes: "[UserButtons]", then "Label%d" and "Command%d" for each
// button in order, CR LF line ends. Latin-1 when every character fits,
// otherwise UTF-8 behind a byte order mark.
QByteArray FormatButtonFile(const std::array<CUserButtonInfo, 12>& entries);

// The entries in the file at path, or nothing (with error set to why) when it
// cannot be read.
std::optional<std::array<CUserButtonInfo, 12>> ReadButtonFile(const QString& path,
                                                              QString* error = nullptr);

// Replaces the file at path; answers false (with error set to why) when it
// cannot be written, leaving any earlier file as it was.
bool WriteButtonFile(const QString& path, const std::array<CUserButtonInfo, 12>& entries,
                     QString* error = nullptr);

} // namespace Orvex
