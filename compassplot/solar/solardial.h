#ifndef SOLARDIAL_H
#define SOLARDIAL_H

#include "numeric.h"

#include <QPoint>
#include <QRect>
#include <QSize>

// The geometry of the solar rose's day dial, kept apart from the painting so that it can be
// checked without a painter. Angles are in radians and are measured so that a point at angle a
// and distance r from the centre lies at (cos(a) * -r, sin(a) * -r): 90 degrees is straight
// up (noon), 270 degrees straight down (midnight).
class SolarDial
{
public:
    static constexpr double sunAngle = Numeric::radians(90);
    static constexpr double moonAngle = Numeric::radians(270);
    static constexpr double logoAngle = Numeric::radians(233);
    static constexpr double gridLogoAngle = Numeric::radians(245);

    // The hour labels go round once, the first (00) at the bottom; see hourLabelPoint.
    static constexpr double fullTurn = Numeric::radians(360);
    static constexpr double midnightLabelAngle = Numeric::radians(270);

    // The number of hour sectors that divides a day evenly and is nearest to count from
    // above: 5 gives 6, 7 gives 8, 9 to 11 give 12, 13 and more give 24. exact tells whether
    // count divided the day already. Counts below 1 have no such number: 0 and exact false.
    static int hourSectorCount(int count, bool *exact = nullptr);

    // Where a picture at angle a stands relative to the centre, at distance radius.
    static QPoint picturePoint(double angle, int radius);

    // Anchor of an hour label at angle b (the label circle lies a little outside radius;
    // this angle runs the other way round from picturePoint's: 270 degrees is midnight at the
    // bottom, 180 degrees six in the morning at the left).
    static QPoint hourLabelPoint(double b, int radius);

    // The rectangles, relative to their picture point, of the sun (drawn a little higher) and
    // the moon (a little lower) in a label box of the given size.
    static QRect sunRect(const QSize &box);
    static QRect moonRect(const QSize &box);

    // The vector logo's rectangle relative to its picture point: its own size fitted into
    // 50 x 20 with the grid on (where it takes the place of two hour labels), else 35 x 14;
    // all of it scale times as large (the logo is lettering: it follows the texts' scale).
    static QRect logoRect(const QSize &defaultSize, bool gridEnabled, double scale = 1.0);
    static double logoAngleFor(bool gridEnabled);

    // The raster logo, unscaled, used only when the vector logo cannot be read.
    static QRect rasterLogoRect(const QSize &size);
};

#endif // SOLARDIAL_H
