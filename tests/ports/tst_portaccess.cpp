#include "PortAccess.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

class TestPortAccess : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void missingDeviceIsNotPresent();
    void usableDeviceHasNoProblem();
    void deviceWithoutRightsSaysSo();
    void openErrorsInWords_data();
    void openErrorsInWords();
};

void TestPortAccess::missingDeviceIsNotPresent()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ttyUSB0"));
    QCOMPARE(Orvex::PortAccessProblem(path), path + QStringLiteral(" is not present."));
}

void TestPortAccess::usableDeviceHasNoProblem()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ttyUSB0"));
    QVERIFY(QFile(path).open(QIODevice::WriteOnly));
    QCOMPARE(Orvex::PortAccessProblem(path), QString());
}

void TestPortAccess::deviceWithoutRightsSaysSo()
{
    if (geteuid() == 0) {
        QSKIP("root may open anything");
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ttyUSB0"));
    QVERIFY(QFile(path).open(QIODevice::WriteOnly));
    QCOMPARE(chmod(QFile::encodeName(path).constData(), 0), 0);

    const QString problem = Orvex::PortAccessProblem(path);
    QVERIFY2(problem.startsWith(QStringLiteral("You are not allowed to open ") + path + '.'),
             qPrintable(problem));
    QCOMPARE(Orvex::DescribeOpenError(path, QSerialPort::PermissionError), problem);
}

void TestPortAccess::openErrorsInWords_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QSerialPort::SerialPortError>("error");
    QTest::addColumn<QString>("expected"); // %1 is the path

    QTest::newRow("not found") << false << QSerialPort::DeviceNotFoundError << "%1 is not present.";
    // Qt reports a device held by another program as a permission error.
    QTest::newRow("busy") << true << QSerialPort::PermissionError
                          << "%1 is in use by another program.";
    QTest::newRow("vanished before open")
        << false << QSerialPort::PermissionError << "%1 is not present.";
    QTest::newRow("already open") << true << QSerialPort::OpenError << "%1 is already open.";
    QTest::newRow("other") << true << QSerialPort::UnsupportedOperationError
                           << "Unable to open %1: Unsupported operation";
    QTest::newRow("no error") << true << QSerialPort::NoError << "";
}

void TestPortAccess::openErrorsInWords()
{
    QFETCH(bool, exists);
    QFETCH(QSerialPort::SerialPortError, error);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ttyACM0"));
    if (exists) {
        QVERIFY(QFile(path).open(QIODevice::WriteOnly));
    }
    QCOMPARE(Orvex::DescribeOpenError(path, error, QStringLiteral("Unsupported operation")),
             expected.isEmpty() ? QString() : expected.arg(path));
}

QTEST_GUILESS_MAIN(TestPortAccess)
#include "tst_portaccess.moc"
