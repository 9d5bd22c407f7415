#include "stampclock.h"

#include "utcandlocal.h"

#include <QCoreApplication>
#include <QDateTime>

#include <cmath>
#include <limits>

namespace {

constexpr qint64 kMSecsPerMinute = 60 * 1000;
constexpr qint64 kMSecsPerHour = 60 * kMSecsPerMinute;

qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

} // namespace

StampClock::StampClock(const StampClock &other)
    : m_kind(other.m_kind)
    , m_zoneId(other.m_zoneId)
    , m_longitude(other.m_longitude)
{
    if (m_kind == Kind::Zone)
        m_zone = QTimeZone(m_zoneId);
}

StampClock &StampClock::operator=(const StampClock &other)
{
    if (this != &other) {
        StampClock copy(other);
        m_kind = copy.m_kind;
        m_zoneId = copy.m_zoneId;
        m_zone = copy.m_zone;
        m_longitude = copy.m_longitude;
        m_from = m_to = m_offset = 0;
    }
    return *this;
}

bool StampClock::isValidZone(const QByteArray &zoneId)
{
    return !zoneId.isEmpty() && QTimeZone(zoneId).isValid();
}

StampClock StampClock::zone(const QByteArray &zoneId)
{
    StampClock clock;
    if (!isValidZone(zoneId))
        return clock;
    clock.m_kind = Kind::Zone;
    clock.m_zoneId = zoneId;
    clock.m_zone = QTimeZone(zoneId);
    return clock;
}

StampClock StampClock::solar(double longitude)
{
    StampClock clock;
    clock.m_kind = Kind::Solar;
    clock.m_longitude = longitude;
    return clock;
}

qint64 StampClock::wallTime(qint64 utcMSecs)
{
    switch (m_kind) {
    case Kind::AsWritten:
        return utcMSecs;
    case Kind::Zone:
        return zoneTime(utcMSecs);
    case Kind::Solar:
        return solarTime(utcMSecs);
    }
    return utcMSecs;
}

// The offset holds from the zone's last transition up to its next one; a zone without
// transition data is asked again every hour.
qint64 StampClock::zoneTime(qint64 utcMSecs)
{
    if (utcMSecs >= m_from && utcMSecs < m_to)
        return utcMSecs + m_offset;
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(utcMSecs, UtcAndLocal::utc());
    m_offset = qint64(m_zone.offsetFromUtc(at)) * 1000;
    if (m_zone.hasTransitions()) {
        const QTimeZone::OffsetData previous = m_zone.previousTransition(at.addMSecs(1));
        const QTimeZone::OffsetData next = m_zone.nextTransition(at);
        m_from = previous.atUtc.isValid() ? previous.atUtc.toMSecsSinceEpoch()
                                          : std::numeric_limits<qint64>::min();
        m_to = next.atUtc.isValid() ? next.atUtc.toMSecsSinceEpoch()
                                    : std::numeric_limits<qint64>::max();
    } else {
        m_from = floorDiv(utcMSecs, kMSecsPerHour) * kMSecsPerHour;
        m_to = m_from + kMSecsPerHour;
    }
    return utcMSecs + m_offset;
}

// Mean solar time runs 4 minutes per degree ahead of UTC east of Greenwich; the equation of
// time, which changes by under half a minute a day, is worked out once an hour.
qint64 StampClock::solarTime(qint64 utcMSecs)
{
    if (utcMSecs < m_from || utcMSecs >= m_to) {
        m_from = floorDiv(utcMSecs, kMSecsPerHour) * kMSecsPerHour;
        m_to = m_from + kMSecsPerHour;
        const double minutes = m_longitude * 4.0 + equationOfTime(m_from + kMSecsPerHour / 2);
        m_offset = qint64(std::llround(minutes * double(kMSecsPerMinute)));
    }
    return utcMSecs + m_offset;
}

double StampClock::equationOfTime(qint64 utcMSecs)
{
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(utcMSecs, UtcAndLocal::utc());
    const QDate date = at.date();
    const double hour = double(at.time().msecsSinceStartOfDay()) / double(kMSecsPerHour);
    // The fractional year in radians.
    const double gamma = 2.0 * M_PI / double(date.daysInYear())
        * (double(date.dayOfYear() - 1) + (hour - 12.0) / 24.0);
    return 229.18
        * (0.000075 + 0.001868 * std::cos(gamma) - 0.032077 * std::sin(gamma)
            - 0.014615 * std::cos(2.0 * gamma) - 0.040849 * std::sin(2.0 * gamma));
}

QString StampClock::name() const
{
    switch (m_kind) {
    case Kind::AsWritten:
        return QString();
    case Kind::Zone:
        return QString::fromUtf8(m_zoneId);
    case Kind::Solar:
        return QCoreApplication::translate("SolarRose", "apparent solar time at %1")
            .arg(QStringLiteral("%1\u00b0 %2")
                     .arg(QString::number(std::abs(m_longitude), 'g', 8),
                         m_longitude < 0 ? QStringLiteral("W") : QStringLiteral("E")));
    }
    return QString();
}
