#include "MotorParameterCheck.h"

#include <QHash>
#include <QTest>

#include <climits>

using namespace Orvex;
using Field = MotorParameterCheck::Field;
using Texts = MotorParameterCheck::Texts;

Q_DECLARE_METATYPE(Orvex::MotorParameterCheck::Field)

namespace {

// The limits agreed with the command database for the parameters the page checks.
ParameterLimits AgreedLimits()
{
    ParameterLimits limits;
    const auto set = [&limits](int number, double minimum, double maximum) {
        limits[number].Minimum = minimum;
        limits[number].Maximum = maximum;
    };
    set(1, 256, 16777216);
    set(3, 0.05, 60.0);
    set(5, 0, 100);
    set(7, 0.1, 120.0);
    set(9, 0.01, 500.0);
    set(12, 40, 200);
    set(14, 0.01, 200.0);
    set(16, 0.01, 500.0);
    set(18, 1, 64);
    set(19, 0, 10000);
    set(21, 0.01, 1000000);
    set(29, 1.0, 200.0);
    set(38, 0.1, 1000.0);
    set(119, -40, 85);
    set(121, 0.01, 20.0);
    set(124, 0.1, 300.0);
    set(126, 0.01, 60.0);
    return limits;
}

Texts ValidMotor(bool linear, const char* feedbackType = MotorParameterCheck::RegularEncoder)
{
    Texts texts;
    texts.Linear = linear;
    texts.FeedbackType = QString::fromLatin1(feedbackType);
    QStringList values = QStringLiteral("50.00 4 95.00 25.00 18.00 0.90 1.20 40 155 40.00 2.40 "
                                        "0 7.20 4.800 16.00 18.80 8000")
                             .split(QLatin1Char(' '));
    if (linear)
        values[1] = QStringLiteral("32.0");
    for (int i = 0; i < MotorParameterCheck::FieldCount; ++i)
        texts.Fields[static_cast<std::size_t>(i)] = values.at(i);
    return texts;
}

// A motor record as the motor database hands it out.
class FakeMotor final : public IOrvexMotor
{
public:
    explicit FakeMotor(QHash<int, QString> fields) : m_fields(std::move(fields)) {}
    QString Field(int number) const override { return m_fields.value(number); }

private:
    QHash<int, QString> m_fields;
};

} // namespace

class tst_MotorParameterCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstFailureAndItsMessage_data()
    {
        QTest::addColumn<bool>("linear");
        QTest::addColumn<QString>("feedbackType");
        QTest::addColumn<QStringList>("changes"); // field index, text, field index, text ...
        QTest::addColumn<Field>("failed");
        QTest::addColumn<QString>("message"); // empty: passes
        const auto row = [](const char* name, bool linear, const char* type, QStringList changes,
                            Field failed, const QString& message) {
            QTest::newRow(name) << linear << QString::fromLatin1(type) << changes << failed
                                << message;
        };
        const char* regular = MotorParameterCheck::RegularEncoder;
        const char* absolute = MotorParameterCheck::AbsoluteEncoder;
        const char* resolver = MotorParameterCheck::Resolver;
        row("valid rotary", false, regular, {}, Field::RatedSpeed, QString());
        row("valid linear", true, regular, {}, Field::RatedSpeed, QString());
        row("empty rated speed", false, regular, {"0", ""}, Field::RatedSpeed,
            "Motor Rated Speed must be between 0.01 and 500.00 rps");
        row("blank rated speed", false, regular, {"0", "  "}, Field::RatedSpeed,
            "Motor Rated Speed must be between 0.01 and 500.00 rps");
        row("linear rated speed", true, regular, {"0", "600"}, Field::RatedSpeed,
            "Motor Rated Speed must be between 0.01 and 500.00 mps");
        row("pole pairs without decimals", false, regular, {"1", "65"}, Field::PolePairsOrPitch,
            "Motor Pole Pairs must be between 1 and 64 pole pairs");
        row("pole pairs read as integer", false, regular, {"1", "0.9"}, Field::PolePairsOrPitch,
            "Motor Pole Pairs must be between 1 and 64 pole pairs");
        row("pole pairs 64.9 is 64", false, regular, {"1", "64.9"}, Field::RatedSpeed, QString());
        row("pitch read as decimal", true, regular, {"1", "0.9"}, Field::PolePairsOrPitch,
            "Electrical Pitch must be between 1.00 and 200.00 mm");
        row("rotor inertia", false, regular, {"2", "0"}, Field::InertiaOrMass,
            QString::fromUtf8(
                "Motor Rotor Inertia must be between 0.01 and 1000000.00 kgm\u00b2e-6"));
        row("forcer mass", true, regular, {"2", "0"}, Field::InertiaOrMass,
            "Force Limit must be between 0.01 and 1000000.00 kg");
        row("ambient below range", false, regular, {"7", "-41"}, Field::AmbientTemperature,
            "Motor Ambient Temperature must be between -40.00 and 85.00");
        row("ambient at minimum", false, regular, {"7", "-40"}, Field::RatedSpeed, QString());
        row("linear Ke", true, regular, {"9", "0.05"}, Field::Ke,
            "Ke must be between 0.10 and 1000.00 V/m/s");
        row("rotary Ke", false, regular, {"9", "1000.01"}, Field::Ke,
            "Ke must be between 0.10 and 1000.00 V/krpm");
        row("derating percent", false, regular, {"11", "101"}, Field::ContinuousCurrentDerating,
            "Continuous Current Derating must be between 0.00 and 100.00 %");
        row("first failure wins", false, regular, {"13", "0", "3", "-1"}, Field::Damping,
            "Motor Damping must be between 0.00 and 10000.00");
        row("maximum below minimum", false, regular, {"14", "5.0", "15", "4.0"},
            Field::MaxInductance,
            "Maximum Inductance must be greater than or equal to Minimum Inductance");
        row("maximum equal to minimum", false, regular, {"14", "5.0", "15", "5"}, Field::RatedSpeed,
            QString());
        row("maximum inductance range first", false, regular, {"14", "5.0", "15", "0"},
            Field::MaxInductance, "Maximum Inductance must be between 0.01 and 500.00 mH");
        row("rotary encoder resolution", false, regular, {"16", "100"}, Field::FeedbackResolution,
            "Feedback Resolution must be between 256 and 16777216 post-quad pulses/rev");
        row("rotary absolute resolution", false, absolute, {"16", "16777217"},
            Field::FeedbackResolution,
            "Feedback Resolution must be between 256 and 16777216 counts/rev");
        row("linear resolver resolution", true, resolver, {"16", ""}, Field::FeedbackResolution,
            "Feedback Resolution must be between 256 and 16777216 counts/electrical pitch");
        row("linear encoder resolution", true, regular, {"16", "255"}, Field::FeedbackResolution,
            "Feedback Resolution must be between 256 and 16777216 post-quad pulses/electrical "
            "pitch");
        row("resolution beyond int", false, regular, {"16", "99999999999"},
            Field::FeedbackResolution,
            "Feedback Resolution must be between 256 and 16777216 post-quad pulses/rev");
    }

    void firstFailureAndItsMessage()
    {
        QFETCH(bool, linear);
        QFETCH(QString, feedbackType);
        QFETCH(QStringList, changes);
        QFETCH(Field, failed);
        QFETCH(QString, message);
        Texts texts = ValidMotor(linear);
        texts.FeedbackType = feedbackType;
        for (int i = 0; i + 1 < changes.size(); i += 2) {
            texts.Fields[changes[i].toUInt()] = changes[i + 1];
        }
        const MotorParameterCheck::Result result =
            MotorParameterCheck::Validate(texts, AgreedLimits());
        QCOMPARE(result.Ok, message.isEmpty());
        QCOMPARE(result.Message, message);
        if (!result.Ok) {
            QCOMPARE(result.Failed, failed);
        }
    }

    // A command database without the motor rows leaves every limit at zero:
    // zeros pass, and any field that is not zero is the one reported.
    void zeroLimitsRefuseEveryNonZeroValue_data()
    {
        QTest::addColumn<int>("field");
        for (int i = 0; i < MotorParameterCheck::FieldCount; ++i) {
            QTest::newRow(qPrintable(QString::number(i))) << i;
        }
    }

    void zeroLimitsRefuseEveryNonZeroValue()
    {
        QFETCH(int, field);
        Texts texts;
        texts.Fields.fill(QStringLiteral("0"));
        const ParameterLimits zero;
        QVERIFY(MotorParameterCheck::Validate(texts, zero).Ok);
        texts.Fields[static_cast<std::size_t>(field)] = QStringLiteral("1");
        if (field == static_cast<int>(Field::MinInductance)) {
            texts[Field::MaxInductance] = QStringLiteral("1"); // fails first on the minimum
        }
        const MotorParameterCheck::Result result = MotorParameterCheck::Validate(texts, zero);
        QVERIFY(!result.Ok);
        QCOMPARE(static_cast<int>(result.Failed), field);
    }

    void motorDefaults_data()
    {
        QTest::addColumn<QString>("series");
        QTest::addColumn<QString>("package");
        QTest::addColumn<QString>("feedback");
        QTest::addColumn<QString>("resolution");
        QTest::addColumn<bool>("linear");
        QTest::addColumn<QString>("feedbackType");
        QTest::addColumn<QString>("shownResolution");
        QTest::addColumn<bool>("invertHalls");
        const auto row = [](const char* name, const char* series, const char* package,
                            const char* feedback, const char* resolution, bool linear,
                            const char* feedbackType, const char* shownResolution,
                            bool invertHalls) {
            QTest::newRow(name) << QString(series) << QString(package) << QString(feedback)
                                << QString(resolution) << linear << QString(feedbackType)
                                << QString(shownResolution) << invertHalls;
        };
        row("encoder", "BE", "Rotary", "E", "8000", false, "Regular Encoder", "8000", false);
        row("resolver", "BE", "Rotary", "R", "2048", false, "Resolver", "4096", false);
        row("resolver 41", "BE", "Rotary", "41", "", false, "Resolver", "4096", false);
        row("absolute as unsigned", "BE", "Rotary", "9D", "1048576.0", false, "Absolute Encoder",
            "1048576", false);
        row("smart", "BE", "Rotary", "3E", "32768", false, "Smart Encoder", "32768", false);
        row("linear halls inverted", "Vantor", "Linear", "E", "32000", true, "Regular Encoder",
            "32000", true);
        row("table is linear", "Vantor", "Table", "Q", "32000", true, "Smart Encoder", "32000",
            true);
        row("no halls with resolver", "Vantor", "Linear", "R", "4096", true, "Resolver", "4096",
            false);
        row("unknown package is rotary", "BE", "Frameless", "E", "8000", false, "Regular Encoder",
            "8000", false);
    }

    void motorDefaults()
    {
        QFETCH(QString, series);
        QFETCH(QString, package);
        QFETCH(QString, feedback);
        QFETCH(QString, resolution);
        QFETCH(bool, linear);
        QFETCH(QString, feedbackType);
        QFETCH(QString, shownResolution);
        QFETCH(bool, invertHalls);
        const FakeMotor motor({{MotorField::Series, series},
                               {MotorField::Package, package},
                               {MotorField::Feedback, feedback},
                               {MotorField::RatedSpeed, QStringLiteral("41.67")},
                               {MotorField::MinInductance, QStringLiteral("3.40")},
                               {MotorField::MaxInductance, QStringLiteral("4.00")},
                               {MotorField::FeedbackResolution, resolution}});
        const Texts texts = MotorParameterCheck::FromMotor(motor);
        QCOMPARE(texts.Linear, linear);
        QCOMPARE(texts.FeedbackType, feedbackType);
        QCOMPARE(texts[Field::FeedbackResolution], shownResolution);
        QCOMPARE(texts.InvertHallSignals, invertHalls);
        QCOMPARE(texts[Field::RatedSpeed], QStringLiteral("41.67"));
        QCOMPARE(texts[Field::MinInductance], QStringLiteral("3.40"));
        QCOMPARE(texts[Field::MaxInductance], QStringLiteral("4.00"));
        QCOMPARE(texts[Field::Damping], QString());
    }

    void writtenValues_data()
    {
        QTest::addColumn<bool>("linear");
        QTest::addColumn<QString>("feedbackType");
        QTest::addColumn<int>("polePairs");
        QTest::addColumn<float>("pitch");
        QTest::addColumn<int>("resolution");
        QTest::newRow("rotary") << false << "Regular Encoder" << 4 << 0.0f << 8000;
        QTest::newRow("linear") << true << "Regular Encoder" << 1 << 32.0f << 8000;
        QTest::newRow("resolver writes 4096") << false << "Resolver" << 4 << 0.0f << 4096;
    }

    void writtenValues()
    {
        QFETCH(bool, linear);
        QFETCH(QString, feedbackType);
        QFETCH(int, polePairs);
        QFETCH(float, pitch);
        QFETCH(int, resolution);
        Texts texts = ValidMotor(linear);
        texts.FeedbackType = feedbackType;
        texts[Field::MinInductance] = QStringLiteral("2.0");
        texts[Field::MaxInductance] = QStringLiteral("8.0");
        const MotorParameterCheck::Values values = MotorParameterCheck::ToValues(texts);
        QCOMPARE(values.MotorIsLinear, linear ? 1 : 0);
        QCOMPARE(values.MotorPolePairs, polePairs);
        QCOMPARE(values.ElectricalPitch, pitch);
        QCOMPARE(values.MaxInductance, 8.0f);
        QCOMPARE(values.InductanceRatio, 0.25f);
        QCOMPARE(values.FeedbackResolution, resolution);
        QCOMPARE(values.FeedbackAuxiliary, 0);
        QCOMPARE(values.AmbientTemperature, 40.0f);
    }

    void zeroMaximumInductanceWritesNoNaN()
    {
        Texts texts = ValidMotor(false);
        texts[Field::MinInductance] = QStringLiteral("0");
        texts[Field::MaxInductance] = QStringLiteral("0");
        QCOMPARE(MotorParameterCheck::ToValues(texts).InductanceRatio, 0.0f);
    }
};

QTEST_GUILESS_MAIN(tst_MotorParameterCheck)
#include "tst_motorparametercheck.moc"
