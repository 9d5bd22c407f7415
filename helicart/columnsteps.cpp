#include "columnsteps.h"

#include "columntexts.h"
#include "countsfile.h"
#include "filewriter.h"
#include "memoryheadroom.h"
#include "options.h"
#include "outputfile.h"
#include "outputnames.h"
#include "outputqueue.h"
#include "rosetextscaleinterface.h"
#include "solarroseinterface.h"
#include "tablefit.h"
#include "textscale.h"
#include "warnings.h"

void ColumnSteps::describeColumn(SolarRoseInterface *chart, QObject *instance,
    const MeasurementFile &file, int k, const MeasurementFile::TimeRange &range,
    const Request &request, const QString &note)
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
        range.earliestTime, range.latestTime, options.layout.clock.name(), note));
}

void ColumnSteps::findOverlapClasses(RoseTallyInterface *tally, ClassesDefinition::Report *report)
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

ColumnSteps::Classes ColumnSteps::loadClasses(SolarRoseInterface *chart, RoseTallyInterface *tally,
    const MeasurementFile &file, int k, const Request &request, bool told)
{
    const Options &options = request.options;
    Classes classes;
    ClassesDefinition::Report report;
    ClassesDefinition::load(options.classes, file.label(k), chart, classes.requiredGoodPercent,
        classes.scaleOn, &report);
    findOverlapClasses(tally, &report);
    // Without a word about the default file when it is not there: built-in classes are then
    // what the user asked for.
    if (told && (options.classesGiven || report.failure != ClassesDefinition::Report::Missing))
        request.warnings->warn(Warnings::aboutClasses(options.classes, file.label(k), report));
    return classes;
}

void ColumnSteps::countTexts(SolarRoseInterface *chart, RoseTallyInterface *tally,
    const MeasurementFile &file, int k, const MeasurementFile::TimeRange &range,
    const MeasurementFile::ColumnCounts &counts, const Classes &classes, const Request &request,
    const QString &group)
{
    // A file without a readable stamp has been told of once for all its columns.
    if (file.findings().readableStamps > 0)
        request.warnings->warn(Warnings::aboutColumn(file.label(k), counts));
    RoseTallyInterface::Tally counted;
    if (tally && tally->getTally(&counted)) {
        request.warnings->warn(
            Warnings::aboutOutsideClasses(file.label(k), counts.allCount, counted));
    }
    chart->setLegendPrecision(ColumnTexts::legendPrecision(counts.maxDecimals));
    const bool below = ColumnTexts::belowRequired(counts.goodShare, classes.requiredGoodPercent);
    chart->setAllDataCount(counts.allCount);
    chart->setEnableGrid(classes.scaleOn);
    chart->setStatisticsText(
        ColumnTexts::statisticsText(counts.allCount, counts.goodCount, counts.goodShare));
    chart->setLegendText(ColumnTexts::legendText(file.stationText(k), range.earliestTime,
                             range.latestTime, counts.allCount, counts.goodCount, counts.goodShare,
                             legendNote(request.options, group)),
        below);
}

QString ColumnSteps::legendNote(const Options &options, const QString &group)
{
    const Period &period = options.period;
    return ColumnTexts::periodNote(
        period.fromText, period.tillText, period.monthsText, group, QStringLiteral("\n"));
}

QImage ColumnSteps::drawRose(
    SolarRoseInterface *chart, const NoImage &noImage, int copies, OutputQueue *output)
{
    QImage rose;
    if (MemoryHeadroom::availableFor(noImage.wanted(), 1 + copies))
        chart->drawImage(rose);
    if (rose.isNull())
        output->tell(noImage.text());
    return rose;
}

void ColumnSteps::handFilesOn(const QImage &rose, const QStringList &rows, int k,
    const Request &request, const std::function<QByteArray()> &countsText, const QString &label)
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

RoseTallyInterface *ColumnSteps::chartTally(
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

std::function<QByteArray()> ColumnSteps::countsFile(
    RoseTallyInterface *tally, const MeasurementFile::ColumnCounts &counts, const Options &options)
{
    RoseTallyInterface::Tally counted;
    if (!tally || !(options.formats & OutputFormats::Csv) || !tally->getTally(&counted))
        return {};
    return [counted, all = counts.allCount, good = counts.goodCount] {
        return CountsFile::text(counted, all, good);
    };
}
