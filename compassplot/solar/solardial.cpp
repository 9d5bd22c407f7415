#include "solardial.h"

#include <cmath>

int SolarDial::hourSectorCount(int count, bool *exact)
{
    if (exact)
        *exact = false;
    // The rule below divides by the count; no count of sectors comes out of nothing.
    if (count < 1)
        return 0;
    if (24 % count == 0) {
        if (exact)
            *exact = true;
        return count;
    }
    int perSector = Numeric::toInt(24.0 / count);
    if (perSector < 1)
        perSector = 1;
    return Numeric::toInt(24.0 / perSector);
}

QPoint SolarDial::picturePoint(double angle, int radius)
{
    return QPoint(
        Numeric::toInt(std::cos(angle) * -radius), Numeric::toInt(std::sin(angle) * -radius));
}

QPoint SolarDial::hourLabelPoint(double b, int radius)
{
    const double distance = 1.02 * radius;
    return QPoint(Numeric::toInt(std::cos(b) * distance), Numeric::toInt(std::sin(b) * -distance));
}

QRect SolarDial::sunRect(const QSize &box)
{
    return QRect(-box.width() / 2, -5 - box.height() / 2, box.width(), box.height());
}

QRect SolarDial::moonRect(const QSize &box)
{
    return QRect(-box.width() / 2, 5 - box.height() / 2, box.width(), box.height());
}

QRect SolarDial::logoRect(const QSize &defaultSize, bool gridEnabled, double scale)
{
    const QRect rect = gridEnabled
        ? QRect(QPoint(-16, -6), defaultSize.scaled(50, 20, Qt::KeepAspectRatio))
        : QRect(QPoint(-5, -4), defaultSize.scaled(35, 14, Qt::KeepAspectRatio));
    if (scale == 1.0 || !(scale > 0))
        return rect;
    return QRect(qRound(rect.x() * scale), qRound(rect.y() * scale),
        qMax(1, qRound(rect.width() * scale)), qMax(1, qRound(rect.height() * scale)));
}

double SolarDial::logoAngleFor(bool gridEnabled)
{
    return gridEnabled ? gridLogoAngle : logoAngle;
}

QRect SolarDial::rasterLogoRect(const QSize &size)
{
    return QRect(QPoint(8 - size.width() / 2, 3 - size.height() / 2), size);
}
