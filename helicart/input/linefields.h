#ifndef LINEFIELDS_H
#define LINEFIELDS_H

#include "filelayout.h"
#include "longline.h"
#include "measurementfield.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QtEndian>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// The fields of a data line of the program's own layout (tab-separated, the time stamp first),
// found with as few looks at its bytes as can be: the passes over a file run these once per
// line.
class LineFields
{
public:
    // The first tab from begin on, or end.
    static const char *findTab(const char *begin, const char *end);
    // Field `index` (1 or more) of a line whose field 0 is `stampWidth` characters long; empty
    // when the line has fewer fields.
    static QByteArrayView fieldAt(QByteArrayView line, qsizetype stampWidth, int index);
    // The width of the valid time stamp that begins a line, read into *stamp, or 0.
    static qsizetype readTimeStamp(MeasurementField::TimeStampReader *reader, QByteArrayView line,
        MeasurementField::TimeStamp *stamp);

    // Whether line is valid UTF-8.
    static bool isValidUtf8(QByteArrayView line);
    // field with its decimal comma made a point, in *scratch when it changes.
    static QByteArrayView withDecimalPoint(QByteArrayView field, QByteArray *scratch);

    // What a pass reads of a long line of layout: the fields of indexes (the stamp, and the
    // value of a column when there is one).
    static LongLine::Fields passFields(const FileLayout &layout, QList<int> indexes);

private:
    static bool isAscii(QByteArrayView line);
    static quint64 tabBits(quint64 word);
    static const char *skipTabs(const char *begin, const char *end, int count);
};

// Defined here, so that the passes' inner loops can inline them.

// Fields are a few bytes long: a plain loop beats a call of memchr per field.
inline const char *LineFields::findTab(const char *begin, const char *end)
{
    while (begin != end && *begin != '\t')
        ++begin;
    return begin;
}

// One bit (the high bit of its byte) for every tab among the eight bytes of word.
inline quint64 LineFields::tabBits(quint64 word)
{
    constexpr quint64 low7 = 0x7f7f7f7f7f7f7f7fULL;
    const quint64 x = word ^ 0x0909090909090909ULL; // tabs become zero bytes
    return ~(((x & low7) + low7) | x | low7);
}

// The byte after the count-th tab from begin on, or nullptr when there are fewer tabs.
// Skipping to a parameter column is the inner loop of every column pass, so many bytes are
// looked at in one step.
inline const char *LineFields::skipTabs(const char *begin, const char *end, int count)
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
inline QByteArrayView LineFields::fieldAt(QByteArrayView line, qsizetype stampWidth, int index)
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
inline qsizetype LineFields::readTimeStamp(MeasurementField::TimeStampReader *reader,
    QByteArrayView line, MeasurementField::TimeStamp *stamp)
{
    for (const qsizetype width : { 16, 17 }) {
        if (line.size() == width || (line.size() > width && line.at(width) == '\t'))
            return reader->read(line.first(width), stamp) ? width : 0;
    }
    return 0;
}

#endif // LINEFIELDS_H
