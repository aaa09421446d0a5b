#include "DriveSetup.h"

#include <QTest>

using namespace Orvex;

// The control mode step's defaults derived from the motor, and its codes.
class TestDriveSetup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void derivedValues_data();
    void derivedValues();
    void commutationCodes_data();
    void commutationCodes();
    void controlModeRadios();
};

void TestDriveSetup::derivedValues_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("rotary Ke 50, Ip 10")
        << "limit" << DriveSetup::TorqueOrForceLimit(50.0, 10.0, false) << "6.75";
    QTest::newRow("linear Ke 20, Ip 5")
        << "limit" << DriveSetup::TorqueOrForceLimit(20.0, 5.0, true) << "122.33";
    QTest::newRow("Kp from 5 mH") << "kp" << DriveSetup::DerivedKp(5.0) << "13.32";
    QTest::newRow("Ki from 2 Ohm") << "ki" << DriveSetup::DerivedKi(2.0) << "0.38";
    // 0.42 - 0.422 is below the floor.
    QTest::newRow("Ki floored at 20 Ohm") << "ki" << DriveSetup::DerivedKi(20.0) << "0.13";
}

void TestDriveSetup::derivedValues()
{
    QFETCH(double, value);
    QFETCH(QString, shown);
    QCOMPARE(QString::asprintf("%.2lf", value), shown);
}

void TestDriveSetup::commutationCodes_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("indexBack");
    QTest::newRow("sinusoidal") << 0 << 0 << 0;
    QTest::newRow("trapezoidal") << 1 << 1 << 1;
    QTest::newRow("DC brushed") << 2 << 2 << 2;
    QTest::newRow("hall-less") << 3 << 4 << 3;
    QTest::newRow("fifth entry") << 4 << 3 << 4;
    QTest::newRow("nothing selected") << -1 << -1 << 0;
}

void TestDriveSetup::commutationCodes()
{
    QFETCH(int, index);
    QFETCH(int, code);
    QFETCH(int, indexBack);
    QCOMPARE(DriveSetup::CommutationCode(index), code);
    QCOMPARE(DriveSetup::CommutationIndex(code), indexBack);
}

void TestDriveSetup::controlModeRadios()
{
    for (int radio = 0; radio < 4; ++radio)
        QCOMPARE(DriveSetup::ControlModeRadio(DriveSetup::ControlModeCodes[radio]), radio);
    QCOMPARE(DriveSetup::ControlModeRadio(3), 0);
}

QTEST_GUILESS_MAIN(TestDriveSetup)
#include "tst_drivesetup.moc"
