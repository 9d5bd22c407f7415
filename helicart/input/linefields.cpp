#include "linefields.h"

#include <QtEndian>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

LongLine::Fields LineFields::passFields(const FileLayout &layout, QList<int> indexes)
{
    LongLine::Fields fields;
    fields.separator = layout.separator;
    fields.quoting = layout.quoting();
    fields.indexes = std::move(indexes);
    fields.maxFieldBytes = MeasurementField::maxFieldBytes;
    return fields;
}
