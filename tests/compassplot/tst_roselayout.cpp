#include "fakescale.h"
#include "roselayout.h"

#include <QtTest>

#include <limits>

using namespace RoseLayout;

// The geometry of the rose and its legend, checked without painting.
class TestRoseLayout : public QObject
{
    Q_OBJECT
private slots:
    void ringScale_data();
    void ringScale();
    void builtInRings_data();
    void builtInRings();
    void pluginRingsFollowThePositions();
    void hugeScaleValuesSaturate();
    void builtInSegmentLength_data();
    void builtInSegmentLength();
    void placeSegment_data();
    void placeSegment();
    void ringLabels_data();
    void ringLabels();
    void legibleLabels_data();
    void legibleLabels();
    void ringGap_data();
    void ringGap();
    void stackReach_data();
    void stackReach();
    void ringRadius_data();
    void ringRadius();
    void legendRows_data();
    void legendRows();
};

void TestRoseLayout::ringScale_data()
{
    QTest::addColumn<double>("renderedMinimum");
    QTest::addColumn<double>("renderedMaximum");
    QTest::addColumn<double>("dataMaximum");
    QTest::addColumn<double>("fixedMaximum");
    QTest::addColumn<int>("fixedSegments");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<int>("ringCount");
    QTest::addColumn<double>("ringStep");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("no data") << 0.0 << 10.0 << 0.0 << -1.0 << -1 << 0.0 << 5.0 << 5 << 1.0;
    QTest::newRow("fixed 30 / 3") << 0.0 << 13.7 << 13.7 << 30.0 << 3 << 0.0 << 30.0 << 3 << 10.0;
    QTest::newRow("fixed without data")
        << 0.0 << 10.0 << 0.0 << 30.0 << 3 << 0.0 << 30.0 << 3 << 10.0;
    // A fixed scale divides its maximum into equal parts, whole or not.
    QTest::newRow("fixed 6 / 4") << 0.0 << 10.0 << 4.3 << 6.0 << 4 << 0.0 << 6.0 << 4 << 1.5;
    QTest::newRow("fixed 2 / 3") << 0.0 << 10.0 << 4.3 << 2.0 << 3 << 0.0 << 2.0 << 3 << 2.0 / 3;
    QTest::newRow("small share") << 0.0 << 4.3 << 4.3 << -1.0 << -1 << 0.0 << 5.0 << 5 << 1.0;
    QTest::newRow("rounded to 5") << 0.0 << 5.0 << 4.3 << -1.0 << -1 << 0.0 << 5.0 << 5 << 1.0;
    QTest::newRow("13.7 grows to 16.7")
        << 0.0 << 13.7 << 13.7 << -1.0 << -1 << 0.0 << 16.7 << 4 << 4.0;
    // The outermost ring stands at the whole part of the maximum: it must not end below the data.
    QTest::newRow("12.5 grows to 16.5")
        << 0.0 << 12.5 << 12.5 << -1.0 << -1 << 0.0 << 16.5 << 4 << 4.0;
    QTest::newRow("multiple of 4 stays")
        << 0.0 << 16.0 << 16.0 << -1.0 << -1 << 0.0 << 16.0 << 4 << 4.0;
    QTest::newRow("rounded minimum kept")
        << -1.0 << 20.0 << 13.7 << -1.0 << -1 << -1.0 << 16.7 << 4 << 4.0;
    // A share just under 10 that the plug-in rounds to 10 keeps a scale that holds it.
    QTest::newRow("plug-in rounds 9.5 to 10")
        << 0.0 << 10.0 << 9.5 << -1.0 << -1 << 0.0 << 12.5 << 4 << 3.0;
    QTest::newRow("share of exactly 10")
        << 0.0 << 10.0 << 10.0 << -1.0 << -1 << 0.0 << 12.0 << 4 << 3.0;
    QTest::newRow("infinite fixed maximum is automatic")
        << 0.0 << 10.0 << 0.0 << inf << 3 << 0.0 << 5.0 << 5 << 1.0;
    QTest::newRow("ring count bounded")
        << 0.0 << 10.0 << 0.0 << 30.0 << 5000 << 0.0 << 30.0 << maxRingCount << 0.03;
    QTest::newRow("single ring") << 0.0 << 10.0 << 0.0 << 30.0 << 1 << 0.0 << 30.0 << 1 << 30.0;
}

void TestRoseLayout::ringScale()
{
    QFETCH(double, renderedMinimum);
    QFETCH(double, renderedMaximum);
    QFETCH(double, dataMaximum);
    QFETCH(double, fixedMaximum);
    QFETCH(int, fixedSegments);
    const Scale s = RoseLayout::ringScale(
        renderedMinimum, renderedMaximum, dataMaximum, fixedMaximum, fixedSegments);
    QTEST(s.minimum, "minimum");
    QTEST(s.maximum, "maximum");
    QTEST(s.ringCount, "ringCount");
    QTEST(s.ringStep, "ringStep");
}

void TestRoseLayout::builtInRings_data()
{
    QTest::addColumn<double>("maximum");
    QTest::addColumn<int>("ringCount");
    QTest::addColumn<int>("ringStep");
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<QList<int>>("diameters");
    QTest::addColumn<QList<bool>>("labelled");
    // Diameter 388: spacing ceil(388 / 3) = 130 and ceil(388 / 5) = 78.
    QTest::newRow("fixed 30 / 3") << 30.0 << 3 << 10 << QList<double> { 30, 20, 10, 0 }
                                  << QList<int> { 388, 258, 128, -2 }
                                  << QList<bool> { true, true, false, false };
    QTest::newRow("no data: 5% to 2% labelled")
        << 5.0 << 5 << 1 << QList<double> { 5, 4, 3, 2, 1, 0 }
        << QList<int> { 388, 310, 232, 154, 76, -2 }
        << QList<bool> { true, true, true, true, false, false };
}

void TestRoseLayout::builtInRings()
{
    QFETCH(double, maximum);
    QFETCH(int, ringCount);
    QFETCH(int, ringStep);
    QFETCH(QList<double>, values);
    QFETCH(QList<int>, diameters);
    QFETCH(QList<bool>, labelled);
    Scale s;
    s.maximum = maximum;
    s.ringCount = ringCount;
    s.ringStep = ringStep;
    const QVector<Ring> rings = RoseLayout::builtInRings(s, 388);
    QCOMPARE(rings.size(), ringCount + 1);
    for (int i = 0; i < rings.size(); ++i) {
        QCOMPARE(rings.at(i).value, values.at(i));
        const int d = diameters.at(i);
        QCOMPARE(rings.at(i).bounds.width(), d);
        QCOMPARE(rings.at(i).bounds.topLeft(), QPoint(-d / 2, -d / 2));
        QCOMPARE(rings.at(i).labelRadius, d / 2);
        QCOMPARE(rings.at(i).labelled, labelled.at(i));
    }
}

void TestRoseLayout::pluginRingsFollowThePositions()
{
    FakeScale scale;
    Scale s;
    s.maximum = 30.0;
    s.ringCount = 3;
    s.ringStep = 10;
    // Diameter 388, hole 40: the scale is 194 - 40 = 154 pixels long.
    const QVector<Ring> rings = RoseLayout::pluginRings(scale, s, 388, 40);
    const QList<int> radii { 194, 40 + 103, 40 + 51, 40 };
    QCOMPARE(rings.size(), 4);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(rings.at(i).value, 30 - 10 * i);
        QCOMPARE(rings.at(i).labelRadius, radii.at(i));
        QCOMPARE(rings.at(i).bounds,
            QRect(QPoint(-radii.at(i), -radii.at(i)), QPoint(radii.at(i) - 1, radii.at(i) - 1)));
        // Every ring but the innermost carries its value (30 also the unit).
        QCOMPARE(rings.at(i).labelled, i != 3);
    }
}

void TestRoseLayout::hugeScaleValuesSaturate()
{
    Scale s;
    s.maximum = 1e300;
    s.ringCount = 3;
    s.ringStep = std::numeric_limits<int>::max();
    const int big = std::numeric_limits<int>::max();
    const QList<int> values { big, 0, -big, std::numeric_limits<int>::min() };
    FakeScale scale;
    const QVector<Ring> builtIn = RoseLayout::builtInRings(s, 388);
    const QVector<Ring> placed = RoseLayout::pluginRings(scale, s, 388, 40);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(builtIn.at(i).value, values.at(i));
        QCOMPARE(placed.at(i).value, values.at(i));
    }
}

void TestRoseLayout::builtInSegmentLength_data()
{
    QTest::addColumn<double>("percent");
    QTest::addColumn<int>("ringCount");
    QTest::addColumn<double>("dataMaximum");
    QTest::addColumn<int>("expected");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // Diameter 388 with 4 rings: bar area 291; 50 rounds up to 51 (3 * 17), divisor 102.
    QTest::newRow("share of the largest sector") << 30.0 << 4 << 50.0 << 85;
    QTest::newRow("largest sector reaches half the bar area") << 51.0 << 4 << 50.0 << 145;
    // The degenerate divisors of the rule: no stacked share, or one ring.
    QTest::newRow("no stacked share") << 30.0 << 4 << 0.0 << 0;
    QTest::newRow("one ring") << 30.0 << 1 << 50.0 << 0;
    QTest::newRow("no rings") << 30.0 << 0 << 50.0 << 0;
    QTest::newRow("non-finite share") << nan << 4 << 50.0 << 0;
    QTest::newRow("non-finite maximum") << 30.0 << 4 << nan << 0;
}

void TestRoseLayout::builtInSegmentLength()
{
    QFETCH(double, percent);
    QFETCH(int, ringCount);
    QFETCH(double, dataMaximum);
    QTEST(RoseLayout::builtInSegmentLength(percent, 388.0, ringCount, dataMaximum), "expected");
}

// A rose of diameter 388 with a hole of 40: 154 pixels of scale from the hole outward, the fake
// plug-in placing 7.7 pixels per percent on a scale up to 20 %; the built-in rule stops the bars
// at 194, as does a fixed scale of the plug-in (at 40 + 154).
void TestRoseLayout::placeSegment_data()
{
    QTest::addColumn<bool>("plugin");
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<double>("position");
    QTest::addColumn<double>("percent");
    QTest::addColumn<double>("lengthFactor");
    QTest::addColumn<double>("offset");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("advance");

    QTest::newRow("plug-in") << true << false << 40.0 << 10.0 << 1.0 << -1.0 << 41 << 77 << 77;
    QTest::newRow("plug-in, stretched")
        << true << false << 40.0 << 10.0 << 2.0 << -1.0 << 41 << 154 << 154;
    // The shift (38.5 rounded away from zero) moves the segment, not the next one.
    QTest::newRow("plug-in, shifted")
        << true << false << 40.0 << 10.0 << 1.0 << 5.0 << 80 << 77 << 77;
    QTest::newRow("plug-in, past the scale")
        << true << false << 117.0 << 25.0 << 1.0 << -1.0 << 118 << 193 << 193;
    QTest::newRow("fixed scale, cut at the outer ring")
        << true << true << 40.0 << 25.0 << 1.0 << -1.0 << 41 << 153 << 193;
    QTest::newRow("fixed scale, beyond the outer ring")
        << true << true << 200.0 << 5.0 << 1.0 << -1.0 << 201 << 0 << 39;
    QTest::newRow("no share") << true << false << 40.0 << 0.0 << 1.0 << 5.0 << 41 << 0 << 0;
    QTest::newRow("built-in") << false << false << 40.0 << 30.0 << 1.0 << -1.0 << 41 << 85 << 85;
    QTest::newRow("built-in, cut at the outer ring")
        << false << false << 150.0 << 51.0 << 1.0 << -1.0 << 151 << 43 << 145;
    QTest::newRow("built-in, offset ignored")
        << false << false << 40.0 << 30.0 << 1.0 << 5.0 << 41 << 85 << 85;
    QTest::newRow("far beyond the image")
        << false << false << 1e12 << 30.0 << 1.0 << -1.0 << maxSegmentReach << 0 << 85;
}

void TestRoseLayout::placeSegment()
{
    QFETCH(bool, plugin);
    QFETCH(bool, fixed);
    QFETCH(double, position);
    QFETCH(double, percent);
    QFETCH(double, lengthFactor);
    QFETCH(double, offset);
    FakeScale fake;
    Scale rings;
    rings.maximum = 20.0;
    rings.ringCount = 4;
    rings.exact = fixed;
    const SegmentRule rule = segmentRule(plugin ? &fake : nullptr, rings, 40, 388.0, 50.0);
    QCOMPARE(rule.scaleLength, 154);
    const SegmentPlace place
        = RoseLayout::placeSegment(rule, position, percent, lengthFactor, offset);
    QTEST(place.start, "start");
    QTEST(place.shown, "shown");
    QTEST(place.advance, "advance");
}

void TestRoseLayout::ringLabels_data()
{
    QTest::addColumn<double>("maximum");
    QTest::addColumn<int>("ringCount");
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<QStringList>("labels"); // outermost first, the innermost (0) left out
    // Whole steps keep whole numbers; others get the decimals they need, at most 2.
    QTest::newRow("fixed 30 / 3") << 30.0 << 3 << true << QStringList { "30", "20", "10" };
    QTest::newRow("fixed 6 / 4") << 6.0 << 4 << true << QStringList { "6.0", "4.5", "3.0", "1.5" };
    QTest::newRow("fixed 2 / 8") << 2.0 << 8 << true
                                 << QStringList { "2.00", "1.75", "1.50", "1.25", "1.00", "0.75",
                                        "0.50", "0.25" };
    QTest::newRow("fixed 2 / 3") << 2.0 << 3 << true << QStringList { "2.00", "1.33", "0.67" };
    QTest::newRow("fixed 7.5 / 3") << 7.5 << 3 << true << QStringList { "7.5", "5.0", "2.5" };
    QTest::newRow("fixed 0.3 / 3") << 0.3 << 3 << true << QStringList { "0.3", "0.2", "0.1" };
    // An automatic scale steps in whole percents from the whole part of its maximum.
    QTest::newRow("automatic 13.7 / 4")
        << 13.7 << 4 << false << QStringList { "16", "12", "8", "4" };
}

void TestRoseLayout::ringLabels()
{
    QFETCH(double, maximum);
    QFETCH(int, ringCount);
    QFETCH(bool, fixed);
    QFETCH(QStringList, labels);
    const Scale s = fixed ? RoseLayout::ringScale(0.0, 10.0, 4.0, maximum, ringCount)
                          : RoseLayout::ringScale(0.0, maximum, maximum, -1.0, -1);
    QCOMPARE(s.ringCount, ringCount);
    QCOMPARE(RoseLayout::ringValue(s, ringCount), 0.0);
    QStringList texts;
    for (int i = 0; i < ringCount; ++i)
        texts << RoseLayout::ringLabel(RoseLayout::ringValue(s, i), RoseLayout::ringDecimals(s));
    QCOMPARE(texts, labels);
}

void TestRoseLayout::legibleLabels_data()
{
    QTest::addColumn<QVector<QRect>>("ink");
    QTest::addColumn<QVector<bool>>("drawn");
    // Labels 20 x 10 along a diagonal ladder, outermost first.
    const auto ladder = [](int step, int count) {
        QVector<QRect> rects;
        for (int i = 0; i < count; ++i)
            rects << QRect(100 - i * step, 100 - i * step, 20, 10);
        return rects;
    };
    QTest::newRow("touching") << ladder(10, 3) << QVector<bool> { true, true, true };
    QTest::newRow("every other one clashes")
        << ladder(6, 5) << QVector<bool> { true, false, true, false, true };
    QTest::newRow("rings without label are skipped") << QVector<QRect> { QRect(0, 0, 20, 10),
        QRect(), QRect(0, 5, 20, 10), QRect(0, 10, 20, 10) }
                                                     << QVector<bool> { true, false, false, true };
}

void TestRoseLayout::legibleLabels()
{
    QFETCH(QVector<QRect>, ink);
    QTEST(RoseLayout::legibleLabels(ink), "drawn");
}

void TestRoseLayout::stackReach_data()
{
    QTest::addColumn<QVector<double>>("shares");
    QTest::addColumn<QVector<double>>("lengths");
    QTest::addColumn<QVector<double>>("offsets");
    QTest::addColumn<double>("reach");
    QTest::newRow("the first class counts")
        << QVector<double> { 86, 4, 2 } << QVector<double> { 1, 1, 1 }
        << QVector<double> { -1, -1, -1 } << 92.0;
    QTest::newRow("length factors") << QVector<double> { 10, 20 } << QVector<double> { 1, 0.5 }
                                    << QVector<double> { -1, -1 } << 20.0;
    // A shifted segment reaches further; the next one starts where it would have ended.
    QTest::newRow("an offset shifts its own segment")
        << QVector<double> { 10, 5, 1 } << QVector<double> { 1, 1, 1 }
        << QVector<double> { -1, 8, -1 } << 23.0;
    QTest::newRow("nothing counted")
        << QVector<double> { 0, 0 } << QVector<double> { 1, 1 } << QVector<double> { 5, 5 } << 0.0;
}

void TestRoseLayout::stackReach()
{
    QFETCH(QVector<double>, shares);
    QFETCH(QVector<double>, lengths);
    QFETCH(QVector<double>, offsets);
    QTEST(RoseLayout::stackReach(shares, lengths, offsets), "reach");
}

void TestRoseLayout::ringGap_data()
{
    QTest::addColumn<int>("segments");
    QTest::addColumn<int>("room"); // pixels
    QTest::addColumn<int>("ringCount");
    QTest::addColumn<double>("ringStep");
    // Lines of 2 pixels with 2 blank pixels between them: a ring every 4 pixels.
    QTest::newRow("few rings keep their count") << 4 << 150 << 4 << 1.5;
    QTest::newRow("4 pixels apart exactly") << 30 << 120 << 30 << 0.2;
    QTest::newRow("one more than fits") << 31 << 120 << 30 << 0.2;
    QTest::newRow("a million rings: as many as fit") << 1000000 << 150 << 37 << 6.0 / 37;
    QTest::newRow("no room keeps one ring") << 1000 << 0 << 1 << 6.0;
}

void TestRoseLayout::ringGap()
{
    QFETCH(int, segments);
    QFETCH(int, room);
    const Scale s = RoseLayout::withRingGap(RoseLayout::ringScale(0, 10, 4, 6.0, segments), room);
    QTEST(s.ringCount, "ringCount");
    QTEST(s.ringStep, "ringStep");
    QCOMPARE(s.maximum, 6.0);
    QCOMPARE(RoseLayout::ringValue(s, s.ringCount), 0.0);

    // An automatic scale keeps its rings whatever the room.
    const Scale automatic = RoseLayout::ringScale(0, 13.7, 13.7, -1, -1);
    QCOMPARE(RoseLayout::withRingGap(automatic, room).ringCount, automatic.ringCount);
}

void TestRoseLayout::ringRadius_data()
{
    QTest::addColumn<int>("ringCount");
    QTest::addColumn<int>("classIndex");
    QTest::addColumn<int>("classCount");
    QTest::addColumn<double>("expected");
    QTest::newRow("inner class") << 4 << 0 << 7 << 291 * 2 * 0.12 * (0.425 / 7) * 2.5;
    QTest::newRow("outer classes are thicker") << 4 << 6 << 7 << 291 * 8 * 0.12 * (0.425 / 7) * 2.5;
    QTest::newRow("no classes") << 4 << 0 << 0 << 0.0;
    QTest::newRow("no rings") << 0 << 0 << 7 << 0.0;
}

void TestRoseLayout::ringRadius()
{
    QFETCH(int, ringCount);
    QFETCH(int, classIndex);
    QFETCH(int, classCount);
    QFETCH(double, expected);
    QCOMPARE(RoseLayout::ringRadius(388.0, ringCount, classIndex, classCount, 2.5), expected);
}

void TestRoseLayout::legendRows_data()
{
    QTest::addColumn<int>("titleBreaks");
    QTest::addColumn<int>("classCount");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("showTitle");
    QTest::addColumn<int>("available");
    QTest::addColumn<int>("rowHeight");
    // Line height 20: symbol 24, half 12, rows of at least 25 pixels per class.
    QTest::newRow("half the height") << 0 << 3 << 480 << false << 240 << 80;
    QTest::newRow("title line") << 0 << 3 << 480 << true << 220 << 73;
    QTest::newRow("two-line title") << 1 << 3 << 480 << true << 200 << 66;
    QTest::newRow("content taller than half") << 0 << 20 << 100 << false << 501 << 25;
    QTest::newRow("no classes") << 1 << 0 << 480 << true << 200 << 0;
}

void TestRoseLayout::legendRows()
{
    QFETCH(int, titleBreaks);
    QFETCH(int, classCount);
    QFETCH(int, height);
    QFETCH(bool, showTitle);
    const LegendRows rows
        = RoseLayout::legendRows(20, titleBreaks, classCount, 100, height, 291.7, showTitle);
    QTEST(rows.available, "available");
    QTEST(rows.rowHeight, "rowHeight");
    QCOMPARE(rows.symbolSize, 24);
    QCOMPARE(rows.imageWidth, 291 + 100 + 10);
    QCOMPARE(rows.symbolOrigin(), QPoint(291 - 12 + 1, height - 5 - 14));
    QCOMPARE(rows.rowOrigin(), rows.symbolOrigin() + QPoint(24, 0));
    if (classCount > 2)
        QCOMPARE(rows.bandStart(2), 12 + rows.rowHeight);
}

QTEST_APPLESS_MAIN(TestRoseLayout)
#include "tst_roselayout.moc"
