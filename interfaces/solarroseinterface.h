#ifndef SOLARROSEINTERFACE_H
#define SOLARROSEINTERFACE_H

#include "windroseinterface.h"

#include <QTime>

// A rose whose sectors are the hours of the day. Extends the wind rose by two operations.
class SolarRoseInterface : public WindRoseInterface
{
public:
    // Counts one measurement by its time of day (the hour sector) and value (the class).
    // Always true.
    virtual bool addSolarMeasurement(const QTime &time, double value) = 0;
    // Replaces all classes with evenly spaced ones rounded by the scale plug-in, with open
    // classes below and above when limits is set. Always false: callers must not read it as
    // a failure.
    virtual bool setIntervals(double min, double max, int segments_count, bool limits) = 0;
};

#define SolarRoseInterface_iid "orvela.solarRose/2.5"
Q_DECLARE_INTERFACE(SolarRoseInterface, SolarRoseInterface_iid)

#endif // SOLARROSEINTERFACE_H
