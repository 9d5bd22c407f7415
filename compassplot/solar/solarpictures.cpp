#include "solarpictures.h"

#include "solardial.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace {

// Renders the picture into rect, placed relative to point in the base coordinates; false
// (and nothing drawn) when the picture could not be read.
bool renderPicture(QPainter *painter, const QTransform &base, const QPoint &point,
    QSvgRenderer &renderer, const QRect &rect)
{
    if (!renderer.isValid())
        return false;
    painter->save();
    painter->setTransform(QTransform(base).translate(point.x(), point.y()));
    renderer.render(painter, QRectF(rect));
    painter->restore();
    return true;
}

} // namespace

void SolarPictures::paint(
    QPainter *painter, const QTransform &base, int r, const QSize &box, bool grid, double logoScale)
{
    QSvgRenderer sun(QStringLiteral(":/solarRoseImages/sun.svg"));
    renderPicture(painter, base, SolarDial::picturePoint(SolarDial::sunAngle, r), sun,
        SolarDial::sunRect(box));
    QSvgRenderer moon(QStringLiteral(":/solarRoseImages/moon.svg"));
    renderPicture(painter, base, SolarDial::picturePoint(SolarDial::moonAngle, r), moon,
        SolarDial::moonRect(box));
    QSvgRenderer logo(QStringLiteral(":/solarRoseImages/ORVELA.svg"));
    if (renderPicture(painter, base, SolarDial::picturePoint(SolarDial::logoAngleFor(grid), r),
            logo, SolarDial::logoRect(logo.defaultSize(), grid, logoScale)))
        return;
    const QImage raster(QStringLiteral(":/solarRoseImages/ORVELA.png"));
    if (raster.isNull())
        return;
    painter->save();
    const QPoint at = SolarDial::picturePoint(SolarDial::gridLogoAngle, r);
    painter->setTransform(QTransform(base).translate(at.x(), at.y()));
    painter->drawImage(SolarDial::rasterLogoRect(raster.size()).topLeft(), raster);
    painter->restore();
}
