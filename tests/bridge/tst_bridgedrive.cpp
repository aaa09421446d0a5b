#include "BridgeRig.h"
#include "ComponentError.h"
#include "ConfigurationValues.h"
#include "SimulatedDrive.h"
#include "SimulatorTransport.h"

#include <QTest>
#include <QTimer>

#include <memory>
#include <optional>

using Orvex::ComponentError;
using Orvex::ConfigurationValues;
using Orvex::SimulatedDrive;
using Orvex::SimulatorTransport;
using OrvexTest::DescriptionOf;
using OrvexTest::DriveHeldValues;
using OrvexTest::SetSampleConfiguration;
using OrvexTest::ValuesOf;

namespace {

// The simulated drive behind an in-process port of a registry and hub built as
// the application builds them, with the bridge registered in a factory, and a
// second port with no drive behind it.
struct Bench : OrvexTest::BridgeRig
{
    // A transport with no drive behind it cannot be opened.
    int brokenPort = AddVirtualPort(QStringLiteral("broken"), QStringLiteral("Broken"),
                                    [] { return std::make_unique<SimulatorTransport>(nullptr); });
};

} // namespace

class TestBridgeDrive : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void connectionTestAnswersEachCode_data();
    void connectionTestAnswersEachCode();
    void factoryMakesBothObjects();
    void configurationTravelsToTheDriveAndBack_data();
    void configurationTravelsToTheDriveAndBack();
    void refusedWriteStopsTheDownloadNamingTheSetting();
    void uploadNeedsARunningDrive();
    void lostLinkDuringUploadKeepsTheConfiguration();
    void driveStateComesFromTheDrive();
    void enableNeedsTheHardwareInput();
    void bitStatusShowsALatchedFault();
    void bitStatusRowsOutsideTheTableAreRefused();
    void numericStatusReadsTheSelectedItems();
    void resetAndFactorySettings();
    void silentDriveIsReported();
    void secondExchangeWhileOneWaitsIsRefused();
    void controlCharactersAreNotSent();
    void configurationFileThroughTheObject();
};

void TestBridgeDrive::connectionTestAnswersEachCode_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<int>("expected");
    QTest::newRow("drive answers") << "good" << -1;
    QTest::newRow("unknown port") << "unknown" << 1;
    QTest::newRow("port cannot be opened") << "broken" << 2;
    QTest::newRow("no answer") << "silent" << 3;
    QTest::newRow("wrong answer") << "wrong" << 4;
    QTest::newRow("operating system missing") << "missing" << 5;
    QTest::newRow("operating system corrupt") << "corrupt" << 6;
}

void TestBridgeDrive::connectionTestAnswersEachCode()
{
    QFETCH(QString, situation);
    QFETCH(int, expected);
    Bench bench;
    int port = bench.port;
    if (situation == QLatin1String("unknown")) {
        port = 99;
    } else if (situation == QLatin1String("broken")) {
        port = bench.brokenPort;
    } else if (situation == QLatin1String("silent")) {
        bench.drive->SetNoAnswer(true);
    } else if (situation == QLatin1String("wrong")) {
        bench.drive->SetWrongAnswer(true);
    } else if (situation == QLatin1String("missing")) {
        bench.drive->SetOsState(SimulatedDrive::OsState::Missing);
    } else if (situation == QLatin1String("corrupt")) {
        bench.drive->SetOsState(SimulatedDrive::OsState::Corrupt);
    }
    auto config = bench.Config();
    config->SetPortNumber(port);
    QCOMPARE(config->TestConnection(), expected);
    auto status = bench.Status();
    status->SetPortNumber(port);
    QCOMPARE(status->TestConnection(), expected);
}

void TestBridgeDrive::factoryMakesBothObjects()
{
    Bench bench;
    QCOMPARE(bench.Config()->Version(), QStringLiteral("1.0.0"));
    QCOMPARE(bench.Status()->Version(), QStringLiteral("1.0.0"));
}

void TestBridgeDrive::configurationTravelsToTheDriveAndBack_data()
{
    QTest::addColumn<bool>("linear");
    QTest::addColumn<int>("controlMode");
    QTest::newRow("rotary motor, torque mode") << false << 2;
    QTest::newRow("linear motor, velocity mode") << true << 4;
    QTest::newRow("rotary motor, step and direction") << false << 6;
}

void TestBridgeDrive::configurationTravelsToTheDriveAndBack()
{
    QFETCH(bool, linear);
    QFETCH(int, controlMode);
    Bench bench;
    auto config = bench.Config();
    SetSampleConfiguration(*config, linear, controlMode);
    // And more of the loop settings, to travel with the rest.
    config->SetInductanceRatio(0.625f);
    config->SetVelocityLoopIntegralLimit(300);
    config->SetPositionLoopIntegralLimit(700);
    config->SetCurrentFoldback(true);
    config->SetNotchADepth(0.375f);
    config->SetSlidingGain(0.5f);
    config->SetAutoCurrentGains(0);
    config->SetCurrentLoopBandwidth(900);
    config->SetEncoderFiltering(2);
    config->StoreConfiguration(true, QString());
    QVERIFY(bench.drive->IsConfigured());
    QCOMPARE(bench.drive->StoredValue(16), std::optional<double>(37.25));
    QCOMPARE(bench.drive->StoredValue(178),
             std::optional<double>(controlMode == 4 ? 300.0 : 700.0));
    QCOMPARE(bench.drive->StoredValue(134), std::optional<double>(4326.0));

    const ConfigurationValues sent = ValuesOf(*config);
    auto reader = bench.Config();
    reader->SetMotorRatedSpeed(1.0f);
    reader->SetMotorPartNumber(QStringLiteral("other"));
    reader->SetControlMode(controlMode);
    reader->LoadConfiguration(QString());
    const ConfigurationValues& received = ValuesOf(*reader);
    QCOMPARE(DriveHeldValues(received), DriveHeldValues(sent));
    QCOMPARE(reader->MotorPartNumber(), QStringLiteral("VX-220-B"));
    QCOMPARE(reader->ElectricalPitch(), linear ? 24.5f : 0.0f);
    QCOMPARE(reader->ZeroReferenceVoltage(), 1.25f);
    // The drive's configuration checksum, read on its own after the listing.
    QVERIFY(reader->DriveParameter186() != 0);
}

void TestBridgeDrive::refusedWriteStopsTheDownloadNamingTheSetting()
{
    Bench bench;
    auto config = bench.Config();
    config->SetMotorRatedSpeed(900.0f);
    QCOMPARE(
        DescriptionOf([&] { config->StoreConfiguration(true, QString()); }),
        QStringLiteral("The drive refused MotorRatedSpeed (P016=900): Out of range 0.01 to 500"));
    QVERIFY(!bench.drive->IsConfigured());
    QCOMPARE(bench.drive->StoredValue(1), std::optional<double>(8000.0));
}

void TestBridgeDrive::uploadNeedsARunningDrive()
{
    Bench bench;
    bench.drive->SetOsState(SimulatedDrive::OsState::Missing);
    auto config = bench.Config();
    QCOMPARE(DescriptionOf([&] { config->LoadConfiguration(QString()); }),
             QStringLiteral("OS needs to be downloaded"));
    QCOMPARE(DescriptionOf([&] { config->StoreConfiguration(true, QString()); }),
             QStringLiteral("OS needs to be downloaded"));
}

void TestBridgeDrive::lostLinkDuringUploadKeepsTheConfiguration()
{
    Bench bench;
    auto config = bench.Config();
    config->SetMotorKe(77.0f);
    QCOMPARE(config->TestConnection(), -1);
    QVERIFY(bench.transport);
    bench.transport->SetLoseLinkAfter(300);
    const ConfigurationValues before = ValuesOf(*config);
    QVERIFY(!DescriptionOf([&] { config->LoadConfiguration(QString()); }).isEmpty());
    QVERIFY(ValuesOf(*config) == before);
    // The next call opens the port afresh.
    QCOMPARE(config->TestConnection(), -1);
}

void TestBridgeDrive::driveStateComesFromTheDrive()
{
    Bench bench;
    auto config = bench.Config();
    QCOMPARE(config->DriveConfigured(), false);
    QCOMPARE(config->DriveFaulted(), false);
    QCOMPARE(config->EnableInputActive(), true);
    config->StoreConfiguration(true, QString());
    QCOMPARE(config->DriveConfigured(), true);
    bench.drive->SetEnableInput(false);
    QCOMPARE(config->EnableInputActive(), false);
    QVERIFY(bench.drive->LatchFault(28));
    QCOMPARE(config->DriveFaulted(), true);
}

void TestBridgeDrive::enableNeedsTheHardwareInput()
{
    Bench bench;
    auto config = bench.Config();
    QCOMPARE(DescriptionOf([&] { config->SetDriveEnable(true); }),
             QStringLiteral("The drive refused ENABLE 1: Not configured"));
    config->StoreConfiguration(true, QString());
    config->SetDriveEnable(true);
    QCOMPARE(config->DriveEnable(), true);
    config->SetDriveEnable(false);
    QCOMPARE(config->DriveEnable(), false);

    bench.drive->SetEnableInput(false);
    QVERIFY(DescriptionOf([&] {
                config->SetDriveEnable(true);
            }).startsWith(QStringLiteral("The drive refused ENABLE 1: Failed ")));
    QCOMPARE(config->DriveEnable(), false);
}

void TestBridgeDrive::bitStatusShowsALatchedFault()
{
    Bench bench;
    auto config = bench.Config();
    config->StoreConfiguration(true, QString());
    QVERIFY(bench.drive->LatchFault(28));
    auto status = bench.Status();
    status->UploadStatus();
    QCOMPARE(status->BitState(28), true);
    const quint64 bits = bench.drive->ErrorBits();
    for (int bit = 0; bit < 64; ++bit) {
        QCOMPARE(status->BitState(bit), ((bits >> bit) & 1u) != 0);
    }
    QCOMPARE(status->BitState(64), bench.drive->FaultOutput());
    QCOMPARE(status->DriveFaultOutput(), bench.drive->FaultOutput());
    QCOMPARE(status->BitState(65), bench.drive->BrakeRelayEnergized());
    QCOMPARE(status->BrakeRelayEnergized(), bench.drive->BrakeRelayEnergized());

    config->ResetDrive(true, 10000);
    status->UploadStatus();
    QCOMPARE(status->BitState(28), false);
}

void TestBridgeDrive::bitStatusRowsOutsideTheTableAreRefused()
{
    Bench bench;
    auto status = bench.Status();
    status->UploadStatus();
    QVERIFY_THROWS_EXCEPTION(ComponentError, status->BitState(66));
    QVERIFY_THROWS_EXCEPTION(ComponentError, status->BitState(-1));
}

void TestBridgeDrive::numericStatusReadsTheSelectedItems()
{
    Bench bench;
    auto status = bench.Status();
    // Serial number, OS revision, power level, operating hours, bus voltage.
    status->UploadNumericStatus(0x1 | 0x4 | 0x40 | 0x80 | 0x400, 0);
    QCOMPARE(status->SerialNumber(), SimulatedDrive::SerialNumber());
    QVERIFY2(status->OsRevision().startsWith(SimulatedDrive::OsRevision()),
             qPrintable(status->OsRevision()));
    QVERIFY(status->PowerLevel() > 0);
    QVERIFY(status->BusVoltage() > 0.0f);
    QCOMPARE(status->OperatingHours().count(u':'), 2);
    // What the mask left out is not read.
    QCOMPARE(status->MotorName(), QString());
    QCOMPARE(status->AmplifierPeakCurrent(), 0.0f);

    status->UploadNumericStatus(-1, 0);
    QVERIFY(status->AmplifierPeakCurrent() > status->AmplifierContinuousCurrent());
}

void TestBridgeDrive::resetAndFactorySettings()
{
    Bench bench;
    auto config = bench.Config();
    config->SetMotorRatedSpeed(20.0f);
    config->StoreConfiguration(true, QString());
    QCOMPARE(config->ResetDrive(false, 10000), true);
    QCOMPARE(bench.drive->WorkingValue(16), std::optional<double>(20.0));
    QCOMPARE(config->RestoreFactorySettings(20000), true);
    QCOMPARE(config->DriveConfigured(), false);
    QCOMPARE(bench.drive->WorkingValue(16), std::optional<double>(50.0));
    // The configuration held in memory is the user's, not the drive's.
    QCOMPARE(config->MotorRatedSpeed(), 20.0f);
}

void TestBridgeDrive::silentDriveIsReported()
{
    Bench bench;
    auto config = bench.Config();
    QCOMPARE(config->TestConnection(), -1);
    bench.drive->SetNoAnswer(true);
    QCOMPARE(DescriptionOf([&] { config->DriveConfigured(); }),
             QStringLiteral("No response from Orvex drive"));
    QCOMPARE(config->ResetDrive(false, 200), false);
    bench.drive->SetNoAnswer(false);
    QCOMPARE(config->DriveConfigured(), false);
}

void TestBridgeDrive::secondExchangeWhileOneWaitsIsRefused()
{
    Bench bench;
    auto config = bench.Config();
    auto status = bench.Status();
    // Answers take a while on a slow link, so a timer fires during the wait.
    QCOMPARE(config->TestConnection(), -1);
    bench.transport->SetBaudRate(9600);
    QString nested;
    QTimer::singleShot(0, [&] { nested = DescriptionOf([&] { status->UploadStatus(); }); });
    config->LoadConfiguration(QString());
    QCOMPARE(nested, QStringLiteral("The drive is busy with another request; try again when it has "
                                    "finished."));
    // The refused request left nothing behind.
    status->UploadStatus();
    QCOMPARE(status->BitState(28), false);
}

void TestBridgeDrive::controlCharactersAreNotSent()
{
    Bench bench;
    auto config = bench.Config();
    config->StoreConfiguration(true, QString());
    const int commands = bench.drive->CommandsReceived();
    config->SetMotorPartNumber(QStringLiteral("A\rFACTORY"));
    QVERIFY(DescriptionOf([&] {
                config->StoreConfiguration(true, QString());
            }).contains(QStringLiteral("only printable ASCII")));
    QCOMPARE(config->DriveConfigured(), true);
    QVERIFY(bench.drive->CommandsReceived() > commands);
}

void TestBridgeDrive::configurationFileThroughTheObject()
{
    Bench bench;
    const QString path = bench.dir.filePath(QStringLiteral("saved.kvt"));
    auto config = bench.Config();
    config->SetMotorKe(41.5f);
    config->SetControlMode(6);
    QCOMPARE(DescriptionOf([&] { config->StoreConfiguration(false, QString()); }),
             QStringLiteral("No file name was given to save the configuration."));
    config->StoreConfiguration(false, path);

    auto other = bench.Config();
    other->LoadConfiguration(path);
    QCOMPARE(other->MotorKe(), 41.5f);
    QCOMPARE(other->ControlMode(), 6);
    // Files never reach the drive by themselves.
    QCOMPARE(bench.drive->ParameterWrites(), 0);
}

QTEST_GUILESS_MAIN(TestBridgeDrive)
#include "tst_bridgedrive.moc"
