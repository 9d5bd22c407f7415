#include "fakescale.h"

#include <cmath>

void FakeScale::roundLinearScale(
    double &minimumValue, double &maximumValue, int &gridCount, int &gridLength)
{
    ++roundCalls;
    maximumValue = roundedMaximum >= 0 ? roundedMaximum : std::ceil(maximumValue);
    if (gridIntervals > 0)
        gridCount = gridIntervals;
    if (fixedStep > 0)
        gridLength = fixedStep;
    else
        gridLength
            = gridCount > 0 ? static_cast<int>((maximumValue - minimumValue) / gridCount) : 0;
}

void FakeScale::positionOnLinearScale(int &position, int scaleLength, double value,
    double minimumValue, double maximumValue, bool ignoreLimits)
{
    const bool outside = maximumValue > minimumValue
        ? (value < minimumValue || value > maximumValue)
        : (value < maximumValue || value > minimumValue);
    if (maximumValue == minimumValue || !std::isfinite(value) || (!ignoreLimits && outside)) {
        position = -1;
        return;
    }
    const double k = scaleLength / (maximumValue - minimumValue);
    const double p = value * k - minimumValue * k;
    position = static_cast<int>(p >= 0 ? std::floor(p + 0.5) : std::ceil(p - 0.5));
}

int FakeScale::at(int length, double value, double minimum, double maximum)
{
    int position = 0;
    positionOnLinearScale(position, length, value, minimum, maximum, true);
    return position;
}
