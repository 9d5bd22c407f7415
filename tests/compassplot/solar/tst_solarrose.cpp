#include "fakescale.h"
#include "hoursectors.h"
#include "qsolarrose.h"
#include "roseprobe.h"
#include "solarroselight3d.h"
#include "testsupport.h"
#include "windroselegend.h"

#include <QFile>
#include <QGuiApplication>
#include <QMetaMethod>
#include <QPainter>
#include <QSvgRenderer>
#include <QtTest>

#include <cmath>
#include <functional>
#include <iterator>
#include <limits>

namespace {

using RoseProbe::countedAt;
using TestSupport::countPixels;

// The first cells of the table's data rows (between the header row and the sum row).
QStringList rowLabels(QSolarRose &rose)
{
    QStringList lines;
    if (!rose.getTableData(&lines))
        return {};
    QStringList labels;
    bool inRows = false;
    for (const QString &line : std::as_const(lines)) {
        if (line.startsWith(QChar(0x03A3)))
            break;
        if (inRows)
            labels.append(line.section(QLatin1Char('\t'), 0, 0));
        else if (line.startsWith(rose.texts().speedDirectionText))
            inRows = true;
    }
    return labels;
}

QStringList hourLabels(std::initializer_list<int> hours)
{
    QStringList labels;
    for (int h : hours)
        labels.append(QStringLiteral("%1").arg(h, 2, 10, QLatin1Char('0')));
    return labels;
}

// Where the dial puts things, worked out from the rose's own measures.
struct DialPlaces
{
    QPoint centre;
    int r = 0; // distance of the pictures from the centre
    int r0 = 0; // radius of the white disc
    QSize box; // the box of one hour label
    QFont normal;
    QFont bold;

    explicit DialPlaces(const QSolarRose &rose, const QSize &imageSize)
    {
        centre = QPoint(imageSize.width() / 2, imageSize.height() / 2);
        const double d = rose.roseDiameter();
        normal = rose.font();
        bold = normal;
        bold.setWeight(QFont::Bold);
        r = int(d * 0.5 + QFontMetrics(bold).horizontalAdvance(QStringLiteral("00")) / 2);
        r0 = int(d * 0.5);
        box = rose.labelBoxSize();
    }

    // A picture's point at angle degrees (90 is straight up, 270 straight down).
    QPoint picture(double degrees) const
    {
        const double a = degrees * M_PI / 180;
        return centre + QPoint(int(std::cos(a) * -r), int(std::sin(a) * -r));
    }

    // The sun's area above the centre and the moon's below it.
    QRect sun() const
    {
        return QRect(picture(90) - QPoint(box.width() / 2, 5 + box.height() / 2), box);
    }
    QRect moon() const
    {
        return QRect(picture(270) - QPoint(box.width() / 2, box.height() / 2 - 5), box);
    }

    // The area that hour label k of n is written in.
    QRect hourLabel(int k, int n) const
    {
        const QFont font = k % 6 == 0 ? bold : normal;
        const QFontMetrics metrics(font);
        const QString text = QTime(0, 0).addSecs(k * (86400 / n)).toString("hh");
        const double b = (270.0 - k * 360.0 / n) * M_PI / 180;
        const QPoint anchor(int(std::cos(b) * 1.02 * r), int(std::sin(b) * -1.02 * r));
        const int baseline = centre.y() + anchor.y() + int(metrics.height() * 0.33);
        const int left = centre.x() + anchor.x() - metrics.horizontalAdvance(text) / 2;
        return QRect(left, baseline - metrics.ascent(), metrics.horizontalAdvance(text),
            metrics.ascent() + metrics.descent());
    }

    // The vector logo's area: at 245 degrees and fitted to 50 x 20 with the grid, else at
    // 233 degrees and fitted to 35 x 14 (the logo is 2.5 times as wide as high).
    QRect logo(bool grid) const
    {
        return grid ? QRect(picture(245) + QPoint(-16, -6), QSize(50, 20))
                    : QRect(picture(233) + QPoint(-5, -4), QSize(35, 14));
    }
};

bool isText(const QColor &c)
{
    return c.alpha() > 200 && qMax(c.red(), qMax(c.green(), c.blue())) < 50;
}

bool isSunny(const QColor &c)
{
    return c.red() > 200 && c.green() > 120 && c.blue() < 80;
}

bool isMoonBlue(const QColor &c)
{
    return c.blue() > c.red() + 30 && c.blue() > c.green() + 20 && c.blue() < 170;
}

bool isLogoBlue(const QColor &c)
{
    return c.blue() > c.red() + 80 && c.blue() > c.green() + 30;
}

// The day dial alone, painted on white as the rendering would paint it first.
QImage paintDial(QSolarRose &rose, const QSize &size = QSize(520, 520))
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(rose.font());
    rose.drawBackground(&painter);
    painter.end();
    return image;
}

// As countPixels, for the pixels of area that lie within radius of centre.
template <typename Predicate>
int countInDisc(
    const QImage &image, const QRect &area, const QPoint &centre, int radius, Predicate predicate)
{
    int found = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QPoint offset = QPoint(x, y) - centre;
            if (offset.x() * offset.x() + offset.y() * offset.y() <= radius * radius)
                found += predicate(image.pixelColor(x, y)) ? 1 : 0;
        }
    }
    return found;
}

// With the grid on, the outermost ring label and the scale's unit sign after it are written
// just inside and past the outer ring along the ring labels' direction (55 degrees, toward the
// lower right), where they may reach into the corner of label 21's area; probes of the labels
// leave this area out. It is taken where the last drawing placed them.
QRect unitSignArea(const QSolarRose &rose, const QPoint &centre)
{
    const QFontMetrics metrics(rose.font());
    const QVector<RoseLayout::RingLabel> labels = RoseLayout::ringLabels(
        rose.frame().rings, rose.frame().scale, QString(), metrics, rose.settings().labelAngle, 3);
    if (labels.isEmpty())
        return QRect();
    const RoseLayout::RingLabel &outer = labels.first();
    const QRect ink = metrics.tightBoundingRect(outer.text).translated(outer.baseline)
        | metrics.tightBoundingRect(QStringLiteral("%")).translated(outer.unitBaseline);
    return ink.translated(centre).adjusted(-8, -8, 8, 8);
}

// Strongly coloured: the bars, not the grey rings, the black texts or the pale dial.
bool isBar(const QColor &c)
{
    return c.alpha() > 200 && c.hsvSaturation() > 120 && c.value() > 60;
}

// A clear day: from 06:00 to 18:00 every ten minutes, rising to about 950 W/m2 at noon.
void addSunnyDay(QSolarRose &rose)
{
    for (int minutes = 6 * 60; minutes <= 18 * 60; minutes += 10) {
        const double phase = (minutes - 6 * 60) / (12.0 * 60) * M_PI;
        rose.addSolarMeasurement(QTime(0, 0).addSecs(minutes * 60), 950 * std::sin(phase));
    }
}

} // namespace

class TestSolarRose : public QObject
{
    Q_OBJECT
private slots:
    void constructionDefaults();
    void directionsCount_data();
    void directionsCount();
    void metaObjectMethods();
    void metaCallAppliesSolarRules();
    void castsByName();
    void gridOverridesLabels();
    void hourBinning_data();
    void hourBinning();
    void invalidTimeIsNotCounted();
    void rememberedSectorsCountAsTheAngles_data();
    void rememberedSectorsCountAsTheAngles();
    void nothingCountedShowsNumbers();
    void evenHours_data();
    void evenHours();
    void foldIntoTheSectorsTurn_data();
    void foldIntoTheSectorsTurn();
    void defaultClasses();
    void sectorLayout();
    void rebuildDropsEarlierLayout();
    void tableRows_data();
    void tableRows();
    void tableCorner();
    void setIntervals_data();
    void setIntervals();
    void setIntervalsThroughScalePlugin();
    void layoutMeasures();
    void wedgePath_data();
    void wedgePath();
    void barShading();
    void barsFarBeyondTheScale();
    void picturesCompiledIn_data();
    void picturesCompiledIn();
    void dialPictures_data();
    void dialPictures();
    void dialHourLabels_data();
    void dialHourLabels();
    void dialWithoutBackground();
    void sunnyDay_data();
    void sunnyDay();
};

void TestSolarRose::constructionDefaults()
{
    QSolarRose rose;
    QCOMPARE(rose.settings().imageHeight, 520);
    QCOMPARE(rose.directionsCount(), 24);
    QCOMPARE(rose.settings().dataDrawSizeFactor, 1.0);
    QCOMPARE(rose.texts().speedDirectionText, QString::fromUtf8("Ura[hh] \\ Sončno sevanje[W/m2]"));
    QVERIFY(dynamic_cast<SolarRoseLight3D *>(rose.style()));
    QCOMPARE(rose.legendPrecision(), 1);
    QCOMPARE(rose.settings().fixedScaleMaximum, -1.0);
    QCOMPARE(rose.settings().fixedScaleSegments, -1);
    QCOMPARE(rose.fullCircle(), 360.0);
    QCOMPARE(rose.settings().labelAngle, 55.0);
    QVERIFY(rose.rebuildNeeded());
    QCOMPARE(rose.texts().legendTitle, QString::fromUtf8("Globalno\nsončno sevanje\n[W/m2]"));
    QCOMPARE(rose.texts().unitText, QStringLiteral("W/m2"));
    QCOMPARE(rose.font().pointSize(), 26);
    QVERIFY(rose.hourLabelOverrides().isEmpty());
}

void TestSolarRose::directionsCount_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("sectors");

    for (int divisor : { 1, 2, 3, 4, 6, 8, 12, 24 })
        QTest::addRow("%d divides the day", divisor) << divisor << true << divisor;
    QTest::newRow("5 becomes 6") << 5 << false << 6;
    QTest::newRow("7 becomes 8") << 7 << false << 8;
    QTest::newRow("9 becomes 12") << 9 << false << 12;
    QTest::newRow("11 becomes 12") << 11 << false << 12;
    QTest::newRow("13 becomes 24") << 13 << false << 24;
    QTest::newRow("23 becomes 24") << 23 << false << 24;
    QTest::newRow("48 becomes 24") << 48 << false << 24;
    // No count of sectors follows from these; the previous count (8) stays.
    QTest::newRow("0 is refused") << 0 << false << 8;
    QTest::newRow("-6 is refused") << -6 << false << 8;
}

void TestSolarRose::directionsCount()
{
    QFETCH(int, count);
    QFETCH(bool, accepted);
    QFETCH(int, sectors);

    QSolarRose rose;
    QVERIFY(rose.setDirectionsCount(8));
    rose.addSolarMeasurement(QTime(12, 0), 250);
    QVERIFY(!rose.rebuildNeeded());

    QCOMPARE(rose.setDirectionsCount(count), accepted);
    QCOMPARE(rose.directionsCount(), sectors);
    // A refused count leaves the sectors as they are; any other count rebuilds them.
    QCOMPARE(rose.rebuildNeeded(), count > 0);
    rose.addSolarMeasurement(QTime(12, 0), 250);
    QCOMPARE(rose.spokes().size(), sectors);
}

void TestSolarRose::metaObjectMethods()
{
    const QList<QPair<QByteArray, QByteArray>> expected = {
        { "addSolarMeasurement(QTime,double)", "time,value" },
        // The solar rose registers the second name as highLimitValue, though it is a width.
        { "addInterval(double,double,QColor)", "lowLimitValue,highLimitValue,color" },
        { "addIntervalRange(double,double,QBrush,double,double,double)",
            "min,max,brush,width,offset,length" },
        { "addIntervalRange(double,double,QBrush,double,double)", "min,max,brush,width,offset" },
        { "addIntervalRange(double,double,QBrush,double)", "min,max,brush,width" },
        { "addIntervalRange(double,double,QBrush)", "min,max,brush" },
        { "setImageHeight(int)", "height" },
        { "setDirectionsCount(int)", "directionsCount" },
        { "setFont(QFont)", "font" },
        { "setStationText(QString)", "stationText" },
        { "setParameterText(QString)", "parameterText" },
        { "setIntervalText(QString)", "intervalText" },
        { "setStatisticsText(QString)", "statisticsText" },
        { "setSpeedDirectionText(QString)", "speedDirectionText" },
        { "setUnitText(QString)", "unitText" },
        { "addMeasurement(double,double)", "windSpeed,windDirection" },
        { "drawImage(QImage&)", "image" },
        { "getTableData(QStringList*)", "data" },
        { "setIntervals(double,double,int,bool)", "min,max,segments_count,limits" },
        { "setLegendPrecision(int)", "precision" },
        { "setLegendTitle(QString)", "title" },
        { "clearMeasurements()", "" },
        { "setDataDrawSizeFactor(double)", "factor" },
        { "setFixedScale(double,int)", "max_percent,segments" },
        { "setLegendText(QString,bool)", "text,warning" },
        { "setFixedLegendWidth(int)", "width" },
        { "setAllDataCount(int)", "allDataCount" },
        { "setEnableBackground(bool)", "enable" },
        { "setEnableLegend(bool)", "enable" },
        { "setEnableGrid(bool)", "enable" },
    };

    const QMetaObject &meta = QSolarRose::staticMetaObject;
    QCOMPARE(meta.className(), "QSolarRose");
    QCOMPARE(meta.superClass(), &QWindRose::staticMetaObject);
    QVERIFY(RoseProbe::invokablesAre(meta, expected));
}

void TestSolarRose::metaCallAppliesSolarRules()
{
    QSolarRose rose;
    bool result = true;
    QVERIFY(QMetaObject::invokeMethod(
        &rose, "setDirectionsCount", Q_RETURN_ARG(bool, result), Q_ARG(int, 7)));
    QCOMPARE(result, false);
    QCOMPARE(rose.directionsCount(), 8);

    // The shortest form supplies width 1, offset -1 and length 1.
    QVERIFY(QMetaObject::invokeMethod(&rose, "addIntervalRange", Q_RETURN_ARG(bool, result),
        Q_ARG(double, 0.0), Q_ARG(double, 10.0), Q_ARG(QBrush, QBrush(Qt::red))));
    QVERIFY(result);
    const Interval key = Interval::fromLimits(0.0, 10.0);
    QVERIFY(rose.classStyles().contains(key));
    QCOMPARE(rose.classStyles().value(key), Spoke(QBrush(Qt::red), 1.0, -1.0, 1.0));

    QVERIFY(QMetaObject::invokeMethod(&rose, "addSolarMeasurement", Q_RETURN_ARG(bool, result),
        Q_ARG(QTime, QTime(12, 0)), Q_ARG(double, 5.0)));
    QVERIFY(result);
    QCOMPARE(rose.counts().total(), 1);
}

void TestSolarRose::castsByName()
{
    QSolarRose rose;
    auto *solar = static_cast<SolarRoseInterface *>(&rose);
    auto *wind = static_cast<WindRoseInterface *>(static_cast<QWindRose *>(&rose));

    QCOMPARE(rose.qt_metacast("QSolarRose"), static_cast<void *>(&rose));
    QCOMPARE(rose.qt_metacast("SolarRoseInterface"), static_cast<void *>(solar));
    QCOMPARE(rose.qt_metacast(SolarRoseInterface_iid), static_cast<void *>(solar));
    QCOMPARE(rose.qt_metacast("QWindRose"), static_cast<void *>(static_cast<QWindRose *>(&rose)));
    QCOMPARE(rose.qt_metacast(WindRoseInterface_iid), static_cast<void *>(wind));
    QCOMPARE(rose.qt_metacast("WindRoseInterface"), static_cast<void *>(wind));
    QCOMPARE(rose.qt_metacast("QPaintable"), static_cast<void *>(static_cast<QPaintable *>(&rose)));
    QVERIFY(!rose.qt_metacast("Spoke"));

    // Either path reaches the solar rules.
    QCOMPARE(wind->setDirectionsCount(5), false);
    QCOMPARE(rose.directionsCount(), 6);
    QCOMPARE(solar->setDirectionsCount(12), true);
    QCOMPARE(rose.directionsCount(), 12);
}

void TestSolarRose::gridOverridesLabels()
{
    QSolarRose rose;
    QVERIFY(rose.setEnableGrid(true));
    QCOMPARE(rose.hourLabelOverrides().keys(), QList<int>({ 21, 22 }));
    QVERIFY(rose.hourLabelOverrides().value(21).isEmpty());
    QVERIFY(rose.settings().enableGrid);
    QVERIFY(rose.setEnableGrid(false));
    QVERIFY(rose.hourLabelOverrides().isEmpty());
    QVERIFY(!rose.settings().enableGrid);
}

void TestSolarRose::hourBinning_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("sector");
    QTest::addColumn<int>("classIndex");

    // Sector k is labelled 12:00 + k hours and ends two minutes past its label's hour.
    QTest::newRow("12:00 in 12") << QTime(12, 0) << 250.0 << 0 << 3;
    QTest::newRow("13:00 in 13") << QTime(13, 0) << 250.0 << 1 << 3;
    QTest::newRow("00:00 in 00") << QTime(0, 0) << 250.0 << 12 << 3;
    // The first sector starts at 11:02 sharp: the minutes before stay with 11.
    QTest::newRow("11:00 in 11") << QTime(11, 0) << 250.0 << 23 << 3;
    QTest::newRow("11:01 in 11") << QTime(11, 1) << 250.0 << 23 << 3;
    QTest::newRow("11:01:59 in 11") << QTime(11, 1, 59) << 250.0 << 23 << 3;
    QTest::newRow("11:02 opens 12") << QTime(11, 2) << 250.0 << 0 << 3;
    QTest::newRow("11:10 in 12") << QTime(11, 10) << 250.0 << 0 << 3;
    QTest::newRow("11:30 in 12") << QTime(11, 30) << 250.0 << 0 << 3;
    QTest::newRow("12:01:59.999 still in 12") << QTime(12, 1, 59, 999) << 250.0 << 0 << 3;
    QTest::newRow("12:02 opens 13") << QTime(12, 2) << 250.0 << 1 << 3;
    QTest::newRow("23:59:59 in 00") << QTime(23, 59, 59) << 250.0 << 12 << 3;
    QTest::newRow("06:00 in 06") << QTime(6, 0) << 250.0 << 18 << 3;

    // A value belongs to the class whose upper limit it reaches.
    QTest::newRow("100 in 0-100") << QTime(12, 0) << 100.0 << 0 << 1;
    QTest::newRow("0 in -500-0") << QTime(12, 0) << 0.0 << 0 << 0;
    QTest::newRow("-499.9 in -500-0") << QTime(12, 0) << -499.9 << 0 << 0;
    QTest::newRow("98900 in the top class") << QTime(12, 0) << 98900.0 << 0 << 7;
    QTest::newRow("-500 is not counted") << QTime(12, 0) << -500.0 << -1 << -1;
    QTest::newRow("98900.5 is not counted") << QTime(12, 0) << 98900.5 << -1 << -1;
}

void TestSolarRose::hourBinning()
{
    QFETCH(QTime, time);
    QFETCH(double, value);
    QFETCH(int, sector);
    QFETCH(int, classIndex);

    QSolarRose rose;
    QVERIFY(rose.addSolarMeasurement(time, value));
    QCOMPARE(countedAt(rose), qMakePair(sector, classIndex));
    QCOMPARE(rose.counts().total(), sector < 0 ? 0 : 1);
    if (sector >= 0) {
        const Interval key = std::next(rose.spokes().cbegin(), sector).key();
        QCOMPARE(rose.sectorLabel(key, sector), rowLabels(rose).value(sector));
    }
}

void TestSolarRose::invalidTimeIsNotCounted()
{
    QSolarRose rose;
    QVERIFY(rose.addSolarMeasurement(QTime(), 250));
    QVERIFY(rose.addSolarMeasurement(QTime(25, 0), 250));
    QCOMPARE(rose.counts().total(), 0);
    QCOMPARE(rose.spokes().size(), 24);
}

using RoseChange = std::function<void(QSolarRose &)>;
Q_DECLARE_METATYPE(RoseChange)

// The sector of every whole second is remembered after its first measurement: the counts must
// stay those of addMeasurement with the time's angle, over every second of the day, for times
// with milliseconds, odd values, and when the sectors or their steps change in between.
void TestSolarRose::rememberedSectorsCountAsTheAngles_data()
{
    QTest::addColumn<int>("sectors");
    QTest::addColumn<bool>("ownClasses");
    QTest::addColumn<RoseChange>("change");

    const RoseChange nothing = [](QSolarRose &) {};
    for (int n : { 24, 8, 1 })
        QTest::addRow("%d sectors", n) << n << false << nothing;
    QTest::newRow("own classes") << 24 << true << nothing;
    QTest::newRow("sector count changed")
        << 24 << false << RoseChange([](QSolarRose &r) { r.setDirectionsCount(6); });
    QTest::newRow("circle changed")
        << 24 << false << RoseChange([](QSolarRose &r) { r.setFullCircle(300); });
    QTest::newRow("classes changed")
        << 12 << false
        << RoseChange([](QSolarRose &r) { r.addInterval(1500, 100, QColor(Qt::red)); });
}

void TestSolarRose::rememberedSectorsCountAsTheAngles()
{
    QFETCH(int, sectors);
    QFETCH(bool, ownClasses);
    QFETCH(RoseChange, change);

    QSolarRose remembering;
    QSolarRose reference;
    for (QSolarRose *rose : { &remembering, &reference }) {
        rose->setDirectionsCount(sectors);
        if (ownClasses) {
            rose->addInterval(-1, 1, QColor(Qt::blue));
            rose->addInterval(0, 250.5, QColor(Qt::green));
            rose->addInterval(250.5, 500, QColor(Qt::yellow));
        }
    }
    const auto measure = [&](const QTime &time, double value) {
        remembering.addSolarMeasurement(time, value);
        reference.addMeasurement(value, reference.timeToAngle(time));
    };
    const double values[] = { 0.0, 0.3, 120.0, 250.5, 799.9, 1200.0, -5.0,
        std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity() };
    for (int pass = 0; pass < 2; ++pass) {
        for (int second = 0; second < 86400; second += pass == 0 ? 1 : 7) {
            const QTime time = QTime::fromMSecsSinceStartOfDay(second * 1000 + (second % 3) * 499);
            measure(time, values[(second + pass) % std::size(values)]);
        }
        if (pass == 0) {
            change(remembering);
            change(reference);
        }
    }
    QStringList expected;
    QStringList actual;
    reference.getTableData(&expected);
    remembering.getTableData(&actual);
    QCOMPARE(actual, expected);
    QCOMPARE(remembering.counts().total(), reference.counts().total());
}

// A column without data lines: the chart gets its classes and a record count of 0 and nothing
// else. Every number it writes is a number.
void TestSolarRose::nothingCountedShowsNumbers()
{
    QSolarRose rose;
    rose.setDefaultIntervals();
    rose.setAllDataCount(0);
    rose.setLegendPrecision(0);
    QImage image;
    QVERIFY(rose.drawImage(image));
    QStringList lines;
    QVERIFY(rose.getTableData(&lines));
    QCOMPARE(lines.size(), 4 + 1 + 24 + 1);
    for (const QString &line : std::as_const(lines))
        QVERIFY2(!line.contains(QLatin1String("nan"), Qt::CaseInsensitive), qPrintable(line));
    QCOMPARE(lines.last(), QString(QChar(0x03A3)) + QStringLiteral("\t0.00").repeated(8) + '\t');
    for (int i = 0; i < rose.intervals().size(); ++i)
        QVERIFY(!rose.legend()->labelText(i).contains(QLatin1String("nan")));
}

void TestSolarRose::evenHours_data()
{
    QTest::addColumn<int>("sectors");
    for (int divisor : { 24, 12, 8, 6, 4, 3, 2, 1 })
        QTest::addRow("%d sectors", divisor) << divisor;
}

// A day of minute data with one constant value: every sector holds the same number of minutes,
// so every row of the table shows the same share.
void TestSolarRose::evenHours()
{
    QFETCH(int, sectors);
    QSolarRose rose;
    QVERIFY(rose.setDirectionsCount(sectors));
    for (int minute = 0; minute < 24 * 60; ++minute)
        rose.addSolarMeasurement(QTime(0, 0).addSecs(minute * 60), 250);
    QCOMPARE(rose.counts().total(), 24 * 60);
    QImage image;
    QVERIFY(rose.drawImage(image));

    QStringList lines;
    QVERIFY(rose.getTableData(&lines));
    const QString share = QString::number(100.0 / sectors, 'f', 2);
    const QStringList labels = rowLabels(rose);
    QCOMPARE(labels.size(), sectors);
    for (const QString &line : std::as_const(lines)) {
        if (!labels.contains(line.section(QLatin1Char('\t'), 0, 0))
            || line.startsWith(QChar(0x03A3)))
            continue;
        // The hour's total closes the row; the class 200-300 holds all of it.
        QCOMPARE(line.section(QLatin1Char('\t'), -1), share);
        QCOMPARE(line.section(QLatin1Char('\t'), 4, 4), share);
    }
}

void TestSolarRose::foldIntoTheSectorsTurn_data()
{
    QTest::addColumn<double>("sectorWidth");
    QTest::addColumn<double>("angle");
    QTest::addColumn<double>("folded");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // 24 sectors: the turn runs from -14.5 (11:02) up to just below 345.5 (11:02 again).
    QTest::newRow("12:00 folds to 0") << 15.0 << 360.0 << 0.0;
    QTest::newRow("11:01 stays at the end") << 15.0 << 345.25 << 345.25;
    QTest::newRow("11:02 starts the turn") << 15.0 << 345.5 << -14.5;
    QTest::newRow("just below the start") << 15.0 << -14.75 << 345.25;
    QTest::newRow("many turns above") << 15.0 << 360.0 * 1000 + 90 << 90.0;
    QTest::newRow("12 sectors: 10:02 starts the turn") << 30.0 << 330.5 << -29.5;
    QTest::newRow("nan stays nan") << 15.0 << nan << nan;
}

void TestSolarRose::foldIntoTheSectorsTurn()
{
    QFETCH(double, sectorWidth);
    QFETCH(double, angle);
    QFETCH(double, folded);
    const double result = HourSectors::fold(angle, sectorWidth);
    if (std::isnan(folded))
        QVERIFY(std::isnan(result));
    else
        QCOMPARE(result, folded);
}

void TestSolarRose::defaultClasses()
{
    QSolarRose rose;
    rose.addSolarMeasurement(QTime(12, 0), 250);

    const QList<QPair<Interval, QColor>> expected = {
        { Interval::fromLimits(-500, 0), QColor("#0000ff") },
        { Interval::fromLimits(0, 100), QColor("#7a7a7a") },
        { Interval::fromLimits(100, 200), QColor("#0000ff") },
        { Interval::fromLimits(200, 300), QColor("#00ff00") },
        { Interval::fromLimits(300, 500), QColor("#ffff00") },
        { Interval::fromLimits(500, 800), QColor("#ff0000") },
        { Interval::fromLimits(800, 1100), QColor("#591400") },
        { Interval::fromLimits(1100, 98900), QColor("#e400ff") },
    };
    QCOMPARE(rose.intervals().size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        QCOMPARE(rose.intervals().at(i), expected.at(i).first);
        QCOMPARE(rose.classStyles().value(expected.at(i).first),
            Spoke(QBrush(expected.at(i).second), 1.0, -1.0, 1.0));
    }
}

void TestSolarRose::sectorLayout()
{
    QSolarRose rose;
    // With no classes every sector still comes, with nothing to count in.
    rose.buildSectors(rose.fullCircle());
    QVERIFY(!rose.rebuildNeeded());
    QCOMPARE(rose.spokes().size(), 24);
    QCOMPARE(rose.counts().geometry().width, 15.0);
    // Angles are folded into the turn the sectors cover.
    QCOMPARE(rose.counts().geometry().rangeLow, -14.5);
    QCOMPARE(rose.counts().geometry().rangeHigh, 345.5);
    double start = -14.5;
    for (auto it = rose.spokes().cbegin(); it != rose.spokes().cend(); ++it) {
        QCOMPARE(it.key(), Interval(start, 15.0));
        QVERIFY(it.value().isEmpty());
        start += 15.0;
    }
}

void TestSolarRose::rebuildDropsEarlierLayout()
{
    QSolarRose rose;
    rose.addSolarMeasurement(QTime(12, 0), 250);
    QCOMPARE(rose.spokes().size(), 24);
    QVERIFY(rose.setDirectionsCount(12));
    rose.addSolarMeasurement(QTime(14, 0), 250);
    QCOMPARE(rose.spokes().size(), 12);
    // The earlier count went with the earlier layout; only the new one is held.
    QCOMPARE(countedAt(rose), qMakePair(1, 3));
}

void TestSolarRose::tableRows_data()
{
    QTest::addColumn<int>("sectors");
    QTest::addColumn<QStringList>("labels");

    QTest::newRow("24") << 24
                        << hourLabels({ 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 0, 1, 2, 3,
                               4, 5, 6, 7, 8, 9, 10, 11 });
    QTest::newRow("12") << 12 << hourLabels({ 12, 14, 16, 18, 20, 22, 0, 2, 4, 6, 8, 10 });
    QTest::newRow("1") << 1 << hourLabels({ 12 });
}

void TestSolarRose::tableRows()
{
    QFETCH(int, sectors);
    QFETCH(QStringList, labels);

    QSolarRose rose;
    QVERIFY(rose.setDirectionsCount(sectors));
    rose.addSolarMeasurement(QTime(12, 0), 250);
    QCOMPARE(rowLabels(rose), labels);
}

void TestSolarRose::tableCorner()
{
    QSolarRose rose;
    rose.addSolarMeasurement(QTime(12, 0), 250);
    QStringList lines;
    QVERIFY(rose.getTableData(&lines));
    QVERIFY(lines.first().startsWith(QString::fromUtf8("Ura[hh] \\ Sončno sevanje[W/m2]\t")));
    QVERIFY(rose.setSpeedDirectionText(QStringLiteral("x")));
    QVERIFY(rose.getTableData(&lines));
    QCOMPARE(lines.first().section(QLatin1Char('\t'), 0, 0), QStringLiteral("x"));
}

void TestSolarRose::setIntervals_data()
{
    QTest::addColumn<bool>("bound"); // to a stand-in scale that keeps the count, step 200
    QTest::addColumn<int>("segments");
    QTest::addColumn<bool>("limits");
    QTest::addColumn<QList<double>>("bounds");
    QTest::addColumn<QStringList>("colours");

    const double open = 2147483647.0;
    QTest::newRow("five with limits")
        << true << 5 << true << QList<double>({ -open, 0, 200, 400, 600, 800, 1000, open })
        << QStringList(
               { "#0000ff", "#0000ff", "#ffff00", "#00ff00", "#ff0000", "#7a7a7a", "#e400ff" });
    QTest::newRow("three without limits")
        << true << 3 << false << QList<double>({ 0, 200, 400, 600 })
        << QStringList({ "#0000ff", "#ffff00", "#00ff00" });
    QTest::newRow("none") << true << 0 << false << QList<double>() << QStringList();
    // Past the eighth class the colours start over instead of running off the table.
    QTest::newRow("ten with limits")
        << true << 10 << true
        << QList<double>({ -open, 0, 200, 400, 600, 800, 1000, 1200, 1400, 1600, 1800, 2000, open })
        << QStringList({ "#0000ff", "#0000ff", "#ffff00", "#00ff00", "#ff0000", "#7a7a7a",
               "#e400ff", "#591400", "#742112", "#0000ff", "#ffff00", "#00ff00" });
    // Without a scale plug-in the classes are only dropped.
    QTest::newRow("no scale plug-in") << false << 5 << true << QList<double>() << QStringList();
}

void TestSolarRose::setIntervals()
{
    QFETCH(bool, bound);
    QFETCH(int, segments);
    QFETCH(bool, limits);
    QFETCH(QList<double>, bounds);
    QFETCH(QStringList, colours);

    FakeScale scale;
    scale.gridIntervals = 0; // the requested count
    scale.fixedStep = 200;
    RoseProbe::ScaleBound<QSolarRose> rose;
    rose.useScale(bound ? &scale : nullptr);
    rose.addSolarMeasurement(QTime(12, 0), 250);

    QCOMPARE(rose.setIntervals(0, 1000, segments, limits), false);
    QVERIFY(rose.spokes().isEmpty());
    QCOMPARE(rose.intervals().size(), colours.size());
    for (int i = 0; i < colours.size(); ++i) {
        const Interval interval = rose.intervals().at(i);
        QCOMPARE(interval.lowLimit, bounds.at(i));
        QCOMPARE(interval.highLimit, bounds.at(i + 1));
        QCOMPARE(rose.classStyles().value(interval).brush.color(), QColor(colours.at(i)));
    }
    // The next measurement counts in these classes, or brings the default ones back.
    rose.addSolarMeasurement(QTime(12, 0), 250);
    QCOMPARE(rose.intervals().size(), colours.isEmpty() ? 8 : colours.size());
    QCOMPARE(rose.spokes().size(), 24);
}

void TestSolarRose::setIntervalsThroughScalePlugin()
{
    QSolarRose rose;
    if (!rose.scale())
        QSKIP("the scale plug-in is not built beside the tests");
    QCOMPARE(rose.setIntervals(0, 1000, 5, true), false);

    // Open classes at both ends, and between them a ladder of equal steps that covers the
    // requested range, each class starting where the one before it ends.
    const QList<Interval> classes = rose.intervals();
    QVERIFY(classes.size() >= 3);
    QCOMPARE(classes.first().lowLimit, -2147483647.0);
    QCOMPARE(classes.last().highLimit, 2147483647.0);
    const double step = classes.at(1).size;
    QVERIFY(step > 0);
    for (int i = 1; i < classes.size(); ++i)
        QCOMPARE(classes.at(i).lowLimit, classes.at(i - 1).highLimit);
    for (int i = 1; i < classes.size() - 1; ++i)
        QCOMPARE(classes.at(i).size, step);
    QVERIFY(classes.at(1).lowLimit <= 0);
    QVERIFY(classes.at(classes.size() - 2).highLimit >= 1000);

    rose.addSolarMeasurement(QTime(12, 0), 250);
    QCOMPARE(rose.counts().total(), 1);
    QCOMPARE(rose.spokes().first().size(), classes.size());
}

void TestSolarRose::layoutMeasures()
{
    QSolarRose rose;
    // The rose leaves room for a row of hour labels above and below.
    const QSize box = rose.labelBoxSize();
    QVERIFY(box.height() > QFontMetrics(rose.font()).height() / 2);
    QCOMPARE(box.width(), int(box.height() * 1.5));
    QCOMPARE(rose.roseDiameter(), 520.0 - (2 * box.height() + 20));
    QCOMPARE(rose.outerRingSize(), 0.0);

    // Bars thicken outward and thin out as the hours get more numerous; the number of classes
    // does not matter.
    rose.addSolarMeasurement(QTime(12, 0), 250);
    const double inner = rose.ringRadius(0);
    QVERIFY(inner > 0);
    QCOMPARE(rose.ringRadius(1), inner * 1.5);
    QCOMPARE(rose.outerRingSize(), 2 * rose.ringRadius(7));
    rose.addIntervalRange(98900, 99900, QBrush(Qt::black));
    rose.addSolarMeasurement(QTime(12, 0), 250);
    QCOMPARE(rose.ringRadius(0), inner);
    QVERIFY(rose.setDirectionsCount(12));
    rose.addSolarMeasurement(QTime(12, 0), 250);
    QCOMPARE(rose.ringRadius(0), inner * 2);
    rose.setDataDrawSizeFactor(0.5);
    QCOMPARE(rose.ringRadius(0), inner);
}

void TestSolarRose::wedgePath_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<int>("side"); // -1: the wedge lies above the axis (y < 0), 1: below

    QTest::newRow("positive width turns up") << 1.0 << -1;
    QTest::newRow("negative width turns down") << -1.0 << 1;
    QTest::newRow("zero width turns down") << 0.0 << 1;
}

void TestSolarRose::wedgePath()
{
    QFETCH(double, width);
    QFETCH(int, side);

    const int inner = 100;
    const QSize extent(50, 20);
    const QPainterPath path = SolarRoseLight3D::wedgePath(inner, extent, width);
    const QRectF bounds = path.boundingRect();
    QCOMPARE(bounds.right(), 150.0);
    if (width == 0.0) {
        // No sweep: the wedge collapses onto the axis.
        QCOMPARE(bounds.height(), 0.0);
        return;
    }
    const double sweep = std::tan(std::fabs(width) * 20 / 150) * 57.29577951308232;
    const double reach = 150 * std::sin(sweep * M_PI / 180);
    QVERIFY(std::fabs(bounds.height() - reach) < 0.5);
    const QPointF inside(125, side * reach / 4);
    QVERIFY(path.contains(inside));
    QVERIFY(!path.contains(QPointF(125, -side * reach / 4)));
    QVERIFY(!path.contains(QPointF(95, side * 2)));
    QVERIFY(!path.contains(QPointF(155, side * 2)));
    QVERIFY(SolarRoseLight3D::wedgePath(0, QSize(0, 20), width).isEmpty());
}

void TestSolarRose::barsFarBeyondTheScale()
{
    // On a tiny fixed scale every bar fits an int on its own, but not where the last one ends.
    FakeScale scale;
    RoseProbe::ScaleBound<QSolarRose> rose;
    rose.useScale(&scale);
    rose.setFixedScale(5e-6, 2);
    for (double value : { 50.0, 150.0, 250.0 })
        rose.addSolarMeasurement(QTime(12, 0), value);
    QImage image;
    QVERIFY(rose.drawImage(image));
    QCOMPARE(image.height(), 520);
}

void TestSolarRose::barShading()
{
    // One bar from 40 to 140 pixels along the x axis, 30 pixels thick, drawn upward from the
    // axis at y = 100 of the image.
    const auto drawBar = [](const QColor &colour, const QBrush &brush) {
        QImage image(200, 200, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.translate(0, 100);
        painter.setPen(colour);
        SolarRoseLight3D style(QPoint(0, 0), 1.0);
        style.draw(&painter, QPoint(40, 0), QSize(100, 30), brush, 1.0);
        painter.end();
        return image;
    };
    const QImage shaded = drawBar(QColor(200, 0, 0, 255), QBrush(Qt::red));
    TestSupport::saveOutput(shaded, QStringLiteral("solar-bar-shaded.png"));
    // The wedge reaches about 20 pixels above the axis at x = 130.
    const QColor pale = shaded.pixelColor(130, 100 - 17);
    const QColor full = shaded.pixelColor(130, 100 - 4);
    QVERIFY2(pale.green() > full.green() + 40, qPrintable(pale.name() + " " + full.name()));
    QVERIFY(TestSupport::colorNear(full, QColor(200, 0, 0), 40));
    // The edge line along the axis is nearly black.
    QVERIFY(shaded.pixelColor(90, 100).value() < 90);
    // Nothing below the axis.
    QCOMPARE(shaded.pixelColor(90, 104), QColor(Qt::white));

    const QImage flat = drawBar(QColor(200, 0, 0, 254), QBrush(Qt::red));
    QVERIFY(
        TestSupport::colorNear(flat.pixelColor(130, 100 - 17), flat.pixelColor(130, 100 - 4), 2));

    QImage texture(4, 4, QImage::Format_ARGB32);
    texture.fill(QColor(0, 0, 255));
    const QImage textured = drawBar(QColor(200, 0, 0, 255), QBrush(texture));
    QVERIFY(TestSupport::colorNear(textured.pixelColor(130, 100 - 10), QColor(0, 0, 255), 2));
}

void TestSolarRose::picturesCompiledIn_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("sun") << QStringLiteral(":/solarRoseImages/sun.svg");
    QTest::newRow("moon") << QStringLiteral(":/solarRoseImages/moon.svg");
    QTest::newRow("logo") << QStringLiteral(":/solarRoseImages/ORVELA.svg");
    QTest::newRow("raster logo") << QStringLiteral(":/solarRoseImages/ORVELA.png");
}

void TestSolarRose::picturesCompiledIn()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    if (path.endsWith(QLatin1String(".svg"))) {
        QSvgRenderer renderer(path);
        QVERIFY(renderer.isValid());
        QVERIFY(!renderer.defaultSize().isEmpty());
    } else {
        QVERIFY(!QImage(path).isNull());
    }
}

void TestSolarRose::dialPictures_data()
{
    QTest::addColumn<bool>("grid");
    QTest::newRow("grid off") << false;
    QTest::newRow("grid on") << true;
}

void TestSolarRose::dialPictures()
{
    QFETCH(bool, grid);
    QSolarRose rose;
    rose.setEnableGrid(grid);
    const QImage image = paintDial(rose);
    TestSupport::saveOutput(
        image, QStringLiteral("solar-dial-grid-%1.png").arg(grid ? "on" : "off"));
    const DialPlaces places(rose, image.size());
    const QPoint c = places.centre;

    // Light at noon above, dark at midnight below, white where the data go.
    QVERIFY(TestSupport::colorNear(image.pixelColor(c.x(), 8), QColor(255, 252, 200), 12));
    QVERIFY(TestSupport::colorNear(image.pixelColor(c.x(), 511), QColor(131, 130, 129), 12));
    QCOMPARE(image.pixelColor(c), QColor(Qt::white));
    QCOMPARE(image.pixelColor(c.x(), c.y() - places.r0 + 3), QColor(Qt::white));
    QCOMPARE(image.pixelColor(1, 1), QColor(Qt::white));

    // The sun stands above the centre, the moon below it.
    const QRect sun = places.sun();
    const QRect moon = places.moon();
    QVERIFY(sun.center().y() < c.y() - places.r0);
    QVERIFY(moon.center().y() > c.y() + places.r0);
    QVERIFY(countPixels(image, sun, isSunny) > sun.width() * sun.height() / 10);
    QCOMPARE(countPixels(image, moon, isSunny), 0);
    QVERIFY(countPixels(image, moon, isMoonBlue) > moon.width() * moon.height() / 10);
    QCOMPARE(countPixels(image, sun, isMoonBlue), 0);

    // The logo at the lower right, larger and further round with the grid.
    const QRect logo = places.logo(grid);
    const QRect otherLogo = places.logo(!grid);
    QVERIFY(logo.left() > c.x() && logo.top() > c.y());
    QVERIFY(countPixels(image, logo, isLogoBlue) > logo.width() * logo.height() / 8);
    QCOMPARE(countPixels(image, otherLogo, isLogoBlue), 0);
}

void TestSolarRose::dialHourLabels_data()
{
    QTest::addColumn<int>("sectors");
    QTest::addColumn<bool>("grid");
    QTest::addColumn<QList<int>>("blank");

    // 00 and 12 are where the moon and the sun stand; with the grid on the logo takes the
    // place of 21 and 22.
    QTest::newRow("24, grid off") << 24 << false << QList<int>({ 0, 12 });
    QTest::newRow("24, grid on") << 24 << true << QList<int>({ 0, 12, 21, 22 });
    QTest::newRow("12, grid off") << 12 << false << QList<int>({ 0, 6 });
}

void TestSolarRose::dialHourLabels()
{
    QFETCH(int, sectors);
    QFETCH(bool, grid);
    QFETCH(QList<int>, blank);

    QSolarRose rose;
    QVERIFY(rose.setDirectionsCount(sectors));
    rose.setEnableGrid(grid);
    const QImage image = paintDial(rose);
    const DialPlaces places(rose, image.size());

    for (int k = 0; k < sectors; ++k) {
        const QRect area = places.hourLabel(k, sectors);
        // The label lies outside the white disc, on the shaded ring.
        const QPoint middle = area.center() - places.centre;
        QVERIFY(std::hypot(middle.x(), middle.y()) > places.r0);
        const int ink = countPixels(image, area, isText);
        if (blank.contains(k))
            QVERIFY2(ink == 0, qPrintable(QStringLiteral("label %1 written").arg(k)));
        else
            QVERIFY2(ink > 10, qPrintable(QStringLiteral("label %1 missing").arg(k)));
    }
}

void TestSolarRose::dialWithoutBackground()
{
    QSolarRose rose;
    rose.setEnableBackground(false);
    QImage white(520, 520, QImage::Format_ARGB32);
    white.fill(Qt::white);
    QCOMPARE(paintDial(rose), white);
}

void TestSolarRose::sunnyDay_data()
{
    dialPictures_data();
}

void TestSolarRose::sunnyDay()
{
    QFETCH(bool, grid);
    QSolarRose rose;
    rose.setStationText(QStringLiteral("Station"));
    rose.setParameterText(QStringLiteral("Global radiation"));
    rose.setEnableGrid(grid);
    addSunnyDay(rose);
    QImage image;
    QVERIFY(rose.drawImage(image));
    TestSupport::saveOutput(
        image, QStringLiteral("solar-sunny-day-grid-%1.png").arg(grid ? "on" : "off"));

    // The rose keeps the left square; the legend widens the image to the right.
    QCOMPARE(image.height(), 520);
    QVERIFY(image.width() > 520);
    const DialPlaces places(rose, QSize(520, 520));
    const QPoint c = places.centre;

    // Bars only in the daylight half: above the line from 06 to 18 through the centre.
    const int reach = places.r0 - 2;
    const QRect upper(c.x() - reach, c.y() - reach, 2 * reach, reach - 12);
    const QRect lower(c.x() - reach, c.y() + 12, 2 * reach, reach - 12);
    QVERIFY(countInDisc(image, upper, c, reach, isBar) > 1000);
    QCOMPARE(countInDisc(image, lower, c, reach, isBar), 0);
    // Around noon the bars reach well out from the centre.
    QVERIFY(countPixels(image, QRect(c.x() - 30, c.y() - reach, 60, reach / 2), isBar) > 100);

    const QRect sun = places.sun();
    const QRect moon = places.moon();
    QVERIFY(countPixels(image, sun, isSunny) > sun.width() * sun.height() / 10);
    QVERIFY(countPixels(image, moon, isMoonBlue) > moon.width() * moon.height() / 10);
    const QRect logo = places.logo(grid);
    QVERIFY(countPixels(image, logo, isLogoBlue) > logo.width() * logo.height() / 8);

    const QRect unitSign = unitSignArea(rose, c);
    for (int k = 0; k < 24; ++k) {
        const bool blank = k == 0 || k == 12 || (grid && (k == 21 || k == 22));
        const int ink = countPixels(image, places.hourLabel(k, 24), isText, unitSign);
        QVERIFY2(blank ? ink == 0 : ink > 10, qPrintable(QStringLiteral("label %1").arg(k)));
    }
}

HELICART_GUI_TEST_MAIN(TestSolarRose)
#include "tst_solarrose.moc"
