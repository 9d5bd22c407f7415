#ifndef UTCANDLOCAL_H
#define UTCANDLOCAL_H

#include <QDateTime>
#include <QTimeZone>
#include <QtGlobal>

// UTC and local time in the form QDateTime's constructors and fromSecsSinceEpoch /
// fromMSecsSinceEpoch take them on the Qt version at hand: a QTimeZone from Qt 6.5 on (the
// Qt::TimeSpec overloads are deprecated in newer Qt), a Qt::TimeSpec before. Either way the
// date-time made is in UTC or in local time, as before.
namespace UtcAndLocal {

#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
inline QTimeZone utc()
{
    return QTimeZone(QTimeZone::UTC);
}

inline QTimeZone localTime()
{
    return QTimeZone(QTimeZone::LocalTime);
}
#else
inline Qt::TimeSpec utc()
{
    return Qt::UTC;
}

inline Qt::TimeSpec localTime()
{
    return Qt::LocalTime;
}
#endif

} // namespace UtcAndLocal

#endif // UTCANDLOCAL_H
