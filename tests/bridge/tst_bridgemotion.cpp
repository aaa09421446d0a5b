// The configuration object's drive actions that take a while: the test moves
// (captures, auto tuning, alignment) and the operating system download.
#include "BridgeRig.h"

#include <QFile>
#include <QTest>

#include <cmath>
#include <memory>

using Orvex::IOrvexConfig;
using Orvex::SimulatedDrive;
using OrvexTest::DescriptionOf;

namespace {

constexpr int SampleBytesCount = 32768;
constexpr int DownloadTimeoutMs = 20000;

QString SamplePath()
{
    return qEnvironmentVariable("ORVEX_DATA_DIR") + QStringLiteral("/OrvexOS-3.02.0018.ops");
}

// A configuration object on the rig's drive.
struct Bench : OrvexTest::BridgeRig
{
    // Sends the configuration with the control mode and enables the drive.
    IOrvexConfig* Prepare(int controlMode)
    {
        config->SetControlMode(controlMode);
        config->StoreConfiguration(true, QString());
        config->SetDriveEnable(true);
        return config.get();
    }
    // The state of the OS download, with its byte counts in total and done.
    int DownloadState() { return config->GetOsDownloadProgress(total, done); }

    // Starts the sample download on a paced link and waits until it is under way.
    void StartSlowly()
    {
        QCOMPARE(config->TestConnection(), -1);
        transport->SetBaudRate(115200);
        config->StartOsDownload(SamplePath());
        QTRY_VERIFY_WITH_TIMEOUT(DownloadState() == 1 && done > 0, DownloadTimeoutMs);
    }

    std::unique_ptr<Orvex::IOrvexConfig> config = Config();
    int total = -1;
    int done = -1;
};

// What stops a download half way, done to a bench that has not yet
// started one.
using Upset = std::function<void(Bench&)>;

} // namespace

Q_DECLARE_METATYPE(Upset)

class TestBridgeMotion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void capturesAnswerTheirSamples_data()
    {
        QTest::addColumn<int>("controlMode");
        QTest::addColumn<QString>("kind");
        QTest::newRow("current") << 2 << QStringLiteral("current");
        QTest::newRow("current in velocity mode") << 4 << QStringLiteral("current");
        QTest::newRow("velocity") << 4 << QStringLiteral("velocity");
        QTest::newRow("position") << 6 << QStringLiteral("position");
    }
    void capturesAnswerTheirSamples()
    {
        QFETCH(int, controlMode);
        QFETCH(QString, kind);
        Bench bench;
        IOrvexConfig* config = bench.Prepare(controlMode);
        config->SetInertiaRatio(2.5f);
        if (kind == QLatin1String("current")) {
            const QVariant result = config->CaptureCurrentStep(3.0f, 500, 20000);
            QCOMPARE(result.metaType(), QMetaType::fromType<QList<float>>());
            const QList<float> samples = result.value<QList<float>>();
            QCOMPARE(samples.size(), 1024);
            // Commanded: 1 ms at rest, then +3 A and -3 A for 1 ms each.
            QCOMPARE(samples[2 * 10], 0.0f);
            QCOMPARE(samples[2 * 20], 3.0f);
            QCOMPARE(samples[2 * 40], -3.0f);
        } else if (kind == QLatin1String("velocity")) {
            const QVariant result = config->CaptureVelocityStep(1000.0f, 5.0f, 10, 20000);
            QCOMPARE(result.metaType(), QMetaType::fromType<QList<float>>());
            const QList<float> samples = result.value<QList<float>>();
            QCOMPARE(samples.size(), 1024);
            QCOMPARE(samples[2 * 100], 5.0f); // 25 ms in: at speed
            QVERIFY(std::abs(samples[2 * 100 + 1] - 5.0f) < 0.5f);
        } else {
            const QVariant result = config->CapturePositionStep(4000, 20000);
            QCOMPARE(result.metaType(), QMetaType::fromType<QList<qint32>>());
            const QList<qint32> samples = result.value<QList<qint32>>();
            QCOMPARE(samples.size(), 1024);
            QCOMPARE(samples[2 * 511], 4000);
            QVERIFY(std::abs(samples[2 * 511 + 1] - 4000) <= 40);
        }
    }
    void torqueModeCapturesSendTheGainsFirst()
    {
        Bench bench;
        IOrvexConfig* config = bench.Prepare(2);
        config->SetAutoCurrentGains(0);
        const auto rise = [&](float kp) {
            config->SetCurrentLoopKp(kp);
            const QList<float> samples =
                config->CaptureCurrentStep(3.0f, 10, 20000).value<QList<float>>();
            int k = 16;
            while (k < 512 && samples[2 * k + 1] < 2.7f)
                ++k;
            return k;
        };
        const int slow = rise(5.0f);
        QCOMPARE(bench.drive->WorkingValue(60).value_or(0), 5.0);
        QCOMPARE(bench.drive->WorkingValue(62).value_or(1), 0.0);
        const int fast = rise(20.0f);
        QCOMPARE(bench.drive->WorkingValue(60).value_or(0), 20.0);
        QVERIFY2(fast < slow, qPrintable(QStringLiteral("%1 %2").arg(fast).arg(slow)));
        QCOMPARE(DescriptionOf([&] { config->CaptureVelocityStep(1000.0f, 5.0f, 10, 20000); }),
                 QStringLiteral("The drive refused CAPV 1000,5,10: Failed not in velocity mode"));
    }
    void malformedCaptureIsAnError_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("detail");
        QTest::newRow("short") << QByteArray("CAP=3,62.5\r\n1,1\r\n2,2\r\n")
                               << QStringLiteral("2 of 3 samples arrived");
        QTest::newRow("no header") << QByteArray("1,1\r\n") << QStringLiteral("CAP=");
        QTest::newRow("too many") << QByteArray("CAP=513,62.5\r\n") << QStringLiteral("CAP=513");
        QTest::newRow("not a number")
            << QByteArray("CAP=1,62.5\r\n1,x\r\n") << QStringLiteral("'x' is not a sample value");
        QTest::newRow("one value")
            << QByteArray("CAP=1,62.5\r\n1\r\n") << QStringLiteral("sample line '1'");
    }
    void malformedCaptureIsAnError()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, detail);
        Bench bench;
        IOrvexConfig* config = bench.Prepare(2);
        bench.link->answers = [answer](const QByteArray& bytes) {
            return bytes.startsWith("CAP=") ? answer + '\x05' : bytes;
        };
        const QString failure =
            DescriptionOf([&] { config->CaptureCurrentStep(3.0f, 500, 20000); });
        QVERIFY2(failure.startsWith(QLatin1String("Incorrect capture data from Orvex drive")) &&
                     failure.contains(detail),
                 qPrintable(failure));
    }
    void autoTuneMeasuresTheLoad_data()
    {
        QTest::addColumn<double>("ratio");
        QTest::newRow("no load") << 0.0;
        QTest::newRow("heavy") << 6.0;
    }
    void autoTuneMeasuresTheLoad()
    {
        QFETCH(double, ratio);
        Bench bench;
        bench.drive->SetLoad({ratio, 600.0, 0.05});
        IOrvexConfig* config = bench.Prepare(4);
        const float measured = config->AutoTune();
        QVERIFY2(std::abs(measured - ratio) < 0.05 * std::max(ratio, 1.0),
                 qPrintable(QString::number(measured)));
        // A disabled drive cannot run the test: a failed tuning, not an error.
        config->SetDriveEnable(false);
        QVERIFY(config->AutoTune() < 0.0f);
    }
    void alignment()
    {
        Bench bench;
        IOrvexConfig* config = bench.Prepare(2);
        config->AlignMotor();
        const int offset = static_cast<int>(bench.drive->WorkingValue(142).value_or(0));
        QVERIFY(offset != 0);
        QCOMPARE(config->EncoderOffset(), offset);
        bench.drive->SetEnableInput(false);
        QCOMPARE(DescriptionOf([&] { config->AlignMotor(); }),
                 QStringLiteral("The drive refused ALIGN: Failed No Hardware Enable"));
    }
    void zeroReferenceFollowsDcmdz()
    {
        Bench bench;
        bench.drive->SetAnalogInput(7.25);
        bench.drive->Receive("DCMDZ\r");
        QVERIFY(std::abs(bench.config->ReadZeroReference() - 7.25) <= 0.5 / 3276.8);
    }
    void downloadReplacesTheOs_data()
    {
        QTest::addColumn<int>("osState");
        QTest::addColumn<int>("connectionBefore");
        QTest::newRow("running OS") << int(SimulatedDrive::OsState::Valid) << -1;
        QTest::newRow("OS missing") << int(SimulatedDrive::OsState::Missing) << 5;
    }
    void downloadReplacesTheOs()
    {
        QFETCH(int, osState);
        QFETCH(int, connectionBefore);
        Bench bench;
        bench.drive->SetOsState(static_cast<SimulatedDrive::OsState>(osState));
        QCOMPARE(bench.config->TestConnection(), connectionBefore);
        bench.config->StartOsDownload(SamplePath());
        // The call returns at once and the total is known straight away.
        QCOMPARE(bench.DownloadState(), 1);
        QCOMPARE(bench.total, SampleBytesCount);
        QTRY_COMPARE_WITH_TIMEOUT(bench.DownloadState(), 2, DownloadTimeoutMs);
        QCOMPARE(bench.done, SampleBytesCount);
        // The dialog always aborts on closing; that must not undo a success.
        bench.config->AbortOsDownload();
        QCOMPARE(bench.DownloadState(), 0);
        QCOMPARE(bench.config->TestConnection(), -1);
        auto status = bench.Status();
        status->UploadNumericStatus(0x4, 0); // the OS revision item
        QVERIFY2(status->OsRevision().startsWith(QLatin1String("3.02.0018")),
                 qPrintable(status->OsRevision()));
    }
    void unusableFiles_data()
    {
        QFile file(SamplePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray sample = file.readAll();
        QTest::addColumn<QByteArray>("bytes"); // null: no file at all
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing file") << QByteArray() << QStringLiteral("No such file");
        QTest::newRow("empty") << QByteArray("") << QStringLiteral("not an Orvex operating system");
        QTest::newRow("other file") << QByteArray("P016=50\r\nP017=3\r\n").repeated(10)
                                    << QStringLiteral("not an Orvex operating system");
        QTest::newRow("cut short") << sample.chopped(1) << QStringLiteral("shorter than");
        QTest::newRow("trailing bytes") << sample + 'x' << QStringLiteral("longer than");
        QByteArray flipped = sample;
        flipped[1000] = static_cast<char>(flipped[1000] ^ 0x10);
        QTest::newRow("damaged payload") << flipped << QStringLiteral("checksum does not match");
        QByteArray revision = sample;
        revision.replace(8, 9, "3.02/0018");
        QTest::newRow("damaged revision") << revision << QStringLiteral("revision");
        QByteArray length = sample;
        length[27] = '\x7F';
        QTest::newRow("damaged length") << length << QStringLiteral("length");
    }
    void unusableFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        Bench bench;
        const QString path = bench.dir.filePath(QStringLiteral("image.ops"));
        QFile file(path);
        if (!bytes.isNull()) {
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
            file.close();
        }
        const int commandsBefore = bench.drive->CommandsReceived();
        const QString error = DescriptionOf([&] { bench.config->StartOsDownload(path); });
        QVERIFY2(error.startsWith(QLatin1String("Error reading from file image.ops")) &&
                     error.contains(reason),
                 qPrintable(error));
        QCOMPARE(bench.DownloadState(), 4);
        // Nothing reached the drive, which keeps its OS.
        QCOMPARE(bench.drive->CommandsReceived(), commandsBefore);
        QCOMPARE(bench.config->TestConnection(), -1);
        bench.config->AbortOsDownload();
        QCOMPARE(bench.DownloadState(), 0);
    }
    void otherRequestsWaitForTheDownload()
    {
        Bench bench;
        bench.config->StartOsDownload(SamplePath());
        QVERIFY(DescriptionOf([&] {
                    bench.config->StartOsDownload(SamplePath());
                }).contains(QLatin1String("already running")));
        QVERIFY(DescriptionOf([&] {
                    bench.config->DriveConfigured();
                }).contains(QLatin1String("busy")));
        QTRY_COMPARE_WITH_TIMEOUT(bench.DownloadState(), 2, DownloadTimeoutMs);
        bench.config->AbortOsDownload();
        QCOMPARE(bench.config->DriveConfigured(), true); // as it left the factory
    }
    // Downloads that stop half way: the state they end in (0 idle, 5 refused by
    // the drive, 6 link failure), whether the drive took some of the data, and
    // the connection test after them (5: the drive waits in its boot loader).
    void interruptedDownloads_data()
    {
        QTest::addColumn<Upset>("upset");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("tookData");
        QTest::addColumn<int>("connectionAfter");
        // Stopped before the drive left its OS, the download undoes nothing.
        QTest::newRow("stopped at once") << Upset([](Bench& bench) {
            bench.config->StartOsDownload(SamplePath());
            bench.config->AbortOsDownload();
        }) << 0 << false << -1;
        QTest::newRow("stopped half way") << Upset([](Bench& bench) {
            bench.StartSlowly();
            bench.config->AbortOsDownload();
            // The drive was told: no download waits in it.
            QVERIFY(!bench.drive->OsDownloadActive());
        }) << 0 << false << 5;
        // About 16 data lines go through, then the cable is pulled.
        QTest::newRow("link lost") << Upset([](Bench& bench) {
            QCOMPARE(bench.config->TestConnection(), -1);
            bench.transport->SetLoseLinkAfter(4000);
            bench.config->StartOsDownload(SamplePath());
        }) << 6 << true << 5;
        QTest::newRow("drive falls silent") << Upset([](Bench& bench) {
            bench.StartSlowly();
            bench.drive->SetNoAnswer(true);
        }) << 6 << true << 5;
        // A power dip: the drive forgets the download and refuses its lines.
        QTest::newRow("drive loses the download") << Upset([](Bench& bench) {
            bench.StartSlowly();
            bench.drive->PowerCycle();
        }) << 5 << true << 5;
        QTest::newRow("corrupt drive") << Upset([](Bench& bench) {
            bench.drive->SetOsState(SimulatedDrive::OsState::Corrupt);
            QCOMPARE(bench.config->TestConnection(), 6);
            bench.config->StartOsDownload(SamplePath());
        }) << 5 << false << 6;
    }
    void interruptedDownloads()
    {
        QFETCH(Upset, upset);
        QFETCH(int, state);
        QFETCH(bool, tookData);
        QFETCH(int, connectionAfter);
        Bench bench;
        upset(bench);
        QTRY_COMPARE_WITH_TIMEOUT(bench.DownloadState(), state, 4000);
        QVERIFY2(tookData ? bench.done > 0 && bench.done < SampleBytesCount : bench.done == 0,
                 qPrintable(QString::number(bench.done)));
        bench.drive->SetNoAnswer(false);
        // Aborting forgets the outcome, and is harmless when done twice.
        for (int i = 0; i < 2; ++i) {
            bench.config->AbortOsDownload();
            QCOMPARE(bench.DownloadState(), 0);
            QCOMPARE(bench.total, 0);
        }
        QCOMPARE(bench.config->TestConnection(), connectionAfter);
        if (connectionAfter != 5)
            return;
        // The drive in its boot loader takes a new download.
        bench.transport->SetBaudRate(0);
        bench.config->StartOsDownload(SamplePath());
        QTRY_COMPARE_WITH_TIMEOUT(bench.DownloadState(), 2, DownloadTimeoutMs);
        bench.config->AbortOsDownload();
        QCOMPARE(bench.config->TestConnection(), -1);
    }
};

QTEST_GUILESS_MAIN(TestBridgeMotion)
#include "tst_bridgemotion.moc"
