#include "CaptureData.h"

#include <QTest>

using namespace Orvex;

// What a capture answers, unpacked into a session's traces.
class TestCaptureData : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void unpack_data();
    void unpack();
    void positionMoveRisesFromZero_data();
    void positionMoveRisesFromZero();
    void velocityDivider_data();
    void velocityDivider();
};

void TestCaptureData::unpack_data()
{
    QTest::addColumn<QVariant>("samples");
    QTest::addColumn<int>("problem");
    QTest::addColumn<int>("pairsReplaced");

    const auto floats = [](int count) {
        QList<float> list;
        for (int i = 0; i < count; ++i)
            list << float(i);
        return QVariant::fromValue(list);
    };
    QTest::newRow("1500 elements keep 512 pairs") << floats(1500) << 0 << 512;
    QTest::newRow("100 elements replace 50 points") << floats(100) << 0 << 50;
    QTest::newRow("empty array") << floats(0) << 0 << 0;
    QTest::newRow("integers for a float tuner") << QVariant::fromValue(QList<qint32>{1, 2, 3, 4})
                                                << int(CaptureData::Problem::InvalidType) << 0;
    QTest::newRow("doubles") << QVariant::fromValue(QList<double>{1.0, 2.0})
                             << int(CaptureData::Problem::InvalidType) << 0;
    QTest::newRow("no array") << QVariant() << int(CaptureData::Problem::NullArray) << 0;
}

void TestCaptureData::unpack()
{
    QFETCH(QVariant, samples);
    std::array<float, TraceLength> commanded;
    std::array<float, TraceLength> actual;
    commanded.fill(-1.0f);
    actual.fill(-2.0f);
    QFETCH(int, problem);
    QCOMPARE(int(CaptureData::Unpack(samples, commanded, actual)), problem);
    QFETCH(int, pairsReplaced);
    for (int k = 0; k < TraceLength; ++k) {
        const bool replaced = k < pairsReplaced;
        QCOMPARE(commanded[std::size_t(k)], replaced ? float(2 * k) : -1.0f);
        QCOMPARE(actual[std::size_t(k)], replaced ? float(2 * k + 1) : -2.0f);
    }
    QCOMPARE(CaptureData::MessageOf(CaptureData::Problem(problem)).isEmpty(), problem == 0);
}

void TestCaptureData::positionMoveRisesFromZero_data()
{
    QTest::addColumn<bool>("ccw");
    QTest::addColumn<qint32>("start");
    QTest::addColumn<qint32>("step");
    // A CCW move of 200 counts comes back negative and is drawn rising.
    QTest::newRow("cw from 5000") << false << 5000 << 200;
    QTest::newRow("ccw from 5000") << true << 5000 << -200;
    QTest::newRow("ccw from -7") << true << -7 << -200;
}

void TestCaptureData::positionMoveRisesFromZero()
{
    QFETCH(bool, ccw);
    QFETCH(qint32, start);
    QFETCH(qint32, step);
    std::array<qint32, TraceLength> commanded{};
    std::array<qint32, TraceLength> actual{};
    for (std::size_t j = 0; j < TraceLength; ++j) {
        commanded[j] = j < 64 ? 0 : step;
        // An overshoot back beyond the start shows at 0.
        actual[j] = start + (j < 64 ? 0 : j < 70 ? -step / 10 : step);
    }
    CaptureData::RiseFromZero(commanded, actual, ccw);
    QCOMPARE(actual[0], 0);
    QCOMPARE(actual[66], 0);
    QCOMPARE(actual[TraceLength - 1], 200);
    QCOMPARE(commanded[TraceLength - 1], 200);
    QVERIFY(std::all_of(commanded.begin(), commanded.end(), [](qint32 v) { return v >= 0; }));
}

void TestCaptureData::velocityDivider_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<int>("divider");
    QTest::newRow("1 Hz") << 1 << 48;
    QTest::newRow("7 Hz, whole part") << 7 << 6;
    QTest::newRow("48 Hz") << 48 << 1;
    QTest::newRow("49 Hz") << 49 << 0;
    QTest::newRow("none") << 0 << 0;
    QTest::newRow("negative") << -5 << 0;
}

void TestCaptureData::velocityDivider()
{
    QFETCH(int, frequency);
    QFETCH(int, divider);
    QCOMPARE(CaptureData::VelocityDivider(frequency), divider);
}

QTEST_GUILESS_MAIN(TestCaptureData)
#include "tst_capturedata.moc"
