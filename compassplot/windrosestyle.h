#ifndef WINDROSESTYLE_H
#define WINDROSESTYLE_H

#include <QPainterPath>
#include <QPoint>

class QBrush;
class QPainter;
class QSize;

// Paints one class segment of a rose. The rose and its legend call draw with the painter
// already translated to the rose's centre and rotated so that the positive x axis runs along
// the sector's middle, outward; the painter's pen colour is the class colour.
class WindroseStyle
{
public:
    WindroseStyle(const QPoint &centre, double radius);
    virtual ~WindroseStyle() = default;

    // position: the segment's start on the axis (x = distance from the centre, y = 0);
    // size: (length along the axis, thickness across it); brush and width: the class's.
    virtual void draw(QPainter *painter, const QPoint &position, const QSize &size,
        const QBrush &brush, const double &width)
        = 0;

    // The shape draw fills for the same segment, in the same axes: a rectangle of the
    // segment's size centred on the axis, unless the style paints another shape.
    virtual QPainterPath outline(
        const QPoint &position, const QSize &size, const double &width) const;

    // Centre of the rose in image coordinates, and the rose's diameter (set before drawing).
    QPoint centre;
    double radius;
};

#endif // WINDROSESTYLE_H
