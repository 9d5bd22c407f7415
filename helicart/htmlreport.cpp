#include "htmlreport.h"

#include "columntexts.h"
#include "options.h"
#include "pagecolumn.h"
#include "rosepainterinterface.h"
#include "rosescaleinterface.h"
#include "rosesegmentsinterface.h"
#include "rosetallyinterface.h"
#include "sheetimage.h"
#include "sheetrows.h"
#include "solarroseinterface.h"
#include "sourcedate.h"
#include "vectordrawing.h"
#include "warnings.h"

#include <QFileInfo>
#include <QObject>

HtmlReport::HtmlReport(const Options &options, const MeasurementFile &file,
    const MeasurementFile::TimeRange &range, Warnings *warnings)
    : m_file(file)
    , m_range(range)
    , m_warnings(warnings)
    , m_panelHeight(SheetRows::roseHeight(options))
    , m_fixedScale(SheetRows::fixedScale(options))
{
    m_header.inputName = QFileInfo(options.input).fileName();
    m_header.timeRange = ColumnTexts::intervalText(
        range.earliestTime, range.latestTime, options.layout.clock.name());
    QStringList stations, arguments;
    for (int k = 0; k < file.parameterCount(); ++k) {
        if (!stations.contains(file.stationText(k)))
            stations << file.stationText(k);
    }
    m_header.stations = stations.join(QStringLiteral(", "));
    for (const QString &argument : options.arguments)
        arguments << Warnings::escaped(argument, Warnings::kMaxName);
    m_header.options = arguments.join(QLatin1Char(' '));
    m_header.version
        = Options::versionText().trimmed().replace(QLatin1Char('\n'), QLatin1String(", "));
    m_header.runTime = SourceDate::stampTime().toString(Qt::ISODate);
    m_pool.setMaxThreadCount(1);
}

void HtmlReport::begin(QObject *chart, int k)
{
    close();
    m_chart = chart;
    m_column = k;
}

void HtmlReport::setCounts(const MeasurementFile::ColumnCounts &counts)
{
    m_counts = counts;
    m_header.allLines = counts.allCount;
    m_header.lines.append(
        { m_file.label(m_column), counts.goodCount, qint64(counts.allCount) - counts.goodCount });
}

void HtmlReport::tell(const char *cannot, const char *interfaceId, const char *missing)
{
    m_warnings->warn(
        QStringLiteral("the chart plug-in cannot %1 (%2): the page shows no %3")
            .arg(QLatin1String(cannot), QLatin1String(interfaceId), QLatin1String(missing)));
}

void HtmlReport::takeColumn(const QStringList &rows)
{
    const int k = m_column;
    const QString label = m_file.label(k);
    const QString unit = m_file.unit(k);
    HtmlPage::Column column;
    column.heading
        = unit.trimmed().isEmpty() ? label : QStringLiteral("%1 [%2]").arg(label, unit.trimmed());
    column.table = rows;
    column.legendTitle
        = ColumnTexts::legendTitle(label, unit).replace(QLatin1Char('\n'), QLatin1Char(' '));
    column.legendLines = ColumnTexts::legendText(m_file.stationText(k), m_range.earliestTime,
        m_range.latestTime, m_counts.allCount, m_counts.goodCount, m_counts.goodShare)
                             .split(QLatin1Char('\n'));
    // The segments of the drawing just made, before anything else is drawn.
    column.shapes = shapes(m_chart, m_counts.allCount, &column.legendClasses);
    const HtmlPage::Panel rose = painted(m_chart);
    column.svg = rose.svg;
    column.size = rose.size;
    m_open = column;
}

void HtmlReport::takeGroups(const QList<Group> &groups)
{
    if (!m_open)
        return;
    QList<SheetLayout::Scale> scales;
    for (const Group &group : groups) {
        // Drawn at its own scale first, to learn it.
        SheetImage::drawn({ group.chart, group.instance, group.title }, m_panelHeight, false);
        SheetLayout::Scale scale;
        auto *told = qobject_cast<RoseScaleInterface *>(group.instance);
        if (told && told->getScale(&scale.maximum, &scale.rings))
            scales.append(scale);
    }
    const SheetLayout::Scale common = SheetLayout::commonScale(scales, m_fixedScale);
    for (const Group &group : groups) {
        if (common.rings > 0)
            group.chart->setFixedScale(common.maximum, common.rings);
        HtmlPage::Panel panel = painted(group.instance);
        panel.title = group.title;
        panel.shapes = shapes(group.instance, group.allCount);
        m_open->panels.append(panel);
    }
}

QList<HtmlPage::Shape> HtmlReport::shapes(QObject *chart, quint64 allCount, QStringList *classes)
{
    const int precision = ColumnTexts::legendPrecision(m_counts.maxDecimals);
    auto *segments = qobject_cast<RoseSegmentsInterface *>(chart);
    auto *tally = qobject_cast<RoseTallyInterface *>(chart);
    RoseTallyInterface::Tally counted;
    QList<RoseSegmentsInterface::Segment> painted;
    if (!segments || !tally || !segments->getSegments(&painted) || !tally->getTally(&counted)) {
        tell("tell where it painted its segments", RoseSegmentsInterface_iid,
            "numbers over the roses' segments");
        return {};
    }
    if (classes)
        *classes = PageColumn::classTexts(counted.classes, precision);
    return PageColumn::shapes(painted, counted, m_file.unit(m_column), allCount, precision);
}

HtmlPage::Panel HtmlReport::painted(QObject *chart)
{
    HtmlPage::Panel panel;
    auto *painter = qobject_cast<RosePainterInterface *>(chart);
    if (!painter) {
        tell("paint onto other painters", RosePainterInterface_iid, "roses");
        return panel;
    }
    panel.size = painter->paintSize(QSize());
    panel.svg
        = VectorDrawing::svg(panel.size, [painter](QPainter *p) { painter->paint(p, QSize()); });
    return panel;
}

void HtmlReport::close()
{
    if (!m_open)
        return;
    auto made = std::make_shared<std::packaged_task<QByteArray()>>(
        [column = std::move(*m_open), k = int(m_sections.size())] {
            return HtmlPage::section(column, k);
        });
    m_open.reset();
    m_sections.append(made->get_future().share());
    m_pool.start([made] { (*made)(); });
}

std::function<QByteArray()> HtmlReport::page(const QStringList &optionWarnings)
{
    close();
    return [header = m_header, warnings = optionWarnings + m_warnings->texts(),
               sections = m_sections] {
        QList<QByteArray> made;
        for (const std::shared_future<QByteArray> &section : sections)
            made.append(section.get());
        return HtmlPage::assembled(header, warnings, made);
    };
}
