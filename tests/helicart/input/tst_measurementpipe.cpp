#include "measurementpipe.h"

#include <QThread>
#include <QtTest>

#include <atomic>

class TestMeasurementPipe : public QObject
{
    Q_OBJECT

private slots:
    void handedOnInOrder_data();
    void handedOnInOrder();
    void streamsInTurn_data();
    void streamsInTurn();
    void readsAheadIntoTheNextStream();
    void leftEarly();
    void failureReachesTheCaller();
};

void TestMeasurementPipe::handedOnInOrder_data()
{
    constexpr int block = int(MeasurementPipe::kBlockSize);
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("slowConsumer");
    QTest::newRow("none") << 0 << false;
    QTest::newRow("one") << 1 << false;
    QTest::newRow("a block but one") << block - 1 << false;
    QTest::newRow("a block") << block << false;
    QTest::newRow("a block and one") << block + 1 << false;
    QTest::newRow("many blocks") << 25 * block + 7 << false;
    QTest::newRow("many blocks, slow consumer") << 25 * block + 7 << true;
}

// Every measurement reaches the consumer, in order, on the calling thread, while the producer
// runs on another one and never gets more than the blocks in flight ahead.
void TestMeasurementPipe::handedOnInOrder()
{
    QFETCH(int, count);
    QFETCH(bool, slowConsumer);
    QThread *caller = QThread::currentThread();
    std::atomic<int> produced { 0 };
    std::atomic<int> mostAhead { 0 };
    QThread *producerThread = nullptr;
    QList<int> seconds;
    QList<double> values;
    bool consumerOnCaller = true;
    MeasurementPipe pipe(1, [&](int, MeasurementSink &handler) {
        producerThread = QThread::currentThread();
        for (int i = 0; i < count; ++i) {
            ++produced;
            handler(QTime(0, 0).addSecs(i % 86400), i * 0.5);
        }
        return false;
    });
    pipe.take([&](const QTime &time, double value) {
        consumerOnCaller &= QThread::currentThread() == caller;
        mostAhead = qMax(mostAhead.load(), produced - int(values.size()));
        seconds << QTime(0, 0).secsTo(time);
        values << value;
        if (slowConsumer && values.size() % 1000 == 0)
            QThread::usleep(200);
    });
    QCOMPARE(values.size(), count);
    for (int i = 0; i < count; ++i) {
        QCOMPARE(seconds.at(i), i % 86400);
        QCOMPARE(values.at(i), i * 0.5);
    }
    QVERIFY(consumerOnCaller);
    QVERIFY(producerThread != caller);
    QVERIFY(mostAhead <= int((MeasurementPipe::kBlocksInFlight + 2) * MeasurementPipe::kBlockSize));
}

namespace {

// Measurement i of stream k: a time and a value that tell both apart.
QTime timeOf(int k, int i)
{
    return QTime(0, 0).addSecs((k * 7919 + i) % 86400);
}

double valueOf(int k, int i)
{
    return k * 1e6 + i;
}

} // namespace

void TestMeasurementPipe::streamsInTurn_data()
{
    constexpr int block = int(MeasurementPipe::kBlockSize);
    QTest::addColumn<QList<int>>("lengths");
    QTest::addColumn<int>("stopAfter"); // the stream after which the producer says stop; -1: none
    QTest::addColumn<int>("taken"); // streams take hands on

    QTest::newRow("no stream") << QList<int> {} << -1 << 0;
    QTest::newRow("empty streams") << QList<int> { 0, 0, 0 } << -1 << 3;
    QTest::newRow("block edges") << QList<int> { block - 1, block, block + 1, 1 } << -1 << 4;
    QTest::newRow("more than the pipe holds")
        << QList<int> { 3 * block * int(MeasurementPipe::kBlocksInFlight) / 2, 5, 70 * block } << -1
        << 3;
    QTest::newRow("stop after the second") << QList<int> { 10, 20, 30, 40 } << 1 << 2;
    QTest::newRow("stop after the last") << QList<int> { 10, 20 } << 1 << 2;
}

// Each take hands on exactly its stream, in order, on the calling thread; what the producer
// noted for a stream is there when take returns; after a stop there is nothing more to take.
void TestMeasurementPipe::streamsInTurn()
{
    QFETCH(QList<int>, lengths);
    QFETCH(int, stopAfter);
    QFETCH(int, taken);
    QThread *caller = QThread::currentThread();
    std::vector<int> noted(size_t(lengths.size()), -1);
    MeasurementPipe pipe(int(lengths.size()), [&](int k, MeasurementSink &handler) {
        for (int i = 0; i < lengths.at(k); ++i)
            handler(timeOf(k, i), valueOf(k, i));
        noted[size_t(k)] = lengths.at(k);
        return k != stopAfter;
    });
    for (int k = 0; k < taken; ++k) {
        int i = 0;
        bool inOrder = true;
        bool onCaller = true;
        QVERIFY(pipe.take([&](const QTime &time, double value) {
            inOrder &= time == timeOf(k, i) && value == valueOf(k, i);
            onCaller &= QThread::currentThread() == caller;
            ++i;
        }));
        QVERIFY2(inOrder, qPrintable(QStringLiteral("stream %1").arg(k)));
        QVERIFY(onCaller);
        QCOMPARE(i, lengths.at(k));
        QCOMPARE(noted[size_t(k)], lengths.at(k));
    }
    int more = 0;
    QVERIFY(!pipe.take([&more](const QTime &, double) { ++more; }));
    QCOMPARE(more, 0);
}

// While the caller still works on a stream, the next one is being read.
void TestMeasurementPipe::readsAheadIntoTheNextStream()
{
    std::atomic<int> startedStreams { 0 };
    MeasurementPipe pipe(2, [&](int k, MeasurementSink &handler) {
        startedStreams = k + 1;
        for (int i = 0; i < 100; ++i)
            handler(timeOf(k, i), valueOf(k, i));
        return true;
    });
    QVERIFY(pipe.take([](const QTime &, double) {}));
    QTRY_COMPARE(startedStreams.load(), 2);
    int second = 0;
    QVERIFY(pipe.take([&second](const QTime &, double) { ++second; }));
    QCOMPARE(second, 100);
}

// A caller that leaves before taking every stream (a failure elsewhere) is not kept waiting by
// a producer that has filled the pipe.
void TestMeasurementPipe::leftEarly()
{
    const int length = 4 * int(MeasurementPipe::kBlockSize * MeasurementPipe::kBlocksInFlight);
    std::atomic<int> produced { 0 };
    {
        MeasurementPipe pipe(3, [&](int k, MeasurementSink &handler) {
            for (int i = 0; i < length; ++i) {
                handler(timeOf(k, i), valueOf(k, i));
                ++produced;
            }
            return true;
        });
        int first = 0;
        QVERIFY(pipe.take([&first](const QTime &, double) { ++first; }));
        QCOMPARE(first, length);
    }
    // The stream being read when the caller left is read to its end; none is begun after it.
    QVERIFY(produced <= 2 * length);
}

// Memory that runs out on the reading thread reaches the caller as an exception on its own
// thread, after the streams read before; it never ends the program.
void TestMeasurementPipe::failureReachesTheCaller()
{
    MeasurementPipe pipe(2, [](int k, MeasurementSink &handler) -> bool {
        for (int i = 0; i < 10; ++i)
            handler(timeOf(k, i), valueOf(k, i));
        if (k == 1)
            throw std::bad_alloc();
        return true;
    });
    int first = 0;
    QVERIFY(pipe.take([&first](const QTime &, double) { ++first; }));
    QCOMPARE(first, 10);
    QVERIFY_THROWS_EXCEPTION(std::bad_alloc, pipe.take([](const QTime &, double) {}));
}

QTEST_GUILESS_MAIN(TestMeasurementPipe)
#include "tst_measurementpipe.moc"
