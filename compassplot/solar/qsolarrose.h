#ifndef QSOLARROSE_H
#define QSOLARROSE_H

#include "qwindrose.h"
#include "rosemakerinterface.h"
#include "solarroseinterface.h"

#include <QMap>
#include <QSize>
#include <QTime>

#include <vector>

class SolarRoseLight3D;

// The chart the plug-in hands out: a wind rose whose sectors are the hours of the day and
// whose classes are bands of a measured quantity (by default global solar radiation in W/m2),
// drawn on a day dial that is light at noon (top) and dark at midnight (bottom).
class QSolarRose : public QWindRose, public SolarRoseInterface, public RoseMakerInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID SolarRoseInterface_iid)
    Q_INTERFACES(SolarRoseInterface RoseMakerInterface)
    Q_DISABLE_COPY(QSolarRose)
public:
    QSolarRose();
    ~QSolarRose() override;

    // The interface, in the order of the meta-object's invokable methods. Every operation
    // of the wind rose is reachable through both interface paths.
    Q_INVOKABLE bool addSolarMeasurement(const QTime &time, double value) override;
    // The second argument is the class's width, whatever its registered name says.
    Q_INVOKABLE bool addInterval(
        double lowLimitValue, double highLimitValue, QColor color) override;
    Q_INVOKABLE bool addIntervalRange(double min, double max, QBrush brush, double width = 1.0,
        double offset = -1.0, double length = 1.0) override;
    Q_INVOKABLE bool setImageHeight(int height) override;
    Q_INVOKABLE bool setDirectionsCount(int directionsCount) override;
    Q_INVOKABLE bool setFont(const QFont &font) override;
    Q_INVOKABLE bool setStationText(QString stationText) override;
    Q_INVOKABLE bool setParameterText(QString parameterText) override;
    Q_INVOKABLE bool setIntervalText(QString intervalText) override;
    Q_INVOKABLE bool setStatisticsText(QString statisticsText) override;
    Q_INVOKABLE bool setSpeedDirectionText(QString speedDirectionText) override;
    Q_INVOKABLE bool setUnitText(QString unitText) override;
    Q_INVOKABLE bool addMeasurement(double windSpeed, double windDirection) override;
    Q_INVOKABLE bool drawImage(QImage &image) override;
    Q_INVOKABLE bool getTableData(QStringList *data) override;
    Q_INVOKABLE bool setIntervals(double min, double max, int segments_count, bool limits) override;
    Q_INVOKABLE bool setLegendPrecision(int precision) override;
    Q_INVOKABLE bool setLegendTitle(const QString &title) override;
    Q_INVOKABLE bool clearMeasurements() override;
    Q_INVOKABLE bool setDataDrawSizeFactor(double factor) override;
    Q_INVOKABLE bool setFixedScale(double max_percent, int segments) override;
    Q_INVOKABLE bool setLegendText(const QString &text, bool warning) override;
    Q_INVOKABLE bool setFixedLegendWidth(int width) override;
    Q_INVOKABLE bool setAllDataCount(int allDataCount) override;
    Q_INVOKABLE bool setEnableBackground(bool enable) override;
    Q_INVOKABLE bool setEnableLegend(bool enable) override;
    Q_INVOKABLE bool setEnableGrid(bool enable) override;

    // A new solar rose beside this one (RoseMakerInterface).
    QObject *makeChart() override;

    // Painting onto any painter, with the day dial's settings as drawImage has them.
    QSize paintSize(const QSize &canvas) override;
    bool paint(QPainter *painter, const QSize &canvas) override;
    using QWindRose::paint;

    // The wind rose's operations that the day dial answers differently.
    void setDefaultIntervals() override;
    QString sectorLabel(const Interval &sector, int index) const override;
    // The times of day the sector collects, from its start up to (not including) its end.
    RoseTallyInterface::Sector sectorSpan(const Interval &sector, int index) const override;
    double diameterAt(int height) const override;
    SegmentThickness segmentThickness() const override;
    double outerRingSize() const override;
    void buildSectors(double fullCircle) override;
    void drawBackground(QPainter *painter, const RoseFrame &frame) override;
    using QWindRose::drawBackground;

    // The angle (degrees) of a valid time of day: 00:00 is 180, 12:00 is 360.
    double timeToAngle(const QTime &time) const;
    // The same for the whole second of the day (0 to 86399) that such a time falls in.
    double secondToAngle(int second) const;
    // The box reserved for one hour label.
    QSize labelBoxSize() const;
    // Hour labels replaced by other texts (by label index); 21 and 22 blank with the grid on.
    QMap<int, QString> hourLabelOverrides() const { return m_hourLabelOverrides; }

private:
    // The grid pen, the sectors and the legend's settings every drawing starts from.
    void beginSolarDrawing();
    // The hour labels, r from the centre of base, every sixth bold.
    void paintHourLabels(
        QPainter *painter, const QTransform &base, int r, const QFont &boldFont) const;

    // The sector count and the quotients that turn a time into an angle, kept with the
    // settings they are read from: the same divisions, made once rather than per measurement;
    // revision tells countAtSecond when the sectors it remembers no longer hold.
    struct SectorSteps
    {
        bool made = false;
        double countSetting = 0.0;
        int circleSetting = 0;
        int count = 0;
        double secondsPerSector = 0.0; // seconds of the day per sector
        double width = 0.0; // degrees per sector
        quint64 revision = 0; // counts the times the quotients were made
    };
    const SectorSteps &sectorSteps() const;

    // Counts a measurement of a valid time as addMeasurement(value, timeToAngle(time)) does.
    // The sector of each whole second of the day is looked up once (the first measurement of
    // that second pays for it) and remembered while the sectors and the sector steps stay.
    void countAtSecond(int second, double value);
    struct SecondSectors
    {
        quint64 generation = 0; // of the sectors (see RoseCounts::generation)
        quint64 stepsRevision = 0;
        std::vector<qint32> sector; // per second: unknown, none or the sector's index
    };
    static constexpr qint32 unknownSector = -2;
    static constexpr qint32 noSector = -1;

    QMap<int, QString> m_hourLabelOverrides;
    mutable SectorSteps m_sectorSteps;
    SecondSectors m_secondSectors;
};

#endif // QSOLARROSE_H
