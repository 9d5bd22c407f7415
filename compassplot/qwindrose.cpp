#include "qwindrose.h"

#include "numeric.h"
#include "pluginsearch.h"
#include "rosetable.h"
#include "scaleadjustment.h"
#include "windrose3d.h"
#include "windroselegend.h"

#include <QPluginLoader>

#include <cmath>
#include <iostream>

namespace {

// The scale plug-in's file; the search also tries names that start with it.
const QString scalePluginFile = QStringLiteral("tickfit.so");

} // namespace

// ---------------------------------------------------------------------------------------
// Construction and settings

QWindRose::QWindRose()
{
    m_texts.speedDirectionText
        = QStringLiteral("Smer[") + QChar(0x00B0) + QStringLiteral("] \\ Hitrost[m/s]");
    m_texts.firstTime = QDateTime(QDate(2200, 1, 1), QTime(0, 0, 0));
    m_texts.lastTime = QDateTime(QDate(1970, 1, 1), QTime(0, 0, 0));
    m_style = std::make_unique<Windrose3D>();
    m_ownFont = QFont(QStringLiteral("verdana"), 23, QFont::Bold);
    QPaintable::setFont(m_ownFont);
    // Each drawing hands the legend what it shows of the chart.
    m_legend = std::make_unique<WindroseLegend>(100);
    bindScale();
}

QWindRose::~QWindRose()
{
    // The style goes first, then the counts, then the legend.
    m_style.reset();
    m_counts.clearSectors();
    m_legend.reset();
}

bool QWindRose::addInterval(double lowLimitValue, double interval_size, QColor color)
{
    const Interval key(lowLimitValue, interval_size);
    m_intervals.append(key);
    m_classStyles.insert(key, Spoke(QBrush(color, Qt::SolidPattern), 1.0, -1.0, 1.0));
    m_rebuildNeeded = true;
    return true;
}

bool QWindRose::addIntervalRange(
    double min, double max, QBrush brush, double width, double offset, double length)
{
    const Interval key = Interval::fromLimits(min, max);
    m_intervals.append(key);
    m_classStyles.insert(key, Spoke(brush, width, offset, length));
    m_rebuildNeeded = true;
    return true;
}

bool QWindRose::setImageHeight(int height)
{
    m_settings.imageHeight = height;
    return true;
}

bool QWindRose::setDirectionsCount(int directionsCount)
{
    m_settings.directionsCount = directionsCount;
    m_rebuildNeeded = true;
    return true;
}

bool QWindRose::setFont(const QFont &font)
{
    m_ownFont = font;
    return QPaintable::setFont(RoseLayout::scaledText(font, m_settings.textScale));
}

bool QWindRose::setTextScale(double factor)
{
    if (!(factor > 0) || !std::isfinite(factor))
        return false;
    m_settings.textScale = factor;
    QPaintable::setFont(RoseLayout::scaledText(m_ownFont, factor));
    return true;
}

bool QWindRose::setStationText(QString stationText)
{
    m_texts.stationText = stationText;
    return true;
}

bool QWindRose::setParameterText(QString parameterText)
{
    m_texts.parameterText = parameterText;
    return true;
}

bool QWindRose::setUnitText(QString unitText)
{
    m_texts.unitText = unitText;
    return true;
}

bool QWindRose::setIntervalText(QString intervalText)
{
    m_texts.intervalText = intervalText;
    return true;
}

bool QWindRose::setStatisticsText(QString statisticsText)
{
    m_texts.statisticsText = statisticsText;
    return true;
}

bool QWindRose::setSpeedDirectionText(QString speedDirectionText)
{
    m_texts.speedDirectionText = speedDirectionText;
    return true;
}

bool QWindRose::setLegendTitle(const QString &title)
{
    m_texts.legendTitle = title;
    return true;
}

bool QWindRose::setLegendPrecision(int precision)
{
    m_settings.legendPrecision = precision;
    return true;
}

bool QWindRose::setDataDrawSizeFactor(double factor)
{
    m_settings.dataDrawSizeFactor = factor;
    return true;
}

bool QWindRose::setFixedScale(double max_percent, int segments)
{
    m_settings.fixedScaleMaximum = segments > 0 ? max_percent : -1.0;
    m_settings.fixedScaleSegments = segments;
    return true;
}

bool QWindRose::setLegendText(const QString &text, bool warning)
{
    m_legend->setLegendText(text, warning);
    return true;
}

bool QWindRose::setFixedLegendWidth(int width)
{
    return m_legend->setFixedWidth(width);
}

bool QWindRose::setAllDataCount(int allDataCount)
{
    m_counts.setTotal(allDataCount);
    return true;
}

bool QWindRose::setEnableBackground(bool enable)
{
    m_settings.enableBackground = enable;
    return true;
}

bool QWindRose::getScale(double *maximum, int *rings)
{
    if (!maximum || !rings || m_frame.diameter <= 0)
        return false;
    *maximum = m_frame.scale.maximum;
    *rings = m_frame.scale.ringCount;
    return true;
}

bool QWindRose::setEnableLegend(bool enable)
{
    m_settings.enableLegend = enable;
    return true;
}

bool QWindRose::setEnableGrid(bool enable)
{
    m_settings.enableGrid = enable;
    return true;
}

int QWindRose::directionsCount() const
{
    return Numeric::toInt(m_settings.directionsCount);
}

void QWindRose::setFullCircle(double fullCircle)
{
    m_settings.fullCircle = Numeric::toInt(fullCircle);
}

void QWindRose::setGridPen(const QPen &pen)
{
    m_settings.gridPen = pen;
}

void QWindRose::setLabelAngle(double angle)
{
    m_settings.labelAngle = angle;
}

int QWindRose::legendPrecision() const
{
    return m_settings.legendPrecision;
}

double QWindRose::fullCircle() const
{
    return m_settings.fullCircle;
}

void QWindRose::setStyle(std::unique_ptr<WindroseStyle> style)
{
    m_style = std::move(style);
}

void QWindRose::clearClasses()
{
    m_counts.clearSectors();
    m_intervals.clear();
    m_classStyles.clear();
}

// ---------------------------------------------------------------------------------------
// Counting

bool QWindRose::addMeasurement(double windSpeed, double windDirection)
{
    prepareCounting();
    // A value without a place on the circle or the scale is not counted; neither is one
    // outside every sector or class.
    m_counts.add(windSpeed, windDirection);
    return true;
}

void QWindRose::prepareCounting()
{
    if (m_intervals.isEmpty())
        setDefaultIntervals();
    if (m_rebuildNeeded)
        buildSectors(fullCircle());
}

bool QWindRose::clearMeasurements()
{
    m_counts.clearSectors();
    m_counts.setTotal(0);
    return true;
}

void QWindRose::setDefaultIntervals()
{
    struct DefaultClass
    {
        double min;
        double max;
        const char *colour;
    };
    static const DefaultClass defaults[] = { { -1.0, 0.3, "#0000ff" }, { 0.3, 1.0, "#0000ff" },
        { 1.0, 2.0, "#ffff00" }, { 2.0, 3.0, "#00ff00" }, { 3.0, 5.0, "#ff0000" },
        { 5.0, 10.0, "#7a7a7a" }, { 10.0, 10000.0, "#e400ff" } };
    m_intervals.clear();
    for (const DefaultClass &c : defaults) {
        addIntervalRange(c.min, c.max, QBrush(QColor(QLatin1String(c.colour)), Qt::SolidPattern),
            1.0, -1.0, 1.0);
    }
}

void QWindRose::buildSectors(double fullCircle)
{
    m_rebuildNeeded = false;
    m_counts.clearSectors();
    if (m_intervals.isEmpty()) {
        qWarning("Prvo je potrebno nastaviti razrede! funkcija -> addIntervalRange");
        return;
    }
    const double n = m_settings.directionsCount;
    const double w = fullCircle / n;
    const double h = w * 0.5;
    const RoseCounts::Geometry geometry { w, h - w, fullCircle - std::fabs(h - w) };
    m_counts.setGeometry(geometry);
    for (int k = 0; k < n; ++k) {
        const double centre = h + k * w;
        insertSector(Interval::wrapped(centre - w, w, geometry.rangeLow, geometry.rangeHigh));
    }
}

Spoke QWindRose::classStyle(Interval key, ClassCount *count) const
{
    Q_UNUSED(count);
    const auto found = m_classStyles.constFind(key);
    return found == m_classStyles.cend() ? Spoke() : found.value();
}

bool QWindRose::addDataLine(const QStringList &fields, bool header)
{
    if (header) {
        DataLine::Header texts;
        if (DataLine::header(fields, &texts)) {
            m_texts.stationText = texts.station;
            m_texts.parameterText = texts.parameter;
            m_texts.unitText = texts.unit;
        }
        return false;
    }

    const DataLine::Record record = DataLine::record(fields);
    m_lineCounts.count(record.kind);
    if (record.kind != DataLine::Measurement)
        return false;
    addMeasurement(record.value, record.direction);
    // An impossible date would otherwise sort before every valid one and become firstTime.
    if (!record.time.isValid())
        return false;
    if (record.time < m_texts.firstTime)
        m_texts.firstTime = record.time;
    else if (record.time > m_texts.lastTime)
        m_texts.lastTime = record.time;
    return true;
}

// ---------------------------------------------------------------------------------------
// Table data

bool QWindRose::getTableData(QStringList *data)
{
    if (!data)
        return false;
    const QString header
        = RoseTable::header(m_texts.speedDirectionText, m_counts, m_settings.legendPrecision);
    QStringList labels;
    int k = 0;
    for (auto sector = spokes().cbegin(); sector != spokes().cend(); ++sector, ++k)
        labels << sectorLabel(sector.key(), k);
    *data = RoseTable::lines(m_textLines, header, labels, m_counts);
    return true;
}

bool QWindRose::getTally(Tally *tally)
{
    if (!tally)
        return false;
    *tally = Tally();
    int k = 0;
    for (auto sector = spokes().cbegin(); sector != spokes().cend(); ++sector, ++k) {
        tally->sectors << sectorSpan(sector.key(), k);
        if (k == 0) {
            for (auto c = sector.value().cbegin(); c != sector.value().cend(); ++c)
                tally->classes << Class { c.key().lowLimit, c.key().highLimit };
        }
        for (const ClassCount *count : sector.value())
            tally->counts << count->count;
    }
    tally->total = m_counts.total();
    const RoseCounts::Missed &missed = m_counts.missed();
    tally->below = missed.below;
    tally->above = missed.above;
    tally->between = missed.between;
    tally->lowest = m_counts.lowestLimit();
    tally->highest = m_counts.highestLimit();
    return true;
}

int QWindRose::classOf(double value)
{
    prepareCounting();
    if (spokes().isEmpty())
        return -1;
    const SectorMap &sectors = spokes();
    const RoseCounts::Classes &classes = sectors.first();
    const auto found = classes.find(Interval(value, 0.0));
    return found == classes.cend() ? -1 : int(std::distance(classes.cbegin(), found));
}

RoseTallyInterface::Sector QWindRose::sectorSpan(const Interval &sector, int index) const
{
    return { sectorLabel(sector, index), QString::number(sector.lowLimit),
        QString::number(sector.highLimit) };
}

QString QWindRose::sectorLabel(const Interval &sector, int index) const
{
    Q_UNUSED(index);
    const int precision = m_settings.legendPrecision;
    return QString::number(sector.lowLimit, 'f', precision) + QLatin1String(" - ")
        + QString::number(sector.highLimit, 'f', precision);
}

// ---------------------------------------------------------------------------------------
// Scale plug-in binding

void QWindRose::bindScale()
{
    // The loader only lives for the binding: a loaded library stays loaded after it is gone,
    // and the root object belongs to Qt's plug-in machinery for the rest of the process.
    QPluginLoader loader;
    loader.setFileName(scalePluginFile);
    PluginSearch::Options search;
    search.traceProgramFolder = true;
    if (PluginSearch::loadPlugin(scalePluginFile, &loader, search)) {
        m_scale = qobject_cast<ScaleAdjustment *>(loader.instance());
    } else {
        std::cerr << "Unable to load scale adjustment plugin: " << qPrintable(scalePluginFile)
                  << std::endl;
        m_scale = nullptr;
    }
}
