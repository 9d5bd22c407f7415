#ifndef FILEWRITER_H
#define FILEWRITER_H

#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

// Writes the run's output files on a few threads of its own while the run goes on with the
// next column. Failures are told, through the function given, in the order the files were
// handed in and only when the run settles: so what the run says comes out in the same order
// whatever the threads do.
class FileWriter
{
public:
    // Encodes and writes one file; false when it could not be written.
    using Job = std::function<bool()>;
    // Tells that fileName was not written; reason is empty for a file that could not be
    // written, or the words of a job that could not make it (see Failure).
    using FailureReport = std::function<void(const QString &fileName, const QString &reason)>;

    // Thrown by a job that cannot make its file for a reason of its own (an image it cannot
    // have): its words are told in place of the file's.
    struct Failure : std::runtime_error
    {
        using std::runtime_error::runtime_error;
    };

    // Files written at the same time at most: each holds an encoded image in memory.
    static constexpr size_t kThreads = 2;

    explicit FileWriter(FailureReport reportFailure);
    // Waits for every file handed in (failures not yet told are told), then ends its threads.
    ~FileWriter();
    FileWriter(const FileWriter &) = delete;
    FileWriter &operator=(const FileWriter &) = delete;

    // Hands job, which writes fileName, to a writing thread; when no thread can be started,
    // job runs at once on the calling thread.
    void write(Job job, const QString &fileName);

    // Waits until no more than pending files are still on their way and tells the failures of
    // those done. False when one of all the files told of so far could not be written. A job
    // that ran out of memory throws std::bad_alloc here, once its file is taken off the list.
    bool settle(size_t pending = 0);
    // The files handed in that settle has not told of yet.
    size_t pending() const { return m_pending.size(); }

private:
    struct Pending
    {
        QString fileName;
        std::future<bool> written;
    };

    void work();
    // settle(0) that throws nothing: what ran out of memory counts as not written.
    void drain() noexcept;

    FailureReport m_reportFailure;
    std::deque<Pending> m_pending;
    bool m_allWritten = true;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::packaged_task<bool()>> m_queue; // guarded by m_mutex
    bool m_stopping = false; // guarded by m_mutex
    std::vector<std::thread> m_threads;
};

#endif // FILEWRITER_H
