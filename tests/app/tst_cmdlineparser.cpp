#include "CmdLineParser.h"

#include <QTest>

class TestCmdLineParser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keys_data();
    void keys();
};

void TestCmdLineParser::keys_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("value");
    const auto row = [](const char* name, QString commandLine, QString key, bool present,
                        QString value = QString()) {
        QTest::newRow(name) << commandLine << key << present << value;
    };
    // The test switch, as start-up asks for it.
    row("empty", "", "Test", false);
    row("dash", "-Test", "Test", true);
    row("slash", "/Test", "Test", true);
    row("lower case", "/test", "Test", true);
    row("upper case", "-TEST", "Test", true);
    row("with value", "/Test:off", "Test", true, "off");
    row("with quoted value", "-test:\"a b\" -x", "Test", true, "a b");
    row("among others", "file.kvt /verbose -Test /other:1", "Test", true);
    row("no lead character", "Test", "Test", false);
    row("longer key", "/Tester", "Test", false);
    row("prefix only", "/Tes", "Test", false);
    // Values.
    row("plain", "/port:3 /x", "PORT", true, "3");
    row("quoted with blank", "/file:\"C:/My Files/a.kvt\" /x", "file", true, "C:/My Files/a.kvt");
    row("unterminated quote", "/file:\"abc", "file", true, "abc");
    row("first occurrence wins", "/k:1 -K:2", "k", true, "1");
    row("empty after colon", "/k: /j", "k", true);
}

void TestCmdLineParser::keys()
{
    QFETCH(QString, commandLine);
    QFETCH(QString, key);
    QFETCH(bool, present);
    QFETCH(QString, value);
    const Orvex::CCmdLineParser parser(commandLine);
    QCOMPARE(parser.HasKey(key), present);
    QCOMPARE(parser.Value(key), value);
}

QTEST_GUILESS_MAIN(TestCmdLineParser)
#include "tst_cmdlineparser.moc"
