#include "ReceivedText.h"

#include <QPlainTextEdit>
#include <QTest>

using Orvex::AppendReceived;

// What the drive sends, as the terminal and the error log show it. How long
// an append takes as the box fills is for the benchmarks to measure.
class TestReceivedText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void appends_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("after");
        const auto row = [](const char* name, const char* before, const char* text,
                            const char* after) {
            QTest::newRow(name) << QString::fromLatin1(before) << QString::fromLatin1(text)
                                << QString::fromLatin1(after);
        };
        row("plain", ">", "P016", ">P016");
        row("answer line", ">", "P016=250\r\n\x05", ">P016=250\n");
        row("line feed alone goes", "", "A\nB", "AB");
        row("carriage return breaks the line", "", "A\rB", "A\nB");
        row("prompt byte never shows", "X", "\x05", "X");
        row("backspace inside", "", "AB\bC", "AC");
        row("two backspaces inside", "", "ABC\b\bD", "AD");
        row("leading backspaces erase the box", "HELLO", "\b\bX", "HELX");
        row("backspaces past the text reach the box", "HELLO", "A\b\bX", "HELLX");
        row("more backspaces than the box holds", "AB", "\b\b\b\bX", "X");
        row("backspace erases a line break", "A\nB", "\b\bC", "AC");
        row("only backspaces", "ABC", "\b", "AB");
        row("empty text", "ABC", "", "ABC");
        row("crlf pairs one break each", "", "1\r\n2\r\n", "1\n2\n");
    }

    void appends()
    {
        QFETCH(QString, before);
        QFETCH(QString, text);
        QFETCH(QString, after);
        QPlainTextEdit box;
        box.setPlainText(before);
        AppendReceived(box, text);
        QCOMPARE(box.toPlainText(), after);
    }

    void caretEndsAfterTheText()
    {
        QPlainTextEdit box;
        box.setPlainText(QStringLiteral("first line\nsecond"));
        QTextCursor start = box.textCursor();
        start.movePosition(QTextCursor::Start);
        box.setTextCursor(start);
        AppendReceived(box, QStringLiteral(" more\r\n"));
        QCOMPARE(box.toPlainText(), "first line\nsecond more\n");
        QVERIFY(box.textCursor().atEnd());
        // Drawn a moment later, not never.
        QTRY_VERIFY(box.updatesEnabled());
    }

    void fullBoxDropsItsOldestText_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::newRow("just below the limit") << 16383 << 16383 + 3;
        QTest::newRow("at the limit") << 16384 << 16384 - 4097 + 3;
        QTest::newRow("above the limit") << 16394 << 16394 - 4097 + 3;
    }

    void fullBoxDropsItsOldestText()
    {
        QFETCH(int, before);
        QFETCH(int, after);
        QPlainTextEdit box;
        QString old;
        for (int i = 0; i < before; ++i)
            old.append(QChar(u'a' + i % 26));
        box.setPlainText(old);
        AppendReceived(box, QStringLiteral("xyz"));
        const QString text = box.toPlainText();
        QCOMPARE(text.size(), after);
        // The newest text stays; the oldest went.
        QVERIFY(text.endsWith(old.right(10) + QStringLiteral("xyz")));
        QVERIFY(old.endsWith(text.left(text.size() - 3)));
    }

    void floodKeepsTheBoxBounded()
    {
        QPlainTextEdit box;
        const QString line = QStringLiteral("P016=250\r\n\x05");
        // A megabyte in chunks of every size the link hands over.
        const QString megabyte = line.repeated(1024 * 1024 / line.size());
        for (qsizetype sent = 0, chunk = 1; sent < megabyte.size(); chunk = chunk * 3 % 70001 + 1) {
            AppendReceived(box, megabyte.mid(sent, chunk));
            sent += chunk;
            QVERIFY(box.document()->characterCount() - 1 < 2 * 16384);
        }
        // One read of everything at once is bounded as well.
        AppendReceived(box, megabyte);
        QVERIFY(box.document()->characterCount() - 1 < 2 * 16384);
        AppendReceived(box, QStringLiteral("end"));
        QVERIFY(box.document()->characterCount() - 1 < 16384 + 3);
        QVERIFY(box.toPlainText().endsWith(QStringLiteral("P016=250\nend")));
        QVERIFY(!box.document()->isUndoRedoEnabled());
    }

    void anyCharactersAreSafe()
    {
        QPlainTextEdit box;
        QString every;
        for (int c = 0; c < 0x10000; ++c)
            every.append(QChar(static_cast<char16_t>(c)));
        AppendReceived(box, every.left(0x3000));
        AppendReceived(box, every);
        AppendReceived(box, every.right(300));
        AppendReceived(box, QString(500, QChar(8)) + every.left(40));
        AppendReceived(box, QStringLiteral("ok"));
        QVERIFY(box.toPlainText().endsWith(QStringLiteral("ok")));
    }
};

QTEST_MAIN(TestReceivedText)
#include "tst_receivedtext.moc"
