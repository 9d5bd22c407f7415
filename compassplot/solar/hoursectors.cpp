#include "hoursectors.h"

#include <cmath>

double HourSectors::foldFar(double angle, double sectorWidth)
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
