#include "qwindrose.h"

#include "scaleadjustment.h"
#include "windrose3d.h"
#include "windroselegend.h"

#include <QPainter>

// ---------------------------------------------------------------------------------------
// Construction and settings

QWindRose::QWindRose()
{
    // TODO(counting): members, font, legend, scale binding.
}

QWindRose::~QWindRose()
{
    // TODO(counting): style, counts, legend.
}

bool QWindRose::addInterval(double lowLimitValue, double interval_size, QColor color)
{
    // TODO(counting)
    Q_UNUSED(lowLimitValue);
    Q_UNUSED(interval_size);
    Q_UNUSED(color);
    return true;
}

bool QWindRose::addIntervalRange(
    double min, double max, QBrush brush, double width, double offset, double length)
{
    // TODO(counting)
    Q_UNUSED(min);
    Q_UNUSED(max);
    Q_UNUSED(brush);
    Q_UNUSED(width);
    Q_UNUSED(offset);
    Q_UNUSED(length);
    return true;
}

bool QWindRose::setImageHeight(int height)
{
    m_imageHeight = height;
    return true;
}

bool QWindRose::setDirectionsCount(int directionsCount)
{
    m_directionsCount = directionsCount;
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
    m_unitText = unitText;
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
    m_legendPrecision = precision;
    return true;
}

bool QWindRose::setDataDrawSizeFactor(double factor)
{
    m_dataDrawSizeFactor = factor;
    return true;
}

bool QWindRose::setFixedScale(double max_percent, int segments)
{
    m_fixedScaleMaximum = segments > 0 ? max_percent : -1.0;
    m_fixedScaleSegments = segments;
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
    m_countedTotal = allDataCount;
    return true;
}

bool QWindRose::setEnableBackground(bool enable)
{
    m_enableBackground = enable;
    return true;
}

bool QWindRose::setEnableLegend(bool enable)
{
    m_enableLegend = enable;
    return true;
}

bool QWindRose::setEnableGrid(bool enable)
{
    m_enableGrid = enable;
    return true;
}

int QWindRose::directionsCount() const
{
    return static_cast<int>(m_directionsCount);
}

void QWindRose::setFullCircle(double fullCircle)
{
    m_fullCircle = static_cast<int>(fullCircle);
}

void QWindRose::setGridPen(const QPen &pen)
{
    m_gridPen = pen;
}

void QWindRose::setLabelAngle(double angle)
{
    m_labelAngle = angle;
}

int QWindRose::legendPrecision() const
{
    return m_legendPrecision;
}

double QWindRose::fullCircle() const
{
    return m_fullCircle;
}

void QWindRose::setStyle(WindroseStyle *style)
{
    if (style == m_style)
        return;
    delete m_style;
    m_style = style;
}

// ---------------------------------------------------------------------------------------
// Counting

bool QWindRose::addMeasurement(double windSpeed, double windDirection)
{
    // TODO(counting)
    Q_UNUSED(windSpeed);
    Q_UNUSED(windDirection);
    return true;
}

bool QWindRose::clearMeasurements()
{
    // TODO(counting)
    return true;
}

void QWindRose::freeCounts()
{
    // TODO(counting)
}

void QWindRose::setDefaultIntervals()
{
    // TODO(counting)
}

void QWindRose::buildSectors(double fullCircle)
{
    // TODO(counting)
    Q_UNUSED(fullCircle);
}

Spoke QWindRose::classStyle(Interval key, ClassCount *count) const
{
    // TODO(counting)
    Q_UNUSED(key);
    Q_UNUSED(count);
    return Spoke();
}

bool QWindRose::addDataLine(const QStringList &fields, bool header)
{
    // TODO(counting)
    Q_UNUSED(fields);
    Q_UNUSED(header);
    return false;
}

double QWindRose::percent(int count) const
{
    // TODO(counting)
    Q_UNUSED(count);
    return 0.0;
}

double QWindRose::sectorTotal(int k) const
{
    // TODO(counting)
    Q_UNUSED(k);
    return 0.0;
}

double QWindRose::maxSectorTotal() const
{
    // TODO(counting)
    return 0.0;
}

double QWindRose::classTotal(int i) const
{
    // TODO(counting)
    Q_UNUSED(i);
    return 0.0;
}

// ---------------------------------------------------------------------------------------
// Table data

bool QWindRose::getTableData(QStringList *data)
{
    // TODO(counting)
    return data != nullptr;
}

QString QWindRose::sectorLabel(const Interval &sector, int index) const
{
    // TODO(counting)
    Q_UNUSED(sector);
    Q_UNUSED(index);
    return QString();
}

QString QWindRose::intervalLabel(const Interval &interval) const
{
    // TODO(counting)
    Q_UNUSED(interval);
    return QString();
}

// ---------------------------------------------------------------------------------------
// Scale plug-in binding

void QWindRose::bindScale()
{
    // TODO(counting)
}

// ---------------------------------------------------------------------------------------
// Layout and painting

bool QWindRose::drawImage(QImage &image)
{
    // TODO(painting)
    Q_UNUSED(image);
    return false;
}

char QWindRose::render(int unused)
{
    // TODO(painting)
    Q_UNUSED(unused);
    return 1;
}

double QWindRose::roseDiameter() const
{
    // TODO(painting)
    return 0.0;
}

double QWindRose::ringRadius(int classIndex) const
{
    // TODO(painting)
    Q_UNUSED(classIndex);
    return 0.0;
}

double QWindRose::outerRingSize() const
{
    // TODO(painting)
    return 0.0;
}

void QWindRose::drawBackground(QPainter *painter)
{
    // TODO(painting)
    Q_UNUSED(painter);
}

void QWindRose::drawGrid(QPainter *painter)
{
    // TODO(painting)
    Q_UNUSED(painter);
}

void QWindRose::drawData(QPainter *painter)
{
    // TODO(painting)
    Q_UNUSED(painter);
}
