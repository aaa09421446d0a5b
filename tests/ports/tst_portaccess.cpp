#include "PortAccess.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using Orvex::DescribeOpenError;
using Orvex::DevicePathProblem;
using Orvex::PortAccessProblem;

class TestPortAccess : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void openErrorsInWords_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QSerialPort::SerialPortError>("error");
        QTest::addColumn<QString>("expected"); // %1 is the path
        const auto row = [](const char* name, bool exists, QSerialPort::SerialPortError error,
                            const char* expected) {
            QTest::newRow(name) << exists << error << QString::fromLatin1(expected);
        };
        row("not found", false, QSerialPort::DeviceNotFoundError, "%1 is not present.");
        // Qt reports a device held by another program as a permission error.
        row("busy", true, QSerialPort::PermissionError, "%1 is in use by another program.");
        row("vanished before open", false, QSerialPort::PermissionError, "%1 is not present.");
        row("already open", true, QSerialPort::OpenError, "%1 is already open.");
        row("other", true, QSerialPort::UnsupportedOperationError,
            "Unable to open %1: Unsupported operation");
        row("no error", true, QSerialPort::NoError, "");
    }

    void openErrorsInWords()
    {
        QFETCH(bool, exists);
        QFETCH(QSerialPort::SerialPortError, error);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ttyACM0"));
        if (exists)
            QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        QCOMPARE(DescribeOpenError(path, error, QStringLiteral("Unsupported operation")),
                 expected.isEmpty() ? QString() : expected.arg(path));
        // Before opening: a device we may use has no problem, a missing one says so.
        QCOMPARE(PortAccessProblem(path),
                 exists ? QString() : path + QStringLiteral(" is not present."));
    }

    void deviceWithoutRightsSaysSo()
    {
        if (geteuid() == 0)
            QSKIP("root may open anything");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ttyUSB0"));
        QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        QCOMPARE(chmod(QFile::encodeName(path).constData(), 0), 0);
        const QString problem = PortAccessProblem(path);
        QVERIFY2(problem.startsWith(QStringLiteral("You are not allowed to open ") + path + '.'),
                 qPrintable(problem));
        QCOMPARE(DescribeOpenError(path, QSerialPort::PermissionError), problem);
    }

    void onlyPresentDevicesArePorts_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("expected"); // %1 is the path
        const auto row = [](const char* name, const char* kind, const char* expected) {
            QTest::newRow(name) << QString(kind) << QString(expected);
        };
        row("pseudo-terminal", "pty", "");
        row("missing", "missing", "%1 is not present.");
        row("inside a file", "below file", "%1 is not present.");
        row("plain file", "file", "%1 is not a serial device: it is a plain file.");
        row("folder", "folder", "%1 is not a serial device: it is a folder.");
        row("blank", "blank", "No serial device was given.");
    }

    void onlyPresentDevicesArePorts()
    {
        QFETCH(QString, kind);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("passwd"));
        QVERIFY(QFile(file).open(QIODevice::WriteOnly));
        QString path = kind == QLatin1String("file")         ? file
                       : kind == QLatin1String("folder")     ? dir.path()
                       : kind == QLatin1String("below file") ? file + QStringLiteral("/ttyS0")
                       : kind == QLatin1String("blank")      ? QStringLiteral("  ")
                                                        : dir.filePath(QStringLiteral("ttyUSB9"));
        const int master = posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
        if (kind == QLatin1String("pty"))
            path = QString::fromLocal8Bit(ptsname(master));
        QCOMPARE(DevicePathProblem(path), expected.isEmpty() ? QString() : expected.arg(path));
        close(master);
    }
};

QTEST_GUILESS_MAIN(TestPortAccess)
#include "tst_portaccess.moc"
