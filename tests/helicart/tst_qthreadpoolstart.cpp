// The program's QThreadPool::start for functions (linked into this test as into the program):
// the global pool's parts run at once on the caller's thread, other pools keep their threads,
// and Qt's painter no longer waits for the pool.

#include "testsupport.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRunnable>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <QtTest>

#include <atomic>
#include <thread>

class TestQThreadPoolStart : public QObject
{
    Q_OBJECT

private slots:
    void globalPoolRunsAtOnce();
    void otherPoolsKeepTheirThreads();
    void largeFillsDoNotWaitForThePool_data();
    void largeFillsDoNotWaitForThePool();
};

void TestQThreadPoolStart::globalPoolRunsAtOnce()
{
    QThread *ranOn = nullptr;
    QThreadPool::globalInstance()->start([&ranOn] { ranOn = QThread::currentThread(); });
    QCOMPARE(ranOn, QThread::currentThread());
}

void TestQThreadPoolStart::otherPoolsKeepTheirThreads()
{
    QThreadPool pool;
    std::atomic<QThread *> ranOn { nullptr };
    pool.start([&ranOn] { ranOn = QThread::currentThread(); });
    QVERIFY(pool.waitForDone(10000));
    QVERIFY(ranOn.load() != nullptr);
    QVERIFY(ranOn.load() != QThread::currentThread());
}

void TestQThreadPoolStart::largeFillsDoNotWaitForThePool_data()
{
    QTest::addColumn<bool>("gradient");
    QTest::addColumn<int>("format");
    QTest::newRow("solid, ARGB32") << false << int(QImage::Format_ARGB32);
    QTest::newRow("gradient, ARGB32") << true << int(QImage::Format_ARGB32);
    QTest::newRow("gradient, premultiplied") << true << int(QImage::Format_ARGB32_Premultiplied);
}

// Every thread of the global pool is held busy; a fill that Qt splits into parts for the pool
// would wait until the pool is let go (after at most ten seconds, so that a failure does not
// hang the test).
void TestQThreadPoolStart::largeFillsDoNotWaitForThePool()
{
    QFETCH(bool, gradient);
    QFETCH(int, format);

    QThreadPool *pool = QThreadPool::globalInstance();
    const int threads = pool->maxThreadCount();
    QSemaphore started;
    QSemaphore hold;
    for (int i = 0; i < threads; ++i) {
        pool->start(QRunnable::create([&started, &hold] {
            started.release();
            hold.acquire();
        }));
    }
    started.acquire(threads);
    std::atomic<bool> letGo { false };
    std::thread watchdog([&hold, &letGo, threads] {
        if (!hold.tryAcquire(1, 10000)) {
            letGo = true;
            hold.release(threads);
        }
    });

    QImage image(800, 600, QImage::Format(format));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (gradient) {
        QLinearGradient light(0, 0, 300, 500);
        light.setColorAt(0, Qt::yellow);
        light.setColorAt(1, QColor(20, 60, 200));
        painter.setBrush(light);
    } else {
        painter.setBrush(QColor(200, 30, 90, 180));
    }
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRectF(10.5, 20.25, 700, 550));
    painter.end();
    const bool waited = letGo.load();

    // The painting is done: the pool's threads may go, and the watchdog with them.
    hold.release(threads + 1);
    watchdog.join();
    QVERIFY(pool->waitForDone(10000));
    QVERIFY2(!waited, "the fill waited for the global pool's threads");
    QVERIFY(image.pixel(400, 300) != qRgb(255, 255, 255));
}

HELICART_GUI_TEST_MAIN(TestQThreadPoolStart)
#include "tst_qthreadpoolstart.moc"
