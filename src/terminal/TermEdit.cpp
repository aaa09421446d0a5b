#include "TermEdit.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPalette>
#include <QTextCursor>

namespace Orvex {

CTermEdit::CTermEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("termEdit"));
    // Read-only for the widget itself: everything shown goes through the
    // handlers here, so paste, drop and the edit menu cannot bypass the line.
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setUndoRedoEnabled(false);
    setFocusPolicy(Qt::StrongFocus);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);

    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(12);
    font.setWeight(QFont::Normal);
    setFont(font);

    QPalette colours = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::Base, QColor(0, 0, 128));
        colours.setColor(group, QPalette::Text, QColor(255, 255, 255));
    }
    setPalette(colours);
}

void CTermEdit::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        m_line += QLatin1Char('\r');
        const QString line = m_line;
        m_line.clear();
        AppendAtEnd(QStringLiteral("\n"));
        event->accept();
        Q_EMIT LineEntered(line);
        return;
    }
    if (key == Qt::Key_Backspace) {
        // Only what the user typed on this line can be taken back; the prompt
        // and the drive's answers stay.
        if (!m_line.isEmpty()) {
            m_line.chop(1);
            EraseLastCharacter();
        }
        event->accept();
        return;
    }
    const QString text = event->text();
    if (text.size() == 1 && text.at(0).unicode() >= 32 && text.at(0).unicode() <= 126 &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
        m_line += text;
        AppendAtEnd(text);
        event->accept();
        return;
    }
    // Looking around and copying stay possible; every other key is swallowed.
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll) ||
        key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Up ||
        key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Home ||
        key == Qt::Key_End) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    event->accept();
}

void CTermEdit::ShowAboveTypedLine(const std::function<void()>& show)
{
    if (m_line.isEmpty()) {
        show();
        return;
    }
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor,
                        int(m_line.size()));
    cursor.removeSelectedText();
    show();
    AppendAtEnd(m_line);
}

void CTermEdit::AppendAtEnd(const QString& text)
{
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void CTermEdit::EraseLastCharacter()
{
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    setTextCursor(cursor);
    ensureCursorVisible();
}

} // namespace Orvex
