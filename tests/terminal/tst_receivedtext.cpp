#include "ReceivedText.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTest>

using Orvex::AppendReceived;

namespace {

// The box's text with its line breaks written as "\n".
QString BoxText(const QPlainTextEdit& box)
{
    return box.toPlainText();
}

} // namespace

// What the drive sends, as the terminal and the error log show it.
class TestReceivedText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void appends_data();
    void appends();
    void caretEndsAfterTheText();
    void fullBoxDropsItsOldestText_data();
    void fullBoxDropsItsOldestText();
    void floodKeepsTheBoxBounded();
    void costDoesNotGrowWithHistory();
    void anyCharactersAreSafe();
};

void TestReceivedText::appends_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("after");
    QTest::newRow("plain") << ">"
                           << "P016"
                           << ">P016";
    QTest::newRow("answer line") << ">"
                                 << "P016=250\r\n\x05"
                                 << ">P016=250\n";
    QTest::newRow("line feed alone goes") << ""
                                          << "A\nB"
                                          << "AB";
    QTest::newRow("carriage return breaks the line") << ""
                                                     << "A\rB"
                                                     << "A\nB";
    QTest::newRow("prompt byte never shows") << "X" << QString(QChar(5)) << "X";
    QTest::newRow("backspace inside") << ""
                                      << "AB\bC"
                                      << "AC";
    QTest::newRow("two backspaces inside") << ""
                                           << "ABC\b\bD"
                                           << "AD";
    QTest::newRow("leading backspaces erase the box") << "HELLO"
                                                      << "\b\bX"
                                                      << "HELX";
    QTest::newRow("backspaces past the text reach the box") << "HELLO"
                                                            << "A\b\bX"
                                                            << "HELLX";
    QTest::newRow("more backspaces than the box holds") << "AB"
                                                        << "\b\b\b\bX"
                                                        << "X";
    QTest::newRow("backspace erases a line break") << "A\nB"
                                                   << "\b\bC"
                                                   << "AC";
    QTest::newRow("only backspaces") << "ABC"
                                     << "\b"
                                     << "AB";
    QTest::newRow("empty text") << "ABC"
                                << ""
                                << "ABC";
    QTest::newRow("crlf pairs one break each") << ""
                                               << "1\r\n2\r\n"
                                               << "1\n2\n";
}

void TestReceivedText::appends()
{
    QFETCH(QString, before);
    QFETCH(QString, text);
    QFETCH(QString, after);
    QPlainTextEdit box;
    box.setPlainText(before);
    AppendReceived(box, text);
    QCOMPARE(BoxText(box), after);
}

void TestReceivedText::caretEndsAfterTheText()
{
    QPlainTextEdit box;
    box.setPlainText(QStringLiteral("first line\nsecond"));
    QTextCursor start = box.textCursor();
    start.movePosition(QTextCursor::Start);
    box.setTextCursor(start);
    AppendReceived(box, QStringLiteral(" more\r\n"));
    QCOMPARE(BoxText(box), QStringLiteral("first line\nsecond more\n"));
    QVERIFY(box.textCursor().atEnd());
}

void TestReceivedText::fullBoxDropsItsOldestText_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::newRow("just below the limit")
        << Orvex::ReceivedTextLimit - 1 << Orvex::ReceivedTextLimit - 1 + 3;
    QTest::newRow("at the limit") << Orvex::ReceivedTextLimit
                                  << Orvex::ReceivedTextLimit - Orvex::ReceivedTextDrop + 3;
    QTest::newRow("above the limit") << Orvex::ReceivedTextLimit + 10
                                     << Orvex::ReceivedTextLimit + 10 - Orvex::ReceivedTextDrop + 3;
}

void TestReceivedText::fullBoxDropsItsOldestText()
{
    QFETCH(int, before);
    QFETCH(int, after);
    QPlainTextEdit box;
    QString old;
    for (int i = 0; i < before; ++i)
        old.append(QChar(u'a' + i % 26));
    box.setPlainText(old);
    AppendReceived(box, QStringLiteral("xyz"));
    const QString text = BoxText(box);
    QCOMPARE(text.size(), after);
    // The newest text stays; the oldest went.
    QVERIFY(text.endsWith(old.right(10) + QStringLiteral("xyz")));
    QVERIFY(old.endsWith(text.left(text.size() - 3)));
}

void TestReceivedText::floodKeepsTheBoxBounded()
{
    QPlainTextEdit box;
    const QString line = QStringLiteral("P016=250\r\n\x05");
    // A megabyte in chunks of every size the link hands over.
    const QString megabyte = line.repeated(1024 * 1024 / line.size());
    qsizetype sent = 0;
    int chunk = 1;
    while (sent < megabyte.size()) {
        AppendReceived(box, megabyte.mid(sent, chunk));
        sent += chunk;
        chunk = chunk * 3 % 70001 + 1;
        QVERIFY(box.document()->characterCount() - 1 < 2 * Orvex::ReceivedTextLimit);
    }
    // One read of everything at once is bounded as well.
    AppendReceived(box, megabyte);
    QVERIFY(box.document()->characterCount() - 1 < 2 * Orvex::ReceivedTextLimit);
    AppendReceived(box, QStringLiteral("end"));
    QVERIFY(box.document()->characterCount() - 1 < Orvex::ReceivedTextLimit + 3);
    QVERIFY(BoxText(box).endsWith(QStringLiteral("P016=250\nend")));
    QVERIFY(!box.document()->isUndoRedoEnabled());
}

void TestReceivedText::costDoesNotGrowWithHistory()
{
    QPlainTextEdit box;
    const QString line = QStringLiteral("V=1234\r\n\x05");
    auto timeCalls = [&] {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 2000; ++i)
            AppendReceived(box, line);
        return timer.nsecsElapsed();
    };
    const qint64 early = timeCalls();
    for (int i = 0; i < 20; ++i)
        timeCalls();
    const qint64 late = timeCalls();
    // With a full box every call also drops old text now and then; far from
    // a cost that follows the history (which would be twenty times here).
    QVERIFY2(late < early * 5 + 50'000'000,
             qPrintable(QStringLiteral("early %1 ns, late %2 ns").arg(early).arg(late)));
}

void TestReceivedText::anyCharactersAreSafe()
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
    QVERIFY(BoxText(box).endsWith(QStringLiteral("ok")));
}

QTEST_MAIN(TestReceivedText)
#include "tst_receivedtext.moc"
