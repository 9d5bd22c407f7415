#include "sheetrows.h"

#include "columnsteps.h"
#include "columntexts.h"
#include "filewriter.h"
#include "options.h"
#include "outputfile.h"
#include "outputnames.h"
#include "outputqueue.h"

#include <QObject>

namespace {

// "JJA: No. good: 13232", the title of a panel.
QString panelTitle(const QString &name, int goodCount)
{
    return QStringLiteral("%1   %2 %3").arg(name, ColumnTexts::tr("No. good:")).arg(goodCount);
}

QString columnTitle(const MeasurementFile &file, int k)
{
    const QString unit = file.unit(k);
    const QString label
        = unit.isEmpty() ? file.label(k) : file.label(k) + QStringLiteral(" [%1]").arg(unit);
    const QString station = file.stationText(k);
    return station.isEmpty() ? label : label + QStringLiteral(", ") + station;
}

} // namespace

bool SheetRows::drawings(const Options &options)
{
    return (options.formats & OutputFormats::Svg) || (options.formats & OutputFormats::Pdf);
}

int SheetRows::roseHeight(const Options &options)
{
    return qMax(SheetLayout::kMinPanelHeight,
        options.imageHeight > 0 ? options.imageHeight : SheetLayout::kPanelHeight);
}

SheetLayout::Scale SheetRows::fixedScale(const Options &options)
{
    if (options.scaleMax >= 1 && options.scaleGrid >= 1)
        return SheetLayout::Scale { double(options.scaleMax), options.scaleGrid };
    return SheetLayout::Scale();
}

SheetImage::Block SheetRows::groupBlock(GroupCharts &groups, const MeasurementFile &file, int k,
    const ColumnReading::Column &column, const MeasurementFile::TimeRange &range,
    const Options &options)
{
    QList<SheetImage::Entry> entries;
    for (size_t g = 0; g < column.groups.size(); ++g) {
        const MeasurementFile::ColumnCounts &counts = column.groups[g];
        SolarRoseInterface *chart = counts.allCount > 0 ? groups.chart(int(g)) : nullptr;
        if (chart) {
            entries.append({ chart, groups.instance(int(g)),
                panelTitle(Grouping::name(file.grouping(), int(g)), counts.goodCount) });
        }
    }
    const MeasurementFile::ColumnCounts &all = column.counts;
    const QString legendText
        = ColumnTexts::legendText(file.stationText(k), range.earliestTime, range.latestTime,
            all.allCount, all.goodCount, all.goodShare, ColumnSteps::legendNote(options));
    return SheetImage::draw(entries, columnTitle(file, k),
        SheetLayout::gridColumns(file.grouping(), int(entries.size())), roseHeight(options),
        fixedScale(options), true, legendText, drawings(options));
}

SheetImage::Block SheetRows::columnBlock(const std::vector<std::unique_ptr<GroupCharts>> &charts,
    const MeasurementFile &file, const ColumnReading &columns, const Options &options)
{
    QList<SheetImage::Entry> entries;
    for (size_t k = 0; k < charts.size(); ++k) {
        SolarRoseInterface *chart = charts[k] ? charts[k]->chart(0) : nullptr;
        if (chart) {
            entries.append({ chart, charts[k]->instance(0),
                panelTitle(file.label(int(k)), columns.column(int(k)).counts.goodCount) });
        }
    }
    const QString title = file.parameterCount() > 0 ? file.stationText(0) : QString();
    return SheetImage::draw(entries, title,
        SheetLayout::gridColumns(Grouping::Kind::None, int(entries.size())), roseHeight(options),
        fixedScale(options), false, QString(), drawings(options));
}

void SheetRows::write(const SheetImage &sheet, const Options &options, OutputQueue *output)
{
    if (sheet.isEmpty())
        return;
    if (options.formats & OutputFormats::Png) {
        const QImage image = sheet.compose();
        output->write(OutputNames::sheet(options.output), [image, size = sheet.size()] {
            if (image.isNull()) {
                throw FileWriter::Failure(
                    QStringLiteral("helicart: cannot allocate a %1 x %2 image for the sheet")
                        .arg(size.width())
                        .arg(size.height())
                        .toStdString());
            }
            return OutputFile::encode(image);
        });
    }
    // The drawings are put together here, on the thread where the charts paint.
    for (const OutputFormats::Format format : { OutputFormats::Svg, OutputFormats::Pdf }) {
        if (options.formats & format) {
            const QByteArray document = sheet.document(format);
            output->write(
                OutputNames::sheet(options.output, format), [document] { return document; });
        }
    }
}
