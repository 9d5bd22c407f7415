#include "windrosestyle.h"

#include <QRectF>
#include <QSize>

WindroseStyle::WindroseStyle(const QPoint &centre, double radius)
    : centre(centre)
    , radius(radius)
{ }

QPainterPath WindroseStyle::outline(
    const QPoint &position, const QSize &size, const double &width) const
{
    Q_UNUSED(width);
    QPainterPath path;
    const int h = size.height();
    if (size.width() <= 0 || h <= 0)
        return path;
    path.addRect(QRectF(position.x(), position.y() - h / 2, size.width() - 1, h - 1));
    return path;
}
