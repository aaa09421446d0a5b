#include "CmdLineParser.h"

#include <QTest>

using namespace Orvex;

class TestCmdLineParser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void testSwitch_data();
    void testSwitch();
    void values_data();
    void values();
};

void TestCmdLineParser::testSwitch_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<bool>("testMode");
    QTest::newRow("empty") << "" << false;
    QTest::newRow("dash") << "-Test" << true;
    QTest::newRow("slash") << "/Test" << true;
    QTest::newRow("lower case") << "/test" << true;
    QTest::newRow("upper case") << "-TEST" << true;
    QTest::newRow("with value") << "/Test:off" << true;
    QTest::newRow("with quoted value") << "-test:\"a b\" -x" << true;
    QTest::newRow("among others") << "file.kvt /verbose -Test /other:1" << true;
    QTest::newRow("no lead character") << "Test" << false;
    QTest::newRow("longer key") << "/Tester" << false;
    QTest::newRow("prefix only") << "/Tes" << false;
}

void TestCmdLineParser::testSwitch()
{
    QFETCH(QString, commandLine);
    QFETCH(bool, testMode);
    QCOMPARE(CCmdLineParser(commandLine).HasKey(QStringLiteral("Test")), testMode);
}

void TestCmdLineParser::values_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << "/port:3 /x"
                           << "PORT"
                           << "3";
    QTest::newRow("quoted with blank") << "/file:\"C:/My Files/a.kvt\" /x"
                                       << "file"
                                       << "C:/My Files/a.kvt";
    QTest::newRow("unterminated quote") << "/file:\"abc"
                                        << "file"
                                        << "abc";
    QTest::newRow("no value") << "/flag"
                              << "flag"
                              << "";
    QTest::newRow("first occurrence wins") << "/k:1 -K:2"
                                           << "k"
                                           << "1";
    QTest::newRow("empty after colon") << "/k: /j"
                                       << "k"
                                       << "";
}

void TestCmdLineParser::values()
{
    QFETCH(QString, commandLine);
    QFETCH(QString, key);
    QFETCH(QString, value);
    const CCmdLineParser parser(commandLine);
    QVERIFY(parser.HasKey(key));
    QCOMPARE(parser.Value(key), value);
}

QTEST_GUILESS_MAIN(TestCmdLineParser)
#include "tst_cmdlineparser.moc"
