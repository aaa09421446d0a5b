#include <QProcess>
#include <QTest>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

// The standalone simulator serves the drive protocol on a pseudo-terminal.
class TestDriveSimulatorProgram : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answersOnItsTerminal()
    {
        QProcess program;
        program.start(QStringLiteral(ORVEX_SIMULATOR_PROGRAM),
                      {QStringLiteral("--data-dir"), QStringLiteral(ORVEX_TEST_DATA_DIR)});
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY(program.canReadLine());
        const QString banner = QString::fromLocal8Bit(program.readLine()).trimmed();
        QVERIFY2(banner.startsWith(QLatin1String("Orvex Drive Simulator on /dev/pts/")),
                 qPrintable(banner));
        const QByteArray device = banner.section(u' ', -1).toLocal8Bit();

        const int fd = ::open(device.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(fd >= 0);
        termios settings{};
        QCOMPARE(tcgetattr(fd, &settings), 0);
        cfmakeraw(&settings);
        QCOMPARE(tcsetattr(fd, TCSANOW, &settings), 0);
        QCOMPARE(::write(fd, "VER\r", 4), ssize_t(4));
        QByteArray answer;
        const auto readSome = [&] {
            char buffer[128];
            const ssize_t count = ::read(fd, buffer, sizeof buffer);
            if (count > 0)
                answer += QByteArray(buffer, static_cast<int>(count));
            return answer;
        };
        QTRY_COMPARE(readSome(), QByteArray("VER=ORVEX AE-0620 OS 3.02.0017\r\n\x05"));
        ::close(fd);
        program.kill();
        program.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestDriveSimulatorProgram)
#include "tst_drivesimulatorprogram.moc"
