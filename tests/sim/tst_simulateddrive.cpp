// The simulated drive: its command protocol, its boot loader and the operating
// system download it takes, its link, and the model of the motor and its loops
// behind its test moves.
#include "DriveCapture.h"
#include "DriveModel.h"
#include "SimulatedDrive.h"
#include "SimulatorTransport.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>
#include <numbers>

using Orvex::DriveCapture;
using Orvex::DriveModel;
using Orvex::SimulatedDrive;
using Orvex::SimulatorTransport;

namespace {

QByteArray Payload(int size)
{
    QByteArray bytes;
    quint32 state = 12345;
    for (int i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        bytes += static_cast<char>(state >> 24);
    }
    return bytes;
}

// The line that starts a download of payload; its CRC-32 (IEEE, reflected) is
// worked out bit by bit, independent of zlib.
QByteArray StartLine(const QByteArray& payload, const QByteArray& revision = "3.02.0018")
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : payload) {
        crc ^= static_cast<quint8>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) != 0 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return "OSDL " + QByteArray::number(payload.size()) + ",h" +
           QByteArray::number(~crc, 16).toUpper() + ',' + revision;
}

const QByteArray kVersion = "VER=ORVEX AE-0620 OS 3.02.0017\r\n";
const QByteArray kVersionPrompted = kVersion + SimulatedDrive::Prompt;
const QByteArray kBootMissing = "VER=ORVEX BOOT 1.04 OS MISSING\r\n";
const QByteArray kNoDownload = "?8 Failed no download in progress\r\n";

QByteArray Joined(const QSignalSpy& spy)
{
    QByteArray all;
    for (const QList<QVariant>& arguments : spy)
        all += arguments.at(0).toByteArray();
    return all;
}

// Manual current gains whose integral cancels the winding's time constant, so
// the loop has a bandwidth of about Kp / L.
DriveModel::Settings WithCurrentGains(double kp, double inductance)
{
    DriveModel::Settings settings;
    settings.Machine.Inductance = inductance;
    settings.Current.Kp = kp;
    settings.Current.Ki = kp * settings.Machine.Resistance * DriveModel::TickSeconds / inductance;
    return settings;
}

// A unit step through a PI current loop sampled every tick, its voltage
// applied one tick late and held: C(z) = ((Kp + Ki) z - Kp) / (z - 1),
// winding b / (z - a), delay 1 / z, worked out from the closed loop's
// difference equation.
std::vector<double> SampledLoopStep(const DriveModel::Settings& settings)
{
    const DriveModel::Motor& motor = settings.Machine;
    const double a = std::exp(-motor.Resistance * DriveModel::TickSeconds / motor.Inductance);
    const double b = (1.0 - a) / motor.Resistance;
    const double kp = settings.Current.Kp;
    const double ki = settings.Current.Ki;
    // y (z^3 - (1 + a) z^2 + (a + b (Kp + Ki)) z - b Kp) = r (b (Kp + Ki) z - b Kp)
    const double d2 = -(1.0 + a), d1 = a + b * (kp + ki), d0 = -b * kp;
    const double n1 = b * (kp + ki), n0 = -b * kp;
    const auto step = [](int k) { return k >= 0 ? 1.0 : 0.0; };
    std::vector<double> y(3, 0.0); // none before the step
    for (int k = 0; k < DriveCapture::Samples; ++k) {
        const std::size_t at = y.size();
        y.push_back(-d2 * y[at - 1] - d1 * y[at - 2] - d0 * y[at - 3] + n1 * step(k - 2) +
                    n0 * step(k - 3));
    }
    return {y.begin() + 3, y.end()};
}

// Time at which samples first reach level, interpolated between samples.
double Crossing(const std::vector<double>& samples, double level, double period)
{
    for (std::size_t k = 1; k < samples.size(); ++k) {
        if ((samples[k] - level) * (samples[k - 1] - level) <= 0.0 && samples[k] != samples[k - 1])
            return period * ((k - 1) + (level - samples[k - 1]) / (samples[k] - samples[k - 1]));
    }
    return -1.0;
}

double RiseTime(const std::vector<double>& samples, double level, double period)
{
    return Crossing(samples, 0.9 * level, period) - Crossing(samples, 0.1 * level, period);
}

struct StepFigures
{
    double RiseSeconds = 0.0;
    double Overshoot = 0.0; // share of the final value
};

// Rise time and overshoot of the first positive step of a 5 Hz velocity
// capture to 2 rps, over its first half period.
StepFigures VelocityStepFigures(DriveModel::Settings settings)
{
    // So fine an encoder that the speed's steps do not hide the loop's.
    settings.Machine.CountsPerRev = 1'000'000.0;
    const DriveCapture::Result result =
        DriveCapture::VelocityStep(settings, DriveModel::Load(), 1e6, 2.0, 5);
    const double period = result.PeriodMicroseconds * 1e-6;
    const std::vector<double> half(result.Actual.begin(),
                                   result.Actual.begin() + static_cast<int>(0.1 / period));
    return {RiseTime(half, 2.0, period), *std::max_element(half.begin(), half.end()) / 2.0 - 1.0};
}

// The largest component within 30 % of hz (one DFT bin each): the resonance peak.
double Peak(const std::vector<double>& samples, double period, double hz)
{
    constexpr std::size_t from = 16;
    double peak = 0.0;
    for (double f = 0.7 * hz; f <= 1.3 * hz; f += 10.0) {
        double re = 0.0, im = 0.0;
        for (std::size_t k = from; k < samples.size(); ++k) {
            const double angle = 2.0 * std::numbers::pi * f * k * period;
            re += samples[k] * std::cos(angle);
            im += samples[k] * std::sin(angle);
        }
        peak = std::max(peak, 2.0 * std::hypot(re, im) / (samples.size() - from));
    }
    return peak;
}

} // namespace

Q_DECLARE_METATYPE(DriveModel::Filters)

class TestSimulatedDrive : public QObject
{
    Q_OBJECT

private:
    std::shared_ptr<SimulatedDrive> m_Drive;
    qint64 m_Now = 0;

    // Sends one command and answers what came back without the final prompt.
    QByteArray Ask(const QByteArray& command)
    {
        QByteArray answer = m_Drive->Receive(command + '\r');
        if (!answer.endsWith(SimulatedDrive::Prompt))
            return "<no prompt>: " + answer;
        answer.chop(1);
        return answer;
    }
    void Configure() { QCOMPARE(Ask("CFGSAVE"), QByteArray()); }
    // Sends payload in OSD lines of 100 bytes; false when one is refused.
    bool SendData(const QByteArray& payload)
    {
        for (qsizetype at = 0; at < payload.size(); at += 100) {
            if (!Ask("OSD " + payload.mid(at, 100).toHex()).isEmpty())
                return false;
        }
        return true;
    }
    // Downloads a new OS of revision, which the drive then runs.
    void InstallOs(const QByteArray& revision)
    {
        const QByteArray payload = Payload(300);
        QCOMPARE(Ask(StartLine(payload, revision)), QByteArray("OSDL=READY\r\n"));
        QVERIFY(SendData(payload));
        QCOMPARE(m_Drive->OsBytesReceived(), 300);
        QCOMPARE(Ask("OSEND"), "OSEND=OK " + revision + "\r\n");
        QCOMPARE(Ask("VER"), "VER=ORVEX AE-0620 OS " + revision + "\r\n");
    }

private Q_SLOTS:
    void init()
    {
        QString error;
        m_Drive = SimulatedDrive::FromFolder(qEnvironmentVariable("ORVEX_DATA_DIR"), &error);
        QVERIFY2(m_Drive, qPrintable(error));
        m_Drive->SetSeed(1);
        m_Now = 0;
        m_Drive->SetClock([this] { return m_Now; });
    }
    // A limit or default that is no number a drive can hold stops the drive
    // from loading its table.
    void nonFiniteTableValuesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("cell");
        QTest::newRow("default") << QByteArray("<F13>nan</F13>");
        QTest::newRow("maximum") << QByteArray("<F12>inf</F12>");
        QTest::newRow("minimum") << QByteArray("<F11>-Infinity</F11>");
    }
    void nonFiniteTableValuesAreRefused()
    {
        QFETCH(QByteArray, cell);
        QFile shipped(qEnvironmentVariable("ORVEX_DATA_DIR") + "/OrvexCommandDatabase.xml");
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        QByteArray text = shipped.readAll();
        const QByteArray open = cell.left(5);
        const qsizetype at = text.indexOf(open, text.indexOf("<F2>001</F2>"));
        text.replace(at, text.indexOf('>', text.indexOf("</F", at)) + 1 - at, cell);
        QTemporaryDir dir;
        QFile changed(dir.filePath("OrvexCommandDatabase.xml"));
        QVERIFY(changed.open(QIODevice::WriteOnly) && changed.write(text) == text.size());
        changed.close();
        QString error;
        QVERIFY(!SimulatedDrive::FromFolder(dir.path(), &error));
        QVERIFY2(error.endsWith(QStringLiteral("parameter 001 has the %1, which is not a finite "
                                               "number.")
                                    .arg(QTest::currentDataTag() + QStringLiteral(" '") +
                                         cell.mid(5, cell.size() - 11) + u'\'')),
                 qPrintable(error));
    }
    // A fresh drive's answers, and how many parameter writes they make. A write
    // row writes, then reads back: its answer holds the write's bare prompt.
    void answers_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("writes");
        const auto row = [](const char* name, const char* command, const char* answer) {
            QTest::newRow(name) << QByteArray(command) << QByteArray(answer) << 0;
        };
        const auto write = [](const char* name, const char* write, const char* read,
                              const char* answer) {
            QTest::newRow(name) << QByteArray(write) + '\r' + read
                                << SimulatedDrive::Prompt + QByteArray(answer) << 1;
        };
        row("empty line", "", "");
        row("lower case", "ver", kVersion);
        row("P by short number", "P16", "P016=100\r\n");
        row("P by three digits", "P016", "P016=100\r\n");
        row("mnemonic", "MSPEED", "MSPEED=100\r\n");
        row("excluded row", "P4", "?1 Unknown command\r\n");
        row("four digits", "P0016", "?1 Unknown command\r\n");
        row("unknown", "FOO 1", "?1 Unknown command\r\n");
        QTest::newRow("overlong line") << QByteArray(SimulatedDrive::MaxLineLength + 10, 'A')
                                       << QByteArray("?1 Unknown command\r\n") << 0;
        row("above maximum", "P16=600", "?2 Out of range 0.01 to 500\r\n");
        row("below minimum, integer", "MENCRES 1", "?2 Out of range 256 to 16777216\r\n");
        row("not a number", "P16 abc", "?3 Bad value\r\n");
        row("empty value", "P16=", "?3 Bad value\r\n");
        row("not finite", "P16=inf", "?3 Bad value\r\n");
        row("read-only parameter", "P186=1", "?4 Read only\r\n");
        row("disabled bit", "E39", "E39=1\r\n");
        row("bit one digit", "E1", "E01=0\r\n");
        row("bit 64", "E64", "?1 Unknown command\r\n");
        row("bit write", "E39=0", "?4 Read only\r\n");
        row("error word", "ERRS", "ERRS=0000008000000000\r\n");
        row("error bits high", "S01", "S01=00000080\r\n");
        row("log mask without h", "ERRORL=3FFF", "?3 Bad value\r\n");
        row("log mask too big", "ERRORL=h4000", "?2 Out of range h0000 to h3FFF\r\n");
        row("status write", "S42=1", "?4 Read only\r\n");
        row("status mnemonic", "VFB", "VFB=0\r\n");
        row("OS revision, two lines", "X07", "X07=3.02.0017\r\nBuilt 2024-03-18\r\n");
        row("X log mask", "X19", "X19=h3FFF\r\n");
        row("excluded X", "X23", "?1 Unknown command\r\n");
        row("motor part", "MPART", "MPART=BE23A1E\r\n");
        row("motor name unset", "X12", "X12=\r\n");
        row("zero reference range", "DCMDZ=11", "?2 Out of range 0 to 10\r\n");
        row("action with value", "CLRFLT 1", "?3 Bad value\r\n");
        row("simulated fault without bit", "SIMFLT", "?3 Bad value\r\n");
        row("simulated fault not a number", "SIMFLT=x", "?3 Bad value\r\n");
        row("simulated fault past 63", "SIMFLT=64", "?2 Out of range\r\n");
        row("simulated fault on a derived bit", "SIMFLT=39", "?2 Out of range\r\n");
        write("P equals", "P16=75", "P16", "P016=75\r\n");
        write("mnemonic space", "MSPEED 75.5", "P016", "P016=75.5\r\n");
        write("blanks around equals", "P16 = 80", "P16", "P016=80\r\n");
        write("notch depth spin", "DNOTAD 0.2500", "DNOTAD", "DNOTAD=0.25\r\n");
        write("notch depth typed", "DNOTAD=.5", "P72", "P072=0.5\r\n");
        write("fault on disable off", "P95=0", "DFDIS", "DFDIS=0\r\n");
        write("integer loses fraction", "DRES 4000.7", "P188", "P188=4000\r\n");
        write("exponent", "TUNACC 1.5e3", "TUNACC", "TUNACC=1500\r\n");
        write("zero reference volts", "DCMDZ=5", "P134", "P134=16614\r\n");
        write("log mask by parameter", "DLOGMASK 8", "ERRORL", "ERRORL=h0008\r\n");
        write("motor name", "MNAME=BE23A1E HS", "X12", "X12=BE23A1E HS\r\n");
    }
    void answers()
    {
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, answer);
        QFETCH(int, writes);
        QCOMPARE(Ask(command), answer);
        QCOMPARE(m_Drive->ParameterWrites(), writes);
        // A refused command changed nothing, and the drive goes on answering.
        if (writes == 0)
            QCOMPARE(Ask("P16"), QByteArray("P016=100\r\n"));
    }

    // Exchanges with a fresh drive: "command>answer", one after the other,
    // separated by '|', each answer given without its line end and the prompt.
    void dialogues_data()
    {
        QTest::addColumn<QByteArray>("script");
        const auto row = [](const char* name, const QByteArray& script) {
            QTest::newRow(name) << script;
        };
        // Motor data is locked under a running motor, tuning values are not.
        row("enable rules", "CFGSAVE>|ENABLE 1>|STAT>STAT=1,1,0,1|OUTS>OUTS=0,1|E39>E39=0|"
                            "DENABLE>DENABLE=1|MSPEED 60>?5 Not allowed while enabled|"
                            "DNOTAD 0.5>|FACTORY>|STAT>STAT=0,0,0,1");
        row("latched fault", "CFGSAVE>|ENABLE 1>|SIMFLT=36>|STAT>STAT=1,0,1,1|E36>E36=1|"
                             "OUTS>OUTS=1,0|ENABLE 1>?8 Failed Motor Temperature Fault|CLRFLT>|"
                             "STAT>STAT=1,0,0,1|ENABLE 1>");
        row("unconfigured", "SIMSW=unconfigured>|STAT>STAT=0,0,0,1|ENABLE 1>?6 Not configured|"
                            "CAPI 1,100>?6 Not configured|CFGSAVE>|ENABLE 1>");
        row("simulated fault is logged", "SIMFLT=27>|E27>E27=1|"
                                         "TERRLG>1 412:00 E27 Bridge Hardware Fault|CLRFLT>|"
                                         "E27>E27=0");
        row("configuration error blocks enable",
            "CLAUTO 0>|CLKP 0>|CFGSAVE>|ENABLE 1>?8 Failed Invalid Current Loop Gains Error");
        row("reset loads flash", "P16=70>|CFGSAVE>|P16=90>|RESET>|P16>P016=70|STAT>STAT=1,0,0,1");
        row("factory restores defaults",
            "P16=70>|MNAME=M1>|ERRORL=h0001>|CFGSAVE>|ENABLE 1>|STAT>STAT=1,1,0,1|X04>|"
            "STAT>STAT=0,0,0,1|P16>P016=50|MNAME>MNAME=|ERRORL>ERRORL=h3FFF|RESET>|P16>P016=50");
        row("error log mask", "ERRORL=h0008>|SIMFLT=36>|SIMFLT=29>|"
                              "TERRLG>1 412:00 E29 Drive Overvoltage Fault");
        row("error log off", "ERRORL=h0000>|SIMFLT=29>|TERRLG>No errors logged");
        row("warnings never logged", "SIMFLT=31>|TERRLG>No errors logged");
        row("error log order and mask survive reset",
            "ERRORL=h0048>|SIMFLT=34>|SIMFLT=29>|RESET>|ERRORL>ERRORL=h0048|"
            "TERRLG>1 412:00 E34 Drive Temperature Fault\r\n2 412:00 E29 Drive Overvoltage Fault");
        row("X commands run their actions",
            "X01>|STAT>STAT=1,0,0,1|X21=1>|DMODE>DMODE=1|SIMFLT=27>|X03>|STAT>STAT=1,0,0,1|"
            "X15>X15=0.000|P134>P134=230");
        row("simulator switches",
            "SIMSW=os:missing>|VER>VER=ORVEX BOOT 1.04 OS MISSING|SIMSW os:valid>|"
            "CFGSAVE>|SIMSW=unconfigured>|SIMSW=noenable>|STAT>STAT=0,0,0,0|SIMSW=fault:36>|"
            "E36>E36=1|SIMSW=bogus>?3 No such switch: bogus|SIMSW=fault:99>?3 fault takes an "
            "error bit the drive can latch|SIMSW>?3 Bad value");
        row("several commands in one line", "VER\rFOO>" + kVersion + "\x05?1 Unknown command");
    }
    void dialogues()
    {
        QFETCH(QByteArray, script);
        for (const QByteArray& exchange : script.split('|')) {
            const QByteArray command = exchange.left(exchange.indexOf('>'));
            QByteArray expected = exchange.mid(command.size() + 1);
            expected += expected.isEmpty() || expected.endsWith('\n') ? "" : "\r\n";
            const QByteArray answer = Ask(command);
            QVERIFY2(answer == expected, (command + " answered " + answer).constData());
        }
    }
    void inputInAnySplit()
    {
        QByteArray answer;
        for (const char c : QByteArray("P1\n6\r"))
            answer += m_Drive->Receive(QByteArray(1, c));
        QCOMPARE(answer, QByteArray("P016=100\r\n\x05"));
        QCOMPARE(m_Drive->Receive("P1"), QByteArray());
        // Backspaces edit the line.
        QCOMPARE(m_Drive->Receive("X\b6\r"), QByteArray("P016=100\r\n\x05"));
    }
    void enableRefusals()
    {
        QCOMPARE(Ask("P114=1"), QByteArray());
        Configure();
        // An analog command far from the zero reference would make the motor jump.
        m_Drive->SetAnalogInput(5.0);
        QCOMPARE(Ask("ENABLE 1"), QByteArray("?8 Failed Excessive Command Voltage At Enable\r\n"));
        QCOMPARE(Ask("E25"), QByteArray("E25=1\r\n"));
        QCOMPARE(Ask("TERRLG"), QByteArray("1 412:00 E25 Excessive Command Voltage At Enable\r\n"));
        m_Drive->SetAnalogInput(0.5);
        QCOMPARE(Ask("CLRFLT"), QByteArray());
        QCOMPARE(Ask("ENABLE 1"), QByteArray());
        // The hardware input going off disables the drive.
        m_Drive->SetEnableInput(false);
        QCOMPARE(Ask("STAT"), QByteArray("STAT=1,0,0,0\r\n"));
        QCOMPARE(Ask("E46"), QByteArray("E46=1\r\n"));
        QCOMPARE(Ask("ENABLE 1"), QByteArray("?8 Failed No Hardware Enable\r\n"));
        QCOMPARE(Ask("S48"), QByteArray("S48=00000000\r\n"));
    }
    void configurationWarnings_data()
    {
        QTest::addColumn<QByteArray>("commands");
        QTest::addColumn<quint64>("bits");
        const quint64 warning = 1; // E00 sums up every configuration warning
        QTest::newRow("lead 4 x lag is fine") << QByteArray("DNOTLG 20\rDNOTLD 80\r") << quint64(0);
        QTest::newRow("lead above 4 x lag")
            << QByteArray("DNOTLG 20\rDNOTLD 81\r") << (warning | 1ULL << 17);
        QTest::newRow("lead below lag")
            << QByteArray("DNOTLG 100\rDNOTLD 90\r") << (warning | 1ULL << 16);
        QTest::newRow("lag below 20 Hz") << QByteArray("DNOTLG 10\r") << (warning | 1ULL << 18);
        QTest::newRow("notch in dead band") << QByteArray("DNOTBF 30\r") << (warning | 1ULL << 15);
        QTest::newRow("motor above drive") << QByteArray("MICONT 8\r") << (warning | 1ULL << 10);
        QTest::newRow("no current gains")
            << QByteArray("CLAUTO 0\rCLKP 0\r") << (1ULL << 1 | 1ULL << 2);
    }
    void configurationWarnings()
    {
        QFETCH(QByteArray, commands);
        QFETCH(quint64, bits);
        QCOMPARE(m_Drive->Receive(commands),
                 QByteArray(commands.count('\r'), SimulatedDrive::Prompt));
        QCOMPARE(m_Drive->ErrorBits() & 0xFFFFFF, bits);
    }
    void configurationUpload()
    {
        QCOMPARE(Ask("MNAME=BE23A1E"), QByteArray());
        QCOMPARE(Ask("P16=77"), QByteArray());
        const QList<QByteArray> lines = Ask("CFGUP").split('\n');
        QCOMPARE(lines.first(), QByteArray("P000=0\r"));
        QVERIFY(lines.contains("P016=77\r"));
        QVERIFY(lines.contains("MNAME=BE23A1E\r"));
        // Values the drive computes and its enable switch are no configuration.
        QVERIFY(!lines.contains("P186=0\r"));
        QVERIFY(!lines.contains("P212=0\r"));
        const qsizetype parameterLines = std::count_if(
            lines.begin(), lines.end(), [](const QByteArray& l) { return l.startsWith('P'); });
        QCOMPARE(lines.at(lines.size() - 2), "CFGEND=" + QByteArray::number(parameterLines) + '\r');
    }
    void configurationChecksumFollowsSave()
    {
        // The factory configuration is a saved one; a drive that forgot it reads 0.
        QVERIFY(Ask("CFGCHK") != "CFGCHK=0\r\n");
        QCOMPARE(Ask("SIMSW=unconfigured"), QByteArray());
        QCOMPARE(Ask("CFGCHK"), QByteArray("CFGCHK=0\r\n"));
        Configure();
        const QByteArray first = Ask("X14");
        QVERIFY(first != "X14=0\r\n");
        QCOMPARE(Ask("P16=90"), QByteArray());
        QCOMPARE(Ask("X14"), first); // the stored configuration did not change yet
        Configure();
        QVERIFY(Ask("X14") != first);
    }
    void fieldHistoryComesBeforeNewEntries()
    {
        m_Drive->SeedFieldHistory();
        // New entries carry the operating time: 90 minutes after power-up.
        m_Now = 90 * 60'000;
        QVERIFY(m_Drive->LatchFault(29));
        QCOMPARE(Ask("TERRLG"), QByteArray("1 3:12 E30 Drive Undervoltage Fault\r\n"
                                           "2 157:40 E36 Motor Temperature Fault\r\n"
                                           "3 388:05 E27 Bridge Hardware Fault\r\n"
                                           "4 413:30 E29 Drive Overvoltage Fault\r\n"));
        QCOMPARE(Ask("CERRLG"), QByteArray());
        QCOMPARE(Ask("TERRLG"), QByteArray("No errors logged\r\n"));
    }
    void autoRunTurnsTheMotorAndWarmsIt()
    {
        QCOMPARE(Ask("S40"), QByteArray("S40=40\r\n")); // the motor's ambient
        Configure();
        QCOMPARE(m_Drive->Receive("\rDMODE 1\rRESET\r"), QByteArray("\x05\x05\x05"));
        QVERIFY(m_Drive->IsEnabled());
        m_Now += 2000;
        QCOMPARE(Ask("S16"), QByteArray("S16=1\r\n"));
        QCOMPARE(Ask("S22"), QByteArray("S22=16000\r\n")); // two turns of 8000 counts
        QCOMPARE(Ask("S10"), QByteArray("S10=1.359\r\n")); // 90 % of 1.51 Arms
        m_Now += 20 * 60'000;
        const double motor = Ask("S40").mid(4).trimmed().toDouble();
        const double drive = Ask("S38").mid(4).trimmed().toDouble();
        QVERIFY2(motor > 41.0, qPrintable(QString::number(motor)));
        QVERIFY2(drive > Orvex::DriveMeasurements::DriveAmbient + 1.0,
                 qPrintable(QString::number(drive)));
        QCOMPARE(Ask("S45"), QByteArray("S45=137:45:16\r\n")); // 20 minutes more in operation
        const double bus = Ask("S42").mid(4).trimmed().toDouble();
        QVERIFY(bus > 310.0 && bus < 330.0);
        QCOMPARE(m_Drive->Receive("\rDMODE 2\rRESET\r"), QByteArray("\x05\x05\x05"));
        QVERIFY(!m_Drive->IsEnabled());
        QCOMPARE(Ask("S16"), QByteArray("S16=0\r\n"));
    }
    void bootLoader_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QByteArray>("version");
        QTest::newRow("missing") << int(SimulatedDrive::OsState::Missing) << kBootMissing;
        QTest::newRow("corrupt") << int(SimulatedDrive::OsState::Corrupt)
                                 << QByteArray("VER=ORVEX BOOT 1.04 OS CORRUPT\r\n");
    }
    void bootLoader()
    {
        QFETCH(int, state);
        QFETCH(QByteArray, version);
        m_Drive->SetOsState(static_cast<SimulatedDrive::OsState>(state));
        QCOMPARE(Ask(""), QByteArray());
        QCOMPARE(Ask("VER"), version);
        const QByteArray payload = Payload(100);
        QByteArrayList refused{"P16", "ENABLE 1"};
        // A drive whose flash failed its check takes no download until it is power-cycled.
        if (version != kBootMissing)
            refused += QByteArrayList{StartLine(payload), "OSD 00", "OSEND", "OSABORT"};
        for (const QByteArray& command : std::as_const(refused))
            QCOMPARE(Ask(command), QByteArray("?7 No operating system\r\n"));
        QCOMPARE(Ask("RESET"), QByteArray());
        m_Drive->PowerCycle();
        QCOMPARE(Ask("VER"), kBootMissing);
        InstallOs("3.02.0018");
    }
    void failedOsDownloads_data()
    {
        const QByteArray payload = Payload(250);
        QByteArray damaged = payload;
        damaged[17] = static_cast<char>(damaged[17] ^ 0x01);
        // The start of a download of payload, then count data lines of bytes.
        const auto sent = [&payload](const QByteArray& bytes, int count) {
            QByteArrayList lines{StartLine(payload)};
            for (int at = 0; at < 100 * count; at += 100)
                lines += "OSD " + bytes.mid(at, 100).toHex();
            return lines;
        };
        QTest::addColumn<QByteArrayList>("before");
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("answer");
        const auto row = [](const char* name, const QByteArrayList& before,
                            const QByteArray& command, const QByteArray& answer) {
            QTest::newRow(name) << before << command << answer;
        };
        row("data without a start", {}, "OSD 00FF", kNoDownload);
        row("end without a start", {}, "OSEND", kNoDownload);
        row("abort without a start", {}, "OSABORT", "");
        row("start without revision", {}, "OSDL 250,h1234", "?3 Bad value\r\n");
        row("start with crc not hex", {}, "OSDL 250,hXYZ,3.02.0018", "?3 Bad value\r\n");
        row("start with odd revision", {}, "OSDL 250,h1234,3.02 beta", "?3 Bad value\r\n");
        row("image too big for the flash", {}, "OSDL 2000000,h1234,3.02.0018",
            "?2 Out of range 1 to 1048576\r\n");
        row("odd count of hex digits", sent(payload, 0), "OSD 0FF", "?3 Bad value\r\n");
        row("not hex", sent(payload, 0), "OSD 0G", "?3 Bad value\r\n");
        row("more data than announced", sent(payload, 2), "OSD " + payload.mid(200).toHex() + "00",
            "?2 Out of range 1 to 50\r\n");
        row("end before all data", sent(payload, 1), "OSEND", "?8 Failed length\r\n");
        row("aborted", sent(payload, 1), "OSABORT", "");
        row("damaged data", sent(damaged, 3), "OSEND", "?8 Failed checksum\r\n");
    }
    void failedOsDownloads()
    {
        QFETCH(QByteArrayList, before);
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, answer);
        for (const QByteArray& line : before)
            QCOMPARE(Ask(line), line.startsWith("OSDL") ? QByteArray("OSDL=READY\r\n") : "");
        QCOMPARE(Ask(command), answer);
        // A download that ended, even in failure, takes no further data.
        if (command == "OSEND" || command == "OSABORT")
            QCOMPARE(Ask("OSD 00"), kNoDownload);
        // A refused start leaves the OS; once a download started, it is gone.
        QCOMPARE(Ask("VER"), before.isEmpty() ? kVersion : kBootMissing);
        // Whatever went wrong, a new download starts afresh.
        InstallOs("3.02.0019");
        QCOMPARE(Ask("P16"), QByteArray("P016=100\r\n"));
    }
    // The simulated drive as a link: answers come later, paced when asked to,
    // only while it is open, and none once it is cut.
    void linkLifecycle()
    {
        SimulatorTransport transport(m_Drive);
        transport.SetBaudRate(9600);
        QVERIFY(!transport.Write("VER\r"));
        QVERIFY(transport.Open());
        QSignalSpy received(&transport, &SimulatorTransport::Received);
        QSignalSpy lost(&transport, &SimulatorTransport::Lost);
        QVERIFY(transport.Write("VER\rVER\rVER\rVER\r"));
        QCOMPARE(received.count(), 0); // never from inside Write
        QTRY_COMPARE_WITH_TIMEOUT(Joined(received), kVersionPrompted.repeated(4), 10000);
        QCOMPARE(m_Drive->CommandsReceived(), 4);
        // The answers come over the line in pieces.
        QVERIFY(received.count() > 1);
        // An answer still on its way when the transport closes is dropped.
        received.clear();
        QVERIFY(transport.Write("VER\r"));
        transport.Close();
        QVERIFY(!transport.IsOpen());
        QVERIFY(transport.Open());
        QVERIFY(transport.Write("\r"));
        QTRY_COMPARE(Joined(received), QByteArray("\x05"));
        received.clear();
        transport.SetLoseLinkAfter(10);
        QVERIFY(transport.Write("VER\r")); // 4 bytes out, 6 of the answer back
        QTRY_COMPARE(lost.count(), 1);
        QCOMPARE(Joined(received), QByteArray("VER=OR"));
        QVERIFY(!transport.IsOpen());
        QVERIFY(!transport.Error().isEmpty());
        QVERIFY(!transport.Write("VER\r"));
    }

    // The switches that change what comes back over the link; the drive's
    // own switch command works even while it swallows everything else.
    void linkSwitches()
    {
        SimulatorTransport transport(m_Drive);
        QVERIFY(transport.Open());
        QSignalSpy received(&transport, &SimulatorTransport::Received);
        QSignalSpy lost(&transport, &SimulatorTransport::Lost);
        const QByteArray prompt(1, SimulatedDrive::Prompt);
        QVERIFY(transport.Write("SIMSW=noanswer\rVER\rSIMSW=clear\rSIMSW=garbage\rVER\r"
                                "SIMSW=clear\rSIMSW=mute:5\rVER\r"));
        QTRY_COMPARE(Joined(received), prompt + prompt + prompt + "#!GARBLED\r\n" + prompt +
                                           prompt + kVersion.left(5));
        received.clear();
        // A paced line: answers come in pieces; then a cut right after the answer.
        QVERIFY(transport.Write("SIMSW=clear\rSIMSW=baud:9600\r"));
        QTRY_COMPARE(Joined(received), prompt + prompt);
        received.clear();
        QVERIFY(transport.Write("VER\rSIMSW=cut:0\r"));
        QTRY_COMPARE(lost.count(), 1);
        QCOMPARE(Joined(received), kVersionPrompted + prompt);
        QVERIFY(received.count() > 1);
    }

    // The model of the motor and its loops behind the drive's test moves.
    void currentStepFollowsLoopBandwidth_data()
    {
        QTest::addColumn<double>("kp");
        QTest::addColumn<double>("inductance");
        QTest::addColumn<double>("amplitude");
        QTest::addColumn<double>("peak"); // the motor's peak current, 0: as it comes
        QTest::newRow("Kp 5, 5 mH") << 5.0 << 5e-3 << 3.0 << 0.0;
        QTest::newRow("Kp 2, 1 mH") << 2.0 << 1e-3 << 6.0 << 0.0;
        QTest::newRow("above the peak") << 10.0 << 5e-3 << 6.0 << 4.0;
    }
    void currentStepFollowsLoopBandwidth()
    {
        QFETCH(double, kp);
        QFETCH(double, inductance);
        QFETCH(double, amplitude);
        QFETCH(double, peak);
        DriveModel::Settings settings = WithCurrentGains(kp, inductance);
        if (peak > 0.0)
            settings.Machine.PeakCurrent = peak;
        const double target = peak > 0.0 ? std::min(amplitude, peak) : amplitude;
        // 10 Hz: the first half period outlasts the 32 ms window, a clean step.
        const DriveCapture::Result result =
            DriveCapture::CurrentStep(settings, DriveModel::Load(), amplitude, 10);
        QCOMPARE(result.Commanded.back(), target);
        const double period = result.PeriodMicroseconds * 1e-6;
        const double rise = RiseTime(result.Actual, target, period);
        const double predicted = RiseTime(SampledLoopStep(settings), 1.0, period);
        QVERIFY2(std::abs(rise / predicted - 1.0) < 0.1,
                 qPrintable(QStringLiteral("rise %1 s, predicted %2 s").arg(rise).arg(predicted)));
        QVERIFY(std::abs(result.Actual.back() - target) < 0.01 * target);
    }
    // With the computation delay a wide current loop overshoots as a sampled
    // loop does: hardly at 250 Hz, about a fifth at 1200 Hz, ringing at 2500 Hz.
    void currentLoopOvershootsWithItsDelay_data()
    {
        QTest::addColumn<double>("bandwidthHz");
        QTest::newRow("250 Hz") << 250.0;
        QTest::newRow("1200 Hz") << 1200.0;
        QTest::newRow("2500 Hz") << 2500.0;
    }
    void currentLoopOvershootsWithItsDelay()
    {
        QFETCH(double, bandwidthHz);
        DriveModel::Settings settings;
        const double omega = 2.0 * std::numbers::pi * bandwidthHz;
        settings.Current.Kp = settings.Machine.Inductance * omega;
        settings.Current.Ki = settings.Machine.Resistance * DriveModel::TickSeconds * omega;
        const DriveCapture::Result result =
            DriveCapture::CurrentStep(settings, DriveModel::Load(), 1.0, 10);
        const double overshoot =
            *std::max_element(result.Actual.begin(), result.Actual.end()) - 1.0;
        const std::vector<double> sampled = SampledLoopStep(settings);
        const double predicted = *std::max_element(sampled.begin(), sampled.end()) - 1.0;
        qInfo("%g Hz: overshoot %.1f %%, sampled loop %.1f %%", bandwidthHz, 100.0 * overshoot,
              100.0 * predicted);
        QVERIFY(std::abs(overshoot - predicted) < 0.05);
    }
    // The speed is counted: at 256 counts a turn it moves in steps of one
    // count a loop period, at 8000 counts in far finer ones.
    void speedComesInWholeCountsAPeriod_data()
    {
        QTest::addColumn<double>("counts");
        QTest::newRow("256 counts") << 256.0;
        QTest::newRow("8000 counts") << 8000.0;
    }
    void speedComesInWholeCountsAPeriod()
    {
        QFETCH(double, counts);
        DriveModel::Settings settings;
        settings.Machine.CountsPerRev = counts;
        settings.Velocity.InertiaRatio = 2.5;
        const DriveCapture::Result result =
            DriveCapture::VelocityStep(settings, DriveModel::Load(), 1000, 5.0, 10);
        const double step = 1.0 / counts / DriveModel::LoopSeconds; // rps
        double smallest = 1e9;
        for (std::size_t k = 0; k < result.Actual.size(); ++k) {
            const double inSteps = result.Actual[k] / step;
            QVERIFY2(std::abs(inSteps - std::round(inSteps)) < 1e-6,
                     qPrintable(QString::number(k)));
            if (k > 0 && result.Actual[k] != result.Actual[k - 1])
                smallest = std::min(smallest, std::abs(result.Actual[k] - result.Actual[k - 1]));
        }
        QCOMPARE(smallest, step);
    }
    void velocityLoopGainAndLeadLagShapeTheStep()
    {
        DriveModel::Settings settings;
        settings.Velocity.InertiaRatio = DriveModel::Load().InertiaRatio;
        settings.Velocity.IntegralLimit = 100.0;
        // Gains short of where the current loop's delay and the shaft's
        // resonance make the loop ring.
        settings.Velocity.Kp = 1.5;
        const StepFigures low = VelocityStepFigures(settings);
        settings.Velocity.Kp = 3.0;
        const StepFigures high = VelocityStepFigures(settings);
        QVERIFY(high.RiseSeconds < 0.7 * low.RiseSeconds);
        QVERIFY(high.Overshoot > low.Overshoot + 0.02);
        // Phase lag near the crossing: more overshoot.
        settings.Velocity.Kp = 2.0;
        const StepFigures plain = VelocityStepFigures(settings);
        settings.Filter.LeadHz = 200.0;
        settings.Filter.LagHz = 50.0;
        QVERIFY(VelocityStepFigures(settings).Overshoot > plain.Overshoot + 0.02);
    }
    void notchOnTheResonanceLowersItsPeak()
    {
        // Off the load's usual 600 Hz, so the notch has to follow the setting.
        const double resonanceHz = 700.0;
        DriveModel::Load load;
        load.ResonanceHz = resonanceHz;
        DriveModel::Settings settings;
        settings.Velocity.InertiaRatio = load.InertiaRatio;
        settings.Velocity.Kp = 4.0;
        const auto ringing = [&] {
            const DriveCapture::Result result =
                DriveCapture::VelocityStep(settings, load, 1e6, 2.0, 48);
            return Peak(result.Actual, result.PeriodMicroseconds * 1e-6, resonanceHz);
        };
        const double without = ringing();
        settings.Filter.A = {resonanceHz, 1.0, 1.0};
        const double with = ringing();
        QVERIFY2(with < 0.5 * without, qPrintable(QStringLiteral("%1 %2").arg(with).arg(without)));
    }
    void filtersSwitchedOffChangeNothing_data()
    {
        using Filters = DriveModel::Filters;
        // Notches A and B (Hz, depth, quality), lead Hz, lag Hz.
        QTest::addColumn<Filters>("filters");
        QTest::newRow("notch without depth") << Filters{{}, {600.0, 0.0, 1.0}, 0.0, 0.0};
        QTest::newRow("notch without frequency") << Filters{{}, {0.0, 1.0, 1.0}, 0.0, 0.0};
        QTest::newRow("lead without lag") << Filters{{}, {}, 400.0, 0.0};
        QTest::newRow("lag without lead") << Filters{{}, {}, 0.0, 100.0};
    }
    void filtersSwitchedOffChangeNothing()
    {
        QFETCH(DriveModel::Filters, filters);
        DriveModel::Settings settings;
        const DriveCapture::Result plain =
            DriveCapture::VelocityStep(settings, DriveModel::Load(), 1000, 2.0, 10);
        settings.Filter = filters;
        QCOMPARE(DriveCapture::VelocityStep(settings, DriveModel::Load(), 1000, 2.0, 10).Actual,
                 plain.Actual);
    }
    void positionCaptureEndsAtTheDistance_data()
    {
        QTest::addColumn<double>("distance");
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
        // At rest for the 16 ms before the move.
        QCOMPARE(r.Commanded[63], 0.0);
        QCOMPARE(r.Actual[63], 0.0);
        QCOMPARE(r.Commanded.back(), distance);
        QVERIFY(std::abs(r.Actual.back() - distance) <= 0.01 * std::abs(distance) + 2.0);
    }
    void stifferPositionLoopFollowsCloser()
    {
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
        row("position capture in velocity mode", "DCTRL 4\rENABLE 1", "CAPP 200",
            "?8 Failed not in position mode");
        row("velocity frequency 49", "DCTRL 4\rENABLE 1", "CAPV 1000,5,49",
            "?2 Out of range 1 to 48");
        row("missing value", "ENABLE 1", "CAPI 3", "?3 Bad value");
        row("align disabled", "", "ALIGN", "?8 Failed Drive Disabled");
    }
    void driveCommands()
    {
        QFETCH(QByteArray, setup);
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, firstLine);
        Configure();
        if (!setup.isEmpty())
            QVERIFY(!m_Drive->Receive(setup + '\r').contains('?'));
        const QList<QByteArray> lines = Ask(command).split('\n');
        QVERIFY2(lines.first().startsWith(firstLine), lines.first().constData());
        if (firstLine.startsWith("CAP=")) {
            QCOMPARE(lines.size(), 512 + 2); // the count line, the pairs, the empty rest
            QCOMPARE(lines[1].count(','), 1);
        }
    }
    // The motor the drive left the factory with is light and quick: without a
    // load it reaches the test's speed cap in a few milliseconds.
    // Through the noise, within 5 % of the load's ratio (0.05 without a load).
    void autoTuningMeasuresTheLoadOnTheFittedMotor_data()
    {
        QTest::addColumn<double>("ratio");
        QTest::addColumn<int>("seed");
        QTest::newRow("no load") << 0.0 << 1;
        for (const double ratio : {0.5, 2.5, 8.0}) {
            for (const int seed : {1, 2, 3})
                QTest::addRow("ratio %g, seed %d", ratio, seed) << ratio << seed;
        }
    }
    void autoTuningMeasuresTheLoadOnTheFittedMotor()
    {
        QFETCH(double, ratio);
        QFETCH(int, seed);
        m_Drive->SetLoad({ratio, 600.0, 0.05});
        m_Drive->SetSeed(quint64(seed));
        QCOMPARE(m_Drive->Receive("DCTRL 4\rENABLE 1\r"), QByteArray("\x05\x05"));
        const QByteArray answer = Ask("ATUNE");
        QVERIFY2(answer.startsWith("ATUNE="), answer.constData());
        const double measured = answer.mid(6).trimmed().toDouble();
        qInfo("ratio %g, seed %d: %.3f", ratio, seed, measured);
        QVERIFY2(std::abs(measured - ratio) < (ratio > 0.0 ? 0.05 * ratio : 0.05),
                 answer.constData());
    }
    // The drive measures the motor as built against the motor data it has.
    void autoTuningFollowsTheMotorAsBuilt_data()
    {
        QTest::addColumn<QByteArray>("trueMotor");
        QTest::addColumn<double>("ratio"); // -1: the measurement fails
        QTest::newRow("as its data") << QByteArray("fitted") << 2.5;
        // Half the torque for the current: twice the inertia it seems to move.
        QTest::newRow("weaker magnets") << QByteArray("mkt=0.5") << 6.0;
        QTest::newRow("rotor far lighter than its data") << QByteArray("mj=0.2") << -1.0;
    }
    void autoTuningFollowsTheMotorAsBuilt()
    {
        QFETCH(QByteArray, trueMotor);
        QFETCH(double, ratio);
        QCOMPARE(Ask("SIMSW=truemotor:" + trueMotor), QByteArray());
        QCOMPARE(Ask("ENABLE 1"), QByteArray());
        const QByteArray answer = Ask("ATUNE");
        if (ratio < 0.0) {
            QCOMPARE(answer, QByteArray("?8 Failed inertia measurement\r\n"));
            return;
        }
        QVERIFY2(answer.startsWith("ATUNE="), answer.constData());
        QVERIFY2(std::abs(answer.mid(6).trimmed().toDouble() - ratio) < 0.05 * ratio,
                 answer.constData());
    }
    // Noise makes each capture differ; the same seed repeats them.
    void capturesRepeatOnlyWithTheirSeed_data()
    {
        QTest::addColumn<QByteArray>("setup");
        QTest::addColumn<QByteArray>("capture");
        QTest::newRow("current") << QByteArray("ENABLE 1") << QByteArray("CAPI 3,500");
        QTest::newRow("velocity") << QByteArray("DCTRL 4\rENABLE 1")
                                  << QByteArray("CAPV 1000,5,10");
        QTest::newRow("position") << QByteArray("DCTRL 6\rENABLE 1") << QByteArray("CAPP 2000");
    }
    void capturesRepeatOnlyWithTheirSeed()
    {
        QFETCH(QByteArray, setup);
        QFETCH(QByteArray, capture);
        QVERIFY(!m_Drive->Receive(setup + "\rSIMSEED=7\r").contains('?'));
        const QByteArray first = Ask(capture);
        QVERIFY(Ask(capture) != first);
        QCOMPARE(Ask("SIMSEED"), QByteArray("SIMSEED=7\r\n"));
        QCOMPARE(Ask("SIMSEED=7"), QByteArray());
        QCOMPARE(Ask(capture), first);
    }
    void alignmentSetsTheEncoderOffset()
    {
        Configure();
        QCOMPARE(Ask("ENABLE 1"), QByteArray());
        QCOMPARE(Ask("ALIGN"), QByteArray());
        // 8000 counts and 4 pole pairs: 2000 counts an electrical cycle.
        const double offset = m_Drive->WorkingValue(142).value_or(-1);
        QVERIFY(offset > 0 && offset < 2000);
        QCOMPARE(std::fmod(m_Drive->RotorCounts() - offset, 2000.0), 0.0);
    }
};

QTEST_GUILESS_MAIN(TestSimulatedDrive)
#include "tst_simulateddrive.moc"
