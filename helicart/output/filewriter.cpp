#include "filewriter.h"

#include <system_error>

FileWriter::FileWriter(FailureReport reportFailure)
    : m_reportFailure(std::move(reportFailure))
{ }

FileWriter::~FileWriter()
{
    drain();
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    for (std::thread &thread : m_threads)
        thread.join();
}

void FileWriter::write(Job job, const QString &fileName)
{
    std::packaged_task<bool()> task(std::move(job));
    m_pending.push_back({ fileName, task.get_future() });
    // A thread more for every file handed in while there are fewer than kThreads; one that
    // cannot be started (a limit on threads or memory) leaves the work to those there are.
    if (m_threads.size() < kThreads) {
        try {
            m_threads.emplace_back([this] { work(); });
        } catch (const std::system_error &) { }
    }
    if (m_threads.empty()) {
        task();
        return;
    }
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.push_back(std::move(task));
    }
    m_wake.notify_one();
}

bool FileWriter::settle(size_t pending)
{
    while (m_pending.size() > pending) {
        Pending done = std::move(m_pending.front());
        m_pending.pop_front();
        bool written = false;
        QString reason;
        try {
            written = done.written.get();
        } catch (const Failure &failure) {
            reason = QString::fromUtf8(failure.what());
        } catch (const std::bad_alloc &) {
            m_allWritten = false;
            throw;
        } catch (const std::exception &) {
            // Any other exception of a job costs its file, never the run.
        }
        if (!written) {
            m_reportFailure(done.fileName, reason);
            m_allWritten = false;
        }
    }
    return m_allWritten;
}

void FileWriter::drain() noexcept
{
    for (;;) {
        try {
            settle();
            return;
        } catch (...) {
            // Out of memory: that file is not written, the others are still waited for.
        }
    }
}

void FileWriter::work()
{
    for (;;) {
        std::packaged_task<bool()> task;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            if (m_queue.empty())
                return;
            task = std::move(m_queue.front());
            m_queue.pop_front();
        }
        task();
    }
}
