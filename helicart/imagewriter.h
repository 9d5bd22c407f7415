#ifndef IMAGEWRITER_H
#define IMAGEWRITER_H

#include <QString>

#include <deque>
#include <functional>
#include <future>

// Writes the run's output files on threads of their own while the run goes on with the next
// column. Failures are told, through the function given, in the order the files were handed
// in and only when the run settles: so what the run says comes out in the same order whatever
// the threads do.
class ImageWriter
{
public:
    // Encodes and writes one file; false when it could not be written.
    using Job = std::function<bool()>;
    using FailureReport = std::function<void(const QString &fileName)>;

    explicit ImageWriter(FailureReport reportFailure);
    // Waits for every file handed in; failures not yet told are told.
    ~ImageWriter();
    ImageWriter(const ImageWriter &) = delete;
    ImageWriter &operator=(const ImageWriter &) = delete;

    // Starts job, which writes fileName, on a thread of its own (or, when no thread can be
    // had, when the run settles).
    void write(Job job, const QString &fileName);

    // Waits until no more than pending files are still on their way and tells the failures of
    // those done. False when one of all the files told of so far could not be written.
    bool settle(size_t pending = 0);
    // The files handed in that settle has not told of yet.
    size_t pending() const { return m_pending.size(); }

private:
    struct Pending
    {
        QString fileName;
        std::future<bool> written;
    };

    FailureReport m_reportFailure;
    std::deque<Pending> m_pending;
    bool m_allWritten = true;
};

#endif // IMAGEWRITER_H
