#include "roselayout.h"

#include "numeric.h"
#include "scaleadjustment.h"

#include <QSize>
#include <QtGlobal>

#include <algorithm>
#include <cmath>

namespace RoseLayout {

using Numeric::toInt;

namespace {

// Radii beyond this many pixels are off any image; the bound keeps 2 * radius in int range.
constexpr int maxRadius = 1 << 24;

int clampedRadius(double radius)
{
    return qBound(-maxRadius, toInt(radius), maxRadius);
}

// Decimals (up to maxRingDecimals) that write value without loss; maxRingDecimals when none
// does.
int decimalsOf(double value)
{
    if (!std::isfinite(value))
        return 0;
    double scaled = value;
    for (int decimals = 0; decimals < maxRingDecimals; ++decimals) {
        if (std::fabs(scaled - std::round(scaled)) <= 1e-9 * qMax(1.0, std::fabs(scaled)))
            return decimals;
        scaled *= 10.0;
    }
    return maxRingDecimals;
}

QRect centredSquare(int radius)
{
    return QRect(QPoint(-radius, -radius), QPoint(radius - 1, radius - 1));
}

} // namespace

double ringValue(const Scale &s, int i)
{
    // A fixed scale: ringCount equal parts of the maximum, computed per ring so that the
    // innermost ring is exactly 0.
    if (s.exact)
        return s.ringCount > 0 ? s.maximum * (s.ringCount - i) / s.ringCount : s.maximum;
    // An automatic one: the whole part of the maximum, less one whole step per ring (in double,
    // so that a huge scale cannot overflow on the way down).
    return toInt(static_cast<double>(toInt(s.maximum)) - static_cast<double>(i) * s.ringStep);
}

int ringDecimals(const Scale &s)
{
    if (!s.exact)
        return 0;
    return qMax(decimalsOf(s.ringStep), decimalsOf(s.maximum));
}

QString ringLabel(double value, int decimals)
{
    // No "-0" for a value that rounds to nothing.
    if (std::fabs(value) * std::pow(10.0, decimals) < 0.5)
        value = 0.0;
    return QString::number(value, 'f', decimals);
}

Scale withRingGap(Scale s, int length)
{
    if (!s.exact)
        return s;
    const int most = qMax(1, length / minRingSpacing);
    if (s.ringCount > most) {
        s.ringCount = most;
        s.ringStep = s.maximum / most;
    }
    return s;
}

QPoint polarPoint(double angle, double distance)
{
    return QPoint(toInt(std::cos(angle) * distance), toInt(std::sin(angle) * distance));
}

QPoint labelPoint(double angleDegrees, double distance)
{
    return polarPoint(roughRadians(angleDegrees), distance);
}

QFont scaledText(const QFont &font, double factor)
{
    if (factor == 1.0 || !(factor > 0) || !std::isfinite(factor))
        return font;
    QFont scaled(font);
    if (font.pointSizeF() > 0)
        scaled.setPointSizeF(font.pointSizeF() * factor);
    else if (font.pixelSize() > 0)
        scaled.setPixelSize(qMax(1, qRound(font.pixelSize() * factor)));
    return scaled;
}

int stampSize(double textScale)
{
    return qMax(1, qRound(stampPixelSize * textScale));
}

QSize roseSquare(const QSize &canvas)
{
    return canvas.width() > canvas.height() ? QSize(canvas.height(), canvas.height()) : canvas;
}

double barArea(double diameter, int ringCount)
{
    if (ringCount < 1)
        return 0.0;
    return diameter - diameter / ringCount;
}

double ringRadius(double diameter, int ringCount, int classIndex, int classCount, double sizeFactor)
{
    if (classCount < 1)
        return 0.0;
    return barArea(diameter, ringCount) * (classIndex + 2) * 0.12 * (0.425 / classCount)
        * sizeFactor;
}

double stackReach(
    const QVector<double> &shares, const QVector<double> &lengths, const QVector<double> &offsets)
{
    double position = 0.0;
    double reach = 0.0;
    for (int j = 0; j < shares.size(); ++j) {
        if (shares.at(j) == 0)
            continue;
        const double length = shares.at(j) * lengths.value(j, 1.0);
        const double offset = offsets.value(j, -1.0);
        reach = qMax(reach, position + (offset > 0 ? offset : 0.0) + length);
        position += length;
    }
    return reach;
}

Scale ringScale(double renderedMinimum, double renderedMaximum, double dataMaximum,
    double fixedMaximum, int fixedSegments)
{
    Scale s;
    s.minimum = std::isfinite(renderedMinimum) ? renderedMinimum : 0.0;
    s.maximum = renderedMaximum;
    s.ringCount = 4;
    if (fixedMaximum > 0 && std::isfinite(fixedMaximum) && fixedSegments > 0) {
        // The caller's scale, divided as asked: its step need not be a whole percent.
        s.ringCount = qMin(fixedSegments, maxRingCount);
        s.maximum = fixedMaximum;
        s.minimum = 0.0;
        s.ringStep = s.maximum / s.ringCount;
        s.exact = true;
        return s;
    }
    if (!(dataMaximum > 0) || renderedMaximum <= 5) {
        // Nothing to show, or a small share: a fixed 0 to 5 scale. Asking for the data itself
        // rather than for the stand-in maximum 10 keeps a share that the scale plug-in rounds
        // up to 10 on a scale that holds it.
        s.ringCount = 5;
        s.minimum = 0.0;
        s.maximum = 5.0;
    } else {
        s.maximum = dataMaximum;
        const int m = toInt(s.maximum) % 4;
        if (m != 0)
            s.maximum += 4 - m;
        else if (toInt(s.maximum) < dataMaximum)
            s.maximum += 4; // the outermost ring, at the whole part, would end below the data
    }
    s.ringStep = toInt(s.maximum / s.ringCount);
    return s;
}

bool Ring::operator==(const Ring &other) const
{
    return value == other.value && bounds == other.bounds && labelRadius == other.labelRadius
        && labelled == other.labelled;
}

QVector<Ring> pluginRings(ScaleAdjustment &scale, const Scale &s, int diameter, int holeRadius)
{
    QVector<Ring> rings;
    const int length = diameter / 2 - holeRadius;
    for (int i = 0; i <= s.ringCount; ++i) {
        Ring ring;
        ring.value = ringValue(s, i);
        int position = 0;
        scale.positionOnLinearScale(position, length, ring.value, s.minimum, s.maximum, true);
        ring.labelRadius = clampedRadius(static_cast<double>(position) + holeRadius);
        ring.bounds = centredSquare(ring.labelRadius);
        ring.labelled = i != s.ringCount;
        rings.append(ring);
    }
    return rings;
}

QVector<Ring> builtInRings(const Scale &s, int diameter)
{
    QVector<Ring> rings;
    if (s.ringCount < 1)
        return rings;
    const int spacing = toInt(std::ceil(static_cast<double>(diameter) / s.ringCount));
    for (int i = 0; i <= s.ringCount; ++i) {
        const int d = toInt(diameter - static_cast<double>(i) * spacing);
        Ring ring;
        ring.value = ringValue(s, i);
        ring.bounds = QRect(QPoint(-d / 2, -d / 2), QPoint(d - d / 2 - 1, d - d / 2 - 1));
        ring.labelRadius = d / 2;
        ring.labelled = i + 1 != s.ringCount && ring.value > 0;
        rings.append(ring);
    }
    return rings;
}

QVector<RingLabel> ringLabels(const QVector<Ring> &rings, const Scale &s, const QString &suffix,
    const QFontMetrics &metrics, double labelAngle, int margin)
{
    const int h = metrics.height();
    const int most = ringDecimals(s);
    const int inward = metrics.horizontalAdvance(QLatin1Char('0')) / 2;
    const QString unit = QStringLiteral("%");
    QVector<RingLabel> labels(rings.size());
    QVector<QRect> ink(rings.size());
    for (int i = 0; i < rings.size(); ++i) {
        const Ring &ring = rings.at(i);
        if (!ring.labelled)
            continue;
        RingLabel &label = labels[i];
        // Each value with the decimals it needs: "10", "7.5", "5", "2.5".
        label.text = ringLabel(ring.value, qMin(decimalsOf(ring.value), most)) + suffix;
        // Every label starts the same way inward of its ring, so that labels of evenly spaced
        // rings are evenly spaced, whatever their widths.
        label.radius = ring.labelRadius - inward;
        const QPoint p = labelPoint(labelAngle, label.radius);
        label.baseline = QPoint(p.x(), p.y() + h / 3);
        QRect &rect = ink[i];
        rect = metrics.tightBoundingRect(label.text).translated(label.baseline);
        if (i == 0 && suffix.isEmpty()) {
            const QPoint u = labelPoint(labelAngle, label.radius + h);
            label.unitBaseline = QPoint(u.x() - h / 3, u.y() + h / 3);
            rect |= metrics.tightBoundingRect(unit).translated(label.unitBaseline);
        }
        rect.adjust(0, 0, margin, margin);
    }
    const QVector<bool> legible = legibleLabels(ink);
    for (int i = 0; i < labels.size(); ++i) {
        if (!legible.at(i))
            labels[i].text.clear();
    }
    return labels;
}

QVector<RingLabel> fittedRingLabels(const QVector<Ring> &rings, const Scale &s,
    const QString &suffix, const QFont &font, double labelAngle, int margin, QFont *used)
{
    int wanted = 0;
    for (const Ring &ring : rings)
        wanted += ring.labelled ? 1 : 0;
    QVector<RingLabel> labels;
    for (int tenths = 10; tenths >= 7; --tenths) {
        *used = font;
        if (font.pixelSize() > 0)
            used->setPixelSize(qMax(1, font.pixelSize() * tenths / 10));
        else
            used->setPointSizeF(font.pointSizeF() * tenths / 10);
        labels = ringLabels(rings, s, suffix, QFontMetrics(*used), labelAngle, margin);
        const auto shown = std::count_if(labels.cbegin(), labels.cend(),
            [](const RingLabel &label) { return !label.text.isEmpty(); });
        if (shown == wanted)
            break;
    }
    return labels;
}

namespace {

// Whether the labels of rings 0, k, 2k, ... keep clear of each other.
bool apartAt(const QVector<QRect> &ink, int k)
{
    QRect last;
    for (int i = 0; i < ink.size(); i += k) {
        const QRect &rect = ink.at(i);
        if (rect.isEmpty())
            continue;
        if (rect.intersects(last))
            return false;
        last = rect;
    }
    return true;
}

} // namespace

int labelStride(const QVector<QRect> &ink)
{
    const int count = int(ink.size());
    for (int k = 1; k < count; ++k) {
        if (apartAt(ink, k))
            return k;
    }
    return qMax(count, 1);
}

QVector<bool> legibleLabels(const QVector<QRect> &ink)
{
    const int k = labelStride(ink);
    QVector<bool> drawn(ink.size(), false);
    for (int i = 0; i < ink.size(); i += k)
        drawn[i] = !ink.at(i).isEmpty();
    return drawn;
}

int builtInSegmentLength(double percent, double diameter, int ringCount, double dataMaximum)
{
    if (ringCount < 2 || !(dataMaximum > 0))
        return 0;
    const double divisor = std::ceil(dataMaximum / (ringCount - 1)) * (ringCount - 1) * 2;
    if (!(divisor > 0) || !std::isfinite(divisor))
        return 0;
    return toInt(percent * barArea(diameter, ringCount) / divisor);
}

int pluginSegmentLength(ScaleAdjustment &scale, const Scale &s, int length, double value)
{
    int position = 0;
    scale.positionOnLinearScale(position, length, value, s.minimum, s.maximum, true);
    return position;
}

int clippedSegmentLength(int start, int length, int reach)
{
    if (length <= 0)
        return length;
    if (start >= reach)
        return 0;
    return qMin(length, reach - start);
}

SegmentRule segmentRule(
    ScaleAdjustment *scale, const Scale &rings, int holeRadius, double diameter, double dataMaximum)
{
    SegmentRule rule;
    rule.scale = scale;
    rule.rings = rings;
    rule.holeRadius = holeRadius;
    rule.diameter = diameter;
    rule.dataMaximum = dataMaximum;
    rule.scaleLength = toInt(diameter * 0.5 - holeRadius);
    if (!scale)
        rule.reach = toInt(diameter) / 2;
    else if (rings.exact)
        rule.reach
            = holeRadius + pluginSegmentLength(*scale, rings, rule.scaleLength, rings.maximum);
    return rule;
}

SegmentPlace placeSegment(
    const SegmentRule &rule, double position, double percent, double lengthFactor, double offset)
{
    int length = 0;
    int shift = 0;
    if (percent != 0) {
        if (rule.scale) {
            length = pluginSegmentLength(
                *rule.scale, rule.rings, rule.scaleLength, percent * lengthFactor);
            if (offset > 0)
                shift = pluginSegmentLength(*rule.scale, rule.rings, rule.scaleLength, offset);
        } else {
            length = builtInSegmentLength(
                percent, rule.diameter, rule.rings.ringCount, rule.dataMaximum);
        }
    }
    // A segment far beyond the image stays beyond it; the bound keeps its start plus its
    // length in int range for the style.
    SegmentPlace place;
    place.start = qBound(-maxSegmentReach, toInt(shift + position + 1), maxSegmentReach);
    place.shown = clippedSegmentLength(
        place.start, qBound(-maxSegmentReach, length, maxSegmentReach), rule.reach);
    place.advance = length;
    return place;
}

QPoint LegendRows::symbolOrigin() const
{
    return QPoint(barArea - half + 1, imageHeight - 5 - (symbolSize + 4) / 2);
}

QPoint LegendRows::rowOrigin() const
{
    return symbolOrigin() + QPoint(symbolSize, 0);
}

int LegendRows::bandStart(int classIndex) const
{
    return half + (classIndex - 1) * rowHeight;
}

int legendSymbolSize(int lineHeight)
{
    return toInt(1.2 * lineHeight);
}

LegendRows legendRows(int lineHeight, int titleBreaks, int classCount, int textWidth,
    int imageHeight, double barArea, bool showTitle)
{
    LegendRows rows;
    rows.lineHeight = lineHeight;
    rows.titleBreaks = titleBreaks;
    rows.classCount = classCount;
    rows.symbolSize = legendSymbolSize(lineHeight);
    rows.half = rows.symbolSize / 2;
    rows.textWidth = textWidth;
    const int content = titleBreaks + classCount * (lineHeight + 5) + 1;
    rows.available = imageHeight / 2 > content ? imageHeight / 2 : content;
    if (showTitle)
        rows.available -= (titleBreaks + 1) * lineHeight;
    // Without classes there are no rows to share the room (the legend then shows only its
    // title and its free text).
    rows.rowHeight = classCount > 0 ? rows.available / classCount : 0;
    rows.barArea = toInt(barArea);
    rows.imageWidth = toInt(static_cast<double>(rows.barArea) + textWidth + 10);
    rows.imageHeight = imageHeight;
    return rows;
}

LegendCells legendCells(const LegendRows &rows, int titleHeight)
{
    LegendCells cells;
    const int columnWidth = rows.textWidth + 10;
    cells.classLabels.resize(qMax(rows.classCount, 0));
    if (rows.classCount > 0)
        cells.firstLabel = QRect(0, rows.half - rows.symbolSize, columnWidth, rows.symbolSize);
    for (int i = 1; i < rows.classCount; ++i)
        cells.classLabels[i]
            = QRect(0, -(rows.bandStart(i) + rows.rowHeight), columnWidth, rows.rowHeight);
    // The title stands on the top of the last band (on the symbol line's band without rows).
    const int top = rows.bandStart(qMax(rows.classCount, 1));
    cells.title = QRect(-rows.half, -(titleHeight + top), rows.textWidth, titleHeight);
    cells.freeText = QRect(0, 5, rows.imageWidth - 5, rows.imageHeight / 2);
    return cells;
}

bool anyOverlap(const QVector<QRect> &rects)
{
    for (int i = 0; i < rects.size(); ++i) {
        for (int j = i + 1; j < rects.size(); ++j) {
            if (rects.at(i).intersects(rects.at(j)))
                return true;
        }
    }
    return false;
}

int rowHeightBelow(const LegendRows &rows, int titleHeight, int limit)
{
    if (rows.classCount < 2)
        return rows.rowHeight;
    // The column's top lies at rowOrigin.y - (half + (classCount - 1) * rowHeight + title).
    const int room = rows.rowOrigin().y() - rows.half - titleHeight - limit;
    const int fitting = room >= 0 ? room / (rows.classCount - 1) : -1;
    return qMin(rows.rowHeight, fitting);
}

} // namespace RoseLayout
