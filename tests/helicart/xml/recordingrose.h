#ifndef RECORDINGROSE_H
#define RECORDINGROSE_H

#include "solarroseinterface.h"

#include <QBrush>
#include <QColor>
#include <QList>

// A rose that only records the classes it is given, and counts every other call (the reader
// must make none).
class RecordingRose : public SolarRoseInterface
{
public:
    struct Range
    {
        double min;
        double max;
        QBrush brush;
        double width;
        double offset;
        double length;
    };
    struct Interval
    {
        double lowLimit;
        double size;
        QColor color;
    };

    QList<Range> ranges;
    QList<Interval> intervals;
    int otherCalls = 0;

    bool addInterval(double lowLimitValue, double interval_size, QColor color) override
    {
        intervals.append({ lowLimitValue, interval_size, color });
        return true;
    }
    bool addIntervalRange(
        double min, double max, QBrush brush, double width, double offset, double length) override
    {
        ranges.append({ min, max, brush, width, offset, length });
        return true;
    }
    bool addSolarMeasurement(const QTime &, double) override { return other(); }
    bool setIntervals(double, double, int, bool) override { return other(); }
    bool setImageHeight(int) override { return other(); }
    bool setDirectionsCount(int) override { return other(); }
    bool setFont(const QFont &) override { return other(); }
    bool setStationText(QString) override { return other(); }
    bool setParameterText(QString) override { return other(); }
    bool setIntervalText(QString) override { return other(); }
    bool setStatisticsText(QString) override { return other(); }
    bool setSpeedDirectionText(QString) override { return other(); }
    bool setUnitText(QString) override { return other(); }
    bool setLegendTitle(const QString &) override { return other(); }
    bool addMeasurement(double, double) override { return other(); }
    bool drawImage(QImage &) override { return other(); }
    bool getTableData(QStringList *) override { return other(); }
    bool clearMeasurements() override { return other(); }
    bool setLegendPrecision(int) override { return other(); }
    bool setDataDrawSizeFactor(double) override { return other(); }
    bool setFixedScale(double, int) override { return other(); }
    bool setLegendText(const QString &, bool) override { return other(); }
    bool setFixedLegendWidth(int) override { return other(); }
    bool setAllDataCount(int) override { return other(); }
    bool setEnableBackground(bool) override { return other(); }
    bool setEnableLegend(bool) override { return other(); }
    bool setEnableGrid(bool) override { return other(); }

private:
    bool other()
    {
        ++otherCalls;
        return true;
    }
};

#endif // RECORDINGROSE_H
