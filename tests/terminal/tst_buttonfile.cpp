#include "ButtonFile.h"
#include "UserButtonProfile.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace Orvex;
using namespace Qt::StringLiterals; // "..."_ba keeps NUL bytes inside the literal

using Overrides = QMap<QString, QString>; // "Label3" / "Command3" -> expected value

namespace {

// A file holding only the section with body.
QByteArray Section(const QByteArray& body)
{
    return "[UserButtons]\r\n" + body;
}

// The entries a missing key gives: "User Button 1" to "User Button 12", no commands.
std::array<CUserButtonInfo, 12> Defaults()
{
    std::array<CUserButtonInfo, 12> entries;
    for (int k = 0; k < 12; ++k)
        entries[k].Label = QStringLiteral("User Button %1").arg(k + 1);
    return entries;
}

std::array<CUserButtonInfo, 12> Expected(const Overrides& overrides)
{
    std::array<CUserButtonInfo, 12> entries = Defaults();
    for (auto it = overrides.cbegin(); it != overrides.cend(); ++it) {
        const bool label = it.key().startsWith(QLatin1String("Label"));
        const int number = it.key().mid(label ? 5 : 7).toInt();
        (label ? entries[number - 1].Label : entries[number - 1].Command) = it.value();
    }
    return entries;
}

// Twelve entries with everything a user might type into a command or label.
std::array<CUserButtonInfo, 12> Awkward()
{
    std::array<CUserButtonInfo, 12> entries;
    const QString values[] = {
        QStringLiteral("P016=5"),        QStringLiteral("; not a comment"),
        QStringLiteral("a, b, c"),       QStringLiteral("say \"hi\" and 'bye'"),
        QStringLiteral("[UserButtons]"), QStringLiteral("Label1=overwritten?"),
        QStringLiteral("\"left only"),   QStringLiteral("x = y"),
        QStringLiteral("\xb5m/s\xb2"),   QString(),
        QString(255, QLatin1Char('w')),  QStringLiteral("=")};
    for (int k = 0; k < 12; ++k) {
        entries[k].Label = values[k];
        entries[k].Command = values[(k + 5) % 12];
    }
    return entries;
}

} // namespace

class TestButtonFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Overrides>("expected");

        const QByteArray longLabel(300, 'L');
        QTest::newRow("quoted long value cut after the opening quote")
            << Section("Label1=\"" + longLabel + "\"\r\n")
            << Overrides{{"Label1", QString(255, QLatin1Char('L'))}};
        QTest::newRow("commas and inner quotes kept")
            << Section("Label1=a, \"b\", 'c'\r\nCommand1=say \"x\"\r\n")
            << Overrides{{"Label1", "a, \"b\", 'c'"}, {"Command1", "say \"x\""}};
        QTest::newRow("fully enclosing quotes removed")
            << Section("Label1=\"AX=1, 2\"\r\nLabel2='x'\r\nLabel3=\"\"\r\n"
                       "Label4=\"  keeps blanks  \"\r\n")
            << Overrides{{"Label1", "AX=1, 2"},
                         {"Label2", "x"},
                         {"Label3", ""},
                         {"Label4", "  keeps blanks  "}};
        QTest::newRow("unmatched quotes kept")
            << Section("Label1=\"x'\r\nLabel2=\"\r\nLabel3=\"x\r\nLabel4=x\"\r\n")
            << Overrides{
                   {"Label1", "\"x'"}, {"Label2", "\""}, {"Label3", "\"x"}, {"Label4", "x\""}};
        QTest::newRow("names ignore case")
            << QByteArray("[uSERbUTTONS]\r\nLABEL1=a\r\ncommand2=b\r\n")
            << Overrides{{"Label1", "a"}, {"Command2", "b"}};
        QTest::newRow("blanks around names and values")
            << QByteArray("  [ UserButtons ]  \r\n \t Label1 \t=  \t abc def \t \r\n")
            << Overrides{{"Label1", "abc def"}};
        QTest::newRow("first key wins")
            << Section("Label1=first\r\nlabel1=second\r\n[UserButtons]\r\nLABEL1=third\r\n")
            << Overrides{{"Label1", "first"}};
        QTest::newRow("value is everything after the first equals sign")
            << Section("Command1=P016=5\r\nCommand2==\r\n")
            << Overrides{{"Command1", "P016=5"}, {"Command2", "="}};
        QTest::newRow("keys outside the section are ignored")
            << QByteArray(
                   "Label1=before\r\n[Other]\r\nLabel2=other\r\n[UserButtons]\r\nLabel3=mine\r\n"
                   "[More]\r\nLabel4=more\r\n")
            << Overrides{{"Label3", "mine"}};
        QTest::newRow("comments, blank lines and lines without equals sign")
            << Section(";Label1=x\r\n  ; Label2=y\r\n\r\nLabel3\r\nLabel4=w\r\n")
            << Overrides{{"Label4", "w"}};
        QTest::newRow("unknown and malformed key numbers")
            << Section("Label0=a\r\nLabel13=b\r\nLabel01=c\r\nLabel1x=d\r\n"
                       "Label=e\r\nCommand-1=f\r\nLabel 1=g\r\n=h\r\nLabel12=ok\r\n")
            << Overrides{{"Label12", "ok"}};
        QTest::newRow("line feeds only, no final line end")
            << QByteArray("[UserButtons]\nLabel1=a\nCommand12=RUN")
            << Overrides{{"Label1", "a"}, {"Command12", "RUN"}};
        QTest::newRow("8-bit characters")
            << Section("Label1=\xb5m/s\xb2\r\n")
            << Overrides{{"Label1", QStringLiteral("\u00b5m/s\u00b2")}};
        QTest::newRow("UTF-8 with byte order mark")
            << QByteArray("\xef\xbb\xbf[UserButtons]\r\nLabel1=\xe2\x82\xac 5\r\n")
            << Overrides{{"Label1", QStringLiteral("\u20ac 5")}};
        QTest::newRow("UTF-16 with half a surrogate pair")
            << ("\xff\xfe[\0U\0s\0e\0r\0B\0u\0t\0t\0o\0n\0s\0]\0\n\0L\0a\0b\0e\0l\0001\0=\0x\0"
                "\0\xdby\0\n\0L\0a\0b\0e\0l\0002\0=\0\x3d\xd8\x00\xde"_ba)
            << Overrides{{"Label1", QStringLiteral("x\ufffdy")},
                         {"Label2", QStringLiteral("\U0001f600")}};
        QTest::newRow("empty file") << QByteArray() << Overrides{};
        QTest::newRow("binary") << "\x00\xff\x01[\x00]=\n\x1b\x7f=\r\r\n["_ba << Overrides{};
        QTest::newRow("nul inside a value is no line end")
            << "[UserButtons]\r\nLabel1=a\0b\r\nLabel2=c\r\n"_ba
            << Overrides{{"Label1", QString::fromLatin1("a\0b", 3)}, {"Label2", "c"}};
        QTest::newRow("overlong line")
            << Section("Command5=" + QByteArray(1 << 20, 'x') + "\r\nLabel5=ok")
            << Overrides{{"Command5", QString(255, QLatin1Char('x'))}, {"Label5", "ok"}};
    }

    void parse()
    {
        QFETCH(QByteArray, file);
        QFETCH(Overrides, expected);
        QCOMPARE(ParseButtonFile(file), Expected(expected));
    }

    void writesTheFormatsOwnLayout()
    {
        std::array<CUserButtonInfo, 12> entries = Defaults();
        entries[0].Command = QStringLiteral("P016");
        entries[2].Label = QStringLiteral("Go, \"now\"");
        const QByteArray file = FormatButtonFile(entries);
        QVERIFY(file.startsWith("[UserButtons]\r\nLabel1=User Button 1\r\nCommand1=P016\r\n"
                                "Label2=User Button 2\r\nCommand2=\r\nLabel3=Go, \"now\"\r\n"));
        QVERIFY(file.endsWith("Label12=User Button 12\r\nCommand12=\r\n"));
        QCOMPARE(file.count("\r\n"), 25);
    }

    // The defaults, then equals signs, semicolons, quotes, brackets and 8-bit text.
    void roundTrip()
    {
        for (const auto& entries : {Defaults(), Awkward()}) {
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("buttons.btn"));
            QString error;
            QVERIFY2(WriteButtonFile(path, entries, &error), qPrintable(error));
            const auto read = ReadButtonFile(path, &error);
            QVERIFY2(read.has_value(), qPrintable(error));
            QCOMPARE(*read, entries);
        }
    }

    void valuesThatDoNotComeBackExactly_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("read");
        const auto row = [](const char* name, const QString& written, const QString& read) {
            QTest::newRow(name) << written << read;
        };
        // The format's reader trims blanks and drops enclosing quotes, and
        // values are written as they stand, so such values lose those.
        row("leading and trailing blanks", " X ", "X");
        row("fully quoted", "\"Go\"", "Go");
        row("longer than 255", QString(256, u'a'), QString(255, u'a'));
        // A line break would start a new key in the file.
        row("line breaks become spaces", "A\r\nLabel2=B", "A  Label2=B");
        row("beyond 8 bits", u"\u20ac \u4e2d"_s, u"\u20ac \u4e2d"_s);
    }

    void valuesThatDoNotComeBackExactly()
    {
        QFETCH(QString, written);
        QFETCH(QString, read);
        std::array<CUserButtonInfo, 12> entries = Defaults();
        entries[0] = {written, written};
        std::array<CUserButtonInfo, 12> expected = Defaults();
        expected[0] = {read, read};
        QCOMPARE(ParseButtonFile(FormatButtonFile(entries)), expected);
    }

    void unreadableOrUnwritableFileIsReported()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.btn")));
        QFile huge(dir.filePath(QStringLiteral("huge.btn")));
        QVERIFY(huge.open(QIODevice::WriteOnly));
        QVERIFY(huge.resize(16 * 1024 * 1024 + 1)); // one byte over the limit
        huge.close();
        for (const char* name : {"missing.btn", "folder.btn", "huge.btn"}) {
            QString error;
            QVERIFY2(!ReadButtonFile(dir.filePath(QString::fromLatin1(name)), &error), name);
            QVERIFY2(!error.isEmpty(), name);
        }
        QString error;
        QVERIFY(!WriteButtonFile(dir.filePath(QStringLiteral("no/such/folder/b.btn")), Defaults(),
                                 &error));
        QVERIFY(!error.isEmpty());
    }

    void profile()
    {
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat);
        QCOMPARE(ReadUserButtons(settings), Defaults());

        settings.setValue(QStringLiteral("UserButtons/Command3"), QStringLiteral("P016"));
        QCOMPARE(ReadUserButtons(settings), Expected(Overrides{{"Command3", "P016"}}));

        const std::array<CUserButtonInfo, 12> entries = Awkward();
        WriteUserButtons(settings, entries);
        QCOMPARE(settings.value(QStringLiteral("UserButtons/Label1")).toString(), entries[0].Label);
        QCOMPARE(settings.value(QStringLiteral("UserButtons/Command12")).toString(),
                 entries[11].Command);
        QCOMPARE(ReadUserButtons(settings), entries);
    }
};

QTEST_GUILESS_MAIN(TestButtonFile)
#include "tst_buttonfile.moc"
