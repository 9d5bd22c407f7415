#include "roseframe.h"

#include "numeric.h"
#include "qwindrose.h"
#include "scaleadjustment.h"

#include <QFontMetrics>

RoseLayout::Scale RoseFrame::roundedScale(const QWindRose &rose)
{
    RoseLayout::Scale s;
    const double data = rose.counts().dataMaximum();
    s.minimum = 0.0;
    s.maximum = data > 0 ? data : 10.0;
    if (ScaleAdjustment *scale = rose.scale()) {
        int step = Numeric::toInt(s.ringStep);
        scale->roundLinearScale(s.minimum, s.maximum, s.ringCount, step);
        s.ringStep = step;
    }
    return s;
}

RoseFrame RoseFrame::measureGrid(const QWindRose &rose)
{
    const RoseLayout::Scale rounded = roundedScale(rose);
    const RoseSettings &settings = rose.settings();
    ScaleAdjustment *scale = rose.scale();
    RoseFrame frame;
    frame.diameter = Numeric::toInt(rose.roseDiameter());
    frame.holeRadius = QFontMetrics(rose.font()).horizontalAdvance(QStringLiteral("MM%")) / 2 + 5;
    // The rings of a fixed scale keep apart over the radial room they share (from the hole
    // outward with the scale plug-in, from the centre without it).
    const int radius = frame.diameter / 2;
    frame.scale = RoseLayout::withRingGap(
        RoseLayout::ringScale(rounded.minimum, rounded.maximum, rose.counts().dataMaximum(),
            settings.fixedScaleMaximum, settings.fixedScaleSegments),
        scale ? radius - frame.holeRadius : radius);
    frame.centreText = QString::number(rose.counts().classTotal(0), 'f', 0) + QStringLiteral("%");
    frame.placedRings = scale != nullptr;
    frame.rings = scale
        ? RoseLayout::pluginRings(*scale, frame.scale, frame.diameter, frame.holeRadius)
        : RoseLayout::builtInRings(frame.scale, frame.diameter);
    return frame;
}

void RoseFrame::measureData(const QWindRose &rose, RoseFrame &frame)
{
    frame.dataDiameter = rose.roseDiameter();
    frame.sectors.clear();
    const RoseCounts &counts = rose.counts();
    const RoseCounts::SectorMap &sectors = counts.sectors();
    if (sectors.isEmpty() || sectors.first().isEmpty() || counts.total() == 0 || !rose.style())
        return;
    frame.sectorStep = 360.0 / sectors.size();
    const RoseLayout::SegmentRule rule = RoseLayout::segmentRule(
        rose.scale(), frame.scale, frame.holeRadius, frame.dataDiameter, counts.dataMaximum());
    for (const RoseCounts::Classes &classes : sectors)
        frame.sectors.append(measureSector(rose, rule, classes));
}

QVector<RoseFrame::Segment> RoseFrame::measureSector(
    const QWindRose &rose, const RoseLayout::SegmentRule &rule, const RoseCounts::Classes &classes)
{
    QVector<Segment> segments;
    double position = rule.holeRadius;
    int j = 0;
    for (auto it = classes.cbegin(); it != classes.cend(); ++it, ++j) {
        const double thickness = rose.ringRadius(j);
        const Spoke style = rose.classStyle(it.key(), it.value());
        const RoseLayout::SegmentPlace place = RoseLayout::placeSegment(
            rule, position, rose.counts().percent(it.value()->count), style.length, style.offset);
        if (place.shown != 0) {
            segments.append(
                { place.start, place.shown, Numeric::toInt(thickness), style.brush, style.width });
        }
        // A shift moves only its own segment; the next one starts where this one ends.
        position += place.advance;
    }
    return segments;
}
