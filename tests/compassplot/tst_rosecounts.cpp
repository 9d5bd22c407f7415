// The counts of a rose on their own: which record a measurement lands in, what is not counted,
// the records a sector gets, and the shares the scale is made for.
#include "rosecounts.h"

#include <QtTest>

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

} // namespace

Q_DECLARE_METATYPE(Measurements)

class TestRoseCounts : public QObject
{
    Q_OBJECT

private slots:
    void count_data();
    void count();
    void sectorRecords();
};

void TestRoseCounts::count_data()
{
    QTest::addColumn<Measurements>("measurements");
    QTest::addColumn<int>("total");
    QTest::addColumn<double>("north"); // sectorTotal(0), calm left out
    QTest::addColumn<double>("dataMaximum");

    QTest::newRow("nothing") << Measurements {} << 0 << 0.0 << 0.0;
    QTest::newRow("stacked at north, one at east")
        << Measurements { { 5, 0 }, { 15, 10 }, { 5, 90 }, { -0.5, 180 } } << 4 << 50.0 << 50.0;
    // Without a stacked share the scale is made for the largest calm share.
    QTest::newRow("only calm") << Measurements { { -0.5, 0 }, { -0.5, 0 }, { -0.5, 90 } } << 3
                               << 0.0 << 200.0 / 3;
    QTest::newRow("directions fold into the window")
        << Measurements { { 5, 350 }, { 5, -10 }, { 5, 720 } } << 3 << 100.0 << 100.0;
    QTest::newRow("no place on the circle or the scale") << Measurements { { notANumber, 0 },
        { 5, notANumber }, { infinity, 0 }, { 5, -infinity }, { 30, 0 }, { -5, 0 } }
                                                         << 0 << 0.0 << 0.0;
}

void TestRoseCounts::count()
{
    QFETCH(Measurements, measurements);
    QFETCH(int, total);
    QFETCH(double, north);
    QFETCH(double, dataMaximum);
    RoseCounts counts;
    buildFourSectors(counts);
    int added = 0;
    for (const Measurement &m : measurements)
        added += counts.add(m.value, m.direction) ? 1 : 0;
    QCOMPARE(added, total);
    QCOMPARE(counts.total(), total);
    QCOMPARE(counts.sectorTotal(0), north);
    QCOMPARE(counts.dataMaximum(), dataMaximum);
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

QTEST_APPLESS_MAIN(TestRoseCounts)
#include "tst_rosecounts.moc"
