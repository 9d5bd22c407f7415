#ifndef PERIOD_H
#define PERIOD_H

#include <QDate>
#include <QString>
#include <QtGlobal>

#include <limits>

// The part of the time a run looks at: from a moment (inclusive) till a moment (exclusive),
// and only in some months of the year. Moments are wall-clock times counted as milliseconds
// since 1970-01-01 00:00, as the stamps of the file read on the clock the hours follow.
class Period
{
public:
    static constexpr quint16 kAllMonths = 0x1FFE; // bit m for month m, 1 to 12
    static constexpr qint64 kEarliest = std::numeric_limits<qint64>::min();
    static constexpr qint64 kLatest = std::numeric_limits<qint64>::max();

    qint64 from = kEarliest;
    qint64 till = kLatest;
    quint16 months = kAllMonths;
    // The texts the user gave, for the chart's texts; empty when not given.
    QString fromText;
    QString tillText;
    QString monthsText;

    // Whether every line is in the period.
    bool isWhole() const { return from == kEarliest && till == kLatest && months == kAllMonths; }
    bool contains(qint64 msecs, int month) const
    {
        return msecs >= from && msecs < till && ((months >> month) & 1) != 0;
    }

    // The moment of a date and a time of day in minutes.
    static qint64 moment(int year, int month, int day, int minuteOfDay);
    // The date of a moment.
    static QDate dateOf(qint64 msecs);
    // An ISO date "2023-06-01" (its midnight) or date-time "2023-06-01T12:00" (a space may
    // stand for the "T", seconds optional); false for anything else.
    static bool parseMoment(const QString &text, qint64 *msecs);
    // A comma-separated list of months 1 to 12 and ranges "6-8", a range wrapping over the
    // year's end when it ends before it starts ("11-2"); false for anything else.
    static bool parseMonths(const QString &text, quint16 *months);
};

#endif // PERIOD_H
