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
    void entered_data()
    {
        QTest::addColumn<Row>("row");
        QTest::addColumn<double>("typed");
        QTest::addColumn<double>("sent");
        QTest::newRow("notch 1 in dead band") << Row::FrequencyA << 30.0 << 0.0;
        QTest::newRow("notch 2 just below") << Row::FrequencyB << 59.0 << 0.0;
        QTest::newRow("notch at 60") << Row::FrequencyA << 60.0 << 60.0;
        QTest::newRow("lead below 80") << Row::Lead << 79.0 << 0.0;
        QTest::newRow("lead at 80") << Row::Lead << 80.0 << 80.0;
        QTest::newRow("lag below 20") << Row::Lag << 19.0 << 0.0;
        QTest::newRow("lag at 20") << Row::Lag << 20.0 << 20.0;
        QTest::newRow("quality below floor") << Row::QualityA << 0.3 << 0.5;
        QTest::newRow("quality kept") << Row::QualityB << 1.25 << 1.25;
        QTest::newRow("depth never snapped") << Row::DepthA << 0.0001 << 0.0001;
    }
    void entered()
    {
        QFETCH(Row, row);
        QFETCH(double, typed);
        QFETCH(double, sent);
        QCOMPARE(NotchFilters::SnapEntered(row, typed), sent);
    }

    void stepped_data()
    {
        QTest::addColumn<Row>("row");
        QTest::addColumn<double>("stepped");
        QTest::addColumn<int>("steps");
        QTest::addColumn<double>("shown");
        QTest::newRow("notch up from 0") << Row::FrequencyA << 1.0 << 1 << 60.0;
        QTest::newRow("notch down from 60") << Row::FrequencyB << 59.0 << -1 << 0.0;
        QTest::newRow("notch page up into band") << Row::FrequencyA << 10.0 << 10 << 60.0;
        QTest::newRow("notch above band") << Row::FrequencyA << 61.0 << 1 << 61.0;
        QTest::newRow("lead up from 0") << Row::Lead << 1.0 << 1 << 80.0;
        QTest::newRow("lead down from 80") << Row::Lead << 79.0 << -1 << 0.0;
        QTest::newRow("lag up from 0") << Row::Lag << 1.0 << 1 << 20.0;
        QTest::newRow("lag down from 20") << Row::Lag << 19.0 << -1 << 0.0;
        QTest::newRow("quality floor") << Row::QualityA << 0.49 << -1 << 0.5;
        QTest::newRow("depth as it stands") << Row::DepthB << 0.0002 << 1 << 0.0002;
    }
    void stepped()
    {
        QFETCH(Row, row);
        QFETCH(double, stepped);
        QFETCH(int, steps);
        QFETCH(double, shown);
        QCOMPARE(NotchFilters::SnapStepped(row, stepped, steps), shown);
    }

    void commands_data()
    {
        QTest::addColumn<Row>("row");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("command");
        QTest::newRow("depth 1") << Row::DepthA << 0.25 << "DNOTAD 0.2500\r";
        QTest::newRow("frequency 1") << Row::FrequencyA << 60.0 << "DNOTAF 60\r";
        QTest::newRow("quality 1") << Row::QualityA << 0.5 << "DNOTAQ 0.50\r";
        QTest::newRow("depth 2") << Row::DepthB << 1.0 << "DNOTBD 1.0000\r";
        QTest::newRow("frequency 2") << Row::FrequencyB << 0.0 << "DNOTBF 0\r";
        QTest::newRow("quality 2") << Row::QualityB << 2.5 << "DNOTBQ 2.50\r";
        QTest::newRow("lead") << Row::Lead << 80.0 << "DNOTLD 80\r";
        QTest::newRow("lag") << Row::Lag << 1000.0 << "DNOTLG 1000\r";
    }
    void commands()
    {
        QFETCH(Row, row);
        QFETCH(double, value);
        QFETCH(QString, command);
        QCOMPARE(NotchFilters::ValueCommand(row, value), command);
    }

    void typedDepth_data()
    {
        QTest::addColumn<Row>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("command");
        QTest::newRow("depth 1") << Row::DepthA << "0.25"
                                 << "DNOTAD=0.25\r";
        QTest::newRow("depth 2 as typed") << Row::DepthB << ".5"
                                          << "DNOTBD=.5\r";
    }
    void typedDepth()
    {
        QFETCH(Row, row);
        QFETCH(QString, text);
        QFETCH(QString, command);
        QCOMPARE(NotchFilters::TypedDepthCommand(row, text), command);
    }

    void leadLag_data()
    {
        QTest::addColumn<double>("lead");
        QTest::addColumn<double>("lag");
        QTest::addColumn<bool>("holds");
        QTest::newRow("both off") << 0.0 << 0.0 << true;
        QTest::newRow("lead without lag") << 100.0 << 0.0 << false;
        QTest::newRow("four times") << 80.0 << 20.0 << true;
        QTest::newRow("above four times") << 81.0 << 20.0 << false;
    }
    void leadLag()
    {
        QFETCH(double, lead);
        QFETCH(double, lag);
        QFETCH(bool, holds);
        QCOMPARE(NotchFilters::LeadLagHolds(lead, lag), holds);
    }
};

QTEST_APPLESS_MAIN(TestNotchFilters)
#include "tst_notchfilters.moc"
