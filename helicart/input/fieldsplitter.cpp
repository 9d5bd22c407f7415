#include "fieldsplitter.h"

#include <QString>
#include <QtAlgorithms>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

constexpr char kQuote = '"';

// The byte after the count-th separator from begin on, nullptr when there are fewer, or end
// with *quoted set when a quote comes first (the slow path then reads the line). Many bytes
// are looked at in one step: skipping to a column is the inner loop of a column pass.
const char *skipSeparators(
    const char *begin, const char *end, int count, char separator, char quote, bool *quoted)
{
#ifdef __SSE2__
    const __m128i sep = _mm_set1_epi8(separator);
    const __m128i quo = _mm_set1_epi8(quote);
    while (end - begin >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(begin));
        const auto seps = uint(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, sep)));
        const auto quotes = uint(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, quo)));
        for (uint bits = seps | quotes; bits; bits &= bits - 1) {
            const uint lowest = bits & (~bits + 1);
            if (quotes & lowest & ~seps) {
                *quoted = true;
                return end;
            }
            if (--count == 0)
                return begin + qCountTrailingZeroBits(bits) + 1;
        }
        begin += 16;
    }
#endif
    for (; begin != end; ++begin) {
        if (*begin == separator) {
            if (--count == 0)
                return begin + 1;
        } else if (*begin == quote) {
            *quoted = true;
            return end;
        }
    }
    return nullptr;
}

const char *findByte(const char *begin, const char *end, char byte)
{
    while (begin != end && *begin != byte)
        ++begin;
    return begin;
}

// The first separator or quote in [begin, end), or end. A time stamp is some twenty bytes
// long: sixteen at a time, as far as they go.
const char *findEither(const char *begin, const char *end, char separator, char quote)
{
#ifdef __SSE2__
    const __m128i sep = _mm_set1_epi8(separator);
    const __m128i quo = _mm_set1_epi8(quote);
    for (; end - begin >= 16; begin += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(begin));
        const auto found = uint(_mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(bytes, sep), _mm_cmpeq_epi8(bytes, quo))));
        if (found)
            return begin + qCountTrailingZeroBits(found);
    }
#endif
    while (begin != end && *begin != separator && *begin != quote)
        ++begin;
    return begin;
}

} // namespace

QByteArrayView FieldSplitter::field(QByteArrayView line, int index, QByteArray *scratch) const
{
    const char *begin = line.data();
    const char *end = begin + line.size();
    // Without quoting the quote is looked for as the separator itself: never "first".
    const char quote = m_quoting ? kQuote : m_separator;
    bool quoted = false;
    const char *start = begin;
    if (index > 0)
        start = skipSeparators(begin, end, index, m_separator, quote, &quoted);
    if (quoted || (m_quoting && start && start != end && *start == kQuote))
        return quotedField(begin, end, index, scratch);
    if (!start)
        return QByteArrayView();
    const char *stop = findEither(start, end, m_separator, quote);
    if (stop != end && *stop != m_separator)
        return quotedField(begin, end, index, scratch);
    return QByteArrayView(start, stop - start);
}

// Reads the field that starts at p, unquoted into *out when out is not null; returns where it
// ends (its separator, or end).
const char *FieldSplitter::readField(const char *p, const char *end, QByteArray *out) const
{
    if (p == end || *p != kQuote) {
        const char *stop = findByte(p, end, m_separator);
        if (out)
            out->append(p, stop - p);
        return stop;
    }
    for (++p; p != end; ++p) {
        if (*p == kQuote) {
            if (p + 1 == end || p[1] != kQuote) {
                ++p;
                break;
            }
            ++p; // a doubled quote stands for one
        }
        if (out)
            out->append(*p);
    }
    const char *stop = findByte(p, end, m_separator);
    if (out)
        out->append(p, stop - p);
    return stop;
}

// Walks the fields one by one, quotes and all.
QByteArrayView FieldSplitter::quotedField(
    const char *begin, const char *end, int index, QByteArray *scratch) const
{
    const char *p = begin;
    for (int i = 0; i < index; ++i) {
        p = readField(p, end, nullptr);
        if (p == end)
            return QByteArrayView();
        ++p;
    }
    scratch->clear();
    readField(p, end, scratch);
    return QByteArrayView(*scratch);
}

QStringList FieldSplitter::split(QByteArrayView line) const
{
    const char *p = line.data();
    const char *end = p + line.size();
    if (!m_quoting || findByte(p, end, kQuote) == end)
        return QString::fromUtf8(line).split(QLatin1Char(m_separator), Qt::KeepEmptyParts);
    QStringList fields;
    QByteArray text;
    for (;;) {
        text.clear();
        p = readField(p, end, &text);
        fields << QString::fromUtf8(text);
        if (p == end)
            return fields;
        ++p;
    }
}
