#include "MotorParameterCheck.h"

#include <QHash>
#include <QTest>

#include <algorithm>
#include <tuple>

using namespace Orvex;
using Field = MotorParameterCheck::Field;
using Texts = MotorParameterCheck::Texts;

namespace {

// The limits agreed with the command database for the parameters the page checks.
const std::tuple<int, double, double> Agreed[] = {
    {1, 256, 16777216},  {3, 0.05, 60.0},   {5, 0, 100},       {7, 0.1, 120.0}, {9, 0.01, 500.0},
    {12, 40, 200},       {14, 0.01, 200.0}, {16, 0.01, 500.0}, {18, 1, 64},     {19, 0, 10000},
    {21, 0.01, 1000000}, {29, 1.0, 200.0},  {38, 0.1, 1000.0}, {119, -40, 85},  {121, 0.01, 20.0},
    {124, 0.1, 300.0},   {126, 0.01, 60.0}};

// The agreed limits, then these (number, minimum, maximum, ...) instead.
ParameterLimits Limits(const QList<double>& changes = {})
{
    ParameterLimits limits;
    for (const auto& [number, minimum, maximum] : Agreed) {
        limits[number].Minimum = minimum;
        limits[number].Maximum = maximum;
    }
    for (qsizetype i = 0; i + 2 < changes.size(); i += 3) {
        limits[int(changes[i])].Minimum = changes[i + 1];
        limits[int(changes[i])].Maximum = changes[i + 2];
    }
    return limits;
}

Texts ValidMotor(bool linear)
{
    Texts texts;
    texts.Linear = linear;
    const QStringList values = QStringLiteral("50.00 %1 95.00 25.00 18.00 0.90 1.20 40 155 40.00 "
                                              "2.40 0 7.20 4.800 16.00 18.80 8000")
                                   .arg(linear ? "32.0" : "4")
                                   .split(QLatin1Char(' '));
    std::copy(values.begin(), values.end(), texts.Fields.begin());
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
    // The first field changed is the one reported when the check fails.
    void firstFailureAndItsMessage_data()
    {
        QTest::addColumn<bool>("linear");
        QTest::addColumn<QString>("feedbackType");
        QTest::addColumn<QStringList>("changes");  // field index, text, field index, text ...
        QTest::addColumn<QString>("message");      // empty: passes
        QTest::addColumn<QList<double>>("limits"); // number, minimum, maximum ... to change
        const auto row = [](const char* name, bool linear, QStringList changes,
                            const QString& message, const char* type = "Regular Encoder",
                            QList<double> limits = {}) {
            QTest::newRow(name) << linear << QString(type) << changes << message << limits;
        };
        row("valid rotary", false, {}, QString());
        row("blank ambient, whose range holds 0", false, {"7", "  "},
            "Motor Ambient Temperature must be between -40.00 and 85.00");
        row("linear rated speed", true, {"0", "600"},
            "Motor Rated Speed must be between 0.01 and 500.00 mps");
        row("pole pairs without decimals", false, {"1", "65"},
            "Motor Pole Pairs must be between 1 and 64 pole pairs");
        row("pole pairs 64.9 is 64", false, {"1", "64.9"}, QString());
        row("pitch read as decimal", true, {"1", "200.5"},
            "Electrical Pitch must be between 1.00 and 200.00 mm");
        // The pitch has its own range (P29), not the pole pairs' one (P18).
        row("pitch in its range, not the pole pairs'", true, {"1", "80"}, QString(),
            "Regular Encoder", {29, 5.0, 100.0});
        row("pitch in the pole pairs' range, not its own", true, {"1", "2.5"},
            "Electrical Pitch must be between 5.00 and 100.00 mm", "Regular Encoder",
            {29, 5.0, 100.0});
        row("rotor inertia", false, {"2", "0"},
            QString::fromUtf8(
                "Motor Rotor Inertia must be between 0.01 and 1000000.00 kgm\u00b2e-6"));
        row("forcer mass", true, {"2", "0"}, "Force Limit must be between 0.01 and 1000000.00 kg");
        row("ambient below range", false, {"7", "-41"},
            "Motor Ambient Temperature must be between -40.00 and 85.00");
        row("ambient at minimum", false, {"7", "-40"}, QString());
        row("linear Ke", true, {"9", "0.05"}, "Ke must be between 0.10 and 1000.00 V/m/s");
        row("derating percent", false, {"11", "101"},
            "Continuous Current Derating must be between 0.00 and 100.00 %");
        row("first failure wins", false, {"3", "-1", "13", "0"},
            "Motor Damping must be between 0.00 and 10000.00");
        row("maximum below minimum", false, {"15", "4.0", "14", "5.0"},
            "Maximum Inductance must be greater than or equal to Minimum Inductance");
        row("maximum equal to minimum", false, {"15", "5", "14", "5.0"}, QString());
        row("maximum inductance range first", false, {"15", "0", "14", "5.0"},
            "Maximum Inductance must be between 0.01 and 500.00 mH");
        row("rotary absolute resolution", false, {"16", "16777217"},
            "Feedback Resolution must be between 256 and 16777216 counts/rev", "Absolute Encoder");
        row("linear resolver resolution", true, {"16", ""},
            "Feedback Resolution must be between 256 and 16777216 counts/electrical pitch",
            "Resolver");
        row("linear encoder resolution", true, {"16", "255"},
            "Feedback Resolution must be between 256 and 16777216 post-quad pulses/electrical "
            "pitch");
        row("resolution beyond int", false, {"16", "99999999999"},
            "Feedback Resolution must be between 256 and 16777216 post-quad pulses/rev");
    }

    void firstFailureAndItsMessage()
    {
        QFETCH(bool, linear);
        QFETCH(QString, feedbackType);
        QFETCH(QStringList, changes);
        QFETCH(QString, message);
        QFETCH(QList<double>, limits);
        Texts texts = ValidMotor(linear);
        texts.FeedbackType = feedbackType;
        for (int i = 0; i + 1 < changes.size(); i += 2)
            texts.Fields[changes[i].toUInt()] = changes[i + 1];
        const MotorParameterCheck::Result result =
            MotorParameterCheck::Validate(texts, Limits(limits));
        QCOMPARE(result.Ok, message.isEmpty());
        QCOMPARE(result.Message, message);
        if (!result.Ok)
            QCOMPARE(static_cast<int>(result.Failed), changes[0].toInt());
    }

    // A command database without the motor rows leaves every limit at zero:
    // zeros pass, and any field that is not zero is the one reported.
    void zeroLimitsRefuseEveryNonZeroValue()
    {
        const ParameterLimits zero;
        for (int field = 0; field < MotorParameterCheck::FieldCount; ++field) {
            Texts texts;
            texts.Fields.fill(QStringLiteral("0"));
            QVERIFY(MotorParameterCheck::Validate(texts, zero).Ok);
            texts.Fields[static_cast<std::size_t>(field)] = QStringLiteral("1");
            if (field == static_cast<int>(Field::MinInductance))
                texts[Field::MaxInductance] = QStringLiteral("1"); // fails first on the minimum
            const MotorParameterCheck::Result result = MotorParameterCheck::Validate(texts, zero);
            QVERIFY2(!result.Ok, qPrintable(QString::number(field)));
            QCOMPARE(static_cast<int>(result.Failed), field);
        }
    }

    void motorDefaults_data()
    {
        QTest::addColumn<QStringList>("record"); // series, package, feedback code, resolution
        QTest::addColumn<QString>("shown");      // kind, feedback type, resolution, halls
        const auto row = [](const char* name, const QStringList& record, const char* shown) {
            QTest::newRow(name) << record << QString(shown);
        };
        row("encoder", {"BE", "Rotary", "E", "8000"}, "rotary|Regular Encoder|8000|");
        row("resolver", {"BE", "Rotary", "R", "2048"}, "rotary|Resolver|4096|");
        row("absolute as unsigned", {"BE", "Rotary", "9D", "1048576.0"},
            "rotary|Absolute Encoder|1048576|");
        row("linear halls inverted", {"Vantor", "Linear", "E", "32000"},
            "linear|Regular Encoder|32000|inverted");
        row("table is linear", {"Vantor", "Table", "Q", "32000"},
            "linear|Smart Encoder|32000|inverted");
        row("no halls with resolver", {"Vantor", "Linear", "R", "4096"}, "linear|Resolver|4096|");
        row("unknown package is rotary", {"BE", "Frameless", "E", "8000"},
            "rotary|Regular Encoder|8000|");
    }

    void motorDefaults()
    {
        QFETCH(QStringList, record);
        QFETCH(QString, shown);
        const FakeMotor motor({{MotorField::Series, record[0]},
                               {MotorField::Package, record[1]},
                               {MotorField::Feedback, record[2]},
                               {MotorField::RatedSpeed, QStringLiteral("41.67")},
                               {MotorField::MinInductance, QStringLiteral("3.40")},
                               {MotorField::MaxInductance, QStringLiteral("4.00")},
                               {MotorField::FeedbackResolution, record[3]}});
        const Texts texts = MotorParameterCheck::FromMotor(motor);
        QCOMPARE(QStringList({texts.Linear ? "linear" : "rotary", texts.FeedbackType,
                              texts[Field::FeedbackResolution],
                              texts.InvertHallSignals ? "inverted" : ""})
                     .join('|'),
                 shown);
        QCOMPARE(QStringList({texts[Field::RatedSpeed], texts[Field::MinInductance],
                              texts[Field::MaxInductance], texts[Field::Damping]}),
                 QStringList({"41.67", "3.40", "4.00", ""}));
    }

    void writtenValues_data()
    {
        QTest::addColumn<bool>("linear");
        QTest::addColumn<QString>("feedbackType");
        QTest::addColumn<int>("resolution");
        QTest::addColumn<float>("maxInductance"); // the minimum is a quarter of it
        QTest::newRow("rotary") << false << "Regular Encoder" << 8000 << 8.0f;
        QTest::newRow("linear") << true << "Regular Encoder" << 8000 << 8.0f;
        QTest::newRow("resolver writes 4096") << false << "Resolver" << 4096 << 8.0f;
        QTest::newRow("zero maximum inductance, no NaN")
            << false << "Regular Encoder" << 8000 << 0.0f;
    }

    // A linear motor has one pole pair and its pitch, a rotary one no pitch.
    void writtenValues()
    {
        QFETCH(bool, linear);
        QFETCH(QString, feedbackType);
        QFETCH(int, resolution);
        QFETCH(float, maxInductance);
        Texts texts = ValidMotor(linear);
        texts.FeedbackType = feedbackType;
        texts[Field::MinInductance] = QString::number(maxInductance / 4);
        texts[Field::MaxInductance] = QString::number(maxInductance);
        const MotorParameterCheck::Values values = MotorParameterCheck::ToValues(texts);
        QCOMPARE(values.MotorIsLinear, linear ? 1 : 0);
        QCOMPARE(values.MotorPolePairs, linear ? 1 : 4);
        QCOMPARE(values.ElectricalPitch, linear ? 32.0f : 0.0f);
        QCOMPARE(values.MaxInductance, maxInductance);
        QCOMPARE(values.InductanceRatio, maxInductance > 0 ? 0.25f : 0.0f);
        QCOMPARE(values.FeedbackResolution, resolution);
        QCOMPARE(values.FeedbackAuxiliary, 0);
        QCOMPARE(values.AmbientTemperature, 40.0f);
    }
};

QTEST_GUILESS_MAIN(tst_MotorParameterCheck)
#include "tst_motorparametercheck.moc"
