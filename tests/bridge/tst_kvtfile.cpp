#include "ComponentError.h"
#include "ConfigurationValues.h"
#include "KvtFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

using Orvex::ComponentError;
using Orvex::ConfigurationValues;
using Orvex::KvtFile;

namespace {

// A configuration far from the defaults, with floats that do not survive a
// short decimal print and a part number full of awkward characters.
ConfigurationValues UnusualConfiguration()
{
    ConfigurationValues values;
    int step = 1;
    for (const ConfigurationValues::Property& property : ConfigurationValues::Properties()) {
        switch (property.Type) {
        case ConfigurationValues::ValueType::Int:
            values.SetInt(property.DispatchId, -1000 * step + 7);
            break;
        case ConfigurationValues::ValueType::Float:
            values.SetFloat(property.DispatchId, 0.1f * static_cast<float>(step) / 3.0f + 1e-7f);
            break;
        case ConfigurationValues::ValueType::Bool:
            values.SetBool(property.DispatchId, step % 2 == 1);
            break;
        case ConfigurationValues::ValueType::Text:
            values.SetText(property.DispatchId,
                           QStringLiteral("AKM=21C \\ back\nslash\r\u00b5 \\n"));
            break;
        }
        ++step;
    }
    return values;
}

void WriteText(const QString& path, const QByteArray& text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

class TestKvtFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void savedConfigurationReadsBackExactly();
    void fileStartsWithItsVersionAndNamesEverySetting();
    void windowsLineEndsAreRead();
    void settingsMissingFromTheFileTakeTheirDefaults();
    void damagedFileIsRefusedNamingTheLine_data();
    void damagedFileIsRefusedNamingTheLine();
    void missingFileIsRefused();
    void failedSaveKeepsTheOldFile();
    void everyPropertyHasOneRowAndItsOwnParameter();
};

void TestKvtFile::savedConfigurationReadsBackExactly()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("motor.kvt"));
    const ConfigurationValues saved = UnusualConfiguration();
    KvtFile::Write(path, saved);

    ConfigurationValues loaded;
    KvtFile::Read(path, loaded);
    QVERIFY(loaded == saved);
    QCOMPARE(loaded.Text(3), saved.Text(3));
    QCOMPARE(loaded.Float(13), saved.Float(13));

    // The defaults too: a fresh configuration saved and opened is unchanged.
    KvtFile::Write(path, ConfigurationValues());
    KvtFile::Read(path, loaded);
    QVERIFY(loaded == ConfigurationValues());
}

void TestKvtFile::fileStartsWithItsVersionAndNamesEverySetting()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("motor.kvt"));
    ConfigurationValues values;
    values.SetFloat(4, 12.5f);
    values.SetText(3, QStringLiteral("AKM21C"));
    KvtFile::Write(path, values);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.first(), QByteArray("ORVEX-KVT 1"));
    QVERIFY(lines.contains("MotorRatedSpeed=12.5"));
    QVERIFY(lines.contains("MotorPartNumber=AKM21C"));
    // Header, one line per setting, and the empty piece after the last break.
    QCOMPARE(lines.size(), static_cast<qsizetype>(ConfigurationValues::Properties().size()) + 2);
}

void TestKvtFile::windowsLineEndsAreRead()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("crlf.kvt"));
    WriteText(path, "ORVEX-KVT 1\r\nMotorPolePairs=6\r\nMotorPartNumber=X1\r\n");
    ConfigurationValues values;
    KvtFile::Read(path, values);
    QCOMPARE(values.Int(5), 6);
    QCOMPARE(values.Text(3), QStringLiteral("X1"));
}

void TestKvtFile::settingsMissingFromTheFileTakeTheirDefaults()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("short.kvt"));
    WriteText(path, "ORVEX-KVT 1\nMotorPolePairs=6\n");
    ConfigurationValues values = UnusualConfiguration();
    KvtFile::Read(path, values);
    ConfigurationValues expected;
    expected.SetInt(5, 6);
    QVERIFY(values == expected);
}

void TestKvtFile::damagedFileIsRefusedNamingTheLine_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty file") << QByteArray() << "line 1: not an Orvex configuration file";
    QTest::newRow("foreign file") << QByteArray("[Settings]\nKp=1\n")
                                  << "line 1: not an Orvex configuration file";
    QTest::newRow("newer version")
        << QByteArray("ORVEX-KVT 2\nMotorPolePairs=6\n") << "line 1: unsupported version '2'";
    QTest::newRow("unknown setting")
        << QByteArray("ORVEX-KVT 1\nMotorPolePairs=6\nFoo=1\n") << "line 3: unknown setting 'Foo'";
    QTest::newRow("set twice") << QByteArray(
                                      "ORVEX-KVT 1\nMotorKe=3\nMotorPolePairs=6\nMotorKe=4\n")
                               << "line 4: 'MotorKe' is set twice (first on line 2)";
    QTest::newRow("not a number") << QByteArray("ORVEX-KVT 1\nMotorKe=fast\n")
                                  << "line 2: bad value 'fast' for MotorKe";
    QTest::newRow("fraction in an integer") << QByteArray("ORVEX-KVT 1\nMotorPolePairs=2.5\n")
                                            << "line 2: bad value '2.5' for MotorPolePairs";
    QTest::newRow("boolean out of range") << QByteArray("ORVEX-KVT 1\nCurrentFoldback=2\n")
                                          << "line 2: bad value '2' for CurrentFoldback";
    QTest::newRow("not finite") << QByteArray("ORVEX-KVT 1\nMotorKe=nan\n")
                                << "line 2: bad value 'nan' for MotorKe";
    QTest::newRow("float overflow")
        << QByteArray("ORVEX-KVT 1\nMotorKe=1e60\n") << "line 2: bad value '1e60' for MotorKe";
    QTest::newRow("missing equals") << QByteArray("ORVEX-KVT 1\nMotorKe 3\n")
                                    << "line 2: 'MotorKe 3' is not a Name=value setting";
    QTest::newRow("bad escape") << QByteArray("ORVEX-KVT 1\nMotorPartNumber=A\\tB\n")
                                << "line 2: bad value 'A\\tB' for MotorPartNumber";
}

void TestKvtFile::damagedFileIsRefusedNamingTheLine()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.kvt"));
    WriteText(path, content);

    const ConfigurationValues before = UnusualConfiguration();
    ConfigurationValues values = before;
    try {
        KvtFile::Read(path, values);
        QFAIL("the file was accepted");
    } catch (const ComponentError& error) {
        QCOMPARE(error.Description(), QStringLiteral("%1, %2").arg(path, message));
    }
    QVERIFY(values == before);
}

void TestKvtFile::missingFileIsRefused()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("none.kvt"));
    ConfigurationValues values;
    try {
        KvtFile::Read(path, values);
        QFAIL("a missing file was accepted");
    } catch (const ComponentError& error) {
        QVERIFY2(error.Description().startsWith(
                     QStringLiteral("Unable to open configuration file %1: ").arg(path)),
                 qPrintable(error.Description()));
    }
}

void TestKvtFile::failedSaveKeepsTheOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("motor.kvt"));
    ConfigurationValues values;
    KvtFile::Write(path, values);
    QFile original(path);
    QVERIFY(original.open(QIODevice::ReadOnly));
    const QByteArray before = original.readAll();
    original.close();

    // A value no file can hold back refuses the save before the file is touched.
    values.SetFloat(13, std::numeric_limits<float>::quiet_NaN());
    QVERIFY_THROWS_EXCEPTION(ComponentError, KvtFile::Write(path, values));
    QVERIFY(original.open(QIODevice::ReadOnly));
    QCOMPARE(original.readAll(), before);

    const QString noFolder = dir.filePath(QStringLiteral("missing/motor.kvt"));
    try {
        KvtFile::Write(noFolder, ConfigurationValues());
        QFAIL("a file was written into a missing folder");
    } catch (const ComponentError& error) {
        QVERIFY(
            error.Description().startsWith(QStringLiteral("Unable to save configuration file")));
    }
}

void TestKvtFile::everyPropertyHasOneRowAndItsOwnParameter()
{
    // Two properties on one drive parameter would overwrite each other on a
    // download; only the two integral limits share one, chosen by control mode.
    std::map<int, QString> owners;
    for (const ConfigurationValues::Property& property : ConfigurationValues::Properties()) {
        QVERIFY2(ConfigurationValues::FindById(property.DispatchId) == &property, property.Name);
        if (property.Parameter < 0) {
            continue;
        }
        const auto [owner, fresh] =
            owners.emplace(property.Parameter, QLatin1String(property.Name));
        if (!fresh) {
            QCOMPARE(property.Parameter, 178);
        }
    }
}

QTEST_GUILESS_MAIN(TestKvtFile)
#include "tst_kvtfile.moc"
