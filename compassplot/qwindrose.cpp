#include "qwindrose.h"

#include "numeric.h"
#include "pluginsearch.h"
#include "rosedrawing.h"
#include "rosepainter.h"
#include "rosetable.h"
#include "scaleadjustment.h"
#include "windrose3d.h"
#include "windroselegend.h"

#include <QFontMetrics>
#include <QPainter>
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
    QPaintable::setFont(QFont(QStringLiteral("verdana"), 23, QFont::Bold));
    // The drawing hands the legend its rose when it paints.
    m_legend = std::make_unique<WindroseLegend>(nullptr, 100);
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
    return QPaintable::setFont(font);
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

// ---------------------------------------------------------------------------------------
// Drawing: everything is measured first, then painted

bool QWindRose::drawImage(QImage &image)
{
    if (!(m_settings.directionsCount > 0))
        return false;
    beginDrawing();
    // The chart paints over the caller's picture, in a format a painter accepts.
    setImage(image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32));
    render(0);
    image = this->image();
    return true;
}

void QWindRose::beginDrawing()
{
    m_legend->setRose(this);
    m_legend->setHeight(m_settings.imageHeight);
    m_textLines = { m_texts.stationText, m_texts.parameterText, m_texts.intervalText,
        m_texts.statisticsText };
}

char QWindRose::render(int unused)
{
    Q_UNUSED(unused);
    if (m_intervals.isEmpty())
        setDefaultIntervals();
    const int height = m_settings.imageHeight;
    if (image().isNull())
        setImage(RosePainter::blankImage(height, height, RosePainter::transparent));
    setBackground(QBrush(QColor(QStringLiteral("WHITE")), Qt::SolidPattern));
    // An empty size (or a failed allocation) leaves nothing to paint on.
    if (image().isNull())
        return 1;

    RoseDrawing(*this).renderImage();
    return 1;
}

// ---------------------------------------------------------------------------------------
// Painting onto any painter (see RoseDrawing)

QSize QWindRose::paintSize(const QSize &canvas)
{
    if (!(m_settings.directionsCount > 0))
        return QSize();
    beginDrawing();
    if (m_intervals.isEmpty())
        setDefaultIntervals();
    return RoseDrawing(*this).size(canvas);
}

bool QWindRose::paint(QPainter *painter, const QSize &canvas)
{
    return !paintSize(canvas).isEmpty() && RoseDrawing(*this).paint(painter, canvas);
}

int QWindRose::drawingHeight() const
{
    if (m_paintArea.isValid())
        return m_paintArea.height();
    // Before the first drawing the rose will get the chart's image height.
    const QSize size = imageSize();
    return size.isEmpty() ? m_settings.imageHeight : size.height();
}

QSize QWindRose::paintArea(const QPainter *painter) const
{
    if (m_paintArea.isValid())
        return m_paintArea;
    const QPaintDevice *device = painter->device();
    return QSize(device->width(), device->height());
}

double QWindRose::roseDiameter() const
{
    return diameterAt(drawingHeight());
}

double QWindRose::diameterAt(int height) const
{
    return height - 4.0 * QFontMetrics(font()).height();
}

double QWindRose::ringRadius(int classIndex) const
{
    return segmentThickness().at(roseDiameter(), m_frame.scale.ringCount, classIndex);
}

SegmentThickness QWindRose::segmentThickness() const
{
    // As RoseLayout::ringRadius: none without classes.
    const int classCount = m_intervals.size();
    return { 0.12, classCount < 1 ? 0.0 : 0.425 / classCount, m_settings.dataDrawSizeFactor };
}

FrameInput QWindRose::frameInput(int gridHeight, int dataHeight) const
{
    FrameInput input(m_counts, m_settings);
    input.scale = m_scale;
    input.font = font();
    input.gridDiameter = diameterAt(gridHeight);
    input.dataDiameter = diameterAt(dataHeight);
    input.classCount = m_intervals.size();
    input.thickness = segmentThickness();
    input.hasStyle = m_style != nullptr;
    for (auto sector = spokes().cbegin(); sector != spokes().cend(); ++sector) {
        QVector<Spoke> styles;
        for (auto it = sector.value().cbegin(); it != sector.value().cend(); ++it)
            styles.append(classStyle(it.key(), it.value()));
        input.styles.append(styles);
    }
    return input;
}

double QWindRose::outerRingSize() const
{
    if (spokes().isEmpty())
        return 0.0;
    return ringRadius(spokes().first().size() - 1);
}

void QWindRose::drawBackground(QPainter *painter)
{
    if (m_settings.enableBackground)
        RosePainter::paintCompass(painter, paintArea(painter), font(), roseDiameter());
}

void QWindRose::drawGrid(QPainter *painter)
{
    RosePainter::paintGrid(painter, paintArea(painter), m_frame,
        { font(), m_settings.gridPen, m_settings.enableBackground, m_settings.enableGrid,
            m_settings.labelAngle });
}

void QWindRose::drawData(QPainter *painter)
{
    if (m_style)
        RosePainter::paintData(painter, paintArea(painter), m_frame, *m_style, m_settings.rotation);
}
