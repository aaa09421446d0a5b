// The motor thermal sensor's code: the drive's one number for the type and
// construction step 4 of the wizard shows.
#include "ThermalSensor.h"

#include <QTest>

using namespace Orvex;
using ThermalSensor::Choice;

class TestThermalSensor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void codeBothWays_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("construction");
        QTest::addColumn<int>("code");
        QTest::newRow("normally closed switch") << 0 << 0 << 0;
        QTest::newRow("PTC thermistor") << 1 << 0 << 1;
        QTest::newRow("normally open switch") << 0 << 1 << 2;
        QTest::newRow("NTC thermistor") << 1 << 1 << 3;
    }
    void codeBothWays()
    {
        QFETCH(int, type);
        QFETCH(int, construction);
        QFETCH(int, code);
        QCOMPARE(ThermalSensorCode(type, construction), code);
        QCOMPARE(ThermalSensorOfCode(code), (Choice{type, construction}));
    }

    void outsideTheLists()
    {
        // A code the drive does not define reads as its default, the
        // normally closed switch.
        for (int code : {-1, 4, 7})
            QCOMPARE(ThermalSensorOfCode(code), (Choice{ThermalSensor::Switch, 0}));
        // A list with nothing picked counts as its first entry.
        QCOMPARE(ThermalSensorCode(-1, 1), 2);
        QCOMPARE(ThermalSensorCode(1, -1), 1);
    }
};

QTEST_APPLESS_MAIN(TestThermalSensor)
#include "tst_thermalsensor.moc"
