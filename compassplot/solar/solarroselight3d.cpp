#include "solarroselight3d.h"

#include <QPainter>

SolarRoseLight3D::SolarRoseLight3D(const QPoint &centre, double radius)
    : WindroseStyle(centre, radius)
{ }

void SolarRoseLight3D::draw(QPainter *painter, const QPoint &position, const QSize &size,
    const QBrush &brush, const double &width)
{
    // TODO(solar)
    Q_UNUSED(painter);
    Q_UNUSED(position);
    Q_UNUSED(size);
    Q_UNUSED(brush);
    Q_UNUSED(width);
}

QPainterPath SolarRoseLight3D::wedgePath(int inner, QSize extent, double width)
{
    // TODO(solar)
    Q_UNUSED(inner);
    Q_UNUSED(extent);
    Q_UNUSED(width);
    return QPainterPath();
}
