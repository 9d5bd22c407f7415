#include "scalerounding.h"

#include "digittext.h"
#include "numeric.h"

#include <QString>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

namespace {

// Below this a limit counts as zero; it is the float nearest to 1e-37, so a scale that
// starts at zero has a finite exponent and still ends at zero.
constexpr float kZeroGuard = 1e-37f;
constexpr int kLimitDigits = 5;
constexpr int kRangeDigits = 2;
// The range figure is looked for in this many leading characters.
constexpr int kRangeScanLength = 16;
// Formatted limits have far fewer decimals; this only bounds the walk.
constexpr int kMaxDecimalPlaces = 16;

// The rounded texts of the limit with the larger and the smaller absolute value.
struct RoundedTexts
{
    DigitText upper;
    DigitText lower;
};

bool narrow(double v, float &out)
{
    if (!ScaleRounding::fitsFloat(v))
        return false;
    out = float(v);
    return true;
}

float awayFromZero(float x)
{
    if (std::fabs(x) >= kZeroGuard)
        return x;
    return x < 0 ? -kZeroGuard : kZeroGuard;
}

// Moves both limits inward by a ten-thousandth, so that a limit already on a grid value keeps
// it, and pulls limits apart that are too close to tell apart in five digits.
bool perturb(float &maximum, float &minimum)
{
    double mx = maximum;
    double mn = minimum;
    if (mn == mx) {
        // By magnitude, so that equal negative limits also move apart rather than past each
        // other (which would leave the value itself off the rounded scale).
        mn = mn - std::fabs(mn) * 0.0001;
        mx = mx + std::fabs(mx) * 0.0001;
    } else if (mx - mn > 0.001) {
        mn = mn > 0 ? mn * 1.0001 : mn * 0.9999;
        mx = mx > 0 ? mx * 0.9999 : mx * 1.0001;
    }
    if (!narrow(mx, maximum) || !narrow(mn, minimum))
        return false;
    mx = maximum;
    mn = minimum;
    if (std::fabs(mx - mn) < std::fabs(mx) * 0.001)
        return narrow(mn - std::fabs(mx) * 0.001, minimum);
    return true;
}

// log10 of |x| truncated toward zero (0.05 gives -1, 0.5 gives 0, 37 gives 1).
int decimalExponent(float x)
{
    const double e = std::log10(std::fabs(double(x)));
    return int(std::trunc(std::clamp(e, -64.0, 64.0)));
}

int integerPart(float x)
{
    return ScaleRounding::truncatedToInt(double(x));
}

// Both limits in one decade: the upper is rounded up and the lower cut where their texts
// first differ. When the digits before the point differ and the upper one is a 9, the upper
// becomes 10 and the lower 0 (or its integer part when lowerKeepsIntegerOnNine).
RoundedTexts roundSameDecade(float upper, float lower, bool lowerKeepsIntegerOnNine)
{
    const DigitText up = DigitText::formatted(upper, kLimitDigits).withPoint();
    const DigitText low = DigitText::formatted(lower, kLimitDigits).withPoint();
    const int k = firstDifference(up, low);
    if (k < up.pointPosition() || k < low.pointPosition()) {
        if (up.charAt(k) == '9') {
            const int lowerInteger = lowerKeepsIntegerOnNine ? integerPart(lower) : 0;
            return { DigitText::fromInteger(10), DigitText::fromInteger(lowerInteger) };
        }
        return { DigitText::fromInteger(integerPart(upper) + 1),
            DigitText::fromInteger(integerPart(lower)) };
    }
    const int j = k - up.pointPosition();
    return { up.plusUnitAtDecimal(j), low.cutAfterDecimal(j) };
}

// The decimal place at which an upper limit 1.d1d2... and a lower limit 0.e1e2... one decade
// below are rounded: the first, unless the lower runs on in 9s where the upper has 0s
// (1.004 over 0.997), in which case the first place where that pattern breaks.
int adjacentDecadePlace(const DigitText &upper, const DigitText &lower)
{
    auto continues
        = [&](int p) { return lower.decimalDigit(p) == '9' && upper.decimalDigit(p) == '0'; };
    if (!continues(1))
        return 1;
    int p = 2;
    while (p < kMaxDecimalPlaces && continues(p))
        ++p;
    return p;
}

// Both limits on one side of zero in different decades.
RoundedTexts roundApartDecades(float upper, int upperExponent, float lower, int lowerExponent)
{
    const DigitText up = DigitText::formatted(upper, kLimitDigits);
    if (upperExponent == lowerExponent + 1 && up.leadingDigit() == '1') {
        const DigitText low = DigitText::formatted(lower, kLimitDigits);
        const int p = adjacentDecadePlace(up, low);
        return { up.plusUnitAtDecimal(p), low.cutAfterDecimal(p) };
    }
    return { DigitText::fromInteger(integerPart(upper) + 1), DigitText::fromInteger(0) };
}

// Limits on both sides of zero in different decades: the larger side goes up to its next
// whole number, the other side becomes one unit of it (ten when that side reached 10).
RoundedTexts roundAcrossZeroApart(float larger)
{
    const int leading = integerPart(larger);
    return { DigitText::fromInteger(leading + 1), DigitText::fromInteger(leading == 9 ? 10 : 1) };
}

struct Normalised
{
    float a = 0; // |maximum| / 10^E
    float b = 0; // |minimum| / 10^E
    int eMax = 0;
    int eMin = 0;
    bool maximumNegative = false;
    bool minimumNegative = false;
};

// Returns the rounded absolute maximum (first) and minimum (second) texts.
RoundedTexts roundTexts(const Normalised &n)
{
    const bool maxUp = !n.maximumNegative;
    const bool minUp = !n.minimumNegative;
    if (n.eMin == n.eMax) {
        if (maxUp && minUp)
            return roundSameDecade(n.a, n.b, false);
        if (maxUp)
            return { DigitText::fromInteger(integerPart(n.a) + 1),
                DigitText::fromInteger(integerPart(n.b) + 1) };
        const RoundedTexts t = roundSameDecade(n.b, n.a, true);
        return { t.lower, t.upper };
    }
    if (maxUp && minUp)
        return roundApartDecades(n.a, n.eMax, n.b, n.eMin);
    if (maxUp) {
        if (n.eMin < n.eMax)
            return roundAcrossZeroApart(n.a);
        const RoundedTexts t = roundAcrossZeroApart(n.b);
        return { t.lower, t.upper };
    }
    const RoundedTexts t = roundApartDecades(n.b, n.eMin, n.a, n.eMax);
    return { t.lower, t.upper };
}

} // namespace

namespace ScaleRounding {

int roundFloatScale(float &maximum, float &minimum)
{
    if (!std::isfinite(maximum) || !std::isfinite(minimum))
        return 1;
    float mx = awayFromZero(maximum);
    float mn = awayFromZero(minimum);
    if (!perturb(mx, mn))
        return 1;

    Normalised n;
    n.eMax = decimalExponent(mx);
    n.eMin = decimalExponent(mn);
    const int e = std::max(n.eMax, n.eMin);
    const float scale = float(std::pow(10.0, e));
    n.maximumNegative = mx / scale < 0;
    n.minimumNegative = mn / scale < 0;
    n.a = std::fabs(mx / scale);
    n.b = std::fabs(mn / scale);

    const RoundedTexts t = roundTexts(n);
    const float roundedMax = n.maximumNegative ? -t.upper.value() : t.upper.value();
    const float roundedMin = n.minimumNegative ? -t.lower.value() : t.lower.value();
    const int gridCount = gridCountForRange(std::fabs(roundedMax - roundedMin));

    // The product of two floats is exact in double, so this tells whether it fits.
    if (!fitsFloat(double(roundedMax) * scale) || !fitsFloat(double(roundedMin) * scale))
        return 1;
    maximum = roundedMax * scale;
    minimum = roundedMin * scale;
    return gridCount;
}

int rangeFigure(const QByteArray &rangeText)
{
    const int length = int(rangeText.size());
    auto at = [&](int i) { return i < length ? rangeText.at(i) : '\0'; };
    int i = 0;
    while (i < std::min(length, kRangeScanLength) && std::strchr("-0.", at(i)) != nullptr)
        ++i;
    const char c1 = at(i);
    const char c2 = at(i + 1);
    QByteArray figure(1, c1);
    if (c2 == '.' && c1 == '1') {
        if (at(i + 2) != '\0')
            figure += at(i + 2);
    } else if (c2 != '\0' && std::strchr(".Ee90", c2) == nullptr) {
        figure += c2;
    }
    bool ok = false;
    const int value = figure.toInt(&ok);
    return ok ? value : 0;
}

int gridCountForFigure(int figure)
{
    switch (figure) {
    case 1:
    case 2:
    case 5:
        return 10;
    case 3:
    case 6:
        return 12;
    case 4:
        return 8;
    default:
        return figure >= 7 && figure <= 18 ? figure : 1;
    }
}

int gridCountForRange(float range)
{
    const QByteArray text
        = QStringLiteral("%1").arg(double(range), 0, 'g', kRangeDigits).toLatin1();
    return gridCountForFigure(rangeFigure(text));
}

bool fitsFloat(double v)
{
    return std::isfinite(v) && std::fabs(v) <= double(FLT_MAX);
}

int truncatedToInt(double v)
{
    return Numeric::finiteToInt(v);
}

void roundLogarithmicScale(
    double &minimumValue, double &maximumValue, int &gridCount, int &gridLength)
{
    gridCount = 1;
    gridLength = 0;
    if (!std::isfinite(minimumValue) || !std::isfinite(maximumValue))
        return;
    double top = maximumValue > 0 ? std::log10(maximumValue) : 1.0;
    double bottom = minimumValue > 0 ? std::log10(minimumValue) : top - 1.0;
    top = std::ceil(top);
    bottom = std::floor(bottom);
    const double maximum = std::pow(10.0, top);
    const double minimum = std::pow(10.0, bottom);
    // The largest doubles round up to a decade beyond the double range.
    if (!std::isfinite(maximum) || !std::isfinite(minimum))
        return;
    // Both exponents lie within about +-330 here, so the span converts safely.
    const double span = top - bottom;
    gridCount = int(std::ceil(span));
    gridLength = gridCount == 0 ? 0 : int(span / gridCount);
    minimumValue = minimum;
    maximumValue = maximum;
}

} // namespace ScaleRounding
