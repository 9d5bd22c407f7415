#ifndef HTMLREPORT_H
#define HTMLREPORT_H

#include "htmlpage.h"
#include "measurementfile.h"
#include "sheetlayout.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QThreadPool>

#include <functional>
#include <future>
#include <optional>

class QObject;
class SolarRoseInterface;
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
    // A group's chart (--by), with what its panel is titled and the group's lines.
    struct Group
    {
        SolarRoseInterface *chart;
        QObject *instance;
        QString title;
        quint64 allCount;
    };
    // After the column's groups drew their roses: each redrawn as on the sheet (at its panel
    // height, without legend, all on their common scale) for panels side by side. The charts
    // keep those settings.
    void takeGroups(const QList<Group> &groups);

    // What makes the page (on any thread, from copies of what the run gathered): the header,
    // the warnings of the options and of the run so far, the columns. The columns' sections
    // are made on a thread of the page's own while the run goes on; the page waits for them.
    std::function<QByteArray()> page(const QStringList &optionWarnings);

private:
    // Tells once that the chart cannot do something the page needs.
    void tell(const char *cannot, const char *interfaceId, const char *missing);
    // The shapes of the segments of chart's last drawing, counted of allCount lines; the
    // classes' texts into classes when asked for.
    QList<HtmlPage::Shape> shapes(QObject *chart, quint64 allCount, QStringList *classes = nullptr);
    // The rose as chart paints it now: its drawing and size.
    HtmlPage::Panel painted(QObject *chart);
    // Hands the column taken on to be made into its section.
    void close();

    const MeasurementFile &m_file;
    MeasurementFile::TimeRange m_range;
    Warnings *m_warnings;
    QObject *m_chart = nullptr;
    int m_column = 0;
    MeasurementFile::ColumnCounts m_counts;
    int m_panelHeight;
    SheetLayout::Scale m_fixedScale;
    HtmlPage::Header m_header;
    std::optional<HtmlPage::Column> m_open; // taken, its groups still to come
    QList<std::shared_future<QByteArray>> m_sections;
    QThreadPool m_pool; // one thread: sections are made in turn
};

#endif // HTMLREPORT_H
