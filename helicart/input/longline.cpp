#include "longline.h"

#include <cstring>

namespace {

constexpr char kQuote = '"';
// A cut field keeps this many bytes more than the longest whole field: dropping a character
// it holds only part of (at most four bytes) leaves it longer than that.
constexpr qsizetype kCharacterRoom = 5;

bool isContinuation(char c)
{
    return (uchar(c) & 0xC0) == 0x80;
}

// Bytes of the UTF-8 character that begins with lead; 1 for anything else.
int characterLength(char lead)
{
    const uchar c = uchar(lead);
    return c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
}

} // namespace

void LongLine::clear()
{
    m_kept.clear();
    m_field = 0;
    m_keeping = m_fields.indexes.contains(0);
    m_fieldBytes = 0;
    m_fieldStart = 0;
    m_quoting = Quoting::None;
    m_done = false;
    m_endsInReturn = false;
}

const char *LongLine::take(const char *p, const char *end)
{
    const char *lineFeed = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
    const char *stop = lineFeed ? lineFeed : end;
    if (stop > p)
        m_endsInReturn = stop[-1] == '\r';
    const char separator = m_fields.separator;
    while (p != stop && !m_done) {
        // Outside quotes a field runs to the next separator: taken in one piece.
        if (m_quoting != Quoting::None || (m_fields.quoting && m_fieldBytes == 0 && *p == kQuote)) {
            takeByte(*p++);
            continue;
        }
        const auto *found = static_cast<const char *>(std::memchr(p, separator, size_t(stop - p)));
        const char *fieldEnd = found ? found : stop;
        keep(p, fieldEnd - p);
        p = fieldEnd;
        if (found) {
            endField();
            ++p;
        }
    }
    return lineFeed;
}

void LongLine::takeByte(char c)
{
    const bool quoting = m_fields.quoting;
    if (m_quoting == Quoting::QuoteSeen)
        m_quoting = c == kQuote ? Quoting::InQuotes : Quoting::None;
    else if (m_quoting == Quoting::InQuotes && c == kQuote)
        m_quoting = Quoting::QuoteSeen;
    else if (quoting && m_fieldBytes == 0 && c == kQuote)
        m_quoting = Quoting::InQuotes;
    if (c == m_fields.separator && m_quoting == Quoting::None) {
        endField();
        return;
    }
    keep(&c, 1);
}

// Keeps what the field being read has room for of size bytes at p.
void LongLine::keep(const char *p, qsizetype size)
{
    if (m_keeping) {
        const qsizetype room = m_fields.maxFieldBytes + kCharacterRoom - m_fieldBytes;
        if (room > 0)
            m_kept.append(p, qMin(room, size));
    }
    m_fieldBytes += size;
}

// A cut field loses the character it holds only part of.
void LongLine::trimCut()
{
    if (!m_keeping || m_fieldBytes <= m_fields.maxFieldBytes + kCharacterRoom)
        return;
    qsizetype tail = 0;
    while (tail < 3 && m_kept.size() - tail > m_fieldStart
        && isContinuation(m_kept.at(m_kept.size() - 1 - tail)))
        ++tail;
    const qsizetype lead = m_kept.size() - 1 - tail;
    if (lead >= m_fieldStart && characterLength(m_kept.at(lead)) > tail + 1)
        m_kept.truncate(lead);
}

// Ends the field being read; after the last field asked for nothing more is kept.
void LongLine::endField()
{
    trimCut();
    if (m_field >= m_fields.indexes.constLast()) {
        m_done = true;
        return;
    }
    m_kept.append(m_fields.separator);
    ++m_field;
    m_keeping = m_fields.indexes.contains(m_field);
    m_fieldBytes = 0;
    m_fieldStart = m_kept.size();
    m_quoting = Quoting::None;
}

QByteArrayView LongLine::line()
{
    // The line's last byte is kept only when the line ended inside a whole field asked for.
    if (!m_done) {
        if (m_endsInReturn && m_keeping && m_fieldBytes <= m_fields.maxFieldBytes + kCharacterRoom)
            m_kept.chop(1);
        trimCut();
    }
    return QByteArrayView(m_kept);
}
