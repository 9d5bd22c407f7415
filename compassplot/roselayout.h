#ifndef ROSELAYOUT_H
#define ROSELAYOUT_H

#include <QFont>
#include <QFontMetrics>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>

class ScaleAdjustment;

// The geometry of a rose and its legend, computed before anything is painted: the radial
// scale, the ring radii, the segment lengths of the built-in rule and the legend's rows.
// Nothing here touches a painter, so every number can be checked on its own.
namespace RoseLayout {

// Every computed coordinate of the drawing is converted to an integer by Numeric::toInt.

// font at factor times its size (in points, fractions kept, or in whole pixels, at least 1);
// font itself at factor 1.
QFont scaledText(const QFont &font, double factor);

// The pixel size of the time stamp's type at a text scale.
constexpr int stampPixelSize = 12;
int stampSize(double textScale);

// pi as the drawing has always used it; the compass and label angles derive from it.
constexpr double roughPi = 3.14159265;

// An angle in degrees in the radians of roughPi.
constexpr double roughRadians(double degrees)
{
    return degrees * roughPi / 180.0;
}

// The point at angle (radians, screen coordinates: 0 points right, positive turns
// clockwise) and distance, each coordinate truncated toward zero.
QPoint polarPoint(double angle, double distance);

// Where a ring label at the given angle in degrees and distance from the centre starts.
QPoint labelPoint(double angleDegrees, double distance);

// The part of a picture of size canvas that a rose is drawn around: a picture wider than high
// holds it in the square at its left (where its bars are drawn), any other is the rose's part
// as a whole.
QSize roseSquare(const QSize &canvas);

// The radial extent of the bars, D - D / ringCount; 0 when there are no rings.
double barArea(double diameter, int ringCount);

// Thickness of the segments of class classIndex: the outer classes get thicker bars.
// 0 when there are no classes.
double ringRadius(
    double diameter, int ringCount, int classIndex, int classCount, double sizeFactor);

// The radial percentage scale of the rings. An automatic scale steps down in whole percents
// from the whole part of its maximum; a fixed one (exact) divides its maximum into ringCount
// equal floating-point steps, so that its rings end at 0.
struct Scale
{
    double minimum = 0.0;
    double maximum = 0.0;
    int ringCount = 4;
    double ringStep = 0.0;
    bool exact = false;
};

// Upper bound of the ring count: more rings than that cannot be told apart on any image,
// and the bound keeps the drawing loop finite for any fixed scale a caller asks for.
constexpr int maxRingCount = 1000;

// Ring lines are 2 pixels wide; rings less than 2 blank pixels apart merge into one grey area.
constexpr int minRingGap = 2;
constexpr int minRingSpacing = 2 + minRingGap;

// Decimals of the ring labels: none for whole steps, else as many as the step and the maximum
// need, at most 2.
constexpr int maxRingDecimals = 2;

// The value of ring i, counted from the outermost (i = 0) inward.
double ringValue(const Scale &s, int i);

// The decimals the labels of the scale's rings need (0 for an automatic scale).
int ringDecimals(const Scale &s);

// A ring's label: the value with the given decimals.
QString ringLabel(double value, int decimals);

// The scale with at most as many rings as fit into length pixels (the radial room of the
// rings) minRingSpacing apart; the step grows to match. An automatic scale is left as it is.
Scale withRingGap(Scale s, int length);

// How far the stacked segments of a sector reach, in percent of the scale: the segments of
// the classes in key order with their shares, length factors and offsets, each starting where
// the one before ends (an offset above 0 shifts only its own segment). The first class counts
// as any other: its segment is drawn.
double stackReach(
    const QVector<double> &shares, const QVector<double> &lengths, const QVector<double> &offsets);

// The final scale of the rings. renderedMinimum and renderedMaximum are the limits prepared
// before the grid is drawn (possibly rounded by the scale plug-in); dataMaximum is the furthest
// reach of a sector's segments (see stackReach; 0 when nothing was counted), which the
// outermost ring of an automatic scale holds; fixedMaximum and fixedSegments are
// the caller's fixed scale (used when fixedMaximum is above 0 and finite).
Scale ringScale(double renderedMinimum, double renderedMaximum, double dataMaximum,
    double fixedMaximum, int fixedSegments);

// One ring of the grid: its value, the rectangle of its ellipse around the centre, the
// distance its label is measured from, and whether it carries a label.
struct Ring
{
    double value = 0.0;
    QRect bounds;
    int labelRadius = 0;
    bool labelled = false;

    bool operator==(const Ring &other) const;
};

// Rings placed by the scale plug-in, outermost first: ringCount + 1 rings from the scale's
// maximum down by ringStep, each at holeRadius plus its position on the scale.
QVector<Ring> pluginRings(ScaleAdjustment &scale, const Scale &s, int diameter, int holeRadius);

// Rings of the built-in rule, outermost first: evenly spaced diameters from the rose's
// diameter down by ceil(diameter / ringCount).
QVector<Ring> builtInRings(const Scale &s, int diameter);

// A ring's label: its text (empty when the ring shows none), the distance from the centre it
// is measured at, its baseline origin and, for the outermost label of rings that carry the
// unit apart, the baseline origin of the unit.
struct RingLabel
{
    QString text;
    int radius = 0;
    QPoint baseline;
    QPoint unitBaseline;
};

// The labels of rings in metrics' font, written along labelAngle (degrees): the value followed
// by suffix; an empty suffix puts the unit "%" beyond the outermost label. Of rings too close
// for all their labels only every k-th is labelled, k the smallest that keeps the labels clear
// of each other with at least margin blank pixels between their ink (for the halos). Each
// value is written with the decimals it needs, at most the scale's (ringDecimals).
QVector<RingLabel> ringLabels(const QVector<Ring> &rings, const Scale &s, const QString &suffix,
    const QFontMetrics &metrics, double labelAngle, int margin = 0);

// ringLabels in the largest size of font, from its own down to seven tenths of it, at which
// every ring that carries a label keeps it; when none is, in the smallest, of which every k-th
// ring is labelled. *used is set to the font of the labels.
QVector<RingLabel> fittedRingLabels(const QVector<Ring> &rings, const Scale &s,
    const QString &suffix, const QFont &font, double labelAngle, int margin, QFont *used);

// The smallest k for which the labels of rings 0, k, 2k, ... (their ink rectangles, outermost
// ring first; an empty rectangle for a ring without label) keep clear of each other; at most
// the number of rectangles, where only the first is left.
int labelStride(const QVector<QRect> &ink);

// Which of the labels are drawn: those of every labelStride(ink)-th ring that have one.
QVector<bool> legibleLabels(const QVector<QRect> &ink);

// The built-in length of a segment showing percent: the stacked share dataMaximum, rounded up
// to a multiple of (ringCount - 1), reaches half the bar area. Without a usable divisor (no
// stacked share, or a single ring) the length is 0, so nothing is drawn beyond the rose.
int builtInSegmentLength(double percent, double diameter, int ringCount, double dataMaximum);

// Segment length (or shift) through the scale plug-in: the position of value on a scale of
// length pixels.
int pluginSegmentLength(ScaleAdjustment &scale, const Scale &s, int length, double value);

// The length of a segment that starts start pixels from the centre, cut where it would pass
// reach (the outer ring): 0 when it starts at or beyond reach.
int clippedSegmentLength(int start, int length, int reach);

// Pixels from the centre beyond which no segment can show on any image.
constexpr int maxSegmentReach = 1 << 24;

// How the data segments of a rose are placed along their sector's axis: from the hole outward,
// sized by the scale plug-in (scale not null) or by the built-in rule.
struct SegmentRule
{
    ScaleAdjustment *scale = nullptr;
    Scale rings;
    int holeRadius = 0;
    double diameter = 0.0; // of the rose the data are drawn on
    double dataMaximum = 0.0; // the largest stacked share
    int scaleLength = 0; // the bars' room on the plug-in's scale
    // Where the bars stop: at the outer ring of a fixed scale and of the built-in rule (whose
    // bars start at the hole, so the largest stack could run past it); an automatic scale of
    // the plug-in lets them run as they always have.
    int reach = maxSegmentReach;
};

SegmentRule segmentRule(ScaleAdjustment *scale, const Scale &rings, int holeRadius, double diameter,
    double dataMaximum);

// A segment on its axis: where it starts, how much of it shows (0: nothing), and how far the
// next segment of the sector moves out (the full length, even of a cut or shifted segment).
struct SegmentPlace
{
    int start = 0;
    int shown = 0;
    int advance = 0;
};

// The segment of a class with share percent whose predecessors end at position; lengthFactor
// stretches it, an offset above 0 shifts it outward (on the plug-in's scale only).
SegmentPlace placeSegment(
    const SegmentRule &rule, double position, double percent, double lengthFactor, double offset);

// The rows of a legend, in pixels. The rows are laid out in a frame whose origin is the
// middle of the first class's symbol line; y grows upward for the bands.
struct LegendRows
{
    int lineHeight = 0;
    int titleBreaks = 0; // line breaks in the legend title
    int classCount = 0;
    int symbolSize = 0;
    int half = 0; // half the symbol size
    int textWidth = 0; // the text column
    int available = 0; // height shared by the class rows
    int rowHeight = 0; // 0 when there are no classes
    int barArea = 0; // radial extent of the rose's bars
    int imageWidth = 0;
    int imageHeight = 0;

    // Origin of the symbol (T0) and of the bars and labels (T1), in image coordinates.
    QPoint symbolOrigin() const;
    QPoint rowOrigin() const;
    // Distance above the row origin where the band of class i (1 ... classCount - 1) starts.
    int bandStart(int classIndex) const;
};

// symbolSize is trunc(1.2 * lineHeight); see WindroseLegend::draw for the quantities.
int legendSymbolSize(int lineHeight);
LegendRows legendRows(int lineHeight, int titleBreaks, int classCount, int textWidth,
    int imageHeight, double barArea, bool showTitle);

// The cells the legend's texts are drawn in. The labels and the title are in the frame of the
// rows (origin LegendRows::rowOrigin(), y up is negative), the free text's area in the legend
// image's own coordinates.
struct LegendCells
{
    QRect firstLabel; // beside the first class's symbol
    QVector<QRect> classLabels; // one per class; the first class's stays empty
    QRect title; // above the rows
    QRect freeText; // the top half, the text aligned to its right
};

// The cells for rows; titleHeight is the height of the title's cell (0 when no title is shown).
LegendCells legendCells(const LegendRows &rows, int titleHeight);

// Whether any two of the rectangles overlap.
bool anyOverlap(const QVector<QRect> &rects);

// The largest row height at which the top of the legend's column (the title's cell, or the
// topmost class cell without a title) stays at or below limit (image coordinates, y down); the
// rows' own height when that already does. Without two classes there is no row height to
// give, and the rows' own height comes back.
int rowHeightBelow(const LegendRows &rows, int titleHeight, int limit);

} // namespace RoseLayout

#endif // ROSELAYOUT_H
