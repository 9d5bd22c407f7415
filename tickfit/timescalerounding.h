#ifndef TIMESCALEROUNDING_H
#define TIMESCALEROUNDING_H

class QDateTime;
class QString;

// Rounding of date-time scales to whole grid intervals and of single date-times to interval
// boundaries (see ScaleAdjustment::roundTimeScale and roundDateTime).
namespace TimeScaleRounding {

void roundTimeScale(
    QDateTime &begin, QDateTime &end, int &gridCount, int &gridLength, QString &fmt);
void roundDateTime(QDateTime &dt, int intervalLength, bool up);

} // namespace TimeScaleRounding

#endif // TIMESCALEROUNDING_H
