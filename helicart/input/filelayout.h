#ifndef FILELAYOUT_H
#define FILELAYOUT_H

#include "stampclock.h"

#include <QList>
#include <QString>

// How a measurement file is laid out, and which clock its hours follow. The default is the
// program's own layout: fields parted by tabs, a header of eight rows (or one chained line),
// time stamps "dd.MM.yyyy hh:mm" ("." or "/"), values with a decimal point, stamps taken as
// written. Everything else is asked for with an option and read on a path of its own, so
// that the default keeps its speed.
struct FileLayout
{
    enum class Header {
        Rows, // eight header rows, or one chained line
        Plain, // one line of column labels, "NAME [UNIT]" giving a unit too
    };
    enum class TimeFormat {
        Default, // "dd.MM.yyyy hh:mm", "." or "/" in the date
        Iso, // ISO 8601: date, "T" or a space, hh:mm[:ss[.fff]], optional Z or +hh:mm
        Epoch, // seconds since 1970-01-01 00:00 UTC, optional fraction
        Pattern, // a Qt date-time pattern, read by QDateTime::fromString
    };

    Header header = Header::Rows;
    // The station text of every column; empty: header row 4 (a plain header has none).
    QString station;
    char separator = '\t';
    bool decimalComma = false;
    TimeFormat timeFormat = TimeFormat::Default;
    QString pattern; // of TimeFormat::Pattern
    QList<double> missing; // values that count as unknown
    StampClock clock;

    // Fields may be quoted as RFC 4180 says wherever the separator is not the tab.
    bool quoting() const { return separator != '\t'; }
    // Whether the file is read as the program's own layout, on its fast path.
    bool isDefault() const
    {
        return header == Header::Rows && separator == '\t' && !decimalComma
            && timeFormat == TimeFormat::Default && missing.isEmpty() && clock.isAsWritten();
    }
};

#endif // FILELAYOUT_H
