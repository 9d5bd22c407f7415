#ifndef ROSEPAINTER_H
#define ROSEPAINTER_H

#include <QFont>
#include <QImage>
#include <QPen>
#include <QTransform>

class QPainter;
class WindroseStyle;
struct RoseFrame;

// The paint steps of a wind rose. Each paints what a measured RoseFrame (or the values it is
// handed) says; none measures anything on its own.
namespace RosePainter {

constexpr QRgb transparent = 0x00000000;
constexpr QRgb opaqueWhite = 0xffffffff;

// How the grid is drawn: the chart's font and grid pen, its background and grid switches, and
// the angle (degrees) along which the ring labels are written.
struct GridLook
{
    QFont font;
    QPen pen;
    bool background = true;
    bool grid = true;
    double labelAngle = 0.0;
    double halo = 5.0; // width of the white stroke under the ring labels
};

// A width x height ARGB32 image filled with fill (a null image for an empty size).
QImage blankImage(int width, int height, QRgb fill);

void setRenderHints(QPainter *painter);

// The steps paint onto an area of the given size at the painter's origin: the chart's image,
// or the same place on a vector drawing. They set the painter's transformation themselves.

// The compass letters (in font, the four main ones a fifth larger) and the guide ticks around
// rings of the given diameter, centred on the area.
void paintCompass(QPainter *painter, const QSize &area, const QFont &font, double diameter);

// The centre text (with the background only), then the rings, centred on the area.
void paintGrid(QPainter *painter, const QSize &area, const RoseFrame &frame, const GridLook &look);

// The rings' labels, each on a white halo, after the data: no bar hides one. Of rings too close
// for all their labels every k-th is labelled (RoseLayout::ringLabels).
void paintRingLabels(
    QPainter *painter, const QSize &area, const RoseFrame &frame, const GridLook &look);

// The axes of the first sector: the centre of the square at the area's left, the sector
// pointing up when rotation is 0. Each further sector turns them by the frame's sector step.
QTransform dataAxes(const QSize &area, double rotation);

// The segments of every sector, in the axes of dataAxes. The style is given the rose's
// diameter and the area's centre.
void paintData(QPainter *painter, const QSize &area, const RoseFrame &frame, WindroseStyle &style,
    double rotation);

// The render time at the bottom left of the area: it tells renders of the same chart apart
// (unless a fixed stamp time is asked for, see SourceDate).
void paintTimeStamp(QPainter *painter, const QSize &size, int pixelSize = 12);

} // namespace RosePainter

#endif // ROSEPAINTER_H
