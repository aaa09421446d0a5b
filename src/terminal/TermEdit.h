#pragma once

#include <QPlainTextEdit>
#include <QString>

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
