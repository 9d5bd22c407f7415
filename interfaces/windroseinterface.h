#ifndef WINDROSEINTERFACE_H
#define WINDROSEINTERFACE_H

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QtPlugin>

// A rose chart: measurements of a value and a direction are sorted into direction sectors
// and value classes and painted as stacked segments. Every operation returns true when done.
// The operations are declared in a fixed order: hosts and plug-ins built elsewhere rely on it.
class WindRoseInterface
{
public:
    // Destroys the chart.
    virtual ~WindRoseInterface() = default;

    // Adds the class (lowLimitValue, lowLimitValue + interval_size] with a solid brush.
    virtual bool addInterval(double lowLimitValue, double interval_size, QColor color) = 0;
    // Adds the class (min, max] with its brush, bar width, offset and length factor.
    virtual bool addIntervalRange(
        double min, double max, QBrush brush, double width, double offset, double length)
        = 0;
    // Height of the rose image in pixels.
    virtual bool setImageHeight(int height) = 0;
    // Number of direction sectors; the sectors are rebuilt (and counts dropped) on the next
    // measurement.
    virtual bool setDirectionsCount(int directionsCount) = 0;
    // Chart font.
    virtual bool setFont(const QFont &font) = 0;
    // Caption texts: they head the table and are read by the legend.
    virtual bool setStationText(QString stationText) = 0;
    virtual bool setParameterText(QString parameterText) = 0;
    virtual bool setIntervalText(QString intervalText) = 0;
    virtual bool setStatisticsText(QString statisticsText) = 0;
    // Corner text of the table's header row.
    virtual bool setSpeedDirectionText(QString speedDirectionText) = 0;
    virtual bool setUnitText(QString unitText) = 0;
    virtual bool setLegendTitle(const QString &title) = 0;
    // Counts one measurement into its sector and class; values outside every class and
    // non-finite values are not counted. Always true.
    virtual bool addMeasurement(double windSpeed, double windDirection) = 0;
    // Paints the chart. A null image gets the chart's size; otherwise the chart paints over
    // the caller's picture. False (and nothing painted) without sectors to draw.
    virtual bool drawImage(QImage &image) = 0;
    // Replaces *data with the table: four caption lines, then tab-separated rows. False for a
    // null pointer.
    virtual bool getTableData(QStringList *data) = 0;
    // Forgets all counts and sectors.
    virtual bool clearMeasurements() = 0;
    // Decimals of the class limits in the legend and the table.
    virtual bool setLegendPrecision(int precision) = 0;
    virtual bool setDataDrawSizeFactor(double factor) = 0;
    // Fixed scale of max_percent in segments rings; segments <= 0 selects the automatic scale.
    virtual bool setFixedScale(double max_percent, int segments) = 0;
    // Free legend text; warning paints it on a light red box.
    virtual bool setLegendText(const QString &text, bool warning) = 0;
    virtual bool setFixedLegendWidth(int width) = 0;
    // Count that all percentages are taken relative to (overwrites the counted total).
    virtual bool setAllDataCount(int allDataCount) = 0;
    virtual bool setEnableBackground(bool enable) = 0;
    virtual bool setEnableLegend(bool enable) = 0;
    virtual bool setEnableGrid(bool enable) = 0;
};

#define WindRoseInterface_iid "orvela.windRose/2.10"
Q_DECLARE_INTERFACE(WindRoseInterface, WindRoseInterface_iid)

#endif // WINDROSEINTERFACE_H
