// The drive bridge over the real serial path: the standalone simulator serves
// the drive on a pseudo-terminal, and the bridge reaches it through the port
// registry, the hub and the serial device transport, as it reaches a drive.
#include "BridgeRig.h"
#include "ConfigurationValues.h"
#include "DriveExchange.h"
#include "LinkPortObject.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <memory>

using Orvex::ConfigurationValues;
using OrvexTest::BridgeRig;
using OrvexTest::DescriptionOf;
using OrvexTest::DriveHeldValues;
using OrvexTest::SetSampleConfiguration;
using OrvexTest::ValuesOf;

namespace {

constexpr int kStartTimeoutMs = 10000;
constexpr int kTimeoutMs = 5000;

} // namespace

class TestBridgePty : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void connectionTestThroughTheDevice_data();
    void connectionTestThroughTheDevice();
    void configurationTravelsThroughTheDevice_data();
    void configurationTravelsThroughTheDevice();
    void statusBitsThroughTheDevice_data();
    void statusBitsThroughTheDevice();
    void linkSharesThePortWithTheBridge();
    void simulatorDyingIsReportedWithoutHanging_data();
    void simulatorDyingIsReportedWithoutHanging();

private:
    // Starts the simulator (paced at baud when above 0) and adds its
    // pseudo-terminal to the rig's registry.
    void StartSimulator(int baud);

    std::unique_ptr<QProcess> m_simulator;
    // The application's registry, hub and factory, with no drive of their own.
    std::unique_ptr<BridgeRig> m_rig;
    QString m_devicePath;
};

void TestBridgePty::init()
{
    m_rig = std::make_unique<BridgeRig>(BridgeRig::Drive::External);
    m_simulator = std::make_unique<QProcess>();
    m_devicePath.clear();
}

void TestBridgePty::cleanup()
{
    // Bridge objects let go of the port before the simulator goes away.
    m_rig.reset();
    if (m_simulator->state() != QProcess::NotRunning) {
        m_simulator->kill();
        m_simulator->waitForFinished(kTimeoutMs);
    }
    m_simulator.reset();
}

void TestBridgePty::StartSimulator(int baud)
{
    QVERIFY2(QFileInfo::exists(QStringLiteral(ORVEX_SIMULATOR_PATH)), ORVEX_SIMULATOR_PATH);
    QStringList arguments{QStringLiteral("--data-dir"), QStringLiteral(ORVEX_SOURCE_DATA_DIR)};
    if (baud > 0) {
        arguments << QStringLiteral("--baud") << QString::number(baud);
    }
    m_simulator->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_simulator->start(QStringLiteral(ORVEX_SIMULATOR_PATH), arguments);

    static const QRegularExpression banner(
        QStringLiteral("^Orvex Drive Simulator on (/dev/\\S+)\\s*$"));
    QByteArray output;
    QTRY_VERIFY_WITH_TIMEOUT((output += m_simulator->readAllStandardOutput()).contains('\n') ||
                                 m_simulator->state() == QProcess::NotRunning,
                             kStartTimeoutMs);
    const QRegularExpressionMatch match =
        banner.match(QString::fromLocal8Bit(output.left(output.indexOf('\n') + 1)));
    QVERIFY2(match.hasMatch(), output.constData());
    m_devicePath = match.captured(1);
    m_rig->port = m_rig->registry.AddDevicePath(m_devicePath);
    QVERIFY(m_rig->port > 0);
}

void TestBridgePty::connectionTestThroughTheDevice_data()
{
    QTest::addColumn<bool>("statusObject");
    QTest::newRow("configuration object") << false;
    QTest::newRow("status object") << true;
}

void TestBridgePty::connectionTestThroughTheDevice()
{
    QFETCH(bool, statusObject);
    StartSimulator(0);
    if (QTest::currentTestFailed()) {
        return;
    }
    const int code =
        statusObject ? m_rig->Status()->TestConnection() : m_rig->Config()->TestConnection();
    QCOMPARE(code, -1);
    // The port is closed again once no object holds it, so it opens again.
    QCOMPARE(m_rig->Config()->TestConnection(), -1);
}

void TestBridgePty::configurationTravelsThroughTheDevice_data()
{
    QTest::addColumn<bool>("linear");
    QTest::addColumn<int>("controlMode");
    QTest::addColumn<int>("baud");
    QTest::newRow("rotary motor, torque mode") << false << 2 << 0;
    QTest::newRow("linear motor, velocity mode") << true << 4 << 0;
    QTest::newRow("rotary motor at the drive's line speed") << false << 6 << 115200;
}

void TestBridgePty::configurationTravelsThroughTheDevice()
{
    QFETCH(bool, linear);
    QFETCH(int, controlMode);
    QFETCH(int, baud);
    StartSimulator(baud);
    if (QTest::currentTestFailed()) {
        return;
    }
    auto config = m_rig->Config();
    SetSampleConfiguration(*config, linear, controlMode);
    config->StoreConfiguration(true, QString());
    QCOMPARE(config->DriveConfigured(), true);

    auto reader = m_rig->Config();
    reader->SetMotorRatedSpeed(1.0f);
    reader->SetMotorPartNumber(QStringLiteral("other"));
    reader->SetControlMode(controlMode);
    reader->LoadConfiguration(QString());
    QCOMPARE(DriveHeldValues(ValuesOf(*reader)), DriveHeldValues(ValuesOf(*config)));
    QCOMPARE(reader->MotorPartNumber(), QStringLiteral("VX-220-B"));
    QCOMPARE(reader->ZeroReferenceVoltage(), 1.25f);
    QVERIFY(reader->DriveParameter186() != 0);
}

void TestBridgePty::statusBitsThroughTheDevice_data()
{
    QTest::addColumn<bool>("enable");
    QTest::newRow("drive disabled") << false;
    QTest::newRow("drive enabled") << true;
}

void TestBridgePty::statusBitsThroughTheDevice()
{
    QFETCH(bool, enable);
    StartSimulator(0);
    if (QTest::currentTestFailed()) {
        return;
    }
    auto config = m_rig->Config();
    config->StoreConfiguration(true, QString());
    config->SetDriveEnable(enable);

    auto status = m_rig->Status();
    status->UploadStatus();
    // E39 "Drive Disabled"; E46 "No Hardware Enable" stays off, the input is on.
    QCOMPARE(status->BitState(39), !enable);
    QCOMPARE(status->BitState(46), false);
    QCOMPARE(status->BitState(65), enable);
    QCOMPARE(status->BrakeRelayEnergized(), enable);
    QCOMPARE(config->DriveEnable(), enable);
}

void TestBridgePty::linkSharesThePortWithTheBridge()
{
    StartSimulator(0);
    if (QTest::currentTestFailed()) {
        return;
    }
    auto config = m_rig->Config();
    QCOMPARE(config->TestConnection(), -1);

    // The terminal's link on the same device, opened while the bridge holds it.
    Orvex::CLinkPort link(m_rig->hub);
    link.Open(m_rig->port, true);
    QVERIFY(link.IsOpen());
    link.Write(QStringLiteral("\r"));
    QString text;
    QTRY_VERIFY_WITH_TIMEOUT((text += link.Read()).contains(u'\x05'), kTimeoutMs);
    QCOMPARE(text, QStringLiteral("\x05"));

    // The bridge keeps working beside it, and the link sees its answers too.
    QCOMPARE(config->TestConnection(), -1);
    QTRY_VERIFY_WITH_TIMEOUT((text += link.Read()).contains(QLatin1String("VER=ORVEX ")),
                             kTimeoutMs);
}

void TestBridgePty::simulatorDyingIsReportedWithoutHanging_data()
{
    QTest::addColumn<bool>("duringUpload");
    QTest::newRow("between calls") << false;
    QTest::newRow("in the middle of an upload") << true;
}

void TestBridgePty::simulatorDyingIsReportedWithoutHanging()
{
    QFETCH(bool, duringUpload);
    // At 9600 baud the listing takes about 2 s, time enough to pull the plug.
    StartSimulator(duringUpload ? 9600 : 0);
    if (QTest::currentTestFailed()) {
        return;
    }
    auto config = m_rig->Config();
    QCOMPARE(config->TestConnection(), -1);
    const ConfigurationValues before = ValuesOf(*config);

    QElapsedTimer elapsed;
    QString error;
    if (duringUpload) {
        QTimer::singleShot(300, m_simulator.get(), [this] { m_simulator->kill(); });
        elapsed.start();
        error = DescriptionOf([&] { config->LoadConfiguration(QString()); });
    } else {
        m_simulator->kill();
        QVERIFY(m_simulator->waitForFinished(kTimeoutMs));
        elapsed.start();
        error = DescriptionOf([&] { config->LoadConfiguration(QString()); });
    }
    QVERIFY2(error != QLatin1String("(no error)"), qPrintable(error));
    // The drive's end going away is noticed, not sat out.
    QVERIFY2(elapsed.elapsed() < Orvex::DriveExchange::ListingTimeoutMs, qPrintable(error));
    QVERIFY(ValuesOf(*config) == before);
    QCOMPARE(config->TestConnection() > 0, true);
}

QTEST_GUILESS_MAIN(TestBridgePty)
#include "tst_bridgepty.moc"
