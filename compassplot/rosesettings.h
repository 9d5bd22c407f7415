#ifndef ROSESETTINGS_H
#define ROSESETTINGS_H

#include <QBrush>
#include <QColor>
#include <QPen>

// What a caller sets about a rose's picture, with the wind rose's defaults.
struct RoseSettings
{
    int imageHeight = 480; // pixels
    double directionsCount = 16; // a whole number
    int fullCircle = 360; // degrees
    double dataDrawSizeFactor = 2.5; // thickness of the bars
    bool enableBackground = true;
    bool enableLegend = true;
    bool enableGrid = true;
    QPen gridPen { QBrush(QColor(0, 0, 0, 255), Qt::SolidPattern), 2.0, Qt::SolidLine,
        Qt::SquareCap, Qt::BevelJoin };
    double labelAngle = 65.0; // degrees along which the ring labels are written
    double rotation = 0.0; // degrees
    int legendPrecision = 2; // decimals of the class limits in the legend and the table
    double fixedScaleMaximum = 20.0; // percent; not above 0: the automatic scale
    int fixedScaleSegments = 4;
    double textScale = 1.0; // of every text, over the font's own size
};

#endif // ROSESETTINGS_H
