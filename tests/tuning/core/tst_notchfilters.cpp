#include "NotchFilters.h"

#include <QTest>

using namespace Orvex;
using NotchFilters::Row;

Q_DECLARE_METATYPE(Orvex::NotchFilters::Row)

// The notch and lead/lag filters' dead bands, quality floor and commands.
class TestNotchFilters : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void snapAndSend_data()
    {
        QTest::addColumn<Row>("row");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("steps"); // 0: typed and entered
        QTest::addColumn<QString>("command");
        QTest::newRow("notch 30 entered") << Row::FrequencyA << 30.0 << 0 << "DNOTAF 0\r";
        QTest::newRow("notch 60 entered") << Row::FrequencyB << 60.0 << 0 << "DNOTBF 60\r";
        QTest::newRow("notch up from 0") << Row::FrequencyA << 1.0 << 1 << "DNOTAF 60\r";
        QTest::newRow("notch down from 60") << Row::FrequencyB << 59.0 << -1 << "DNOTBF 0\r";
        QTest::newRow("notch page up") << Row::FrequencyA << 10.0 << 10 << "DNOTAF 60\r";
        QTest::newRow("lead 79 entered") << Row::Lead << 79.0 << 0 << "DNOTLD 0\r";
        QTest::newRow("lead up from 0") << Row::Lead << 1.0 << 1 << "DNOTLD 80\r";
        QTest::newRow("lead down from 80") << Row::Lead << 79.0 << -1 << "DNOTLD 0\r";
        QTest::newRow("lag 19 entered") << Row::Lag << 19.0 << 0 << "DNOTLG 0\r";
        QTest::newRow("lag up from 0") << Row::Lag << 1.0 << 1 << "DNOTLG 20\r";
        QTest::newRow("lag 1000") << Row::Lag << 1000.0 << 0 << "DNOTLG 1000\r";
        QTest::newRow("quality 0.3 entered") << Row::QualityA << 0.3 << 0 << "DNOTAQ 0.50\r";
        QTest::newRow("quality stepped") << Row::QualityB << 1.26 << 1 << "DNOTBQ 1.26\r";
        QTest::newRow("depth as it stands") << Row::DepthA << 0.0001 << 1 << "DNOTAD 0.0001\r";
        QTest::newRow("depth 2") << Row::DepthB << 0.25 << -1 << "DNOTBD 0.2500\r";
    }
    void snapAndSend()
    {
        QFETCH(Row, row);
        QFETCH(double, value);
        QFETCH(int, steps);
        QFETCH(QString, command);
        const double snapped = steps == 0 ? NotchFilters::SnapEntered(row, value)
                                          : NotchFilters::SnapStepped(row, value, steps);
        QCOMPARE(NotchFilters::ValueCommand(row, snapped), command);
    }

    void typedAndRule()
    {
        QCOMPARE(NotchFilters::TypedDepthCommand(Row::DepthA, "0.25"), "DNOTAD=0.25\r");
        QCOMPARE(NotchFilters::TypedDepthCommand(Row::DepthB, ".5"), "DNOTBD=.5\r");
        QVERIFY(NotchFilters::LeadLagHolds(0, 0));
        QVERIFY(NotchFilters::LeadLagHolds(80, 20));
        QVERIFY(!NotchFilters::LeadLagHolds(81, 20));
        QVERIFY(!NotchFilters::LeadLagHolds(100, 0));
    }
};

QTEST_APPLESS_MAIN(TestNotchFilters)
#include "tst_notchfilters.moc"
