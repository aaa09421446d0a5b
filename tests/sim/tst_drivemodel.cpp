#include "DriveCapture.h"
#include "DriveModel.h"
#include "SimulatedDrive.h"

#include <QTest>

#include <cmath>
#include <numbers>

using Orvex::DriveCapture;
using Orvex::DriveModel;
using Orvex::SimulatedDrive;

namespace {

QString DataDir()
{
    const QString fromEnvironment = qEnvironmentVariable("ORVEX_DATA_DIR");
    return fromEnvironment.isEmpty() ? QStringLiteral(ORVEX_TEST_DATA_DIR) : fromEnvironment;
}

// Manual current gains whose integral cancels the winding's time constant, so
// the loop is first order with a bandwidth of Kp / L.
DriveModel::Settings WithCurrentGains(double kp, double inductance)
{
    DriveModel::Settings settings;
    settings.Machine.Inductance = inductance;
    settings.Current.Kp = kp;
    settings.Current.Ki = kp * settings.Machine.Resistance * DriveModel::TickSeconds / inductance;
    return settings;
}

// Time at which samples first reach level, interpolated between samples.
double Crossing(const std::vector<double>& samples, double level, double period, int from = 0)
{
    for (std::size_t k = std::max(from, 1); k < samples.size(); ++k) {
        if ((samples[k] - level) * (samples[k - 1] - level) <= 0.0 && samples[k] != samples[k - 1])
            return period * ((k - 1) + (level - samples[k - 1]) / (samples[k] - samples[k - 1]));
    }
    return -1.0;
}

struct StepFigures
{
    double RiseSeconds = 0.0;
    double Overshoot = 0.0; // share of the final value
};

// Rise time (10 to 90 %) and overshoot of the first positive step of a
// velocity capture, over its first half period.
StepFigures VelocityStepFigures(const DriveModel::Settings& settings, double velocity,
                                int frequency)
{
    const DriveCapture::Result result =
        DriveCapture::VelocityStep(settings, DriveModel::Load(), 1e6, velocity, frequency);
    const double period = result.PeriodMicroseconds * 1e-6;
    const int halfPeriod = static_cast<int>(0.5 / frequency / period);
    const std::vector<double> firstHalf(result.Actual.begin(), result.Actual.begin() + halfPeriod);
    StepFigures figures;
    figures.RiseSeconds =
        Crossing(firstHalf, 0.9 * velocity, period) - Crossing(firstHalf, 0.1 * velocity, period);
    figures.Overshoot = *std::max_element(firstHalf.begin(), firstHalf.end()) / velocity - 1.0;
    return figures;
}

// Amplitude of the frequency hz in samples (one DFT bin).
double Component(const std::vector<double>& samples, double period, double hz, int from);

// The largest component within 30 % of hz: the resonance peak.
double Peak(const std::vector<double>& samples, double period, double hz, int from)
{
    double peak = 0.0;
    for (double f = 0.7 * hz; f <= 1.3 * hz; f += 10.0)
        peak = std::max(peak, Component(samples, period, f, from));
    return peak;
}

double Component(const std::vector<double>& samples, double period, double hz, int from)
{
    double re = 0.0, im = 0.0;
    for (std::size_t k = from; k < samples.size(); ++k) {
        const double angle = 2.0 * std::numbers::pi * hz * k * period;
        re += samples[k] * std::cos(angle);
        im += samples[k] * std::sin(angle);
    }
    return 2.0 * std::hypot(re, im) / (samples.size() - from);
}

} // namespace

class TestDriveModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void currentStepFollowsLoopBandwidth_data()
    {
        QTest::addColumn<double>("kp");
        QTest::addColumn<double>("inductance");
        QTest::addColumn<double>("amplitude");
        QTest::newRow("Kp 5, 5 mH") << 5.0 << 5e-3 << 3.0;
        QTest::newRow("Kp 20, 10 mH") << 20.0 << 10e-3 << 1.5;
        QTest::newRow("Kp 2, 1 mH") << 2.0 << 1e-3 << 6.0;
    }
    void currentStepFollowsLoopBandwidth()
    {
        QFETCH(double, kp);
        QFETCH(double, inductance);
        QFETCH(double, amplitude);
        // 10 Hz: the first half period outlasts the 32 ms window, a clean step.
        const DriveCapture::Result result = DriveCapture::CurrentStep(
            WithCurrentGains(kp, inductance), DriveModel::Load(), amplitude, 10);
        QCOMPARE(result.Commanded.size(), std::size_t(512));
        QCOMPARE(result.PeriodMicroseconds, 62.5);
        QCOMPARE(result.Commanded.back(), amplitude);
        const double period = result.PeriodMicroseconds * 1e-6;
        const double rise = Crossing(result.Actual, 0.9 * amplitude, period) -
                            Crossing(result.Actual, 0.1 * amplitude, period);
        const double predicted = std::log(9.0) * inductance / kp;
        QVERIFY2(std::abs(rise / predicted - 1.0) < 0.1,
                 qPrintable(QStringLiteral("rise %1 us, predicted %2 us")
                                .arg(rise * 1e6)
                                .arg(predicted * 1e6)));
        QVERIFY(std::abs(result.Actual.back() - amplitude) < 0.01 * amplitude);
    }

    void currentAboveThePeakIsLimited()
    {
        DriveModel::Settings settings = WithCurrentGains(10.0, 5e-3);
        settings.Machine.PeakCurrent = 4.0;
        const DriveCapture::Result result =
            DriveCapture::CurrentStep(settings, DriveModel::Load(), 6.0, 10);
        QCOMPARE(result.Commanded.back(), 4.0);
        QVERIFY(std::abs(result.Actual.back() - 4.0) < 0.05);
    }

    void moreVelocityGainRisesFasterAndOvershootsMore_data()
    {
        QTest::addColumn<double>("lowKp");
        QTest::addColumn<double>("highKp");
        QTest::newRow("2 and 4") << 2.0 << 4.0;
    }
    void moreVelocityGainRisesFasterAndOvershootsMore()
    {
        QFETCH(double, lowKp);
        QFETCH(double, highKp);
        DriveModel::Settings settings;
        settings.Velocity.InertiaRatio = DriveModel::Load().InertiaRatio;
        settings.Velocity.IntegralLimit = 100.0;
        settings.Velocity.Kp = lowKp;
        const StepFigures low = VelocityStepFigures(settings, 2.0, 5);
        settings.Velocity.Kp = highKp;
        const StepFigures high = VelocityStepFigures(settings, 2.0, 5);
        qInfo("Kp %g: rise %.2f ms, overshoot %.1f %%; Kp %g: rise %.2f ms, overshoot %.1f %%",
              lowKp, low.RiseSeconds * 1e3, low.Overshoot * 100, highKp, high.RiseSeconds * 1e3,
              high.Overshoot * 100);
        QVERIFY(high.RiseSeconds < 0.7 * low.RiseSeconds);
        QVERIFY(high.Overshoot > low.Overshoot + 0.02);
    }

    void autoTuneMeasuresTheLoad_data()
    {
        QTest::addColumn<double>("ratio");
        QTest::addColumn<double>("resonanceHz");
        QTest::addColumn<double>("friction");
        QTest::newRow("no load") << 0.0 << 600.0 << 0.0;
        QTest::newRow("ratio 1") << 1.0 << 500.0 << 0.0;
        QTest::newRow("ratio 2.5") << 2.5 << 600.0 << 0.0;
        QTest::newRow("ratio 8, stiff shaft") << 8.0 << 800.0 << 0.0;
        QTest::newRow("ratio 2.5 with friction") << 2.5 << 600.0 << 0.1;
    }
    void autoTuneMeasuresTheLoad()
    {
        QFETCH(double, ratio);
        QFETCH(double, resonanceHz);
        QFETCH(double, friction);
        DriveModel::Settings settings;
        settings.Machine.Friction = friction;
        DriveModel::Load load;
        load.InertiaRatio = ratio;
        load.ResonanceHz = resonanceHz;
        const double measured = DriveCapture::MeasureInertiaRatio(settings, load, 3);
        QVERIFY2(std::abs(measured - ratio) <= 0.05 * std::max(ratio, 1.0),
                 qPrintable(QStringLiteral("measured %1").arg(measured)));
    }

    void notchOnTheResonanceLowersItsPeak_data()
    {
        QTest::addColumn<double>("resonanceHz");
        QTest::newRow("500 Hz") << 500.0;
        QTest::newRow("700 Hz") << 700.0;
    }
    void notchOnTheResonanceLowersItsPeak()
    {
        QFETCH(double, resonanceHz);
        DriveModel::Load load;
        load.ResonanceHz = resonanceHz;
        DriveModel::Settings settings;
        settings.Velocity.InertiaRatio = load.InertiaRatio;
        settings.Velocity.Kp = 4.0;
        const auto ringing = [&] {
            const DriveCapture::Result result =
                DriveCapture::VelocityStep(settings, load, 1e6, 2.0, 48);
            return Peak(result.Actual, result.PeriodMicroseconds * 1e-6, resonanceHz, 16);
        };
        const double without = ringing();
        settings.Filter.A = {resonanceHz, 1.0, 1.0};
        const double with = ringing();
        qInfo("%g Hz component: %.4f rps without the notch, %.4f with", resonanceHz, without, with);
        QVERIFY(with < 0.5 * without);
    }

    void filtersSwitchedOffChangeNothing_data()
    {
        QTest::addColumn<double>("notchHz");
        QTest::addColumn<double>("depth");
        QTest::addColumn<double>("leadHz");
        QTest::addColumn<double>("lagHz");
        QTest::newRow("notch without depth") << 600.0 << 0.0 << 0.0 << 0.0;
        QTest::newRow("notch without frequency") << 0.0 << 1.0 << 0.0 << 0.0;
        QTest::newRow("lead without lag") << 0.0 << 0.0 << 400.0 << 0.0;
        QTest::newRow("lag without lead") << 0.0 << 0.0 << 0.0 << 100.0;
    }
    void filtersSwitchedOffChangeNothing()
    {
        QFETCH(double, notchHz);
        QFETCH(double, depth);
        QFETCH(double, leadHz);
        QFETCH(double, lagHz);
        DriveModel::Settings settings;
        const DriveCapture::Result plain =
            DriveCapture::VelocityStep(settings, DriveModel::Load(), 1000, 2.0, 10);
        settings.Filter.B = {notchHz, depth, 1.0};
        settings.Filter.LeadHz = leadHz;
        settings.Filter.LagHz = lagHz;
        const DriveCapture::Result filtered =
            DriveCapture::VelocityStep(settings, DriveModel::Load(), 1000, 2.0, 10);
        QCOMPARE(filtered.Actual, plain.Actual);
    }

    void leadLagChangesTheResponse()
    {
        DriveModel::Settings settings;
        settings.Velocity.InertiaRatio = 2.5;
        settings.Velocity.Kp = 3.0;
        const StepFigures plain = VelocityStepFigures(settings, 2.0, 5);
        settings.Filter.LeadHz = 200.0;
        settings.Filter.LagHz = 50.0;
        const StepFigures lagged = VelocityStepFigures(settings, 2.0, 5);
        // Phase lag near the crossing: more overshoot.
        QVERIFY(lagged.Overshoot > plain.Overshoot + 0.02);
    }

    void capturesFollowTheGains()
    {
        const auto currentRise = [](double kp) {
            const DriveCapture::Result r =
                DriveCapture::CurrentStep(WithCurrentGains(kp, 5e-3), DriveModel::Load(), 3.0, 10);
            return Crossing(r.Actual, 2.7, 1.0);
        };
        QVERIFY(currentRise(20.0) < currentRise(5.0));

        // The position loop: a stiffer loop follows the move more closely.
        const auto largestError = [](double kp) {
            DriveModel::Settings settings;
            settings.Velocity.InertiaRatio = 2.5;
            settings.Position.Kp = kp;
            const DriveCapture::Result r =
                DriveCapture::PositionStep(settings, DriveModel::Load(), 4000, 1000);
            double worst = 0.0;
            for (std::size_t k = 0; k < r.Actual.size(); ++k)
                worst = std::max(worst, std::abs(r.Commanded[k] - r.Actual[k]));
            return worst;
        };
        QVERIFY(largestError(1.2) < 0.8 * largestError(0.3));
    }

    void positionCaptureEndsAtTheDistance_data()
    {
        QTest::addColumn<double>("distance");
        QTest::newRow("200 counts") << 200.0;
        QTest::newRow("one turn") << 8000.0;
        QTest::newRow("backwards") << -2000.0;
    }
    void positionCaptureEndsAtTheDistance()
    {
        QFETCH(double, distance);
        DriveModel::Settings settings;
        settings.Velocity.InertiaRatio = 2.5;
        const DriveCapture::Result r =
            DriveCapture::PositionStep(settings, DriveModel::Load(), distance, 1000);
        QCOMPARE(r.PeriodMicroseconds, 250.0);
        // At rest for the 16 ms before the move.
        QCOMPARE(r.Commanded[63], 0.0);
        QCOMPARE(r.Actual[63], 0.0);
        QCOMPARE(r.Commanded.back(), distance);
        QVERIFY(std::abs(r.Actual.back() - distance) <= 0.01 * std::abs(distance) + 2.0);
    }

    // The drive's commands around the model.
    void driveCommands_data()
    {
        QTest::addColumn<QByteArray>("setup");
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("firstLine");
        const auto row = [](const char* name, const char* setup, const char* command,
                            const char* firstLine) {
            QTest::newRow(name) << QByteArray(setup) << QByteArray(command)
                                << QByteArray(firstLine);
        };
        row("current capture in torque mode", "ENABLE 1", "CAPI 3,500", "CAP=512,62.5");
        row("velocity capture at 10 Hz", "DCTRL 4\rENABLE 1", "CAPV 1000,5,10", "CAP=512,250");
        row("velocity capture at 1 Hz", "DCTRL 4\rENABLE 1", "CAPV=1000,5,1", "CAP=512,3000");
        row("position capture", "DCTRL 6\rENABLE 1", "CAPP 200", "CAP=512,250");
        row("capture while disabled", "", "CAPI 3,500", "?8 Failed Drive Disabled");
        row("velocity capture in torque mode", "ENABLE 1", "CAPV 1000,5,10",
            "?8 Failed not in velocity mode");
        row("position capture in velocity mode", "DCTRL 4\rENABLE 1", "CAPP 200",
            "?8 Failed not in position mode");
        row("velocity frequency 49", "DCTRL 4\rENABLE 1", "CAPV 1000,5,49",
            "?2 Out of range 1 to 48");
        row("missing value", "ENABLE 1", "CAPI 3", "?3 Bad value");
        row("auto tune", "DCTRL 4\rENABLE 1", "ATUNE", "ATUNE=");
        row("auto tune disabled", "", "AUTOTUNE", "?8 Failed Drive Disabled");
        row("align disabled", "", "ALIGN", "?8 Failed Drive Disabled");
    }
    void driveCommands()
    {
        QFETCH(QByteArray, setup);
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, firstLine);
        QString error;
        auto drive = SimulatedDrive::FromFolder(DataDir(), &error);
        QVERIFY2(drive, qPrintable(error));
        drive->Receive("CFGSAVE\r");
        if (!setup.isEmpty())
            QVERIFY(!drive->Receive(setup + '\r').contains('?'));
        const QByteArray answer = drive->Receive(command + '\r');
        QVERIFY(answer.endsWith(SimulatedDrive::Prompt));
        const QList<QByteArray> lines = answer.chopped(1).split('\n');
        QVERIFY2(lines.first().startsWith(firstLine), lines.first().constData());
        if (firstLine.startsWith("CAP=")) {
            QCOMPARE(lines.size(), 512 + 2); // the count line, the pairs, the empty rest
            QCOMPARE(lines[1].count(','), 1);
        }
    }

    void alignmentSetsTheEncoderOffset()
    {
        auto drive = SimulatedDrive::FromFolder(DataDir());
        QVERIFY(drive);
        drive->Receive("CFGSAVE\rENABLE 1\r");
        QCOMPARE(drive->Receive("ALIGN\r"), QByteArray("\x05"));
        // 8000 counts and 4 pole pairs: 2000 counts an electrical cycle.
        const double offset = drive->WorkingValue(142).value_or(-1);
        QVERIFY(offset > 0 && offset < 2000);
        QCOMPARE(std::fmod(drive->RotorCounts() - offset, 2000.0), 0.0);
        drive->SetEnableInput(false);
        QCOMPARE(drive->Receive("ALIGN\r"), QByteArray("?8 Failed No Hardware Enable\r\n\x05"));
    }

    void autoTuneFindsTheHiddenLoad()
    {
        auto drive = SimulatedDrive::FromFolder(DataDir());
        QVERIFY(drive);
        drive->SetLoad({5.0, 450.0, 0.05});
        drive->Receive("CFGSAVE\rENABLE 1\r");
        const QByteArray answer = drive->Receive("ATUNE\r");
        QVERIFY(answer.startsWith("ATUNE="));
        QVERIFY(std::abs(answer.mid(6).chopped(3).toDouble() - 5.0) < 0.25);
    }
};

QTEST_GUILESS_MAIN(TestDriveModel)
#include "tst_drivemodel.moc"
