#ifndef HTMLREPORT_H
#define HTMLREPORT_H

#include "htmlpage.h"
#include "measurementfile.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <functional>

class QObject;
class Warnings;
struct Options;

// The page of a run (--format=html), gathered column by column as the run draws them: each
// rose as the chart paints it onto a drawing, the shapes of its segments as the chart says it
// painted them, its table and its legend's texts; made into the page at the end, with the
// run's warnings.
class HtmlReport
{
public:
    // The run of options on file, whose time range is range; what the chart cannot give the
    // page is told of once on warnings.
    HtmlReport(const Options &options, const MeasurementFile &file,
        const MeasurementFile::TimeRange &range, Warnings *warnings);

    // The chart of column k, before it draws the column's rose, and the column's counts.
    void begin(QObject *chart, int k);
    void setCounts(const MeasurementFile::ColumnCounts &counts);
    // After the chart drew the rose of the column begun: its drawing, its segments and its
    // table (rows, the chart's table data).
    void takeColumn(const QStringList &rows);

    // What makes the page (on any thread, from copies of what the run gathered): the header,
    // the warnings of the options and of the run so far, the columns.
    std::function<QByteArray()> page(const QStringList &optionWarnings) const;

private:
    // Tells once that the chart cannot do something the page needs.
    void tell(const char *cannot, const char *interfaceId, const char *missing);

    const MeasurementFile &m_file;
    MeasurementFile::TimeRange m_range;
    Warnings *m_warnings;
    QObject *m_chart = nullptr;
    int m_column = 0;
    MeasurementFile::ColumnCounts m_counts;
    HtmlPage::Header m_header;
    QList<HtmlPage::Column> m_columns;
};

#endif // HTMLREPORT_H
