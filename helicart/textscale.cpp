#include "textscale.h"

#include "tablefit.h"

#include <cmath>

double TextScale::factor(int imageHeight)
{
    return imageHeight > 0 ? double(imageHeight) / kReferenceHeight : 1.0;
}

int TextScale::lowestFittingHeight()
{
    return int(std::ceil(double(kReferenceHeight) * TableFit::kMinFontSize / TableFit::kFontSize));
}
