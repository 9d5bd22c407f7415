#include "qwindrose.h"

#include "pluginsearch.h"
#include "scaleadjustment.h"
#include "windrose3d.h"
#include "windroselegend.h"

#include <QDebug>
#include <QPainter>
#include <QPluginLoader>

#include <cmath>
#include <iostream>
#include <limits>

namespace {

// The scale plug-in's file; the search also tries names that start with it.
const QString scalePluginFile = QStringLiteral("tickfit.so");

const QChar sigma(0x03A3);

// Class limits at the int range's ends mark classes open towards infinity.
constexpr double openLowLimit = -2147483647.0;
constexpr double openHighLimit = 2147483647.0;

// Reads a field as a decimal integer; an empty or unreadable field counts as 0.
int fieldInt(const QString &field)
{
    return field.trimmed().toInt();
}

double fieldDouble(const QString &field)
{
    return field.trimmed().toDouble();
}

// The parts of a header text "a -> b -> ...", trimmed; they end at the first empty part.
QStringList headerParts(const QString &text)
{
    QStringList parts;
    if (!text.contains(QLatin1String("->")))
        return parts;
    const QStringList pieces = text.split(QLatin1String("->"), Qt::KeepEmptyParts);
    for (const QString &piece : pieces) {
        const QString part = piece.trimmed();
        if (part.isEmpty())
            break;
        parts << part;
    }
    return parts;
}

void deleteCounts(const QMap<Interval, ClassCount *> &classes)
{
    for (ClassCount *count : classes)
        delete count;
}

} // namespace

// ---------------------------------------------------------------------------------------
// Construction and settings

QWindRose::QWindRose()
{
    m_texts.speedDirectionText
        = QStringLiteral("Smer[") + QChar(0x00B0) + QStringLiteral("] \\ Hitrost[m/s]");
    m_texts.firstTime = QDateTime(QDate(2200, 1, 1), QTime(0, 0, 0));
    m_texts.lastTime = QDateTime(QDate(1970, 1, 1), QTime(0, 0, 0));
    m_style = new Windrose3D;
    m_gridPen = QPen(QBrush(QColor(0, 0, 0, 255), Qt::SolidPattern), 2.0, Qt::SolidLine,
        Qt::SquareCap, Qt::BevelJoin);
    QPaintable::setFont(QFont(QStringLiteral("verdana"), 23, QFont::Bold));
    // The drawing hands the legend its rose when it paints.
    m_legend = new WindroseLegend(nullptr, 100);
    bindScale();
}

QWindRose::~QWindRose()
{
    delete m_style;
    m_style = nullptr;
    freeCounts();
    delete m_legend;
    m_legend = nullptr;
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
    if (m_intervals.isEmpty())
        setDefaultIntervals();
    if (m_rebuildNeeded)
        buildSectors(fullCircle());
    // NaN compares false with every limit, so the lookups below would file it into the
    // first sector and class; infinity would fold forever. Neither is a measurement.
    if (!std::isfinite(windSpeed) || !std::isfinite(windDirection))
        return true;
    if (ClassCount *count = findCount(windSpeed, windDirection)) {
        ++count->count;
        ++m_countedTotal;
    }
    return true;
}

ClassCount *QWindRose::findCount(double value, double direction) const
{
    const Interval probe = Interval::wrapped(
        direction, m_sectorWidth + direction, m_sectorRangeLow, m_sectorRangeHigh);

    // Sector: the first one whose upper limit lies above the probe's folded lower limit. In
    // any map of Intervals both limits grow along the key order, so this is a binary search:
    // a key of unbounded lower limit is less than exactly the sectors ending above it.
    Interval sectorProbe;
    sectorProbe.lowLimit = -std::numeric_limits<double>::infinity();
    sectorProbe.highLimit = probe.lowLimit;
    const auto sector = m_spokes.upperBound(sectorProbe);
    if (sector == m_spokes.cend() || !(sector.key().lowLimit < probe.highLimit))
        return nullptr;

    // Class: a map lookup of the point (value, value). By the Interval ordering it finds the
    // class with lowLimit < value <= highLimit.
    const QMap<Interval, ClassCount *> &classes = sector.value();
    const auto found = classes.find(Interval(value, 0.0));
    return found == classes.cend() ? nullptr : found.value();
}

bool QWindRose::clearMeasurements()
{
    freeCounts();
    m_countedTotal = 0;
    return true;
}

void QWindRose::freeCounts()
{
    for (const QMap<Interval, ClassCount *> &classes : std::as_const(m_spokes))
        deleteCounts(classes);
    m_spokes.clear();
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
    freeCounts();
    if (m_intervals.isEmpty()) {
        qWarning() << "Prvo je potrebno nastaviti razrede! funkcija -> addIntervalRange";
        return;
    }
    const double w = fullCircle / m_directionsCount;
    const double h = w * 0.5;
    m_sectorWidth = w;
    m_sectorRangeLow = h - w;
    m_sectorRangeHigh = fullCircle - std::fabs(h - w);
    for (int k = 0; k < m_directionsCount; ++k) {
        const double centre = h + k * w;
        insertSector(Interval::wrapped(centre - w, w, m_sectorRangeLow, m_sectorRangeHigh));
    }
}

void QWindRose::insertSector(const Interval &key)
{
    QMap<Interval, ClassCount *> classes;
    for (const Interval &interval : std::as_const(m_intervals)) {
        // A class listed twice keeps the record made last; the earlier one is freed.
        auto existing = classes.find(interval);
        if (existing != classes.end()) {
            delete existing.value();
            existing.value() = new ClassCount;
        } else {
            classes.insert(interval, new ClassCount);
        }
    }
    auto existing = m_spokes.find(key);
    if (existing != m_spokes.end()) {
        deleteCounts(existing.value());
        existing.value() = classes;
    } else {
        m_spokes.insert(key, classes);
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
        const QStringList parts = fields.isEmpty() ? QStringList() : headerParts(fields.first());
        if (parts.size() == 6) {
            m_texts.stationText = parts.at(1);
            m_texts.parameterText
                = parts.at(2) + QLatin1String(" (") + parts.at(3) + QLatin1Char(')');
            m_unitText = parts.at(5);
        }
        return false;
    }

    ++m_linesRead;
    if (fields.size() < 2)
        return false;
    if (fields.size() < 7) {
        ++m_shortLines;
        return false;
    }
    // The eighth field is a hexadecimal status: 0x100 and above marks a rejected record.
    if (fields.size() == 8 && fields.at(7).trimmed().toInt(nullptr, 16) >= 256) {
        ++m_rejectedLines;
        return false;
    }
    addMeasurement(fieldDouble(fields.at(6)), fieldDouble(fields.at(5)));
    const QDateTime time(
        QDate(fieldInt(fields.at(0)), fieldInt(fields.at(1)), fieldInt(fields.at(2))),
        QTime(fieldInt(fields.at(3)), fieldInt(fields.at(4)), 0));
    // An impossible date would otherwise sort before every valid one and become firstTime.
    if (!time.isValid())
        return false;
    if (time < m_texts.firstTime)
        m_texts.firstTime = time;
    else if (time > m_texts.lastTime)
        m_texts.lastTime = time;
    return true;
}

double QWindRose::percent(int count) const
{
    return m_countedTotal > 0 ? count * 100.0 / m_countedTotal : 0.0;
}

double QWindRose::classesTotal(const QMap<Interval, ClassCount *> &classes) const
{
    // The first (calm) class has no direction and stays out of the sector's length.
    double total = 0.0;
    bool first = true;
    for (const ClassCount *count : classes) {
        if (!first)
            total += percent(count->count);
        first = false;
    }
    return total;
}

double QWindRose::sectorTotal(int k) const
{
    if (k < 0 || k >= m_spokes.size())
        return 0.0;
    return classesTotal(std::next(m_spokes.cbegin(), k).value());
}

double QWindRose::maxSectorTotal() const
{
    double largest = 0.0;
    for (const QMap<Interval, ClassCount *> &classes : m_spokes)
        largest = qMax(largest, classesTotal(classes));
    return largest;
}

double QWindRose::classTotal(int i) const
{
    double total = 0.0;
    if (i < 0)
        return total;
    for (const QMap<Interval, ClassCount *> &classes : m_spokes) {
        if (i < classes.size())
            total += percent(std::next(classes.cbegin(), i).value()->count);
    }
    return total;
}

// ---------------------------------------------------------------------------------------
// Table data

bool QWindRose::getTableData(QStringList *data)
{
    if (!data)
        return false;
    QStringList lines;
    for (const QString &text : std::as_const(m_textLines))
        lines << text;
    lines << tableHeader();

    const auto number = [](double value) { return QString::number(value, 'f', 2); };
    int k = 0;
    for (auto sector = m_spokes.cbegin(); sector != m_spokes.cend(); ++sector, ++k) {
        QString line = sectorLabel(sector.key(), k);
        bool first = true;
        for (const ClassCount *count : sector.value()) {
            // The calm class has no direction: its cell stays empty, its share is summed below.
            line += first ? QStringLiteral("\t\t")
                          : number(percent(count->count)) + QLatin1Char('\t');
            first = false;
        }
        lines << line + number(sectorTotal(k));
    }

    QString sum(sigma);
    const int classCount = m_spokes.isEmpty() ? 0 : int(m_spokes.cbegin().value().size());
    for (int i = 0; i < classCount; ++i)
        sum += QLatin1Char('\t') + number(classTotal(i));
    lines << sum + QLatin1Char('\t');

    *data = lines;
    return true;
}

QString QWindRose::tableHeader() const
{
    QString header = m_texts.speedDirectionText;
    if (!m_spokes.isEmpty()) {
        const QMap<Interval, ClassCount *> &classes = m_spokes.cbegin().value();
        const auto limit
            = [this](double value) { return QString::number(value, 'f', m_legendPrecision); };
        int index = 0;
        for (auto it = classes.cbegin(); it != classes.cend(); ++it, ++index) {
            header += QLatin1Char('\t');
            if (index == 0)
                header += QLatin1String(" <= ") + limit(it.key().highLimit);
            else if (index == classes.size() - 1)
                header += QLatin1String(" > ") + limit(it.key().lowLimit);
            else
                header += intervalLabel(it.key());
        }
    }
    return header + QLatin1Char('\t') + sigma;
}

QString QWindRose::sectorLabel(const Interval &sector, int index) const
{
    Q_UNUSED(index);
    return QString::number(sector.lowLimit, 'f', m_legendPrecision) + QLatin1String(" - ")
        + QString::number(sector.highLimit, 'f', m_legendPrecision);
}

QString QWindRose::intervalLabel(const Interval &interval) const
{
    const QString low = interval.lowLimit == openLowLimit
        ? QStringLiteral("-inf")
        : QString::number(interval.lowLimit, 'f', m_legendPrecision);
    const QString high = interval.highLimit == openHighLimit
        ? QStringLiteral("inf")
        : QString::number(interval.highLimit, 'f', m_legendPrecision);
    return QLatin1Char('(') + low + QLatin1String(" - ") + high + QLatin1Char(']');
}

// ---------------------------------------------------------------------------------------
// Scale plug-in binding

void QWindRose::bindScale()
{
    // The loader only lives for the binding: a loaded library stays loaded after it is gone,
    // and the root object belongs to Qt's plug-in machinery for the rest of the process.
    QPluginLoader loader;
    loader.setFileName(scalePluginFile);
    if (PluginSearch::loadPlugin(scalePluginFile, &loader, PluginSearch::Compassplot)) {
        m_scale = qobject_cast<ScaleAdjustment *>(loader.instance());
    } else {
        std::cerr << "Unable to load scale adjustment plugin: " << qPrintable(scalePluginFile)
                  << std::endl;
        m_scale = nullptr;
    }
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
