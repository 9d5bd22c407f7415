#ifndef SPOKE_H
#define SPOKE_H

#include <QBrush>
#include <QObject>

class QDebug;

// The drawing parameters of one value class: the fill, the bar width handed to the style,
// the offset (a shift of the segment, in percent, when above 0) and the length factor.
class Spoke : public QObject
{
    Q_OBJECT
public:
    explicit Spoke(const QBrush &brush = QBrush(), double width = 1.0, double offset = -1.0,
        double length = 1.0);
    // A copy takes the brush and the three numbers, never the object's identity.
    Spoke(const Spoke &other);
    Spoke &operator=(const Spoke &other);
    ~Spoke() override = default;

    bool operator==(const Spoke &other) const;

    QBrush brush;
    double width;
    double offset;
    double length;
};

QDebug operator<<(QDebug debug, const Spoke &spoke);

#endif // SPOKE_H
