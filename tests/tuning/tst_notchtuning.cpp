#include "NotchTuningDlg.h"
#include "NumSpinCtrl.h"
#include "PageIds.h"
#include "ResponseGraph.h"
#include "ServoTunerDlg.h"
#include "SimulatedProgram.h"
#include "VelocityTunerDlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cmath>
#include <numbers>

using namespace Orvex;

namespace {

// The program on the simulated drive with the "Notch Filter Tuning" page shown.
struct Notch : OrvexTest::SimulatedWindow
{
    Notch()
    {
        window.SetPage(PageId::NotchTuning);
        QCoreApplication::processEvents();
    }
    CNotchTuningDlg& Page() const
    {
        return *dynamic_cast<CNotchTuningDlg*>(window.Page(PageId::NotchTuning));
    }
    NumSpinCtrl* Spin(const QString& name) const { return Page().findChild<NumSpinCtrl*>(name); }
    // Types text into a box and presses Enter, as the user does.
    void Enter(const QString& name, const QString& text) const
    {
        NumSpinCtrl* spin = Spin(name);
        spin->findChild<QLineEdit*>()->setText(text);
        QTest::keyClick(spin, Qt::Key_Return);
    }
    double Param(int number) const { return Drive().WorkingValue(number).value_or(-1.0); }
    QString Shown() const { return OrvexTest::Messages(ui).join(u'\n'); }
};

// The resonance peak of a step response (x in ms): the largest amplitude,
// by a discrete Fourier transform of the trace's departure from its final
// value, between 400 and 1000 Hz.
double ResonancePeak(const QList<QPointF>& trace)
{
    const double last = trace.isEmpty() ? 0.0 : trace.back().y();
    double peak = 0.0;
    for (double hz = 400.0; hz <= 1000.0; hz += 10.0) {
        double re = 0.0;
        double im = 0.0;
        for (const QPointF& point : trace) {
            const double phase = 2.0 * std::numbers::pi * hz * point.x() / 1000.0;
            re += (point.y() - last) * std::cos(phase);
            im += (point.y() - last) * std::sin(phase);
        }
        peak = std::max(peak, std::hypot(re, im));
    }
    return 2.0 * peak / double(std::max<qsizetype>(trace.size(), 1));
}

} // namespace

// The notch filter page on the simulated drive, through the real bridge and
// link: what the drive receives when a value is entered or stepped.
class TestNotchTuning : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sendsValues_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("before"); // entered first
        QTest::addColumn<QString>("action"); // "up", "down" or a typed value
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("parameter");
        QTest::addColumn<double>("value");
        QTest::newRow("30 entered sends 0") << "notch1FrequencySpin"
                                            << "100"
                                            << "30"
                                            << "0" << 74 << 0.0;
        QTest::newRow("up from 0 sends 60") << "notch1FrequencySpin"
                                            << "0"
                                            << "up"
                                            << "60" << 74 << 60.0;
        QTest::newRow("down from 60 sends 0") << "notch1FrequencySpin"
                                              << "60"
                                              << "down"
                                              << "0" << 74 << 0.0;
        QTest::newRow("lag up from 0 sends 20") << "lagFrequencySpin"
                                                << "0"
                                                << "up"
                                                << "20" << 83 << 20.0;
        QTest::newRow("quality 0.3 sends 0.50") << "notch2QualitySpin"
                                                << "2"
                                                << "0.3"
                                                << "0.50" << 80 << 0.5;
        QTest::newRow("depth as typed") << "notch1DepthSpin"
                                        << "0.5"
                                        << ".25"
                                        << ".25" << 72 << 0.25;
    }
    void sendsValues()
    {
        QFETCH(QString, box);
        QFETCH(QString, before);
        QFETCH(QString, action);
        QFETCH(QString, shown);
        QFETCH(int, parameter);
        QFETCH(double, value);
        Notch p;
        QVERIFY2(p.ui.Messages.empty(), qPrintable(p.Shown()));
        p.Enter(box, before);
        QTRY_COMPARE(p.Param(parameter), before.toDouble());
        if (action == QLatin1String("up"))
            QTest::keyClick(p.Spin(box), Qt::Key_Up);
        else if (action == QLatin1String("down"))
            QTest::keyClick(p.Spin(box), Qt::Key_Down);
        else
            p.Enter(box, action);
        QCOMPARE(p.Spin(box)->text(), shown);
        QTRY_COMPARE(p.Param(parameter), value);
        QVERIFY2(p.ui.Messages.empty(), qPrintable(p.Shown()));
    }

    void leadLagRule_data()
    {
        QTest::addColumn<QString>("lag");
        QTest::addColumn<QString>("lead");
        QTest::addColumn<bool>("sent");
        QTest::newRow("lead 100 without lag") << "0"
                                              << "100" << false;
        QTest::newRow("both off") << "0"
                                  << "0" << true;
        QTest::newRow("four times the lag") << "25"
                                            << "100" << true;
    }
    void leadLagRule()
    {
        QFETCH(QString, lag);
        QFETCH(QString, lead);
        QFETCH(bool, sent);
        Notch p;
        p.Enter(QStringLiteral("lagFrequencySpin"), lag);
        QTRY_COMPARE(p.Param(83), lag.toDouble());
        const int heard = p.Drive().CommandsReceived();
        p.Enter(QStringLiteral("leadFrequencySpin"), lead);
        p.Enter(QStringLiteral("notch1DepthSpin"), QStringLiteral("0.125"));
        QTRY_COMPARE(p.Param(72), 0.125);
        QCOMPARE(p.Drive().CommandsReceived(), heard + (sent ? 2 : 1));
        QCOMPARE(p.Shown(), sent ? QString()
                                 : QStringLiteral("Data Validation Error: Lead Break Frequency "
                                                  "must be <= 4 * Lag Break Frequency"));
        QCOMPARE(p.Param(82), sent ? lead.toDouble() : 0.0);
    }

    void fullCheck_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("minimum");  // of the box's parameter
        QTest::addColumn<QString>("message"); // empty: passes
        const QString frequency = QStringLiteral(
            "Notch Filter #1 Frequency must be %1 (disabled) or between 60 and 1000");
        QTest::newRow("frequency 0") << "notch1FrequencySpin"
                                     << "0" << 0.0 << QString();
        QTest::newRow("frequency 0 below minimum") << "notch1FrequencySpin"
                                                   << "0" << 10.0 << frequency.arg(10);
        QTest::newRow("frequency 30 though allowed") << "notch1FrequencySpin"
                                                     << "30" << 0.0 << frequency.arg(0);
        QTest::newRow("frequency 60") << "notch1FrequencySpin"
                                      << "60" << 0.0 << QString();
        QTest::newRow("empty depth")
            << "notch2DepthSpin"
            << "" << 0.0 << "Notch Filter #2 Depth must be between 0.0000 (disabled) and 1.0000";
        QTest::newRow("lag 19") << "lagFrequencySpin"
                                << "19" << 0.0
                                << "Notch Lag Filter Frequency must be 0 (disabled) or between 20 "
                                   "and 1000";
        QTest::newRow("lead above 4 x lag")
            << "leadFrequencySpin"
            << "80" << 0.0
            << "Notch Lead Filter Frequency must be less than or equal to 4 times the Notch Lag "
               "Filter Frequency";
    }
    void fullCheck()
    {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(double, minimum);
        QFETCH(QString, message);
        Notch p;
        p.Page().ResetToDefaults();
        NumSpinCtrl* spin = p.Spin(box);
        p.limits[74].Minimum = minimum;
        spin->findChild<QLineEdit*>()->setText(text);
        QCOMPARE(p.Page().Validate(), message.isEmpty());
        QCOMPARE(p.Shown(), message.isEmpty() ? QString() : "Data Validation Error: " + message);
    }

    // The simulated load has a shaft resonance at 600 Hz: a notch set there
    // on this page takes the resonance out of the next velocity capture.
    void notchOnResonance()
    {
        Notch p;
        p.config->SetControlMode(4);
        p.config->SetPortNumber(p.SimulatorPort());
        QCOMPARE(p.config->TestConnection(), -1);
        p.config->StoreConfiguration(true, QString());
        auto* frame = dynamic_cast<CServoTunerDlg*>(p.window.Page(PageId::ServoTuner));
        const auto capture = [&](int session) {
            p.window.SetPage(PageId::ServoTuner);
            QCoreApplication::processEvents();
            frame->findChild<QPushButton*>(QStringLiteral("enableDriveButton"))->click();
            frame->SelectSession(session);
            frame->VelocityTuner()
                ->findChild<QLineEdit*>(QStringLiteral("proportionalEdit"))
                ->setText(QStringLiteral("25.00"));
            frame->StartMotion();
            const QList<QPointF>& actual = frame->Graph()->Content().Series[2 * session + 1];
            return ResonancePeak(actual);
        };
        const double without = capture(0);
        p.window.SetPage(PageId::NotchTuning);
        QCoreApplication::processEvents();
        p.Enter(QStringLiteral("notch1FrequencySpin"), QStringLiteral("600"));
        p.Enter(QStringLiteral("notch1QualitySpin"), QStringLiteral("2"));
        p.Enter(QStringLiteral("notch1DepthSpin"), QStringLiteral("1"));
        QTRY_COMPARE(p.Param(72), 1.0);
        const double with = capture(1);
        QVERIFY2(p.ui.Messages.empty(), qPrintable(p.Shown()));
        QVERIFY2(with < 0.25 * without, qPrintable(QStringLiteral("%1 %2").arg(without).arg(with)));
    }

    void loadWarnings_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("no enable input")
            << "noenable"
            << "Hardware Drive Enable Warning: Orvex drive is not enabled via enable input" << true;
        QTest::newRow("faulted") << "fault:28"
                                 << "Drive Fault Warning: Orvex drive is faulted.  You must reset "
                                    "drive to clear fault."
                                 << true;
        QTest::newRow("not configured")
            << "unconfigured"
            << "Configuration Error: Orvex drive has not been configured" << false;
    }
    void loadWarnings()
    {
        QFETCH(QString, fault);
        QFETCH(QString, message);
        QFETCH(bool, loaded);
        Notch p;
        p.Drive().ApplySwitch(QStringLiteral("clear"), nullptr);
        QVERIFY(p.Drive().ApplySwitch(fault, nullptr));
        p.ui.Messages.clear();
        p.ui.WaitTexts.clear();
        p.Page().Load();
        QCOMPARE(p.Shown(), message);
        QCOMPARE(p.ui.WaitTexts.contains(QStringLiteral("Uploading Orvex configuration...")),
                 loaded);
    }
};

QTEST_MAIN(TestNotchTuning)
#include "tst_notchtuning.moc"
