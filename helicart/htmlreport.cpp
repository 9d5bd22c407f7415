#include "htmlreport.h"

#include "columntexts.h"
#include "options.h"
#include "pagecolumn.h"
#include "rosepainterinterface.h"
#include "rosesegmentsinterface.h"
#include "rosetallyinterface.h"
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
}

void HtmlReport::begin(QObject *chart, int k)
{
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
    const int precision = ColumnTexts::legendPrecision(m_counts.maxDecimals);
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
    auto *segments = qobject_cast<RoseSegmentsInterface *>(m_chart);
    auto *tally = qobject_cast<RoseTallyInterface *>(m_chart);
    RoseTallyInterface::Tally counted;
    QList<RoseSegmentsInterface::Segment> painted;
    if (segments && tally && segments->getSegments(&painted) && tally->getTally(&counted)) {
        column.shapes = PageColumn::shapes(painted, counted, unit, m_counts.allCount, precision);
        column.legendClasses = PageColumn::classTexts(counted.classes, precision);
    } else {
        tell("tell where it painted its segments", RoseSegmentsInterface_iid,
            "numbers over the roses' segments");
    }
    if (auto *painter = qobject_cast<RosePainterInterface *>(m_chart)) {
        column.size = painter->paintSize(QSize());
        column.svg = VectorDrawing::svg(
            column.size, [painter](QPainter *p) { painter->paint(p, QSize()); });
    } else {
        tell("paint onto other painters", RosePainterInterface_iid, "roses");
    }
    m_columns.append(column);
}

std::function<QByteArray()> HtmlReport::page(const QStringList &optionWarnings) const
{
    return [header = m_header, warnings = optionWarnings + m_warnings->texts(),
               columns = m_columns] { return HtmlPage::text(header, warnings, columns); };
}
