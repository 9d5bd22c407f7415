#ifndef MEASUREMENTFIELD_H
#define MEASUREMENTFIELD_H

#include "utcandlocal.h"
#include <QByteArrayView>

#include <QDateTime>

// Parsers of the two fields of a data line that matter: the time stamp and a value. They run
// once per line and column over files of hundreds of thousands of lines, so they work on the
// raw UTF-8 bytes of the field and never build a QString for ordinary input. They accept
// exactly what Qt's own parsers accept (QDateTime::fromString with "dd/MM/yyyy hh:mm" after
// every "." became "/", and QString::toDouble), with deliberate differences: time stamps
// are wall-clock times with no time zone, date and time are parted by the ASCII space alone
// (newer Qt versions also take a no-break, ideographic or other Unicode space, older ones
// not: no logger writes one), and a value that reads as NaN or an infinity is not a
// measurement.
class MeasurementField
{
public:
    // The longest field that can be a value; a longer one reads as no number.
    static constexpr qsizetype maxFieldBytes = 1024 * 1024;

    struct TimeStamp
    {
        int year = 0;
        int month = 0;
        int day = 0;
        int hour = 0;
        int minute = 0;

        QDate date() const { return QDate(year, month, day); }
        QTime time() const { return QTime::fromMSecsSinceStartOfDay((hour * 60 + minute) * 60000); }
        // Held as UTC so that no daylight-saving rule of the machine can reject or shift it.
        QDateTime dateTime() const { return QDateTime(date(), time(), UtcAndLocal::utc()); }
        // Orders time stamps like their date-times.
        qint64 key() const;
    };

    // Reads the time stamps of consecutive data lines, which mostly share their date: the
    // date is read once for every run of lines with the same date characters. Accepts
    // exactly what parseTimeStamp accepts.
    class TimeStampReader
    {
    public:
        bool read(QByteArrayView field, TimeStamp *stamp);

    private:
        char m_date[11] = {};
        qsizetype m_dateWidth = 0; // 0: no date read yet
        TimeStamp m_stamp; // the date of m_date
    };

    // Reads field as "dd/MM/yyyy hh:mm", where "." may stand for "/". The year may carry a
    // minus sign. False for anything else, including a date or time that does not exist.
    static bool parseTimeStamp(QByteArrayView field, TimeStamp *stamp);

    // Reads field as a finite number in the locale-independent format, surrounding white space
    // allowed. False for anything else, NaN and infinities included (also an overflow such as
    // "1e400", and an underflow of a non-zero number to zero, which Qt rejects as well).
    static bool parseValue(QByteArrayView field, double *value);

    // Digits after the first "." of field, counted in UTF-16 code units as Qt strings count
    // them; 0 when field has no "." or starts with it.
    static int decimals(QByteArrayView field);

    // parseValue and decimals in one look at the field; a field longer than maxFieldBytes is
    // no number and has no decimals.
    static bool readValue(QByteArrayView field, double *value, int *decimals);
};

#endif // MEASUREMENTFIELD_H
