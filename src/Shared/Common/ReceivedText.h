#pragma once

#include <QString>

class QPlainTextEdit;

namespace Orvex {

// Once a received-text box holds this many characters, the oldest are dropped.
inline constexpr int ReceivedTextLimit = 16384;
// How many characters are dropped from the front at a time.
inline constexpr int ReceivedTextDrop = 4097;
// The box is drawn at most once in this many milliseconds.
inline constexpr int ReceivedTextFrameMs = 16;

// Appends what the drive sent to a received-text box (terminal, error log):
// drops the oldest 4,097 characters while the box holds 16,384 or more,
// applies backspaces (leading ones erase the box's final characters), drops
// line feeds and the prompt byte 5, breaks the line after every carriage
// return, and leaves the caret visible at the end. Works at the end of the
// document, so its cost does not grow with the box's history; the box's undo
// history is switched off, since it would keep every received byte. The text
// is in the box at once; the box is drawn within ReceivedTextFrameMs.
void AppendReceived(QPlainTextEdit& box, const QString& text);

} // namespace Orvex
