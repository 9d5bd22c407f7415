#ifndef TEXTSCALE_H
#define TEXTSCALE_H

// How the texts of the images follow --imageHeight: a rose of the reference height keeps the
// fonts its chart and its table were made with, any other height scales every text by the
// ratio, so that a small and a large image read like the reference one.
class TextScale
{
public:
    static constexpr int kReferenceHeight = 520;

    // The ratio of imageHeight to the reference height; 1 for a height not given (not above 0).
    static double factor(int imageHeight);

    // The lowest height at which the texts still fit in proportion: below it the table's type
    // would fall under its smallest size, so that the table is squeezed and texts crowd.
    static int lowestFittingHeight();
};

#endif // TEXTSCALE_H
