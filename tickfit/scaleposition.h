#ifndef SCALEPOSITION_H
#define SCALEPOSITION_H

class QDateTime;

// Pixel positions of values on scales of scaleLength pixels, counted from the minimum end.
// Each returns -1 when the value cannot be placed (see ScaleAdjustment).
namespace ScalePosition {

// p rounded half away from zero; -1 when p is not finite or the result is no int.
int roundedPosition(double p);

int onLinearScale(
    int scaleLength, double value, double minimumValue, double maximumValue, bool ignoreLimits);
int onLogarithmicScale(
    int scaleLength, double value, double minimumValue, double maximumValue, bool ignoreLimits);
int onTimeScale(int scaleLength, const QDateTime &dt, const QDateTime &begin, const QDateTime &end,
    bool ignoreLimits);

} // namespace ScalePosition

#endif // SCALEPOSITION_H
