// orvex-drive as a script runs it: each command's output and exit status on
// the built-in simulated drive and on the standalone simulator behind a
// pseudo-terminal, a drive that stops answering, and a file that is not sound.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

struct Result
{
    int Status = -1;
    QString Out;
    QString Err;
};

// The standalone simulated drive on a pseudo-terminal, with the faults given.
class StandaloneDrive
{
public:
    explicit StandaloneDrive(const QStringList& faults = {})
    {
        QStringList arguments{QStringLiteral("--data-dir"), QStringLiteral(ORVEX_TEST_DATA_DIR)};
        for (const QString& fault : faults)
            arguments << QStringLiteral("--fault") << fault;
        m_process.start(QStringLiteral(ORVEX_SIMULATOR_PATH), arguments);
        QByteArray banner;
        while (!banner.contains('\n') && m_process.waitForReadyRead(10000))
            banner += m_process.readAllStandardOutput();
        static const QRegularExpression pattern(
            QStringLiteral("^Orvex Drive Simulator on (/dev/\\S+)\\s*$"));
        path = pattern.match(QString::fromLocal8Bit(banner)).captured(1);
    }
    ~StandaloneDrive()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    QString path;

private:
    QProcess m_process;
};

} // namespace

class TestDriveTool : public QObject
{
    Q_OBJECT

private:
    // Runs orvex-drive with a profile of its own; "%port" in the arguments is
    // the port of the row's drive, "%dir" the test's folder.
    Result Run(QStringList arguments, const QString& port = QString())
    {
        for (QString& argument : arguments) {
            argument.replace(QLatin1String("%port"), port);
            argument.replace(QLatin1String("%dir"), m_dir.path());
        }
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), m_dir.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           m_dir.filePath(QStringLiteral("config")));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(ORVEX_DRIVE_TOOL_PATH), arguments);
        if (!process.waitForFinished(60000))
            process.kill();
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    std::unique_ptr<StandaloneDrive> m_drive;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_drive = std::make_unique<StandaloneDrive>();
        QVERIFY(!m_drive->path.isEmpty());
    }
    void cleanupTestCase() { m_drive.reset(); }

    void commands_data()
    {
        QTest::addColumn<bool>("onSimulatorPort");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out"); // a line the output holds
        QTest::addColumn<QString>("err"); // what the error stream holds; empty: nothing
        const QString ok = QStringLiteral("Successfully communicated with Orvex drive");
        for (const bool sim : {true, false}) {
            const auto row = [sim](const char* name, const QStringList& arguments, int status,
                                   const QString& out, const QString& err = QString()) {
                QTest::addRow("%s %s", sim ? "sim" : "pty", name)
                    << sim << arguments << status << out << err;
            };
            row("test", {"test", "--port", "%port"}, 0, ok);
            row("status", {"status", "-p", "%port"}, 0, "E26   Drive Fault");
            row("upload", {"upload", "--port=%port", "-o", "%dir/up.kvt"}, 0,
                "Uploaded the drive's configuration to %dir/up.kvt");
            row("download", {"download", "--port", "%port", "%dir/up.kvt"}, 0,
                "Downloaded %dir/up.kvt to the drive");
            row("reset", {"reset", "--port", "%port"}, 0, "The drive has been reset");
            row("snapshot", {"snapshot", "--port", "%port", "-o", "%dir/snap.txt"}, 0,
                "Wrote the drive snapshot to %dir/snap.txt");
            row("factory-restore", {"factory-restore", "--port", "%port"}, 0,
                "The drive is back with its factory settings");
            row("download of a missing file", {"download", "--port", "%port", "%dir/none.kvt"}, 3,
                "", "none.kvt");
            row("upload into a missing folder",
                {"upload", "--port", "%port", "-o", "%dir/no/such/folder.kvt"}, 3, "",
                "folder.kvt");
        }
        const auto row = [](const char* name, const QStringList& arguments, int status,
                            const QString& out, const QString& err = QString()) {
            QTest::addRow("%s", name) << true << arguments << status << out << err;
        };
        row("ports", {"ports"}, 0, "sim              Orvex Drive Simulator");
        // On the pseudo-terminal, which runs at full speed.
        QTest::addRow("os-download")
            << false
            << QStringList{"os-download", "--port", "%port",
                           ORVEX_TEST_DATA_DIR "/OrvexOS-3.02.0018.ops"}
            << 0 << QStringLiteral("Operating system download completed") << QString();
        row("help", {"--help"}, 0, "  os-download      Download an operating system file");
        for (const char* command : {"ports", "test", "upload", "download", "status", "os-download",
                                    "factory-restore", "reset", "snapshot"})
            row(command, {command, "--help"}, 0,
                QStringLiteral("Usage: orvex-drive %1").arg(command));
        row("no command", {}, 2, "", "Usage: orvex-drive COMMAND");
        row("unknown command", {"calibrate"}, 2, "", "unknown command 'calibrate'");
        row("unknown option", {"test", "--baud", "9600"}, 2, "", "unknown option '--baud'");
        row("upload without a file", {"upload", "--port", "sim"}, 2, "", "-o FILE");
        row("no port remembered", {"test"}, 2, "", "No port given");
        row("absent port", {"test", "--port", "COM97"}, 11, "", "Invalid COM port number");
        row("no such device", {"test", "--port", "/dev/orvex-none"}, 2, "", "no such device");
    }
    void commands()
    {
        QFETCH(bool, onSimulatorPort);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const Result result =
            Run(arguments, onSimulatorPort ? QStringLiteral("sim") : m_drive->path);
        out.replace(QLatin1String("%dir"), m_dir.path());
        QVERIFY2(result.Out.contains(out), qPrintable(result.Out + result.Err));
        if (err.isEmpty())
            QCOMPARE(result.Err, QString());
        else
            QVERIFY2(result.Err.contains(err), qPrintable(result.Err));
        QCOMPARE(result.Status, status);
    }

    void statusAsJson()
    {
        const Result result = Run({"status", "--port", "sim", "--json"});
        QCOMPARE(result.Status, 0);
        const QJsonObject status = QJsonDocument::fromJson(result.Out.toUtf8()).object();
        QCOMPARE(status.value("bits").toArray().size(), 66);
        QCOMPARE(status.value("bits")[26]["description"].toString(), QStringLiteral("Drive Fault"));
        const QJsonArray numeric = status.value("numeric").toArray();
        QCOMPARE(numeric.size(), 24);
        // The simulated drive's amplifier: 6 Arms continuous.
        QCOMPARE(numeric[0]["label"].toString(), QStringLiteral("S3"));
        QCOMPARE(numeric[0]["value"].toDouble(), 6.0);
    }

    // A drive that stops answering: the connection test's code, or the
    // bridge's own message part way through, and nothing left half-written.
    void driveStopsAnswering_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err");
        QTest::newRow("no answer") << "noanswer" << QStringList{"test", "--port", "%port"} << 13
                                   << "No response from Orvex drive";
        QTest::newRow("silent mid-upload")
            << "mute:500" << QStringList{"upload", "--port", "%port", "-o", "%dir/cut.kvt"} << 1
            << "";
        QTest::newRow("silent mid-snapshot")
            << "mute:500" << QStringList{"snapshot", "--port", "%port", "-o", "%dir/cut.txt"} << 1
            << "";
        QTest::newRow("OS missing") << "os:missing" << QStringList{"status", "--port", "%port"}
                                    << 15 << "OS needs to be downloaded";
    }
    void driveStopsAnswering()
    {
        QFETCH(QString, fault);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, err);
        StandaloneDrive drive({fault});
        QVERIFY(!drive.path.isEmpty());
        const Result result = Run(arguments, drive.path);
        QCOMPARE(result.Status, status);
        QVERIFY2(result.Err.contains(err) && !result.Err.isEmpty(), qPrintable(result.Err));
        QCOMPARE(result.Out, QString());
        QVERIFY(!QFile::exists(Path("cut.kvt")) && !QFile::exists(Path("cut.txt")));
    }

    // A configuration file with a fault: the line is named, the drive is not touched.
    void malformedConfiguration()
    {
        QVERIFY(Run({"upload", "--port", "%port", "-o", "%dir/before.kvt"}, m_drive->path).Status ==
                0);
        QFile good(Path("before.kvt"));
        QVERIFY(good.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = good.readAll().split('\n');
        lines[2] = "MotorRatedSpeed=fast";
        QFile bad(Path("bad.kvt"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(lines.join('\n'));
        bad.close();

        const Result result = Run({"download", "--port", "%port", "%dir/bad.kvt"}, m_drive->path);
        QCOMPARE(result.Status, 3);
        QVERIFY2(result.Err.contains(QStringLiteral("bad.kvt, line 3")), qPrintable(result.Err));
        QCOMPARE(result.Out, QString());

        QCOMPARE(Run({"upload", "--port", "%port", "-o", "%dir/after.kvt"}, m_drive->path).Status,
                 0);
        QFile after(Path("after.kvt"));
        QVERIFY(after.open(QIODevice::ReadOnly) && good.reset());
        QCOMPARE(after.readAll(), good.readAll());
    }
};

QTEST_GUILESS_MAIN(TestDriveTool)
#include "tst_drivetool.moc"
