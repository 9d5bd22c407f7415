#include "solarrose.h"

#include "classesdefinition.h"
#include "columnreading.h"
#include "combinedimage.h"
#include "exitstatus.h"
#include "imagetable.h"
#include "measurementfile.h"
#include "options.h"
#include "outputfile.h"
#include "outputqueue.h"
#include "pngencoder.h"
#include "rosepainterinterface.h"
#include "solarroseinterface.h"
#include "vectoroutput.h"
#include "warnings.h"

#include <QDateTime>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QPluginLoader>
#include <QTime>

#include <cmath>
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

// Labels up to this length keep their spaces in the legend title.
constexpr int kLegendTitleWidth = 20;

// The unknown share in whole percent, as both statistics texts show it. Without a data line
// the good share is no number; nothing is good then, and all of nothing is unknown.
QString unknownShare(double goodShare)
{
    return QString::number(std::isnan(goodShare) ? 100.0 : 100.0 - goodShare, 'f', 0);
}

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
    chart->setSpeedDirectionText(SolarRose::speedDirectionText(label, unit));
    chart->setLegendTitle(SolarRose::legendTitle(label, unit));
    chart->setParameterText(label);
    chart->setStationText(file.stationText(k));
    chart->setIntervalText(SolarRose::intervalText(range.earliestTime, range.latestTime));
}

// Classes first, so that every measurement finds its class; then the column's measurements
// and the texts made from their counts. False when the file could not be read to its end.
bool feedColumn(SolarRose &run, SolarRoseInterface *chart, const MeasurementFile &file, int k,
    const MeasurementFile::TimeRange &range, const Request &request, ColumnReading &columns)
{
    const Options &options = request.options;
    double requiredGoodPercent = 0;
    bool scaleOn = true;
    ClassesDefinition::Report report;
    run.loadClasses(options.classes, file.label(k), chart, requiredGoodPercent, scaleOn, &report);
    // Without a word about the default file when it is not there: built-in classes are then
    // what the user asked for.
    if (options.classesGiven || report.failure != ClassesDefinition::Report::Missing)
        request.warnings->warn(Warnings::aboutClasses(options.classes, file.label(k), report));
    const int shift = options.timeShift;
    // The lines are read on a thread of their own; the chart counts on this one.
    const bool taken = columns.take([chart, shift](const QTime &time, double value) {
        chart->addSolarMeasurement(SolarRose::shiftedTime(time, shift), value);
    });
    const ColumnReading::Column &read = columns.column(k);
    if (!taken || read.failed)
        return false;
    const MeasurementFile::ColumnCounts &counts = read.counts;
    // A file without a readable stamp has been told of once for all its columns.
    if (file.findings().readableStamps > 0)
        request.warnings->warn(Warnings::aboutColumn(file.label(k), counts));
    chart->setLegendPrecision(SolarRose::legendPrecision(counts.maxDecimals));
    const bool below = SolarRose::belowRequired(counts.goodShare, requiredGoodPercent);
    chart->setAllDataCount(counts.allCount);
    chart->setEnableGrid(scaleOn);
    chart->setStatisticsText(
        SolarRose::statisticsText(counts.allCount, counts.goodCount, counts.goodShare));
    chart->setLegendText(SolarRose::legendText(file.stationText(k), range.earliestTime,
                             range.latestTime, counts.allCount, counts.goodCount, counts.goodShare),
        below);
    return true;
}

// The table image of the chart's table data, at the rose's size: the four caption lines make
// its title.
QImage tableImage(const QStringList &rows, const QSize &size)
{
    ImageTable table;
    SolarRose::setUpTable(table, rows);
    return SolarRose::renderTable(table, size);
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
    rose.fill(0);
    chart->drawImage(rose);
    const QString &output = request.options.output;
    const OutputFormats::Formats formats = request.options.formats;
    // The table data describe the last drawing.
    QStringList rows;
    chart->getTableData(&rows);
    if (formats & OutputFormats::Png) {
        request.output->write(
            SolarRose::roseFileName(output, k), [rose] { return OutputFile::encode(rose); });
        request.output->write(SolarRose::tableFileName(output, k),
            [rows, size = rose.size()] { return OutputFile::encode(tableImage(rows, size)); });
    }
    if (formats & OutputFormats::Tsv) {
        request.output->write(SolarRose::tableFileName(output, k, OutputFormats::Tsv),
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
        QImage painted;
        if (k == 0)
            painted.fill(0);
        else
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

SolarRose::SolarRose(QPluginLoader &chartLoader)
    : m_chartLoader(chartLoader)
{ }

int SolarRose::run(
    QFile *diagnostics, QString input, QString output, QString classes, int scaleMax, int scaleGrid)
{
    Options options;
    options.input = input;
    options.output = output;
    options.classesGiven = classes != options.classes;
    options.classes = classes;
    options.scaleMax = scaleMax;
    options.scaleGrid = scaleGrid;
    return run(diagnostics, options);
}

int SolarRose::run(QFile *diagnostics, const Options &options)
{
    MeasurementFile file(options.input);
    return run(diagnostics, options, file);
}

int SolarRose::run(QFile *diagnostics, const Options &options, MeasurementFile &file)
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
    Warnings warnings(output.warnings());
    warnings.warn(Warnings::aboutInput(input, file.findings(), file.parameterCount()));
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
        if (!feedColumn(*this, chart.get(), file, k, range, request, columns)) {
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
        output.write(
            combinedFileName(options.output), [&combined] { return encodeCombined(combined); });
    }
    written &= output.settle();
    written &= vector.writeCombined();
    return written ? ExitStatus::Success : ExitStatus::OutputNotWritten;
}

void SolarRose::loadClasses(const QString &fileName, const QString &label, SolarRoseInterface *rose,
    double &goodPercent, bool &scaleOn, ClassesDefinition::Report *report)
{
    ClassesDefinition::load(fileName, label, rose, goodPercent, scaleOn, report);
}

void SolarRose::reportPluginFailure()
{
    QFile out;
    if (!out.open(STDOUT_FILENO, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        return;
    out.write("Cannot load 'solarRose' plugin");
    out.flush();
    out.close();
}

QString SolarRose::speedDirectionText(const QString &label, const QString &unit)
{
    return tr("Time\\") + QStringLiteral("%1[%2]").arg(label, unit);
}

QString SolarRose::legendTitle(const QString &label, const QString &unit)
{
    QString name = label;
    if (name.size() > kLegendTitleWidth)
        name.replace(QLatin1Char(' '), QLatin1Char('\n'));
    return QStringLiteral("%1\n[%2]")
        .arg(name, unit)
        .replace(QLatin1String("[ "), QLatin1String("["));
}

QString SolarRose::intervalText(const QDateTime &earliest, const QDateTime &latest)
{
    const QString format = QStringLiteral("dd.MM.yy hh:mm:ss");
    return tr("Data from") + QLatin1Char(' ') + earliest.toString(format) + QLatin1Char(' ')
        + tr("till") + QLatin1Char(' ') + latest.toString(format);
}

QString SolarRose::statisticsText(int allCount, int goodCount, double goodShare)
{
    return tr("No. all:") + QStringLiteral(" %1   ").arg(allCount) + tr("No. good:")
        + QStringLiteral(" %1   ").arg(goodCount) + tr("No. unknown:")
        + QStringLiteral(" %1 (%2%)")
              .arg(QString::number(allCount - goodCount), unknownShare(goodShare));
}

QString SolarRose::legendText(const QString &station, const QDateTime &earliest,
    const QDateTime &latest, int allCount, int goodCount, double goodShare)
{
    const QString format = QStringLiteral("dd.MM.yy hh:mm");
    const QLatin1Char newLine('\n');
    return station + newLine + earliest.toString(format) + newLine + latest.toString(format)
        + newLine + tr("all:") + QStringLiteral(" %1").arg(allCount) + newLine + tr("good:")
        + QStringLiteral(" %1").arg(goodCount) + newLine + tr("unknown:")
        + QStringLiteral(" %1%").arg(unknownShare(goodShare));
}

bool SolarRose::belowRequired(double goodShare, double requiredGoodPercent)
{
    // A column without data lines (its good share is no number) has nothing good in it: its
    // legend text is shown as a warning.
    return std::isnan(goodShare) || goodShare < requiredGoodPercent;
}

QImage SolarRose::renderTable(ImageTable &table, const QSize &size)
{
    const bool fits = fitTableFont(table, size);
    // An image to match is not there (the rose could not be drawn): the table's own size.
    if (size.isEmpty())
        return table.render(QImage::Format_ARGB32, 0, 0);
    const QImage image = table.render(QImage::Format_ARGB32, size.width(), size.height());
    return fits ? image : image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

bool SolarRose::fitTableFont(ImageTable &table, const QSize &size)
{
    if (size.isEmpty()) {
        table.setFont(QFont(QStringLiteral("framd"), kTableFontSize));
        return true;
    }
    const auto fits = [&table, &size](int pointSize) {
        table.setFont(QFont(QStringLiteral("framd"), pointSize));
        const QSize natural
            = table.layout(QImage::Format_ARGB32, size.width(), size.height()).imageSize;
        return natural.width() <= size.width() && natural.height() <= size.height();
    };
    for (int pointSize = kTableFontSize; pointSize >= kMinTableFontSize; --pointSize) {
        if (fits(pointSize))
            return true;
    }
    return false;
}

void SolarRose::setUpTable(ImageTable &table, QStringList rows)
{
    const QString title = rows.mid(0, 4).join(QLatin1Char('\n'));
    rows = rows.mid(4);
    table.setRows(rows);
    table.setTitle(title);
}

int SolarRose::legendPrecision(int maxDecimals)
{
    return qBound(0, maxDecimals, kMaxLegendPrecision);
}

QTime SolarRose::shiftedTime(const QTime &time, int minutes)
{
    return minutes == 0 ? time : time.addSecs(minutes * 60);
}

QString SolarRose::roseFileName(const QString &prefix, int k, OutputFormats::Format format)
{
    return prefix + QStringLiteral("S%1.").arg(k, 3, 10, QLatin1Char('0'))
        + OutputFormats::suffix(format);
}

QString SolarRose::tableFileName(const QString &prefix, int k, OutputFormats::Format format)
{
    return prefix + QStringLiteral("T%1.").arg(k, 3, 10, QLatin1Char('0'))
        + OutputFormats::suffix(format);
}

QString SolarRose::combinedFileName(const QString &prefix, OutputFormats::Format format)
{
    return prefix + QLatin1Char('.') + OutputFormats::suffix(format);
}
