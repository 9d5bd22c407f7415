#ifndef SCALEROUNDING_H
#define SCALEROUNDING_H

#include <QByteArray>

// Rounding of linear and logarithmic value scales. The linear rounding works on the decimal
// texts of single-precision limits (see DigitText) so that it picks the same readable limits
// a person would write down; every call keeps its texts to itself.
namespace ScaleRounding {

// Rounds maximum up and minimum down to limits with few significant digits and returns the
// number of grid intervals (at least 1). Limits that are not finite, or whose rounding would
// leave the float range, are left as they are and give 1.
int roundFloatScale(float &maximum, float &minimum);

// The figure that the text of a normalised range width stands for ("1.5e+02" gives 15,
// "2.5" gives 2, "25" gives 25); 0 when the text holds no number.
int rangeFigure(const QByteArray &rangeText);
// Grid intervals for a range figure: 1, 2, 5 give 10; 3, 6 give 12; 4 gives 8; 7 to 18 give
// themselves; anything else 1.
int gridCountForFigure(int figure);
// Grid intervals for a normalised range width, formatted with two significant digits.
int gridCountForRange(float range);

// True when v is finite and within the float range, so that narrowing it is defined.
bool fitsFloat(double v);
// v truncated toward zero, saturated to the int range; 0 when v is not finite.
int truncatedToInt(double v);

// Widens a positive range to whole decades (see ScaleAdjustment::roundLogaritmicScale).
void roundLogarithmicScale(
    double &minimumValue, double &maximumValue, int &gridCount, int &gridLength);

} // namespace ScaleRounding

#endif // SCALEROUNDING_H
