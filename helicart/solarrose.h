#ifndef SOLARROSE_H
#define SOLARROSE_H

#include "classesdefinition.h"
#include "outputformats.h"

#include <QObject>
#include <QString>

class ImageTable;
class MeasurementFile;
class QDateTime;
class QFile;
class QImage;
class QPluginLoader;
class QSize;
class QTime;
class SolarRoseInterface;
struct Options;

// One run of the program: turns a measurement file into a rose image and a table image per
// parameter column, and one image of all roses painted over each other. The class is the
// translation context "SolarRose" of the run's texts.
class SolarRose : public QObject
{
    Q_OBJECT

public:
    // Precision handed to the chart at most. A double holds no more decimals than these: more
    // would show only binary noise, and a freak value field of millions of digits would ask
    // for number texts of millions of characters.
    static constexpr int kMaxLegendPrecision = 15;

    // Point sizes of the table's type: the table is written in the first when it fits the
    // rose's size, in a smaller one down to the last when it does not.
    static constexpr int kTableFontSize = 12;
    static constexpr int kMinTableFontSize = 6;

    // The run asks chartLoader, which the caller has loaded and keeps, for a chart per
    // parameter column.
    explicit SolarRose(QPluginLoader &chartLoader);

    // Reads input and renders its parameter columns into files named by the output prefix.
    // Returns ExitStatus::Success after a complete run; InputNotRead when input cannot be
    // opened, and OutputNotWritten when an image could not be written (each reported on
    // diagnostics, the run going on with the other images); NoChart when the plug-in hands out
    // no solar rose (reported on the standard output stream). scaleMax and scaleGrid are -1 when
    // not given.
    int run(QFile *diagnostics, QString input, QString output, QString classes, int scaleMax,
        int scaleGrid);
    // The same with every option of the command line; what the run ignores or replaces is
    // told in warnings on diagnostics ("helicart: warning: ...", one line each). A read error
    // after the input was opened ends the run with InputNotRead and "Can not read input
    // file: NAME." and a line feed; the images of the columns read before stay, the combined
    // image is not written.
    int run(QFile *diagnostics, const Options &options);
    // The same on file, a reader not opened yet, that stands for options.input.
    int run(QFile *diagnostics, const Options &options, MeasurementFile &file);

    // Gives rose the classes of label from the classes definition file fileName (or the
    // default or built-in ones) and always writes goodPercent and scaleOn; what went wrong
    // in *report, when given.
    void loadClasses(const QString &fileName, const QString &label, SolarRoseInterface *rose,
        double &goodPercent, bool &scaleOn, ClassesDefinition::Report *report = nullptr);

    // "Cannot load 'solarRose' plugin" on the standard output stream.
    static void reportPluginFailure();

    // The texts of a column, translated in context "SolarRose" by the installed translator.
    // "Time\" + "label[unit]".
    static QString speedDirectionText(const QString &label, const QString &unit);
    // "label\n[unit]"; a label longer than 20 characters gets a line per word, and "[ "
    // becomes "[".
    static QString legendTitle(const QString &label, const QString &unit);
    // "Data from <earliest> till <latest>", to the second.
    static QString intervalText(const QDateTime &earliest, const QDateTime &latest);
    // "No. all: a   No. good: g   No. unknown: u (s%)".
    static QString statisticsText(int allCount, int goodCount, double goodShare);
    // Station, the time range to the minute, then "all: a", "good: g", "unknown: s%", one
    // line each.
    static QString legendText(const QString &station, const QDateTime &earliest,
        const QDateTime &latest, int allCount, int goodCount, double goodShare);
    // Whether the good share misses the required one; always for a share that is not a number
    // (no data lines).
    static bool belowRequired(double goodShare, double requiredGoodPercent);
    // The table, with its rows and title set, as an image of exactly size: the table in the
    // largest type from kTableFontSize down to kMinTableFontSize that fits, its cells spread
    // over the rest; a table that does not fit even then is scaled down. An empty size gives
    // the table's own size.
    static QImage renderTable(ImageTable &table, const QSize &size);
    // Sets the table's font as renderTable does for size; false when the table does not fit
    // even in the smallest type (its drawing is scaled down to size then).
    static bool fitTableFont(ImageTable &table, const QSize &size);
    // The table of the chart's table data: the four caption lines make its title, the other
    // lines its rows.
    static void setUpTable(ImageTable &table, QStringList rows);
    // maxDecimals within 0 ... kMaxLegendPrecision.
    static int legendPrecision(int maxDecimals);
    // The time of day that picks the hour sector: time moved by minutes, around midnight.
    static QTime shiftedTime(const QTime &time, int minutes);

    // Output files: prefix + "S000.png", prefix + "T000.png" for column k (at least three
    // digits), prefix + ".png" for the combined image; other formats take their own suffix.
    static QString roseFileName(
        const QString &prefix, int k, OutputFormats::Format format = OutputFormats::Png);
    static QString tableFileName(
        const QString &prefix, int k, OutputFormats::Format format = OutputFormats::Png);
    static QString combinedFileName(
        const QString &prefix, OutputFormats::Format format = OutputFormats::Png);

private:
    QPluginLoader &m_chartLoader;
};

#endif // SOLARROSE_H
