#ifndef NUMERIC_H
#define NUMERIC_H

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <limits>

// Numbers and conversions shared by the program and both plug-ins.
namespace Numeric {

// Truncates toward zero like a C cast, but gives 0 for NaN and saturates at the int limits (also
// for the infinities): no non-finite or oversized value is ever converted to an int.
inline int toInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

// As toInt, but 0 for the infinities too.
inline int finiteToInt(double value)
{
    return std::isfinite(value) ? toInt(value) : 0;
}

// A 64-bit count saturated at the int limits.
inline int clampToInt(qint64 value)
{
    return int(std::clamp<qint64>(
        value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// Value classes whose limit lies at the int range's ends (plus or minus this) are open toward
// infinity: the built-in and generated classes end there, and tables write them as "inf".
constexpr double openClassLimit = 2147483647.0;

constexpr int secondsPerMinute = 60;
constexpr int secondsPerHour = 3600;
constexpr int secondsPerDay = 86400;

constexpr double pi = 3.14159265358979323846;
constexpr double radiansPerDegree = pi / 180.0;
constexpr double degreesPerRadian = 180.0 / pi;

constexpr double radians(double degrees)
{
    return degrees * radiansPerDegree;
}

constexpr double degrees(double radians)
{
    return radians * degreesPerRadian;
}

} // namespace Numeric

#endif // NUMERIC_H
