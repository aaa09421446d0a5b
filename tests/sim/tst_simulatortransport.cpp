#include "SimulatedDrive.h"
#include "SimulatorTransport.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using Orvex::SimulatedDrive;
using Orvex::SimulatorTransport;

namespace {

QString DataDir()
{
    const QString fromEnvironment = qEnvironmentVariable("ORVEX_DATA_DIR");
    return fromEnvironment.isEmpty() ? QStringLiteral(ORVEX_TEST_DATA_DIR) : fromEnvironment;
}

QByteArray Joined(const QSignalSpy& spy)
{
    QByteArray all;
    for (const QList<QVariant>& arguments : spy)
        all += arguments.at(0).toByteArray();
    return all;
}

} // namespace

class TestSimulatorTransport : public QObject
{
    Q_OBJECT

private:
    std::shared_ptr<SimulatedDrive> m_Drive;

private Q_SLOTS:
    void init()
    {
        QString error;
        m_Drive = std::shared_ptr<SimulatedDrive>(SimulatedDrive::FromFolder(DataDir(), &error));
        QVERIFY2(m_Drive, qPrintable(error));
    }

    void answersArriveLater()
    {
        SimulatorTransport transport(m_Drive);
        QCOMPARE(transport.Description(), QStringLiteral("Orvex Drive Simulator"));
        QVERIFY(!transport.Write("VER\r"));
        QVERIFY(transport.Open());
        QSignalSpy received(&transport, &SimulatorTransport::Received);
        QVERIFY(transport.Write("VER\r"));
        QCOMPARE(received.count(), 0); // never from inside Write
        QTRY_COMPARE(Joined(received), QByteArray("VER=ORVEX AE-0620 OS 3.02.0017\r\n\x05"));
        QCOMPARE(m_Drive->CommandsReceived(), 1);
    }

    void closedTransportDeliversNothing()
    {
        SimulatorTransport transport(m_Drive);
        QVERIFY(transport.Open());
        QSignalSpy received(&transport, &SimulatorTransport::Received);
        QVERIFY(transport.Write("VER\r"));
        transport.Close();
        QVERIFY(!transport.IsOpen());
        QVERIFY(transport.Open());
        QVERIFY(transport.Write("\r"));
        QTRY_COMPARE(Joined(received), QByteArray("\x05"));
    }

    void pacedAtBaudRate_data()
    {
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("commands");
        QTest::newRow("9600 baud, 132 bytes") << 9600 << 4;
        QTest::newRow("19200 baud, 264 bytes") << 19200 << 8;
    }
    void pacedAtBaudRate()
    {
        QFETCH(int, baud);
        QFETCH(int, commands);
        SimulatorTransport transport(m_Drive);
        transport.SetBaudRate(baud);
        QVERIFY(transport.Open());
        QSignalSpy received(&transport, &SimulatorTransport::Received);
        const QByteArray one = "VER=ORVEX AE-0620 OS 3.02.0017\r\n\x05";
        QElapsedTimer timer;
        timer.start();
        QVERIFY(transport.Write(QByteArray("VER\r").repeated(commands)));
        QTRY_COMPARE_WITH_TIMEOUT(Joined(received), one.repeated(commands), 10000);
        const qint64 bytes = one.size() * commands;
        // 10 bits a byte: the whole answer cannot have arrived sooner.
        const qint64 minimumMs = bytes * 10 * 1000 / baud;
        QVERIFY2(timer.elapsed() >= minimumMs - 1,
                 qPrintable(QStringLiteral("%1 ms for %2 bytes").arg(timer.elapsed()).arg(bytes)));
        QVERIFY(received.count() > 1);
    }

    void linkLostAfterBytes()
    {
        SimulatorTransport transport(m_Drive);
        QVERIFY(transport.Open());
        transport.SetLoseLinkAfter(10);
        QSignalSpy received(&transport, &SimulatorTransport::Received);
        QSignalSpy lost(&transport, &SimulatorTransport::Lost);
        QVERIFY(transport.Write("VER\r")); // 4 bytes out, 6 of the answer back
        QTRY_COMPARE(lost.count(), 1);
        QCOMPARE(Joined(received), QByteArray("VER=OR"));
        QVERIFY(!transport.IsOpen());
        QVERIFY(!transport.Error().isEmpty());
        QVERIFY(!transport.Write("VER\r"));
    }

    void linkLostWhileWriting()
    {
        SimulatorTransport transport(m_Drive);
        QVERIFY(transport.Open());
        transport.SetLoseLinkAfter(6);
        QSignalSpy lost(&transport, &SimulatorTransport::Lost);
        QSignalSpy received(&transport, &SimulatorTransport::Received);
        QVERIFY(transport.Write("P16=70\rVER\r")); // the cut falls inside the first command
        QTRY_COMPARE(lost.count(), 1);
        QCOMPARE(received.count(), 0);
        QCOMPARE(m_Drive->ParameterWrites(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSimulatorTransport)
#include "tst_simulatortransport.moc"
