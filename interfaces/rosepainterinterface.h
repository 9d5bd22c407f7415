#ifndef ROSEPAINTERINTERFACE_H
#define ROSEPAINTERINTERFACE_H

#include <QSize>
#include <QtPlugin>

class QPainter;

// Painting a chart onto any painter: a vector drawing (QSvgGenerator), a document (QPdfWriter),
// a printer or an image. A chart offers it beside WindRoseInterface, whose drawImage paints only
// into an image of its own. A chart that has both paints the same picture through either: the
// same layout, the same texts and the same state changes (the table data afterwards describe
// the drawing, as after drawImage).
//
// Units are the pixels of the image drawImage would make, on a device of 96 dots per inch: set a
// device of another resolution to 96 (QSvgGenerator::setResolution, QPdfWriter::setResolution)
// or scale the painter, so that the chart's fonts (sized in points) keep their place in the
// layout. Pictures, texts, gradients and shapes reach the painter as they are; nothing is
// painted through a raster image of the chart's own.
//
// The operations are declared in a fixed order: hosts and plug-ins built elsewhere rely on it.
class RosePainterInterface
{
public:
    virtual ~RosePainterInterface() = default;

    // The size of the chart's drawing when it paints over a picture of size canvas: what
    // drawImage makes of an image of that size. An empty canvas stands for a null image (the
    // chart's own size). An empty result when there is nothing to draw (no sectors).
    virtual QSize paintSize(const QSize &canvas) = 0;

    // Paints the chart onto painter, the drawing's top left corner at the origin of the
    // painter's window, as drawImage paints over a picture of size canvas (empty: a null
    // image); what the painter already holds there stands for that picture. The drawing covers
    // paintSize(canvas). The chart sets the painter's world transformation for its steps: a
    // host that places the drawing elsewhere sets the window or the viewport. The painter's
    // state is as it was afterwards. False (and nothing painted) without sectors to draw or
    // without a painter that is active.
    virtual bool paint(QPainter *painter, const QSize &canvas) = 0;
};

#define RosePainterInterface_iid "helicart.rosePainter/1.0"
Q_DECLARE_INTERFACE(RosePainterInterface, RosePainterInterface_iid)

#endif // ROSEPAINTERINTERFACE_H
