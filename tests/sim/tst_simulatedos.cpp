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

// CRC-32 (IEEE, reflected), bit by bit: an oracle independent of zlib.
quint32 ReferenceCrc32(const QByteArray& data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : data) {
        crc ^= static_cast<quint8>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) != 0 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

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

QByteArray StartLine(const QByteArray& payload, const QByteArray& revision = "3.02.0018")
{
    return "OSDL " + QByteArray::number(payload.size()) + ",h" +
           QByteArray::number(ReferenceCrc32(payload), 16).toUpper() + ',' + revision;
}

} // namespace

class TestSimulatedOs : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SimulatedDrive> m_Drive;

    QByteArray Ask(const QByteArray& command)
    {
        QByteArray answer = m_Drive->Receive(command + '\r');
        if (!answer.endsWith(SimulatedDrive::Prompt))
            return "<no prompt>";
        answer.chop(1);
        return answer;
    }

    // Sends payload in OSD lines of 100 bytes; false when one is refused.
    bool SendData(const QByteArray& payload)
    {
        for (qsizetype at = 0; at < payload.size(); at += 100) {
            if (!Ask("OSD " + payload.mid(at, 100).toHex()).isEmpty())
                return false;
        }
        return true;
    }

private Q_SLOTS:
    void init()
    {
        QString error;
        m_Drive = SimulatedDrive::FromFolder(DataDir(), &error);
        QVERIFY2(m_Drive, qPrintable(error));
    }

    void downloadInstallsTheNewRevision()
    {
        const QByteArray payload = Payload(1000);
        QCOMPARE(Ask(StartLine(payload)), QByteArray("OSDL=READY\r\n"));
        // The boot loader runs the download: the old OS is gone.
        QCOMPARE(Ask("VER"), QByteArray("VER=ORVEX BOOT 1.04 OS MISSING\r\n"));
        QCOMPARE(Ask("P16"), QByteArray("?7 No operating system\r\n"));
        QVERIFY(SendData(payload));
        QCOMPARE(m_Drive->OsBytesReceived(), 1000);
        QCOMPARE(Ask("OSEND"), QByteArray("OSEND=OK 3.02.0018\r\n"));

        QCOMPARE(m_Drive->Os(), SimulatedDrive::OsState::Valid);
        QCOMPARE(Ask("VER"), QByteArray("VER=ORVEX AE-0620 OS 3.02.0018\r\n"));
        QCOMPARE(Ask("X07"), QByteArray("X07=3.02.0018\r\nBuilt 2024-03-18\r\n"));
        QCOMPARE(Ask("P16"), QByteArray("P016=50\r\n"));
    }

    void failedDownloads_data()
    {
        const QByteArray payload = Payload(250);
        const QByteArray start = StartLine(payload);
        QTest::addColumn<QByteArrayList>("before");
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QByteArray>("versionAfter");

        const QByteArray valid = "VER=ORVEX AE-0620 OS 3.02.0017\r\n";
        const QByteArray missing = "VER=ORVEX BOOT 1.04 OS MISSING\r\n";
        QTest::newRow("data without a start")
            << QByteArrayList{} << QByteArray("OSD 00FF")
            << QByteArray("?8 Failed no download in progress\r\n") << valid;
        QTest::newRow("end without a start")
            << QByteArrayList{} << QByteArray("OSEND")
            << QByteArray("?8 Failed no download in progress\r\n") << valid;
        QTest::newRow("start without revision") << QByteArrayList{} << QByteArray("OSDL 250,h1234")
                                                << QByteArray("?3 Bad value\r\n") << valid;
        QTest::newRow("start with crc not hex")
            << QByteArrayList{} << QByteArray("OSDL 250,hXYZ,3.02.0018")
            << QByteArray("?3 Bad value\r\n") << valid;
        QTest::newRow("start with odd revision")
            << QByteArrayList{} << QByteArray("OSDL 250,h1234,3.02 beta")
            << QByteArray("?3 Bad value\r\n") << valid;
        QTest::newRow("image too big for the flash")
            << QByteArrayList{} << QByteArray("OSDL 2000000,h1234,3.02.0018")
            << QByteArray("?2 Out of range 1 to 1048576\r\n") << valid;
        QTest::newRow("odd count of hex digits") << QByteArrayList{start} << QByteArray("OSD 0FF")
                                                 << QByteArray("?3 Bad value\r\n") << missing;
        QTest::newRow("not hex") << QByteArrayList{start} << QByteArray("OSD 0G")
                                 << QByteArray("?3 Bad value\r\n") << missing;
        QTest::newRow("more data than announced")
            << QByteArrayList{start, "OSD " + payload.left(100).toHex(),
                              "OSD " + payload.mid(100, 100).toHex()}
            << "OSD " + payload.mid(200).toHex() + "0000"
            << QByteArray("?2 Out of range 1 to 50\r\n") << missing;
        QTest::newRow("end before all data")
            << QByteArrayList{start, "OSD " + payload.left(100).toHex()} << QByteArray("OSEND")
            << QByteArray("?8 Failed length\r\n") << missing;
        QByteArray damaged = payload;
        damaged[17] = static_cast<char>(damaged[17] ^ 0x01);
        QTest::newRow("damaged data")
            << QByteArrayList{start, "OSD " + damaged.left(100).toHex(),
                              "OSD " + damaged.mid(100, 100).toHex(),
                              "OSD " + damaged.mid(200).toHex()}
            << QByteArray("OSEND") << QByteArray("?8 Failed checksum\r\n") << missing;
        QTest::newRow("aborted") << QByteArrayList{start, "OSD " + payload.left(100).toHex()}
                                 << QByteArray("OSABORT") << QByteArray() << missing;
    }
    void failedDownloads()
    {
        QFETCH(QByteArrayList, before);
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, versionAfter);
        for (const QByteArray& line : before)
            QCOMPARE(Ask(line), line.startsWith("OSDL") ? QByteArray("OSDL=READY\r\n") : "");
        QCOMPARE(Ask(command), answer);
        QCOMPARE(Ask("VER"), versionAfter);
    }

    void failedDownloadCanBeRepeated_data()
    {
        QTest::addColumn<QByteArray>("ending");
        QTest::newRow("checksum failure") << QByteArray("OSEND");
        QTest::newRow("abort") << QByteArray("OSABORT");
    }
    void failedDownloadCanBeRepeated()
    {
        QFETCH(QByteArray, ending);
        const QByteArray payload = Payload(300);
        QCOMPARE(Ask("OSDL 300,h00000000,3.02.0018"), QByteArray("OSDL=READY\r\n"));
        QVERIFY(SendData(payload));
        Ask(ending);
        QVERIFY(!m_Drive->OsDownloadActive());
        QCOMPARE(m_Drive->Os(), SimulatedDrive::OsState::Missing);
        // A further data line belongs to no download.
        QCOMPARE(Ask("OSD 00"), QByteArray("?8 Failed no download in progress\r\n"));

        QCOMPARE(Ask(StartLine(payload, "3.02.0019")), QByteArray("OSDL=READY\r\n"));
        QVERIFY(SendData(payload));
        QCOMPARE(Ask("OSEND"), QByteArray("OSEND=OK 3.02.0019\r\n"));
        QCOMPARE(Ask("VER"), QByteArray("VER=ORVEX AE-0620 OS 3.02.0019\r\n"));
    }

    void restartedDownloadDropsEarlierData()
    {
        const QByteArray payload = Payload(200);
        QCOMPARE(Ask(StartLine(payload)), QByteArray("OSDL=READY\r\n"));
        QCOMPARE(Ask("OSD " + payload.left(100).toHex()), QByteArray());
        // The bridge starts over after a lost link.
        QCOMPARE(Ask(StartLine(payload)), QByteArray("OSDL=READY\r\n"));
        QCOMPARE(m_Drive->OsBytesReceived(), 0);
        QVERIFY(SendData(payload));
        QCOMPARE(Ask("OSEND"), QByteArray("OSEND=OK 3.02.0018\r\n"));
    }

    void corruptDriveRefusesUntilPowerCycle()
    {
        m_Drive->SetOsState(SimulatedDrive::OsState::Corrupt);
        const QByteArray payload = Payload(100);
        QCOMPARE(Ask("VER"), QByteArray("VER=ORVEX BOOT 1.04 OS CORRUPT\r\n"));
        for (const QByteArray& command :
             {StartLine(payload), QByteArray("OSD 00"), QByteArray("OSEND"), QByteArray("OSABORT")})
            QCOMPARE(Ask(command), QByteArray("?7 No operating system\r\n"));

        m_Drive->PowerCycle();
        QCOMPARE(Ask("VER"), QByteArray("VER=ORVEX BOOT 1.04 OS MISSING\r\n"));
        QCOMPARE(Ask(StartLine(payload)), QByteArray("OSDL=READY\r\n"));
        QVERIFY(SendData(payload));
        QCOMPARE(Ask("OSEND"), QByteArray("OSEND=OK 3.02.0018\r\n"));
        QCOMPARE(Ask("VER"), QByteArray("VER=ORVEX AE-0620 OS 3.02.0018\r\n"));
    }

    void powerCycleLosesTheDownload()
    {
        const QByteArray payload = Payload(200);
        QCOMPARE(Ask(StartLine(payload)), QByteArray("OSDL=READY\r\n"));
        QCOMPARE(Ask("OSD " + payload.left(100).toHex()), QByteArray());
        m_Drive->PowerCycle();
        QCOMPARE(Ask("VER"), QByteArray("VER=ORVEX BOOT 1.04 OS MISSING\r\n"));
        QCOMPARE(Ask("OSD " + payload.mid(100).toHex()),
                 QByteArray("?8 Failed no download in progress\r\n"));
    }

    void abortWithoutDownloadKeepsTheOs()
    {
        QCOMPARE(Ask("OSABORT"), QByteArray());
        QCOMPARE(Ask("VER"), QByteArray("VER=ORVEX AE-0620 OS 3.02.0017\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestSimulatedOs)
#include "tst_simulatedos.moc"
