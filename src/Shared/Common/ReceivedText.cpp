#include "ReceivedText.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace Orvex {

namespace {

constexpr QChar kBackspace(8);
constexpr QChar kLineFeed(10);
constexpr QChar kCarriageReturn(13);
constexpr QChar kPrompt(5);

struct PreparedText
{
    QString Text;       // what goes into the box, line breaks as '\n'
    int EraseAtEnd = 0; // box characters the leading backspaces erase
};

PreparedText Prepare(const QString& text)
{
    PreparedText prepared;
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (c == kBackspace) {
            if (kept.isEmpty())
                ++prepared.EraseAtEnd;
            else
                kept.chop(1);
        } else {
            kept.append(c);
        }
    }
    // A carriage return is the drive's line end; the box keeps one break per
    // line, so it becomes the block break and the drive's own line feeds go.
    prepared.Text.reserve(kept.size());
    for (const QChar c : std::as_const(kept)) {
        if (c == kLineFeed || c == kPrompt)
            continue;
        if (c == kCarriageReturn || c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            prepared.Text.append(QLatin1Char('\n'));
        else if (c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1)
            // The document's own frame markers may not come from outside.
            prepared.Text.append(QChar::ReplacementCharacter);
        else
            prepared.Text.append(c);
    }
    return prepared;
}

int BoxLength(const QTextDocument& document)
{
    // characterCount() counts the final block's separator too.
    return document.characterCount() - 1;
}

} // namespace

void AppendReceived(QPlainTextEdit& box, const QString& text)
{
    // A slow line hands over a few bytes a read, and drawing the box for each
    // would cost far more than the bytes: the text goes in at once, the box
    // is drawn at most once a display frame.
    if (box.updatesEnabled()) {
        box.setUpdatesEnabled(false);
        QTimer::singleShot(ReceivedTextFrameMs, &box, [&box] { box.setUpdatesEnabled(true); });
    }
    QTextDocument* document = box.document();
    if (document->isUndoRedoEnabled())
        document->setUndoRedoEnabled(false);

    PreparedText prepared = Prepare(text);

    // More text than the box keeps in one go: only its end would survive the
    // next drops, so keep only that and the box stays bounded.
    const int keep = ReceivedTextLimit - 1;
    if (prepared.Text.size() > keep)
        prepared.Text = prepared.Text.right(keep);

    QTextCursor cursor(document);
    while (BoxLength(*document) >= ReceivedTextLimit) {
        cursor.movePosition(QTextCursor::Start);
        cursor.setPosition(ReceivedTextDrop, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }

    cursor.movePosition(QTextCursor::End);
    const int erase = std::min(prepared.EraseAtEnd, BoxLength(*document));
    if (erase > 0)
        cursor.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor, erase);
    cursor.insertText(prepared.Text);

    box.setTextCursor(cursor);
    box.ensureCursorVisible();
}

} // namespace Orvex
