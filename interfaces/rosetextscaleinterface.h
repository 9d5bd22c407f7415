#ifndef ROSETEXTSCALEINTERFACE_H
#define ROSETEXTSCALEINTERFACE_H

#include <QtPlugin>

// Texts in proportion with the picture: a chart offers it beside WindRoseInterface, whose font
// stays the same whatever image height it is given. A host that draws a chart larger or smaller
// than the height its fonts were chosen for gives the ratio, and every text of the chart (the
// rose's, the legend's and the time stamp) is drawn that many times its own size, with the
// room around it (the rose's diameter, the legend's rows, the halo of a label) measured from
// the scaled texts as before. A chart that is never told draws its texts at their own size.
//
// The operations are declared in a fixed order: hosts and plug-ins built elsewhere rely on it.
class RoseTextScaleInterface
{
public:
    virtual ~RoseTextScaleInterface() = default;

    // Draws the chart's texts at factor times their size from the next drawing on; 1 is their
    // own size. False, and nothing changed, for a factor that is not above 0 or not finite.
    virtual bool setTextScale(double factor) = 0;
};

#define RoseTextScaleInterface_iid "helicart.roseTextScale/1.0"
Q_DECLARE_INTERFACE(RoseTextScaleInterface, RoseTextScaleInterface_iid)

#endif // ROSETEXTSCALEINTERFACE_H
