// The counts of a rose on their own: which record a measurement lands in, what is not counted,
// the records a sector gets, and the shares the scale is made for.
#include "rosecounts.h"

#include <QtTest>

#include <cmath>
#include <limits>

namespace {

struct Measurement
{
    double value;
    double direction;
};

using Measurements = QList<Measurement>;

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

// Four sectors of 90 degrees centred on north, east, south and west, as a wind rose builds them;
// classes (-1, 0] (calm), (0, 10] and (10, 20].
void buildFourSectors(RoseCounts &counts)
{
    const QList<Interval> classes { Interval::fromLimits(-1, 0), Interval::fromLimits(0, 10),
        Interval::fromLimits(10, 20) };
    const RoseCounts::Geometry geometry { 90.0, -45.0, 315.0 };
    counts.setGeometry(geometry);
    for (int k = 0; k < 4; ++k)
        counts.insertSector(Interval::wrapped(45.0 + k * 90.0 - 90.0, 90.0, -45.0, 315.0), classes);
}

using Limits = QList<QPair<double, double>>;

QList<Interval> intervals(const Limits &limits)
{
    QList<Interval> result;
    for (const auto &l : limits)
        result.append(Interval::fromLimits(l.first, l.second));
    return result;
}

// Every limit of the keys, the values just beside it, and a few far away.
QList<double> probesAround(const QList<Interval> &keys)
{
    QList<double> probes { -1e300, -1.0, 0.0, 1e300, infinity, -infinity, notANumber };
    for (const Interval &key : keys) {
        for (const double limit : { key.lowLimit, key.highLimit }) {
            probes << limit << std::nextafter(limit, -infinity) << std::nextafter(limit, infinity)
                   << limit + 0.5;
        }
    }
    return probes;
}

} // namespace

Q_DECLARE_METATYPE(Measurements)
Q_DECLARE_METATYPE(Limits)

class TestRoseCounts : public QObject
{
    Q_OBJECT

private slots:
    void count_data();
    void count();
    void sectorRecords();
    void arraysFindWhatMapsFind_data();
    void arraysFindWhatMapsFind();
};

void TestRoseCounts::count_data()
{
    QTest::addColumn<Measurements>("measurements");
    QTest::addColumn<int>("total");
    QTest::addColumn<double>("north"); // sectorTotal(0), calm left out
    QTest::addColumn<double>("dataMaximum");
    QTest::addColumn<QList<qint64>>("missed"); // below and above every class

    const QList<qint64> none { 0, 0 };
    QTest::newRow("nothing") << Measurements {} << 0 << 0.0 << 0.0 << none;
    QTest::newRow("stacked at north, one at east")
        << Measurements { { 5, 0 }, { 15, 10 }, { 5, 90 }, { -0.5, 180 } } << 4 << 50.0 << 50.0
        << none;
    // Without a stacked share the scale is made for the largest calm share.
    QTest::newRow("only calm") << Measurements { { -0.5, 0 }, { -0.5, 0 }, { -0.5, 90 } } << 3
                               << 0.0 << 200.0 / 3 << none;
    QTest::newRow("directions fold into the window")
        << Measurements { { 5, 350 }, { 5, -10 }, { 5, 720 } } << 3 << 100.0 << 100.0 << none;
    // The lowest limit itself is below the first class (-1, 0].
    QTest::newRow("no place on the circle or the scale") << Measurements { { notANumber, 0 },
        { 5, notANumber }, { infinity, 0 }, { 5, -infinity }, { 30, 0 }, { -5, 0 }, { -1, 90 },
        { 20.5, 180 } } << 0 << 0.0 << 0.0 << QList<qint64> { 2, 2 };
}

void TestRoseCounts::count()
{
    QFETCH(Measurements, measurements);
    QFETCH(int, total);
    QFETCH(double, north);
    QFETCH(double, dataMaximum);
    QFETCH(QList<qint64>, missed);
    RoseCounts counts;
    buildFourSectors(counts);
    int added = 0;
    for (const Measurement &m : measurements)
        added += counts.add(m.value, m.direction) ? 1 : 0;
    QCOMPARE(added, total);
    QCOMPARE(counts.total(), total);
    QCOMPARE(counts.sectorTotal(0), north);
    QCOMPARE(counts.dataMaximum(), dataMaximum);
    QCOMPARE((QList<qint64> { counts.missed().below, counts.missed().above }), missed);
    QCOMPARE(counts.missed().between, 0);
    // The class totals share out the whole.
    double all = 0;
    for (int i = 0; i < counts.classCount(); ++i)
        all += counts.classTotal(i);
    QCOMPARE(all, total > 0 ? 100.0 : 0.0);
}

// A class listed twice keeps one fresh record; a sector added again starts from nothing; the
// records go with the sectors, the total stays.
void TestRoseCounts::sectorRecords()
{
    RoseCounts counts;
    buildFourSectors(counts);
    QVERIFY(counts.add(5, 0));
    const Interval north = counts.sectors().firstKey();
    const Interval twice = Interval::fromLimits(0, 10);
    counts.insertSector(north, { Interval::fromLimits(-1, 0), twice, twice });
    QCOMPARE(counts.sectors().size(), 4);
    QCOMPARE(counts.sectors().first().size(), 2);
    QCOMPARE(counts.sectors().first().value(twice)->count, 0);
    QVERIFY(counts.add(5, 0));
    QCOMPARE(counts.sectors().first().value(twice)->count, 1);
    QCOMPARE(counts.total(), 2);

    counts.clearSectors();
    QVERIFY(counts.sectors().isEmpty());
    QCOMPARE(counts.classCount(), 0);
    QVERIFY(!counts.add(5, 0));
    QCOMPARE(counts.total(), 2);
}

// Counting looks a measurement up in arrays of the maps' keys, starting where the lookup before
// ended; it must find the record the maps themselves give, for any classes a user can define
// and in any order of measurements.
void TestRoseCounts::arraysFindWhatMapsFind_data()
{
    QTest::addColumn<int>("sectors");
    QTest::addColumn<double>("turn");
    QTest::addColumn<Limits>("classes");

    const Limits usual { { -1, 0 }, { 0, 10 }, { 10, 20 }, { 20, 1e4 } };
    QTest::newRow("four wind sectors") << 4 << 360.0 << usual;
    QTest::newRow("24 hour sectors") << 24 << 360.0 << usual;
    QTest::newRow("one sector") << 1 << 360.0 << usual;
    QTest::newRow("sectors over another turn") << 7 << 100.0 << usual;
    QTest::newRow("open classes") << 8 << 360.0
                                  << Limits { { -infinity, 0 }, { 0, 5 }, { 5, infinity } };
    QTest::newRow("gaps and empty classes")
        << 12 << 360.0 << Limits { { 0, 1 }, { 2, 3 }, { 3, 3 }, { 5, 9 }, { 9, 9.5 } };
    QTest::newRow("nested and overlapping classes")
        << 24 << 360.0
        << Limits { { 0, 10 }, { 2, 5 }, { 5, 20 }, { 1, 30 }, { -5, 15 }, { 25, 26 } };
    QTest::newRow("classes backwards") << 6 << 360.0 << Limits { { 10, 0 }, { 20, 10 }, { 5, 5 } };
    QTest::newRow("a limit that is no number")
        << 24 << 360.0 << Limits { { 0, 10 }, { 10, notANumber }, { 20, 30 } };
}

void TestRoseCounts::arraysFindWhatMapsFind()
{
    QFETCH(int, sectors);
    QFETCH(double, turn);
    QFETCH(Limits, classes);
    // Sectors as the wind rose lays them out.
    RoseCounts counts;
    const double w = turn / sectors;
    const double h = w * 0.5;
    const RoseCounts::Geometry geometry { w, h - w, turn - std::fabs(h - w) };
    counts.setGeometry(geometry);
    const QList<Interval> keys = intervals(classes);
    for (int k = 0; k < sectors; ++k) {
        counts.insertSector(
            Interval::wrapped(h + k * w - w, w, geometry.rangeLow, geometry.rangeHigh), keys);
    }
    const QList<double> values = probesAround(keys);
    QList<double> directions { -720.5, -w, 0.0, turn, 1e9, infinity, notANumber };
    for (const Interval &sector : counts.sectors().keys())
        directions << sector.lowLimit << std::nextafter(sector.lowLimit, infinity)
                   << sector.highLimit << std::nextafter(sector.highLimit, -infinity);
    // Forwards, then backwards, so that each lookup starts from another one's end.
    for (const bool backwards : { false, true }) {
        for (int d = 0; d < directions.size(); ++d) {
            const double direction = directions.at(backwards ? directions.size() - 1 - d : d);
            for (int v = 0; v < values.size(); ++v) {
                const double value = values.at(backwards ? values.size() - 1 - v : v);
                if (counts.find(value, direction) != counts.findInMaps(value, direction))
                    QFAIL(qPrintable(
                        QStringLiteral("value %1, direction %2").arg(value).arg(direction)));
            }
        }
    }
}

QTEST_APPLESS_MAIN(TestRoseCounts)
#include "tst_rosecounts.moc"
