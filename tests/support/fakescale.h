#ifndef FAKESCALE_H
#define FAKESCALE_H

#include "scaleadjustment.h"

// A stand-in for the scale plug-in that the chart tests can steer and predict. Rounding a
// linear scale reports roundedMaximum when it is set (else the maximum rounded up to a whole
// number), gridIntervals intervals (0 keeps the caller's count) and fixedStep as their length
// (0: the limits' distance over the count). Values are placed on a linear scale as the plug-in
// places them, rounded half away from zero. Everything else is left as it is and placed nowhere.
class FakeScale : public ScaleAdjustment
{
public:
    int roundCalls = 0;
    double roundedMaximum = -1.0;
    int gridIntervals = 10;
    int fixedStep = 0;

    void roundLinearScale(
        double &minimumValue, double &maximumValue, int &gridCount, int &gridLength) override;
    void roundLogaritmicScale(double &, double &, int &, int &) override { }
    void roundTimeScale(QDateTime &, QDateTime &, int &, int &, QString &) override { }
    void roundDateTime(QDateTime &, int, bool) override { }
    void positionOnLinearScale(int &position, int scaleLength, double value, double minimumValue,
        double maximumValue, bool ignoreLimits) override;
    void positionOnLogaritmicScale(int &position, int, double, double, double, bool) override
    {
        position = -1;
    }
    void positionOnTimeScale(int &position, int, QDateTime, QDateTime, QDateTime, bool) override
    {
        position = -1;
    }

    // The position the chart asks for, computed the same way (for expected values).
    int at(int length, double value, double minimum, double maximum);
};

#endif // FAKESCALE_H
