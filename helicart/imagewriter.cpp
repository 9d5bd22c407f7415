#include "imagewriter.h"

#include <QThreadPool>

#include <memory>

ImageWriter::ImageWriter(FailureReport reportFailure)
    : m_reportFailure(std::move(reportFailure))
{ }

ImageWriter::~ImageWriter()
{
    settle();
}

void ImageWriter::write(Job job, const QString &fileName)
{
    // Shared with the pool thread, which may still be leaving the task when settle has the
    // result. An exception the job throws reaches settle through the future.
    const auto task = std::make_shared<std::packaged_task<bool()>>(std::move(job));
    m_pending.push_back({ fileName, task->get_future() });
    QThreadPool *pool = QThreadPool::globalInstance();
    if (pool)
        pool->start([task] { (*task)(); });
    else
        (*task)();
}

bool ImageWriter::settle(size_t pending)
{
    while (m_pending.size() > pending) {
        Pending done = std::move(m_pending.front());
        m_pending.pop_front();
        if (!done.written.get()) {
            m_reportFailure(done.fileName);
            m_allWritten = false;
        }
    }
    return m_allWritten;
}
