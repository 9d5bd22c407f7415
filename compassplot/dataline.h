#ifndef DATALINE_H
#define DATALINE_H

#include <QDateTime>
#include <QString>
#include <QStringList>

// The records of the chart's own text format. A header record holds one field of parts
// separated by "->" (source -> station -> parameter -> code -> ... -> unit); a data record holds
// year, month, day, hour, minute, direction, value and an optional hexadecimal status.
class DataLine
{
public:
    struct Header
    {
        QString station;
        QString parameter; // "name (code)"
        QString unit;
    };

    enum Kind {
        Ignored, // fewer than two fields
        Short, // fewer than seven fields
        Rejected, // a status of 0x100 or more
        Measurement,
    };

    struct Record
    {
        Kind kind = Ignored;
        double value = 0.0;
        double direction = 0.0;
        QDateTime time; // invalid for an impossible date or time
    };

    // How many data records a chart has read, and how many of them were short or rejected.
    struct Counts
    {
        int read = 0;
        int shortLines = 0;
        int rejected = 0;

        // Counts a data record of the given kind.
        void count(Kind kind);
    };

    // The texts of a header record whose first field has exactly six parts; false otherwise.
    static bool header(const QStringList &fields, Header *header);
    // A data record; numbers that cannot be read count as 0.
    static Record record(const QStringList &fields);
};

#endif // DATALINE_H
