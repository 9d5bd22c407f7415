#ifndef LINEREADER_H
#define LINEREADER_H

#include "longline.h"

#include <QByteArrayView>
#include <QtGlobal>

#include <vector>

class QIODevice;

// Reads a device line by line through a buffer of its own. The buffer grows only to hold the
// longest line, so memory does not depend on the length of the file. A line ends at "\n";
// one "\r" before it, or before the end of the device, is dropped, as QTextStream::readLine
// does. Lines are handed out as raw bytes: decoding is left to the caller, who decodes only
// what it keeps. A line longer than twice the longest field (see setFieldsRead) is not held
// whole: only the fields the caller reads are kept of it, each cut when it is too long, so that
// memory stays bounded whatever a line holds.
class LineReader
{
public:
    static constexpr qsizetype defaultBufferSize = 256 * 1024;

    explicit LineReader(QIODevice *device, qsizetype bufferSize = defaultBufferSize);

    // True when no byte is left to read, or when the device failed.
    bool atEnd();

    // True once a read or a seek of the device has failed (a device that cannot seek, such as
    // a pipe, fails at the first seek). What was read up to there has been handed out; the
    // lines end there, and the failure stays set.
    bool failed() const { return m_failed; }

    // The next line without its terminator; empty at the end. The view stays valid until
    // the next call of readLine, atEnd or seek.
    QByteArrayView readLine();

    // The fields of a line the caller reads from now on; a long line keeps only those (empty
    // indexes, the default: every line is kept whole).
    void setFieldsRead(const LongLine::Fields &fields);

    // Device position of the first byte not yet handed out.
    qint64 pos() const { return m_bufferPos + m_begin; }

    // Moves to device position pos and forgets what was buffered; false when the device
    // cannot (which counts as a failure).
    bool seek(qint64 pos);

private:
    void fill();
    QByteArrayView readLongLine();

    QIODevice *m_device;
    std::vector<char> m_buffer;
    qsizetype m_begin = 0; // first byte not yet handed out
    qsizetype m_end = 0; // end of the bytes read into the buffer
    qint64 m_bufferPos = 0; // device position of m_buffer[0]
    bool m_deviceAtEnd = false;
    bool m_failed = false;
    LongLine m_longLine { LongLine::Fields() };
    qsizetype m_longLineBytes = 0; // 0: no line is long
};

#endif // LINEREADER_H
