#include "qwindrose.h"

#include "numeric.h"
#include "pluginsearch.h"
#include "roselayout.h"
#include "scaleadjustment.h"
#include "sourcedate.h"
#include "windrose3d.h"
#include "windroselegend.h"

#include <QDebug>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPluginLoader>

#include <cmath>
#include <iostream>
#include <limits>

namespace {

// The scale plug-in's file; the search also tries names that start with it.
const QString scalePluginFile = QStringLiteral("tickfit.so");

const QChar sigma(0x03A3);

constexpr double openLowLimit = -Numeric::openClassLimit;
constexpr double openHighLimit = Numeric::openClassLimit;

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
    return Numeric::toInt(m_directionsCount);
}

void QWindRose::setFullCircle(double fullCircle)
{
    m_fullCircle = Numeric::toInt(fullCircle);
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
    // NaN compares false with every limit, so the ordered lookups below would file it into
    // the first class. A value without a place on the circle or the scale is not counted.
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
        qWarning("Prvo je potrebno nastaviti razrede! funkcija -> addIntervalRange");
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

namespace {

constexpr QRgb transparent = 0x00000000;
constexpr QRgb opaqueWhite = 0xffffffff;

// Pixels from the centre beyond which no segment can show on any image.
constexpr int maxSegmentReach = 1 << 24;

// Compass directions in screen radians (0 right, clockwise), derived from the rough pi the
// drawing has always used; south-west sits at 136 degrees.
constexpr double north = RoseLayout::roughRadians(-90);
constexpr double northEast = RoseLayout::roughRadians(-45);
constexpr double east = 0.0;
constexpr double southEast = RoseLayout::roughRadians(45);
constexpr double south = RoseLayout::roughRadians(90);
constexpr double southWest = RoseLayout::roughRadians(136);
constexpr double northWest = RoseLayout::roughRadians(225);

// The largest stacked share the scale has to hold: the largest sector total without the first
// class, or, when only first-class values were counted (a solar rose of night values), the
// largest first-class share, so that such a chart still gets a scale its bars fit on.
double dataMaximum(const QWindRose &rose)
{
    const double stacked = rose.maxSectorTotal();
    if (stacked > 0)
        return stacked;
    double largest = 0.0;
    for (const QMap<Interval, ClassCount *> &classes : rose.spokes()) {
        if (!classes.isEmpty())
            largest = qMax(largest, rose.percent(classes.first()->count));
    }
    return largest;
}

// The font scaled by factor (in points, or in pixels for a font sized in pixels), at least 1.
QFont scaledFont(const QFont &font, double factor)
{
    QFont scaled(font);
    if (font.pointSize() > 0)
        scaled.setPointSize(qMax(1, Numeric::toInt(font.pointSize() * factor)));
    else if (font.pixelSize() > 0)
        scaled.setPixelSize(qMax(1, Numeric::toInt(font.pixelSize() * factor)));
    return scaled;
}

QImage *newImage(int width, int height, QRgb fill)
{
    auto *image = new QImage(width, height, QImage::Format_ARGB32);
    image->fill(fill);
    return image;
}

void setRenderHints(QPainter *painter)
{
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
}

// A ring label: black on a white halo, so it stays readable across rings and bars.
void drawHaloText(QPainter *painter, const QPoint &at, const QString &text, const QFont &font)
{
    QPainterPath path;
    path.addText(at, font, text);
    painter->strokePath(path,
        QPen(
            QBrush(Qt::white, Qt::SolidPattern), 5.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter->fillPath(path, QBrush(Qt::black, Qt::SolidPattern));
    painter->save();
    painter->setBackgroundMode(Qt::TransparentMode);
    painter->setPen(QColor(0, 0, 0, 255));
    painter->drawText(at, text);
    painter->restore();
}

// The render time, bottom left: it tells renders of the same chart apart (unless a fixed
// stamp time is asked for, see SourceDate).
void drawTimeStamp(QPainter *painter, const QSize &size)
{
    QFont stampFont(QStringLiteral("Monospace"));
    stampFont.setStyleStrategy(QFont::NoAntialias);
    stampFont.setPixelSize(12);
    painter->setFont(stampFont);
    painter->setPen(QColor(0, 0, 0, 255));
    painter->drawText(QRect(QPoint(2, 0), QPoint(size.width() + 1, size.height() - 1)),
        Qt::AlignLeft | Qt::AlignBottom,
        SourceDate::stampTime().toString(QStringLiteral("ddMMyyyy hhmm")));
}

} // namespace

bool QWindRose::drawImage(QImage &image)
{
    if (!(m_directionsCount > 0))
        return false;
    m_legend->setRose(this);
    m_legend->setHeight(m_imageHeight);
    m_textLines = { m_texts.stationText, m_texts.parameterText, m_texts.intervalText,
        m_texts.statisticsText };
    // The chart paints over the caller's picture, in a format a painter accepts.
    setImage(image.isNull() ? nullptr : new QImage(image.convertToFormat(QImage::Format_ARGB32)));
    render(0);
    image = this->image();
    return true;
}

char QWindRose::render(int unused)
{
    Q_UNUSED(unused);
    if (m_intervals.isEmpty())
        setDefaultIntervals();
    if (!m_image || m_image->isNull())
        setImage(newImage(m_imageHeight, m_imageHeight, transparent));
    setBackground(QBrush(QColor(QStringLiteral("WHITE")), Qt::SolidPattern));
    // An empty size (or a failed allocation) leaves nothing to paint on.
    if (m_image->isNull())
        return 1;

    {
        QPainter painter(m_image);
        painter.setBackgroundMode(Qt::TransparentMode);
        painter.setFont(font());
        setRenderHints(&painter);
        const double data = dataMaximum(*this);
        m_ringScale.minimum = 0.0;
        m_ringScale.maximum = data > 0 ? data : 10.0;
        if (m_scale) {
            int step = Numeric::toInt(m_ringScale.ringStep);
            m_scale->roundLinearScale(
                m_ringScale.minimum, m_ringScale.maximum, m_ringScale.ringCount, step);
            m_ringScale.ringStep = step;
        }
        drawBackground(&painter);
        drawGrid(&painter);
    }

    // The rose keeps the left part; the legend gets a strip on the right.
    if (m_enableLegend) {
        QImage *wide = newImage(
            m_image->width() + m_legend->legendWidth(font()), m_imageHeight, opaqueWhite);
        if (!wide->isNull()) {
            QPainter painter(wide);
            painter.drawImage(0, 0, *m_image);
        }
        setImage(wide);
        if (wide->isNull())
            return 1;
    }

    {
        QPainter painter(m_image);
        setRenderHints(&painter);
        drawData(&painter);
        if (m_enableLegend) {
            m_legend->setBackground(QBrush(QColor(255, 255, 255, 0), Qt::SolidPattern));
            m_legend->setShowTitle(true);
            m_legend->setFont(font());
            m_legend->paint(&painter);
        }
    }

    QImage *composed = newImage(
        m_image->width(), m_image->height(), m_enableBackground ? opaqueWhite : transparent);
    {
        QPainter painter(composed);
        painter.drawImage(0, 0, *m_image);
        if (m_enableLegend) {
            const QImage legendImage = m_legend->image();
            painter.drawImage(composed->width() - legendImage.width(), 0, legendImage);
        }
        drawTimeStamp(&painter, composed->size());
    }
    setImage(composed);
    return 1;
}

double QWindRose::roseDiameter() const
{
    // Before the first rendering the rose will get the chart's image height.
    const int height = m_image && !m_image->isNull() ? m_image->height() : m_imageHeight;
    return height - 4.0 * QFontMetrics(font()).height();
}

double QWindRose::ringRadius(int classIndex) const
{
    return RoseLayout::ringRadius(roseDiameter(), m_ringScale.ringCount, classIndex,
        m_intervals.size(), m_dataDrawSizeFactor);
}

double QWindRose::outerRingSize() const
{
    if (m_spokes.isEmpty())
        return 0.0;
    return ringRadius(m_spokes.first().size() - 1);
}

void QWindRose::drawBackground(QPainter *painter)
{
    using Numeric::toInt;
    using RoseLayout::polarPoint;
    if (!m_enableBackground)
        return;
    const QPaintDevice *device = painter->device();
    painter->setTransform(QTransform::fromTranslate(device->width() / 2, device->height() / 2));

    const QFont bigFont = scaledFont(font(), 1.2);
    const QFontMetrics big(bigFont);
    const int inner = toInt(roseDiameter() * 0.5 + 8);
    const int labelRadius = toInt(big.height() * 0.4 + inner);
    const int r = labelRadius + 10;
    const int half = big.height() / 2;

    painter->setFont(bigFont);
    int w = big.horizontalAdvance(QStringLiteral("N"));
    painter->drawText(polarPoint(north, r) + QPoint(-w / 2, 0), QStringLiteral("N"));
    w = big.horizontalAdvance(QStringLiteral("S"));
    painter->drawText(polarPoint(south, r) + QPoint(-w / 2, half), QStringLiteral("S"));
    const QPoint e = polarPoint(east, r);
    w = big.horizontalAdvance(QStringLiteral("E"));
    painter->drawText(QPoint(toInt(e.x() - w * 0.25), e.y() + half / 2), QStringLiteral("E"));
    w = big.horizontalAdvance(QStringLiteral("W"));
    painter->drawText(QPoint(toInt(-(w * 0.75 + e.x())), e.y() + half / 2), QStringLiteral("W"));

    painter->setFont(font());
    const QFontMetrics normal(font());
    const int h = normal.height();
    painter->drawText(polarPoint(northEast, r), QStringLiteral("NE"));
    w = normal.horizontalAdvance(QStringLiteral("SE"));
    painter->drawText(polarPoint(southEast, r) + QPoint(w / -4, h / 2), QStringLiteral("SE"));
    const QPoint sw = polarPoint(southWest, r + 10);
    w = normal.horizontalAdvance(QStringLiteral("SW"));
    painter->drawText(QPoint(toInt(sw.x() - w * 0.8), sw.y() + h / 2), QStringLiteral("SW"));
    const QPoint nw = polarPoint(northWest, r);
    w = normal.horizontalAdvance(QStringLiteral("NW"));
    painter->drawText(QPoint(toInt(nw.x() - w * 0.8), nw.y()), QStringLiteral("NW"));

    // Guide ticks every 45 degrees between the rings and the letters; the counter's rounding
    // gives 17 ticks, so 45 degrees is drawn three times and the others twice.
    painter->setFont(scaledFont(painter->font(), 0.4));
    int counter = 0;
    do {
        painter->rotate(45);
        painter->drawLine(labelRadius, 0, inner, 0);
        counter = toInt(counter + 22.5);
    } while (counter <= 360);
    painter->resetTransform();
}

void QWindRose::drawGrid(QPainter *painter)
{
    const QFontMetrics metrics(font());
    const int diameter = Numeric::toInt(roseDiameter());
    const int h = metrics.height();
    m_holeRadius = metrics.horizontalAdvance(QStringLiteral("MM%")) / 2 + 5;

    // The rings of a fixed scale keep apart over the radial room they share (from the hole
    // outward with the scale plug-in, from the centre without it).
    const int ringRoom = m_scale ? diameter / 2 - m_holeRadius : diameter / 2;
    m_ringScale = RoseLayout::withRingGap(
        RoseLayout::ringScale(m_ringScale.minimum, m_ringScale.maximum, dataMaximum(*this),
            m_fixedScaleMaximum, m_fixedScaleSegments),
        ringRoom);

    const QString centreText = QString::number(classTotal(0), 'f', 0) + QStringLiteral("%");
    const QPaintDevice *device = painter->device();
    painter->setTransform(QTransform::fromTranslate(device->width() / 2, device->height() / 2));
    painter->setFont(font());
    if (m_enableBackground)
        painter->drawText(QPoint(-(metrics.horizontalAdvance(centreText) / 2), h / 4), centreText);

    painter->setBackgroundMode(Qt::OpaqueMode);
    painter->setPen(m_gridPen);
    if (m_scale) {
        const QVector<RoseLayout::Ring> rings
            = RoseLayout::pluginRings(*m_scale, m_ringScale, diameter, m_holeRadius);
        drawPlacedRings(painter, rings, ringLabels(rings, QString()));
    } else {
        const QVector<RoseLayout::Ring> rings = RoseLayout::builtInRings(m_ringScale, diameter);
        drawBuiltInRings(painter, rings, ringLabels(rings, QStringLiteral("%")));
    }
    painter->resetTransform();
}

QVector<QWindRose::RingLabel> QWindRose::ringLabels(
    const QVector<RoseLayout::Ring> &rings, const QString &suffix) const
{
    const QFontMetrics metrics(font());
    const int h = metrics.height();
    const int decimals = RoseLayout::ringDecimals(m_ringScale);
    QVector<RingLabel> labels(rings.size());
    QVector<QRect> ink(rings.size());
    for (int i = 0; i < rings.size(); ++i) {
        const RoseLayout::Ring &ring = rings.at(i);
        if (!ring.labelled)
            continue;
        RingLabel &label = labels[i];
        label.text = RoseLayout::ringLabel(ring.value, decimals) + suffix;
        label.radius = ring.labelRadius - metrics.horizontalAdvance(label.text) / 4;
        const QPoint p = RoseLayout::labelPoint(m_labelAngle, label.radius);
        label.baseline = QPoint(p.x(), p.y() + h / 3);
        ink[i] = metrics.tightBoundingRect(label.text).translated(label.baseline);
    }
    // The many rings a fixed scale may ask for keep only the labels that can be read; the few
    // of an automatic scale are all labelled.
    if (!m_ringScale.exact)
        return labels;
    const QVector<bool> legible = RoseLayout::legibleLabels(ink);
    for (int i = 0; i < labels.size(); ++i) {
        if (!legible.at(i))
            labels[i].text.clear();
    }
    return labels;
}

void QWindRose::drawPlacedRings(QPainter *painter, const QVector<RoseLayout::Ring> &rings,
    const QVector<RingLabel> &labels) const
{
    const int h = QFontMetrics(font()).height();
    const bool labelled = m_enableBackground && m_enableGrid;
    for (int i = 0; i < rings.size(); ++i) {
        painter->save();
        if (m_enableBackground)
            painter->drawEllipse(rings.at(i).bounds);
        const RingLabel &label = labels.at(i);
        if (labelled && !label.text.isEmpty()) {
            drawHaloText(painter, label.baseline, label.text, font());
            // The outermost ring's value carries the unit.
            if (i == 0) {
                const QPoint u = RoseLayout::labelPoint(m_labelAngle, label.radius + h);
                drawHaloText(
                    painter, QPoint(u.x() - h / 3, u.y() + h / 3), QStringLiteral("%"), font());
            }
        }
        painter->restore();
    }
}

void QWindRose::drawBuiltInRings(QPainter *painter, const QVector<RoseLayout::Ring> &rings,
    const QVector<RingLabel> &labels) const
{
    for (int i = 0; i < rings.size(); ++i) {
        painter->save();
        painter->drawEllipse(rings.at(i).bounds);
        if (!labels.at(i).text.isEmpty())
            painter->drawText(labels.at(i).baseline, labels.at(i).text);
        painter->restore();
    }
}

void QWindRose::drawData(QPainter *painter)
{
    using Numeric::toInt;
    const double diameter = roseDiameter();
    if (m_style)
        m_style->radius = diameter;
    if (m_spokes.isEmpty() || m_spokes.first().isEmpty() || m_countedTotal == 0 || !m_style)
        return;
    const double step = 360.0 / m_spokes.size();
    const QPaintDevice *device = painter->device();
    const int h = device->height();

    // The rose occupies the square at the left even when the image was widened for the legend;
    // the first sector (north) points up.
    QTransform frame = QTransform::fromTranslate(h / 2 - 1, h / 2);
    frame.rotate(m_rotation - 90);
    painter->setTransform(frame);
    m_style->centre = QPoint(device->width() / 2, device->height() / 2);

    const RoseLayout::Scale &s = m_ringScale;
    const int scaleLength = toInt(diameter * 0.5 - m_holeRadius);
    const double data = dataMaximum(*this);
    // The bars of a fixed scale stop at its outer ring, and so do those of the built-in rule
    // (they start at the hole, so the largest stack could run past the outermost ring); an
    // automatic scale with the plug-in is drawn as it always was.
    int reach = maxSegmentReach;
    if (!m_scale)
        reach = toInt(diameter) / 2;
    else if (s.exact)
        reach = m_holeRadius + RoseLayout::pluginSegmentLength(*m_scale, s, scaleLength, s.maximum);

    for (const QMap<Interval, ClassCount *> &classes : std::as_const(m_spokes)) {
        double pos = m_holeRadius;
        int j = 0;
        for (auto it = classes.cbegin(); it != classes.cend(); ++it, ++j) {
            const double thickness = ringRadius(j);
            const Spoke style = classStyle(it.key(), it.value());
            painter->setPen(style.brush.color());
            int len = 0;
            int shift = 0;
            const double p = percent(it.value()->count);
            if (m_countedTotal > 0 && p != 0) {
                if (m_scale) {
                    len = RoseLayout::pluginSegmentLength(
                        *m_scale, s, scaleLength, p * style.length);
                    if (style.offset > 0)
                        shift = RoseLayout::pluginSegmentLength(
                            *m_scale, s, scaleLength, style.offset);
                } else {
                    len = RoseLayout::builtInSegmentLength(p, diameter, s.ringCount, data);
                }
            }
            // A segment far beyond the image stays beyond it; the bound keeps its start plus
            // its length in int range for the style.
            const int start = qBound(-maxSegmentReach, toInt(shift + pos + 1), maxSegmentReach);
            const int shown = RoseLayout::clippedSegmentLength(
                start, qBound(-maxSegmentReach, len, maxSegmentReach), reach);
            if (shown != 0)
                m_style->draw(painter, QPoint(start, 0), QSize(shown, toInt(thickness)),
                    style.brush, style.width);
            // A shift moves only its own segment; the next one starts where this one ends.
            pos += len;
        }
        painter->rotate(step);
    }
}
