#ifndef ROSESEGMENTSINTERFACE_H
#define ROSESEGMENTSINTERFACE_H

#include <QList>
#include <QPolygonF>
#include <QtPlugin>

// Where a chart painted its class segments: for a host that lays shapes of its own over them
// (a page on which pointing at a segment tells its numbers). A chart offers it beside
// WindRoseInterface. The segments are those of the chart's last drawing (drawImage, or paint
// of RosePainterInterface), taken from the measures that drawing painted them with, in the
// pixels of that drawing, its top left corner at the origin.
//
// The operations are declared in a fixed order: hosts and plug-ins built elsewhere rely on it.
class RoseSegmentsInterface
{
public:
    struct Segment
    {
        int sector = 0; // in table order, as RoseTallyInterface lists the sectors
        int classIndex = 0; // in table order, the first class included
        qint64 count = 0; // the measurements counted in the segment's sector and class
        QPolygonF outline; // the painted shape, closed
    };

    virtual ~RoseSegmentsInterface() = default;

    // Fills *segments with every segment the last drawing painted, in the order it painted
    // them; none before the first drawing, none for a drawing without data. False for a null
    // pointer.
    virtual bool getSegments(QList<Segment> *segments) = 0;
};

#define RoseSegmentsInterface_iid "helicart.roseSegments/1.0"
Q_DECLARE_INTERFACE(RoseSegmentsInterface, RoseSegmentsInterface_iid)

#endif // ROSESEGMENTSINTERFACE_H
