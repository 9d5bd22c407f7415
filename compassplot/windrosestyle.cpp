#include "windrosestyle.h"

WindroseStyle::WindroseStyle(const QPoint &centre, double radius)
    : centre(centre)
    , radius(radius)
{ }
