#include "windrose3d.h"

#include <QPainter>

Windrose3D::Windrose3D()
    : WindroseStyle(QPoint(0, 0), 0.0)
{ }

void Windrose3D::draw(QPainter *painter, const QPoint &position, const QSize &size,
    const QBrush &brush, const double &width)
{
    // TODO(painting)
    Q_UNUSED(painter);
    Q_UNUSED(position);
    Q_UNUSED(size);
    Q_UNUSED(brush);
    Q_UNUSED(width);
}

QColor Windrose3D::darkened(const QColor &colour)
{
    // TODO(painting)
    return colour;
}
