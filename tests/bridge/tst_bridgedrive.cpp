// Both bridge objects end to end against the simulated drive, through the
// port hub as the application builds it: the connection test, configuration
// transfers and the faults that hit them, status, configuration files, and the
// real serial path to the standalone simulator.
#include "BridgeRig.h"
#include "ComponentError.h"
#include "DriveExchange.h"
#include "KvtFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <limits>
#include <map>
#include <optional>

using Orvex::ConfigurationValues;
using Orvex::DriveExchange;
using Orvex::KvtFile;
using Orvex::SimulatedDrive;
using OrvexTest::BridgeRig;
using OrvexTest::DescriptionOf;
using OrvexTest::ValuesOf;

namespace {

// The file text of every property that travels to the drive and back.
QStringList DriveHeldValues(const ConfigurationValues& values)
{
    using Way = ConfigurationValues::Transfer;
    const bool velocityMode = values.Int(45) == 4;
    QStringList texts;
    for (const ConfigurationValues::Property& property : ConfigurationValues::Properties()) {
        if (property.Way != Way::None && property.Way != Way::UploadOnly &&
            (property.Way != Way::VelocityModeIntegral || velocityMode) &&
            (property.Way != Way::NotVelocityModeIntegral || !velocityMode)) {
            texts << QLatin1String(property.Name) + u'=' + values.FileText(property);
        }
    }
    return texts;
}

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

// A configuration far from the defaults, with floats that do not survive a
// short decimal print and a part number full of awkward characters.
ConfigurationValues UnusualConfiguration()
{
    using Type = ConfigurationValues::ValueType;
    ConfigurationValues values;
    int step = 1;
    for (const ConfigurationValues::Property& property : ConfigurationValues::Properties()) {
        const int id = property.DispatchId;
        if (property.Type == Type::Int) {
            values.SetInt(id, -1000 * step + 7);
        } else if (property.Type == Type::Float) {
            values.SetFloat(id, 0.1f * static_cast<float>(step) / 3.0f + 1e-7f);
        } else if (property.Type == Type::Bool) {
            values.SetBool(id, step % 2 == 1);
        } else {
            values.SetText(id, QStringLiteral("AKM=21C \\ back\nslash\r\u00b5 \\n"));
        }
        ++step;
    }
    return values;
}

// Writes text into a file of its own and answers the file's path.
QString FileWith(const QTemporaryDir& dir, const QByteArray& text)
{
    QFile file(dir.filePath(QStringLiteral("written.kvt")));
    const bool written = file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    return written ? file.fileName() : QString();
}

// The file the program writes for values, as text; version 1 is the same
// file as written before the end line existed.
QByteArray WholeFile(const ConfigurationValues& values, int version = 2)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("whole.kvt"));
    KvtFile::Write(path, values);
    QByteArray text = Contents(path);
    if (version == 1) {
        text.replace("ORVEX-KVT 2\n", "ORVEX-KVT 1\n");
        text.truncate(text.lastIndexOf("END "));
    }
    return text;
}

// The first count lines of text, each with its line break.
QByteArray FirstLines(const QByteArray& text, int count)
{
    qsizetype end = 0;
    for (int line = 0; line < count; ++line)
        end = text.indexOf('\n', end) + 1;
    return text.left(end);
}

// How a file that ends after the given setting names what it lacks.
QString LacksAfter(int settings)
{
    const auto properties = ConfigurationValues::Properties();
    return QStringLiteral("'%1' and %2 other settings")
        .arg(QLatin1String(properties[settings].Name))
        .arg(properties.size() - settings - 1);
}

} // namespace

Q_DECLARE_METATYPE(Fault)

class TestBridgeDrive : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The connection test's answer, and the error of a transfer that needs a
    // running drive.
    void connectionTestAnswersEachCode_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("error");
        const auto row = [](const char* name, const char* situation, int code, const char* error) {
            QTest::newRow(name) << QString(situation) << code << QString(error);
        };
        row("drive answers", "good", -1, "(no error)");
        row("unknown port", "unknown", 1, "Invalid COM port number");
        row("port cannot be opened", "broken", 2, "Unable to open COM port");
        row("no answer", "silent", 3, "No response from Orvex drive");
        row("wrong answer", "wrong", 4, "Incorrect response from Orvex drive");
        row("operating system missing", "missing", 5, "OS needs to be downloaded");
        row("operating system corrupt", "corrupt", 6, "Cycle power and download OS");
    }
    void connectionTestAnswersEachCode()
    {
        QFETCH(QString, situation);
        QFETCH(int, expected);
        QFETCH(QString, error);
        BridgeRig rig;
        // A transport with no drive behind it cannot be opened.
        const int broken = rig.AddVirtualPort(QStringLiteral("broken"), [] {
            return std::make_unique<Orvex::SimulatorTransport>(nullptr);
        });
        rig.port = situation == QLatin1String("unknown")  ? 99
                   : situation == QLatin1String("broken") ? broken
                                                          : rig.port;
        rig.drive->SetNoAnswer(situation == QLatin1String("silent"));
        rig.drive->SetWrongAnswer(situation == QLatin1String("wrong"));
        if (situation == QLatin1String("missing"))
            rig.drive->SetOsState(SimulatedDrive::OsState::Missing);
        if (situation == QLatin1String("corrupt"))
            rig.drive->SetOsState(SimulatedDrive::OsState::Corrupt);
        QCOMPARE(rig.Status()->TestConnection(), expected);
        auto config = rig.Config();
        QCOMPARE(config->TestConnection(), expected);
        QCOMPARE(DescriptionOf([&] { config->LoadConfiguration(QString()); }), error);
        QCOMPARE(DescriptionOf([&] { config->StoreConfiguration(true, QString()); }), error);
    }
    void configurationTravelsToTheDriveAndBack_data()
    {
        QTest::addColumn<bool>("linear");
        QTest::addColumn<int>("controlMode");
        QTest::newRow("rotary motor, torque mode") << false << 2;
        QTest::newRow("linear motor, velocity mode") << true << 4;
        QTest::newRow("rotary motor, step and direction") << false << 6;
    }
    void configurationTravelsToTheDriveAndBack()
    {
        QFETCH(bool, linear);
        QFETCH(int, controlMode);
        BridgeRig rig;
        auto config = rig.Config();
        config->SetMotorPartNumber(QStringLiteral("VX-220-B"));
        config->SetMotorIsLinear(linear ? 1 : 0);
        config->SetElectricalPitch(linear ? 24.5f : 0.0f);
        config->SetMotorPolePairs(linear ? 1 : 5);
        config->SetMotorRatedSpeed(37.25f);
        config->SetMotorKe(41.5f);
        config->SetPeakCurrent(12.75f);
        config->SetFeedbackResolution(131072);
        config->SetControlMode(controlMode);
        config->SetNotchAFrequency(250);
        config->SetZeroReferenceVoltage(1.25f);
        config->SetEncoderOffset(-1200);
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
        QVERIFY(rig.drive->IsConfigured());
        QCOMPARE(rig.drive->StoredValue(16), std::optional<double>(37.25));
        QCOMPARE(rig.drive->StoredValue(178),
                 std::optional<double>(controlMode == 4 ? 300.0 : 700.0));
        QCOMPARE(rig.drive->StoredValue(134), std::optional<double>(4326.0));
        auto reader = rig.Config();
        reader->SetMotorRatedSpeed(1.0f);
        reader->SetMotorPartNumber(QStringLiteral("other"));
        reader->SetControlMode(controlMode);
        reader->LoadConfiguration(QString());
        QCOMPARE(DriveHeldValues(ValuesOf(*reader)), DriveHeldValues(ValuesOf(*config)));
        QCOMPARE(reader->MotorPartNumber(), QStringLiteral("VX-220-B"));
        QCOMPARE(reader->ElectricalPitch(), linear ? 24.5f : 0.0f);
        QCOMPARE(reader->ZeroReferenceVoltage(), 1.25f);
        // The drive's configuration checksum, read on its own after the listing.
        QVERIFY(reader->DriveParameter186() != 0);
    }
    // A fresh drive uploads the motor it left the factory with, by the keys the
    // wizard looks it up with: BE23A1E, catalogue winding, cooling "HS".
    void freshDriveUploadsItsFactoryMotor()
    {
        BridgeRig rig;
        auto config = rig.Config();
        config->LoadConfiguration(QString());
        QCOMPARE(config->MotorPartNumber(), QStringLiteral("BE23A1E"));
        QCOMPARE(config->CustomWindingNumber(), 0);
        QCOMPARE(config->CoolingCode(), 0);
        QCOMPARE(config->MotorRatedSpeed(), 100.0f);
        QCOMPARE(config->MotorPolePairs(), 4);
        QCOMPARE(config->ContinuousCurrent(), 1.51f);
        QCOMPARE(config->FeedbackResolution(), 8000);
        QCOMPARE(config->DriveConfigured(), true);
    }
    void refusedDownloadsStopBeforeTheSave()
    {
        BridgeRig rig;
        // A drive that lost its configuration, so that a save would show.
        rig.drive->SetConfigured(false);
        auto config = rig.Config();
        config->SetMotorRatedSpeed(900.0f);
        QCOMPARE(DescriptionOf([&] { config->StoreConfiguration(true, QString()); }),
                 QStringLiteral(
                     "The drive refused MotorRatedSpeed (P016=900): Out of range 0.01 to 500"));
        QVERIFY(!rig.drive->IsConfigured());
        // A control character would split the command into commands of its own.
        config->SetMotorRatedSpeed(90.0f);
        config->SetMotorPartNumber(QStringLiteral("A\rCFGSAVE"));
        const int commands = rig.drive->CommandsReceived();
        QVERIFY(DescriptionOf([&] {
                    config->StoreConfiguration(true, QString());
                }).contains(QStringLiteral("only printable ASCII")));
        QVERIFY(!rig.drive->IsConfigured());
        QVERIFY(rig.drive->CommandsReceived() > commands);
    }
    // A download the drive does not take whole fails and is not saved; an
    // enabled drive is refused before anything is written, in plain words.
    void downloadNotTakenLeavesTheSavedConfiguration_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("error");
        QTest::addColumn<bool>("written");
        const QString enabled = QStringLiteral(
            "The Orvex drive is enabled. Disable it before downloading a configuration.");
        QTest::newRow("drive enabled") << "enabled" << enabled << false;
        // Its state answer lost, the drive refuses the first write itself.
        QTest::newRow("enabled drive reporting itself disabled") << "hidden" << enabled << false;
        QTest::newRow("value out of range part way")
            << "range"
            << "The drive refused MotorRatedSpeed (P016=900): Out of range 0.01 to 500" << true;
    }
    void downloadNotTakenLeavesTheSavedConfiguration()
    {
        QFETCH(QString, situation);
        QFETCH(QString, error);
        QFETCH(bool, written);
        BridgeRig rig;
        auto config = rig.Config();
        config->LoadConfiguration(QString());
        config->SetMotorKe(77.0f);
        config->SetPeakCurrent(6.5f);
        if (situation == QLatin1String("range")) {
            config->SetMotorRatedSpeed(900.0f);
        } else {
            config->SetDriveEnable(true);
            QVERIFY(rig.drive->IsEnabled());
        }
        if (situation == QLatin1String("hidden")) {
            rig.link->answers = [](QByteArray bytes) {
                return bytes.replace("STAT=1,1,", "STAT=1,0,");
            };
        }
        // A working value that differs from the saved one shows a save.
        rig.drive->Receive("P190=2.5\r");
        const std::optional<double> savedGain = rig.drive->StoredValue(190);
        const int writes = rig.drive->ParameterWrites();
        QCOMPARE(DescriptionOf([&] { config->StoreConfiguration(true, QString()); }), error);
        QCOMPARE(rig.drive->ParameterWrites() > writes, written);
        // Peak current (P007) comes before the rated speed, Ke (P038) after it.
        QCOMPARE(rig.drive->WorkingValue(7), std::optional<double>(written ? 6.5 : 4.53));
        QCOMPARE(rig.drive->WorkingValue(38), std::optional<double>(18.0));
        QCOMPARE(rig.drive->StoredValue(190), savedGain);
        QCOMPARE(rig.drive->IsEnabled(), situation != QLatin1String("range"));
    }

    // A listing damaged on the way that still ends with the drive's prompt.
    void damagedUploadKeepsTheConfiguration_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("arrived");
        QTest::addColumn<QString>("error");
        QTest::newRow("lines lost on the way")
            << QByteArray("P016=100\r\n") << QByteArray()
            << "Incorrect response from Orvex drive: the configuration arrived incomplete";
        QTest::newRow("unreadable value")
            << QByteArray("P016=100\r\n") << QByteArray("P016=abc\r\n")
            << "Incorrect response from Orvex drive: unreadable value 'abc' for P016";
    }
    void damagedUploadKeepsTheConfiguration()
    {
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, arrived);
        QFETCH(QString, error);
        BridgeRig rig;
        auto config = rig.Config();
        config->SetMotorRatedSpeed(20.0f);
        config->SetMotorKe(77.0f);
        config->SetMotorPartNumber(QStringLiteral("VX-100"));
        QCOMPARE(config->TestConnection(), -1);
        rig.link->answers = [&](QByteArray bytes) { return bytes.replace(sent, arrived); };
        const ConfigurationValues before = ValuesOf(*config);
        QCOMPARE(DescriptionOf([&] { config->LoadConfiguration(QString()); }), error);
        QVERIFY(ValuesOf(*config) == before);
    }
    void driveStateAndEnable()
    {
        BridgeRig rig;
        rig.drive->SetConfigured(false); // a drive that lost its configuration
        auto config = rig.Config();
        QCOMPARE(config->DriveConfigured(), false);
        QCOMPARE(config->DriveFaulted(), false);
        QCOMPARE(config->EnableInputActive(), true);
        QCOMPARE(DescriptionOf([&] { config->SetDriveEnable(true); }),
                 QStringLiteral("The drive refused ENABLE 1: Not configured"));
        config->StoreConfiguration(true, QString());
        QCOMPARE(config->DriveConfigured(), true);
        config->SetDriveEnable(true);
        QCOMPARE(config->DriveEnable(), true);
        config->SetDriveEnable(false);
        QCOMPARE(config->DriveEnable(), false);
        rig.drive->SetEnableInput(false);
        QCOMPARE(config->EnableInputActive(), false);
        QVERIFY(DescriptionOf([&] {
                    config->SetDriveEnable(true);
                }).startsWith(QStringLiteral("The drive refused ENABLE 1: Failed ")));
        QCOMPARE(config->DriveEnable(), false);
        QVERIFY(rig.drive->LatchFault(28));
        QCOMPARE(config->DriveFaulted(), true);
    }
    void bitStatusShowsALatchedFault()
    {
        BridgeRig rig;
        auto config = rig.Config();
        config->StoreConfiguration(true, QString());
        QVERIFY(rig.drive->LatchFault(28));
        auto status = rig.Status();
        status->UploadStatus();
        QCOMPARE(status->BitState(28), true);
        const quint64 bits = rig.drive->ErrorBits();
        for (int bit = 0; bit < 64; ++bit) {
            QCOMPARE(status->BitState(bit), ((bits >> bit) & 1u) != 0);
        }
        QCOMPARE(status->BitState(64), rig.drive->FaultOutput());
        QCOMPARE(status->DriveFaultOutput(), rig.drive->FaultOutput());
        QCOMPARE(status->BitState(65), rig.drive->BrakeRelayEnergized());
        QCOMPARE(status->BrakeRelayEnergized(), rig.drive->BrakeRelayEnergized());
        // Rows outside the table are refused.
        QVERIFY_THROWS_EXCEPTION(Orvex::ComponentError, status->BitState(66));
        QVERIFY_THROWS_EXCEPTION(Orvex::ComponentError, status->BitState(-1));
        config->ResetDrive(true, 10000);
        status->UploadStatus();
        QCOMPARE(status->BitState(28), false);
    }
    void numericStatusReadsTheSelectedItems()
    {
        BridgeRig rig;
        auto status = rig.Status();
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
    void resetFactorySettingsAndSilence()
    {
        BridgeRig rig;
        auto config = rig.Config();
        config->SetMotorRatedSpeed(20.0f);
        config->StoreConfiguration(true, QString());
        QCOMPARE(config->ResetDrive(false, 10000), true);
        QCOMPARE(rig.drive->WorkingValue(16), std::optional<double>(20.0));
        QCOMPARE(config->RestoreFactorySettings(20000), true);
        QCOMPARE(config->DriveConfigured(), false);
        QCOMPARE(rig.drive->WorkingValue(16), std::optional<double>(50.0));
        // The configuration held in memory is the user's, not the drive's.
        QCOMPARE(config->MotorRatedSpeed(), 20.0f);
        rig.drive->SetNoAnswer(true);
        QCOMPARE(DescriptionOf([&] { config->DriveConfigured(); }),
                 QStringLiteral("No response from Orvex drive"));
        QCOMPARE(config->ResetDrive(false, 200), false);
        rig.drive->SetNoAnswer(false);
        QCOMPARE(config->DriveConfigured(), false);
    }
    void secondExchangeWhileOneWaitsIsRefused()
    {
        BridgeRig rig;
        auto config = rig.Config();
        auto status = rig.Status();
        // Answers take a while on a slow link, so a timer fires during the wait.
        QCOMPARE(config->TestConnection(), -1);
        rig.transport->SetBaudRate(9600);
        QString nested;
        QTimer::singleShot(0, [&] { nested = DescriptionOf([&] { status->UploadStatus(); }); });
        config->LoadConfiguration(QString());
        QCOMPARE(nested, QStringLiteral("The drive is busy with another request; try again when "
                                        "it has finished."));
        // The refused request left nothing behind.
        status->UploadStatus();
        QCOMPARE(status->BitState(28), false);
    }
    void faultInTheMiddleOfATransfer_data()
    {
        QTest::addColumn<bool>("upload");
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<int>("after");
        // The time-out of the exchange the fault hits.
        QTest::addColumn<int>("timeoutMs");
        // An upload is the connection test's empty line and VER, CFGUP, then
        // the read-only parameters one by one.
        QTest::newRow("upload, drive silent on the first parameter after the listing")
            << true << Fault::Silent << 3 << DriveExchange::PlainTimeoutMs;
        QTest::newRow("upload, drive silent on the listing")
            << true << Fault::Silent << 2 << DriveExchange::ListingTimeoutMs;
        // Noticed by the pause, long before the listing's time-out.
        QTest::newRow("upload, answer stops half way through the listing")
            << true << Fault::Mute << 700 << DriveExchange::AnswerGapMs;
        QTest::newRow("upload, link lost half way through the listing")
            << true << Fault::Cut << 700 << DriveExchange::ListingTimeoutMs;
        // A download is the connection test, the drive's state, one write per
        // setting, then CFGSAVE.
        QTest::newRow("download, drive silent on the twentieth write")
            << false << Fault::Silent << 22 << DriveExchange::PlainTimeoutMs;
        QTest::newRow("download, drive silent on the save")
            << false << Fault::Silent << -1 << DriveExchange::LongTimeoutMs;
        QTest::newRow("download, link lost after 400 bytes")
            << false << Fault::Cut << 400 << DriveExchange::PlainTimeoutMs;
    }
    void faultInTheMiddleOfATransfer()
    {
        QFETCH(bool, upload);
        QFETCH(Fault, fault);
        QFETCH(int, after);
        QFETCH(int, timeoutMs);
        BridgeRig rig;
        // A drive that lost its configuration, so that a save would show.
        rig.drive->SetConfigured(false);
        auto config = rig.Config();
        config->SetMotorKe(77.0f);
        config->SetMotorPartNumber(QStringLiteral("VX-100"));
        QCOMPARE(config->TestConnection(), -1);
        if (fault == Fault::Silent) {
            // From CFGSAVE on: after the test's two lines, STAT and every write.
            rig.link->silentAfterCommands =
                after >= 0 ? after : 3 + int(ValuesOf(*config).DownloadWrites().size());
        } else if (fault == Fault::Mute) {
            // The switch a user gives the simulator, as SIMSW or --fault.
            QVERIFY(rig.drive->ApplySwitch(QStringLiteral("mute:%1").arg(after), nullptr));
            rig.transport->ApplyLinkSwitches();
        } else {
            rig.transport->SetLoseLinkAfter(after);
        }
        const ConfigurationValues before = ValuesOf(*config);
        QElapsedTimer elapsed;
        elapsed.start();
        const QString error = upload ? DescriptionOf([&] { config->LoadConfiguration(QString()); })
                                     : DescriptionOf([&] { config->StoreConfiguration(true, {}); });
        const qint64 took = elapsed.elapsed();
        QVERIFY2(error.startsWith(fault == Fault::Silent ? "No response from Orvex drive"
                                  : fault == Fault::Mute
                                      ? "No response from Orvex drive: it stopped answering"
                                      : "The link to the Orvex Drive Simulator was cut."),
                 qPrintable(error));
        // A drive that does not answer is waited for the exchange's time-out,
        // and no longer; a lost link is noticed at once.
        if (fault == Fault::Cut) {
            QVERIFY2(took < timeoutMs / 2, qPrintable(QString::number(took)));
        } else {
            QVERIFY2(took >= timeoutMs * 9 / 10 && took < 3 * timeoutMs,
                     qPrintable(QString::number(took)));
        }
        QVERIFY(ValuesOf(*config) == before);
        QCOMPARE(rig.drive->IsConfigured(), false);
        // The drive is back: the next call works, on a fresh link where the
        // old one was lost.
        rig.drive->SetNoAnswer(false);
        if (rig.link) {
            rig.link->silentAfterCommands = -1;
            rig.transport->SetMuteAfter(-1);
        }
        QCOMPARE(config->TestConnection(), -1);
        if (upload) {
            rig.drive->Receive("P38=12.5\rMPART=VX-300\r"); // Ke is P38
            config->LoadConfiguration(QString());
            QCOMPARE(config->MotorKe(), 12.5f);
            QCOMPARE(config->MotorPartNumber(), QStringLiteral("VX-300"));
        } else {
            config->StoreConfiguration(true, QString());
            QCOMPARE(rig.drive->IsConfigured(), true);
            QCOMPARE(rig.drive->StoredValue(38), std::optional<double>(77.0));
        }
    }
    void fileSaveThroughTheObject_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("error");
        const auto row = [](const char* name, const char* situation, const char* error) {
            QTest::newRow(name) << QString(situation) << QString(error);
        };
        row("no file name", "none", "No file name was given to save the configuration.");
        row("value that cannot be written", "nan",
            "The configuration cannot be saved: MotorInertia is not a number.");
        row("name of a folder", "folder", "Unable to save configuration file");
        row("folder nobody may write", "system", "Unable to save configuration file");
        row("folder that does not exist", "missing", "Unable to save configuration file");
    }
    void fileSaveThroughTheObject()
    {
        QFETCH(QString, situation);
        QFETCH(QString, error);
        BridgeRig rig;
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("drive.kvt"));
        auto config = rig.Config();
        config->SetMotorKe(41.5f);
        config->SetControlMode(6);
        config->StoreConfiguration(false, path);
        const QByteArray oldContents = Contents(path);
        auto other = rig.Config();
        other->LoadConfiguration(path);
        QCOMPARE(other->MotorKe(), 41.5f);
        QCOMPARE(other->ControlMode(), 6);

        // A save that fails leaves no half-written file, nor a temporary one
        // beside it, and the configuration in memory is still the user's.
        config->SetMotorKe(99.0f);
        if (situation == QLatin1String("nan")) {
            config->SetMotorInertia(std::numeric_limits<float>::quiet_NaN());
        } else if (situation == QLatin1String("folder")) {
            path = dir.filePath(QStringLiteral("folder.kvt"));
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.kvt")));
        } else if (situation == QLatin1String("missing")) {
            path = dir.filePath(QStringLiteral("missing/drive.kvt"));
        } else {
            // Nobody, root included, creates files in /proc.
            path = situation == QLatin1String("none") ? QString()
                                                      : QStringLiteral("/proc/orvex-test.kvt");
        }
        const QStringList filesBefore = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden);
        const QString failure = DescriptionOf([&] { config->StoreConfiguration(false, path); });
        QVERIFY2(failure.startsWith(error), qPrintable(failure));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden), filesBefore);
        QCOMPARE(Contents(dir.filePath(QStringLiteral("drive.kvt"))), oldContents);
        QCOMPARE(QFileInfo(path).isDir(), situation == QLatin1String("folder"));
        QCOMPARE(config->MotorKe(), 99.0f);
        // Files never reach the drive by themselves.
        QCOMPARE(rig.drive->ParameterWrites(), 0);
    }
    void configurationFileReadsBackExactly()
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
        // A configuration near the defaults reads back as well.
        ConfigurationValues values;
        values.SetFloat(4, 12.5f);
        values.SetText(3, QStringLiteral("AKM21C"));
        KvtFile::Write(path, values);
        KvtFile::Read(path, loaded);
        QVERIFY(loaded == values);
        // The file starts with its version, names every setting on a line of
        // its own and ends with the number of settings.
        const QList<QByteArray> lines = Contents(path).split('\n');
        const auto settings = qsizetype(ConfigurationValues::Properties().size());
        QCOMPARE(lines.first(), QByteArray("ORVEX-KVT 2"));
        QVERIFY(lines.contains("MotorRatedSpeed=12.5"));
        QVERIFY(lines.contains("MotorPartNumber=AKM21C"));
        QCOMPARE(lines.size(), settings + 3);
        QCOMPARE(lines.at(settings + 1), "END " + QByteArray::number(settings));
        // A file written before the end line existed, with Windows line ends.
        KvtFile::Read(FileWith(dir, WholeFile(saved, 1).replace("\n", "\r\n")), loaded);
        QVERIFY(loaded == saved);
    }
    void deviceIsRefused()
    {
        // Read for ever before; the reader takes only regular files.
        ConfigurationValues values = UnusualConfiguration();
        QCOMPARE(DescriptionOf([&] { KvtFile::Read(QStringLiteral("/dev/zero"), values); }),
                 QStringLiteral("Unable to open configuration file /dev/zero: it is not a "
                                "regular file"));
        QVERIFY(values == UnusualConfiguration());
    }
    void damagedFileIsRefusedNamingTheLine_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* name, const QByteArray& content, const char* message) {
            QTest::newRow(name) << content << QString::fromLatin1(message);
        };
        const QByteArray v1 = "ORVEX-KVT 1\n";
        row("empty file", "", "line 1: not an Orvex configuration file");
        row("foreign file", "[Settings]\nKp=1\n", "line 1: not an Orvex configuration file");
        row("newer version", "ORVEX-KVT 3\nMotorPolePairs=6\n", "line 1: unsupported version '3'");
        row("unknown setting", v1 + "MotorPolePairs=6\nFoo=1\n", "line 3: unknown setting 'Foo'");
        row("set twice", v1 + "MotorKe=3\nMotorPolePairs=6\nMotorKe=4\n",
            "line 4: 'MotorKe' is set twice (first on line 2)");
        row("not a number", v1 + "MotorKe=fast\n", "line 2: bad value 'fast' for MotorKe");
        row("fraction in an integer", v1 + "MotorPolePairs=2.5\n",
            "line 2: bad value '2.5' for MotorPolePairs");
        row("boolean out of range", v1 + "CurrentFoldback=2\n",
            "line 2: bad value '2' for CurrentFoldback");
        row("not finite", v1 + "MotorKe=nan\n", "line 2: bad value 'nan' for MotorKe");
        row("float overflow", v1 + "MotorKe=1e60\n", "line 2: bad value '1e60' for MotorKe");
        row("missing equals", v1 + "MotorKe 3\n",
            "line 2: 'MotorKe 3' is not a Name=value setting");
        row("bad escape", v1 + "MotorPartNumber=A\\tB\n",
            "line 2: bad value 'A\\tB' for MotorPartNumber");
        // Cut short or added to: the end line tells.
        const QByteArray whole = WholeFile({});
        const int settings = int(ConfigurationValues::Properties().size());
        const QByteArray end = "END " + QByteArray::number(settings) + "\n";
        QTest::newRow("cut at a line break")
            << FirstLines(whole, 40)
            << "line 41: the file is not whole: it ends without its end line and without " +
                   LacksAfter(39);
        // A number that lost its last digit still reads as a number.
        const QByteArray unusual = WholeFile(UnusualConfiguration());
        QTest::newRow("cut inside the last setting")
            << unusual.left(unusual.indexOf(end) - 2)
            << QStringLiteral("line %1: the file is not whole: it ends without its end line")
                   .arg(settings + 2);
        QTest::newRow("end line miscounts")
            << FirstLines(whole, 40) + end
            << QStringLiteral("line 41: the end line counts %1 settings, but the file holds 39")
                   .arg(settings);
        row("text after the end line", whole + "MotorKe=3\n",
            qPrintable(QStringLiteral("line %1: text after the end line").arg(settings + 3)));
        QTest::newRow("version 1 cut at a line break")
            << FirstLines(WholeFile({}, 1), 40)
            << "line 41: the file ends without " + LacksAfter(39);
    }
    void damagedFileIsRefusedNamingTheLine()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = FileWith(dir, content);
        const ConfigurationValues before = UnusualConfiguration();
        ConfigurationValues values = before;
        QCOMPARE(DescriptionOf([&] { KvtFile::Read(path, values); }),
                 QStringLiteral("%1, %2").arg(path, message));
        QVERIFY(values == before);
    }
    void everyPropertyHasOneRowAndItsOwnParameter()
    {
        // Two properties on one drive parameter would overwrite each other on a
        // download; only the two integral limits share one, chosen by control mode.
        std::map<int, QString> owners;
        for (const ConfigurationValues::Property& property : ConfigurationValues::Properties()) {
            QVERIFY2(ConfigurationValues::FindById(property.DispatchId) == &property,
                     property.Name);
            if (property.Parameter >= 0 &&
                !owners.emplace(property.Parameter, QLatin1String(property.Name)).second) {
                QCOMPARE(property.Parameter, 178);
            }
        }
    }

    // The bridge over the real serial path: the standalone simulator serves the
    // drive on a pseudo-terminal, reached through the serial device transport.
    void bridgeTalksThroughTheDeviceUntilTheSimulatorDies()
    {
        // At 9600 baud the listing takes about 2 s, time enough to pull the plug.
        QProcess simulator;
        simulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        simulator.start(QStringLiteral(ORVEX_SIMULATOR_PATH),
                        {QStringLiteral("--data-dir"), QStringLiteral(ORVEX_SOURCE_DATA_DIR),
                         QStringLiteral("--baud"), QStringLiteral("9600")});
        QByteArray output;
        QTRY_VERIFY_WITH_TIMEOUT((output += simulator.readAllStandardOutput()).contains('\n') ||
                                     simulator.state() == QProcess::NotRunning,
                                 10000);
        static const QRegularExpression banner(
            QStringLiteral("^Orvex Drive Simulator on (/dev/\\S+)\\s*$"));
        const QRegularExpressionMatch match =
            banner.match(QString::fromLocal8Bit(output.left(output.indexOf('\n') + 1)));
        QVERIFY2(match.hasMatch(), output.constData());

        BridgeRig rig(BridgeRig::Drive::External);
        rig.port = rig.registry.AddDevicePath(match.captured(1));
        QCOMPARE(rig.Status()->TestConnection(), -1);
        // The port is closed again once no object holds it, so it opens again.
        auto config = rig.Config();
        QCOMPARE(config->TestConnection(), -1);
        const ConfigurationValues before = ValuesOf(*config);
        QTimer::singleShot(300, &simulator, [&simulator] { simulator.kill(); });
        const QString error = DescriptionOf([&] { config->LoadConfiguration({}); });
        QVERIFY2(error.startsWith(
                     QStringLiteral("The connection to %1 was lost").arg(match.captured(1))),
                 qPrintable(error));
        QVERIFY(ValuesOf(*config) == before);
        QVERIFY(config->TestConnection() > 0);
    }
};

QTEST_GUILESS_MAIN(TestBridgeDrive)
#include "tst_bridgedrive.moc"
