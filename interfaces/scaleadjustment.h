#ifndef SCALEADJUSTMENT_H
#define SCALEADJUSTMENT_H

#include <QDateTime>
#include <QString>
#include <QtPlugin>

// Rounding of chart scales to readable limits and grid steps, and placement of values on
// such scales. Every operation works only on its arguments; results come back through the
// reference arguments. The operations below are declared in a fixed order: plug-ins and
// hosts built elsewhere rely on it.
class ScaleAdjustment
{
public:
    virtual ~ScaleAdjustment() = default;

    // Widens [minimumValue, maximumValue] to limits with few significant digits. gridCount
    // receives the number of grid intervals, gridLength the length of one interval truncated
    // toward zero (a scale from 0 to 1 with 10 intervals reports 0). Non-finite limits are
    // left as they are, with gridCount 1 and gridLength 0.
    virtual void roundLinearScale(
        double &minimumValue, double &maximumValue, int &gridCount, int &gridLength)
        = 0;

    // Widens a positive range to whole decades: gridCount decades, gridLength decades per
    // interval. A non-positive maximum gives 10; a non-positive minimum one decade below it.
    virtual void roundLogaritmicScale(
        double &minimumValue, double &maximumValue, int &gridCount, int &gridLength)
        = 0;

    // Widens [begin, end] to whole grid intervals from a fixed ladder and returns the
    // QDateTime::toString format that suits the interval (lines separated by "\n").
    virtual void roundTimeScale(
        QDateTime &begin, QDateTime &end, int &gridCount, int &gridLength, QString &fmt)
        = 0;

    // Moves dt down to the boundary of its interval (intervalLength in seconds; a month counts
    // 28 days, a year 365); with up, one interval further when it was not on a boundary.
    virtual void roundDateTime(QDateTime &dt, int intervalLength, bool up) = 0;

    // Pixel position of value on a linear scale of scaleLength pixels, counted from the
    // minimumValue end and rounded half away from zero; -1 for equal limits, a non-finite
    // value, or (unless ignoreLimits) a value outside the limits.
    virtual void positionOnLinearScale(int &position, int scaleLength, double value,
        double minimumValue, double maximumValue, bool ignoreLimits = false)
        = 0;

    // As positionOnLinearScale on base-10 logarithms; -1 also for a non-positive value or limit.
    virtual void positionOnLogaritmicScale(int &position, int scaleLength, double value,
        double minimumValue, double maximumValue, bool ignoreLimits = false)
        = 0;

    // As positionOnLinearScale for date-times, in whole seconds.
    virtual void positionOnTimeScale(int &position, int scaleLength, QDateTime dt, QDateTime begin,
        QDateTime end, bool ignoreLimits = false)
        = 0;
};

#define ScaleAdjustment_iid "orvela.scaleAdjustment/1.2"
Q_DECLARE_INTERFACE(ScaleAdjustment, ScaleAdjustment_iid)

#endif // SCALEADJUSTMENT_H
