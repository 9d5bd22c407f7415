#ifndef OUTPUTQUEUE_H
#define OUTPUTQUEUE_H

#include "filewriter.h"

#include <QBuffer>
#include <QByteArray>

#include <functional>

class QIODevice;

// The output files of a run on their way out: each file's bytes are made and written on a
// thread of its own while the run goes on with the next column, and yet the diagnostics
// stream reads as if every file had been written the moment it was handed in. A failure is
// told as "Can not write output file: NAME." when the run settles; the warnings written in
// the meantime are held back until then, so that they follow the failures of the files handed
// in before them.
class OutputQueue
{
public:
    // Makes the bytes of a file (on the thread that writes it); empty bytes are a failure.
    using Bytes = std::function<QByteArray()>;

    explicit OutputQueue(QIODevice *diagnostics);
    // Settles: every file handed in is written or told of.
    ~OutputQueue();
    OutputQueue(const OutputQueue &) = delete;
    OutputQueue &operator=(const OutputQueue &) = delete;

    // Where the run writes its warnings: held until the run settles.
    QIODevice *warnings() { return &m_held; }

    // Hands in fileName, to be replaced by what bytes makes (see OutputFile::write).
    void write(const QString &fileName, Bytes bytes);

    // Waits until no more than pending files are on their way, tells the failures of the
    // others in the order they were handed in, then passes the held warnings on. False when
    // one of all the files told of so far could not be written.
    bool settle(size_t pending = 0);
    // Tells text as a line of its own where the run stands: after the failures of the files
    // handed in before, as a warning would be.
    void tell(const QString &text);
    // The files handed in that have not been told of yet.
    size_t pending() const { return m_writer.pending(); }

private:
    void release();

    QIODevice *m_diagnostics;
    QBuffer m_held;
    FileWriter m_writer;
};

#endif // OUTPUTQUEUE_H
