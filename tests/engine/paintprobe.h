#ifndef PAINTPROBE_H
#define PAINTPROBE_H

#include "qwindrose.h"
#include "scaleadjustment.h"
#include "windrose3d.h"

#include <QColor>
#include <QFontMetrics>
#include <QImage>

#include <cmath>

// Helpers shared by the painting tests: a stand-in scale plug-in, a chart whose scale binding
// a test may replace, and pixel probes.
namespace PaintProbe {

// Places values on a linear scale as the scale plug-in does (rounded half away from zero).
// Rounding reports roundedMaximum when it is set, else the maximum rounded up to a whole number.
class FakeScale : public ScaleAdjustment
{
public:
    int roundCalls = 0;
    double roundedMaximum = -1.0;

    void roundLinearScale(
        double &minimumValue, double &maximumValue, int &gridCount, int &gridLength) override
    {
        ++roundCalls;
        maximumValue = roundedMaximum >= 0 ? roundedMaximum : std::ceil(maximumValue);
        gridCount = 10;
        gridLength = static_cast<int>((maximumValue - minimumValue) / gridCount);
    }
    void roundLogaritmicScale(double &, double &, int &, int &) override { }
    void roundTimeScale(QDateTime &, QDateTime &, int &, int &, QString &) override { }
    void roundDateTime(QDateTime &, int, bool) override { }
    void positionOnLinearScale(int &position, int scaleLength, double value, double minimumValue,
        double maximumValue, bool ignoreLimits) override
    {
        const bool outside = maximumValue > minimumValue
            ? (value < minimumValue || value > maximumValue)
            : (value < maximumValue || value > minimumValue);
        if (maximumValue == minimumValue || !std::isfinite(value) || (!ignoreLimits && outside)) {
            position = -1;
            return;
        }
        const double k = scaleLength / (maximumValue - minimumValue);
        const double p = value * k - minimumValue * k;
        position = static_cast<int>(p >= 0 ? std::floor(p + 0.5) : std::ceil(p - 0.5));
    }
    void positionOnLogaritmicScale(int &position, int, double, double, double, bool) override
    {
        position = -1;
    }
    void positionOnTimeScale(int &position, int, QDateTime, QDateTime, QDateTime, bool) override
    {
        position = -1;
    }

    // The position the chart asks for, computed the same way (for expected values).
    int at(int length, double value, double minimum, double maximum)
    {
        int position = 0;
        positionOnLinearScale(position, length, value, minimum, maximum, true);
        return position;
    }
};

// A chart whose scale binding a test can replace (null selects the built-in rules).
class TestRose : public QWindRose
{
public:
    void useScale(ScaleAdjustment *scale) { m_scale = scale; }
};

// The rose's diameter and hole radius for a 480 pixel high image, from the font alone.
inline int expectedDiameter(const QFont &font, int height = 480)
{
    return height - 4 * QFontMetrics(font).height();
}

inline int expectedHoleRadius(const QFont &font)
{
    return QFontMetrics(font).horizontalAdvance(QStringLiteral("MM%")) / 2 + 5;
}

// The darkest grey level within radius pixels of p, as seen over white (so transparent pixels
// count as white); 255 when p lies outside the image.
inline int darkestGray(const QImage &image, const QPoint &p, int radius)
{
    int darkest = 255;
    for (int y = p.y() - radius; y <= p.y() + radius; ++y) {
        for (int x = p.x() - radius; x <= p.x() + radius; ++x) {
            if (!image.rect().contains(x, y))
                continue;
            const QRgb pixel = image.pixel(x, y);
            const int overWhite = 255 - qAlpha(pixel) * (255 - qGray(pixel)) / 255;
            darkest = qMin(darkest, overWhite);
        }
    }
    return darkest;
}

// Whether pixel lies on a bar's shade: between the class colour and its darkened end.
inline bool onShade(const QColor &pixel, const QColor &colour, int tolerance = 12)
{
    const QColor dark = Windrose3D::darkened(colour);
    for (int step = 0; step <= 20; ++step) {
        const double t = step / 20.0;
        const QColor mix(qRound(colour.red() + t * (dark.red() - colour.red())),
            qRound(colour.green() + t * (dark.green() - colour.green())),
            qRound(colour.blue() + t * (dark.blue() - colour.blue())));
        if (qAbs(mix.red() - pixel.red()) <= tolerance
            && qAbs(mix.green() - pixel.green()) <= tolerance
            && qAbs(mix.blue() - pixel.blue()) <= tolerance && pixel.alpha() == 255)
            return true;
    }
    return false;
}

} // namespace PaintProbe

#endif // PAINTPROBE_H
