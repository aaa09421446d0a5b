#include "BridgeRig.h"
#include "LinkTransport.h"
#include "SimulatedDrive.h"

#include <QTest>
#include <QTimer>

#include <cmath>
#include <memory>

using Orvex::IOrvexConfig;
using OrvexTest::DescriptionOf;

namespace {

// A drive that answers every capture with a fixed text, and everything else
// with the prompt alone.
class ScriptedTransport final : public Orvex::ILinkTransport
{
    Q_OBJECT

public:
    explicit ScriptedTransport(QByteArray captureAnswer) : m_CaptureAnswer(std::move(captureAnswer))
    {}
    bool Open() override { return m_Open = true; }
    void Close() override { m_Open = false; }
    bool IsOpen() const override { return m_Open; }
    bool Write(const QByteArray& bytes) override
    {
        QByteArray answer;
        for (const QByteArray& line : bytes.split('\r').mid(0, bytes.count('\r'))) {
            if (line.startsWith("CAP"))
                answer += m_CaptureAnswer;
            else if (line == "VER")
                answer += "VER=ORVEX AE-0620 OS 3.02.0017\r\n";
            answer += '\x05';
        }
        QTimer::singleShot(0, this, [this, answer] { Q_EMIT Received(answer); });
        return true;
    }
    QString Error() const override { return {}; }
    QString Description() const override { return QStringLiteral("Scripted"); }

private:
    QByteArray m_CaptureAnswer;
    bool m_Open = false;
};

// The simulated drive behind an in-process port, as the application builds it,
// and a drive with scripted capture answers on a second port.
struct Bench : OrvexTest::BridgeRig
{
    explicit Bench(QByteArray scriptedCapture = {})
    {
        scriptedPort =
            AddVirtualPort(QStringLiteral("script"), QStringLiteral("Script"), [scriptedCapture] {
                return std::make_unique<ScriptedTransport>(scriptedCapture);
            });
        config = Config();
        config->SetPortNumber(scriptedCapture.isEmpty() ? port : scriptedPort);
    }

    // Sends the configuration with the control mode and enables the drive.
    void Prepare(int controlMode)
    {
        config->SetControlMode(controlMode);
        config->StoreConfiguration(true, QString());
        config->SetDriveEnable(true);
        QVERIFY(drive->IsEnabled());
    }

    std::unique_ptr<IOrvexConfig> config;
    int scriptedPort = 0;
};

} // namespace

class TestBridgeMotion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("ORVEX_DATA_DIR"))
            qputenv("ORVEX_DATA_DIR", ORVEX_TEST_DATA_DIR);
    }

    void capturesAnswerTheirSamples_data()
    {
        QTest::addColumn<int>("controlMode");
        QTest::addColumn<QString>("kind");
        QTest::newRow("current") << 2 << QStringLiteral("current");
        QTest::newRow("current in velocity mode") << 4 << QStringLiteral("current");
        QTest::newRow("velocity") << 4 << QStringLiteral("velocity");
        QTest::newRow("position") << 6 << QStringLiteral("position");
    }
    void capturesAnswerTheirSamples()
    {
        QFETCH(int, controlMode);
        QFETCH(QString, kind);
        Bench bench;
        bench.Prepare(controlMode);
        bench.config->SetInertiaRatio(2.5f);
        if (kind == QLatin1String("current")) {
            const QVariant result = bench.config->CaptureCurrentStep(3.0f, 500, 20000);
            QVERIFY(result.canConvert<QList<float>>());
            const QList<float> samples = result.value<QList<float>>();
            QCOMPARE(samples.size(), 1024);
            // Commanded: 1 ms at rest, then +3 A and -3 A for 1 ms each.
            QCOMPARE(samples[2 * 10], 0.0f);
            QCOMPARE(samples[2 * 20], 3.0f);
            QCOMPARE(samples[2 * 40], -3.0f);
        } else if (kind == QLatin1String("velocity")) {
            const QVariant result = bench.config->CaptureVelocityStep(1000.0f, 5.0f, 10, 20000);
            QCOMPARE(result.metaType(), QMetaType::fromType<QList<float>>());
            const QList<float> samples = result.value<QList<float>>();
            QCOMPARE(samples.size(), 1024);
            QCOMPARE(samples[2 * 100], 5.0f); // 25 ms in: at speed
            QVERIFY(std::abs(samples[2 * 100 + 1] - 5.0f) < 0.5f);
        } else {
            const QVariant result = bench.config->CapturePositionStep(4000, 20000);
            QCOMPARE(result.metaType(), QMetaType::fromType<QList<qint32>>());
            const QList<qint32> samples = result.value<QList<qint32>>();
            QCOMPARE(samples.size(), 1024);
            QCOMPARE(samples[2 * 511], 4000);
            QVERIFY(std::abs(samples[2 * 511 + 1] - 4000) <= 40);
        }
    }

    void captureSendsTheGainsFirst()
    {
        Bench bench;
        bench.Prepare(2);
        bench.config->SetAutoCurrentGains(0);
        const auto rise = [&](float kp) {
            bench.config->SetCurrentLoopKp(kp);
            const QList<float> samples =
                bench.config->CaptureCurrentStep(3.0f, 10, 20000).value<QList<float>>();
            int k = 16;
            while (k < 512 && samples[2 * k + 1] < 2.7f)
                ++k;
            return k;
        };
        const int slow = rise(5.0f);
        QCOMPARE(bench.drive->WorkingValue(60).value_or(0), 5.0);
        QCOMPARE(bench.drive->WorkingValue(62).value_or(1), 0.0);
        const int fast = rise(20.0f);
        QCOMPARE(bench.drive->WorkingValue(60).value_or(0), 20.0);
        QVERIFY2(fast < slow, qPrintable(QStringLiteral("%1 %2").arg(fast).arg(slow)));
    }

    void refusedCaptureIsAnError()
    {
        Bench bench;
        bench.Prepare(2);
        QCOMPARE(
            DescriptionOf([&] { bench.config->CaptureVelocityStep(1000.0f, 5.0f, 10, 20000); }),
            QStringLiteral("The drive refused CAPV 1000,5,10: Failed not in velocity mode"));
    }

    void malformedCaptureIsAnError_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("detail");
        QTest::newRow("short") << QByteArray("CAP=3,62.5\r\n1,1\r\n2,2\r\n")
                               << QStringLiteral("2 of 3 samples arrived");
        QTest::newRow("no header") << QByteArray("1,1\r\n") << QStringLiteral("CAP=");
        QTest::newRow("too many") << QByteArray("CAP=513,62.5\r\n") << QStringLiteral("CAP=513");
        QTest::newRow("not a number")
            << QByteArray("CAP=1,62.5\r\n1,x\r\n") << QStringLiteral("'x' is not a sample value");
        QTest::newRow("one value")
            << QByteArray("CAP=1,62.5\r\n1\r\n") << QStringLiteral("sample line '1'");
    }
    void malformedCaptureIsAnError()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, detail);
        Bench bench(answer);
        const QString failure =
            DescriptionOf([&] { bench.config->CaptureCurrentStep(3.0f, 500, 20000); });
        QVERIFY2(failure.startsWith(QLatin1String("Incorrect capture data from Orvex drive")) &&
                     failure.contains(detail),
                 qPrintable(failure));
    }

    void autoTuneMeasuresTheLoad_data()
    {
        QTest::addColumn<double>("ratio");
        QTest::newRow("light") << 0.5;
        QTest::newRow("heavy") << 6.0;
    }
    void autoTuneMeasuresTheLoad()
    {
        QFETCH(double, ratio);
        Bench bench;
        bench.drive->SetLoad({ratio, 600.0, 0.05});
        bench.Prepare(4);
        const float measured = bench.config->AutoTune();
        QVERIFY2(std::abs(measured - ratio) < 0.05 * std::max(ratio, 1.0),
                 qPrintable(QString::number(measured)));
    }

    void autoTuneOfDisabledDriveFails()
    {
        Bench bench;
        bench.Prepare(4);
        bench.config->SetDriveEnable(false);
        QVERIFY(bench.config->AutoTune() < 0.0f);
    }

    void alignmentUpdatesTheEncoderOffset()
    {
        Bench bench;
        bench.Prepare(2);
        bench.config->AlignMotor();
        const int offset = static_cast<int>(bench.drive->WorkingValue(142).value_or(0));
        QVERIFY(offset != 0);
        QCOMPARE(bench.config->EncoderOffset(), offset);
    }

    void alignmentWithoutEnableInputIsAnError()
    {
        Bench bench;
        bench.Prepare(2);
        bench.drive->SetEnableInput(false);
        QCOMPARE(DescriptionOf([&] { bench.config->AlignMotor(); }),
                 QStringLiteral("The drive refused ALIGN: Failed No Hardware Enable"));
    }

    void zeroReferenceFollowsDcmdz_data()
    {
        QTest::addColumn<double>("volts");
        QTest::newRow("0 V") << 0.0;
        QTest::newRow("0.5 V") << 0.5;
        QTest::newRow("7.25 V") << 7.25;
    }
    void zeroReferenceFollowsDcmdz()
    {
        QFETCH(double, volts);
        Bench bench;
        bench.drive->SetAnalogInput(volts);
        bench.drive->Receive("DCMDZ\r");
        QVERIFY(std::abs(bench.config->ReadZeroReference() - volts) <= 0.5 / 3276.8);
    }
};

QTEST_GUILESS_MAIN(TestBridgeMotion)
#include "tst_bridgemotion.moc"
