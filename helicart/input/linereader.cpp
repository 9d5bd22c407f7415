#include "linereader.h"

#include <QIODevice>

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// The first line feed in [begin, end), or nullptr. Lines are short: a call of memchr per
// line costs more than looking at 16 bytes at a time here.
const char *findLineFeed(const char *begin, const char *end)
{
#ifdef __SSE2__
    const __m128i lineFeed = _mm_set1_epi8('\n');
    for (; end - begin >= 16; begin += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(begin));
        const int found = _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lineFeed));
        if (found)
            return begin + qCountTrailingZeroBits(uint(found));
    }
#endif
    return static_cast<const char *>(std::memchr(begin, '\n', size_t(end - begin)));
}

} // namespace

LineReader::LineReader(QIODevice *device, qsizetype bufferSize)
    : m_device(device)
    , m_buffer(size_t(qMax<qsizetype>(bufferSize, 1)))
{ }

bool LineReader::atEnd()
{
    if (m_begin < m_end)
        return false;
    if (!m_deviceAtEnd)
        fill();
    return m_begin == m_end;
}

QByteArrayView LineReader::readLine()
{
    qsizetype scanned = 0; // bytes after m_begin known to hold no line feed
    const char *lineEnd = nullptr;
    for (;;) {
        lineEnd = findLineFeed(m_buffer.data() + m_begin + scanned, m_buffer.data() + m_end);
        if (lineEnd || m_deviceAtEnd)
            break;
        scanned = m_end - m_begin;
        if (m_longLineBytes > 0 && scanned >= m_longLineBytes)
            return readLongLine();
        fill();
    }
    const char *begin = m_buffer.data() + m_begin;
    const char *end = lineEnd ? lineEnd : m_buffer.data() + m_end;
    m_begin = lineEnd ? lineEnd + 1 - m_buffer.data() : m_end;
    if (end > begin && end[-1] == '\r')
        --end;
    return QByteArrayView(begin, end - begin);
}

void LineReader::setFieldsRead(const LongLine::Fields &fields)
{
    m_longLine = LongLine(fields);
    m_longLineBytes = fields.indexes.isEmpty() ? 0 : 2 * qMax<qsizetype>(fields.maxFieldBytes, 1);
}

// Hands the rest of the line through the long line's filter, a buffer at a time.
QByteArrayView LineReader::readLongLine()
{
    m_longLine.clear();
    for (;;) {
        const char *begin = m_buffer.data() + m_begin;
        const char *lineFeed = m_longLine.take(begin, m_buffer.data() + m_end);
        if (lineFeed) {
            m_begin = lineFeed + 1 - m_buffer.data();
            break;
        }
        m_begin = m_end;
        if (m_deviceAtEnd)
            break;
        fill();
    }
    return m_longLine.line();
}

bool LineReader::seek(qint64 pos)
{
    m_begin = m_end = 0;
    m_bufferPos = pos;
    m_deviceAtEnd = false;
    // A sequential device cannot go back; asking it would only earn a warning from Qt.
    if (!m_device->isSequential() && m_device->seek(pos))
        return true;
    m_deviceAtEnd = true;
    m_failed = true;
    return false;
}

// Moves the unread bytes to the front, grows the buffer when a line fills it, and reads
// as much as fits.
void LineReader::fill()
{
    if (m_begin > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_begin, size_t(m_end - m_begin));
        m_bufferPos += m_begin;
        m_end -= m_begin;
        m_begin = 0;
    }
    if (m_end == qsizetype(m_buffer.size()))
        m_buffer.resize(m_buffer.size() * 2);
    const qint64 read = m_device->read(m_buffer.data() + m_end, qint64(m_buffer.size()) - m_end);
    if (read > 0) {
        m_end += read;
        return;
    }
    // Nothing more: the end of the device, or an error (which is no end of the data).
    m_deviceAtEnd = true;
    if (read < 0)
        m_failed = true;
}
