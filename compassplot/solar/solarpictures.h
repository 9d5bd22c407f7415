#ifndef SOLARPICTURES_H
#define SOLARPICTURES_H

#include <QSize>
#include <QTransform>

class QPainter;

// The pictures on the solar rose's day dial, compiled in as resources.
class SolarPictures
{
public:
    // The sun at noon, the moon at midnight and the logo, r from the centre of base, in label
    // boxes of size box; the large logo with the grid on. The raster logo stands in when the
    // vector one cannot be read; a picture that cannot be read is left out. The vector logo is
    // drawn logoScale times its size.
    static void paint(QPainter *painter, const QTransform &base, int r, const QSize &box, bool grid,
        double logoScale = 1.0);
};

#endif // SOLARPICTURES_H
