#include "outputqueue.h"

#include "outputfile.h"

#include <QIODevice>

OutputQueue::OutputQueue(QIODevice *diagnostics)
    : m_diagnostics(diagnostics)
    , m_writer([diagnostics](const QString &fileName, const QString &reason) {
        diagnostics->write(
            reason.isEmpty() ? OutputFile::failureMessage(fileName) : reason.toLocal8Bit() + '\n');
    })
{
    m_held.open(QIODevice::WriteOnly);
}

OutputQueue::~OutputQueue()
{
    // Memory that ran out while a file was made ends the run, not the program: the files
    // still on their way are waited for all the same (the writer does it as it ends).
    try {
        settle();
    } catch (...) {
        try {
            release();
        } catch (...) { }
    }
}

void OutputQueue::write(const QString &fileName, Bytes bytes)
{
    m_writer.write(
        [fileName, bytes = std::move(bytes)] { return OutputFile::write(fileName, bytes()); },
        fileName);
}

bool OutputQueue::settle(size_t pending)
{
    const bool written = m_writer.settle(pending);
    release();
    return written;
}

void OutputQueue::tell(const QString &text)
{
    m_held.write(text.toLocal8Bit() + '\n');
}

void OutputQueue::release()
{
    if (m_held.buffer().isEmpty())
        return;
    m_diagnostics->write(m_held.buffer());
    m_held.buffer().clear();
    m_held.seek(0);
}
