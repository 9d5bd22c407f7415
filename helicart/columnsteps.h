#ifndef COLUMNSTEPS_H
#define COLUMNSTEPS_H

#include "classesdefinition.h"
#include "measurementfile.h"
#include "rosepainterinterface.h"
#include "rosetallyinterface.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

class HtmlReport;
class OutputQueue;
class SolarRoseInterface;
class Warnings;
struct Options;

// The steps that make a chart of a column (or of one group of a column's lines) and hand its
// files on: shared by the run's columns and their groups.
class ColumnSteps
{
public:
    // The words for an image of a column that cannot be had (memory ran out). The size of the
    // chart's drawing is asked for only then, on the run's thread.
    struct NoImage
    {
        QString label;
        RosePainterInterface *sizer = nullptr;

        QSize wanted() const { return sizer ? sizer->paintSize(QSize()) : QSize(); }
        QString text() const { return text(wanted()); }
        QString text(const QSize &wanted) const
        {
            return QStringLiteral("helicart: cannot allocate a %1 x %2 image for column %3")
                .arg(wanted.width())
                .arg(wanted.height())
                .arg(label);
        }
    };

    // What the run was asked for, handed to the steps of a column.
    struct Request
    {
        Warnings *warnings;
        OutputQueue *output;
        const Options &options;
        HtmlReport *report = nullptr; // the page, when one is asked for
    };

    // The classes a chart is set up with, and what they say about the column.
    struct Classes
    {
        double requiredGoodPercent = 0;
        bool scaleOn = true;
    };

    // The chart's texts that come from the header and the time range, with note (the period,
    // the group) beside the time range; its size, with its texts in proportion where the chart
    // can draw them so.
    static void describeColumn(SolarRoseInterface *chart, QObject *instance,
        const MeasurementFile &file, int k, const MeasurementFile::TimeRange &range,
        const Request &request, const QString &note = QString());
    // Gives the chart the classes of column k (before its first measurement), telling what is
    // wrong with them when told is set.
    static Classes loadClasses(SolarRoseInterface *chart, RoseTallyInterface *tally,
        const MeasurementFile &file, int k, const Request &request, bool told = true);
    // The chart's texts made from the counts of its measurements (with the period chosen and
    // the group, when there are), and the warnings about them.
    static void countTexts(SolarRoseInterface *chart, RoseTallyInterface *tally,
        const MeasurementFile &file, int k, const MeasurementFile::TimeRange &range,
        const MeasurementFile::ColumnCounts &counts, const Classes &classes, const Request &request,
        const QString &group = QString());
    // The lines on the period chosen and the group in a legend; empty for neither.
    static QString legendNote(const Options &options, const QString &group = QString());
    // The chart's rose, drawn only when its image and copies more of its size can be had with
    // room for the libraries beside them; null, and told on output, when it cannot be had.
    static QImage drawRose(
        SolarRoseInterface *chart, const NoImage &noImage, int copies, OutputQueue *output);
    // Hands the rose's files of column k, the table made from rows and its texts, to the output
    // queue, which encodes and writes them while the run goes on; the table is painted in its
    // job on a writer thread.
    static void handFilesOn(const QImage &rose, const QStringList &rows, int k,
        const Request &request, const std::function<QByteArray()> &countsText,
        const QString &label);
    // The chart's counts, when it can tell them; told of once when the run asks for a counts
    // file and it cannot.
    static RoseTallyInterface *chartTally(
        QObject *instance, const Options &options, bool *told, Warnings *warnings);
    // What makes the counts file of a column from the chart's counts as they are now; empty
    // when none is asked for or the chart cannot tell them.
    static std::function<QByteArray()> countsFile(RoseTallyInterface *tally,
        const MeasurementFile::ColumnCounts &counts, const Options &options);

private:
    static void findOverlapClasses(RoseTallyInterface *tally, ClassesDefinition::Report *report);
    ColumnSteps() = delete;
};

#endif // COLUMNSTEPS_H
