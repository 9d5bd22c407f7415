#ifndef STAMPREADER_H
#define STAMPREADER_H

#include "filelayout.h"
#include "measurementfield.h"

#include <QByteArrayView>
#include <QString>

// Reads the time stamps of a file in one of the formats of FileLayout, as milliseconds since
// 1970-01-01 00:00: the wall-clock time as written, or UTC when the stamp carries its offset
// ("Z", "+02:00", a pattern's time zone, or any epoch stamp). Spaces around a stamp, one
// pair of quotes around it and spaces inside them are dropped. Consecutive lines mostly share their
// date, which the fixed formats read once for every run of lines with the same date characters.
class StampReader
{
public:
    StampReader(FileLayout::TimeFormat format, const QString &pattern);

    bool read(QByteArrayView field, qint64 *msecs);

    // ISO 8601 as "yyyy-MM-dd", "T" or one space, "hh:mm", optional ":ss" with an optional
    // fraction after "." or "," (milliseconds kept, further digits dropped), then optionally
    // "Z" or an offset "+hh:mm" / "-hh:mm".
    static bool parseIso(QByteArrayView text, qint64 *msecs);
    // Seconds since 1970-01-01 00:00 UTC, optional sign and fraction, years 1 to 9999.
    static bool parseEpoch(QByteArrayView text, qint64 *msecs);
    // text read with a Qt date-time pattern; without a time zone in the pattern, as UTC.
    static bool parsePattern(const QString &text, const QString &pattern, qint64 *msecs);

    // The text without spaces around it, one pair of quotes around that, and spaces inside
    // the quotes.
    static QByteArrayView trimmed(QByteArrayView field);

private:
    bool readIso(QByteArrayView text, qint64 *msecs);

    FileLayout::TimeFormat m_format;
    QString m_pattern;
    MeasurementField::TimeStampReader m_default;
    char m_isoDate[10] = {};
    qint64 m_isoDay = 0; // days since 1970-01-01 of m_isoDate
    bool m_isoDateRead = false;
};

#endif // STAMPREADER_H
