#ifndef TIMESPECS_H
#define TIMESPECS_H

#include <QDateTime>
#include <QTimeZone>
#include <QtGlobal>

// The kinds of time a QDateTime is made in, as its constructors and fromSecsSinceEpoch /
// fromMSecsSinceEpoch take them on the Qt version at hand: from Qt 6.5 on a QTimeZone that
// stands for UTC or local time (the Qt::TimeSpec overloads are deprecated in newer Qt), the
// time spec before. Either way the date-time has the time spec Qt::UTC or Qt::LocalTime.
namespace TimeSpecs {

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

} // namespace TimeSpecs

#endif // TIMESPECS_H
