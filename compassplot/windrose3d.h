#ifndef WINDROSE3D_H
#define WINDROSE3D_H

#include "windrosestyle.h"

#include <QColor>

// The wind rose's segment: a rectangle outlined in the class colour and filled with a
// gradient across its thickness that suggests a lit, rounded bar.
class Windrose3D : public WindroseStyle
{
public:
    Windrose3D();

    void draw(QPainter *painter, const QPoint &position, const QSize &size, const QBrush &brush,
        const double &width) override;

    // The dark end of the gradient: same hue and saturation, value reduced by 30 %, opaque.
    static QColor darkened(const QColor &colour);
};

#endif // WINDROSE3D_H
