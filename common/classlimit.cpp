#include "classlimit.h"

#include <QtGlobal>

#include <cmath>

namespace ClassLimit {

int decimals(double limit, int precision)
{
    const int least = qBound(0, precision, maxDecimals);
    if (!std::isfinite(limit))
        return least;
    // The decimals at which the limit is a whole number of units, within the error its
    // decimal text had when it was read into a double.
    double scaled = limit * std::pow(10.0, least);
    for (int d = least; d < maxDecimals; ++d) {
        if (std::fabs(scaled - std::round(scaled)) <= 1e-9 * qMax(1.0, std::fabs(scaled)))
            return d;
        scaled *= 10.0;
    }
    return qMax(least, maxDecimals);
}

QString text(double limit, int precision)
{
    return QString::number(limit, 'f', qMax(precision, decimals(limit, precision)));
}

} // namespace ClassLimit
