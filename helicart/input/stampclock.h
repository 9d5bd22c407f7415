#ifndef STAMPCLOCK_H
#define STAMPCLOCK_H

#include <QByteArray>
#include <QString>
#include <QTimeZone>
#include <QtGlobal>

// The clock whose hours the roses follow. As written (the default), a time stamp is taken as
// the wall-clock time it shows. With a time zone or a longitude the stamps are instants in
// UTC, turned into the wall-clock time of an IANA zone (summer time included) or into the
// apparent solar time at that longitude, where the sun culminates at 12:00.
class StampClock
{
public:
    enum class Kind { AsWritten, Zone, Solar };

    StampClock() = default;
    // Each copy builds its own zone, so that readers on two threads share nothing.
    StampClock(const StampClock &other);
    StampClock &operator=(const StampClock &other);

    // The clock of zone, an IANA name such as "Europe/Ljubljana"; as written when the
    // system does not know it (see isValidZone).
    static StampClock zone(const QByteArray &zoneId);
    static bool isValidZone(const QByteArray &zoneId);
    // Apparent solar time at longitude degrees, east positive.
    static StampClock solar(double longitude);

    Kind kind() const { return m_kind; }
    bool isAsWritten() const { return m_kind == Kind::AsWritten; }

    // The time of this clock at the instant utcMSecs (milliseconds since 1970-01-01 00:00
    // UTC), as milliseconds since 1970-01-01 00:00 of this clock. Consecutive instants mostly
    // share their offset, which is worked out once for each stretch.
    qint64 wallTime(qint64 utcMSecs);

    // Apparent minus mean solar time in minutes at the instant, by the Fourier series of
    // J. W. Spencer, "Fourier series representation of the position of the sun", Search 2(5),
    // 1971 (as the NOAA solar calculation notes give it): within about 35 seconds.
    static double equationOfTime(qint64 utcMSecs);

    // How the chart's texts name the clock: the zone's name, or "apparent solar time at
    // 14.5° E"; empty as written.
    QString name() const;

private:
    qint64 solarTime(qint64 utcMSecs);
    qint64 zoneTime(qint64 utcMSecs);

    Kind m_kind = Kind::AsWritten;
    QByteArray m_zoneId;
    QTimeZone m_zone;
    double m_longitude = 0;
    // The offset in milliseconds that holds for instants in [m_from, m_to).
    qint64 m_from = 0;
    qint64 m_to = 0;
    qint64 m_offset = 0;
};

#endif // STAMPCLOCK_H
