#ifndef RENDERRUN_H
#define RENDERRUN_H

#include <QString>
#include <QStringList>

class MeasurementFile;
class QFile;
class QPluginLoader;
class QTime;
struct Options;

// Threads of a run, and who owns what:
// - the run's thread (main() hands the run to a thread of Qt's global pool and waits for it)
//   owns the charts, counts each column's measurements into its chart and paints the roses
//   and the combined image; it alone writes on the diagnostics stream;
// - the reading thread (ColumnReading) reads the next column from the input while the one
//   before is counted; a read failure is handed over with the column and ends the run with
//   InputNotRead;
// - the writing threads (FileWriter, at most two) encode, paint (tables) and write the
//   output files; a file that fails is told by the run's thread when it settles, in the order
//   the files were handed in, and gives OutputNotWritten;
// - Qt may split a large fill over threads of a pool of its own, and waits for them.
//
// One run of the program: turns a measurement file into a rose image and a table image per
// parameter column, and one image of all roses painted over each other; when asked, only the
// lines of a period, the files of each group of a column's lines (counted from the column's own
// pass, each group into a chart of its own) and a sheet of the roses side by side.
class RenderRun
{
public:
    // The run asks chartLoader, which the caller has loaded and keeps, for a chart per
    // parameter column.
    explicit RenderRun(QPluginLoader &chartLoader);

    // Reads options.input and renders its parameter columns into files named by the output
    // prefix; what the run ignores or replaces is told in warnings on diagnostics
    // ("helicart: warning: ...", one line each). Returns ExitStatus::Success after a complete
    // run; InputNotRead when input cannot be opened, or read to its end ("Can not read input
    // file: NAME." and a line feed; the images of the columns read before stay, the combined
    // image is not written); OutputNotWritten when an image could not be written (each
    // reported on diagnostics, the run going on with the other images), when an image of a
    // column could not be had ("helicart: cannot allocate a W x H image for column LABEL", the
    // run going on with the next column), and when memory ran out elsewhere ("helicart: out of
    // memory", the run ended after the files before are complete); NoChart when the
    // plug-in hands out no solar rose (reported on the standard output stream).
    int run(QFile *diagnostics, const Options &options);
    // The same on file, a reader not opened yet, that stands for options.input.
    int run(QFile *diagnostics, const Options &options, MeasurementFile &file);

    // The warnings the last run wrote.
    int warningCount() const { return m_warningCount; }
    // The warnings written before the run (about its options), for the run's page.
    void setEarlierWarnings(const QStringList &texts) { m_earlierWarnings = texts; }

    // "Cannot load 'solarRose' plugin" on the standard output stream.
    static void reportPluginFailure();

    // The time of day that picks the hour sector: time moved by minutes, around midnight.
    static QTime shiftedTime(const QTime &time, int minutes);

private:
    // run, without the last word on memory that ran out.
    int render(QFile *diagnostics, const Options &options, MeasurementFile &file);

    QPluginLoader &m_chartLoader;
    int m_warningCount = 0;
    QStringList m_earlierWarnings;
};

#endif // RENDERRUN_H
