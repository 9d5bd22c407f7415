#ifndef INTERVAL_H
#define INTERVAL_H

class QDebug;

// A value range: the key of the class maps and of the sector map of a rose.
// A value v belongs to the range when lowLimit < v <= highLimit.
struct Interval
{
    double lowLimit = 0.0;
    double size = 0.0;
    double highLimit = 0.0;

    Interval() = default;
    // From a lower limit and a size.
    Interval(double lowLimit, double size)
        : lowLimit(lowLimit)
        , size(size)
        , highLimit(lowLimit + size)
    { }

    static Interval fromLimits(double min, double max);

    // The range [start, start + size] whose lower limit alone is folded into
    // [rangeLow, rangeHigh]; size and upper limit stay unfolded.
    static Interval wrapped(double start, double size, double rangeLow, double rangeHigh)
    {
        const Interval interval(start, size);
        // A start inside the window (as every counted direction but a few) stays as it is.
        if (interval.lowLimit >= rangeLow && interval.lowLimit <= rangeHigh && rangeHigh > rangeLow)
            return interval;
        return folded(interval, rangeLow, rangeHigh);
    }

    // The map ordering: a < b exactly when b.lowLimit >= a.lowLimit and
    // b.highLimit > a.highLimit. Two ranges are one key when neither is less than the other.
    bool operator<(const Interval &other) const
    {
        return other.lowLimit >= lowLimit && other.highLimit > highLimit;
    }
    bool operator==(const Interval &other) const;
    bool operator!=(const Interval &other) const { return !(*this == other); }

private:
    // wrapped for a start that may lie outside the window.
    static Interval folded(Interval interval, double rangeLow, double rangeHigh);
};

QDebug operator<<(QDebug debug, const Interval &interval);

#endif // INTERVAL_H
