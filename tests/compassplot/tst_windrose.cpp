// The wind rose before it paints: classes, sectors, counting, shares, table data, the
// meta-object contract and the binding of the scale plug-in.

#include "qpaintable.h"
#include "qwindrose.h"
#include "roseprobe.h"
#include "rosetable.h"
#include "scaleadjustment.h"
#include "testsupport.h"
#include "windrose3d.h"
#include "windroselegend.h"

#include <QFile>
#include <QGuiApplication>
#include <QMetaMethod>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <limits>

namespace {

const double notANumber = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();
const QString sigma = QString(QChar(0x03A3));
const QString defaultCorner = QStringLiteral("Smer[") + QChar(0x00B0) + "] \\ Hitrost[m/s]";

// Gives tests the chart's protected parts.
class TestRose : public QWindRose
{
public:
    // The classes go; the sectors stay, without classes.
    void dropClasses()
    {
        const QList<Interval> sectors = spokes().keys();
        clearClasses();
        for (const Interval &sector : sectors)
            insertSector(sector);
    }
};

using RoseProbe::countedAt;

// The class records that hold a count, over all sectors.
int totalOfCounts(const QWindRose &rose)
{
    int total = 0;
    for (const auto &classes : rose.spokes())
        for (const ClassCount *count : classes)
            total += count->count;
    return total;
}

// Messages that Qt's message stream receives while it is installed.
class MessageLog
{
public:
    MessageLog() { previous = qInstallMessageHandler(&MessageLog::handle); }
    ~MessageLog() { qInstallMessageHandler(previous); }
    static QStringList &lines()
    {
        static QStringList log;
        return log;
    }

private:
    static void handle(QtMsgType, const QMessageLogContext &, const QString &message)
    {
        lines() << message;
    }
    QtMessageHandler previous;
};

// Whether the rose holds just the class (0, 1], drawn with style, and waits for a rebuild.
bool hasOnlyClass(const QWindRose &rose, const Spoke &style)
{
    return rose.intervals() == QList<Interval>({ Interval::fromLimits(0, 1) })
        && rose.classStyle(Interval::fromLimits(0, 1), nullptr) == style && rose.rebuildNeeded();
}

using Hit = QPair<int, int>;
using Invoke = std::function<bool(QObject *, bool *)>;
using Effect = std::function<bool(QWindRose &)>;

} // namespace

Q_DECLARE_METATYPE(Invoke)
Q_DECLARE_METATYPE(Effect)
Q_DECLARE_METATYPE(Interval)

class TestWindRose : public QObject
{
    Q_OBJECT
private slots:
    void constructorDefaults();
    void fixedScale_data();
    void fixedScale();
    void sectorLayout_data();
    void sectorLayout();
    void measurementFalls_data();
    void measurementFalls();
    void classesSortByKey();
    void classListedTwice();
    void rebuildDropsCounts_data();
    void rebuildDropsCounts();
    void clearMeasurements();
    void sectorsWithoutClasses();
    void derivedShares();
    void addDataLine_data();
    void addDataLine();
    void recordTimes();
    void headerLine_data();
    void headerLine();
    void tableLines();
    void tableWithoutSectors();
    void tableWithoutCounts();
    void tablePrecisionZero();
    void intervalLabel_data();
    void intervalLabel();
    void metaObjectContract();
    void invokeByName_data();
    void invokeByName();
    void castByName_data();
    void castByName();
    void paintableEdges();
    void bindingReport_data();
    void bindingReport();
    void bindsTickfitInBuildTree();
};

void TestWindRose::constructorDefaults()
{
    // The corner text, the time range, the 16 sectors of a full circle, the legend precision
    // and the image height show in the tests of counting, the table and painting.
    QWindRose rose;
    QVERIFY(rose.spokes().isEmpty());
    QVERIFY(rose.intervals().isEmpty());
    QVERIFY(rose.classStyles().isEmpty());
    QVERIFY(rose.rebuildNeeded());
    QCOMPARE(rose.settings().fixedScaleMaximum, 20.0);
    QCOMPARE(rose.settings().fixedScaleSegments, 4);
    QCOMPARE(rose.settings().dataDrawSizeFactor, 2.5);
    QCOMPARE(rose.settings().labelAngle, 65.0);
    QCOMPARE(rose.settings().rotation, 0.0);
    QVERIFY(rose.settings().enableBackground && rose.settings().enableLegend
        && rose.settings().enableGrid);

    const QFont font = rose.font();
    QCOMPARE(font.family(), QStringLiteral("verdana"));
    QCOMPARE(font.pointSize(), 23);
    QCOMPARE(font.weight(), QFont::Bold);

    const QPen pen = rose.settings().gridPen;
    QCOMPARE(pen.color(), QColor(0, 0, 0, 255));
    QCOMPARE(pen.brush().style(), Qt::SolidPattern);
    QCOMPARE(pen.widthF(), 2.0);
    QCOMPARE(pen.style(), Qt::SolidLine);
    QCOMPARE(pen.capStyle(), Qt::SquareCap);
    QCOMPARE(pen.joinStyle(), Qt::BevelJoin);

    QVERIFY(rose.legend());
    QVERIFY(!rose.legend()->hasContent());
    QCOMPARE(rose.legend()->height(), 100);
    QVERIFY(dynamic_cast<Windrose3D *>(rose.style()));
}

void TestWindRose::fixedScale_data()
{
    QTest::addColumn<double>("maximum");
    QTest::addColumn<int>("segments");
    QTest::addColumn<double>("storedMaximum");

    QTest::newRow("no segments: automatic") << 12.5 << 0 << -1.0;
    QTest::newRow("negative segments: automatic") << 12.5 << -2 << -1.0;
    QTest::newRow("fixed") << 12.5 << 3 << 12.5;
}

void TestWindRose::fixedScale()
{
    QFETCH(double, maximum);
    QFETCH(int, segments);
    QFETCH(double, storedMaximum);
    QWindRose rose;
    QVERIFY(rose.setFixedScale(maximum, segments));
    QCOMPARE(rose.settings().fixedScaleMaximum, storedMaximum);
    QCOMPARE(rose.settings().fixedScaleSegments, segments);
}

void TestWindRose::sectorLayout_data()
{
    QTest::addColumn<int>("directions");
    QTest::addColumn<Interval>("first");
    QTest::addColumn<Interval>("last");
    QTest::addColumn<double>("rangeLow");
    QTest::addColumn<double>("rangeHigh");

    QTest::newRow("16") << 16 << Interval::fromLimits(-11.25, 11.25)
                        << Interval::fromLimits(326.25, 348.75) << -11.25 << 348.75;
    QTest::newRow("4") << 4 << Interval::fromLimits(-45, 45) << Interval::fromLimits(225, 315)
                       << -45.0 << 315.0;
    QTest::newRow("1") << 1 << Interval::fromLimits(-180, 180) << Interval::fromLimits(-180, 180)
                       << -180.0 << 180.0;
}

void TestWindRose::sectorLayout()
{
    QFETCH(int, directions);
    QFETCH(Interval, first);
    QFETCH(Interval, last);
    QWindRose rose;
    rose.setDirectionsCount(directions);
    rose.addMeasurement(0, 0);
    QCOMPARE(rose.spokes().size(), directions);
    QCOMPARE(rose.spokes().firstKey(), first);
    QCOMPARE(rose.spokes().lastKey(), last);
    QTEST(rose.counts().geometry().rangeLow, "rangeLow");
    QTEST(rose.counts().geometry().rangeHigh, "rangeHigh");
    QCOMPARE(rose.counts().geometry().width, 360.0 / directions);
    QVERIFY(!rose.rebuildNeeded());
    // Every sector starts with its own zeroed record per default class.
    for (const auto &classes : rose.spokes())
        QCOMPARE(classes.size(), 7);
}

void TestWindRose::measurementFalls_data()
{
    QTest::addColumn<double>("speed");
    QTest::addColumn<double>("direction");
    QTest::addColumn<int>("sector");
    QTest::addColumn<int>("classIndex");

    // Default classes, 16 sectors of 22.5 degrees starting at -11.25.
    QTest::newRow("calm at north") << 0.0 << 0.0 << 0 << 0;
    QTest::newRow("upper limit 0.3 belongs to the lower class") << 0.3 << 0.0 << 0 << 0;
    QTest::newRow("just above 0.3") << 0.31 << 0.0 << 0 << 1;
    QTest::newRow("1.0 in (0.3, 1]") << 1.0 << 0.0 << 0 << 1;
    QTest::newRow("3.4") << 3.4 << 225.0 << 10 << 4;
    QTest::newRow("10000 is the top class's limit") << 10000.0 << 0.0 << 0 << 6;
    QTest::newRow("lowest limit -1 is outside") << -1.0 << 0.0 << -1 << -1;
    QTest::newRow("below all classes") << -5.0 << 0.0 << -1 << -1;
    QTest::newRow("above all classes") << 10001.0 << 0.0 << -1 << -1;
    QTest::newRow("11.25 starts the second sector") << 0.5 << 11.25 << 1 << 1;
    QTest::newRow("just below 11.25") << 0.5 << 11.2499 << 0 << 1;
    QTest::newRow("-11.25 is the first sector's start") << 0.5 << -11.25 << 0 << 1;
    QTest::newRow("340") << 0.5 << 340.0 << 15 << 1;
    QTest::newRow("350 wraps to -10") << 0.5 << 350.0 << 0 << 1;
    QTest::newRow("400 wraps to 40") << 0.5 << 400.0 << 2 << 1;
    QTest::newRow("720 wraps twice") << 0.5 << 720.0 << 0 << 1;
    QTest::newRow("348.75 is the range's end") << 0.5 << 348.75 << -1 << -1;
    QTest::newRow("-20 wraps to 340 but its probe ends low") << 0.5 << -20.0 << -1 << -1;
    QTest::newRow("NaN speed") << notANumber << 0.0 << -1 << -1;
    QTest::newRow("NaN direction") << 0.5 << notANumber << -1 << -1;
    QTest::newRow("infinite speed") << inf << 0.0 << -1 << -1;
    QTest::newRow("-infinite speed") << -inf << 0.0 << -1 << -1;
    QTest::newRow("infinite direction") << 0.5 << inf << -1 << -1;
    QTest::newRow("-infinite direction") << 0.5 << -inf << -1 << -1;
}

void TestWindRose::measurementFalls()
{
    QFETCH(double, speed);
    QFETCH(double, direction);
    QFETCH(int, sector);
    QFETCH(int, classIndex);
    QWindRose rose;
    QVERIFY(rose.addMeasurement(speed, direction));
    QCOMPARE(rose.intervals().size(), 7);
    QCOMPARE(rose.spokes().size(), 16);
    QCOMPARE(countedAt(rose), qMakePair(sector, classIndex));
    const int counted = sector >= 0 ? 1 : 0;
    QCOMPARE(rose.counts().total(), counted);
    QCOMPARE(totalOfCounts(rose), counted);
}

void TestWindRose::classesSortByKey()
{
    QWindRose rose;
    rose.addIntervalRange(5, 10, QBrush(Qt::red));
    rose.addIntervalRange(0, 5, QBrush(Qt::green));
    rose.setDirectionsCount(4);
    rose.addMeasurement(5, 0);
    rose.addMeasurement(7, 90);
    QCOMPARE(rose.intervals().first(), Interval::fromLimits(5, 10));
    const auto &classes = rose.spokes().first();
    QCOMPARE(classes.firstKey(), Interval::fromLimits(0, 5));
    QCOMPARE(classes.first()->count, 1);
    QCOMPARE(rose.spokes()[Interval::fromLimits(45, 135)].last()->count, 1);
    QCOMPARE(rose.classStyle(Interval::fromLimits(0, 5), nullptr).brush.color(), QColor(Qt::green));
}

void TestWindRose::classListedTwice()
{
    QWindRose rose;
    rose.addIntervalRange(0, 1, QBrush(Qt::red), 2.0);
    rose.addIntervalRange(0, 1, QBrush(Qt::blue), 3.0);
    QCOMPARE(rose.intervals().size(), 2);
    QCOMPARE(rose.classStyles().size(), 1);
    QCOMPARE(rose.classStyle(Interval(0, 1), nullptr), Spoke(QBrush(Qt::blue), 3.0));
    rose.addMeasurement(0.5, 0);
    QCOMPARE(rose.spokes().first().size(), 1);
    QCOMPARE(rose.counts().total(), 1);
    // An unknown class draws with the defaults.
    QCOMPARE(rose.classStyle(Interval(4, 1), nullptr), Spoke());
}

void TestWindRose::rebuildDropsCounts_data()
{
    QTest::addColumn<Effect>("change");
    QTest::newRow("addInterval") << Effect(
        [](QWindRose &r) { return r.addInterval(10000, 5, Qt::black); });
    QTest::newRow("addIntervalRange")
        << Effect([](QWindRose &r) { return r.addIntervalRange(10000, 10005, QBrush(Qt::black)); });
    QTest::newRow("setDirectionsCount")
        << Effect([](QWindRose &r) { return r.setDirectionsCount(8); });
}

void TestWindRose::rebuildDropsCounts()
{
    QFETCH(Effect, change);
    QWindRose rose;
    for (int i = 0; i < 3; ++i)
        rose.addMeasurement(2.5, 90);
    QCOMPARE(rose.counts().total(), 3);
    QVERIFY(change(rose));
    QVERIFY(rose.rebuildNeeded());
    // Nothing changes until the next measurement rebuilds the sectors.
    QCOMPARE(totalOfCounts(rose), 3);
    rose.addMeasurement(-5, 0); // rebuilds, counts nothing
    QCOMPARE(totalOfCounts(rose), 0);
    QCOMPARE(rose.counts().total(), 3);
    rose.addMeasurement(2.5, 90);
    QCOMPARE(totalOfCounts(rose), 1);
    QCOMPARE(rose.counts().total(), 4);
}

void TestWindRose::clearMeasurements()
{
    TestRose rose;
    rose.addDataLine({ "2012", "5", "17", "13", "40", "225", "3.4" }, false);
    QCOMPARE(rose.counts().total(), 1);
    QVERIFY(rose.clearMeasurements());
    QVERIFY(rose.spokes().isEmpty());
    QCOMPARE(rose.counts().total(), 0);
    QCOMPARE(rose.intervals().size(), 7);
    QCOMPARE(rose.classStyles().size(), 7);
    QCOMPARE(rose.lineCounts().read, 1);
    QCOMPARE(rose.texts().firstTime, QDateTime(QDate(2012, 5, 17), QTime(13, 40)));

    // Without a rebuild request there are no sectors to count into.
    QVERIFY(!rose.rebuildNeeded());
    QVERIFY(rose.addMeasurement(3.4, 225));
    QVERIFY(rose.spokes().isEmpty());
    QCOMPARE(rose.counts().total(), 0);

    rose.setDirectionsCount(16);
    rose.addMeasurement(3.4, 225);
    QCOMPARE(rose.counts().total(), 1);
    QCOMPARE(countedAt(rose), qMakePair(10, 4));
}

void TestWindRose::sectorsWithoutClasses()
{
    TestRose rose;
    rose.addMeasurement(1.5, 0);
    QCOMPARE(rose.spokes().size(), 16);
    rose.dropClasses();
    MessageLog log;
    MessageLog::lines().clear();
    rose.buildSectors(360); // must neither throw nor keep the old sectors
    QCOMPARE(MessageLog::lines(),
        QStringList("Prvo je potrebno nastaviti razrede! funkcija -> addIntervalRange"));
    QVERIFY(rose.spokes().isEmpty());
    QVERIFY(!rose.rebuildNeeded());
}

void TestWindRose::derivedShares()
{
    QWindRose rose;
    QCOMPARE(rose.counts().percent(3), 0.0); // nothing counted
    QCOMPARE(rose.counts().maxSectorTotal(), 0.0);
    QCOMPARE(rose.counts().sectorTotal(0), 0.0);

    rose.setDirectionsCount(4);
    rose.addMeasurement(0, 0); // calm, north
    rose.addMeasurement(0.5, 0); // north
    rose.addMeasurement(1.5, 0); // north
    rose.addMeasurement(12, 90); // east
    QCOMPARE(rose.counts().percent(1), 25.0);
    QCOMPARE(rose.counts().sectorTotal(0), 50.0); // calm left out
    QCOMPARE(rose.counts().sectorTotal(1), 25.0);
    QCOMPARE(rose.counts().sectorTotal(4), 0.0);
    QCOMPARE(rose.counts().sectorTotal(-1), 0.0);
    QCOMPARE(rose.counts().maxSectorTotal(), 50.0);
    QCOMPARE(rose.counts().classTotal(0), 25.0);
    QCOMPARE(rose.counts().classTotal(1), 25.0);
    QCOMPARE(rose.counts().classTotal(6), 25.0);
    QCOMPARE(rose.counts().classTotal(3), 0.0);
    QCOMPARE(rose.counts().classTotal(7), 0.0);

    // Shares of all records, counted or not.
    rose.setAllDataCount(8);
    QCOMPARE(rose.counts().sectorTotal(0), 25.0);
    QCOMPARE(rose.counts().classTotal(0), 12.5);

    // A sector with a single class has no total.
    QWindRose single;
    single.addIntervalRange(0, 1, QBrush(Qt::red));
    single.addMeasurement(0.5, 0);
    QCOMPARE(single.counts().sectorTotal(0), 0.0);
    QCOMPARE(single.counts().classTotal(0), 100.0);
}

void TestWindRose::addDataLine_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("shortLines");
    QTest::addColumn<int>("rejectedLines");
    QTest::addColumn<Hit>("hit");

    const QStringList record { "2012", "5", "17", "13", "40", "225", "3.4" };
    const QPair<int, int> none(-1, -1);
    QTest::newRow("seven fields") << record << true << 0 << 0 << qMakePair(10, 4);
    QTest::newRow("status ff") << (record + QStringList("ff")) << true << 0 << 0
                               << qMakePair(10, 4);
    QTest::newRow("status 100 rejects") << (record + QStringList("100")) << false << 0 << 1 << none;
    QTest::newRow("status not hexadecimal")
        << (record + QStringList("zz")) << true << 0 << 0 << qMakePair(10, 4);
    QTest::newRow("nine fields ignore the status")
        << (record + QStringList { "100", "x" }) << true << 0 << 0 << qMakePair(10, 4);
    QTest::newRow("no fields") << QStringList() << false << 0 << 0 << none;
    QTest::newRow("one field") << QStringList("2012") << false << 0 << 0 << none;
    QTest::newRow("two fields") << record.mid(0, 2) << false << 1 << 0 << none;
    QTest::newRow("six fields") << record.mid(0, 6) << false << 1 << 0 << none;
    QTest::newRow("empty value fields count as 0") << QStringList { "2012", "5", "17", "13", "40",
        "", "" } << true << 0 << 0 << qMakePair(0, 0);
    QTest::newRow("impossible date still counts") << QStringList { "2012", "13", "17", "13", "40",
        "225", "3.4" } << false << 0 << 0 << qMakePair(10, 4);
}

void TestWindRose::addDataLine()
{
    QFETCH(QStringList, fields);
    QFETCH(bool, result);
    QFETCH(Hit, hit);
    QWindRose rose;
    QCOMPARE(rose.addDataLine(fields, false), result);
    QCOMPARE(rose.lineCounts().read, 1);
    QTEST(rose.lineCounts().shortLines, "shortLines");
    QTEST(rose.lineCounts().rejected, "rejectedLines");
    QCOMPARE(countedAt(rose), hit);
    // Only a record that produced a time moves the time range.
    const QDateTime first = result ? QDateTime(QDate(2012, 5, 17), QTime(13, 40))
                                   : QDateTime(QDate(2200, 1, 1), QTime(0, 0));
    QCOMPARE(rose.texts().firstTime, first);
}

void TestWindRose::recordTimes()
{
    QWindRose rose;
    const auto record = [&rose](const char *day, const char *hour) {
        return rose.addDataLine({ "2012", "5", day, hour, "0", "0", "1" }, false);
    };
    QVERIFY(record("17", "12"));
    // The first record only moves the start of the range.
    QCOMPARE(rose.texts().lastTime, QDateTime(QDate(1970, 1, 1), QTime(0, 0)));
    QVERIFY(record("16", "8"));
    QVERIFY(record("18", "6"));
    QVERIFY(record("17", "0"));
    QCOMPARE(rose.texts().firstTime, QDateTime(QDate(2012, 5, 16), QTime(8, 0)));
    QCOMPARE(rose.texts().lastTime, QDateTime(QDate(2012, 5, 18), QTime(6, 0)));
    QCOMPARE(rose.lineCounts().read, 4);
}

void TestWindRose::headerLine_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<bool>("taken");

    QTest::newRow("six parts") << QStringList("ARSO -> Ljubljana -> Veter -> 10 m -> x -> m/s")
                               << true;
    QTest::newRow("untrimmed six parts")
        << QStringList("  ARSO->  Ljubljana ->Veter-> 10 m ->x->m/s  ") << true;
    QTest::newRow("only the first text counts")
        << QStringList { "ARSO -> Ljubljana -> Veter -> 10 m -> x -> m/s", "other" } << true;
    QTest::newRow("five parts") << QStringList("ARSO -> Ljubljana -> Veter -> 10 m -> x") << false;
    QTest::newRow("seven parts") << QStringList(
        "ARSO -> Ljubljana -> Veter -> 10 m -> x -> m/s -> y")
                                 << false;
    QTest::newRow("empty part ends the parts")
        << QStringList("ARSO -> Ljubljana ->  -> 10 m -> x -> m/s") << false;
    QTest::newRow("second text ignored")
        << QStringList { "header", "ARSO -> Ljubljana -> Veter -> 10 m -> x -> m/s" } << false;
    QTest::newRow("no arrows") << QStringList("ARSO Ljubljana") << false;
    QTest::newRow("no texts") << QStringList() << false;
}

void TestWindRose::headerLine()
{
    QFETCH(QStringList, fields);
    QFETCH(bool, taken);
    QWindRose rose;
    QVERIFY(!rose.addDataLine(fields, true));
    QCOMPARE(rose.texts().stationText, taken ? QStringLiteral("Ljubljana") : QString());
    QCOMPARE(rose.texts().parameterText, taken ? QStringLiteral("Veter (10 m)") : QString());
    QCOMPARE(rose.texts().unitText, taken ? QStringLiteral("m/s") : QString());
    QCOMPARE(rose.lineCounts().read, 0);
}

void TestWindRose::tableLines()
{
    TestRose rose;
    rose.addMeasurement(0, 0);
    rose.addMeasurement(0.5, 0);
    rose.addMeasurement(3.4, 225);
    rose.addMeasurement(12, 90);
    rose.addMeasurement(20000, 90); // not counted
    rose.setStationText("station");
    rose.setParameterText("parameter");
    rose.setIntervalText("interval");
    rose.setStatisticsText("statistics");
    QImage image; // the drawing takes the caption lines
    QVERIFY(rose.drawImage(image));

    QStringList table { "left over" };
    QVERIFY(rose.getTableData(&table));
    QCOMPARE(table.size(), 4 + 1 + 16 + 1);
    QCOMPARE(table.mid(0, 4), QStringList({ "station", "parameter", "interval", "statistics" }));
    QCOMPARE(table.at(4),
        defaultCorner
            + "\t <= 0.30\t(0.30 - 1.00]\t(1.00 - 2.00]\t(2.00 - 3.00]\t(3.00 - 5.00]"
              "\t(5.00 - 10.00]\t > 10.00\t"
            + sigma);
    QCOMPARE(table.at(5), "-11.25 - 11.25\t\t25.00\t0.00\t0.00\t0.00\t0.00\t0.00\t25.00");
    QCOMPARE(table.at(6), "11.25 - 33.75\t\t0.00\t0.00\t0.00\t0.00\t0.00\t0.00\t0.00");
    QCOMPARE(table.at(9), "78.75 - 101.25\t\t0.00\t0.00\t0.00\t0.00\t0.00\t25.00\t25.00");
    QCOMPARE(table.at(15), "213.75 - 236.25\t\t0.00\t0.00\t0.00\t25.00\t0.00\t0.00\t25.00");
    QCOMPARE(table.at(20), "326.25 - 348.75\t\t0.00\t0.00\t0.00\t0.00\t0.00\t0.00\t0.00");
    // The calm class has no cell in the sector lines, but its sum leads the sum line.
    QCOMPARE(table.last(), sigma + "\t25.00\t25.00\t0.00\t0.00\t25.00\t0.00\t25.00\t");
    // Every line of the grid has the same number of cells.
    for (int i = 4; i < table.size(); ++i)
        QCOMPARE(table.at(i).count('\t'), 8);
}

void TestWindRose::tableWithoutSectors()
{
    QWindRose rose;
    QVERIFY(!rose.getTableData(nullptr));
    QStringList table { "left over" };
    QVERIFY(rose.getTableData(&table));
    QCOMPARE(table, QStringList({ defaultCorner + "\t" + sigma, sigma + "\t" }));
    QVERIFY(rose.spokes().isEmpty()); // the table counts nothing
}

void TestWindRose::tableWithoutCounts()
{
    QWindRose rose;
    rose.addMeasurement(-5, 0); // builds the sectors, counts nothing
    QStringList table;
    QVERIFY(rose.getTableData(&table));
    QCOMPARE(table.size(), 18);
    for (int i = 1; i < 17; ++i) {
        const QStringList cells = table.at(i).split('\t');
        QCOMPARE(cells.at(1), QString());
        QCOMPARE(cells.mid(2), QStringList(7, "0.00"));
    }
    QCOMPARE(table.last(), sigma + QString("\t0.00").repeated(7) + "\t");
}

void TestWindRose::tablePrecisionZero()
{
    QWindRose rose;
    rose.setLegendPrecision(0);
    rose.setSpeedDirectionText("corner");
    rose.addMeasurement(0.5, 0);
    QStringList table;
    QVERIFY(rose.getTableData(&table));
    QCOMPARE(table.first(),
        "corner\t <= 0.3\t(0.3 - 1]\t(1 - 2]\t(2 - 3]\t(3 - 5]\t(5 - 10]\t > 10\t" + sigma);
    // A class limit keeps the decimals it needs (0.3), whole ones stay whole; sector limits
    // follow the precision; the shares always carry two decimals.
    QCOMPARE(table.at(1), "-11 - 11\t\t100.00\t0.00\t0.00\t0.00\t0.00\t0.00\t100.00");
}

void TestWindRose::intervalLabel_data()
{
    QTest::addColumn<Interval>("interval");
    QTest::addColumn<int>("precision");
    QTest::addColumn<QString>("label");

    QTest::newRow("plain") << Interval::fromLimits(1.5, 2.75) << 2 << "(1.50 - 2.75]";
    QTest::newRow("open below") << Interval::fromLimits(-2147483647.0, 5) << 2 << "(-inf - 5.00]";
    QTest::newRow("open above") << Interval::fromLimits(0, 2147483647.0) << 1 << "(0.0 - inf]";
    QTest::newRow("both open") << Interval::fromLimits(-2147483647.0, 2147483647.0) << 2
                               << "(-inf - inf]";
    // A limit is written with at least the data's decimals and as many more as it needs, up to 6.
    QTest::newRow("half classes of whole data")
        << Interval::fromLimits(11.5, 12.5) << 0 << "(11.5 - 12.5]";
    QTest::newRow("data's decimals kept")
        << Interval::fromLimits(12, 12.25) << 1 << "(12.0 - 12.25]";
    QTest::newRow("a third: six decimals")
        << Interval::fromLimits(0.1, 1.0 / 3) << 0 << "(0.1 - 0.333333]";
    QTest::newRow("near the open limit")
        << Interval::fromLimits(-2147483646.0, 0) << 0 << "(-2147483646 - 0]";
}

void TestWindRose::intervalLabel()
{
    QFETCH(Interval, interval);
    QFETCH(int, precision);
    QTEST(RoseTable::intervalLabel(interval, precision), "label");
}

void TestWindRose::metaObjectContract()
{
    // Signature and parameter names of each invokable operation, in their fixed order.
    const QList<QPair<QByteArray, QByteArray>> expected = {
        { "addInterval(double,double,QColor)", "lowLimitValue,interval_size,color" },
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
        { "setUnitText(QString)", "unitText" },
        { "setIntervalText(QString)", "intervalText" },
        { "setStatisticsText(QString)", "statisticsText" },
        { "setSpeedDirectionText(QString)", "speedDirectionText" },
        { "addMeasurement(double,double)", "windSpeed,windDirection" },
        { "drawImage(QImage&)", "image" },
        { "getTableData(QStringList*)", "data" },
        { "setLegendTitle(QString)", "title" },
        { "clearMeasurements()", "" },
        { "setLegendPrecision(int)", "precision" },
        { "setDataDrawSizeFactor(double)", "factor" },
        { "setFixedScale(double,int)", "max_percent,segments" },
        { "setLegendText(QString,bool)", "text,warning" },
        { "setFixedLegendWidth(int)", "width" },
        { "setAllDataCount(int)", "allDataCount" },
        { "setEnableBackground(bool)", "enable" },
        { "setEnableLegend(bool)", "enable" },
        { "setEnableGrid(bool)", "enable" },
    };
    const QMetaObject &meta = QWindRose::staticMetaObject;
    QCOMPARE(meta.className(), "QWindRose");
    QCOMPARE(meta.superClass(), &QPaintable::staticMetaObject);
    QVERIFY(RoseProbe::invokablesAre(meta, expected));
}

void TestWindRose::invokeByName_data()
{
    QTest::addColumn<Invoke>("invoke");
    QTest::addColumn<bool>("result");
    QTest::addColumn<Effect>("effect");

#define CALL_ARGS(name, ...)                                                                       \
    Invoke([](QObject *o, bool *r) {                                                               \
        return QMetaObject::invokeMethod(o, name, Q_RETURN_ARG(bool, *r), __VA_ARGS__);            \
    })
#define EFFECT(expression) Effect([](QWindRose &rose) { return expression; })

    QTest::newRow("addInterval") << CALL_ARGS(
        "addInterval", Q_ARG(double, 0), Q_ARG(double, 1), Q_ARG(QColor, QColor(Qt::red)))
                                 << true
                                 << EFFECT(rose.classStyle(Interval(0, 1), nullptr).brush.color()
                                        == QColor(Qt::red));
    QTest::newRow("addIntervalRange 6") << CALL_ARGS("addIntervalRange", Q_ARG(double, 0),
        Q_ARG(double, 1), Q_ARG(QBrush, QBrush(Qt::red)), Q_ARG(double, 2), Q_ARG(double, 3),
        Q_ARG(double, 4)) << true << EFFECT(hasOnlyClass(rose, Spoke(QBrush(Qt::red), 2, 3, 4)));
    // The shorter forms supply width 1, offset -1 and length 1.
    QTest::newRow("addIntervalRange 5") << CALL_ARGS("addIntervalRange", Q_ARG(double, 0),
        Q_ARG(double, 1), Q_ARG(QBrush, QBrush(Qt::red)), Q_ARG(double, 7),
        Q_ARG(double, 2)) << true << EFFECT(hasOnlyClass(rose, Spoke(QBrush(Qt::red), 7, 2, 1)));
    QTest::newRow("addIntervalRange 4") << CALL_ARGS("addIntervalRange", Q_ARG(double, 0),
        Q_ARG(double, 1), Q_ARG(QBrush, QBrush(Qt::red)),
        Q_ARG(double, 7)) << true << EFFECT(hasOnlyClass(rose, Spoke(QBrush(Qt::red), 7, -1, 1)));
    QTest::newRow("addIntervalRange 3")
        << CALL_ARGS("addIntervalRange", Q_ARG(double, 0), Q_ARG(double, 1),
               Q_ARG(QBrush, QBrush(Qt::red)))
        << true << EFFECT(hasOnlyClass(rose, Spoke(QBrush(Qt::red), 1, -1, 1)));
    QTest::newRow("setImageHeight") << CALL_ARGS("setImageHeight", Q_ARG(int, 320)) << true
                                    << EFFECT(rose.settings().imageHeight == 320);
    QTest::newRow("setDirectionsCount") << CALL_ARGS("setDirectionsCount",
        Q_ARG(int, 8)) << true << EFFECT(rose.directionsCount() == 8 && rose.rebuildNeeded());
    QTest::newRow("setFont") << CALL_ARGS("setFont", Q_ARG(QFont, QFont("Monospace", 11))) << true
                             << EFFECT(rose.font().pointSize() == 11);
    QTest::newRow("setStationText") << CALL_ARGS("setStationText", Q_ARG(QString, "s")) << true
                                    << EFFECT(rose.texts().stationText == "s");
    QTest::newRow("setParameterText") << CALL_ARGS("setParameterText", Q_ARG(QString, "p")) << true
                                      << EFFECT(rose.texts().parameterText == "p");
    QTest::newRow("setUnitText") << CALL_ARGS("setUnitText", Q_ARG(QString, "u")) << true
                                 << EFFECT(rose.texts().unitText == "u");
    QTest::newRow("setIntervalText") << CALL_ARGS("setIntervalText", Q_ARG(QString, "i")) << true
                                     << EFFECT(rose.texts().intervalText == "i");
    QTest::newRow("setStatisticsText") << CALL_ARGS("setStatisticsText", Q_ARG(QString, "t"))
                                       << true << EFFECT(rose.texts().statisticsText == "t");
    QTest::newRow("setSpeedDirectionText") << CALL_ARGS("setSpeedDirectionText",
        Q_ARG(QString, "c")) << true << EFFECT(rose.texts().speedDirectionText == "c");
    QTest::newRow("addMeasurement") << CALL_ARGS("addMeasurement", Q_ARG(double, 2.5),
        Q_ARG(double, 90)) << true << EFFECT(rose.counts().total() == 1);
    // With no sectors to draw the chart refuses, keeps no image and leaves the caller's alone.
    QTest::newRow("drawImage refused") << Invoke([](QObject *o, bool *r) {
        QMetaObject::invokeMethod(o, "setDirectionsCount", Q_ARG(int, 0));
        QImage image(10, 10, QImage::Format_ARGB32);
        image.fill(Qt::green);
        const QImage before = image.copy();
        const bool invoked = QMetaObject::invokeMethod(
            o, "drawImage", Q_RETURN_ARG(bool, *r), Q_ARG(QImage &, image));
        return invoked && image == before;
    }) << false << EFFECT(rose.directionsCount() == 0 && rose.image().isNull());
    QTest::newRow("getTableData") << Invoke([](QObject *o, bool *r) {
        QStringList table;
        const bool invoked = QMetaObject::invokeMethod(
            o, "getTableData", Q_RETURN_ARG(bool, *r), Q_ARG(QStringList *, &table));
        return invoked && table.size() == 2;
    }) << true << Effect([](QWindRose &) { return true; });
    QTest::newRow("getTableData null") << CALL_ARGS("getTableData", Q_ARG(QStringList *, nullptr))
                                       << false << Effect([](QWindRose &) { return true; });
    QTest::newRow("setLegendTitle") << CALL_ARGS("setLegendTitle", Q_ARG(QString, "title")) << true
                                    << EFFECT(rose.texts().legendTitle == "title");
    QTest::newRow("clearMeasurements") << Invoke([](QObject *o, bool *r) {
        QMetaObject::invokeMethod(o, "addMeasurement", Q_ARG(double, 2.5), Q_ARG(double, 90));
        return QMetaObject::invokeMethod(o, "clearMeasurements", Q_RETURN_ARG(bool, *r));
    }) << true << EFFECT(rose.counts().total() == 0 && rose.spokes().isEmpty());
    QTest::newRow("setLegendPrecision") << CALL_ARGS("setLegendPrecision", Q_ARG(int, 4)) << true
                                        << EFFECT(rose.legendPrecision() == 4);
    QTest::newRow("setDataDrawSizeFactor") << CALL_ARGS("setDataDrawSizeFactor",
        Q_ARG(double, 1.5)) << true << EFFECT(rose.settings().dataDrawSizeFactor == 1.5);
    QTest::newRow("setFixedScale")
        << CALL_ARGS("setFixedScale", Q_ARG(double, 30), Q_ARG(int, 3)) << true
        << EFFECT(
               rose.settings().fixedScaleMaximum == 30 && rose.settings().fixedScaleSegments == 3);
    QTest::newRow("setLegendText")
        << CALL_ARGS("setLegendText", Q_ARG(QString, "note"), Q_ARG(bool, true)) << true
        << EFFECT(rose.legend()->legendText() == "note" && rose.legend()->warning());
    QTest::newRow("setFixedLegendWidth") << CALL_ARGS("setFixedLegendWidth", Q_ARG(int, 150))
                                         << true << EFFECT(rose.legend()->fixedWidth() == 150);
    QTest::newRow("setAllDataCount") << CALL_ARGS("setAllDataCount", Q_ARG(int, 40)) << true
                                     << EFFECT(rose.counts().total() == 40);
    QTest::newRow("setEnableBackground") << CALL_ARGS("setEnableBackground", Q_ARG(bool, false))
                                         << true << EFFECT(!rose.settings().enableBackground);
    QTest::newRow("setEnableLegend") << CALL_ARGS("setEnableLegend", Q_ARG(bool, false)) << true
                                     << EFFECT(!rose.settings().enableLegend);
    QTest::newRow("setEnableGrid") << CALL_ARGS("setEnableGrid", Q_ARG(bool, false)) << true
                                   << EFFECT(!rose.settings().enableGrid);
#undef CALL_ARGS
#undef EFFECT
}

void TestWindRose::invokeByName()
{
    QFETCH(Invoke, invoke);
    QFETCH(bool, result);
    QFETCH(Effect, effect);
    QWindRose rose;
    bool returned = !result;
    QVERIFY(invoke(&rose, &returned));
    QCOMPARE(returned, result);
    QVERIFY(effect(rose));
}

void TestWindRose::castByName_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("expected");

    QTest::newRow("class") << QByteArray("QWindRose") << "rose";
    QTest::newRow("interface") << QByteArray("WindRoseInterface") << "interface";
    QTest::newRow("identifier") << QByteArray("orvela.windRose/2.10") << "interface";
    QTest::newRow("base") << QByteArray("QPaintable") << "rose";
    QTest::newRow("QObject") << QByteArray("QObject") << "rose";
    QTest::newRow("solar identifier") << QByteArray("orvela.solarRose/2.5") << "none";
    QTest::newRow("scale identifier") << QByteArray("orvela.scaleAdjustment/1.2") << "none";
}

void TestWindRose::castByName()
{
    QFETCH(QByteArray, name);
    QFETCH(QString, expected);
    QWindRose rose;
    void *interface = static_cast<WindRoseInterface *>(&rose);
    QVERIFY(interface != static_cast<void *>(&rose));
    void *cast = rose.qt_metacast(name.constData());
    void *want = expected == "rose" ? static_cast<void *>(&rose)
        : expected == "interface"   ? interface
                                    : nullptr;
    QCOMPARE(cast, want);
    QObject *object = &rose;
    QCOMPARE(static_cast<void *>(qobject_cast<WindRoseInterface *>(object)), interface);
}

void TestWindRose::paintableEdges()
{
    MessageLog log;
    MessageLog::lines().clear();
    {
        QPaintable paintable;
        QCOMPARE(paintable.size(), QSize(0, 0));
        QCOMPARE(paintable.position(), QPoint(0, 0));
        QCOMPARE(paintable.totalSize(), QSize(0, 0));
        QVERIFY(paintable.image().isNull());
        QCOMPARE(paintable.background(), QBrush());
        paintable.setSize(QSize(300, 200));
        QCOMPARE(paintable.totalSize(), QSize(300, 200));
        paintable.setHeight(520);
        QCOMPARE(paintable.size(), QSize(300, 520));
        QCOMPARE(QPaintable::staticMetaObject.className(), "QPaintable");
        const int signal = QPaintable::staticMetaObject.indexOfSignal("onPaint(QPainter*,QPoint)");
        QVERIFY(signal >= 0);
        QCOMPARE(QPaintable::staticMetaObject.method(signal).parameterNames(),
            QList<QByteArray>({ "painter", "offset" }));
    }
    // No children, so nothing to report on the way out.
    QVERIFY(MessageLog::lines().isEmpty());
}

void TestWindRose::bindingReport_data()
{
    QTest::addColumn<QString>("plugin");
    QTest::addColumn<bool>("backupBeside");
    QTest::addColumn<QByteArray>("outcome");
    QTest::addColumn<int>("reports");

    QTest::newRow("missing") << QString() << false << QByteArray("unbound") << 1;
    QTest::newRow("scale plug-in")
        << QString(WINDROSE_FAKESCALE) << false << QByteArray("bound") << 0;
    QTest::newRow("backup copy tried first")
        << QString(WINDROSE_FAKESCALE) << true << QByteArray("bound") << 0;
    QTest::newRow("only a backup copy") << QString() << true << QByteArray("unbound") << 1;
    QTest::newRow("not a scale plug-in")
        << QString(WINDROSE_OTHERPLUGIN) << false << QByteArray("unbound") << 0;
    QTest::newRow("tickfit") << QString(HELICART_PLUGIN_DIR "/tickfit.so") << true
                             << QByteArray("bound") << 0;
}

void TestWindRose::bindingReport()
{
    QFETCH(QString, plugin);
    QFETCH(bool, backupBeside);
    QFETCH(QByteArray, outcome);
    QFETCH(int, reports);
    if (!plugin.isEmpty() && !QFile::exists(plugin))
        QSKIP("the scale plug-in has not been built");

    // A scratch program folder: the probe, maybe a plugins folder, maybe a broken backup copy.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString probe = dir.filePath("bindprobe");
    QVERIFY(QFile::copy(WINDROSE_BINDPROBE, probe));
    if (!plugin.isEmpty()) {
        QVERIFY(QDir(dir.path()).mkdir("plugins"));
        QVERIFY(QFile::copy(plugin, dir.filePath("plugins/tickfit.so")));
    }
    if (backupBeside) {
        QFile backup(dir.filePath("tickfit.so.bak"));
        QVERIFY(backup.open(QIODevice::WriteOnly));
        backup.write("not a library");
    }

    QByteArray out;
    QByteArray err;
    QCOMPARE(TestSupport::runProgram(probe, {}, dir.path(), &out, &err), 0);
    QCOMPARE(out.trimmed(), outcome);
    const QByteArray prefix("Unable to load scale adjustment plugin: ");
    int found = 0;
    for (const QByteArray &line : err.split('\n')) {
        if (line.startsWith(prefix)) {
            ++found;
            QCOMPARE(line, prefix + "tickfit.so");
        }
    }
    QCOMPARE(found, reports);
}

void TestWindRose::bindsTickfitInBuildTree()
{
    if (!QFile::exists(HELICART_PLUGIN_DIR "/tickfit.so"))
        QSKIP("the scale plug-in has not been built");
    QWindRose first;
    QWindRose second;
    QVERIFY(first.scale());
    // One plug-in object serves every chart.
    QCOMPARE(second.scale(), first.scale());
    double minimum = 0;
    double maximum = 13.7;
    int count = 0;
    int step = 0;
    first.scale()->roundLinearScale(minimum, maximum, count, step);
    QVERIFY(maximum >= 13.7);
    QVERIFY(count > 0);
}

HELICART_GUI_TEST_MAIN(TestWindRose)

#include "tst_windrose.moc"
