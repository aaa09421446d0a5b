#include "BridgeRig.h"
#include "OrvexStatus.h"
#include "OsImage.h"
#include "SimulatedDrive.h"
#include "SimulatorTransport.h"

#include <QFile>
#include <QTest>

#include <functional>
#include <memory>

using Orvex::IOrvexConfig;
using Orvex::OsImage;
using Orvex::SimulatedDrive;
using OrvexTest::DescriptionOf;

namespace {

// The simulated drive behind an in-process port, with the bridge registered
// in a factory, as the application builds them, and a configuration object
// on that port.
struct Bench : OrvexTest::BridgeRig
{
    // The state of the OS download, with its byte counts in total and done.
    int DownloadState() { return config->GetOsDownloadProgress(total, done); }

    std::unique_ptr<IOrvexConfig> config = Config();
    int total = -1;
    int done = -1;
};

QString SamplePath()
{
    return qEnvironmentVariable("ORVEX_DATA_DIR") + QStringLiteral("/OrvexOS-3.02.0018.ops");
}

QByteArray SampleBytes()
{
    QFile file(SamplePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint32 ReferenceCrc32(const QByteArray& data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : data) {
        crc ^= static_cast<quint8>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) != 0 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

// Paced answers keep a download running long enough to act on it midway.
void SlowLink(Bench& bench)
{
    QCOMPARE(bench.config->TestConnection(), -1);
    QVERIFY(bench.transport);
    bench.transport->SetBaudRate(115200);
}

constexpr int SampleBytesCount = 32768;
constexpr int DownloadTimeoutMs = 20000;

} // namespace

class TestBridgeOs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sampleImageChecksOut()
    {
        QString error;
        const std::optional<OsImage> image = OsImage::Load(SamplePath(), &error);
        QVERIFY2(image, qPrintable(error));
        QCOMPARE(image->Revision(), QStringLiteral("3.02.0018"));
        QCOMPARE(image->Payload().size(), SampleBytesCount);
        QCOMPARE(ReferenceCrc32(image->Payload()), image->Crc());
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
        QCOMPARE(bench.drive->InstalledOsRevision(), QStringLiteral("3.02.0018"));
        auto status = bench.Status();
        status->UploadNumericStatus(0x4, 0); // the OS revision item
        QVERIFY2(status->OsRevision().startsWith(QLatin1String("3.02.0018")),
                 qPrintable(status->OsRevision()));
    }

    void unusableFiles_data()
    {
        const QByteArray sample = SampleBytes();
        QVERIFY(!sample.isEmpty());
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty") << QByteArray() << QStringLiteral("not an Orvex operating system");
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
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
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

    void missingFile()
    {
        Bench bench;
        const QString error = DescriptionOf(
            [&] { bench.config->StartOsDownload(bench.dir.filePath(QStringLiteral("no.ops"))); });
        QVERIFY2(error.startsWith(QLatin1String("Error reading from file no.ops")),
                 qPrintable(error));
        QCOMPARE(bench.DownloadState(), 4);
    }

    void linkLostMidDownload()
    {
        Bench bench;
        QCOMPARE(bench.config->TestConnection(), -1);
        QVERIFY(bench.transport);
        // About 16 data lines go through, then the cable is pulled.
        bench.transport->SetLoseLinkAfter(4000);
        bench.config->StartOsDownload(SamplePath());
        QTRY_COMPARE_WITH_TIMEOUT(bench.DownloadState(), 6, 3000);
        QVERIFY2(bench.done > 0 && bench.done < SampleBytesCount,
                 qPrintable(QString::number(bench.done)));
        bench.config->AbortOsDownload();

        // The port opens afresh; the drive waits in its boot loader.
        QCOMPARE(bench.config->TestConnection(), 5);
        bench.config->StartOsDownload(SamplePath());
        QTRY_COMPARE_WITH_TIMEOUT(bench.DownloadState(), 2, DownloadTimeoutMs);
        bench.config->AbortOsDownload();
        QCOMPARE(bench.config->TestConnection(), -1);
    }

    void silentDriveTimesOut()
    {
        Bench bench;
        SlowLink(bench);
        bench.config->StartOsDownload(SamplePath());
        QTRY_VERIFY_WITH_TIMEOUT(bench.DownloadState() == 1 && bench.done > 0, DownloadTimeoutMs);
        bench.drive->SetNoAnswer(true);
        QTRY_COMPARE_WITH_TIMEOUT(bench.DownloadState(), 6, 4000);
        bench.drive->SetNoAnswer(false);
        bench.config->AbortOsDownload();
        QCOMPARE(bench.config->TestConnection(), 5);
    }

    void abortMidDownload()
    {
        Bench bench;
        SlowLink(bench);
        bench.config->StartOsDownload(SamplePath());
        QTRY_VERIFY_WITH_TIMEOUT(bench.DownloadState() == 1 && bench.done > 0, DownloadTimeoutMs);
        bench.config->AbortOsDownload();
        QCOMPARE(bench.DownloadState(), 0);
        QCOMPARE(bench.total, 0);
        // The drive was told: no download waits in it, and it has no OS.
        QVERIFY(!bench.drive->OsDownloadActive());
        QCOMPARE(bench.config->TestConnection(), 5);
        // Aborting again is harmless.
        bench.config->AbortOsDownload();
        QCOMPARE(bench.DownloadState(), 0);
    }

    void abortBeforeTheDriveLeftItsOs()
    {
        Bench bench;
        bench.config->StartOsDownload(SamplePath());
        bench.config->AbortOsDownload();
        QCOMPARE(bench.DownloadState(), 0);
        QCOMPARE(bench.config->TestConnection(), -1);
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
        QCOMPARE(bench.config->DriveConfigured(), false);
    }

    void driveThatLosesTheDownload()
    {
        Bench bench;
        SlowLink(bench);
        bench.config->StartOsDownload(SamplePath());
        QTRY_VERIFY_WITH_TIMEOUT(bench.DownloadState() == 1 && bench.done > 0, DownloadTimeoutMs);
        // A power dip: the drive forgets the download and refuses its lines.
        bench.drive->PowerCycle();
        QTRY_COMPARE_WITH_TIMEOUT(bench.DownloadState(), 5, 3000);
        bench.config->AbortOsDownload();
        QCOMPARE(bench.config->TestConnection(), 5);
    }

    void corruptDriveIsNotWritten()
    {
        Bench bench;
        bench.drive->SetOsState(SimulatedDrive::OsState::Corrupt);
        QCOMPARE(bench.config->TestConnection(), 6);
        bench.config->StartOsDownload(SamplePath());
        QTRY_COMPARE_WITH_TIMEOUT(bench.DownloadState(), 5, 3000);
        QCOMPARE(bench.done, 0);
        bench.config->AbortOsDownload();
        QCOMPARE(bench.config->TestConnection(), 6);
    }
};

QTEST_GUILESS_MAIN(TestBridgeOs)
#include "tst_bridgeos.moc"
