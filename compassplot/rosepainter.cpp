#include "rosepainter.h"

#include "numeric.h"
#include "roseframe.h"
#include "sourcedate.h"
#include "windrosestyle.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

using Numeric::toInt;
using RoseLayout::polarPoint;

// Compass directions in screen radians (0 right, clockwise), derived from the rough pi the
// drawing has always used; south-west sits at 136 degrees.
constexpr double north = RoseLayout::roughRadians(-90);
constexpr double northEast = RoseLayout::roughRadians(-45);
constexpr double east = 0.0;
constexpr double southEast = RoseLayout::roughRadians(45);
constexpr double south = RoseLayout::roughRadians(90);
constexpr double southWest = RoseLayout::roughRadians(136);
constexpr double northWest = RoseLayout::roughRadians(225);

// The font scaled by factor (in points, or in pixels for a font sized in pixels), at least 1.
QFont scaledFont(const QFont &font, double factor)
{
    QFont scaled(font);
    if (font.pointSize() > 0)
        scaled.setPointSize(qMax(1, toInt(font.pointSize() * factor)));
    else if (font.pixelSize() > 0)
        scaled.setPixelSize(qMax(1, toInt(font.pixelSize() * factor)));
    return scaled;
}

void translateToCentre(QPainter *painter, const QSize &area)
{
    painter->setTransform(QTransform::fromTranslate(area.width() / 2, area.height() / 2));
}

// N, S, E and W in the big font, r from the centre.
void paintMainLetters(QPainter *painter, const QFont &bigFont, int r)
{
    const QFontMetrics big(bigFont);
    const int half = big.height() / 2;
    painter->setFont(bigFont);
    int w = big.horizontalAdvance(QStringLiteral("N"));
    painter->drawText(polarPoint(north, r) + QPoint(-w / 2, 0), QStringLiteral("N"));
    w = big.horizontalAdvance(QStringLiteral("S"));
    painter->drawText(polarPoint(south, r) + QPoint(-w / 2, half), QStringLiteral("S"));
    const QPoint e = polarPoint(east, r);
    w = big.horizontalAdvance(QStringLiteral("E"));
    painter->drawText(QPoint(toInt(e.x() - w * 0.25), e.y() + half / 2), QStringLiteral("E"));
    w = big.horizontalAdvance(QStringLiteral("W"));
    painter->drawText(QPoint(toInt(-(w * 0.75 + e.x())), e.y() + half / 2), QStringLiteral("W"));
}

// NE, SE, SW and NW in the chart's font, r from the centre.
void paintSideLetters(QPainter *painter, const QFont &font, int r)
{
    painter->setFont(font);
    const QFontMetrics normal(font);
    const int h = normal.height();
    painter->drawText(polarPoint(northEast, r), QStringLiteral("NE"));
    int w = normal.horizontalAdvance(QStringLiteral("SE"));
    painter->drawText(polarPoint(southEast, r) + QPoint(w / -4, h / 2), QStringLiteral("SE"));
    const QPoint sw = polarPoint(southWest, r + 10);
    w = normal.horizontalAdvance(QStringLiteral("SW"));
    painter->drawText(QPoint(toInt(sw.x() - w * 0.8), sw.y() + h / 2), QStringLiteral("SW"));
    const QPoint nw = polarPoint(northWest, r);
    w = normal.horizontalAdvance(QStringLiteral("NW"));
    painter->drawText(QPoint(toInt(nw.x() - w * 0.8), nw.y()), QStringLiteral("NW"));
}

// A ring label: black on a halo of the dial's white, so that it stays readable across the rings
// and the bars it is painted over.
void drawHaloText(
    QPainter *painter, const QPoint &at, const QString &text, const QFont &font, double halo)
{
    QPainterPath path;
    path.addText(at, font, text);
    painter->strokePath(path,
        QPen(QBrush(Qt::white, Qt::SolidPattern), halo, Qt::SolidLine, Qt::SquareCap,
            Qt::BevelJoin));
    painter->fillPath(path, QBrush(Qt::black, Qt::SolidPattern));
    painter->save();
    painter->setBackgroundMode(Qt::TransparentMode);
    painter->setPen(QColor(0, 0, 0, 255));
    painter->drawText(at, text);
    painter->restore();
}

// Whether the rings are drawn and labelled: those of the scale plug-in are drawn only with the
// background and labelled only with the grid too; those of the built-in rule always.
bool ringsDrawn(const RoseFrame &frame, const RosePainter::GridLook &look)
{
    return !frame.placedRings || look.background;
}

bool ringsLabelled(const RoseFrame &frame, const RosePainter::GridLook &look)
{
    return !frame.placedRings || (look.background && look.grid);
}

} // namespace

namespace RosePainter {

QImage blankImage(int width, int height, QRgb fill)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(fill);
    return image;
}

void setRenderHints(QPainter *painter)
{
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
}

void paintCompass(QPainter *painter, const QSize &area, const QFont &font, double diameter)
{
    translateToCentre(painter, area);
    const QFont bigFont = scaledFont(font, 1.2);
    const int inner = toInt(diameter * 0.5 + 8);
    const int labelRadius = toInt(QFontMetrics(bigFont).height() * 0.4 + inner);
    const int r = labelRadius + 10;
    paintMainLetters(painter, bigFont, r);
    paintSideLetters(painter, font, r);

    // Guide ticks every 45 degrees between the rings and the letters; the counter's rounding
    // gives 17 ticks, so 45 degrees is drawn three times and the others twice.
    painter->setFont(scaledFont(painter->font(), 0.4));
    int counter = 0;
    do {
        painter->rotate(45);
        painter->drawLine(labelRadius, 0, inner, 0);
        counter = toInt(counter + 22.5);
    } while (counter <= 360);
    painter->resetTransform();
}

void paintGrid(QPainter *painter, const QSize &area, const RoseFrame &frame, const GridLook &look)
{
    const QFontMetrics metrics(look.font);
    translateToCentre(painter, area);
    painter->setFont(look.font);
    if (look.background) {
        painter->drawText(
            QPoint(-(metrics.horizontalAdvance(frame.centreText) / 2), metrics.height() / 4),
            frame.centreText);
    }
    painter->setBackgroundMode(Qt::OpaqueMode);
    painter->setPen(look.pen);
    if (ringsDrawn(frame, look)) {
        for (const RoseLayout::Ring &ring : frame.rings)
            painter->drawEllipse(ring.bounds);
    }
    painter->resetTransform();
}

void paintRingLabels(
    QPainter *painter, const QSize &area, const RoseFrame &frame, const GridLook &look)
{
    if (!ringsLabelled(frame, look))
        return;
    painter->save();
    translateToCentre(painter, area);
    // The labels are placed here, after the centre text is painted: the font engine keeps the
    // glyph metrics it first measures, in the state the text painted before left it in, so
    // measuring them any earlier moves the edges of their glyphs. A halo reaches half its width
    // beyond its glyphs: labels whose ink keeps that far apart do not blot each other out.
    QFont font;
    const QVector<RoseLayout::RingLabel> labels = RoseLayout::fittedRingLabels(frame.rings,
        frame.scale, frame.placedRings ? QString() : QStringLiteral("%"), look.font,
        look.labelAngle, qCeil(look.halo / 2), &font);
    painter->setFont(font);
    for (int i = 0; i < labels.size(); ++i) {
        const RoseLayout::RingLabel &label = labels.at(i);
        if (label.text.isEmpty())
            continue;
        drawHaloText(painter, label.baseline, label.text, font, look.halo);
        if (i == 0 && frame.placedRings)
            drawHaloText(painter, label.unitBaseline, QStringLiteral("%"), font, look.halo);
    }
    painter->restore();
}

QTransform dataAxes(const QSize &area, double rotation)
{
    const int h = area.height();
    // The rose occupies the square at the left even when the image was widened for the legend;
    // the first sector (north) points up.
    QTransform axes = QTransform::fromTranslate(h / 2 - 1, h / 2);
    axes.rotate(rotation - 90);
    return axes;
}

void paintData(QPainter *painter, const QSize &area, const RoseFrame &frame, WindroseStyle &style,
    double rotation)
{
    style.radius = frame.dataDiameter;
    if (frame.sectors.isEmpty())
        return;
    painter->setTransform(dataAxes(area, rotation));
    style.centre = QPoint(area.width() / 2, area.height() / 2);
    for (const QVector<RoseFrame::Segment> &segments : frame.sectors) {
        for (const RoseFrame::Segment &s : segments) {
            painter->setPen(s.brush.color());
            style.draw(painter, QPoint(s.start, 0), QSize(s.length, s.thickness), s.brush, s.width);
        }
        painter->rotate(frame.sectorStep);
    }
}

void paintTimeStamp(QPainter *painter, const QSize &size, int pixelSize)
{
    QFont stampFont(QStringLiteral("Monospace"));
    stampFont.setStyleStrategy(QFont::NoAntialias);
    stampFont.setPixelSize(pixelSize);
    painter->setFont(stampFont);
    painter->setPen(QColor(0, 0, 0, 255));
    painter->drawText(QRect(QPoint(2, 0), QPoint(size.width() + 1, size.height() - 1)),
        Qt::AlignLeft | Qt::AlignBottom,
        SourceDate::stampTime().toString(QStringLiteral("ddMMyyyy hhmm")));
}

} // namespace RosePainter
