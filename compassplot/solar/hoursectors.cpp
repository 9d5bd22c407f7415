#include "hoursectors.h"

#include <cmath>

namespace {

constexpr double turn = 360.0;

// Where the hour of a label ends: sector k ends half a degree (two minutes) past its label's
// hour.
constexpr double labelOffset = 0.5;

} // namespace

double HourSectors::windowLow(double sectorWidth)
{
    return labelOffset - sectorWidth;
}

double HourSectors::windowHigh(double sectorWidth)
{
    return windowLow(sectorWidth) + turn;
}

double HourSectors::fold(double angle, double sectorWidth)
{
    if (!std::isfinite(angle) || !std::isfinite(sectorWidth))
        return angle;
    const double low = windowLow(sectorWidth);
    const double high = windowHigh(sectorWidth);
    // Far-away angles are brought near in one step; the loops then fold exactly, so that an
    // angle inside the window is never touched by rounding.
    if (angle - high > 4 * turn || low - angle > 4 * turn) {
        angle = low + std::fmod(angle - low, turn);
        if (angle < low)
            angle += turn;
    }
    while (angle >= high)
        angle -= turn;
    while (angle < low)
        angle += turn;
    return angle;
}
