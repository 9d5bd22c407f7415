#include "groupfiles.h"

#include "columntexts.h"
#include "htmlreport.h"
#include "options.h"
#include "outputqueue.h"
#include "rosepainterinterface.h"
#include "solarroseinterface.h"
#include "textscale.h"
#include "vectoroutput.h"

#include <QFile>
#include <QImage>

GroupCharts::Prepare GroupFiles::prepare(
    const MeasurementFile &file, int k, const ColumnSteps::Request &request)
{
    return [&file, k, request](SolarRoseInterface *chart, QObject *instance, int group) {
        const std::vector<MeasurementFile::GroupSpan> &spans = file.groupSpans();
        const MeasurementFile::TimeRange range = size_t(group) < spans.size()
            ? spans[size_t(group)].range()
            : MeasurementFile::TimeRange();
        const QString name = Grouping::name(file.grouping(), group);
        ColumnSteps::describeColumn(
            chart, instance, file, k, range, request, note(request.options, name));
        ColumnSteps::loadClasses(
            chart, qobject_cast<RoseTallyInterface *>(instance), file, k, request, false);
    };
}

QString GroupFiles::note(const Options &options, const QString &group)
{
    const Period &period = options.period;
    return ColumnTexts::periodNote(period.fromText, period.tillText, period.monthsText, group);
}

bool GroupFiles::write(GroupCharts &groups, const MeasurementFile &file, int k,
    const ColumnReading::Column &column, const ColumnSteps::Classes &classes,
    const ColumnSteps::Request &request, QFile *diagnostics)
{
    bool written = true;
    QList<HtmlReport::Group> pageGroups;
    const std::vector<MeasurementFile::GroupSpan> &spans = file.groupSpans();
    for (size_t g = 0; g < column.groups.size(); ++g) {
        const MeasurementFile::ColumnCounts &counts = column.groups[g];
        SolarRoseInterface *chart = counts.allCount > 0 ? groups.chart(int(g)) : nullptr;
        if (!chart)
            continue;
        QObject *instance = groups.instance(int(g));
        auto *tally = qobject_cast<RoseTallyInterface *>(instance);
        const MeasurementFile::TimeRange range
            = g < spans.size() ? spans[g].range() : MeasurementFile::TimeRange();
        ColumnSteps::countTexts(chart, tally, file, k, range, counts, classes, request,
            Grouping::name(file.grouping(), int(g)));
        const ColumnSteps::NoImage noImage { file.label(k),
            qobject_cast<RosePainterInterface *>(instance) };
        const QImage rose = ColumnSteps::drawRose(chart, noImage, 1, request.output);
        if (rose.isNull()) {
            written = false;
            continue;
        }
        pageGroups.append({ chart, instance,
            QStringLiteral("%1, %2 good")
                .arg(Grouping::name(file.grouping(), int(g)))
                .arg(counts.goodCount),
            quint64(counts.allCount) });
        QStringList rows;
        chart->getTableData(&rows);
        Options named = request.options;
        named.output += QLatin1Char('_') + Grouping::name(file.grouping(), int(g));
        const ColumnSteps::Request groupRequest { request.warnings, request.output, named };
        ColumnSteps::handFilesOn(rose, rows, k, groupRequest,
            ColumnSteps::countsFile(tally, counts, named), noImage.label);
        VectorOutput vector(named.output, named.formats, diagnostics);
        auto *painter = qobject_cast<RosePainterInterface *>(instance);
        if (vector.wanted() && painter) {
            request.output->settle();
            vector.setTableTextScale(TextScale::factor(named.imageHeight));
            written &= vector.writeColumn(painter, k, rows, rose.size());
        }
    }
    // Last: the page redraws the roses as panels.
    if (request.report)
        request.report->takeGroups(pageGroups);
    return written;
}

void GroupFiles::tellEmptyGroups(const MeasurementFile &file, const ColumnSteps::Request &request)
{
    const Grouping::Kind kind = file.grouping();
    const std::vector<MeasurementFile::GroupSpan> &spans = file.groupSpans();
    int first = 0;
    int last = Grouping::fixedCount(kind) - 1;
    if (kind == Grouping::Kind::Year) {
        first = int(spans.size());
        for (size_t g = 0; g < spans.size(); ++g) {
            if (spans[g].lines > 0) {
                first = qMin(first, int(g));
                last = int(g);
            }
        }
    }
    for (int g = first; g <= last; ++g) {
        if (size_t(g) < spans.size() && spans[size_t(g)].lines > 0)
            continue;
        request.output->tell(QStringLiteral("helicart: group %1 holds no data line: no files "
                                            "are written for it")
                                 .arg(Grouping::name(kind, g)));
    }
}
