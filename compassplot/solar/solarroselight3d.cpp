#include "solarroselight3d.h"

#include "numeric.h"

#include <QLinearGradient>
#include <QPainter>

#include <cmath>

SolarRoseLight3D::SolarRoseLight3D(const QPoint &centre, double radius)
    : WindroseStyle(centre, radius)
{ }

void SolarRoseLight3D::draw(QPainter *painter, const QPoint &position, const QSize &size,
    const QBrush &brush, const double &width)
{
    painter->save();

    // The rendering hands the class colour over as the pen; a textured class keeps its own
    // fill, and a translucent colour is laid flat so that what lies beneath still shows.
    const QColor colour = painter->pen().color();
    QBrush fill;
    if (brush.style() == Qt::TexturePattern) {
        fill = brush;
    } else if (colour.alpha() < 255) {
        fill = QBrush(colour, Qt::SolidPattern);
    } else {
        QLinearGradient light(0, -size.height(), 0, 0);
        light.setColorAt(0,
            QColor::fromHsv(
                colour.hsvHue(), static_cast<int>(colour.hsvSaturation() * 0.5), 255, 255));
        light.setColorAt(1, colour);
        fill = QBrush(light);
    }
    painter->setBrush(fill);
    // A wedge that reaches no radius paints nothing (and no empty path reaches a document).
    const QPainterPath wedge = outline(position, size, width);
    if (!wedge.isEmpty())
        painter->drawPath(wedge);

    QPen edge(painter->pen());
    edge.setColor(QColor::fromHsv(colour.hsvHue(), 255, 25, 200));
    edge.setWidth(2);
    painter->setPen(edge);
    painter->drawLine(position.x(), 0, position.x() + size.width() - 2, 0);

    painter->restore();
}

QPainterPath SolarRoseLight3D::outline(
    const QPoint &position, const QSize &size, const double &width) const
{
    return wedgePath(position.x(), QSize(size.width() - 1, size.height()), width);
}

QPainterPath SolarRoseLight3D::wedgePath(int inner, QSize extent, double width)
{
    const int outer = inner + extent.width();
    QPainterPath path;
    // A wedge that reaches no radius has no sweep to speak of.
    if (outer <= 0)
        return path;
    const double sweep = Numeric::degrees(std::tan(std::fabs(width) * extent.height() / outer));
    const double turn = width > 0 ? sweep : -sweep;

    path.moveTo(inner, 0);
    path.arcTo(QRectF(-outer, -outer, 2.0 * outer, 2.0 * outer), 0, turn);
    path.arcTo(QRectF(-inner, -inner, 2.0 * inner, 2.0 * inner), turn, -turn);
    return path;
}
