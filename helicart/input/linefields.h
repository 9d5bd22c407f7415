#ifndef LINEFIELDS_H
#define LINEFIELDS_H

#include "measurementfield.h"

#include <QByteArray>
#include <QByteArrayView>

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

private:
    static bool isAscii(QByteArrayView line);
    static quint64 tabBits(quint64 word);
    static const char *skipTabs(const char *begin, const char *end, int count);
};

#endif // LINEFIELDS_H
