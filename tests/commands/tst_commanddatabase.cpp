#include "CommandDatabase.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

using namespace Orvex;

class tst_CommandDatabase : public QObject
{
    Q_OBJECT

    // A row of F-elements written "column=text|column=text|...", in that order.
    static QByteArray Row(const char* name, const QByteArray& fields)
    {
        QByteArray row = QByteArray("<") + name + ">";
        for (const QByteArray& field : fields.split('|')) {
            const QByteArray f = "F" + field.left(field.indexOf('='));
            row += "<" + f + ">" + field.mid(field.indexOf('=') + 1) + "</" + f + ">";
        }
        return row + "</" + name + ">\n";
    }
    static QByteArray ErrorRow(const QByteArray& number, const QByteArray& name,
                               const QByteArray& flag = "Y")
    {
        return Row("Error_Table", "1=x|2=" + number + "|5=" + name + "|9=" + flag);
    }
    static QByteArray Table(const QByteArray& rows) { return "<table>\n" + rows + "</table>\n"; }
    static QByteArray Database(const QByteArray& tables,
                               const QByteArray& root = "<database name=\"Parameter Tables.xls\">")
    {
        return "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n" + root + "\n" + tables +
               "</database>\n";
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    CommandDatabaseLists m_lists;
    QStringList m_messages;
    QStringList m_details;

    bool LoadFolder()
    {
        return LoadCommandDatabase(m_lists, m_dir->path(),
                                   [this](const QString& text, const QString& details) {
                                       m_messages << text;
                                       m_details << details;
                                   });
    }

    bool Load(const QByteArray& contents)
    {
        QFile file(CommandDatabasePath(m_dir->path()));
        if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
            qFatal("cannot write the test database");
        file.close();
        return LoadFolder();
    }

    // The numbers of the four lists: "errors|parameters|status|x commands".
    QString Numbers() const
    {
        const auto numbers = [](const auto& list) {
            QStringList texts;
            for (const auto& record : list)
                texts << record->m_Number;
            return texts.join(QLatin1Char(','));
        };
        return QStringList{numbers(m_lists.Errors), numbers(m_lists.Parameters),
                           numbers(m_lists.Status), numbers(m_lists.XCommands)}
            .join(QLatin1Char('|'));
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_lists.Clear();
        m_messages.clear();
        m_details.clear();
    }

    void missingOrUnreadableFile()
    {
        QVERIFY(!LoadFolder());
        const QString full = QDir::toNativeSeparators(m_dir->path() + "/OrvexCommandDatabase.xml");
        QCOMPARE(m_messages, QStringList{"Unable to locate " + full + "."});
        // Something that is not a regular file is not read, and the user is
        // told why.
        m_messages.clear();
        QVERIFY(QDir(m_dir->path()).mkdir("OrvexCommandDatabase.xml"));
        QVERIFY(!LoadFolder());
        QCOMPARE(m_messages, QStringList{"Unable to read " + full + ": it is not a regular file."});
    }

    void textInTheDeclaredEncoding_data()
    {
        QTest::addColumn<QByteArray>("declaration");
        QTest::addColumn<QByteArray>("units");
        QTest::addColumn<QString>("text");
        QTest::newRow("Latin-1") << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>")
                                 << QByteArray("\xb5s \x80") << QStringLiteral("µs \u0080");
        QTest::newRow("UTF-8") << QByteArray("<?xml version='1.0' encoding='utf-8'?>")
                               << QByteArray("\xc2\xb5s") << QStringLiteral("µs");
        QTest::newRow("Windows code page")
            << QByteArray("<?xml version=\"1.0\"?>") << QByteArray("\x93\xb0\x43\x94 \x80")
            << QStringLiteral("“°C” €");
        QTest::newRow("no declaration")
            << QByteArray() << QByteArray("\xb5s \x80") << QStringLiteral("µs €");
    }
    void textInTheDeclaredEncoding()
    {
        QFETCH(QByteArray, declaration);
        QFETCH(QByteArray, units);
        QVERIFY(Load(declaration + "<database name=\"Parameter Tables.xls\">" + Table({}) +
                     Table(Row("Parameter_Table", "2=001|10=" + units + "|15=Y")) + "</database>"));
        QTEST(m_lists.Parameters.at(0)->m_Units, "text");
    }

    void rootIsChecked_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("message"); // empty: loads
        QTest::addColumn<QString>("details"); // shown on request; %1 is the file
        const QString noDatabase = QStringLiteral("Unable to find 'database' element");
        const QString invalid = QStringLiteral("Invalid attribute");
        const QByteArray tables = Table(ErrorRow("01", "Fault"));
        const auto row = [](const char* name, const QByteArray& contents, const QString& message,
                            const char* details = "") {
            QTest::newRow(name) << contents << message << QString(details);
        };
        const char* named = "%1, line 2: the database is named '%2', not 'Parameter Tables.xls'";
        row("good", Database(tables), QString());
        row("name in other case", Database(tables, "<database name=\"parameter tables.xls\">"),
            invalid, named);
        row("name missing", Database(tables, "<database>"), invalid, named);
        row("name with blank", Database(tables, "<database name=\"Parameter Tables.xls \">"),
            invalid, named);
        row("root in other case", "<Database name=\"Parameter Tables.xls\"></Database>", noDatabase,
            "%1: no element named 'database' at the top of the file");
        row("empty file", QByteArray(), noDatabase, "%1, line 1: Element tag not found");
        row("mismatched end tag deep inside",
            Database(Table(ErrorRow("01", "Fault") + "<Error_Table><F2>02</F3></Error_Table>")),
            noDatabase, "%1, line 5: End tag does not correspond to F2");
    }

    void rootIsChecked()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, message);
        QFETCH(QString, details);
        QVERIFY(Load(Database(Table(ErrorRow("99", "Kept")))));
        QCOMPARE(Load(contents), message.isEmpty());
        QCOMPARE(m_messages, message.isEmpty() ? QStringList() : QStringList{message});
        // Why, with the line, for whoever edits the file.
        const QString name = QRegularExpression(QStringLiteral("name=\"([^\"]*)\""))
                                 .match(QString::fromLatin1(contents))
                                 .captured(1);
        QCOMPARE(m_details,
                 message.isEmpty()
                     ? QStringList()
                     : QStringList{details.arg(
                           QDir::toNativeSeparators(CommandDatabasePath(m_dir->path())), name)});
        // A failed load keeps what the lists held; the caller clears them.
        QCOMPARE(Numbers(), message.isEmpty() ? "99,01|||" : "99|||");
    }

    void readsAllFourTables()
    {
        // The second parameter row has F10 (Units) before F4: searching F4 skips
        // past it. The second X command row lacks F3, which then stays empty.
        QVERIFY(Load(Database(
            Table(ErrorRow("07", "a &amp; b") + ErrorRow("12", " \xb0\x43 ")) +
            Table(
                Row("Parameter_Table", "2=001|4=P001|6=Peak Current|9=%.2lf|10=rps|11=0.5|"
                                       "12=20|13=10|14=skipped|15=Y") +
                Row("Parameter_Table", "2=005|10=rps|4=P005|6=Speed|9=%.2lf|11=1|12=2|13=3|15=Y")) +
            Table(Row("Status_Table", "2=03|4=S03|6=Bus Voltage|7=%d|8=A|10=Y")) +
            Table(Row("X_Command_Table", "2=02|3=X02|4=Save|6=Y") +
                  Row("X_Command_Table", "2=04|4=Home|5=extra|6=Y")))));
        QCOMPARE(Numbers(), "07,12|001,005|03|02,04");
        // Field texts are element data, in the encoding the file declares.
        QCOMPARE(m_lists.Errors[0]->m_Name, "a & b");
        QCOMPARE(m_lists.Errors[1]->m_Name, QStringLiteral(" °C "));
        const COrvexParameterCommand& p = *m_lists.Parameters[0];
        QCOMPARE(QStringList({p.m_EquivalentCommand, p.m_Name, p.m_DataFormat, p.m_Units,
                              p.m_Minimum, p.m_Maximum, p.m_Default}),
                 QStringList({"P001", "Peak Current", "%.2lf", "rps", "0.5", "20", "10"}));
        const COrvexParameterCommand& p5 = *m_lists.Parameters[1];
        QCOMPARE(QStringList({p5.m_Units, p5.m_EquivalentCommand, p5.m_Default}),
                 QStringList({"", "P005", "3"}));
        const COrvexStatusCommand& s = *m_lists.Status[0];
        QCOMPARE(QStringList({s.m_EquivalentCommand, s.m_Name, s.m_DataFormat, s.m_Units}),
                 QStringList({"S03", "Bus Voltage", "%d", "A"}));
        const COrvexXCommand& x = *m_lists.XCommands[0];
        const COrvexXCommand& home = *m_lists.XCommands[1];
        QCOMPARE(
            QStringList({x.m_EquivalentCommand, x.m_Name, home.m_EquivalentCommand, home.m_Name}),
            QStringList({"X02", "Save", "", "Home"}));
    }

    // Only a flag of "Y" or "y", white space around it aside, includes a row.
    // Other elements before the tables are passed over; missing tables stay empty.
    void includeFlag()
    {
        QVERIFY(Load(Database(
            "<note/>" +
            Table(ErrorRow("01", "a", "y") + ErrorRow("02", "a", " y ") +
                  ErrorRow("03", "a", "\t\r\nY\r\n") + ErrorRow("04", "a", "<![CDATA[Y]]>") +
                  ErrorRow("91", "a", "N") + ErrorRow("92", "a", "") + ErrorRow("93", "a", "YES") +
                  ErrorRow("94", "a", "Y Y") + Row("Error_Table", "2=95|5=a") +
                  "<Error_Table><F2>96</F2><F9/></Error_Table>" + ErrorRow("05", "a")))));
        QCOMPARE(Numbers(), "01,02,03,04,05|||");
    }

    void tablesAreFoundByPosition()
    {
        // The second table holds status rows: no parameters, and the status rows
        // come from the third table only. Rows of other names are skipped.
        QVERIFY(
            Load(Database(Table(ErrorRow("01", "e") + Row("Status_Table", "2=99|10=Y")) +
                          Table(Row("Status_Table", "2=98|10=Y")) +
                          Table("<Other><F2>00</F2></Other>\n" + Row("Status_Table", "2=05|10=Y") +
                                Row("Parameter_Table", "2=001|15=Y")) +
                          Table(Row("X_Command_Table", "2=01|6=Y") + ErrorRow("02", "wrong")) +
                          Table(Row("X_Command_Table", "2=09|6=Y")))));
        QCOMPARE(Numbers(), "01||05|01");
    }

    // A record's number is read like atoi, so "P5" is 0; numbers outside 0..255
    // are skipped, not wrapped round onto 0 and 255. A later record of a number
    // wins, and a row left out gives nothing.
    void limitsFromTheFile()
    {
        QVERIFY(Load(
            Database(Table("") + Table(Row("Parameter_Table", "2=016|11=5|12=10|13=7|15=Y") +
                                       Row("Parameter_Table", "2=016|11=0|12=32767.5|13=100|15=Y") +
                                       Row("Parameter_Table", "2=017|11=1|12=2|13=3|15=N") +
                                       Row("Parameter_Table", "2=018|11=abc|12=1e3|13= +2|15=Y") +
                                       Row("Parameter_Table", "2=P5|11=-10.5|12=6|15=Y") +
                                       Row("Parameter_Table", "2=255|11=3|15=Y") +
                                       Row("Parameter_Table", "2=256|11=1|12=1|13=1|15=Y") +
                                       Row("Parameter_Table", "2=-1|11=1|12=1|13=1|15=Y")))));
        ParameterLimits limits;
        FillParameterLimits(m_lists, limits);
        const QHash<int, QList<double>> expected{
            {16, {0, 32767.5, 100}}, {18, {0, 1000, 2}}, {0, {-10.5, 6, 0}}, {255, {3, 0, 0}}};
        for (int n = 0; n < ParameterLimits::Count; ++n) {
            const ParameterLimits::Entry& entry = limits[n];
            QCOMPARE(QList<double>({entry.Minimum, entry.Maximum, entry.Default}),
                     expected.value(n, QList<double>(3, 0.0)));
        }
        QVERIFY(limits.Contains(16, 32767.5));
        QVERIFY(!limits.Contains(16, -0.01));
    }

    // LeadingInteger reads like atoi, LeadingDecimal like atof in the C locale.
    void leadingNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("integer");
        QTest::addColumn<double>("decimal");
        const int intMax = std::numeric_limits<int>::max();
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("white space and sign") << " \t-12" << -12 << -12.0;
        QTest::newRow("no digits") << "abc" << 0 << 0.0;
        QTest::newRow("sign only") << "-" << 0 << 0.0;
        QTest::newRow("double sign") << "--1" << 0 << 0.0;
        QTest::newRow("non-ASCII digits") << QString::fromUtf8("\xd9\xa3") << 0 << 0.0;
        QTest::newRow("overflow clamps") << "99999999999999999999" << intMax << 1e20;
        QTest::newRow("underflow clamps")
            << "-99999999999999999999" << std::numeric_limits<int>::min() << -1e20;
        QTest::newRow("white space and plus") << " \n+2.5xyz" << 2 << 2.5;
        QTest::newRow("point first") << ".5" << 0 << 0.5;
        QTest::newRow("exponent") << "1.5e3" << 1 << 1500.0;
        QTest::newRow("hexadecimal") << "0x1A" << 0 << 26.0;
        QTest::newRow("hex prefix alone") << "0x" << 0 << 0.0;
        QTest::newRow("overflow") << "1e999" << 1 << inf;
        QTest::newRow("underflow") << "1e-999" << 1 << 0.0;
        QTest::newRow("infinity") << "INF" << 0 << inf;
    }

    void leadingNumbers()
    {
        QFETCH(QString, text);
        QFETCH(int, integer);
        QFETCH(double, decimal);
        QCOMPARE(LeadingInteger(text), integer);
        QCOMPARE(LeadingDecimal(text), decimal);
    }
};

QTEST_GUILESS_MAIN(tst_CommandDatabase)
#include "tst_commanddatabase.moc"
