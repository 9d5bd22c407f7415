#include "dayshade.h"

#include "numeric.h"

#include <QConicalGradient>
#include <QImage>
#include <QList>
#include <QMutex>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

const QColor noonColour(255, 252, 200, 255);
const QColor midnightColour(131, 130, 129, 255);

// The white disc is painted over the shade's middle. The shade leaves out what the disc
// covers whole, kHiddenEdge pixels inside its edge: the gradient is worked out pixel by pixel,
// each from its own position, so what remains comes out exactly as before, and the pixels at
// the disc's soft edge still have the shade beneath them.
constexpr int kHiddenEdge = 3;

QPainterPath ringPath(const QRect &disc, const QPoint &centre, int inner)
{
    QPainterPath ring;
    ring.setFillRule(Qt::OddEvenFill);
    ring.addEllipse(QRectF(disc));
    if (inner > 0)
        ring.addEllipse(QRectF(centre.x() - inner, centre.y() - inner, 2 * inner, 2 * inner));
    return ring;
}

} // namespace

QColor DayShade::colour(double degrees)
{
    const double turn = std::fmod(std::fmod(degrees - 90.0, 360.0) + 360.0, 360.0) / 360.0;
    const double towardMidnight = turn <= 0.5 ? turn * 2.0 : (1.0 - turn) * 2.0;
    const auto mix = [towardMidnight](int from, int to) {
        return Numeric::toInt(from + (to - from) * towardMidnight);
    };
    return QColor(mix(noonColour.red(), midnightColour.red()),
        mix(noonColour.green(), midnightColour.green()),
        mix(noonColour.blue(), midnightColour.blue()));
}

void DayShade::paintSlices(QPainter *painter, const QRect &disc)
{
    constexpr int slices = 180;
    constexpr double step = 360.0 / slices;
    for (int i = 0; i < slices; ++i) {
        QPainterPath slice;
        slice.moveTo(QRectF(disc).center());
        // A little overlap keeps the edges of neighbouring slices from showing.
        slice.arcTo(QRectF(disc), i * step, step * 1.5);
        slice.closeSubpath();
        painter->fillPath(slice, colour((i + 0.5) * step));
    }
}

void DayShade::paint(QPainter *painter, const QSize &area, int r0, bool sliced)
{
    if (sliced || !paintFromCache(painter, area, r0))
        paintShade(painter, area, r0, sliced);
}

void DayShade::paintShade(QPainter *painter, const QSize &area, int r0, bool sliced)
{
    const int cx = area.width() / 2;
    const int cy = area.height() / 2;
    const QRect disc(5, 5, area.width() - 10, area.height() - 10);
    painter->save();
    painter->setPen(Qt::NoPen);
    if (sliced) {
        paintSlices(painter, disc);
    } else {
        QConicalGradient dayShade(cx, cy, 90);
        dayShade.setColorAt(0, noonColour);
        dayShade.setColorAt(0.5, midnightColour);
        dayShade.setColorAt(1, noonColour);
        painter->setBrush(QBrush(dayShade));
        painter->drawPath(ringPath(disc, QPoint(cx, cy), r0 - kHiddenEdge));
    }
    painter->setBrush(QBrush(Qt::white, Qt::SolidPattern));
    painter->drawEllipse(QRect(cx - r0, cy - r0, 2 * r0, 2 * r0));
    painter->restore();
}

bool DayShade::paintFromCache(QPainter *painter, const QSize &area, int r0)
{
    // Only where the image lands on whole pixels, over what lies beneath as painting would.
    const QTransform &shift = painter->worldTransform();
    const QPaintEngine *engine = painter->paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster || shift.type() > QTransform::TxTranslate
        || shift.dx() != std::round(shift.dx()) || shift.dy() != std::round(shift.dy())
        || painter->opacity() != 1.0
        || painter->compositionMode() != QPainter::CompositionMode_SourceOver)
        return false;

    struct Shade
    {
        QSize area;
        int r0;
        QPainter::RenderHints hints;
        QImage image;
    };
    static QMutex guard;
    static QList<Shade> shades; // the few sizes of a run
    constexpr qsizetype kShadesKept = 4;
    const QPainter::RenderHints hints = painter->renderHints();
    QImage image;
    {
        const QMutexLocker lock(&guard);
        for (const Shade &shade : std::as_const(shades)) {
            if (shade.area == area && shade.r0 == r0 && shade.hints == hints)
                image = shade.image;
        }
    }
    if (image.isNull()) {
        image = QImage(area, QImage::Format_ARGB32_Premultiplied);
        if (image.isNull())
            return false;
        image.fill(Qt::transparent);
        QPainter shadePainter(&image);
        shadePainter.setRenderHints(hints);
        paintShade(&shadePainter, area, r0, false);
        shadePainter.end();
        const QMutexLocker lock(&guard);
        if (shades.size() >= kShadesKept)
            shades.removeFirst();
        shades.append({ area, r0, hints, image });
    }
    painter->drawImage(QPoint(0, 0), image);
    return true;
}
