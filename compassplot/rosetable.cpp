#include "rosetable.h"

#include "classlimit.h"
#include "numeric.h"

#include <cmath>

namespace {

const QChar sigma(0x03A3);

QString share(double value)
{
    return QString::number(value, 'f', 2);
}

} // namespace

namespace RoseTable {

QString intervalLabel(const Interval &interval, int precision)
{
    const QString low = interval.lowLimit == -Numeric::openClassLimit
        ? QStringLiteral("-inf")
        : ClassLimit::text(interval.lowLimit, precision);
    const QString high = interval.highLimit == Numeric::openClassLimit
        ? QStringLiteral("inf")
        : ClassLimit::text(interval.highLimit, precision);
    return QLatin1Char('(') + low + QLatin1String(" - ") + high + QLatin1Char(']');
}

QString header(const QString &corner, const RoseCounts &counts, int precision)
{
    QString text = corner;
    if (!counts.sectors().isEmpty()) {
        const RoseCounts::Classes &classes = counts.sectors().first();
        const auto limit = [precision](double value) { return ClassLimit::text(value, precision); };
        int index = 0;
        for (auto it = classes.cbegin(); it != classes.cend(); ++it, ++index) {
            text += QLatin1Char('\t');
            if (index == 0)
                text += QLatin1String(" <= ") + limit(it.key().highLimit);
            else if (index == classes.size() - 1)
                text += QLatin1String(" > ") + limit(it.key().lowLimit);
            else
                text += intervalLabel(it.key(), precision);
        }
    }
    return text + QLatin1Char('\t') + sigma;
}

QString sectorLine(const QString &label, const RoseCounts &counts, int k)
{
    QString line = label;
    const auto sector = std::next(counts.sectors().cbegin(), k);
    const RoseCounts::Classes &classes = sector.value();
    bool first = true;
    for (const ClassCount *count : classes) {
        line += first ? QStringLiteral("\t\t") : share(counts.percent(count->count)) + '\t';
        first = false;
    }
    return line + share(counts.sectorTotal(k));
}

QString sumLine(const RoseCounts &counts)
{
    QString sum(sigma);
    const int classCount = counts.classCount();
    for (int i = 0; i < classCount; ++i)
        sum += QLatin1Char('\t') + share(counts.classTotal(i));
    return sum + QLatin1Char('\t');
}

QStringList lines(const QVector<QString> &captions, const QString &header,
    const QStringList &sectorLabels, const RoseCounts &counts)
{
    QStringList table;
    for (const QString &text : captions)
        table << text;
    table << header;
    for (int k = 0; k < counts.sectors().size(); ++k)
        table << sectorLine(sectorLabels.value(k), counts, k);
    table << sumLine(counts);
    return table;
}

} // namespace RoseTable
