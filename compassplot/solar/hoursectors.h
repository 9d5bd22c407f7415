#ifndef HOURSECTORS_H
#define HOURSECTORS_H

// Where the solar rose's hour sectors lie on its circle of angles. A time of day becomes an angle
// of 180 (00:00) up to just below 540 degrees, 1 degree per 4 minutes; sector k of n covers
// [0.5 - w + k * w, 0.5 + k * w) with w = 360 / n, so that it collects the times from
// 12:02 + (k - 1) * S up to (not including) 12:02 + k * S, S = Numeric::secondsPerDay / n seconds.
// Every sector is exactly one S long: angles are folded into a window of one turn that starts where
// the first sector starts.
class HourSectors
{
public:
    // Start of the first sector, and of the folding window.
    static double windowLow(double sectorWidth);
    // End of the last sector, one turn above windowLow; the window stops just below it.
    static double windowHigh(double sectorWidth);

    // The angle folded by whole turns into [windowLow, windowHigh). Angles inside the window
    // come back unchanged; a non-finite angle comes back as it is (it belongs to no sector).
    static double fold(double angle, double sectorWidth);
};

#endif // HOURSECTORS_H
