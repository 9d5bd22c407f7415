#include "tickfit.h"

#include "scaleposition.h"
#include "scalerounding.h"
#include "timescalerounding.h"

Tickfit::Tickfit(QObject *parent)
    : QObject(parent)
{ }

int Tickfit::roundFloatScale(float &maximum, float &minimum)
{
    return ScaleRounding::roundFloatScale(maximum, minimum);
}

void Tickfit::roundLinearScale(
    double &minimumValue, double &maximumValue, int &gridCount, int &gridLength)
{
    // The rounding works in single precision; limits beyond it cannot be rounded and are
    // handed back as they came.
    if (!ScaleRounding::fitsFloat(minimumValue) || !ScaleRounding::fitsFloat(maximumValue)) {
        gridCount = 1;
        gridLength = 0;
        return;
    }
    float maximum = float(maximumValue);
    float minimum = float(minimumValue);
    gridCount = roundFloatScale(maximum, minimum);
    minimumValue = minimum;
    maximumValue = maximum;
    gridLength = gridCount == 0
        ? 0
        : ScaleRounding::truncatedToInt((maximumValue - minimumValue) / gridCount);
}

void Tickfit::roundLogaritmicScale(
    double &minimumValue, double &maximumValue, int &gridCount, int &gridLength)
{
    ScaleRounding::roundLogarithmicScale(minimumValue, maximumValue, gridCount, gridLength);
}

void Tickfit::roundTimeScale(
    QDateTime &begin, QDateTime &end, int &gridCount, int &gridLength, QString &fmt)
{
    TimeScaleRounding::roundTimeScale(begin, end, gridCount, gridLength, fmt);
}

void Tickfit::roundDateTime(QDateTime &dt, int intervalLength, bool up)
{
    TimeScaleRounding::roundDateTime(dt, intervalLength, up);
}

void Tickfit::positionOnLinearScale(int &position, int scaleLength, double value,
    double minimumValue, double maximumValue, bool ignoreLimits)
{
    position = ScalePosition::onLinearScale(
        scaleLength, value, minimumValue, maximumValue, ignoreLimits);
}

void Tickfit::positionOnLogaritmicScale(int &position, int scaleLength, double value,
    double minimumValue, double maximumValue, bool ignoreLimits)
{
    position = ScalePosition::onLogarithmicScale(
        scaleLength, value, minimumValue, maximumValue, ignoreLimits);
}

void Tickfit::positionOnTimeScale(
    int &position, int scaleLength, QDateTime dt, QDateTime begin, QDateTime end, bool ignoreLimits)
{
    position = ScalePosition::onTimeScale(scaleLength, dt, begin, end, ignoreLimits);
}
