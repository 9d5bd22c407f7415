#ifndef SOLARROSELIGHT3D_H
#define SOLARROSELIGHT3D_H

#include "windrosestyle.h"

#include <QPainterPath>
#include <QSize>

// The solar rose's segment: an annular wedge shaded from a pale tint at the outside edge of
// its thickness to the full class colour, with a dark edge line along the sector's axis.
class SolarRoseLight3D : public WindroseStyle
{
public:
    SolarRoseLight3D(const QPoint &centre, double radius);

    void draw(QPainter *painter, const QPoint &position, const QSize &size, const QBrush &brush,
        const double &width) override;
    // The wedge draw fills.
    QPainterPath outline(
        const QPoint &position, const QSize &size, const double &width) const override;

    // An annular sector around the origin from radius inner to inner + extent.width, whose
    // sweep follows from the thickness extent.height, turned to the side that width's sign
    // picks.
    static QPainterPath wedgePath(int inner, QSize extent, double width);
};

#endif // SOLARROSELIGHT3D_H
