#pragma once

#include <QPlainTextEdit>
#include <QString>

#include <functional>

namespace Orvex {

// The terminal's text box: shows what the drive sends and collects the line
// the user types, handing it over with a carriage return when Enter is
// pressed. Only printable characters, Enter and backspace are taken.
class CTermEdit final : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit CTermEdit(QWidget* parent = nullptr);

    // The line typed since the last Enter.
    const QString& Line() const { return m_line; }

    // Shows output from elsewhere (the drive's answers, echoed commands)
    // through show, above the line being typed: that line is taken off the
    // end, show appends, and the line goes back at the end, so the drive's
    // text never lands in the middle of what the user types.
    void ShowAboveTypedLine(const std::function<void()>& show);

Q_SIGNALS:
    // The typed line followed by "\r", to be sent to the drive.
    void LineEntered(const QString& line);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void AppendAtEnd(const QString& text);
    void EraseLastCharacter();

    QString m_line;
};

} // namespace Orvex
