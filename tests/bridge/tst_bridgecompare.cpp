// The program's configuration compared with the drive's, setting by setting,
// with the bridge on the simulated drive.
#include "BridgeRig.h"
#include "ConfigurationComparison.h"

#include <QTest>

using Orvex::ConfigField;
using OrvexTest::BridgeRig;
using OrvexTest::DescriptionOf;

namespace {

const ConfigField& FieldNamed(const QString& name)
{
    for (const ConfigField& field : Orvex::ConfigFields::All) {
        if (name == QLatin1String(field.Name))
            return field;
    }
    qFatal("No configuration property %s", qPrintable(name));
}

// Each difference as "Name: program value / drive value".
QStringList Listed(const Orvex::ConfigurationDifferences& differences)
{
    QStringList lines;
    for (const Orvex::ConfigurationDifference& difference : differences)
        lines << QStringLiteral("%1: %2 / %3")
                     .arg(difference.Name, difference.ProgramValue, difference.DriveValue);
    return lines;
}

} // namespace

class TestBridgeCompare : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The program's configuration is the drive's (the factory-fitted motor,
    // torque mode), uploaded, then changed as a row says.
    void programAgainstTheDrive_data()
    {
        QTest::addColumn<QVariantMap>("changes");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("fresh upload") << QVariantMap() << QStringList();
        QTest::newRow("an integer and a boolean, in table order")
            << QVariantMap{{"ControlMode", 4}, {"CurrentFoldback", true}}
            << QStringList{"CurrentFoldback: Yes / No", "ControlMode: 4 / 2"};
        QTest::newRow("a float and a text")
            << QVariantMap{{"MotorKe", 18.25f}, {"MotorPartNumber", QStringLiteral("VX-100")}}
            << QStringList{"MotorPartNumber: VX-100 / BE23A1E", "MotorKe: 18.25 / 18.00"};
        QTest::newRow("a float changed below the shown decimals")
            << QVariantMap{{"MotorRatedSpeed", 100.001f}} << QStringList();
        // Written only, or a loop the drive does not run in torque mode.
        QTest::newRow("settings the drive does not report")
            << QVariantMap{{"FeedbackType", 5},
                           {"Step1Value", 4.0f},
                           {"VelocityLoopIntegralLimit", 300}}
            << QStringList();
    }
    void programAgainstTheDrive()
    {
        QFETCH(QVariantMap, changes);
        QFETCH(QStringList, expected);
        BridgeRig rig;
        auto program = rig.Config();
        program->LoadConfiguration(QString());
        for (auto change = changes.cbegin(); change != changes.cend(); ++change)
            program->SetProperty(FieldNamed(change.key()), change.value());
        QCOMPARE(Listed(Orvex::CompareWithDrive(rig.factory, *program, rig.port)), expected);
        // The drive was only read.
        QCOMPARE(rig.drive->ParameterWrites(), 0);
    }
    // A row reaches what the named getter or setter would, and no more.
    void propertyByRow_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("value"); // written; invalid: only read
        QTest::addColumn<QString>("error");
        QTest::newRow("read") << "ControlMode" << QVariant() << "(no error)";
        QTest::newRow("written") << "CurrentLoopKi" << QVariant(0.5f) << "(no error)";
        QTest::newRow("written only")
            << "FeedbackType" << QVariant() << "FeedbackType is written only.";
        QTest::newRow("read only")
            << "DriveParameter186" << QVariant(7) << "DriveParameter186 is read only.";
        QTest::newRow("other type")
            << "ControlMode" << QVariant(4.0) << "ControlMode cannot take a value of type double.";
    }
    void propertyByRow()
    {
        QFETCH(QString, name);
        QFETCH(QVariant, value);
        QFETCH(QString, error);
        BridgeRig rig;
        auto config = rig.Config();
        const ConfigField& field = FieldNamed(name);
        QVariant read;
        QCOMPARE(DescriptionOf([&] {
                     if (value.isValid())
                         config->SetProperty(field, value);
                     read = config->Property(field);
                 }),
                 error);
        if (error != QLatin1String("(no error)"))
            return;
        // The value written, as the named getters answer it.
        QCOMPARE(read, value.isValid() ? value : QVariant(config->ControlMode()));
        if (value.isValid())
            QCOMPARE(QVariant(config->CurrentLoopKi()), value);
    }
    void driveThatDoesNotAnswer_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("error");
        QTest::newRow("unknown port") << "unknown"
                                      << "Invalid COM port number";
        QTest::newRow("silent drive") << "silent"
                                      << "No response from Orvex drive";
        QTest::newRow("operating system missing") << "missing"
                                                  << "OS needs to be downloaded";
    }
    void driveThatDoesNotAnswer()
    {
        QFETCH(QString, situation);
        QFETCH(QString, error);
        BridgeRig rig;
        auto program = rig.Config();
        rig.drive->SetNoAnswer(situation == QLatin1String("silent"));
        if (situation == QLatin1String("missing"))
            rig.drive->SetOsState(Orvex::SimulatedDrive::OsState::Missing);
        const int port = situation == QLatin1String("unknown") ? 99 : rig.port;
        QCOMPARE(DescriptionOf([&] { Orvex::CompareWithDrive(rig.factory, *program, port); }),
                 error);
    }
};

QTEST_GUILESS_MAIN(TestBridgeCompare)
#include "tst_bridgecompare.moc"
