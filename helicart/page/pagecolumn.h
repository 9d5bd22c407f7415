#ifndef PAGECOLUMN_H
#define PAGECOLUMN_H

#include "htmlpage.h"
#include "rosesegmentsinterface.h"
#include "rosetallyinterface.h"

#include <QList>
#include <QString>
#include <QStringList>

// The texts of a column's part of the page that come from the chart's counts: the title of
// each segment's shape ("11:02 to 12:02", the class with its unit, the count and its shares)
// and the class texts of the legend.
class PageColumn
{
public:
    // A shape per segment that shows a count, its title from tally, which must be the counts
    // the segments were painted from. allCount: the data lines the shares of all are taken
    // of; precision: the decimals of the data, which the class limits are written with at
    // least.
    static QList<HtmlPage::Shape> shapes(const QList<RoseSegmentsInterface::Segment> &segments,
        const RoseTallyInterface::Tally &tally, const QString &unit, qint64 allCount,
        int precision);

    // The title of the shape of class c in sector s.
    static QString segmentTitle(const RoseTallyInterface::Tally &tally, int s, int c,
        const QString &unit, qint64 allCount, int precision);

    // The class as the legend writes it: "<= high" for the first, "> low" for the last,
    // "(low, high]" between.
    static QString classText(const QList<RoseTallyInterface::Class> &classes, int c, int precision);

    // The legend's text of every class.
    static QStringList classTexts(const QList<RoseTallyInterface::Class> &classes, int precision);

    // A share in percent with two decimals, as the table writes them; "-" for no lines.
    static QString percentText(qint64 count, qint64 of);
};

#endif // PAGECOLUMN_H
