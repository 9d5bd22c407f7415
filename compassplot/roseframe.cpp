#include "roseframe.h"

#include "numeric.h"
#include "scaleadjustment.h"

#include <QFontMetrics>

double SegmentThickness::at(double diameter, int ringCount, int classIndex) const
{
    return RoseLayout::barArea(diameter, ringCount) * (classIndex + 2) * step * share * sizeFactor;
}

double RoseFrame::drawnMaximum(const FrameInput &input)
{
    double largest = 0.0;
    int k = 0;
    const RoseCounts &counts = input.counts;
    for (auto sector = counts.sectors().cbegin(); sector != counts.sectors().cend();
         ++sector, ++k) {
        QVector<double> shares;
        QVector<double> lengths;
        QVector<double> offsets;
        const QVector<Spoke> styles = input.styles.value(k);
        int j = 0;
        for (const ClassCount *count : sector.value()) {
            const Spoke style = styles.value(j++);
            shares.append(counts.percent(count->count));
            lengths.append(style.length);
            offsets.append(style.offset);
        }
        largest = qMax(largest, RoseLayout::stackReach(shares, lengths, offsets));
    }
    return largest;
}

RoseLayout::Scale RoseFrame::roundedScale(const FrameInput &input)
{
    RoseLayout::Scale s;
    const double data = drawnMaximum(input);
    s.minimum = 0.0;
    s.maximum = data > 0 ? data : 10.0;
    if (ScaleAdjustment *scale = input.scale) {
        int step = Numeric::toInt(s.ringStep);
        scale->roundLinearScale(s.minimum, s.maximum, s.ringCount, step);
        s.ringStep = step;
    }
    return s;
}

RoseFrame RoseFrame::measure(const FrameInput &input)
{
    RoseFrame frame;
    frame.roseArea = input.roseArea;
    frame.area = input.area;
    frame.ringDiameter = input.gridDiameter;
    measureGrid(input, frame);
    measureData(input, frame);
    return frame;
}

void RoseFrame::measureGrid(const FrameInput &input, RoseFrame &frame)
{
    const RoseLayout::Scale rounded = roundedScale(input);
    const RoseSettings &settings = input.settings;
    ScaleAdjustment *scale = input.scale;
    frame.diameter = Numeric::toInt(input.gridDiameter);
    frame.holeRadius = QFontMetrics(input.font).horizontalAdvance(QStringLiteral("MM%")) / 2 + 5;
    // The rings of a fixed scale keep apart over the radial room they share (from the hole
    // outward with the scale plug-in, from the centre without it).
    const int radius = frame.diameter / 2;
    frame.scale = RoseLayout::withRingGap(
        RoseLayout::ringScale(rounded.minimum, rounded.maximum, drawnMaximum(input),
            settings.fixedScaleMaximum, settings.fixedScaleSegments),
        scale ? radius - frame.holeRadius : radius);
    frame.centreText = QString::number(input.counts.classTotal(0), 'f', 0) + QStringLiteral("%");
    frame.placedRings = scale != nullptr;
    frame.rings = scale
        ? RoseLayout::pluginRings(*scale, frame.scale, frame.diameter, frame.holeRadius)
        : RoseLayout::builtInRings(frame.scale, frame.diameter);
}

void RoseFrame::measureData(const FrameInput &input, RoseFrame &frame)
{
    frame.dataDiameter = input.dataDiameter;
    frame.classThickness.clear();
    for (int j = 0; j < input.classCount; ++j)
        frame.classThickness.append(
            input.thickness.at(frame.dataDiameter, frame.scale.ringCount, j));
    frame.sectors.clear();
    const RoseCounts &counts = input.counts;
    const RoseCounts::SectorMap &sectors = counts.sectors();
    if (sectors.isEmpty() || sectors.first().isEmpty() || counts.total() == 0 || !input.hasStyle)
        return;
    frame.sectorStep = 360.0 / sectors.size();
    const RoseLayout::SegmentRule rule = RoseLayout::segmentRule(
        input.scale, frame.scale, frame.holeRadius, frame.dataDiameter, drawnMaximum(input));
    int k = 0;
    for (auto it = sectors.cbegin(); it != sectors.cend(); ++it, ++k)
        frame.sectors.append(measureSector(input, frame, rule, it.value(), input.styles.at(k)));
}

QVector<RoseFrame::Segment> RoseFrame::measureSector(const FrameInput &input,
    const RoseFrame &frame, const RoseLayout::SegmentRule &rule, const RoseCounts::Classes &classes,
    const QVector<Spoke> &styles)
{
    QVector<Segment> segments;
    double position = rule.holeRadius;
    int j = 0;
    for (auto it = classes.cbegin(); it != classes.cend(); ++it, ++j) {
        // The thickness on this frame's ring count, at the data's diameter.
        const double thickness = input.thickness.at(frame.dataDiameter, frame.scale.ringCount, j);
        const Spoke &style = styles.at(j);
        const RoseLayout::SegmentPlace place = RoseLayout::placeSegment(
            rule, position, input.counts.percent(it.value()->count), style.length, style.offset);
        if (place.shown != 0) {
            segments.append({ place.start, place.shown, Numeric::toInt(thickness), style.brush,
                style.width, j, it.value()->count });
        }
        // A shift moves only its own segment; the next one starts where this one ends.
        position += place.advance;
    }
    return segments;
}
