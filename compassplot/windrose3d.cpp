#include "windrose3d.h"

#include <QLinearGradient>
#include <QPainter>

Windrose3D::Windrose3D()
    : WindroseStyle(QPoint(0, 0), 0.0)
{ }

void Windrose3D::draw(QPainter *painter, const QPoint &position, const QSize &size,
    const QBrush &brush, const double &width)
{
    Q_UNUSED(brush);
    Q_UNUSED(width);
    const QColor c = painter->pen().color();
    const int h = size.height();
    const int top = position.y() - h / 2;

    // Lit at the near edge, shaded toward the far one: the bar looks rounded.
    QLinearGradient shade(0, top + h * 0.1, 0, top + h * 0.7);
    shade.setColorAt(0, c);
    shade.setColorAt(0.8, darkened(c));
    painter->setBrush(QBrush(shade));

    // A rectangle of the segment's size outlined in the class colour and filled with the
    // painter's brush; an empty or inverted size draws nothing.
    if (size.width() <= 0 || h <= 0)
        return;
    const QPen oldPen = painter->pen();
    painter->setPen(QPen(c, 0));
    painter->drawRect(QRect(position.x(), top, size.width() - 1, h - 1));
    painter->setPen(oldPen);
}

QColor Windrose3D::darkened(const QColor &colour)
{
    const int v = colour.value();
    return QColor::fromHsv(colour.hsvHue(), colour.hsvSaturation(), static_cast<int>(v - v * 0.3));
}
