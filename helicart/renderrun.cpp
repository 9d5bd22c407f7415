#include "renderrun.h"

#include "columnreading.h"
#include "columnsteps.h"
#include "combinedimage.h"
#include "exitstatus.h"
#include "groupcharts.h"
#include "groupfiles.h"
#include "htmlreport.h"
#include "measurementfile.h"
#include "memoryheadroom.h"
#include "options.h"
#include "outputnames.h"
#include "outputqueue.h"
#include "pngencoder.h"
#include "rosemakerinterface.h"
#include "rosepainterinterface.h"
#include "rosetallyinterface.h"
#include "sheetrows.h"
#include "solarroseinterface.h"
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

using NoImage = ColumnSteps::NoImage;
using Request = ColumnSteps::Request;

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

// Classes first, so that every measurement finds its class; then the column's measurements
// (and those of its groups, when the run has them) and the texts made from their counts. False
// when the file could not be read to its end.
bool feedColumn(SolarRoseInterface *chart, RoseTallyInterface *tally, const MeasurementFile &file,
    int k, const MeasurementFile::TimeRange &range, const Request &request, ColumnReading &columns,
    GroupCharts *groups, ColumnSteps::Classes *classes)
{
    *classes = ColumnSteps::loadClasses(chart, tally, file, k, request);
    const int shift = request.options.timeShift;
    // The lines are read on a thread of their own; the chart counts on this one.
    bool taken = false;
    if (groups) {
        taken = columns.take([chart, shift, groups](const QTime &time, double value, int group) {
            const QTime shifted = RenderRun::shiftedTime(time, shift);
            chart->addSolarMeasurement(shifted, value);
            groups->add(group, shifted, value);
        });
    } else {
        taken = columns.take([chart, shift](const QTime &time, double value) {
            chart->addSolarMeasurement(RenderRun::shiftedTime(time, shift), value);
        });
    }
    const ColumnReading::Column &read = columns.column(k);
    if (!taken || read.failed)
        return false;
    ColumnSteps::countTexts(chart, tally, file, k, range, read.counts, *classes, request);
    if (request.report)
        request.report->setCounts(read.counts);
    return true;
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
    // The chart's canvas, the copy it hands back and the painting into the combined image.
    const QImage rose = ColumnSteps::drawRose(chart, noImage, 2, request.output);
    // No memory for the rose: none of the column's files, the next column may fit.
    if (rose.isNull())
        return false;
    // The table data describe the last drawing.
    QStringList rows;
    chart->getTableData(&rows);
    ColumnSteps::handFilesOn(rose, rows, k, request, countsText, noImage.label);
    // The page's drawing while the files are on their way; the chart draws nothing in between.
    if (request.report)
        request.report->takeColumn(rows);
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

// The page of the run, when it asks for one.
std::unique_ptr<HtmlReport> pageReport(const Options &options, const MeasurementFile &file,
    const MeasurementFile::TimeRange &range, Warnings *warnings)
{
    if (!(options.formats & OutputFormats::Html))
        return nullptr;
    return std::make_unique<HtmlReport>(options, file, range, warnings);
}

// Hands the page on, with the warnings told before the run and by it so far.
void writePage(
    HtmlReport *report, const Options &options, const QStringList &earlier, OutputQueue *output)
{
    if (!report)
        return;
    output->write(
        OutputNames::combined(options.output, OutputFormats::Html), report->page(earlier));
}

// The charts of the groups of column k, when the run parts the lines into groups and the chart
// can make more of its kind; told of once when it cannot.
std::unique_ptr<GroupCharts> groupCharts(
    QObject *instance, const MeasurementFile &file, int k, const Request &request, bool *told)
{
    if (file.grouping() == Grouping::Kind::None && !request.options.sheet)
        return nullptr;
    auto *maker = qobject_cast<RoseMakerInterface *>(instance);
    if (!maker) {
        if (!*told) {
            request.warnings->warn(QStringLiteral("the chart plug-in cannot make more charts "
                                                  "(%1): no files of groups are written")
                                       .arg(QLatin1String(RoseMakerInterface_iid)));
        }
        *told = true;
        return nullptr;
    }
    return std::make_unique<GroupCharts>(maker, GroupFiles::prepare(file, k, request));
}

// What the run tells of the lines it leaves out before the first column: those outside the
// period, and the groups without any.
void tellSelection(const MeasurementFile &file, const Request &request)
{
    if (const qint64 leftOut = file.findings().leftOut) {
        request.output->tell(
            QStringLiteral("helicart: %1 data lines outside the period (%2) are left out")
                .arg(leftOut)
                .arg(GroupFiles::note(request.options)));
    }
    if (file.grouping() != Grouping::Kind::None)
        GroupFiles::tellEmptyGroups(file, request);
}

// What the columns of a run share.
struct RunParts
{
    QFile *diagnostics;
    const MeasurementFile &file;
    const MeasurementFile::TimeRange &range;
    const Request &request;
    ColumnReading &columns;
    CombinedImage &combined;
    VectorOutput &vector;
    QString note = QString(); // the period, beside the time range
    SheetImage sheet = SheetImage();
    // Without groups, each column's chart for the sheet's one block, kept to the end.
    std::vector<std::unique_ptr<GroupCharts>> sheetCharts = {};
    bool toldNoPainter = false;
    bool toldNoTally = false;
    bool toldNoMaker = false;
    bool written = true;
};

// renderColumn's word that the run goes on.
constexpr int kGoOn = -1;

// The column's groups after its own files: their files, and their block of the sheet.
void finishGroups(
    std::unique_ptr<GroupCharts> groups, RunParts &run, int k, const ColumnSteps::Classes &classes)
{
    const Options &options = run.request.options;
    const ColumnReading::Column &column = run.columns.column(k);
    if (run.file.grouping() != Grouping::Kind::None) {
        run.written &= GroupFiles::write(
            *groups, run.file, k, column, classes, run.request, run.diagnostics);
        if (options.sheet)
            run.sheet.add(SheetRows::groupBlock(*groups, run.file, k, column, run.range, options));
        return;
    }
    if (SolarRoseInterface *chart = groups->chart(0)) {
        ColumnSteps::countTexts(chart, qobject_cast<RoseTallyInterface *>(groups->instance(0)),
            run.file, k, run.range, column.counts, classes, run.request);
    }
    run.sheetCharts.push_back(std::move(groups));
}

// Counts column k into a chart of its own (and its groups) and writes its files; kGoOn, or the
// status that ends the run.
int renderColumn(QPluginLoader &loader, RunParts &run, int k)
{
    const Request &request = run.request;
    const Options &options = request.options;
    QObject *instance = nullptr;
    std::unique_ptr<SolarRoseInterface> chart(obtainChart(loader, &instance));
    if (!chart) {
        request.output->settle();
        RenderRun::reportPluginFailure();
        return ExitStatus::NoChart;
    }
    ColumnSteps::describeColumn(chart.get(), instance, run.file, k, run.range, request, run.note);
    if (request.report)
        request.report->begin(instance, k);
    RoseTallyInterface *tally
        = ColumnSteps::chartTally(instance, options, &run.toldNoTally, request.warnings);
    std::unique_ptr<GroupCharts> groups
        = groupCharts(instance, run.file, k, request, &run.toldNoMaker);
    ColumnSteps::Classes classes;
    // The images of the columns before stay; this one and the combined image would show
    // only part of the data.
    if (!feedColumn(chart.get(), tally, run.file, k, run.range, request, run.columns, groups.get(),
            &classes)) {
        request.output->settle();
        return reportReadFailure(run.diagnostics, options.input);
    }
    RosePainterInterface *painter
        = vectorPainter(instance, run.vector, &run.toldNoPainter, request.warnings);
    // This column's files go on while the next one is read. Those before are done by now,
    // as a rule: their failures are told, then this column's warnings.
    const std::function<QByteArray()> countsText
        = ColumnSteps::countsFile(tally, run.columns.column(k).counts, options);
    const NoImage noImage { run.file.label(k), qobject_cast<RosePainterInterface *>(instance) };
    const size_t before = request.output->pending();
    run.written &= writeColumn(
        chart.get(), painter, k, run.combined, &run.vector, request, countsText, noImage);
    if (groups)
        finishGroups(std::move(groups), run, k, classes);
    request.output->settle(request.output->pending() - before);
    return kGoOn;
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
    file.setSelection(options.period, options.grouping);
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
    const std::unique_ptr<HtmlReport> report = pageReport(options, file, range, &warnings);
    const Request request { &warnings, &output, options, report.get() };
    tellSelection(file, request);
    VectorOutput vector(options.output, options.formats, diagnostics);
    vector.setTableTextScale(TextScale::factor(options.imageHeight));
    RunParts run { diagnostics, file, range, request, columns, combined, vector };
    run.note = GroupFiles::note(options);
    for (int k = 0; k < count; ++k) {
        const int status = renderColumn(m_chartLoader, run, k);
        if (status != kGoOn)
            return status;
    }
    if (count > 0)
        writeCombined(combined, options, &output);
    if (options.sheet && file.grouping() == Grouping::Kind::None)
        run.sheet.add(SheetRows::columnBlock(run.sheetCharts, file, columns, options));
    SheetRows::write(run.sheet, options, &output);
    writePage(report.get(), options, m_earlierWarnings, &output);
    bool written = run.written;
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
