// The shared conversions: no NaN, infinity or oversized value reaches an int unchecked, and the
// angles in degrees give the radians the drawing has always used.
#include "numeric.h"

#include <QtTest>

#include <limits>

class TestNumeric : public QObject
{
    Q_OBJECT

private slots:
    void toInt_data();
    void toInt();
    void clampToInt_data();
    void clampToInt();
    void radians_data();
    void radians();
};

void TestNumeric::toInt_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("saturated"); // toInt
    QTest::addColumn<int>("finite"); // finiteToInt
    const int big = std::numeric_limits<int>::max();
    const int small = std::numeric_limits<int>::min();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("truncates up") << 2.9 << 2 << 2;
    QTest::newRow("truncates down") << -2.9 << -2 << -2;
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << 0 << 0;
    QTest::newRow("inf") << inf << big << 0;
    QTest::newRow("-inf") << -inf << small << 0;
    QTest::newRow("huge") << 1e300 << big << big;
    QTest::newRow("-huge") << -1e300 << small << small;
    QTest::newRow("just above the range") << 2147483648.5 << big << big;
    QTest::newRow("the open class limit") << Numeric::openClassLimit << big << big;
}

void TestNumeric::toInt()
{
    QFETCH(double, value);
    QFETCH(int, saturated);
    QFETCH(int, finite);
    QCOMPARE(Numeric::toInt(value), saturated);
    QCOMPARE(Numeric::finiteToInt(value), finite);
}

void TestNumeric::clampToInt_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("in range") << qint64(-5) << -5;
    QTest::newRow("above") << qint64(1) << 1;
    QTest::newRow("far above") << std::numeric_limits<qint64>::max()
                               << std::numeric_limits<int>::max();
    QTest::newRow("far below") << std::numeric_limits<qint64>::min()
                               << std::numeric_limits<int>::min();
}

void TestNumeric::clampToInt()
{
    QFETCH(qint64, value);
    QFETCH(int, expected);
    QCOMPARE(Numeric::clampToInt(value), expected);
}

// The solar dial's angles, written as literals before, come out bit for bit the same.
void TestNumeric::radians_data()
{
    QTest::addColumn<double>("degrees");
    QTest::addColumn<double>("radians");
    QTest::newRow("noon") << 90.0 << 1.5707963267948966;
    QTest::newRow("midnight") << 270.0 << 4.71238898038469;
    QTest::newRow("logo") << 233.0 << 4.066617157146788;
    QTest::newRow("logo beside the grid") << 245.0 << 4.276056667386108;
    QTest::newRow("a turn") << 360.0 << 6.283185307179586;
}

void TestNumeric::radians()
{
    QFETCH(double, degrees);
    QFETCH(double, radians);
    QVERIFY(Numeric::radians(degrees) == radians);
    QCOMPARE(Numeric::degrees(radians), degrees);
}

QTEST_APPLESS_MAIN(TestNumeric)
#include "tst_numeric.moc"
