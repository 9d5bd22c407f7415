#include "scaleposition.h"

#include <QDateTime>

#include <climits>
#include <cmath>

namespace {

// Inclusive, with the limits in either order.
template <typename T> bool withinLimits(const T &value, const T &first, const T &second)
{
    return first < second ? (first <= value && value <= second)
                          : (second <= value && value <= first);
}

bool allFinite(double a, double b, double c)
{
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c);
}

} // namespace

namespace ScalePosition {

int roundedPosition(double p)
{
    if (!std::isfinite(p))
        return -1;
    // floor(p + 0.5) rather than std::round, so that every caller of this scale rounds a
    // pixel position the same way.
    const double r = p >= 0 ? std::floor(p + 0.5) : std::ceil(p - 0.5);
    if (r < double(INT_MIN) || r > double(INT_MAX))
        return -1;
    return int(r);
}

int onLinearScale(
    int scaleLength, double value, double minimumValue, double maximumValue, bool ignoreLimits)
{
    if (!allFinite(value, minimumValue, maximumValue) || maximumValue == minimumValue)
        return -1;
    if (!ignoreLimits && !withinLimits(value, minimumValue, maximumValue))
        return -1;
    const double k = scaleLength / (maximumValue - minimumValue);
    return roundedPosition(value * k - minimumValue * k);
}

int onLogarithmicScale(
    int scaleLength, double value, double minimumValue, double maximumValue, bool ignoreLimits)
{
    if (!allFinite(value, minimumValue, maximumValue) || maximumValue == minimumValue)
        return -1;
    if (!ignoreLimits && !withinLimits(value, minimumValue, maximumValue))
        return -1;
    // The logarithm of a non-positive number has no place on the scale.
    if (value <= 0 || minimumValue <= 0 || maximumValue <= 0)
        return -1;
    const double lmin = std::log10(minimumValue);
    const double lmax = std::log10(maximumValue);
    const double k = scaleLength / (lmax - lmin);
    return roundedPosition(std::log10(value) * k - lmin * k);
}

int onTimeScale(int scaleLength, const QDateTime &dt, const QDateTime &begin, const QDateTime &end,
    bool ignoreLimits)
{
    if (!dt.isValid() || !begin.isValid() || !end.isValid() || begin == end)
        return -1;
    if (!ignoreLimits && !withinLimits(dt, begin, end))
        return -1;
    // Limits less than a second apart differ yet span no whole second.
    const qint64 span = begin.secsTo(end);
    if (span == 0)
        return -1;
    const qint64 offset = begin.secsTo(dt);
    return roundedPosition(double(offset) * (double(scaleLength) / double(span)));
}

} // namespace ScalePosition
