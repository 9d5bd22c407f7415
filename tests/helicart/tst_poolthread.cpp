#include "poolthread.h"

#include <QThread>
#include <QThreadPool>
#include <QtTest>

#include <chrono>
#include <future>
#include <stdexcept>

class TestPoolThread : public QObject
{
    Q_OBJECT

private slots:
    void runsOnPoolThread();
    void exceptionReachesCaller();
    void onPoolThreadRunsInPlace();
    void workWaitsForPoolTasks_data();
    void workWaitsForPoolTasks();
};

// The work runs on a thread of the global pool and its result comes back.
void TestPoolThread::runsOnPoolThread()
{
    QThread *ran = nullptr;
    const int result = PoolThread::run([&ran] {
        ran = QThread::currentThread();
        return PoolThread::isPoolThread() ? 7 : -1;
    });
    QCOMPARE(result, 7);
    QVERIFY(ran != QThread::currentThread());
    QVERIFY(!PoolThread::isPoolThread());
}

void TestPoolThread::exceptionReachesCaller()
{
    QVERIFY_THROWS_EXCEPTION(
        std::runtime_error, PoolThread::run([]() -> int { throw std::runtime_error("no chart"); }));
}

// Called from a pool thread, the work runs there rather than on a second one.
void TestPoolThread::onPoolThreadRunsInPlace()
{
    const int same = PoolThread::run([] {
        QThread *outer = QThread::currentThread();
        return PoolThread::run([outer] { return QThread::currentThread() == outer ? 1 : 0; });
    });
    QCOMPARE(same, 1);
}

void TestPoolThread::workWaitsForPoolTasks_data()
{
    QTest::addColumn<int>("maxThreads");
    QTest::newRow("a pool of one thread") << 1;
    QTest::newRow("a pool of two threads") << 2;
}

// The work hands a task to the same pool and waits for it: its own thread does not keep the
// task from a place, even when the pool has no other.
void TestPoolThread::workWaitsForPoolTasks()
{
    QFETCH(int, maxThreads);
    QThreadPool *pool = QThreadPool::globalInstance();
    const int before = pool->maxThreadCount();
    pool->setMaxThreadCount(maxThreads);
    const int result = PoolThread::run([pool] {
        std::promise<int> done;
        std::future<int> answer = done.get_future();
        pool->start([&done] { done.set_value(5); });
        if (answer.wait_for(std::chrono::seconds(20)) != std::future_status::ready)
            return -1;
        return answer.get();
    });
    pool->setMaxThreadCount(before);
    QCOMPARE(result, 5);
}

QTEST_GUILESS_MAIN(TestPoolThread)
#include "tst_poolthread.moc"
