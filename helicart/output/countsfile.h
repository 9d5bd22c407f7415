#ifndef COUNTSFILE_H
#define COUNTSFILE_H

#include "rosetallyinterface.h"

#include <QByteArray>
#include <QString>

// The counts behind a rose and its table as comma-separated values (RFC 4180): a header line,
// one line per sector and class (the first class too), then the lines of what the rose does not
// hold (the unknown lines and the values outside every class), so that the counts add up to
// all lines:
//   sector,from,to,class,low,high,count,percent_of_all,percent_of_sector
// Numbers are written with every digit they need to read back the same; open class limits as
// "inf" and "-inf"; lines end in CR LF.
class CountsFile
{
public:
    // The file of tally, for a column of allCount data lines of which goodCount were good.
    static QByteArray text(
        const RoseTallyInterface::Tally &tally, qint64 allCount, qint64 goodCount);

    // One field, quoted when it holds a comma, a quotation mark or a line break.
    static QString field(const QString &text);

private:
    CountsFile() = delete;
};

#endif // COUNTSFILE_H
