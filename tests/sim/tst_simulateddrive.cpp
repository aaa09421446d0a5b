#include "SimulatedDrive.h"

#include <QTest>

#include <memory>

using Orvex::SimulatedDrive;

namespace {

QString DataDir()
{
    const QString fromEnvironment = qEnvironmentVariable("ORVEX_DATA_DIR");
    return fromEnvironment.isEmpty() ? QStringLiteral(ORVEX_TEST_DATA_DIR) : fromEnvironment;
}

} // namespace

class TestSimulatedDrive : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SimulatedDrive> m_Drive;
    qint64 m_Now = 0;

    // Sends one command and answers what came back without the final prompt;
    // fails the test when the prompt is missing.
    QByteArray Ask(const QByteArray& command)
    {
        QByteArray answer = m_Drive->Receive(command + '\r');
        if (!answer.endsWith(SimulatedDrive::Prompt)) {
            qWarning() << command << "answered without prompt:" << answer;
            return "<no prompt>";
        }
        answer.chop(1);
        return answer;
    }
    void Configure() { QCOMPARE(Ask("CFGSAVE"), QByteArray()); }

private Q_SLOTS:
    void init()
    {
        QString error;
        m_Drive = SimulatedDrive::FromFolder(DataDir(), &error);
        QVERIFY2(m_Drive, qPrintable(error));
        m_Now = 0;
        m_Drive->SetClock([this] { return m_Now; });
    }

    void freshDriveAnswers_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("answer");
        const auto row = [](const char* name, const char* command, const char* answer) {
            QTest::newRow(name) << QByteArray(command) << QByteArray(answer);
        };
        row("empty line", "", "");
        row("version", "VER", "VER=ORVEX AE-0620 OS 3.02.0017\r\n");
        row("lower case", "ver", "VER=ORVEX AE-0620 OS 3.02.0017\r\n");
        row("P by short number", "P16", "P016=50\r\n");
        row("P by three digits", "P016", "P016=50\r\n");
        row("mnemonic", "MSPEED", "MSPEED=50\r\n");
        row("float default", "P58", "P058=0.25\r\n");
        row("excluded row", "P4", "?1 Unknown command\r\n");
        row("four digits", "P0016", "?1 Unknown command\r\n");
        row("unknown", "FOO 1", "?1 Unknown command\r\n");
        row("above maximum", "P16=600", "?2 Out of range 0.01 to 500\r\n");
        row("integer range", "MENCRES 1", "?2 Out of range 256 to 16777216\r\n");
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
        row("enable unconfigured", "ENABLE 1", "?6 Not configured\r\n");
        row("log mask without h", "ERRORL=3FFF", "?3 Bad value\r\n");
        row("log mask too big", "ERRORL=h4000", "?2 Out of range h0000 to h3FFF\r\n");
        row("status write", "S42=1", "?4 Read only\r\n");
        row("PWM period", "S57", "S57=62.5\r\n");
        row("status mnemonic", "VFB", "VFB=0\r\n");
        row("OS revision, two lines", "X07", "X07=3.02.0017\r\nBuilt 2024-03-18\r\n");
        row("X log mask", "X19", "X19=h3FFF\r\n");
        row("excluded X", "X23", "?1 Unknown command\r\n");
        row("motor name unset", "X12", "X12=\r\n");
        row("capture before configuration", "CAPI 1,100", "?6 Not configured\r\n");
        row("zero reference range", "DCMDZ=11", "?2 Out of range 0 to 10\r\n");
        row("action with value", "CLRFLT 1", "?3 Bad value\r\n");
        row("simulated fault without bit", "SIMFLT", "?3 Bad value\r\n");
        row("simulated fault not a number", "SIMFLT=x", "?3 Bad value\r\n");
        row("simulated fault past 63", "SIMFLT=64", "?2 Out of range\r\n");
        row("simulated fault on a derived bit", "SIMFLT=39", "?2 Out of range\r\n");
    }
    void freshDriveAnswers()
    {
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, answer);
        QCOMPARE(Ask(command), answer);
    }

    void writesReadBack_data()
    {
        QTest::addColumn<QByteArray>("write");
        QTest::addColumn<QByteArray>("read");
        QTest::addColumn<QByteArray>("answer");
        const auto row = [](const char* name, const char* write, const char* read,
                            const char* answer) {
            QTest::newRow(name) << QByteArray(write) << QByteArray(read) << QByteArray(answer);
        };
        row("P equals", "P16=75", "P16", "P016=75\r\n");
        row("mnemonic space", "MSPEED 75.5", "P016", "P016=75.5\r\n");
        row("blanks around equals", "P16 = 80", "P16", "P016=80\r\n");
        row("notch depth spin", "DNOTAD 0.2500", "DNOTAD", "DNOTAD=0.25\r\n");
        row("notch depth typed", "DNOTAD=.5", "P72", "P072=0.5\r\n");
        row("fault on disable off", "P95=0", "DFDIS", "DFDIS=0\r\n");
        row("integer loses fraction", "DRES 4000.7", "P188", "P188=4000\r\n");
        row("exponent", "TUNACC 1.5e3", "TUNACC", "TUNACC=1500\r\n");
        row("zero reference volts", "DCMDZ=5", "P134", "P134=16614\r\n");
        row("log mask by parameter", "DLOGMASK 8", "ERRORL", "ERRORL=h0008\r\n");
        row("motor name", "MNAME=BE23A1E HS", "X12", "X12=BE23A1E HS\r\n");
    }
    void writesReadBack()
    {
        QFETCH(QByteArray, write);
        QFETCH(QByteArray, read);
        QFETCH(QByteArray, answer);
        QCOMPARE(Ask(write), QByteArray());
        QCOMPARE(m_Drive->ParameterWrites(), 1);
        QCOMPARE(Ask(read), answer);
    }

    void rejectedWriteKeepsValue()
    {
        QCOMPARE(Ask("P16=0"), QByteArray("?2 Out of range 0.01 to 500\r\n"));
        QCOMPARE(Ask("P16"), QByteArray("P016=50\r\n"));
        QCOMPARE(m_Drive->ParameterWrites(), 0);
    }

    void inputInAnySplit()
    {
        const QByteArray bytes = "P1\n6\r";
        QByteArray answer;
        for (const char c : bytes)
            answer += m_Drive->Receive(QByteArray(1, c));
        QCOMPARE(answer, QByteArray("P016=50\r\n\x05"));
        QCOMPARE(m_Drive->Receive("P1"), QByteArray());
        QCOMPARE(m_Drive->Receive("X\b6\r"),
                 QByteArray("P016=50\r\n\x05")); // backspaces edit the line
    }

    void severalCommandsInOneWrite()
    {
        Configure();
        QCOMPARE(m_Drive->Receive("\rDMODE 1\rRESET\r"), QByteArray("\x05\x05\x05"));
        QCOMPARE(m_Drive->ActiveDriveMode(), 1);
        QCOMPARE(m_Drive->Receive("VER\rFOO\r"),
                 QByteArray("VER=ORVEX AE-0620 OS 3.02.0017\r\n\x05?1 Unknown command\r\n\x05"));
    }

    void overlongLineIsRefused()
    {
        const QByteArray line(SimulatedDrive::MaxLineLength + 10, 'A');
        QCOMPARE(Ask(line), QByteArray("?1 Unknown command\r\n"));
        QCOMPARE(Ask("VER"), QByteArray("VER=ORVEX AE-0620 OS 3.02.0017\r\n"));
    }

    void enableRules()
    {
        Configure();
        QCOMPARE(Ask("ENABLE 1"), QByteArray());
        QCOMPARE(Ask("STAT"), QByteArray("STAT=1,1,0,1\r\n"));
        QCOMPARE(Ask("OUTS"), QByteArray("OUTS=0,1\r\n"));
        QCOMPARE(Ask("E39"), QByteArray("E39=0\r\n"));
        QCOMPARE(Ask("DENABLE"), QByteArray("DENABLE=1\r\n"));
        // Motor data is locked under a running motor, tuning values are not.
        QCOMPARE(Ask("MSPEED 60"), QByteArray("?5 Not allowed while enabled\r\n"));
        QCOMPARE(Ask("DNOTAD 0.5"), QByteArray());
        QCOMPARE(Ask("FACTORY"), QByteArray());
        QCOMPARE(Ask("STAT"), QByteArray("STAT=0,0,0,1\r\n"));
    }

    void hardwareEnableInput()
    {
        Configure();
        QCOMPARE(Ask("ENABLE 1"), QByteArray());
        m_Drive->SetEnableInput(false);
        QCOMPARE(Ask("STAT"), QByteArray("STAT=1,0,0,0\r\n"));
        QCOMPARE(Ask("E46"), QByteArray("E46=1\r\n"));
        QCOMPARE(Ask("ENABLE 1"), QByteArray("?8 Failed No Hardware Enable\r\n"));
        QCOMPARE(Ask("S48"), QByteArray("S48=00000000\r\n"));
    }

    void latchedFault()
    {
        Configure();
        QCOMPARE(Ask("ENABLE 1"), QByteArray());
        QVERIFY(m_Drive->LatchFault(36));
        QCOMPARE(Ask("STAT"), QByteArray("STAT=1,0,1,1\r\n"));
        QCOMPARE(Ask("E36"), QByteArray("E36=1\r\n"));
        QCOMPARE(Ask("OUTS"), QByteArray("OUTS=1,0\r\n"));
        QCOMPARE(Ask("ENABLE 1"), QByteArray("?8 Failed Motor Temperature Fault\r\n"));
        QCOMPARE(Ask("CLRFLT"), QByteArray());
        QCOMPARE(Ask("STAT"), QByteArray("STAT=1,0,0,1\r\n"));
        QCOMPARE(Ask("ENABLE 1"), QByteArray());
        // Derived bits follow the state and cannot be forced.
        QVERIFY(!m_Drive->LatchFault(39));
        QVERIFY(!m_Drive->LatchFault(64));
    }

    void excessiveCommandVoltageAtEnable()
    {
        QCOMPARE(Ask("P114=1"), QByteArray());
        Configure();
        m_Drive->SetAnalogInput(5.0);
        QCOMPARE(Ask("ENABLE 1"), QByteArray("?8 Failed Excessive Command Voltage At Enable\r\n"));
        QCOMPARE(Ask("E25"), QByteArray("E25=1\r\n"));
        QCOMPARE(Ask("TERRLG"), QByteArray("1 412:00 E25 Excessive Command Voltage At Enable\r\n"));
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
        const QByteArray answer = m_Drive->Receive(commands);
        QCOMPARE(answer, QByteArray(commands.count('\r'), SimulatedDrive::Prompt));
        QCOMPARE(m_Drive->ErrorBits() & 0xFFFFFF, bits);
    }

    void configurationErrorBlocksEnable()
    {
        m_Drive->Receive("CLAUTO 0\rCLKP 0\rCFGSAVE\r");
        QCOMPARE(Ask("ENABLE 1"), QByteArray("?8 Failed Invalid Current Loop Gains Error\r\n"));
    }

    void configurationUploadDownloadsBack()
    {
        QCOMPARE(Ask("MNAME=BE23A1E"), QByteArray());
        QCOMPARE(Ask("P16=77"), QByteArray());
        const QList<QByteArray> lines = Ask("CFGUP").split('\n');
        QVERIFY(lines.size() > 100);
        QCOMPARE(lines.first(), QByteArray("P000=0\r"));
        QVERIFY(lines.contains("P016=77\r"));
        QVERIFY(lines.contains("MNAME=BE23A1E\r"));
        // Values the drive computes and its enable switch are no configuration.
        QVERIFY(!lines.contains("P186=0\r"));
        QVERIFY(!lines.contains("P212=0\r"));
        const qsizetype parameterLines = std::count_if(
            lines.begin(), lines.end(), [](const QByteArray& l) { return l.startsWith('P'); });
        QCOMPARE(lines.at(lines.size() - 2),
                 QByteArray("CFGEND=%1\r").replace("%1", QByteArray::number(parameterLines)));

        // A download of the upload goes through without a single error.
        QString error;
        auto other = SimulatedDrive::FromFolder(DataDir(), &error);
        QVERIFY(other);
        QByteArray download;
        for (const QByteArray& line : lines) {
            if (!line.startsWith("CFGEND"))
                download += line.trimmed() + '\r';
        }
        download += "CFGSAVE\r";
        QCOMPARE(other->Receive(download),
                 QByteArray(download.count('\r'), SimulatedDrive::Prompt));
        QVERIFY(other->IsConfigured());
        QCOMPARE(other->MotorName(), QStringLiteral("BE23A1E"));
        QCOMPARE(other->StoredValue(16), std::optional<double>(77.0));
    }

    void resetLoadsFlash()
    {
        QCOMPARE(Ask("P16=70"), QByteArray());
        Configure();
        QCOMPARE(Ask("P16=90"), QByteArray());
        QCOMPARE(Ask("RESET"), QByteArray());
        QCOMPARE(Ask("P16"), QByteArray("P016=70\r\n"));
        QCOMPARE(Ask("STAT"), QByteArray("STAT=1,0,0,1\r\n"));
    }

    void configurationChecksumFollowsSave()
    {
        QCOMPARE(Ask("CFGCHK"), QByteArray("CFGCHK=0\r\n"));
        Configure();
        const QByteArray first = Ask("X14");
        QCOMPARE(Ask("P16=90"), QByteArray());
        QCOMPARE(Ask("X14"), first); // the stored configuration did not change yet
        Configure();
        QVERIFY(Ask("X14") != first);
        QVERIFY(first != "X14=0\r\n");
    }

    void factoryRestoresDefaults()
    {
        m_Drive->Receive("P16=70\rMNAME=M1\rERRORL=h0001\rCFGSAVE\rENABLE 1\r");
        QVERIFY(m_Drive->IsEnabled());
        QCOMPARE(Ask("X04"), QByteArray());
        QVERIFY(!m_Drive->IsEnabled());
        QCOMPARE(Ask("STAT"), QByteArray("STAT=0,0,0,1\r\n"));
        QCOMPARE(Ask("P16"), QByteArray("P016=50\r\n"));
        QCOMPARE(Ask("MNAME"), QByteArray("MNAME=\r\n"));
        QCOMPARE(Ask("ERRORL"), QByteArray("ERRORL=h3FFF\r\n"));
        QCOMPARE(Ask("RESET"), QByteArray());
        QCOMPARE(Ask("P16"), QByteArray("P016=50\r\n"));
    }

    void errorLog_data()
    {
        QTest::addColumn<QByteArray>("mask");
        QTest::addColumn<int>("bit");
        QTest::addColumn<QByteArray>("log");
        const QByteArray none = "No errors logged\r\n";
        QTest::newRow("over voltage only")
            << QByteArray("ERRORL=h0008") << 29
            << QByteArray("1 413:30 E29 Drive Overvoltage Fault\r\n");
        QTest::newRow("kind not logged") << QByteArray("ERRORL=h0008") << 36 << none;
        QTest::newRow("nothing logged") << QByteArray("ERRORL=h0000") << 29 << none;
        QTest::newRow("warnings never") << QByteArray("ERRORL=h3FFF") << 31 << none;
    }
    void errorLog()
    {
        QFETCH(QByteArray, mask);
        QFETCH(int, bit);
        QFETCH(QByteArray, log);
        QCOMPARE(Ask(mask), QByteArray());
        m_Now = 90 * 60'000;
        QVERIFY(m_Drive->LatchFault(bit));
        QCOMPARE(Ask("TERRLG"), log);
        QCOMPARE(Ask("CERRLG"), QByteArray());
        QCOMPARE(Ask("TERRLG"), QByteArray("No errors logged\r\n"));
    }

    void simulatedFaultIsLatchedAndLogged()
    {
        QCOMPARE(Ask("SIMFLT=27"), QByteArray());
        QCOMPARE(Ask("E27"), QByteArray("E27=1\r\n"));
        QCOMPARE(Ask("TERRLG"), QByteArray("1 412:00 E27 Bridge Hardware Fault\r\n"));
        QCOMPARE(Ask("CLRFLT"), QByteArray());
        QCOMPARE(Ask("E27"), QByteArray("E27=0\r\n"));
    }

    void fieldHistoryComesBeforeNewEntries()
    {
        m_Drive->SeedFieldHistory();
        QVERIFY(m_Drive->LatchFault(29));
        QCOMPARE(Ask("TERRLG"), QByteArray("1 3:12 E30 Drive Undervoltage Fault\r\n"
                                           "2 157:40 E36 Motor Temperature Fault\r\n"
                                           "3 388:05 E27 Bridge Hardware Fault\r\n"
                                           "4 412:00 E29 Drive Overvoltage Fault\r\n"));
    }

    void errorLogOrderAndMaskSurviveReset()
    {
        QCOMPARE(Ask("ERRORL=h0048"), QByteArray()); // over voltage, drive temperature
        QVERIFY(m_Drive->LatchFault(34));
        m_Now = 61 * 60'000;
        QVERIFY(m_Drive->LatchFault(29));
        QCOMPARE(Ask("RESET"), QByteArray());
        QCOMPARE(Ask("ERRORL"), QByteArray("ERRORL=h0048\r\n"));
        QCOMPARE(Ask("TERRLG"), QByteArray("1 412:00 E34 Drive Temperature Fault\r\n"
                                           "2 413:01 E29 Drive Overvoltage Fault\r\n"));
    }

    void bootLoader_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QByteArray>("version");
        QTest::newRow("missing") << int(SimulatedDrive::OsState::Missing)
                                 << QByteArray("VER=ORVEX BOOT 1.04 OS MISSING\r\n");
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
        QCOMPARE(Ask("P16"), QByteArray("?7 No operating system\r\n"));
        QCOMPARE(Ask("ENABLE 1"), QByteArray("?7 No operating system\r\n"));
        QCOMPARE(Ask("RESET"), QByteArray());
        m_Drive->PowerCycle();
        QCOMPARE(Ask("VER"), QByteArray("VER=ORVEX BOOT 1.04 OS MISSING\r\n"));
    }

    void noAnswer()
    {
        m_Drive->SetNoAnswer(true);
        QCOMPARE(m_Drive->Receive("\rVER\rP16=70\r"), QByteArray());
        QCOMPARE(m_Drive->CommandsReceived(), 3);
        m_Drive->SetNoAnswer(false);
        QCOMPARE(Ask("P16"), QByteArray("P016=50\r\n"));
    }

    void wrongAnswer()
    {
        m_Drive->SetWrongAnswer(true);
        const QByteArray answer = m_Drive->Receive("VER\r");
        QVERIFY(!answer.isEmpty());
        QVERIFY(!answer.contains(SimulatedDrive::Prompt));
        QVERIFY(!answer.startsWith("VER=ORVEX "));
    }

    void autoRunTurnsTheMotor()
    {
        Configure();
        QCOMPARE(m_Drive->Receive("\rDMODE 1\rRESET\r"), QByteArray("\x05\x05\x05"));
        QVERIFY(m_Drive->IsEnabled());
        m_Now += 2000;
        QCOMPARE(Ask("S16"), QByteArray("S16=1\r\n"));
        QCOMPARE(Ask("S22"), QByteArray("S22=16000\r\n")); // two turns of 8000 counts
        QCOMPARE(Ask("S10"), QByteArray("S10=2.7\r\n"));   // 90 % of 3 Arms
        QCOMPARE(m_Drive->Receive("\rDMODE 2\rRESET\r"), QByteArray("\x05\x05\x05"));
        QVERIFY(!m_Drive->IsEnabled());
        QCOMPARE(Ask("S16"), QByteArray("S16=0\r\n"));
    }

    void temperaturesFollowTheLoad()
    {
        const double ambient = Ask("S40").mid(4).trimmed().toDouble();
        QCOMPARE(ambient, 25.0);
        Configure();
        m_Drive->Receive("\rDMODE 1\rRESET\r");
        m_Now += 20 * 60'000;
        const double motor = Ask("S40").mid(4).trimmed().toDouble();
        const double drive = Ask("S38").mid(4).trimmed().toDouble();
        QVERIFY2(motor > ambient + 1.0, qPrintable(QString::number(motor)));
        QVERIFY2(drive > Orvex::DriveMeasurements::DriveAmbient + 1.0,
                 qPrintable(QString::number(drive)));
        QCOMPARE(Ask("S45"), QByteArray("S45=137:45:14\r\n")); // 20 minutes more in operation
        const double bus = Ask("S42").mid(4).trimmed().toDouble();
        QVERIFY(bus > 310.0 && bus < 330.0);
    }

    void xCommandsRunTheirActions()
    {
        QCOMPARE(Ask("X01"), QByteArray());
        QVERIFY(m_Drive->IsConfigured());
        QCOMPARE(Ask("X21=1"), QByteArray());
        QCOMPARE(Ask("DMODE"), QByteArray("DMODE=1\r\n"));
        QVERIFY(m_Drive->LatchFault(27));
        QCOMPARE(Ask("X03"), QByteArray());
        QVERIFY(!m_Drive->IsFaulted());
        m_Drive->SetAnalogInput(1.25);
        QCOMPARE(Ask("X15"), QByteArray("X15=1.250\r\n"));
        QCOMPARE(Ask("P134"), QByteArray("P134=4326\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestSimulatedDrive)
#include "tst_simulateddrive.moc"
