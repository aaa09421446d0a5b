// The drive snapshot on the simulated drive, byte for byte, and its reader.
#include "CommandDatabase.h"
#include "ComponentFactory.h"
#include "FakeMainWindow.h"
#include "OrvexConfig.h"
#include "SimulatedProgram.h"
#include "SnapshotReader.h"
#include "SystemSnapshot.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTest>

using Orvex::SnapshotReader;
using Orvex::SnapshotText;
using Orvex::SystemSnapshot;

namespace {

const QString kConfigTitle = SnapshotReader::ConfigurationTitle;

// The simulated drive with its clock stopped, and the snapshot's clock and
// system line fixed, so the text is the same on every run.
struct Rig
{
    Rig()
    {
        program.Drive().SetClock([] { return qint64(0); });
        window.Port = program.SimulatorPort();
    }
    std::optional<QString> Take()
    {
        Orvex::SnapshotEnvironment environment;
        environment.Now = [] { return QDateTime(QDate(2012, 7, 4), QTime(14, 5, 9)); };
        environment.SystemLine = [] {
            return std::optional<QString>(QStringLiteral("Test System 1.0, linux 6.1.0, x86_64"));
        };
        environment.ProductVersion = QStringLiteral("1,0,0,0001");
        SystemSnapshot snapshot(program.context, window, environment);
        return snapshot.Take();
    }

    OrvexTest::SimulatedProgram program;
    OrvexTest::FakeMainWindow window;
};

QString Title(const char* title)
{
    return SnapshotText::SectionTitle(title);
}

} // namespace

class TestSystemSnapshot : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void goldenFromTheSimulatedDrive();
    void header_data();
    void header();
    void operatingSystem();
    void componentVersions();
    void configurationRules_data();
    void configurationRules();
    void driveStopsAnswering_data();
    void driveStopsAnswering();
    void readerRoundTrips();
    void comparingTwoSnapshots_data();
    void comparingTwoSnapshots();
};

void TestSystemSnapshot::goldenFromTheSimulatedDrive()
{
    Rig rig;
    const std::optional<QString> text = rig.Take();
    QVERIFY(text);
    const QByteArray bytes = SnapshotText::Encode(*text);
    QFile golden(QStringLiteral(ORVEX_GOLDEN_SNAPSHOT));
    QVERIFY(golden.open(QIODevice::ReadOnly));
    const QByteArray expected = golden.readAll();
    if (bytes != expected) {
        QFile actual(QDir::temp().filePath(QStringLiteral("snapshot_actual.txt")));
        if (actual.open(QIODevice::WriteOnly))
            actual.write(bytes);
        qWarning("The snapshot taken is in %s", qPrintable(actual.fileName()));
    }
    // Line by line first, so a difference reads well; then every byte.
    QCOMPARE(QString::fromLatin1(bytes).split(QStringLiteral("\r\n")),
             QString::fromLatin1(expected).split(QStringLiteral("\r\n")));
    QCOMPARE(bytes, expected);
    QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
    QVERIFY(rig.program.ui.Messages.empty());
    // Each drive action behind its wait window and followed by its pause.
    QCOMPARE(rig.program.ui.WaitTexts,
             QStringList({"Testing Orvex connection...", "Uploading Orvex configuration...",
                          "Testing Orvex connection...", "Uploading Orvex bit status...",
                          "Uploading Orvex numeric status..."}));
    QCOMPARE(rig.program.ui.Pauses, std::vector<int>(5, 1000));
    QCOMPARE(rig.program.ui.OpenWaitWindows, 0);
    QCOMPARE(rig.window.StopRequests, 2);
}

void TestSystemSnapshot::header_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::newRow("afternoon") << QDateTime(QDate(2012, 7, 4), QTime(14, 5, 9)) << "07/04/2012"
                               << "02:05:09 PM";
    QTest::newRow("midnight") << QDateTime(QDate(2026, 12, 31), QTime(0, 0, 0)) << "12/31/2026"
                              << "12:00:00 AM";
    QTest::newRow("noon") << QDateTime(QDate(2001, 1, 9), QTime(12, 30, 1)) << "01/09/2001"
                          << "12:30:01 PM";
}

void TestSystemSnapshot::header()
{
    QFETCH(QDateTime, when);
    QFETCH(QString, date);
    QFETCH(QString, time);
    QCOMPARE(SnapshotText::Header(when),
             ";=========================================================================\r\n"
             "; Orvex Drive Snapshot\r\n"
             ";=========================================================================\r\n" +
                 date + "\r\n" + time + "\r\n\r\n");
}

void TestSystemSnapshot::operatingSystem()
{
    const QString title = Title("Microsoft Windows Operating System");
    QCOMPARE(SnapshotText::OperatingSystem(QStringLiteral("Debian 12")),
             title + "Debian 12\r\n\r\n");
    // A system that cannot be named: the line, and no empty line after it.
    QCOMPARE(SnapshotText::OperatingSystem(std::nullopt), title + "Unknown Windows OS\r\n");
    // The system we run on can be named.
    const std::optional<QString> running = Orvex::SnapshotEnvironment::RunningSystemLine();
    QVERIFY(running && running->contains(QSysInfo::kernelVersion()));
}

void TestSystemSnapshot::componentVersions()
{
    Rig rig;
    // A serial link that cannot be made: its line says why.
    rig.program.factory.Unregister(QString::fromLatin1(Orvex::ProgId::LinkPort));
    const QString versions = SnapshotText::ComponentVersions(
        rig.program.factory, *rig.program.config, QStringLiteral(ORVEX_VERSION_STRING));
    const QStringList lines = versions.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 8);
    QCOMPARE(lines.at(3), "OrvexSupportTool.exe, Version " ORVEX_VERSION_STRING);
    QVERIFY2(lines.at(5).startsWith("ComHost2.exe, Unknown version ") && lines.at(5).size() > 30,
             qPrintable(lines.at(5)));
}

void TestSystemSnapshot::configurationRules_data()
{
    QTest::addColumn<int>("controlMode");
    QTest::addColumn<float>("zeroReference");
    QTest::addColumn<QString>("rowStart");
    QTest::addColumn<QString>("expected");
    // 0.5 x 3276.8 + 230 = 1868.4, truncated.
    QTest::newRow("zero reference") << 4 << 0.5f << "P134="
                                    << "P134=1868\t\t\t;Zero Reference Voltage = (P134-230)/3276.8";
    QTest::newRow("velocity mode limit") << 4 << 0.0f << "P178("
                                         << "=321\t\t;";
    QTest::newRow("position mode limit") << 6 << 0.0f << "P178("
                                         << "=654\t\t;";
    QTest::newRow("boolean") << 2 << 0.0f << "P070("
                             << "=1\t\t;";
    QTest::newRow("four decimals") << 2 << 0.0f << "P011("
                                   << "=0.2500\t;";
    QTest::newRow("current loop limit") << 2 << 0.0f << "P129="
                                        << "P129=1.50\t\t\t;";
}

void TestSystemSnapshot::configurationRules()
{
    QFETCH(int, controlMode);
    QFETCH(float, zeroReference);
    QFETCH(QString, rowStart);
    QFETCH(QString, expected);
    OrvexTest::SimulatedProgram program;
    Orvex::IOrvexConfig& config = *program.config;
    // The last row asks the drive whether it is enabled.
    config.SetPortNumber(program.SimulatorPort());
    QCOMPARE(config.TestConnection(), -1);
    config.SetControlMode(controlMode);
    config.SetZeroReferenceVoltage(zeroReference);
    config.SetVelocityLoopIntegralLimit(321);
    config.SetPositionLoopIntegralLimit(654);
    config.SetCurrentFoldback(true);
    config.SetInductanceRatio(0.25f);
    config.SetCurrentLoopIntegralLimit(1.5f);
    Orvex::CommandDatabaseLists lists;
    QVERIFY(Orvex::LoadCommandDatabase(lists, program.context.ProgramFolder,
                                       [](const QString&, const QString&) {}));
    const QString section = SnapshotText::ConfigurationParameters(config, &lists);
    QString line;
    for (const QString& candidate : section.split(QStringLiteral("\r\n"))) {
        if (candidate.startsWith(rowStart))
            line = candidate;
    }
    QVERIFY2(line.contains(expected), qPrintable(line));
    // Without the command database the section is its title and the empty line.
    QCOMPARE(SnapshotText::ConfigurationParameters(config, nullptr),
             Title("Orvex Configuration Parameters") + "\r\n");
}

void TestSystemSnapshot::driveStopsAnswering_data()
{
    QTest::addColumn<int>("silentAfterPause");
    QTest::addColumn<QString>("message");
    QTest::newRow("before the configuration")
        << 0 << "Communications Error: No response from Orvex drive";
    QTest::newRow("between configuration and status")
        << 2 << "Communications Error: No response from Orvex drive";
    QTest::newRow("between bit and numeric status")
        << 4 << "Communications Error: No response from Orvex drive";
}

void TestSystemSnapshot::driveStopsAnswering()
{
    QFETCH(int, silentAfterPause);
    QFETCH(QString, message);
    Rig rig;
    int pauses = 0;
    const auto silence = [&rig] { QVERIFY(rig.program.Drive().ApplySwitch("noanswer", nullptr)); };
    if (silentAfterPause == 0)
        silence();
    rig.program.ui.OnPause = [&](int) {
        if (++pauses == silentAfterPause)
            silence();
    };
    QVERIFY(!rig.Take());
    const QStringList messages = OrvexTest::Messages(rig.program.ui);
    QCOMPARE(messages.size(), 1);
    if (message.isEmpty())
        QVERIFY2(messages.first().startsWith("Communications Error: "),
                 qPrintable(messages.first()));
    else
        QCOMPARE(messages.first(), message);
    QCOMPARE(rig.program.ui.OpenWaitWindows, 0);
}

void TestSystemSnapshot::readerRoundTrips()
{
    Rig rig;
    const std::optional<QString> text = rig.Take();
    QVERIFY(text);
    const SnapshotReader reader = SnapshotReader::FromBytes(SnapshotText::Encode(*text));
    QStringList titles;
    for (const SnapshotReader::Section& section : reader.Sections())
        titles << section.Title;
    QCOMPARE(titles,
             QStringList({"Orvex Drive Snapshot", "Orvex Support Tool Component Versions",
                          "Microsoft Windows Operating System", kConfigTitle,
                          SnapshotReader::BitStatusTitle, SnapshotReader::NumericStatusTitle}));
    QCOMPARE(reader.Find(kConfigTitle)->Rows.size(), std::size_t(68));
    QCOMPARE(reader.Find(SnapshotReader::BitStatusTitle)->Rows.size(), std::size_t(66));
    QCOMPARE(reader.Find(SnapshotReader::NumericStatusTitle)->Rows.size(), std::size_t(24));
    QCOMPARE(reader.Find("Orvex Drive Snapshot")->Lines,
             QStringList({"07/04/2012", "02:05:09 PM"}));
    // Every row reads back as the drive's own value.
    Orvex::IOrvexConfig& config = *rig.program.config;
    const SnapshotReader::Section& parameters = *reader.Find(kConfigTitle);
    QCOMPARE(parameters.Rows.front().Value, QString::number(config.FeedbackResolution()));
    QVERIFY(parameters.Rows.front().Name.startsWith("P001("));
    QCOMPARE(reader.Value(kConfigTitle, "P134").value_or("missing"),
             QString::number(int(double(config.ZeroReferenceVoltage()) * 3276.8 + 230)));
    QCOMPARE(reader.Value(SnapshotReader::BitStatusTitle, "E39").value_or("missing"),
             QStringLiteral("1"));
    QCOMPARE(reader.Find(SnapshotReader::BitStatusTitle)->Rows[39].Description,
             QStringLiteral("Drive Disabled"));
    QVERIFY(reader.Value(SnapshotReader::NumericStatusTitle, "X7").has_value());
    QVERIFY(SnapshotReader::Compare(reader, reader).empty());
}

void TestSystemSnapshot::comparingTwoSnapshots_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("differences");
    QTest::newRow("value") << "P016(MSPEED)=50.00\t"
                           << "P016(MSPEED)=45.00\t"
                           << "P016(MSPEED): 50.00 -> 45.00";
    QTest::newRow("bit") << "E39=1\t"
                         << "E39=0\t"
                         << "E39: 1 -> 0";
    QTest::newRow("row gone") << "S38="
                              << "T38="
                              << "S38: 25.00 -> none; T38: none -> 25.00";
    QTest::newRow("same") << ""
                          << ""
                          << "";
}

void TestSystemSnapshot::comparingTwoSnapshots()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, differences);
    const QString base =
        Title("Orvex Configuration Parameters") + "P016(MSPEED)=50.00\t;Rated Speed(rps)\r\n\r\n" +
        Title("Orvex Bit Status") + "E39=1\t;Drive Disabled\r\n\r\n" +
        Title("Orvex Numeric Status") + "S38=25.00\t;Drive Temperature (\u00B0C)\r\n\r\n";
    QString changed = base;
    changed.replace(from, to);
    QStringList found;
    const auto text = [](const std::optional<QString>& value) {
        return value ? *value : QStringLiteral("none");
    };
    for (const SnapshotReader::Difference& difference :
         SnapshotReader::Compare(SnapshotReader::FromText(base), SnapshotReader::FromText(changed)))
        found << difference.Name + ": " + text(difference.Before) + " -> " + text(difference.After);
    QCOMPARE(found.join("; "), differences);
}

QTEST_MAIN(TestSystemSnapshot)
#include "tst_systemsnapshot.moc"
