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
    MeasurementPipe::run(
        [&](const MeasurementPipe::Handler &handler) {
            producerThread = QThread::currentThread();
            for (int i = 0; i < count; ++i) {
                ++produced;
                handler(QTime(0, 0).addSecs(i % 86400), i * 0.5);
            }
        },
        [&](const QTime &time, double value) {
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

QTEST_GUILESS_MAIN(TestMeasurementPipe)
#include "tst_measurementpipe.moc"
