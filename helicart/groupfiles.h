#ifndef GROUPFILES_H
#define GROUPFILES_H

#include "columnreading.h"
#include "columnsteps.h"
#include "groupcharts.h"

#include <QString>

class QFile;

// The files of the groups of a column (--by): the rose, the table and the other formats asked
// for, named with the group after the prefix (PREFIX_JJAS000.png).
class GroupFiles
{
public:
    // What sets up the chart of a group of column k: the column's texts, with the group and the
    // period beside the group's time range, and its classes (told of once, for the column).
    static GroupCharts::Prepare prepare(
        const MeasurementFile &file, int k, const ColumnSteps::Request &request);
    // The note on the period and group for the chart's texts.
    static QString note(const Options &options, const QString &group = QString());
    // Writes the files of every group of column k that holds a data line. False when a drawing
    // could not be written.
    static bool write(GroupCharts &groups, const MeasurementFile &file, int k,
        const ColumnReading::Column &column, const ColumnSteps::Classes &classes,
        const ColumnSteps::Request &request, QFile *diagnostics);
    // Tells, once for the run, which groups hold no data line and are skipped.
    static void tellEmptyGroups(const MeasurementFile &file, const ColumnSteps::Request &request);

private:
    GroupFiles() = delete;
};

#endif // GROUPFILES_H
