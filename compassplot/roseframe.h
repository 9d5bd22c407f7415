#ifndef ROSEFRAME_H
#define ROSEFRAME_H

#include "roselayout.h"

#include "rosecounts.h"

#include <QBrush>
#include <QString>
#include <QVector>

class QWindRose;

// Everything one drawing of a rose paints, measured before anything is painted: the radial
// scale with its rings and the centre text (on the image the background and the grid are
// painted on), and every visible class segment of every sector (on the image the data are
// painted on, which the legend may have widened). Texts are measured where they are painted.
struct RoseFrame
{
    // A class segment along its sector's axis: start and length from the centre, thickness
    // across the axis, and the class's brush and bar width for the style.
    struct Segment
    {
        int start = 0;
        int length = 0;
        int thickness = 0;
        QBrush brush;
        double width = 1.0;
    };

    int diameter = 0; // of the rings
    int holeRadius = 0; // the centre's hole, where the centre text stands
    RoseLayout::Scale scale;
    bool placedRings = false; // placed by the scale plug-in, not by the built-in rule
    QVector<RoseLayout::Ring> rings; // outermost first
    QString centreText; // the first class's share

    double dataDiameter = 0.0;
    double sectorStep = 0.0; // degrees from one sector's axis to the next
    // The segments that show, per sector in key order; no sectors when there is nothing to draw.
    QVector<QVector<Segment>> sectors;

    // The scale, the rings and the centre text of rose, at the height of the image it draws.
    static RoseFrame measureGrid(const QWindRose &rose);
    // The segments of rose on frame's scale, at the height of the image it draws.
    static void measureData(const QWindRose &rose, RoseFrame &frame);

private:
    // The scale as the scale plug-in rounds the data's range (unrounded without the plug-in).
    static RoseLayout::Scale roundedScale(const QWindRose &rose);
    static QVector<Segment> measureSector(const QWindRose &rose,
        const RoseLayout::SegmentRule &rule, const RoseCounts::Classes &classes);
};

#endif // ROSEFRAME_H
