#include "timescalerounding.h"

#include "numeric.h"
#include "utcandlocal.h"

#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include <algorithm>

namespace {

constexpr char kSecondsFormat[] = "hh:mm:ss\ndd.MM.\nyyyy";
constexpr char kMinutesFormat[] = "hh:mm\ndd.MM.\nyyyy";
constexpr char kHoursFormat[] = "hh:00\ndd.MM.\nyyyy";
constexpr char kDaysFormat[] = "dd.MM.\nyyyy";
constexpr char kMonthsFormat[] = "MM.\nyyyy";
constexpr char kYearsFormat[] = "yyyy";

// Spans up to this many seconds are shown second by second, unrounded.
constexpr qint64 kUnroundedSpan = 30;

constexpr int kMinute = Numeric::secondsPerMinute;
constexpr int kHour = Numeric::secondsPerHour;
constexpr int kDay = Numeric::secondsPerDay;
// Calendar units of roundDateTime, counted in fixed lengths.
constexpr int kMonth = 28 * kDay;
constexpr int kYear = 365 * kDay;

enum class Field { Second, Minute, Hour };

struct LadderRow
{
    qint64 maximumSpan; // seconds
    Field field;
    int step; // in units of field; also the grid length
    const char *fmt;
};

// The first row whose maximumSpan the span does not exceed applies; longer spans are rounded
// to calendar days, months or years.
constexpr LadderRow kLadder[] = {
    { 60, Field::Second, 2, kSecondsFormat },
    { 120, Field::Second, 5, kSecondsFormat },
    { 1800, Field::Minute, 1, kMinutesFormat },
    { 3600, Field::Minute, 2, kMinutesFormat },
    { 7200, Field::Minute, 5, kMinutesFormat },
    { 43200, Field::Minute, 30, kMinutesFormat },
    { 86400, Field::Hour, 1, kHoursFormat },
    { 172800, Field::Hour, 2, kHoursFormat },
    { 604800, Field::Hour, 6, kHoursFormat },
    { 1209600, Field::Hour, 12, kHoursFormat },
};

int unitSeconds(Field field)
{
    switch (field) {
    case Field::Second:
        return 1;
    case Field::Minute:
        return kMinute;
    case Field::Hour:
        return kHour;
    }
    return 1;
}

int fieldValue(const QTime &t, Field field)
{
    switch (field) {
    case Field::Second:
        return t.second();
    case Field::Minute:
        return t.minute();
    case Field::Hour:
        return t.hour();
    }
    return 0;
}

void clearSecondsUp(QDateTime &dt)
{
    if (const int s = dt.time().second())
        dt = dt.addSecs(kMinute - s);
}

void clearMinutesUp(QDateTime &dt)
{
    if (const int m = dt.time().minute())
        dt = dt.addSecs(qint64(kHour) - qint64(m) * kMinute);
}

void clearHoursUp(QDateTime &dt)
{
    if (const int h = dt.time().hour())
        dt = dt.addSecs(qint64(kDay) - qint64(h) * kHour);
}

// Seconds from the start of dt's day.
qint64 secondsOfDay(const QDateTime &dt)
{
    const QTime t = dt.time();
    return qint64(t.hour()) * kHour + t.minute() * kMinute + t.second();
}

// Rows counting seconds round only the second and leave the minute alone.
void moveEndUp(QDateTime &end, const LadderRow &row)
{
    if (row.field != Field::Second)
        clearSecondsUp(end);
    if (row.field == Field::Hour)
        clearMinutesUp(end);
    const int rest = fieldValue(end.time(), row.field) % row.step;
    if (rest != 0)
        end = end.addSecs(qint64(row.step - rest) * unitSeconds(row.field));
}

void moveBeginDown(QDateTime &begin, const LadderRow &row)
{
    const QTime t = begin.time();
    qint64 back = qint64(fieldValue(t, row.field) % row.step) * unitSeconds(row.field);
    if (row.field != Field::Second)
        back += t.second();
    if (row.field == Field::Hour)
        back += qint64(t.minute()) * kMinute;
    begin = begin.addSecs(-back);
}

void roundOnLadder(QDateTime &begin, QDateTime &end, qint64 span, const LadderRow &row,
    int &gridCount, int &gridLength, QString &fmt)
{
    moveEndUp(end, row);
    begin = end.addSecs(-span);
    moveBeginDown(begin, row);
    gridCount
        = Numeric::clampToInt(begin.secsTo(end) / (qint64(row.step) * unitSeconds(row.field)));
    gridLength = row.step;
    fmt = QString::fromLatin1(row.fmt);
}

QDateTime firstOfMonth(const QDateTime &dt)
{
    return dt.addDays(1 - dt.date().day());
}

void roundToMonthsOrYears(
    QDateTime &begin, QDateTime &end, qint64 months, int &gridCount, QString &fmt)
{
    begin = firstOfMonth(begin);
    if (end.date().day() >= 2)
        end = firstOfMonth(end).addMonths(1);
    if (months > 24) {
        begin = begin.addMonths(1 - begin.date().month());
        if (end.date().month() >= 2)
            end = end.addMonths(1 - end.date().month()).addYears(1);
        gridCount = Numeric::clampToInt(qint64(end.date().year()) - begin.date().year());
        fmt = QString::fromLatin1(kYearsFormat);
        return;
    }
    const qint64 alignedMonths = (qint64(end.date().year()) - begin.date().year()) * 12
        + end.date().month() - begin.date().month();
    gridCount = Numeric::clampToInt(alignedMonths);
    fmt = QString::fromLatin1(kMonthsFormat);
}

void roundOnCalendar(
    QDateTime &begin, QDateTime &end, qint64 span, int &gridCount, int &gridLength, QString &fmt)
{
    clearSecondsUp(end);
    clearMinutesUp(end);
    clearHoursUp(end);
    begin = end.addSecs(-span);
    begin = begin.addSecs(-secondsOfDay(begin));

    const QDate b = begin.date();
    const QDate e = end.date();
    const qint64 months = (qint64(e.year()) - b.year()) * 12 - b.month() + e.month();
    const qint64 days = months * 30 - b.day() + e.day();
    gridLength = 1;
    if (days <= 30) {
        gridCount = Numeric::clampToInt(begin.daysTo(end));
        fmt = QString::fromLatin1(kDaysFormat);
    } else if (days <= 59) {
        if (begin.daysTo(end) % 2 != 0)
            begin = begin.addDays(-1);
        gridCount = Numeric::clampToInt(begin.daysTo(end) / 2);
        gridLength = 2;
        fmt = QString::fromLatin1(kDaysFormat);
    } else {
        roundToMonthsOrYears(begin, end, months, gridCount, fmt);
    }
}

// The date-time in model's time (local or a zone) whose instant is msecs since the epoch.
QDateTime atInstant(const QDateTime &model, qint64 msecs)
{
    QDateTime result = model;
    result.setMSecsSinceEpoch(msecs);
    return result;
}

// The date-time in model's time (local or a zone) at the moment its clock jumped over date
// and time, fields that name a wall-clock time the zone skipped when its clock was put
// forward: a boundary at 02:00 on the night the clock goes from 02:00 to 03:00 reads 03:00.
QDateTime skippedWallClockTime(const QDateTime &model, const QDate &date, const QTime &time)
{
    // The fields read as UTC, moved back by the offset in force before the jump (a day
    // earlier no zone has jumped twice).
    const qint64 wall = QDateTime(date, time, UtcAndLocal::utc()).toMSecsSinceEpoch();
    const int before = atInstant(model, wall - qint64(kDay) * 1000).offsetFromUtc();
    return atInstant(model, wall - qint64(before) * 1000);
}

// A date-time with the given fields in the same kind of time as model (local, UTC, offset
// or zone), so that rounding never moves it into another zone. Only fields the zone skipped
// give Qt no date-time.
QDateTime sameZone(const QDateTime &model, const QDate &date, const QTime &time)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    const QDateTime result(date, time, model.timeRepresentation());
#else
    const QDateTime result = model.timeSpec() == Qt::TimeZone
        ? QDateTime(date, time, model.timeZone())
        : QDateTime(date, time, model.timeSpec(), model.offsetFromUtc());
#endif
    if (result.isValid() || !date.isValid() || !time.isValid())
        return result;
    return skippedWallClockTime(model, date, time);
}

// year - year mod n, kept off the year 0 that QDate does not have.
int yearBoundary(int year, int n)
{
    const int boundary = year - year % n;
    if (boundary != 0)
        return boundary;
    return year > 0 ? 1 : -1;
}

// Day, month and year intervals: the fields below the counted one drop to their first value.
// Day and month boundaries below the first day or month stay on the first one, since day
// and month numbers start at 1.
void roundCalendarFields(int intervalLength, int &year, int &month, int &day, bool &up)
{
    if (intervalLength < kMonth) {
        up = false;
        const int n = intervalLength / kDay;
        day = std::max(1, day - day % n);
    } else if (intervalLength < kYear) {
        const int n = intervalLength / kMonth;
        if (month % n != 0) {
            month = std::max(1, month - month % n);
            up = false;
        } else if (day == 1) {
            up = false;
        }
        day = 1;
    } else {
        const int n = intervalLength / kYear;
        if (year % n != 0) {
            year = yearBoundary(year, n);
            up = false;
        } else if (day == 1 && month == 1) {
            up = false;
        }
        day = 1;
        month = 1;
    }
}

// Second, minute and hour intervals.
void roundClockFields(int intervalLength, int &hour, int &minute, int &second, bool &up)
{
    if (intervalLength < kMinute) {
        if (second % intervalLength != 0)
            second -= second % intervalLength;
        else
            up = false;
    } else if (intervalLength < kHour) {
        const int n = intervalLength / kMinute;
        if (minute % n != 0)
            minute -= minute % n;
        else if (second == 0)
            up = false;
        second = 0;
    } else {
        const int n = intervalLength / kHour;
        if (hour % n != 0)
            hour -= hour % n;
        else if (second == 0 && minute == 0)
            up = false;
        minute = 0;
        second = 0;
    }
}

QDateTime addInterval(const QDateTime &dt, int intervalLength)
{
    if (intervalLength < kDay)
        return dt.addSecs(intervalLength);
    if (intervalLength < kMonth)
        return dt.addDays(intervalLength / kDay);
    if (intervalLength < kYear)
        return dt.addMonths(intervalLength / kMonth);
    return dt.addYears(intervalLength / kYear);
}

} // namespace

namespace TimeScaleRounding {

void roundTimeScale(QDateTime &begin, QDateTime &end, int &gridCount, int &gridLength, QString &fmt)
{
    if (!begin.isValid() || !end.isValid()) {
        gridCount = 1;
        gridLength = 0;
        fmt = QString::fromLatin1(kSecondsFormat);
        return;
    }
    const qint64 span = begin.secsTo(end);
    if (span <= kUnroundedSpan) {
        gridCount = Numeric::clampToInt(span);
        gridLength = 1;
        fmt = QString::fromLatin1(kSecondsFormat);
        return;
    }
    for (const LadderRow &row : kLadder) {
        if (span <= row.maximumSpan) {
            roundOnLadder(begin, end, span, row, gridCount, gridLength, fmt);
            return;
        }
    }
    roundOnCalendar(begin, end, span, gridCount, gridLength, fmt);
}

void roundDateTime(QDateTime &dt, int intervalLength, bool up)
{
    if (intervalLength < 1 || !dt.isValid())
        return;
    const QDate date = dt.date();
    const QTime time = dt.time();
    int year = date.year();
    int month = date.month();
    int day = date.day();
    int hour = time.hour();
    int minute = time.minute();
    int second = time.second();

    if (intervalLength < kDay) {
        roundClockFields(intervalLength, hour, minute, second, up);
    } else {
        roundCalendarFields(intervalLength, year, month, day, up);
        if (hour != 0 || minute != 0 || second != 0) {
            hour = minute = second = 0;
            up = false;
        }
    }
    dt = sameZone(dt, QDate(year, month, day), QTime(hour, minute, second));
    if (up)
        dt = addInterval(dt, intervalLength);
}

} // namespace TimeScaleRounding
