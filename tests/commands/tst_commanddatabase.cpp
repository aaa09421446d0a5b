#include "CommandDatabase.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

using namespace Orvex;

namespace {

const QByteArray GoodRoot = "<database name=\"Parameter Tables.xls\">";

QByteArray Row(const QByteArray& rowName, const QList<QPair<int, QByteArray>>& fields)
{
    QByteArray row = "<" + rowName + ">";
    for (const auto& [column, data] : fields)
        row += "<F" + QByteArray::number(column) + ">" + data + "</F" + QByteArray::number(column) +
               ">";
    return row + "</" + rowName + ">\n";
}

QByteArray Table(const QByteArray& rows)
{
    return "<table>\n" + rows + "</table>\n";
}

QByteArray Database(const QByteArray& tables, const QByteArray& root = GoodRoot)
{
    return "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n" + root + "\n" + tables +
           "</database>\n";
}

QByteArray ErrorRow(const QByteArray& number, const QByteArray& name, const QByteArray& flag = "Y")
{
    return Row("Error_Table", {{1, "x"}, {2, number}, {5, name}, {9, flag}});
}

QByteArray ParameterRow(const QByteArray& number, const QByteArray& name, const QByteArray& minimum,
                        const QByteArray& maximum, const QByteArray& defaultValue,
                        const QByteArray& flag = "Y")
{
    return Row("Parameter_Table", {{2, number},
                                   {4, "P" + number},
                                   {6, name},
                                   {9, "%.2lf"},
                                   {10, "rps"},
                                   {11, minimum},
                                   {12, maximum},
                                   {13, defaultValue},
                                   {14, "skipped"},
                                   {15, flag}});
}

QByteArray StatusRow(const QByteArray& number, const QByteArray& name)
{
    return Row("Status_Table",
               {{2, number}, {4, "S" + number}, {6, name}, {7, "%d"}, {8, "A"}, {10, "Y"}});
}

QByteArray XRow(const QByteArray& number, const QByteArray& name)
{
    return Row("X_Command_Table", {{2, number}, {3, "X" + number}, {4, name}, {6, "Y"}});
}

} // namespace

class tst_CommandDatabase : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void missingFileNamesFullPath();
    void unreadableFileFailsSilently();
    void rootIsChecked_data();
    void rootIsChecked();
    void failureKeepsWhatTheListsHeld();
    void readsAllFourTables();
    void includeFlag_data();
    void includeFlag();
    void tablesAreFoundByPosition();
    void missingTablesAreSkipped();
    void fieldSearchOnlyMovesForward();
    void missingFieldLeavesItEmpty();
    void fieldTextIsElementData();

    void fillParameterLimits_data();
    void fillParameterLimits();
    void laterRecordWins();
    void limitsFromTheFile();
    void leadingInteger_data();
    void leadingInteger();
    void leadingDecimal_data();
    void leadingDecimal();

    void shippedDatabaseLoads();

private:
    bool Load(const QByteArray& contents);

    std::unique_ptr<QTemporaryDir> m_dir;
    CommandDatabaseLists m_lists;
    QStringList m_messages;
};

void tst_CommandDatabase::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_lists.Clear();
    m_messages.clear();
}

bool tst_CommandDatabase::Load(const QByteArray& contents)
{
    QFile file(CommandDatabasePath(m_dir->path()));
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
        qFatal("cannot write the test database");
    file.close();
    return LoadCommandDatabase(m_lists, m_dir->path(),
                               [this](const QString& text) { m_messages << text; });
}

void tst_CommandDatabase::missingFileNamesFullPath()
{
    QVERIFY(!LoadCommandDatabase(m_lists, m_dir->path(),
                                 [this](const QString& text) { m_messages << text; }));
    const QString full = QDir::toNativeSeparators(m_dir->path() + "/OrvexCommandDatabase.xml");
    QCOMPARE(m_messages, QStringList{"Unable to locate " + full + "."});
}

void tst_CommandDatabase::unreadableFileFailsSilently()
{
    // A folder under the file's name exists but cannot be read as a file.
    QVERIFY(QDir(m_dir->path()).mkdir("OrvexCommandDatabase.xml"));
    QVERIFY(!LoadCommandDatabase(m_lists, m_dir->path(),
                                 [this](const QString& text) { m_messages << text; }));
    QVERIFY(m_messages.isEmpty());
}

void tst_CommandDatabase::rootIsChecked_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("logged");

    const QString noDatabase = QStringLiteral("Unable to find 'database' element");
    const QString invalid = QStringLiteral("Invalid attribute");
    const QByteArray tables = Table(ErrorRow("01", "Fault"));

    QTest::newRow("good") << Database(tables) << QString() << QString();
    QTest::newRow("single quotes")
        << Database(tables, "<database name='Parameter Tables.xls'>") << QString() << QString();
    QTest::newRow("name in other case")
        << Database(tables, "<database name=\"parameter tables.xls\">") << invalid << QString();
    QTest::newRow("name missing") << Database(tables, "<database>") << invalid << QString();
    QTest::newRow("name with blank")
        << Database(tables, "<database name=\"Parameter Tables.xls \">") << invalid << QString();
    QTest::newRow("numeric reference not translated")
        << Database(tables, "<database name=\"Parameter&#32;Tables.xls\">") << invalid << QString();
    QTest::newRow("root in other case")
        << QByteArray("<Database name=\"Parameter Tables.xls\"></Database>") << noDatabase
        << QString();
    QTest::newRow("empty file") << QByteArray() << noDatabase << "Element tag not found";
    QTest::newRow("mismatched end tag deep inside")
        << Database(Table(ErrorRow("01", "Fault") + "<Error_Table><F2>02</F3></Error_Table>"))
        << noDatabase << "End tag does not correspond to F2";
    QTest::newRow("database never closed") << QByteArray(GoodRoot + Table(ErrorRow("01", "Fault")))
                                           << noDatabase << "End tag of database element not found";
}

void tst_CommandDatabase::rootIsChecked()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, message);
    QFETCH(QString, logged);

    // The parse error is not shown to the user, only logged for whoever
    // edits the file.
    if (!logged.isEmpty())
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("OrvexCommandDatabase.xml : " + logged + "$"));
    QCOMPARE(Load(contents), message.isEmpty());
    QCOMPARE(m_messages, message.isEmpty() ? QStringList() : QStringList{message});
}

void tst_CommandDatabase::failureKeepsWhatTheListsHeld()
{
    QVERIFY(Load(Database(Table(ErrorRow("01", "Fault")))));
    QCOMPARE(m_lists.Errors.size(), 1u);
    QVERIFY(!Load(Database("", "<database name=\"other\">")));
    QCOMPARE(m_lists.Errors.size(), 1u);
    QCOMPARE(m_lists.Errors[0]->m_Name, "Fault");
}

void tst_CommandDatabase::readsAllFourTables()
{
    QVERIFY(Load(Database(Table(ErrorRow("07", "Over Temperature") + ErrorRow("12", "Feedback")) +
                          Table(ParameterRow("001", "Peak Current", "0.5", "20", "10")) +
                          Table(StatusRow("03", "Bus Voltage")) + Table(XRow("02", "Save")))));
    QVERIFY(m_messages.isEmpty());

    QCOMPARE(m_lists.Errors.size(), 2u);
    QCOMPARE(m_lists.Errors[0]->m_Number, "07");
    QCOMPARE(m_lists.Errors[0]->m_Name, "Over Temperature");
    QCOMPARE(m_lists.Errors[1]->m_Number, "12");

    QCOMPARE(m_lists.Parameters.size(), 1u);
    const COrvexParameterCommand& p = *m_lists.Parameters[0];
    QCOMPARE(p.m_Number, "001");
    QCOMPARE(p.m_EquivalentCommand, "P001");
    QCOMPARE(p.m_Name, "Peak Current");
    QCOMPARE(p.m_DataFormat, "%.2lf");
    QCOMPARE(p.m_Units, "rps");
    QCOMPARE(p.m_Minimum, "0.5");
    QCOMPARE(p.m_Maximum, "20");
    QCOMPARE(p.m_Default, "10");

    QCOMPARE(m_lists.Status.size(), 1u);
    const COrvexStatusCommand& s = *m_lists.Status[0];
    QCOMPARE(s.m_Number, "03");
    QCOMPARE(s.m_EquivalentCommand, "S03");
    QCOMPARE(s.m_Name, "Bus Voltage");
    QCOMPARE(s.m_DataFormat, "%d");
    QCOMPARE(s.m_Units, "A");

    QCOMPARE(m_lists.XCommands.size(), 1u);
    const COrvexXCommand& x = *m_lists.XCommands[0];
    QCOMPARE(x.m_Number, "02");
    QCOMPARE(x.m_EquivalentCommand, "X02");
    QCOMPARE(x.m_Name, "Save");
}

void tst_CommandDatabase::includeFlag_data()
{
    QTest::addColumn<QByteArray>("row");
    QTest::addColumn<bool>("included");

    QTest::newRow("Y") << ErrorRow("01", "a", "Y") << true;
    QTest::newRow("y") << ErrorRow("01", "a", "y") << true;
    QTest::newRow(" y ") << ErrorRow("01", "a", " y ") << true;
    QTest::newRow("tabs and line breaks") << ErrorRow("01", "a", "\t\r\nY\r\n") << true;
    QTest::newRow("CDATA") << ErrorRow("01", "a", "<![CDATA[Y]]>") << true;
    QTest::newRow("N") << ErrorRow("01", "a", "N") << false;
    QTest::newRow("empty") << ErrorRow("01", "a", "") << false;
    QTest::newRow("YES") << ErrorRow("01", "a", "YES") << false;
    QTest::newRow("Y Y") << ErrorRow("01", "a", "Y Y") << false;
    QTest::newRow("missing") << Row("Error_Table", {{2, "01"}, {5, "a"}}) << false;
    QTest::newRow("empty element")
        << QByteArray("<Error_Table><F2>01</F2><F9/></Error_Table>") << false;
}

void tst_CommandDatabase::includeFlag()
{
    QFETCH(QByteArray, row);
    QFETCH(bool, included);

    QVERIFY(Load(Database(Table(row + ErrorRow("02", "b")))));
    QCOMPARE(m_lists.Errors.size(), included ? 2u : 1u);
    QCOMPARE(m_lists.Errors.back()->m_Number, "02");
    QVERIFY(m_messages.isEmpty());
}

void tst_CommandDatabase::tablesAreFoundByPosition()
{
    // The second table holds status rows: no parameters, and the status rows
    // come from the third table only. Rows of other names are skipped.
    const QByteArray tables = Table(ErrorRow("01", "e") + StatusRow("99", "wrong place")) +
                              Table(StatusRow("98", "wrong table")) +
                              Table("<Other><F2>00</F2></Other>\n" + StatusRow("05", "right") +
                                    ParameterRow("001", "wrong", "0", "1", "0")) +
                              Table(XRow("01", "x") + ErrorRow("02", "wrong")) +
                              Table(XRow("09", "fifth table"));
    QVERIFY(Load(Database(tables)));
    QCOMPARE(m_lists.Errors.size(), 1u);
    QCOMPARE(m_lists.Errors[0]->m_Number, "01");
    QVERIFY(m_lists.Parameters.empty());
    QCOMPARE(m_lists.Status.size(), 1u);
    QCOMPARE(m_lists.Status[0]->m_Number, "05");
    QCOMPARE(m_lists.XCommands.size(), 1u);
    QCOMPARE(m_lists.XCommands[0]->m_Number, "01");
}

void tst_CommandDatabase::missingTablesAreSkipped()
{
    QVERIFY(Load(Database("<note/>" + Table(ErrorRow("01", "e")) +
                          Table(ParameterRow("002", "p", "0", "1", "0")))));
    QCOMPARE(m_lists.Errors.size(), 1u);
    QCOMPARE(m_lists.Parameters.size(), 1u);
    QVERIFY(m_lists.Status.empty());
    QVERIFY(m_lists.XCommands.empty());

    m_lists.Clear();
    QVERIFY(Load(Database("")));
    QVERIFY(m_lists.Errors.empty());
    QVERIFY(m_messages.isEmpty());
}

void tst_CommandDatabase::fieldSearchOnlyMovesForward()
{
    // F10 (Units) stands before F4: searching F4 skips past it.
    QVERIFY(Load(Database(Table("") + Table(Row("Parameter_Table", {{2, "005"},
                                                                    {10, "rps"},
                                                                    {4, "P005"},
                                                                    {6, "Speed"},
                                                                    {9, "%.2lf"},
                                                                    {11, "1"},
                                                                    {12, "2"},
                                                                    {13, "3"},
                                                                    {15, "Y"}})))));
    QCOMPARE(m_lists.Parameters.size(), 1u);
    const COrvexParameterCommand& p = *m_lists.Parameters[0];
    QCOMPARE(p.m_Units, QString());
    QCOMPARE(p.m_EquivalentCommand, "P005");
    QCOMPARE(p.m_Default, "3");
}

void tst_CommandDatabase::missingFieldLeavesItEmpty()
{
    QVERIFY(Load(
        Database(Table("") + Table("") + Table("") +
                 Table(Row("X_Command_Table", {{2, "04"}, {4, "Home"}, {5, "extra"}, {6, "Y"}})))));
    QCOMPARE(m_lists.XCommands.size(), 1u);
    QCOMPARE(m_lists.XCommands[0]->m_EquivalentCommand, QString());
    QCOMPARE(m_lists.XCommands[0]->m_Name, "Home");
}

void tst_CommandDatabase::fieldTextIsElementData()
{
    QVERIFY(
        Load(Database(Table(ErrorRow("01", "a &amp; b &copy;") + ErrorRow("02", "<![CDATA[x<y]]>") +
                            ErrorRow("03", " \xc2\xb0"
                                           "C ")))));
    QCOMPARE(m_lists.Errors.size(), 3u);
    QCOMPARE(m_lists.Errors[0]->m_Name, "a & b &copy;");
    QCOMPARE(m_lists.Errors[1]->m_Name, "x<y");
    QCOMPARE(m_lists.Errors[2]->m_Name, QString::fromUtf8(" \xc2\xb0"
                                                          "C "));
}

void tst_CommandDatabase::fillParameterLimits_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("minimum");
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("expected");
    const auto row = [](const char* name, const char* number, const char* minimum, int index,
                        double expected) {
        QTest::newRow(name) << QString(number) << QString(minimum) << index << expected;
    };
    row("leading zeros", "016", "-10.5", 16, -10.5);
    row("no leading zeros", "7", "2", 7, 2.0);
    row("first entry", "000", "1", 0, 1.0);
    row("last entry", "255", "3", 255, 3.0);
    row("not a number", "020", "abc", 20, 0.0);
    row("digits then text", " 12abc", "4", 12, 4.0);
    row("number without digits is P0", "P5", "6", 0, 6.0);
    row("256 skipped", "256", "1", -1, 0.0);
    row("negative skipped", "-1", "1", -1, 0.0);
    row("huge skipped", "99999999999999999999999", "1", -1, 0.0);
    row("4294967312 is not 16", "4294967312", "1", -1, 0.0);
}

void tst_CommandDatabase::fillParameterLimits()
{
    QFETCH(QString, number);
    QFETCH(QString, minimum);
    QFETCH(int, index);
    QFETCH(double, expected);

    CommandDatabaseLists lists;
    auto record = std::make_unique<COrvexParameterCommand>();
    record->m_Number = number;
    record->m_Minimum = minimum;
    record->m_Maximum = "100";
    record->m_Default = "x";
    lists.Parameters.push_back(std::move(record));

    ParameterLimits limits;
    FillParameterLimits(lists, limits);
    for (int n = 0; n < ParameterLimits::Count; ++n) {
        if (n == index) {
            QCOMPARE(limits[n].Minimum, expected);
            QCOMPARE(limits[n].Maximum, 100.0);
            QCOMPARE(limits[n].Default, 0.0);
        } else {
            QCOMPARE(limits[n].Minimum, 0.0);
            QCOMPARE(limits[n].Maximum, 0.0);
        }
    }
}

void tst_CommandDatabase::laterRecordWins()
{
    CommandDatabaseLists lists;
    for (const char* maximum : {"10", "20"}) {
        auto record = std::make_unique<COrvexParameterCommand>();
        record->m_Number = "003";
        record->m_Maximum = maximum;
        lists.Parameters.push_back(std::move(record));
    }
    ParameterLimits limits;
    FillParameterLimits(lists, limits);
    QCOMPARE(limits[3].Maximum, 20.0);
}

void tst_CommandDatabase::limitsFromTheFile()
{
    QVERIFY(Load(Database(Table("") + Table(ParameterRow("016", "Gain", "0", "32767.5", "100") +
                                            ParameterRow("017", "Off", "1", "2", "3", "N") +
                                            ParameterRow("018", "Bad", "abc", "1e3", " +2")))));
    ParameterLimits limits;
    FillParameterLimits(m_lists, limits);
    QCOMPARE(limits[16].Maximum, 32767.5);
    QCOMPARE(limits[16].Default, 100.0);
    QVERIFY(limits.Contains(16, 32767.5));
    QVERIFY(!limits.Contains(16, -0.01));
    QCOMPARE(limits[17].Maximum, 0.0);
    QCOMPARE(limits[18].Minimum, 0.0);
    QCOMPARE(limits[18].Maximum, 1000.0);
    QCOMPARE(limits[18].Default, 2.0);
}

void tst_CommandDatabase::leadingInteger_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");

    QTest::newRow("plain") << "42" << 42;
    QTest::newRow("leading zeros") << "007" << 7;
    QTest::newRow("white space and sign") << " \t-12" << -12;
    QTest::newRow("plus") << "+3" << 3;
    QTest::newRow("stops at text") << "12.9" << 12;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("no digits") << "abc" << 0;
    QTest::newRow("sign only") << "-" << 0;
    QTest::newRow("double sign") << "--1" << 0;
    QTest::newRow("non-ASCII digits") << QString::fromUtf8("\xd9\xa3") << 0;
    QTest::newRow("overflow clamps") << "99999999999999999999" << std::numeric_limits<int>::max();
    QTest::newRow("underflow clamps") << "-99999999999999999999" << std::numeric_limits<int>::min();
}

void tst_CommandDatabase::leadingInteger()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(LeadingInteger(text), value);
}

void tst_CommandDatabase::leadingDecimal_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");

    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("decimal") << "-0.25" << -0.25;
    QTest::newRow("white space and plus") << " \n+2.5xyz" << 2.5;
    QTest::newRow("point first") << ".5" << 0.5;
    QTest::newRow("point last") << "5." << 5.0;
    QTest::newRow("exponent") << "1.5e3" << 1500.0;
    QTest::newRow("exponent without digits") << "2e" << 2.0;
    QTest::newRow("comma is no decimal point") << "1,5" << 1.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("sign only") << "-" << 0.0;
    QTest::newRow("double sign") << "+-1" << 0.0;
    QTest::newRow("hexadecimal") << "0x1A" << 26.0;
    QTest::newRow("hex prefix alone") << "0x" << 0.0;
    QTest::newRow("overflow") << "1e999" << inf;
    QTest::newRow("negative overflow") << "-1e999" << -inf;
    QTest::newRow("long overflow") << QString(400, '9') << inf;
    QTest::newRow("underflow") << "1e-999" << 0.0;
    QTest::newRow("small fraction underflow") << "0." + QString(400, '0') + "1" << 0.0;
    QTest::newRow("infinity") << "INF" << inf;
}

void tst_CommandDatabase::leadingDecimal()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(LeadingDecimal(text), value);
}

void tst_CommandDatabase::shippedDatabaseLoads()
{
    const QString dataDir = qEnvironmentVariable("ORVEX_DATA_DIR");
    if (dataDir.isEmpty() || !QFile::exists(CommandDatabasePath(dataDir)))
        QSKIP("no command database in ORVEX_DATA_DIR");
    QVERIFY(
        LoadCommandDatabase(m_lists, dataDir, [this](const QString& text) { m_messages << text; }));
    QVERIFY(m_messages.isEmpty());
    QVERIFY(!m_lists.Errors.empty());
    QVERIFY(!m_lists.Parameters.empty());
    QVERIFY(!m_lists.Status.empty());
    QVERIFY(!m_lists.XCommands.empty());
    // The browser finds a parameter again by its three-digit number.
    for (const auto& record : m_lists.Parameters) {
        const int number = LeadingInteger(record->m_Number);
        QVERIFY2(number >= 0 && number < ParameterLimits::Count, qPrintable(record->m_Number));
        QCOMPARE(record->m_Number, QString::asprintf("%03d", number));
        QVERIFY2(LeadingDecimal(record->m_Minimum) <= LeadingDecimal(record->m_Maximum),
                 qPrintable(record->m_Number));
    }
}

QTEST_GUILESS_MAIN(tst_CommandDatabase)

#include "tst_commanddatabase.moc"
