#include "imagewriter.h"

ImageWriter::ImageWriter(FailureReport reportFailure)
    : m_reportFailure(std::move(reportFailure))
{ }

ImageWriter::~ImageWriter()
{
    settle();
}

void ImageWriter::write(Job job, const QString &fileName)
{
    // Both policies: libstdc++ starts a thread, and runs the job when it is waited for if no
    // thread can be started.
    m_pending.push_back(
        { fileName, std::async(std::launch::async | std::launch::deferred, std::move(job)) });
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
