#include "pagecolumn.h"

#include "classlimit.h"

#include <QtGlobal>

namespace {

qint64 sectorCount(const RoseTallyInterface::Tally &tally, int s)
{
    const int classes = int(tally.classes.size());
    qint64 sum = 0;
    for (int c = 0; c < classes; ++c)
        sum += tally.counts.value(qsizetype(s) * classes + c);
    return sum;
}

} // namespace

QList<HtmlPage::Shape> PageColumn::shapes(const QList<RoseSegmentsInterface::Segment> &segments,
    const RoseTallyInterface::Tally &tally, const QString &unit, qint64 allCount, int precision)
{
    QList<HtmlPage::Shape> result;
    for (const RoseSegmentsInterface::Segment &segment : segments) {
        if (segment.count <= 0 || segment.sector < 0 || segment.sector >= tally.sectors.size()
            || segment.classIndex < 0 || segment.classIndex >= tally.classes.size())
            continue;
        result.append({ segment.outline,
            segmentTitle(tally, segment.sector, segment.classIndex, unit, allCount, precision) });
    }
    return result;
}

QString PageColumn::segmentTitle(const RoseTallyInterface::Tally &tally, int s, int c,
    const QString &unit, qint64 allCount, int precision)
{
    const RoseTallyInterface::Sector &sector = tally.sectors.at(s);
    const qint64 count = tally.counts.value(qsizetype(s) * tally.classes.size() + c);
    QString classLine = classText(tally.classes, c, precision);
    if (!unit.trimmed().isEmpty())
        classLine += QLatin1Char(' ') + unit.trimmed();
    return QStringLiteral("%1 to %2\n%3\n%4 values\n%5 % of all lines, %6 % of the sector")
        .arg(sector.from, sector.to, classLine, QString::number(count),
            percentText(count, allCount), percentText(count, sectorCount(tally, s)));
}

QString PageColumn::classText(const QList<RoseTallyInterface::Class> &classes, int c, int precision)
{
    const RoseTallyInterface::Class &k = classes.at(c);
    if (c == 0 && classes.size() > 1)
        return QStringLiteral("<= ") + ClassLimit::text(k.high, precision);
    if (c == classes.size() - 1 && c > 0)
        return QStringLiteral("> ") + ClassLimit::text(k.low, precision);
    return QStringLiteral("(%1, %2]")
        .arg(ClassLimit::text(k.low, precision), ClassLimit::text(k.high, precision));
}

QStringList PageColumn::classTexts(const QList<RoseTallyInterface::Class> &classes, int precision)
{
    QStringList texts;
    for (int c = 0; c < classes.size(); ++c)
        texts << classText(classes, c, precision);
    return texts;
}

QString PageColumn::percentText(qint64 count, qint64 of)
{
    if (of <= 0)
        return QStringLiteral("-");
    return QString::number(double(count) * 100.0 / double(of), 'f', 2);
}
