#include "CommandDatabase.h"
#include "MotorParameterCheck.h"
#include "OrvexMotorServer.h"

#include <QTest>

using namespace Orvex;

// The files the program ships agree with each other: every motor is found by
// its keys and passes the wizard's checks against the command database's limits.
class TestShippedData : public QObject
{
    Q_OBJECT

    CommandDatabaseLists m_lists;
    ParameterLimits m_limits;
    COrvexMotorServer m_server;

private Q_SLOTS:
    void initTestCase()
    {
        const QString folder = QStringLiteral(ORVEX_TEST_DATA_DIR);
        QStringList messages;
        QVERIFY(LoadCommandDatabase(
            m_lists, folder, [&](const QString& text, const QString&) { messages << text; }));
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(QLatin1Char('\n'))));
        FillParameterLimits(m_lists, m_limits);
        QVERIFY(m_server.LoadMotorDatabase(folder + QStringLiteral("/OrvexMotorDatabase.xml")));
        QVERIFY(m_server.LoadCrossReference(folder +
                                            QStringLiteral("/WindNum CustomNum CrossRef.xml")));
        QVERIFY(m_server.GetOrvexMotorCollection()->Count() > 100);
    }

    void parameterRecords()
    {
        QVERIFY(!m_lists.Errors.empty() && !m_lists.Status.empty() && !m_lists.XCommands.empty());
        for (const auto& parameter : m_lists.Parameters) {
            const int n = LeadingInteger(parameter->m_Number);
            // The browser finds a parameter again by its three-digit number.
            QCOMPARE(parameter->m_Number, QString::asprintf("%03d", n));
            QVERIFY2(m_limits[n].Minimum <= m_limits[n].Default &&
                         m_limits[n].Default <= m_limits[n].Maximum,
                     qPrintable(parameter->m_Number));
        }
    }

    void everyMotor()
    {
        const IOrvexMotorCollection& motors = *m_server.GetOrvexMotorCollection();
        QStringList failures;
        for (int i = 0; i < motors.Count(); ++i) {
            const auto motor = motors.Item(i);
            const auto field = [&motor](int number) { return motor->Field(number); };
            const QString part = field(MotorField::PartNumber);
            const auto result =
                MotorParameterCheck::Validate(MotorParameterCheck::FromMotor(*motor), m_limits);
            if (!result.Ok)
                failures << part + QStringLiteral(": ") + result.Message;
            const QString cooling = field(MotorField::CoolingKey);
            const auto found = motors.FindMotor(part, field(MotorField::CustomWinding), cooling);
            QVERIFY2(found && found->Field(MotorField::PartNumber) == part, qPrintable(part));
            QVERIFY2(m_server.ListCoolings(part).contains(cooling), qPrintable(part));
            // The current loop gains the wizard writes lie in their parameters' ranges.
            const QString pwm = field(MotorField::PwmFrequency);
            QVERIFY2(pwm == QStringLiteral("16") || pwm == QStringLiteral("32"), qPrintable(part));
            const double kp = LeadingDecimal(field(MotorField::CurrentLoopKp));
            const double ki = LeadingDecimal(field(MotorField::CurrentLoopKi));
            const double limit = LeadingDecimal(field(MotorField::CurrentLoopIntegralLimit));
            QVERIFY2(m_limits.Contains(60, kp) && kp > 0, qPrintable(part));
            QVERIFY2(m_limits.Contains(58, ki) && ki > 0, qPrintable(part));
            QVERIFY2(m_limits.Contains(129, limit) && limit > 0, qPrintable(part));
        }
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
    }
};

QTEST_GUILESS_MAIN(TestShippedData)
#include "tst_shippeddata.moc"
