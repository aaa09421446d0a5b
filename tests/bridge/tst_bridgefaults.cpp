// The drive going away in the middle of a configuration transfer: the bridge
// gives up within the exchange's time-out, keeps what it holds, and works
// again once the drive is back.
#include "BridgeRig.h"
#include "ConfigurationValues.h"
#include "DriveExchange.h"
#include "LinkTransport.h"
#include "SimulatedDrive.h"
#include "SimulatorTransport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>

using Orvex::ConfigurationValues;
using Orvex::DriveExchange;
using Orvex::SimulatedDrive;
using Orvex::SimulatorTransport;
using OrvexTest::DescriptionOf;
using OrvexTest::ValuesOf;

namespace {

// The simulated drive's link with two faults a cable or a drive can have
// that the link itself does not notice: the drive falls silent after a number
// of command lines, or the answers stop arriving after a number of bytes.
class FaultyLink final : public Orvex::ILinkTransport
{
    Q_OBJECT

public:
    explicit FaultyLink(std::shared_ptr<SimulatedDrive> drive)
        : m_drive(drive), m_inner(std::move(drive))
    {
        connect(&m_inner, &SimulatorTransport::Received, this, &FaultyLink::OnReceived);
        connect(&m_inner, &SimulatorTransport::Lost, this, &FaultyLink::Lost);
    }

    bool Open() override { return m_inner.Open(); }
    void Close() override { m_inner.Close(); }
    bool IsOpen() const override { return m_inner.IsOpen(); }
    QString Error() const override { return m_inner.Error(); }
    QString Description() const override { return m_inner.Description(); }

    bool Write(const QByteArray& bytes) override
    {
        m_commands += bytes.count('\r');
        if (m_silentAfterCommands >= 0 && m_commands > m_silentAfterCommands) {
            m_drive->SetNoAnswer(true);
        }
        return m_inner.Write(bytes);
    }

    // Counted from now; negative switches the fault off.
    void SetSilentAfterCommands(int commands)
    {
        m_silentAfterCommands = commands;
        m_commands = 0;
    }
    void SetMuteAfterBytes(qint64 bytes) { m_bytesLeft = bytes; }

    SimulatorTransport& Inner() { return m_inner; }

private:
    void OnReceived(const QByteArray& bytes)
    {
        if (m_bytesLeft < 0) {
            Q_EMIT Received(bytes);
            return;
        }
        const QByteArray passed = bytes.left(std::min<qint64>(bytes.size(), m_bytesLeft));
        m_bytesLeft -= passed.size();
        if (!passed.isEmpty()) {
            Q_EMIT Received(passed);
        }
    }

    std::shared_ptr<SimulatedDrive> m_drive;
    SimulatorTransport m_inner;
    int m_commands = 0;
    int m_silentAfterCommands = -1;
    qint64 m_bytesLeft = -1;
};

// The simulated drive behind an in-process port of a registry and hub built
// as the application builds them, reached through a faulty link.
struct Bench : OrvexTest::BridgeRig
{
    Bench()
        : BridgeRig([this](const std::shared_ptr<SimulatedDrive>& drive) {
              auto made = std::make_unique<FaultyLink>(drive);
              link = made.get();
              return made;
          })
    {}

    QPointer<FaultyLink> link;
};

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

enum class Fault
{
    Silent, // the drive swallows every line from a given command on
    Mute,   // the drive's answers stop arriving after a number of bytes
    Cut,    // the link is lost after a number of bytes
};

} // namespace

Q_DECLARE_METATYPE(Fault)

class TestBridgeFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void faultInTheMiddleOfATransfer_data();
    void faultInTheMiddleOfATransfer();
    void failedFileSaveKeepsTheOldFile_data();
    void failedFileSaveKeepsTheOldFile();
    void captureInterruptedByALostLink();
};

void TestBridgeFaults::faultInTheMiddleOfATransfer_data()
{
    QTest::addColumn<bool>("upload");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("after");
    // The time-out of the exchange the fault hits; a silent drive is waited
    // for that long, a lost link is noticed at once.
    QTest::addColumn<int>("timeoutMs");

    // An upload is the connection test's empty line and VER, CFGUP, then the
    // read-only parameters one by one.
    QTest::newRow("upload, drive silent on the first parameter after the listing")
        << true << Fault::Silent << 3 << DriveExchange::PlainTimeoutMs;
    QTest::newRow("upload, drive silent on the listing")
        << true << Fault::Silent << 2 << DriveExchange::ListingTimeoutMs;
    QTest::newRow("upload, answer stops half way through the listing")
        << true << Fault::Mute << 700 << DriveExchange::ListingTimeoutMs;
    QTest::newRow("upload, link lost half way through the listing")
        << true << Fault::Cut << 700 << DriveExchange::ListingTimeoutMs;
    // A download is the connection test, one write per setting, then CFGSAVE.
    QTest::newRow("download, drive silent on the twentieth write")
        << false << Fault::Silent << 21 << DriveExchange::PlainTimeoutMs;
    QTest::newRow("download, drive silent on the save")
        << false << Fault::Silent << -1 << DriveExchange::LongTimeoutMs;
    QTest::newRow("download, link lost after 400 bytes")
        << false << Fault::Cut << 400 << DriveExchange::PlainTimeoutMs;
}

void TestBridgeFaults::faultInTheMiddleOfATransfer()
{
    QFETCH(bool, upload);
    QFETCH(Fault, fault);
    QFETCH(int, after);
    QFETCH(int, timeoutMs);
    Bench bench;
    auto config = bench.Config();
    config->SetMotorKe(77.0f);
    config->SetMotorPartNumber(QStringLiteral("VX-100"));
    QCOMPARE(config->TestConnection(), -1);
    QVERIFY(bench.link);
    if (fault == Fault::Silent && after < 0) {
        // Silent from CFGSAVE on: after the test's two lines and every write.
        after = 2 + static_cast<int>(ValuesOf(*config).DownloadWrites().size());
    }
    switch (fault) {
    case Fault::Silent:
        bench.link->SetSilentAfterCommands(after);
        break;
    case Fault::Mute:
        bench.link->SetMuteAfterBytes(after);
        break;
    case Fault::Cut:
        bench.link->Inner().SetLoseLinkAfter(after);
        break;
    }
    const ConfigurationValues before = ValuesOf(*config);

    QElapsedTimer elapsed;
    elapsed.start();
    const QString error = upload ? DescriptionOf([&] { config->LoadConfiguration(QString()); })
                                 : DescriptionOf([&] { config->StoreConfiguration(true, {}); });
    const qint64 took = elapsed.elapsed();
    QVERIFY2(error != QLatin1String("(no error)"), qPrintable(error));
    if (fault == Fault::Silent) {
        QCOMPARE(error, QStringLiteral("No response from Orvex drive"));
    } else if (fault == Fault::Mute) {
        QVERIFY2(error.startsWith(QLatin1String("Incorrect response from Orvex drive")),
                 qPrintable(error));
    }
    // Within the exchange's time-out, allowing for a slow machine; a silent
    // drive is not given up on early either (timers may fire a little early).
    QVERIFY2(took < 3 * timeoutMs, qPrintable(QString::number(took)));
    if (fault != Fault::Cut) {
        QVERIFY2(took >= timeoutMs * 9 / 10, qPrintable(QString::number(took)));
    }
    QVERIFY(ValuesOf(*config) == before);
    if (!upload) {
        QCOMPARE(bench.drive->IsConfigured(), false);
    }

    // The drive is back: the next call works, on a fresh link where the old
    // one was lost.
    bench.drive->SetNoAnswer(false);
    if (bench.link) {
        bench.link->SetSilentAfterCommands(-1);
        bench.link->SetMuteAfterBytes(-1);
    }
    QCOMPARE(config->TestConnection(), -1);
    if (upload) {
        // Ke is P38.
        bench.drive->Receive("P38=12.5\rMPART=VX-300\r");
        config->LoadConfiguration(QString());
        QCOMPARE(config->MotorKe(), 12.5f);
        QCOMPARE(config->MotorPartNumber(), QStringLiteral("VX-300"));
    } else {
        config->StoreConfiguration(true, QString());
        QCOMPARE(bench.drive->IsConfigured(), true);
        QCOMPARE(bench.drive->StoredValue(38), std::optional<double>(77.0));
    }
}

void TestBridgeFaults::captureInterruptedByALostLink()
{
    Bench bench;
    auto config = bench.Config();
    QCOMPARE(config->TestConnection(), -1);
    config->StoreConfiguration(true, QString());
    config->SetDriveEnable(true);
    // The samples are a few kilobytes; the link goes half way through them.
    bench.link->Inner().SetLoseLinkAfter(2000);
    QElapsedTimer elapsed;
    elapsed.start();
    const QString error = DescriptionOf([&] { config->CaptureCurrentStep(2.0f, 10, 20000); });
    QVERIFY2(error != QLatin1String("(no error)"), qPrintable(error));
    // A lost link is noticed at once, not after the capture's 20 s.
    QVERIFY2(elapsed.elapsed() < 5000, qPrintable(QString::number(elapsed.elapsed())));

    // The drive is back: the next capture works on a fresh link.
    QCOMPARE(config->TestConnection(), -1);
    const QVariant samples = config->CaptureCurrentStep(2.0f, 10, 20000);
    QCOMPARE(samples.value<QList<float>>().size(), 1024);
}

void TestBridgeFaults::failedFileSaveKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("situation");
    QTest::newRow("value that cannot be written") << "nan";
    QTest::newRow("name of a folder") << "folder";
    QTest::newRow("folder nobody may write") << "system";
}

void TestBridgeFaults::failedFileSaveKeepsTheOldFile()
{
    QFETCH(QString, situation);
    Bench bench;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString path = dir.filePath(QStringLiteral("drive.kvt"));
    auto config = bench.Config();
    config->SetMotorKe(41.5f);
    config->StoreConfiguration(false, path);
    const QByteArray oldContents = Contents(path);
    QVERIFY(!oldContents.isEmpty());

    config->SetMotorKe(99.0f);
    if (situation == QLatin1String("nan")) {
        config->SetMotorInertia(std::numeric_limits<float>::quiet_NaN());
    } else if (situation == QLatin1String("folder")) {
        path = dir.filePath(QStringLiteral("folder.kvt"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.kvt")));
    } else {
        // Nobody, root included, creates files in /proc.
        path = QStringLiteral("/proc/orvex-bridge-test.kvt");
    }
    const QStringList filesBefore = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden);

    QVERIFY(DescriptionOf([&] { config->StoreConfiguration(false, path); }) !=
            QLatin1String("(no error)"));
    // No half-written file and no temporary one left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden), filesBefore);
    QCOMPARE(Contents(dir.filePath(QStringLiteral("drive.kvt"))), oldContents);
    if (situation == QLatin1String("folder")) {
        QVERIFY(QFileInfo(path).isDir());
    } else if (situation == QLatin1String("system")) {
        QVERIFY(!QFileInfo::exists(path));
    }
    // The configuration in memory is still the user's.
    QCOMPARE(config->MotorKe(), 99.0f);
}

QTEST_GUILESS_MAIN(TestBridgeFaults)
#include "tst_bridgefaults.moc"
