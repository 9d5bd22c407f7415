#include "qsolarrose.h"

#include "dayshade.h"
#include "hoursectors.h"
#include "numeric.h"
#include "scaleadjustment.h"
#include "solardial.h"
#include "solarpictures.h"
#include "solarroselight3d.h"
#include "windroselegend.h"

#include <QFontMetrics>
#include <QPainter>

#include <cmath>
#include <cstring>

namespace {

// Hour labels, sector labels and the corner text of the table all write times this way.
const QString hourFormat = QStringLiteral("hh");

// The colours of the classes that setIntervals makes, by class index.
const char *const intervalColours[] = {
    "#0000ff",
    "#ffff00",
    "#00ff00",
    "#ff0000",
    "#7a7a7a",
    "#e400ff",
    "#591400",
    "#742112",
};
constexpr int intervalColourCount = sizeof(intervalColours) / sizeof(intervalColours[0]);

// More classes than colours reuse the table from its start rather than read past its end.
QColor intervalColour(int index)
{
    const int entry = ((index % intervalColourCount) + intervalColourCount) % intervalColourCount;
    return QColor(intervalColours[entry]);
}

// The limits of the open classes below and above the generated ones.
constexpr double openLimit = Numeric::openClassLimit;

} // namespace

QSolarRose::QSolarRose()
{
    // Each default goes through its own operation so that the solar rules apply to it.
    setImageHeight(520);
    setDirectionsCount(24);
    setDataDrawSizeFactor(1.0);
    setSpeedDirectionTextMember(
        QStringLiteral("Ura[") + hourFormat + QStringLiteral("] \\ Sončno sevanje[W/m2]"));
    setStyle(std::make_unique<SolarRoseLight3D>(QPoint(0, 0), 1.0));
    setLegendPrecision(1);
    setFixedScale(-1.0, -1);
    setFullCircle(360);
    setLabelAngle(55.0);
    setRebuildNeeded(true);
    setLegendTitle(QStringLiteral("Globalno\nsončno sevanje\n[W/m2]"));
    setUnitText(QStringLiteral("W/m2"));
    QFont chartFont = font();
    chartFont.setPointSize(26);
    setFont(chartFont);
}

QSolarRose::~QSolarRose() = default;

// ---------------------------------------------------------------------------------------
// The wind rose's operations, reachable through both interface paths

bool QSolarRose::addInterval(double lowLimitValue, double highLimitValue, QColor color)
{
    return QWindRose::addInterval(lowLimitValue, highLimitValue, color);
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
    // The hour sectors fill exactly one turn from the first sector's start; an angle folded
    // into that turn finds the sector of its hour (the wind rose's own window would file the
    // first two minutes past the last sector's label hour into the first sector).
    const SectorSteps &steps = sectorSteps();
    const double direction
        = steps.count > 0 ? HourSectors::fold(windDirection, steps.width) : windDirection;
    return QWindRose::addMeasurement(windSpeed, direction);
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

QObject *QSolarRose::makeChart()
{
    return new QSolarRose;
}

bool QSolarRose::setEnableLegend(bool enable)
{
    return QWindRose::setEnableLegend(enable);
}

// ---------------------------------------------------------------------------------------
// Solar operations

bool QSolarRose::addSolarMeasurement(const QTime &time, double value)
{
    if (rebuildNeeded())
        buildSectors(fullCircle());
    // A time that is no time of day belongs to no hour; counting it into the hour its
    // negative fields happen to point at would falsify the chart.
    if (!time.isValid())
        return true;
    countAtSecond(time.msecsSinceStartOfDay() / 1000, value);
    return true;
}

void QSolarRose::countAtSecond(int second, double value)
{
    prepareCounting();
    const RoseCounts &counts = this->counts();
    const SectorSteps &steps = sectorSteps();
    // Sectors whose keys cannot be searched as arrays, or no sector steps: the whole way.
    if (steps.count <= 0 || !counts.searchable()) {
        addMeasurement(value, secondToAngle(second));
        return;
    }
    SecondSectors &known = m_secondSectors;
    if (known.sector.empty() || known.generation != counts.generation()
        || known.stepsRevision != steps.revision) {
        known.sector.assign(size_t(Numeric::secondsPerDay), unknownSector);
        known.generation = counts.generation();
        known.stepsRevision = steps.revision;
    }
    qint32 &sector = known.sector[size_t(second)];
    if (sector == unknownSector) {
        // As addMeasurement folds it and the wind rose counts it: a direction that is not a
        // number is not counted.
        const double direction = HourSectors::fold(secondToAngle(second), steps.width);
        const size_t k
            = std::isfinite(direction) ? counts.sectorIndex(direction) : RoseCounts::noSector;
        sector = k == RoseCounts::noSector ? noSector : qint32(k);
    }
    if (sector != noSector)
        countInSector(size_t(sector), value);
}

double QSolarRose::timeToAngle(const QTime &time) const
{
    // The whole seconds of the day, hour * 3600 + minute * 60 + second, in one call rather
    // than three (its time is a valid one).
    return secondToAngle(time.msecsSinceStartOfDay() / 1000);
}

double QSolarRose::secondToAngle(int second) const
{
    const SectorSteps &steps = sectorSteps();
    return double(second) / steps.secondsPerSector * steps.width + 180.0;
}

const QSolarRose::SectorSteps &QSolarRose::sectorSteps() const
{
    const RoseSettings &now = settings();
    // The count compared bit for bit, so that a setting that is not a number is not taken for
    // the same one every time.
    if (!m_sectorSteps.made || now.fullCircle != m_sectorSteps.circleSetting
        || std::memcmp(&now.directionsCount, &m_sectorSteps.countSetting, sizeof(double)) != 0) {
        const int n = directionsCount();
        const double circle = fullCircle();
        m_sectorSteps.made = true;
        m_sectorSteps.countSetting = now.directionsCount;
        m_sectorSteps.circleSetting = now.fullCircle;
        m_sectorSteps.count = n;
        m_sectorSteps.secondsPerSector = double(Numeric::secondsPerDay) / double(n);
        m_sectorSteps.width = circle / double(n);
        ++m_sectorSteps.revision;
    }
    return m_sectorSteps;
}

bool QSolarRose::setIntervals(double min, double max, int segments_count, bool limits)
{
    clearClasses();
    if (!scale())
        return false;

    int step = 0;
    scale()->roundLinearScale(min, max, segments_count, step);
    if (limits)
        addInterval(-openLimit, min + openLimit, intervalColour(0));
    double lo = min;
    for (int i = 0; i < segments_count; ++i) {
        addInterval(lo, (lo + step) - lo, intervalColour(i));
        lo = lo + step;
    }
    if (limits)
        addInterval(lo, openLimit - lo, intervalColour(segments_count));
    // The classes are built, yet the operation has always answered false; hosts know.
    return false;
}

bool QSolarRose::setDirectionsCount(int directionsCount)
{
    bool exact = false;
    const int count = SolarDial::hourSectorCount(directionsCount, &exact);
    if (count < 1)
        return false;
    QWindRose::setDirectionsCount(count);
    return exact;
}

bool QSolarRose::drawImage(QImage &image)
{
    beginSolarDrawing();
    return QWindRose::drawImage(image);
}

QSize QSolarRose::paintSize(const QSize &canvas)
{
    beginSolarDrawing();
    return QWindRose::paintSize(canvas);
}

bool QSolarRose::paint(QPainter *painter, const QSize &canvas)
{
    beginSolarDrawing();
    return QWindRose::paint(painter, canvas);
}

void QSolarRose::beginSolarDrawing()
{
    setGridPen(QPen(QBrush(QColor(127, 127, 127, 255), Qt::SolidPattern), 2.0, Qt::SolidLine,
        Qt::SquareCap, Qt::BevelJoin));
    if (rebuildNeeded())
        buildSectors(fullCircle());
    legend()->setFont(font());
    legend()->setShowTitle(true);
    legend()->setPrecision(legendPrecision());
}

bool QSolarRose::setEnableGrid(bool enable)
{
    // With the grid on, the large logo stands where the labels 21 and 22 would be written.
    if (enable) {
        m_hourLabelOverrides.insert(21, QString());
        m_hourLabelOverrides.insert(22, QString());
    } else {
        m_hourLabelOverrides.remove(21);
        m_hourLabelOverrides.remove(22);
    }
    return QWindRose::setEnableGrid(enable);
}

void QSolarRose::setDefaultIntervals()
{
    struct DefaultClass
    {
        double min;
        double max;
        const char *colour;
    };
    static const DefaultClass defaults[] = {
        { -500, 0, "#0000ff" },
        { 0, 100, "#7a7a7a" },
        { 100, 200, "#0000ff" },
        { 200, 300, "#00ff00" },
        { 300, 500, "#ffff00" },
        { 500, 800, "#ff0000" },
        { 800, 1100, "#591400" },
        { 1100, 98900, "#e400ff" },
    };
    for (const DefaultClass &c : defaults)
        addIntervalRange(c.min, c.max, QBrush(QColor(c.colour), Qt::SolidPattern), 1.0, -1.0, 1.0);
}

void QSolarRose::buildSectors(double fullCircle)
{
    setRebuildNeeded(false);
    // The sectors of an earlier layout (another count of hours) must not linger beside the
    // new ones.
    clearSectors();

    const int n = directionsCount();
    if (n <= 0)
        return;
    const double w = fullCircle / n;
    // The folding window is the turn the sectors cover, so that every sector is one hour (or
    // one n-th of the day) wide.
    const RoseCounts::Geometry geometry { w, HourSectors::windowLow(w),
        HourSectors::windowHigh(w) };
    setSectorGeometry(geometry);

    double start = HourSectors::windowLow(w);
    for (int k = 0; k < n; ++k) {
        insertSector(Interval::wrapped(start, w, geometry.rangeLow, geometry.rangeHigh));
        start = start + w;
    }
}

QString QSolarRose::sectorLabel(const Interval &sector, int index) const
{
    Q_UNUSED(sector);
    const int n = directionsCount();
    const int secondsPerSector = n > 0 ? Numeric::secondsPerDay / n : 0;
    return QTime(12, 0, 0).addSecs(index * secondsPerSector).toString(hourFormat);
}

RoseTallyInterface::Sector QSolarRose::sectorSpan(const Interval &sector, int index) const
{
    const int n = directionsCount();
    const int secondsPerSector = n > 0 ? Numeric::secondsPerDay / n : 0;
    // Labelled with the end of its hour; it collects from two minutes past the hour before.
    const QTime end = QTime(12, 2, 0).addSecs(index * secondsPerSector);
    const QString format = QStringLiteral("hh:mm");
    return { sectorLabel(sector, index), end.addSecs(-secondsPerSector).toString(format),
        end.toString(format) };
}

// ---------------------------------------------------------------------------------------
// The day dial

QSize QSolarRose::labelBoxSize() const
{
    const QFontMetrics metrics(font());
    const int w18 = metrics.horizontalAdvance(QTime(18, 0).toString(hourFormat));
    const int height = Numeric::toInt(w18 * 1.2);
    return QSize(Numeric::toInt(height * 1.5), height);
}

double QSolarRose::diameterAt(int height) const
{
    return height - (2 * labelBoxSize().height() + 20);
}

SegmentThickness QSolarRose::segmentThickness() const
{
    // Without rings the bars have no room (barArea is 0, as D - D / 1 is).
    const int sectorCount = spokes().size();
    const int sectors = sectorCount < 2 ? 1 : sectorCount;
    return { 0.18, 1.0 / sectors, settings().dataDrawSizeFactor };
}

double QSolarRose::outerRingSize() const
{
    if (spokes().isEmpty())
        return 0.0;
    return 2 * ringRadius(int(spokes().first().size()) - 1);
}

void QSolarRose::drawBackground(QPainter *painter, const RoseFrame &frame)
{
    if (!settings().enableBackground || directionsCount() <= 0)
        return;
    const QSize &area = frame.roseArea;
    const QTransform base = QTransform::fromTranslate(area.width() / 2, area.height() / 2);
    const double d = frame.ringDiameter;
    QFont boldFont = font();
    boldFont.setWeight(QFont::Bold);
    const int half00
        = QFontMetrics(boldFont).horizontalAdvance(QTime(0, 0).toString(hourFormat)) / 2;
    // The pictures and the hour labels stand around the white disc of the data.
    const int r = Numeric::toInt(d * 0.5 + half00);

    DayShade::paint(painter, area, Numeric::toInt(d * 0.5), !paintsOnRaster(painter));
    painter->setTransform(base);
    painter->setFont(font());
    SolarPictures::paint(
        painter, base, r, labelBoxSize(), settings().enableGrid, settings().textScale);
    paintHourLabels(painter, base, r, boldFont);
}

void QSolarRose::paintHourLabels(
    QPainter *painter, const QTransform &base, int r, const QFont &boldFont) const
{
    const int n = directionsCount();
    const double step = SolarDial::fullTurn / n;
    const int secondsPerSector = Numeric::secondsPerDay / n;
    const QFont normalFont = font();
    const QTime midnight(0, 0, 0);
    const QTime noon(12, 0, 0);
    double b = SolarDial::midnightLabelAngle;
    for (int k = 0; k < n; ++k) {
        const QTime t = midnight.addSecs(k * secondsPerSector);
        const QFont &labelFont = k % 6 == 0 ? boldFont : normalFont;
        const QString text = t.toString(hourFormat);
        const QFontMetrics metrics(labelFont);
        const int tw = metrics.horizontalAdvance(text);
        const int th = metrics.height();
        const QPoint anchor = SolarDial::hourLabelPoint(b, r);
        painter->setFont(labelFont);
        painter->setTransform(
            QTransform(base).translate(-tw / 2, th * 0.33).translate(anchor.x(), anchor.y()));
        // The moon and the sun stand where 00 and 12 would be written.
        if (t != midnight && t != noon)
            painter->drawText(QPoint(0, 0), m_hourLabelOverrides.value(k, text));
        b = b - step;
    }
}
