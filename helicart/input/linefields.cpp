#include "linefields.h"

#include <QtEndian>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// Fields are a few bytes long: a plain loop beats a call of memchr per field.
const char *LineFields::findTab(const char *begin, const char *end)
{
    while (begin != end && *begin != '\t')
        ++begin;
    return begin;
}

// One bit (the high bit of its byte) for every tab among the eight bytes of word.
quint64 LineFields::tabBits(quint64 word)
{
    constexpr quint64 low7 = 0x7f7f7f7f7f7f7f7fULL;
    const quint64 x = word ^ 0x0909090909090909ULL; // tabs become zero bytes
    return ~(((x & low7) + low7) | x | low7);
}

// The byte after the count-th tab from begin on, or nullptr when there are fewer tabs.
// Skipping to a parameter column is the inner loop of every column pass, so many bytes are
// looked at in one step.
const char *LineFields::skipTabs(const char *begin, const char *end, int count)
{
#ifdef __SSE2__
    const __m128i tab = _mm_set1_epi8('\t');
    while (end - begin >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(begin));
        for (auto tabs = uint(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, tab))); tabs;
             tabs &= tabs - 1) {
            if (--count == 0)
                return begin + qCountTrailingZeroBits(tabs) + 1;
        }
        begin += 16;
    }
#endif
    while (end - begin >= 8) {
        for (quint64 tabs = tabBits(qFromLittleEndian<quint64>(begin)); tabs; tabs &= tabs - 1) {
            if (--count == 0)
                return begin + qCountTrailingZeroBits(tabs) / 8 + 1;
        }
        begin += 8;
    }
    for (; begin != end; ++begin) {
        if (*begin == '\t' && --count == 0)
            return begin + 1;
    }
    return nullptr;
}

// Field `index` (1 or more) of a line whose field 0 is `stampWidth` characters long; empty
// when the line has fewer fields.
QByteArrayView LineFields::fieldAt(QByteArrayView line, qsizetype stampWidth, int index)
{
    if (index < 1 || stampWidth >= line.size())
        return QByteArrayView();
    const char *end = line.data() + line.size();
    const char *begin = line.data() + stampWidth + 1;
    if (index > 1)
        begin = skipTabs(begin, end, index - 1);
    if (!begin)
        return QByteArrayView();
    return QByteArrayView(begin, findTab(begin, end) - begin);
}

// The width of the valid time stamp that begins a line, or 0. A valid one is 16 or 17
// characters long and holds no tab, so only those two widths of field 0 need a look.
qsizetype LineFields::readTimeStamp(MeasurementField::TimeStampReader *reader, QByteArrayView line,
    MeasurementField::TimeStamp *stamp)
{
    for (const qsizetype width : { 16, 17 }) {
        if (line.size() == width || (line.size() > width && line.at(width) == '\t'))
            return reader->read(line.first(width), stamp) ? width : 0;
    }
    return 0;
}

// Most lines are plain ASCII, which is valid UTF-8: their high bits, gathered many bytes at a
// time, settle that before Qt's full check is asked. The last load may overlap the one before
// it, which leaves the gathered bits as they are.
bool LineFields::isAscii(QByteArrayView line)
{
    const char *p = line.data();
    const qsizetype size = line.size();
#ifdef __SSE2__
    if (size >= 16) {
        const auto load
            = [](const char *at) { return _mm_loadu_si128(reinterpret_cast<const __m128i *>(at)); };
        __m128i bits = load(p + size - 16);
        for (const char *end = p + size - 16; p < end; p += 16)
            bits = _mm_or_si128(bits, load(p));
        return _mm_movemask_epi8(bits) == 0;
    }
#endif
    quint64 bits = 0;
    if (size >= 8) {
        bits = qFromUnaligned<quint64>(p + size - 8);
        for (const char *end = p + size - 8; p < end; p += 8)
            bits |= qFromUnaligned<quint64>(p);
    } else {
        for (qsizetype i = 0; i < size; ++i)
            bits |= uchar(p[i]);
    }
    return (bits & 0x8080808080808080ULL) == 0;
}

bool LineFields::isValidUtf8(QByteArrayView line)
{
    return isAscii(line) || line.isValidUtf8();
}

// field with its decimal comma made a point; a point in it becomes a comma, which no number
// holds, so that "1.234" is not taken for a fraction.
QByteArrayView LineFields::withDecimalPoint(QByteArrayView field, QByteArray *scratch)
{
    if (!field.contains(',') && !field.contains('.'))
        return field;
    *scratch = field.toByteArray();
    for (char &c : *scratch) {
        if (c == ',')
            c = '.';
        else if (c == '.')
            c = ',';
    }
    return QByteArrayView(*scratch);
}
