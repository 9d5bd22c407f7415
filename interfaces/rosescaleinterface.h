#ifndef ROSESCALEINTERFACE_H
#define ROSESCALEINTERFACE_H

#include <QtPlugin>

// The scale a chart drew with: for a host that puts several charts on one scale (the largest of
// their own), so that equal ring radii mean equal percentages.
//
// The operations are declared in a fixed order: hosts and plug-ins built elsewhere rely on it.
class RoseScaleInterface
{
public:
    virtual ~RoseScaleInterface() = default;

    // The percentage of the outer ring and the number of rings of the last drawing. False for
    // a null pointer, and before the first drawing.
    virtual bool getScale(double *maximum, int *rings) = 0;
};

#define RoseScaleInterface_iid "helicart.roseScale/1.0"
Q_DECLARE_INTERFACE(RoseScaleInterface, RoseScaleInterface_iid)

#endif // ROSESCALEINTERFACE_H
