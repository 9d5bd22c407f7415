#include "period.h"

#include <QStringList>
#include <QTime>

#include <algorithm>

namespace {

constexpr qint64 kMSecsPerDay = 24 * 60 * 60 * 1000;
constexpr qint64 kJulianDayOfEpoch = 2440588; // 1970-01-01

// A month number 1 to 12, digits only.
int monthNumber(const QString &text)
{
    bool ok = false;
    const QString trimmed = text.trimmed();
    const int month = trimmed.toInt(&ok, 10);
    const bool digits = !trimmed.isEmpty()
        && std::all_of(trimmed.begin(), trimmed.end(), [](QChar c) { return c.isDigit(); });
    return ok && digits && month >= 1 && month <= 12 ? month : 0;
}

} // namespace

qint64 Period::moment(int year, int month, int day, int minuteOfDay)
{
    const qint64 days = QDate(year, month, day).toJulianDay() - kJulianDayOfEpoch;
    return days * kMSecsPerDay + qint64(minuteOfDay) * 60000;
}

QDate Period::dateOf(qint64 msecs)
{
    qint64 days = msecs / kMSecsPerDay;
    if (msecs % kMSecsPerDay < 0)
        --days;
    return QDate::fromJulianDay(days + kJulianDayOfEpoch);
}

bool Period::parseMoment(const QString &text, qint64 *msecs)
{
    const QString t = text.trimmed();
    const QDate date = QDate::fromString(t.left(10), Qt::ISODate);
    if (t.size() < 10 || !date.isValid() || t.at(4) != QLatin1Char('-'))
        return false;
    QTime time(0, 0);
    if (t.size() > 10) {
        const QChar gap = t.at(10);
        if (gap != QLatin1Char('T') && gap != QLatin1Char(' '))
            return false;
        const QString clock = t.mid(11);
        time = QTime::fromString(
            clock, clock.size() > 5 ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
        if (!time.isValid())
            return false;
    }
    *msecs = moment(date.year(), date.month(), date.day(), 0) + time.msecsSinceStartOfDay();
    return true;
}

bool Period::parseMonths(const QString &text, quint16 *months)
{
    quint16 mask = 0;
    const QStringList items = text.split(QLatin1Char(','));
    for (const QString &item : items) {
        const QStringList ends = item.split(QLatin1Char('-'));
        if (ends.size() > 2)
            return false;
        const int first = monthNumber(ends.first());
        const int last = monthNumber(ends.last());
        if (first == 0 || last == 0)
            return false;
        for (int m = first;; m = m % 12 + 1) {
            mask |= quint16(1u << m);
            if (m == last)
                break;
        }
    }
    *months = mask;
    return true;
}
