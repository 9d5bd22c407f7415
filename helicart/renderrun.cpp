#include "renderrun.h"

#include "classesdefinition.h"
#include "columnreading.h"
#include "columntexts.h"
#include "combinedimage.h"
#include "countsfile.h"
#include "exitstatus.h"
#include "filewriter.h"
#include "measurementfile.h"
#include "memoryheadroom.h"
#include "options.h"
#include "outputfile.h"
#include "outputnames.h"
#include "outputqueue.h"
#include "pngencoder.h"
#include "rosepainterinterface.h"
#include "rosetallyinterface.h"
#include "rosetextscaleinterface.h"
#include "solarroseinterface.h"
#include "tablefit.h"
#include "textscale.h"
#include "vectoroutput.h"
#include "warnings.h"

#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QPluginLoader>
#include <QTime>

#include <functional>
#include <memory>
#include <new>

#include <unistd.h>

namespace {

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
};

// A fresh chart: the plug-in makes a new instance once the previous one has been destroyed.
SolarRoseInterface *obtainChart(QPluginLoader &loader, QObject **instance)
{
    *instance = loader.instance();
    return qobject_cast<SolarRoseInterface *>(*instance);
}

// An input that was opened but could not be read to its end: the data are incomplete.
int reportReadFailure(QFile *diagnostics, const QString &input)
{
    diagnostics->write(QStringLiteral("Can not read input file: %1.\n").arg(input).toLocal8Bit());
    return ExitStatus::InputNotRead;
}

// The chart's texts that come from the header and the time range; its size, with its texts in
// proportion where the chart can draw them so.
void describeColumn(SolarRoseInterface *chart, QObject *instance, const MeasurementFile &file,
    int k, const MeasurementFile::TimeRange &range, const Request &request)
{
    const Options &options = request.options;
    if (options.scaleMax != -1 && options.scaleGrid != -1)
        chart->setFixedScale(double(options.scaleMax), options.scaleGrid);
    if (options.imageHeight > 0) {
        chart->setImageHeight(options.imageHeight);
        if (auto *texts = qobject_cast<RoseTextScaleInterface *>(instance))
            texts->setTextScale(TextScale::factor(options.imageHeight));
    }
    const QString unit = file.unit(k);
    const QString label = file.label(k);
    chart->setUnitText(unit);
    chart->setSpeedDirectionText(ColumnTexts::speedDirectionText(label, unit));
    chart->setLegendTitle(ColumnTexts::legendTitle(label, unit));
    chart->setParameterText(label);
    chart->setStationText(file.stationText(k));
    chart->setIntervalText(ColumnTexts::intervalText(
        range.earliestTime, range.latestTime, options.layout.clock.name()));
}

// The class that a value in each overlap of the report's classes is counted in, as the chart
// says: the chart's classes are matched to the file's by their limits.
void findOverlapClasses(RoseTallyInterface *tally, ClassesDefinition::Report *report)
{
    if (!tally || report->overlaps.isEmpty())
        return;
    for (ClassesDefinition::Report::Overlap &overlap : report->overlaps) {
        const int index = tally->classOf((overlap.low + overlap.high) / 2);
        RoseTallyInterface::Tally counted;
        if (index < 0 || !tally->getTally(&counted) || index >= counted.classes.size())
            continue;
        const RoseTallyInterface::Class &c = counted.classes.at(index);
        for (const ClassesDefinition::Report::Class &given : report->classes) {
            if (given.low == c.low && given.high == c.high
                && (given.classNumber == overlap.first || given.classNumber == overlap.second)) {
                overlap.goesTo = given.classNumber;
                break;
            }
        }
    }
}

// Classes first, so that every measurement finds its class; then the column's measurements
// and the texts made from their counts. False when the file could not be read to its end.
bool feedColumn(SolarRoseInterface *chart, RoseTallyInterface *tally, const MeasurementFile &file,
    int k, const MeasurementFile::TimeRange &range, const Request &request, ColumnReading &columns)
{
    const Options &options = request.options;
    double requiredGoodPercent = 0;
    bool scaleOn = true;
    ClassesDefinition::Report report;
    ClassesDefinition::load(
        options.classes, file.label(k), chart, requiredGoodPercent, scaleOn, &report);
    findOverlapClasses(tally, &report);
    // Without a word about the default file when it is not there: built-in classes are then
    // what the user asked for.
    if (options.classesGiven || report.failure != ClassesDefinition::Report::Missing)
        request.warnings->warn(Warnings::aboutClasses(options.classes, file.label(k), report));
    const int shift = options.timeShift;
    // The lines are read on a thread of their own; the chart counts on this one.
    const bool taken = columns.take([chart, shift](const QTime &time, double value) {
        chart->addSolarMeasurement(RenderRun::shiftedTime(time, shift), value);
    });
    const ColumnReading::Column &read = columns.column(k);
    if (!taken || read.failed)
        return false;
    const MeasurementFile::ColumnCounts &counts = read.counts;
    // A file without a readable stamp has been told of once for all its columns.
    if (file.findings().readableStamps > 0)
        request.warnings->warn(Warnings::aboutColumn(file.label(k), counts));
    RoseTallyInterface::Tally counted;
    if (tally && tally->getTally(&counted)) {
        request.warnings->warn(
            Warnings::aboutOutsideClasses(file.label(k), counts.allCount, counted));
    }
    chart->setLegendPrecision(ColumnTexts::legendPrecision(counts.maxDecimals));
    const bool below = ColumnTexts::belowRequired(counts.goodShare, requiredGoodPercent);
    chart->setAllDataCount(counts.allCount);
    chart->setEnableGrid(scaleOn);
    chart->setStatisticsText(
        ColumnTexts::statisticsText(counts.allCount, counts.goodCount, counts.goodShare));
    chart->setLegendText(ColumnTexts::legendText(file.stationText(k), range.earliestTime,
                             range.latestTime, counts.allCount, counts.goodCount, counts.goodShare),
        below);
    return true;
}

// Hands the rose's files of column k, the table made from rows and its texts, to the output
// queue, which encodes and writes them while the run goes on; the table is painted in its
// job on a writer thread.
void handFilesOn(const QImage &rose, const QStringList &rows, int k, const Request &request,
    const std::function<QByteArray()> &countsText, const QString &label)
{
    const QString &output = request.options.output;
    const OutputFormats::Formats formats = request.options.formats;
    if (formats & OutputFormats::Png) {
        request.output->write(
            OutputNames::rose(output, k), [rose] { return OutputFile::encode(rose); });
        request.output->write(OutputNames::table(output, k),
            [rows, size = rose.size(), scale = TextScale::factor(request.options.imageHeight),
                label] {
                // The table and its copy scaled to the rose's size.
                if (!MemoryHeadroom::availableFor(size, 2))
                    throw FileWriter::Failure(NoImage { label }.text(size).toStdString());
                const QImage table = TableFit::image(rows, size, scale);
                if (table.isNull())
                    throw FileWriter::Failure(NoImage { label }.text(size).toStdString());
                return OutputFile::encode(table);
            });
    }
    if (formats & OutputFormats::Tsv) {
        request.output->write(OutputNames::table(output, k, OutputFormats::Tsv),
            [rows] { return OutputFormats::tableText(rows); });
    }
    if ((formats & OutputFormats::Csv) && countsText)
        request.output->write(OutputNames::counts(output, k), countsText);
}

// Paints the rose of column k into combined: the first rose lays the ground (in an image of
// its own making), later ones are painted over it, without their background. False when it could
// not be painted (the combined image is then not written).
bool paintIntoCombined(SolarRoseInterface *chart, int k, CombinedImage &combined,
    const Request &request, const NoImage &noImage)
{
    QImage painted;
    if (k > 0)
        painted = combined.ground();
    // The chart's canvas and the copy it hands back.
    if (MemoryHeadroom::availableFor(noImage.wanted(), 2))
        chart->drawImage(painted);
    else
        painted = QImage();
    if (painted.isNull()) {
        request.output->tell(noImage.text());
        combined.spoil();
        return false;
    }
    if (!combined.isSpoilt())
        combined.add(painted);
    return true;
}

// Hands the files of column k on (see handFilesOn), writes the column's drawings (vector,
// when there is one) and paints the rose into combined. False when a drawing could not be
// written or an image could not be had. The charts paint on this thread (the program runs it
// on a thread of Qt's global pool, where Qt 6.4 paints a fill in one part).
bool writeColumn(SolarRoseInterface *chart, RosePainterInterface *painter, int k,
    CombinedImage &combined, VectorOutput *vector, const Request &request,
    const std::function<QByteArray()> &countsText, const NoImage &noImage)
{
    // The drawings tell their failures at once: what is held before them is told first.
    if (painter)
        request.output->settle();
    QImage rose;
    // The chart's canvas, the copy it hands back and the painting into the combined image.
    if (MemoryHeadroom::availableFor(noImage.wanted(), 3))
        chart->drawImage(rose);
    if (rose.isNull()) {
        // No memory for the rose: none of the column's files, the next column may fit.
        request.output->tell(noImage.text());
        return false;
    }
    // The table data describe the last drawing.
    QStringList rows;
    chart->getTableData(&rows);
    handFilesOn(rose, rows, k, request, countsText, noImage.label);
    bool written = true;
    if (painter) {
        request.output->settle();
        written = vector->writeColumn(painter, k, rows, rose.size());
    }
    // The first rose lays the ground of the combined drawings; later ones are painted over it.
    if (k > 0)
        chart->setEnableBackground(false);
    if (request.options.formats & OutputFormats::Png)
        written &= paintIntoCombined(chart, k, combined, request, noImage);
    if (painter)
        vector->combine(painter);
    return written;
}

// What the run tells before the first column: about the input, the image height and the
// output prefix (only when there is a column to write).
void warnAboutRun(Warnings *warnings, const MeasurementFile &file, const Options &options)
{
    warnings->warn(Warnings::aboutInput(options.input, file));
    warnings->warn(Warnings::aboutImageHeight(options.imageHeight));
    if (file.parameterCount() > 0)
        warnings->warn(Warnings::aboutOutput(options.output));
}

// The chart's counts, when it can tell them; told of once when the run asks for a counts
// file and it cannot.
RoseTallyInterface *chartTally(
    QObject *instance, const Options &options, bool *told, Warnings *warnings)
{
    RoseTallyInterface *tally = qobject_cast<RoseTallyInterface *>(instance);
    if (!tally && (options.formats & OutputFormats::Csv) && !*told) {
        warnings->warn(QStringLiteral("the chart plug-in cannot tell its counts (%1): no csv "
                                      "files are written")
                           .arg(QLatin1String(RoseTallyInterface_iid)));
        *told = true;
    }
    return tally;
}

// What makes the counts file of a column from the chart's counts as they are now; empty when
// none is asked for or the chart cannot tell them.
std::function<QByteArray()> countsFile(
    RoseTallyInterface *tally, const MeasurementFile::ColumnCounts &counts, const Options &options)
{
    RoseTallyInterface::Tally counted;
    if (!tally || !(options.formats & OutputFormats::Csv) || !tally->getTally(&counted))
        return {};
    return [counted, all = counts.allCount, good = counts.goodCount] {
        return CountsFile::text(counted, all, good);
    };
}

// The combined image, put together row by row as it is encoded.
QByteArray encodeCombined(const CombinedImage &combined)
{
    return PngEncoder::encode(
        combined.header(), [&combined](int y, QRgb *scratch) { return combined.row(y, scratch); });
}

// Hands the combined image on, unless a rose is missing from it.
void writeCombined(const CombinedImage &combined, const Options &options, OutputQueue *output)
{
    if (!(options.formats & OutputFormats::Png) || combined.isSpoilt())
        return;
    output->write(
        OutputNames::combined(options.output), [&combined] { return encodeCombined(combined); });
}

// The chart's painting onto other painters, when the run writes drawings and the chart can
// paint them; told of once when it cannot.
RosePainterInterface *vectorPainter(
    QObject *instance, const VectorOutput &vector, bool *told, Warnings *warnings)
{
    if (!vector.wanted())
        return nullptr;
    RosePainterInterface *painter = qobject_cast<RosePainterInterface *>(instance);
    if (!painter && !*told) {
        warnings->warn(QStringLiteral(
            "the chart plug-in cannot paint onto other painters (%1): no svg or pdf files are "
            "written")
                           .arg(QLatin1String(RosePainterInterface_iid)));
        *told = true;
    }
    return painter;
}

} // namespace

RenderRun::RenderRun(QPluginLoader &chartLoader)
    : m_chartLoader(chartLoader)
{ }

int RenderRun::run(QFile *diagnostics, const Options &options)
{
    MeasurementFile file(options.input);
    return run(diagnostics, options, file);
}

int RenderRun::run(QFile *diagnostics, const Options &options, MeasurementFile &file)
{
    m_warningCount = 0;
    file.setLayout(options.layout);
    try {
        return render(diagnostics, options, file);
    } catch (const std::bad_alloc &) {
        // What the run held is gone by now, and the files handed in before are complete (the
        // output queue waits for them as it goes).
        diagnostics->write("helicart: out of memory\n");
        return ExitStatus::OutputNotWritten;
    }
}

int RenderRun::render(QFile *diagnostics, const Options &options, MeasurementFile &file)
{
    const QString &input = options.input;
    if (!file.open()) {
        // Local 8-bit, so that a name with letters outside Latin-1 reaches the user intact.
        diagnostics->write(QStringLiteral("Can not open input file: %1.").arg(input).toLocal8Bit());
        return ExitStatus::InputNotRead;
    }
    file.readHeader();
    const int count = file.parameterCount();
    // The columns are read one after the other, each while the one before is still counted
    // and painted; reading ends at a failure. The first one is read while the time range is
    // found, when the file can be read twice at once.
    ColumnReading columns(file, count);
    const MeasurementFile::TimeRange range = file.readTimeRange();
    if (file.readFailed())
        return reportReadFailure(diagnostics, input);
    columns.start();
    // Declared first, so that it outlives the files still being written from it.
    CombinedImage combined;
    OutputQueue output(diagnostics);
    Warnings warnings(output.warnings(), &m_warningCount);
    warnAboutRun(&warnings, file, options);
    const Request request { &warnings, &output, options };
    bool written = true;
    VectorOutput vector(options.output, options.formats, diagnostics);
    vector.setTableTextScale(TextScale::factor(options.imageHeight));
    bool toldNoPainter = false, toldNoTally = false;
    for (int k = 0; k < count; ++k) {
        QObject *instance = nullptr;
        std::unique_ptr<SolarRoseInterface> chart(obtainChart(m_chartLoader, &instance));
        if (!chart) {
            output.settle();
            reportPluginFailure();
            return ExitStatus::NoChart;
        }
        describeColumn(chart.get(), instance, file, k, range, request);
        RoseTallyInterface *tally = chartTally(instance, options, &toldNoTally, &warnings);
        // The images of the columns before stay; this one and the combined image would show
        // only part of the data.
        if (!feedColumn(chart.get(), tally, file, k, range, request, columns)) {
            output.settle();
            return reportReadFailure(diagnostics, input);
        }
        RosePainterInterface *painter = vectorPainter(instance, vector, &toldNoPainter, &warnings);
        // This column's files go on while the next one is read. Those before are done by now,
        // as a rule: their failures are told, then this column's warnings.
        const std::function<QByteArray()> countsText
            = countsFile(tally, columns.column(k).counts, options);
        const NoImage noImage { file.label(k), qobject_cast<RosePainterInterface *>(instance) };
        const size_t before = output.pending();
        written &= writeColumn(
            chart.get(), painter, k, combined, &vector, request, countsText, noImage);
        output.settle(output.pending() - before);
    }
    if (count > 0)
        writeCombined(combined, options, &output);
    written &= output.settle();
    written &= vector.writeCombined();
    return written ? ExitStatus::Success : ExitStatus::OutputNotWritten;
}

void RenderRun::reportPluginFailure()
{
    QFile out;
    if (!out.open(STDOUT_FILENO, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        return;
    out.write("Cannot load 'solarRose' plugin");
    out.flush();
    out.close();
}

QTime RenderRun::shiftedTime(const QTime &time, int minutes)
{
    return minutes == 0 ? time : time.addSecs(minutes * 60);
}
