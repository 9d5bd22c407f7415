#include "poolthread.h"

#include <QScopeGuard>
#include <QThread>
#include <QThreadPool>

#include <future>
#include <memory>

int PoolThread::run(const std::function<int()> &work)
{
    QThreadPool *pool = QThreadPool::globalInstance();
    if (!pool || isPoolThread())
        return work();
    // Shared with the pool thread, which may still be leaving the task when the result is in.
    const auto task = std::make_shared<std::packaged_task<int()>>([pool, &work] {
        // Its thread leaves its place in the pool to the tasks the work waits for.
        pool->releaseThread();
        const auto countAgain = qScopeGuard([pool] { pool->reserveThread(); });
        return work();
    });
    std::future<int> result = task->get_future();
    if (!pool->tryStart([task] { (*task)(); }))
        return work();
    return result.get();
}

bool PoolThread::isPoolThread()
{
    const QThreadPool *pool = QThreadPool::globalInstance();
    return pool && pool->contains(QThread::currentThread());
}
