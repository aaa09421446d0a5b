#include "CommandDatabase.h"
#include "MotorParameterCheck.h"
#include "OrvexMotorServer.h"

#include <QSet>
#include <QTest>

using namespace Orvex;

namespace {

const QString kDataDir = QStringLiteral(ORVEX_TEST_DATA_DIR);

// Cooling keys the wizard knows.
const QSet<QString> kCoolingKeys{"NHS",   "HS",        "Water",     "AIR",       "Dynamic",
                                 "Table", "Table-CL1", "Table-CL2", "Table-CL3", "Table-CL4"};

// Feedback codes the wizard knows how to turn into a feedback type.
const QSet<QString> kFeedbackCodes{"_",  "X",  "XX", "N",  "H",  "E1", "___JN", "___JQ",
                                   "1E", "2F", "E",  "E2", "E3", "E4", "ENC",   "J",
                                   "L",  "41", "R",  "3E", "Q",  "6D", "9D",    "___G"};

} // namespace

// The files the program ships must agree with each other: every motor must
// pass the wizard's checks against the command database's limits.
class TestShippedData : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void commandDatabaseTables();
    void everyMotorPassesTheMotorPageChecks();
    void everyMotorIsFoundByItsKeys();
    void everyMotorHasKnownCodesAndSensibleGains();

private:
    CommandDatabaseLists m_lists;
    ParameterLimits m_limits;
    COrvexMotorServer m_server;
};

void TestShippedData::initTestCase()
{
    QStringList messages;
    QVERIFY(LoadCommandDatabase(m_lists, kDataDir, [&](const QString& text) { messages << text; }));
    QVERIFY2(messages.isEmpty(), qPrintable(messages.join(QLatin1Char('\n'))));
    FillParameterLimits(m_lists, m_limits);
    QVERIFY(m_server.LoadMotorDatabase(kDataDir + QStringLiteral("/OrvexMotorDatabase.xml")));
    QVERIFY(
        m_server.LoadCrossReference(kDataDir + QStringLiteral("/WindNum CustomNum CrossRef.xml")));
    QVERIFY(m_server.GetOrvexMotorCollection()->Count() > 100);
}

void TestShippedData::commandDatabaseTables()
{
    QCOMPARE(m_lists.Errors.size(), size_t(64));
    for (int i = 0; i < 64; ++i)
        QCOMPARE(m_lists.Errors[size_t(i)]->m_Number,
                 QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')));
    QVERIFY(m_lists.Parameters.size() > 100);
    QVERIFY(!m_lists.Status.empty());
    QVERIFY(!m_lists.XCommands.empty());
    for (const auto& parameter : m_lists.Parameters) {
        const int n = LeadingInteger(parameter->m_Number);
        QVERIFY2(m_limits[n].Minimum <= m_limits[n].Default &&
                     m_limits[n].Default <= m_limits[n].Maximum,
                 qPrintable(parameter->m_Number));
    }
}

void TestShippedData::everyMotorPassesTheMotorPageChecks()
{
    const IOrvexMotorCollection& motors = *m_server.GetOrvexMotorCollection();
    QStringList failures;
    for (int i = 0; i < motors.Count(); ++i) {
        const auto motor = motors.Item(i);
        const auto result =
            MotorParameterCheck::Validate(MotorParameterCheck::FromMotor(*motor), m_limits);
        if (!result.Ok)
            failures << motor->Field(MotorField::PartNumber) + QStringLiteral(": ") +
                            result.Message;
    }
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
}

void TestShippedData::everyMotorIsFoundByItsKeys()
{
    const IOrvexMotorCollection& motors = *m_server.GetOrvexMotorCollection();
    for (int i = 0; i < motors.Count(); ++i) {
        const auto motor = motors.Item(i);
        const QString part = motor->Field(MotorField::PartNumber);
        const auto found = motors.FindMotor(part, motor->Field(MotorField::CustomWinding),
                                            motor->Field(MotorField::CoolingKey));
        QVERIFY2(found, qPrintable(part));
        QCOMPARE(found->Field(MotorField::PartNumber), part);
        QVERIFY2(m_server.ListCoolings(part).contains(motor->Field(MotorField::CoolingKey)),
                 qPrintable(part));
    }
}

void TestShippedData::everyMotorHasKnownCodesAndSensibleGains()
{
    const IOrvexMotorCollection& motors = *m_server.GetOrvexMotorCollection();
    for (int i = 0; i < motors.Count(); ++i) {
        const auto motor = motors.Item(i);
        const QByteArray part = motor->Field(MotorField::PartNumber).toLatin1();
        QVERIFY2(kCoolingKeys.contains(motor->Field(MotorField::CoolingKey)), part);
        QVERIFY2(kFeedbackCodes.contains(motor->Field(MotorField::Feedback)), part);
        const QString pwm = motor->Field(MotorField::PwmFrequency);
        QVERIFY2(pwm == QStringLiteral("16") || pwm == QStringLiteral("32"), part);
        const double kp = LeadingDecimal(motor->Field(MotorField::CurrentLoopKp));
        const double ki = LeadingDecimal(motor->Field(MotorField::CurrentLoopKi));
        const double limit = LeadingDecimal(motor->Field(MotorField::CurrentLoopIntegralLimit));
        QVERIFY2(m_limits.Contains(60, kp) && kp > 0, part);
        QVERIFY2(m_limits.Contains(58, ki) && ki > 0, part);
        QVERIFY2(m_limits.Contains(129, limit) && limit > 0, part);
    }
}

QTEST_GUILESS_MAIN(TestShippedData)
#include "tst_shippeddata.moc"
