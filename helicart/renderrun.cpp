#include "renderrun.h"

#include "classesdefinition.h"
#include "columnreading.h"
#include "columntexts.h"
#include "combinedimage.h"
#include "exitstatus.h"
#include "measurementfile.h"
#include "options.h"
#include "outputfile.h"
#include "outputnames.h"
#include "outputqueue.h"
#include "pngencoder.h"
#include "rosepainterinterface.h"
#include "solarroseinterface.h"
#include "tablefit.h"
#include "vectoroutput.h"
#include "warnings.h"

#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QPluginLoader>
#include <QTime>

#include <memory>

#include <unistd.h>

namespace {

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

// The chart's texts that come from the header and the time range.
void describeColumn(SolarRoseInterface *chart, const MeasurementFile &file, int k,
    const MeasurementFile::TimeRange &range, const Request &request)
{
    const Options &options = request.options;
    if (options.scaleMax != -1 && options.scaleGrid != -1)
        chart->setFixedScale(double(options.scaleMax), options.scaleGrid);
    if (options.imageHeight > 0)
        chart->setImageHeight(options.imageHeight);
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

// Classes first, so that every measurement finds its class; then the column's measurements
// and the texts made from their counts. False when the file could not be read to its end.
bool feedColumn(SolarRoseInterface *chart, const MeasurementFile &file, int k,
    const MeasurementFile::TimeRange &range, const Request &request, ColumnReading &columns)
{
    const Options &options = request.options;
    double requiredGoodPercent = 0;
    bool scaleOn = true;
    ClassesDefinition::Report report;
    ClassesDefinition::load(
        options.classes, file.label(k), chart, requiredGoodPercent, scaleOn, &report);
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

// Hands the rose, the table and its text of column k to the output queue, which encodes and
// writes them while the run goes on, writes the column's drawings (vector, when there is
// one) and paints the rose into combined. False when a drawing could not be written. The
// charts paint on this thread (the program runs it on a thread of Qt's global pool, where
// Qt 6.4 paints a fill in one part); the table is painted in its job on a writer thread.
bool writeColumn(SolarRoseInterface *chart, RosePainterInterface *painter, int k,
    CombinedImage &combined, VectorOutput *vector, const Request &request)
{
    // The drawings tell their failures at once: what is held before them is told first.
    if (painter)
        request.output->settle();
    QImage rose;
    chart->drawImage(rose);
    const QString &output = request.options.output;
    const OutputFormats::Formats formats = request.options.formats;
    // The table data describe the last drawing.
    QStringList rows;
    chart->getTableData(&rows);
    if (formats & OutputFormats::Png) {
        request.output->write(
            OutputNames::rose(output, k), [rose] { return OutputFile::encode(rose); });
        request.output->write(OutputNames::table(output, k),
            [rows, size = rose.size()] { return OutputFile::encode(TableFit::image(rows, size)); });
    }
    if (formats & OutputFormats::Tsv) {
        request.output->write(OutputNames::table(output, k, OutputFormats::Tsv),
            [rows] { return OutputFormats::tableText(rows); });
    }
    bool written = true;
    if (painter) {
        request.output->settle();
        written = vector->writeColumn(painter, k, rows, rose.size());
    }

    // The first rose lays the ground of the combined image; later ones are painted over it.
    if (k > 0)
        chart->setEnableBackground(false);
    if (formats & OutputFormats::Png) {
        // The first rose draws into an image of its own making.
        QImage painted;
        if (k > 0)
            painted = combined.ground();
        chart->drawImage(painted);
        combined.add(painted);
    }
    if (painter)
        vector->combine(painter);
    return written;
}

// The combined image, put together row by row as it is encoded.
QByteArray encodeCombined(const CombinedImage &combined)
{
    return PngEncoder::encode(
        combined.header(), [&combined](int y, QRgb *scratch) { return combined.row(y, scratch); });
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
    const QString &input = options.input;
    m_warningCount = 0;
    file.setLayout(options.layout);
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
    warnings.warn(Warnings::aboutInput(input, file));
    const Request request { &warnings, &output, options };

    bool written = true;
    VectorOutput vector(options.output, options.formats, diagnostics);
    bool toldNoPainter = false;
    for (int k = 0; k < count; ++k) {
        QObject *instance = nullptr;
        std::unique_ptr<SolarRoseInterface> chart(obtainChart(m_chartLoader, &instance));
        if (!chart) {
            output.settle();
            reportPluginFailure();
            return ExitStatus::NoChart;
        }
        describeColumn(chart.get(), file, k, range, request);
        // The images of the columns before stay; this one and the combined image would show
        // only part of the data.
        if (!feedColumn(chart.get(), file, k, range, request, columns)) {
            output.settle();
            return reportReadFailure(diagnostics, input);
        }
        RosePainterInterface *painter = vectorPainter(instance, vector, &toldNoPainter, &warnings);
        // This column's files go on while the next one is read. Those before are done by now,
        // as a rule: their failures are told, then this column's warnings.
        const size_t before = output.pending();
        written &= writeColumn(chart.get(), painter, k, combined, &vector, request);
        output.settle(output.pending() - before);
    }
    // Without a parameter column there is no rose to combine, and nothing is missing.
    if (count > 0 && (options.formats & OutputFormats::Png)) {
        output.write(OutputNames::combined(options.output),
            [&combined] { return encodeCombined(combined); });
    }
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
