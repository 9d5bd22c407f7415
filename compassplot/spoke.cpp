#include "spoke.h"

#include <QDebug>

Spoke::Spoke(const QBrush &brush, double width, double offset, double length)
    : QObject(nullptr)
    , brush(brush)
    , width(width)
    , offset(offset)
    , length(length)
{ }

Spoke::Spoke(const Spoke &other)
    : QObject(nullptr)
    , brush(other.brush)
    , width(other.width)
    , offset(other.offset)
    , length(other.length)
{ }

Spoke &Spoke::operator=(const Spoke &other)
{
    brush = other.brush;
    width = other.width;
    offset = other.offset;
    length = other.length;
    return *this;
}

bool Spoke::operator==(const Spoke &other) const
{
    return brush == other.brush && width == other.width && offset == other.offset
        && length == other.length;
}

QDebug operator<<(QDebug debug, const Spoke &spoke)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "Spoke(" << spoke.brush << ", width " << spoke.width << ", offset "
                    << spoke.offset << ", length " << spoke.length << ")";
    return debug;
}
