#include "interval.h"

#include <QDebug>

#include <cmath>

Interval Interval::fromLimits(double min, double max)
{
    Interval interval;
    interval.lowLimit = min;
    interval.size = max - min;
    interval.highLimit = max;
    return interval;
}

Interval Interval::folded(Interval interval, double rangeLow, double rangeHigh)
{
    // A folding window of no width cannot hold anything; leave the value alone rather than loop.
    if (!(rangeHigh > rangeLow) || !std::isfinite(interval.lowLimit))
        return interval;
    // Far-away values are first brought within a few periods in one step, so that a huge
    // direction cannot keep the loops below busy; near values fold exactly as the loops say.
    const double period = rangeHigh - rangeLow;
    const double below = rangeLow - interval.lowLimit;
    if (below > 4 * period)
        interval.lowLimit += (std::floor(below / period) - 2) * period;
    const double above = interval.lowLimit - rangeHigh;
    if (above > 4 * period)
        interval.lowLimit -= (std::floor(above / period) - 2) * period;
    while (interval.lowLimit < rangeLow)
        interval.lowLimit = rangeHigh - std::fabs(rangeLow - interval.lowLimit);
    while (interval.lowLimit > rangeHigh)
        interval.lowLimit = interval.lowLimit - rangeHigh + rangeLow;
    return interval;
}

bool Interval::operator==(const Interval &other) const
{
    return lowLimit == other.lowLimit && size == other.size && highLimit == other.highLimit;
}

QDebug operator<<(QDebug debug, const Interval &interval)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "Interval(" << interval.lowLimit << ", " << interval.highLimit << ")";
    return debug;
}
