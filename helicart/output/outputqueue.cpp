#include "outputqueue.h"

#include "outputfile.h"

#include <QIODevice>

OutputQueue::OutputQueue(QIODevice *diagnostics)
    : m_diagnostics(diagnostics)
    , m_writer([diagnostics](const QString &fileName) {
        diagnostics->write(OutputFile::failureMessage(fileName));
    })
{
    m_held.open(QIODevice::WriteOnly);
}

OutputQueue::~OutputQueue()
{
    settle();
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

void OutputQueue::release()
{
    if (m_held.buffer().isEmpty())
        return;
    m_diagnostics->write(m_held.buffer());
    m_held.buffer().clear();
    m_held.seek(0);
}
