// The wizard's motor choice rules: part numbers, custom windings, feedback
// types and the default cooling method.
#include "MotorChoice.h"

#include <QTest>

using namespace Orvex;
using MotorChoice::Codes;

class TestMotorChoice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The part number, and whether the page offers custom parts or the base
    // series.
    void partNumber_data()
    {
        QTest::addColumn<QString>("codes"); // series frame stack winding feedback [base]
        QTest::addColumn<QString>("partNumber");
        QTest::addColumn<bool>("custom");
        QTest::addColumn<bool>("base");
        const auto row = [](const char* name, const char* codes, const char* partNumber,
                            bool custom = false, bool base = false) {
            QTest::newRow(name) << QString(codes) << QString(partNumber) << custom << base;
        };
        row("linear: no series text", "Vantor T2 A 1 E", "T2-A1E");
        row("K: dash before the winding", "K T2 A X E", "KT2A-XE");
        row("BE: codes in a row", "BE 23 A 1 E", "BE23A1E");
        row("CM with a base series", "CM 3 A 1 E CMB", "CMB3A1E", false, true);
        row("CM without one", "CM 3 A 1 E", "CM3A1E", false, true);
        row("CM custom stack", "CM 3 X 1 E CMB", "CM3X1E", true);
        row("CM custom winding", "CM 3 A X E CMB", "CM3AXE", true);
        row("CM custom feedback", "CM 3 A 1 XX CMB", "CM3A1XX", false, true);
        row("other: typed in", "Other", "MY-MOTOR 7");
        row("nothing picked yet", "BE 23 A 1", "");
    }
    void partNumber()
    {
        QFETCH(QString, codes);
        const QStringList parts = codes.split(u' ');
        Codes picked{parts.value(0), parts.value(1), parts.value(2),
                     parts.value(3), parts.value(4), parts.value(5)};
        QTEST(MotorChoice::PartNumber(picked, QStringLiteral("MY-MOTOR 7")), "partNumber");
        QTEST(MotorChoice::HasCustomWinding(picked), "custom");
        QTEST(MotorChoice::OffersBaseSeries(picked), "base");
    }

    void feedback_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("series");
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("custom");
        const auto row = [](const char* code, const char* series, int type, bool custom) {
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(series, code)))
                << QString(code) << QString(series) << type << custom;
        };
        row("", "BE", 1, false);
        row("XX", "CM", 1, true);
        row("Z9", "BE", 1, false); // unknown
        row("E", "BE", 2, false);
        row("___JN", "BE", 2, false);
        row("R", "BE", 3, true);
        row("___G", "BE", 3, true);
        row("3E", "BE", 5, false);
        row("9D", "BE", 6, false);
        row("R", "Other", 1, false); // typed-in motors are set up in full anyway
    }
    void feedback()
    {
        QFETCH(QString, code);
        QFETCH(QString, series);
        QTEST(MotorChoice::FeedbackType(code, series), "type");
        QTEST(MotorChoice::IsCustomFeedback(code, series), "custom");
    }

    void defaultCooling_data()
    {
        QTest::addColumn<QString>("partNumber");
        QTest::addColumn<QString>("key");
        QTest::newRow("table motor, D22") << "4T1D22A"
                                          << "Table-CL1";
        QTest::newRow("table motor") << "4T1D20A"
                                     << "Table";
        QTest::newRow("dash and underscore") << "BE23-A_1"
                                             << "Dynamic";
        QTest::newRow("dash and underscore win over D22") << "4D22-A_1"
                                                          << "Dynamic";
        QTest::newRow("K keeps its heat sink") << "KT2A-1_E"
                                               << "HS";
        QTest::newRow("any other") << "BE23A1E"
                                   << "HS";
    }
    void defaultCooling()
    {
        QFETCH(QString, partNumber);
        QTEST(MotorChoice::DefaultCoolingKey(partNumber), "key");
    }

    void coolingsAndWindingNames()
    {
        QCOMPARE(MotorChoice::CoolingOfKey(u"Water")->Code, 2);
        QVERIFY(!MotorChoice::CoolingOfKey(u"Oil"));
        QCOMPARE(MotorChoice::KeyOfCode(0), QStringLiteral("HS")); // not "Table"
        QCOMPARE(MotorChoice::CustomWindingName(12), QStringLiteral("W00012"));
        QCOMPARE(MotorChoice::CustomWindingNumber(QStringLiteral("W00012")), 12);
    }
};

QTEST_APPLESS_MAIN(TestMotorChoice)
#include "tst_motorchoice.moc"
