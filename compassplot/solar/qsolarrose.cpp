#include "qsolarrose.h"

#include "solarroselight3d.h"

#include <QPainter>

QSolarRose::QSolarRose()
{
    // TODO(solar): construction defaults.
}

QSolarRose::~QSolarRose() = default;

// ---------------------------------------------------------------------------------------
// The wind rose's operations, reachable through both interface paths

bool QSolarRose::addInterval(double lowLimitValue, double interval_size, QColor color)
{
    return QWindRose::addInterval(lowLimitValue, interval_size, color);
}

bool QSolarRose::addIntervalRange(
    double min, double max, QBrush brush, double width, double offset, double length)
{
    return QWindRose::addIntervalRange(min, max, brush, width, offset, length);
}

bool QSolarRose::setImageHeight(int height)
{
    return QWindRose::setImageHeight(height);
}

bool QSolarRose::setFont(const QFont &font)
{
    return QWindRose::setFont(font);
}

bool QSolarRose::setStationText(QString stationText)
{
    return QWindRose::setStationText(stationText);
}

bool QSolarRose::setParameterText(QString parameterText)
{
    return QWindRose::setParameterText(parameterText);
}

bool QSolarRose::setIntervalText(QString intervalText)
{
    return QWindRose::setIntervalText(intervalText);
}

bool QSolarRose::setStatisticsText(QString statisticsText)
{
    return QWindRose::setStatisticsText(statisticsText);
}

bool QSolarRose::setSpeedDirectionText(QString speedDirectionText)
{
    return QWindRose::setSpeedDirectionText(speedDirectionText);
}

bool QSolarRose::setUnitText(QString unitText)
{
    return QWindRose::setUnitText(unitText);
}

bool QSolarRose::addMeasurement(double windSpeed, double windDirection)
{
    return QWindRose::addMeasurement(windSpeed, windDirection);
}

bool QSolarRose::getTableData(QStringList *data)
{
    return QWindRose::getTableData(data);
}

bool QSolarRose::setLegendPrecision(int precision)
{
    return QWindRose::setLegendPrecision(precision);
}

bool QSolarRose::setLegendTitle(const QString &title)
{
    return QWindRose::setLegendTitle(title);
}

bool QSolarRose::clearMeasurements()
{
    return QWindRose::clearMeasurements();
}

bool QSolarRose::setDataDrawSizeFactor(double factor)
{
    return QWindRose::setDataDrawSizeFactor(factor);
}

bool QSolarRose::setFixedScale(double max_percent, int segments)
{
    return QWindRose::setFixedScale(max_percent, segments);
}

bool QSolarRose::setLegendText(const QString &text, bool warning)
{
    return QWindRose::setLegendText(text, warning);
}

bool QSolarRose::setFixedLegendWidth(int width)
{
    return QWindRose::setFixedLegendWidth(width);
}

bool QSolarRose::setAllDataCount(int allDataCount)
{
    return QWindRose::setAllDataCount(allDataCount);
}

bool QSolarRose::setEnableBackground(bool enable)
{
    return QWindRose::setEnableBackground(enable);
}

bool QSolarRose::setEnableLegend(bool enable)
{
    return QWindRose::setEnableLegend(enable);
}

// ---------------------------------------------------------------------------------------
// Solar operations

bool QSolarRose::addSolarMeasurement(const QTime &time, double value)
{
    // TODO(solar)
    Q_UNUSED(time);
    Q_UNUSED(value);
    return true;
}

bool QSolarRose::setIntervals(double min, double max, int segments_count, bool limits)
{
    // TODO(solar)
    Q_UNUSED(min);
    Q_UNUSED(max);
    Q_UNUSED(segments_count);
    Q_UNUSED(limits);
    return false;
}

bool QSolarRose::setDirectionsCount(int directionsCount)
{
    // TODO(solar)
    return QWindRose::setDirectionsCount(directionsCount);
}

bool QSolarRose::drawImage(QImage &image)
{
    // TODO(solar)
    return QWindRose::drawImage(image);
}

bool QSolarRose::setEnableGrid(bool enable)
{
    // TODO(solar)
    return QWindRose::setEnableGrid(enable);
}

void QSolarRose::setDefaultIntervals()
{
    // TODO(solar)
}

QString QSolarRose::sectorLabel(const Interval &sector, int index) const
{
    // TODO(solar)
    Q_UNUSED(sector);
    Q_UNUSED(index);
    return QString();
}

double QSolarRose::roseDiameter() const
{
    // TODO(solar)
    return 0.0;
}

double QSolarRose::ringRadius(int classIndex) const
{
    // TODO(solar)
    Q_UNUSED(classIndex);
    return 0.0;
}

double QSolarRose::outerRingSize() const
{
    // TODO(solar)
    return 0.0;
}

void QSolarRose::buildSectors(double fullCircle)
{
    // TODO(solar)
    Q_UNUSED(fullCircle);
}

void QSolarRose::drawBackground(QPainter *painter)
{
    // TODO(solar)
    Q_UNUSED(painter);
}

double QSolarRose::timeToAngle(const QTime &time) const
{
    // TODO(solar)
    Q_UNUSED(time);
    return 0.0;
}

QSize QSolarRose::labelBoxSize() const
{
    // TODO(solar)
    return QSize();
}
