#ifndef ROSETABLE_H
#define ROSETABLE_H

#include "rosecounts.h"

#include <QString>
#include <QStringList>
#include <QVector>

// The table of a rose as text: the caption lines, a header line with a cell per class, one
// line per sector with the shares of its classes and their total, and a line of the class
// totals. Cells are separated by tabs; shares have two decimals.
namespace RoseTable {

// "(" low " - " high "]", with "-inf" and "inf" for the open class limits; the limits as
// ClassLimit::text writes them.
QString intervalLabel(const Interval &interval, int precision);

// The corner text, a cell per class of the first sector (" <= " its upper limit for the first,
// " > " its lower limit for the last, intervalLabel between) and the sum sign.
QString header(const QString &corner, const RoseCounts &counts, int precision);

// The k-th sector's line: its label, an empty cell for the first (calm) class, whose share
// is only summed, the shares of the other classes and the sector's total.
QString sectorLine(const QString &label, const RoseCounts &counts, int k);

// The sum sign and the total of every class.
QString sumLine(const RoseCounts &counts);

// The whole table: captions, header, a line per sector labelled by sectorLabels (in key
// order) and the sums.
QStringList lines(const QVector<QString> &captions, const QString &header,
    const QStringList &sectorLabels, const RoseCounts &counts);

} // namespace RoseTable

#endif // ROSETABLE_H
