#ifndef ROSEFRAME_H
#define ROSEFRAME_H

#include "roselayout.h"

#include "rosecounts.h"
#include "rosesettings.h"
#include "spoke.h"

#include <QBrush>
#include <QFont>
#include <QSize>
#include <QString>
#include <QVector>

class ScaleAdjustment;

// How thick the segments of a class are: the radial extent of the bars (see
// RoseLayout::barArea) times (classIndex + 2), step, share and sizeFactor.
struct SegmentThickness
{
    double step = 0.0;
    double share = 0.0;
    double sizeFactor = 1.0;

    double at(double diameter, int ringCount, int classIndex) const;
};

// Everything a frame is measured from, as plain values: the counts and settings of the chart,
// the scale plug-in (null: the built-in rules), the chart's font, the diameters of the rings
// (on the rose's part) and of the data (on the drawing the legend may widen), the thickness
// rule and the style of every class of every sector.
struct FrameInput
{
    FrameInput(const RoseCounts &counts, const RoseSettings &settings)
        : counts(counts)
        , settings(settings)
    { }

    const RoseCounts &counts;
    const RoseSettings &settings;
    ScaleAdjustment *scale = nullptr;
    QFont font;
    // The rose's part of the drawing and the whole drawing, which the legend may widen.
    QSize roseArea;
    QSize area;
    double gridDiameter = 0.0; // at the height of roseArea
    double dataDiameter = 0.0; // at the height of area
    int classCount = 0;
    SegmentThickness thickness;
    // Per sector in key order, per class in key order; no segments are measured without a
    // segment style.
    QVector<QVector<Spoke>> styles;
    bool hasStyle = false;
};

// Everything one drawing of a rose paints, measured before anything is painted: the radial
// scale with its rings and the centre text (on the rose's part of the drawing, where the
// background and the grid are painted), and every visible class segment of every sector (on
// the drawing the legend may have widened, where the data are painted). Texts are measured
// where they are painted.
struct RoseFrame
{
    // A class segment along its sector's axis: start and length from the centre, thickness
    // across the axis, and the class's brush and bar width for the style; which class of its
    // sector it shows (key order, from 0) and that class's count.
    struct Segment
    {
        int start = 0;
        int length = 0;
        int thickness = 0;
        QBrush brush;
        double width = 1.0;
        int classIndex = 0;
        qint64 count = 0;
    };

    // Where the drawing is painted: the background and the grid on the rose's part, the data
    // on the whole drawing.
    QSize roseArea;
    QSize area;
    double ringDiameter = 0.0; // what the background is painted around
    int diameter = 0; // of the rings
    int holeRadius = 0; // the centre's hole, where the centre text stands
    RoseLayout::Scale scale;
    bool placedRings = false; // placed by the scale plug-in, not by the built-in rule
    QVector<RoseLayout::Ring> rings; // outermost first
    QString centreText; // the first class's share

    double dataDiameter = 0.0;
    double sectorStep = 0.0; // degrees from one sector's axis to the next
    // The segment thickness of every class (by class index) on the data's diameter.
    QVector<double> classThickness;
    // The segments that show, per sector in key order; no sectors when there is nothing to draw.
    QVector<QVector<Segment>> sectors;

    // The grid first (the thicknesses of the data depend on its ring count), then the data.
    static RoseFrame measure(const FrameInput &input);
    // The furthest reach of any sector's segments (RoseLayout::stackReach), in percent.
    static double drawnMaximum(const FrameInput &input);

private:
    static void measureGrid(const FrameInput &input, RoseFrame &frame);
    static void measureData(const FrameInput &input, RoseFrame &frame);
    // The scale as the scale plug-in rounds the data's range (unrounded without the plug-in).
    static RoseLayout::Scale roundedScale(const FrameInput &input);
    static QVector<Segment> measureSector(const FrameInput &input, const RoseFrame &frame,
        const RoseLayout::SegmentRule &rule, const RoseCounts::Classes &classes,
        const QVector<Spoke> &styles);
};

#endif // ROSEFRAME_H
