#ifndef ROSELAYOUT_H
#define ROSELAYOUT_H

#include <QPoint>
#include <QRect>
#include <QVector>

class ScaleAdjustment;

// The geometry of a rose and its legend, computed before anything is painted: the radial
// scale, the ring radii, the segment lengths of the built-in rule and the legend's rows.
// Nothing here touches a painter, so every number can be checked on its own.
namespace RoseLayout {

// Truncates toward zero like a C cast, but gives 0 for NaN and saturates at the int limits:
// every computed coordinate of the drawing goes through it, so no non-finite or oversized
// value is ever converted to an integer.
int toInt(double value);

// pi as the drawing has always used it; the compass and label angles derive from it.
constexpr double roughPi = 3.14159265;

// The point at angle (radians, screen coordinates: 0 points right, positive turns
// clockwise) and distance, each coordinate truncated toward zero.
QPoint polarPoint(double angle, double distance);

// Where a ring label at the given angle in degrees and distance from the centre starts.
QPoint labelPoint(double angleDegrees, double distance);

// The radial extent of the bars, D - D / ringCount; 0 when there are no rings.
double barArea(double diameter, int ringCount);

// Thickness of the segments of class classIndex: the outer classes get thicker bars.
// 0 when there are no classes.
double ringRadius(
    double diameter, int ringCount, int classIndex, int classCount, double sizeFactor);

// The radial percentage scale of the rings.
struct Scale
{
    double minimum = 0.0;
    double maximum = 0.0;
    int ringCount = 4;
    int ringStep = 0;
};

// Upper bound of the ring count: more rings than that cannot be told apart on any image,
// and the bound keeps the drawing loop finite for any fixed scale a caller asks for.
constexpr int maxRingCount = 1000;

// The final scale of the rings. renderedMinimum and renderedMaximum are the limits prepared
// before the grid is drawn (possibly rounded by the scale plug-in); dataMaximum is the largest
// stacked share of a sector (0 when nothing was counted); fixedMaximum and fixedSegments are
// the caller's fixed scale (used when fixedMaximum is above 0 and finite).
Scale ringScale(double renderedMinimum, double renderedMaximum, double dataMaximum,
    double fixedMaximum, int fixedSegments);

// One ring of the grid: its value, the rectangle of its ellipse around the centre, the
// distance its label is measured from, and whether it carries a label.
struct Ring
{
    int value = 0;
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

// The built-in length of a segment showing percent: the stacked share dataMaximum, rounded up
// to a multiple of (ringCount - 1), reaches half the bar area. Without a usable divisor (no
// stacked share, or a single ring) the length is 0, so nothing is drawn beyond the rose.
int builtInSegmentLength(double percent, double diameter, int ringCount, double dataMaximum);

// Segment length (or shift) through the scale plug-in: the position of value on a scale of
// length pixels.
int pluginSegmentLength(ScaleAdjustment &scale, const Scale &s, int length, double value);

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

} // namespace RoseLayout

#endif // ROSELAYOUT_H
