#ifndef DAYSHADE_H
#define DAYSHADE_H

#include <QColor>
#include <QRect>
#include <QSize>

class QPainter;

// The shade of the solar rose's day dial: light at noon (top), dark at midnight (bottom), with
// the data on a white disc in the middle.
class DayShade
{
public:
    // The shade's colour at angle degrees (counter-clockwise from three o'clock): light at
    // noon (90), dark at midnight (270), evenly between.
    static QColor colour(double degrees);

    // The shade over an area of the given size, the white disc of radius r0 on it. As a
    // conical gradient, or in sliced as slices of plain colour, for drawings that keep no
    // conical gradient (an SVG document would hold it as a raster image).
    // On a raster device under a whole-pixel shift, the shade is painted once per area and
    // disc, and laid down from then on as that image: the gradient is worked out pixel by
    // pixel, which makes it the dearest part of a rose, and a run draws many roses alike.
    static void paint(QPainter *painter, const QSize &area, int r0, bool sliced);

private:
    static void paintShade(QPainter *painter, const QSize &area, int r0, bool sliced);
    static void paintSlices(QPainter *painter, const QRect &disc);
    static bool paintFromCache(QPainter *painter, const QSize &area, int r0);
};

#endif // DAYSHADE_H
