#include "fakescale.h"
#include "roselayout.h"
#include "rosepainter.h"
#include "roseprobe.h"
#include "testsupport.h"
#include "windroselegend.h"

#include <QGuiApplication>
#include <QtTest>

#include <cmath>
#include <functional>
#include <limits>

using namespace RoseProbe;
using TestSupport::countPixels;
using TestSupport::darkestGray;
using TestSupport::rowName;
using TestRose = ScaleBound<QWindRose>;

namespace {

// How a test chart places its rings and segments.
enum ScaleMode { BuiltIn, Fake, Tickfit };

const QColor blue("#0000ff");
const QColor yellow("#ffff00");
const QColor red("#ff0000");
const QColor grey("#7a7a7a");

const int centre = 240; // of a 480 x 480 rose

void addMany(QWindRose &rose, int n, double speed, double direction)
{
    for (int i = 0; i < n; ++i)
        rose.addMeasurement(speed, direction);
}

// 100 measurements in the default classes: at north 10 calm, 20 in (1, 2] (yellow) and 30 in
// (3, 5] (red); at east 40 in (5, 10] (grey). The largest stacked share is 50 %.
void addStandardData(QWindRose &rose)
{
    addMany(rose, 10, 0.1, 0);
    addMany(rose, 20, 1.5, 0);
    addMany(rose, 30, 4.0, 0);
    addMany(rose, 40, 7.0, 90);
}

// Binds the scale the row asks for; false when the real plug-in is not there.
bool useScale(TestRose &rose, FakeScale &fake, int mode)
{
    if (mode == Tickfit)
        return rose.scale() != nullptr;
    rose.useScale(mode == Fake ? &fake : nullptr);
    return true;
}

// A column "mode" with one row per way of placing rings and segments.
void addScaleRows(const QString &name, QList<int> modes = { BuiltIn, Fake, Tickfit })
{
    QTest::addColumn<int>("mode");
    const char *labels[] = { "built-in", "plug-in", "tickfit" };
    for (int mode : modes)
        QTest::newRow(qPrintable(name + QLatin1Char(' ') + QLatin1String(labels[mode]))) << mode;
}

// The screen pixel at distance u along the axis of a sector drawn at screen angle
// (degrees, 0 right, clockwise); the segment frame has its origin at (239, 240).
QPoint onAxis(double angle, int u)
{
    const double a = angle * M_PI / 180.0;
    return QPoint(239 + qRound(std::cos(a) * u), centre + qRound(std::sin(a) * u));
}

// The furthest distance from the centre, short of the image's edge, at which the north axis
// shows a bar of colour; 0 when it shows none beyond from.
int outermostNorth(const QImage &image, const QColor &colour, int from)
{
    int outermost = 0;
    for (int u = from; u < centre; ++u) {
        if (onShade(image.pixelColor(onAxis(-90, u)), colour))
            outermost = u;
    }
    return outermost;
}

bool opaqueDark(const QColor &c)
{
    return c.alpha() > 128 && qGray(c.rgb()) < 100;
}

bool visible(const QColor &c)
{
    return c.alpha() != 0;
}

QImage draw(QWindRose &rose, const QString &name)
{
    QImage image;
    if (!rose.drawImage(image))
        return QImage();
    TestSupport::saveOutput(image, QStringLiteral("windrosepaint-%1.png").arg(name));
    return image;
}

using Setting = std::function<void(QWindRose &)>;

} // namespace

Q_DECLARE_METATYPE(Setting)

namespace {

// Rows of oddSettingsStillDraw for both ways of placing rings: the setting is made before the
// data are added (and again after them when asked), the image must come out height high.
void settingRows(const char *name, int height, bool againAfterData, const Setting &setting)
{
    for (int mode : { BuiltIn, Fake })
        QTest::addRow("%s %s", name, mode == BuiltIn ? "built-in" : "plug-in")
            << mode << setting << againAfterData << height;
}

void settingRows(const char *name, const Setting &setting)
{
    settingRows(name, 480, false, setting);
}

} // namespace

class TestWindRosePaint : public QObject
{
    Q_OBJECT
private slots:
    void darkenedColour_data();
    void darkenedColour();
    void frameFromPlainValues_data();
    void frameFromPlainValues();
    void windrose3dSegment();
    void freshChartSize_data();
    void freshChartSize();
    void fixedScaleRings_data();
    void fixedScaleRings();
    void manyRingsKeepApart_data();
    void manyRingsKeepApart();
    void barsStopAtTheOuterRing_data();
    void barsStopAtTheOuterRing();
    void noDataDrawsTheSmallScale_data();
    void noDataDrawsTheSmallScale();
    void segmentsAlongSectorAxes_data();
    void segmentsAlongSectorAxes();
    void shareRoundedToTenKeepsItsScale_data();
    void shareRoundedToTenKeepsItsScale();
    void offsetShiftsOnlyItsSegment();
    void allDataCountShrinksSegments_data();
    void allDataCountShrinksSegments();
    void firstClassOnlyStaysInside_data();
    void firstClassOnlyStaysInside();
    void oddSettingsStillDraw_data();
    void oddSettingsStillDraw();
    void withoutBackground_data();
    void withoutBackground();
    void legendStrip();
    void warningBox_data();
    void warningBox();
    void timeStampIsTheOnlyDifference();
    void timeStampAlwaysDrawn_data();
    void timeStampAlwaysDrawn();
    void callerImageIsPaintedOver_data();
    void callerImageIsPaintedOver();
    void legendRoseIsOpaque_data();
    void legendRoseIsOpaque();
    void combinedRingsAroundOwnCentre();
    void ringLabelsOverBars_data();
    void ringLabelsOverBars();
    void ringLabelsFit_data();
    void ringLabelsFit();
    void firstClassHeldByAutomaticScale_data();
    void firstClassHeldByAutomaticScale();
    void textScaleFollowsHeight();
};

void TestWindRosePaint::frameFromPlainValues_data()
{
    QTest::addColumn<double>("gridDiameter");
    QTest::addColumn<double>("dataDiameter");
    QTest::addColumn<int>("segments");
    QTest::addColumn<bool>("styled");

    QTest::newRow("one diameter") << 400.0 << 400.0 << 4 << true;
    QTest::newRow("data on a taller drawing") << 300.0 << 400.0 << 2 << true;
    QTest::newRow("data on a lower drawing") << 400.0 << 250.0 << 8 << true;
    QTest::newRow("no segment style") << 400.0 << 400.0 << 4 << false;
}

// A frame is measured from the values handed in alone: the rings on the grid's diameter, the
// segments on the data's, each as thick as its class is on the frame's own ring count.
void TestWindRosePaint::frameFromPlainValues()
{
    QFETCH(double, gridDiameter);
    QFETCH(double, dataDiameter);
    QFETCH(int, segments);
    QFETCH(bool, styled);
    const QList<Interval> classes { Interval::fromLimits(0, 1), Interval::fromLimits(1, 2),
        Interval::fromLimits(2, 3) };
    RoseCounts counts;
    counts.setGeometry({ 90.0, -45.0, 315.0 });
    for (int k = 0; k < 4; ++k)
        counts.insertSector(Interval(-45.0 + 90.0 * k, 90.0), classes);
    for (int i = 0; i < 60; ++i)
        counts.add(0.5 + (i % 3), 90.0 * (i % 4));
    RoseSettings settings;
    settings.fixedScaleMaximum = 40.0;
    settings.fixedScaleSegments = segments;
    FrameInput input(counts, settings);
    input.font = QFont(QStringLiteral("verdana"), 12);
    input.gridDiameter = gridDiameter;
    input.dataDiameter = dataDiameter;
    input.classCount = classes.size();
    input.thickness = { 0.12, 0.425 / classes.size(), 2.5 };
    input.hasStyle = styled;
    for (int k = 0; k < 4; ++k)
        input.styles.append(QVector<Spoke>(classes.size(), Spoke(QBrush(Qt::red))));

    const RoseFrame frame = RoseFrame::measure(input);
    QCOMPARE(frame.diameter, int(gridDiameter));
    QCOMPARE(frame.scale.ringCount, segments);
    QCOMPARE(frame.rings.first().bounds.width(), int(gridDiameter));
    QCOMPARE(frame.dataDiameter, dataDiameter);
    QCOMPARE(frame.classThickness.size(), classes.size());
    const double bars = dataDiameter - dataDiameter / segments;
    for (int j = 0; j < classes.size(); ++j)
        QCOMPARE(frame.classThickness.at(j), bars * (j + 2) * 0.12 * (0.425 / 3) * 2.5);
    QCOMPARE(frame.sectors.size(), styled ? 4 : 0);
    for (const QVector<RoseFrame::Segment> &sector : frame.sectors) {
        QCOMPARE(sector.size(), classes.size());
        for (int j = 0; j < sector.size(); ++j)
            QVERIFY(qAbs(sector.at(j).thickness - frame.classThickness.at(j)) < 1.0);
    }
    // Nothing is kept from one measuring to the next.
    const RoseFrame again = RoseFrame::measure(input);
    QCOMPARE(again.scale.ringCount, frame.scale.ringCount);
    QCOMPARE(again.classThickness, frame.classThickness);
}

void TestWindRosePaint::darkenedColour_data()
{
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("black stays black") << QColor(Qt::black) << QColor(Qt::black);
    QTest::newRow("white to value 178") << QColor(Qt::white) << QColor(178, 178, 178);
    QTest::newRow("red") << QColor(255, 0, 0) << QColor(178, 0, 0);
    QTest::newRow("translucent becomes opaque") << QColor(0, 0, 255, 100) << QColor(0, 0, 178);
}

void TestWindRosePaint::darkenedColour()
{
    QFETCH(QColor, colour);
    QFETCH(QColor, expected);
    const QColor dark = Windrose3D::darkened(colour);
    QVERIFY2(TestSupport::colorNear(dark, expected, 1), qPrintable(dark.name(QColor::HexArgb)));
}

// Thickness 20 from x = 30 with length 50: the rectangle x 30 to 79, y -10 to 9, outlined in
// the pen's colour and shaded across its thickness.
void TestWindRosePaint::windrose3dSegment()
{
    QImage image(100, 40, QImage::Format_ARGB32);
    image.fill(0);
    {
        QPainter painter(&image);
        painter.translate(0, 20);
        painter.setPen(red);
        Windrose3D style;
        style.draw(&painter, QPoint(30, 0), QSize(50, 20), QBrush(), 1.0);
        // An empty size draws nothing.
        style.draw(&painter, QPoint(90, 0), QSize(0, 20), QBrush(), 1.0);
    }
    TestSupport::saveOutput(image, QStringLiteral("windrosepaint-windrose3d.png"));
    const QRect drawn(30, 10, 50, 20);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 100; ++x)
            QCOMPARE(qAlpha(image.pixel(x, y)) != 0, drawn.contains(x, y));
    }
    // The outline and the lit edge in the class colour, the far edge darkened.
    QVERIFY(TestSupport::colorNear(image.pixelColor(30, 20), red, 0));
    QVERIFY(TestSupport::colorNear(image.pixelColor(50, 11), red, 0));
    QVERIFY(TestSupport::colorNear(image.pixelColor(50, 28), Windrose3D::darkened(red), 0));
    QVERIFY(onShade(image.pixelColor(50, 20), red));
}

void TestWindRosePaint::freshChartSize_data()
{
    addScaleRows(QStringLiteral("default classes"));
}

void TestWindRosePaint::freshChartSize()
{
    QFETCH(int, mode);
    TestRose rose;
    FakeScale fake;
    if (!useScale(rose, fake, mode))
        QSKIP("the scale plug-in is not built");
    addStandardData(rose);
    const QImage image = draw(rose, rowName());
    QCOMPARE(image.height(), 480);
    QCOMPARE(image.width(), 480 + rose.legend()->legendWidth(rose.font()));
    QVERIFY(rose.legend()->legendWidth(rose.font()) > 0);
    QCOMPARE(image.format(), QImage::Format_ARGB32);
    QCOMPARE(rose.spokes().size(), 16);
    QCOMPARE(rose.textLines().size(), 4);
    if (mode == Fake)
        QCOMPARE(fake.roundCalls, 1);

    rose.setEnableLegend(false);
    QCOMPARE(draw(rose, rowName() + QStringLiteral("-nolegend")).size(), QSize(480, 480));
}

void TestWindRosePaint::fixedScaleRings_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<int>("segments");
    const char *labels[] = { "built-in", "plug-in", "tickfit" };
    for (int mode : { BuiltIn, Fake, Tickfit }) {
        QTest::addRow("30 / 3 %s", labels[mode]) << mode << 30.0 << 3;
        // Steps that are no whole percent: rings at 6, 4.5, 3, 1.5 and 0.
        QTest::addRow("6 / 4 %s", labels[mode]) << mode << 6.0 << 4;
    }
}

void TestWindRosePaint::fixedScaleRings()
{
    QFETCH(int, mode);
    QFETCH(double, maximum);
    QFETCH(int, segments);
    TestRose rose;
    FakeScale fake;
    if (!useScale(rose, fake, mode))
        QSKIP("the scale plug-in is not built");
    addStandardData(rose);
    rose.setFixedScale(maximum, segments);
    rose.setEnableLegend(false);
    const QImage image = draw(rose, rowName());
    QCOMPARE(rose.frame().scale.ringCount, segments);
    QCOMPARE(rose.frame().scale.ringStep, maximum / segments);
    QCOMPARE(rose.frame().scale.maximum, maximum);

    // The rings from the maximum down to 0 in equal steps, probed at west where no sector has
    // data.
    const int d = expectedDiameter(rose.font());
    const int hole = expectedHoleRadius(rose.font());
    QList<int> radii;
    for (int i = 0; i <= segments; ++i) {
        const double value = maximum - i * maximum / segments;
        QCOMPARE(RoseLayout::ringValue(rose.frame().scale, i), value);
        if (mode == BuiltIn)
            radii << (d - i * int(std::ceil(double(d) / segments))) / 2;
        else
            radii << hole + fake.at(d / 2 - hole, value, 0, maximum);
    }
    for (int i = 0; i < radii.size(); ++i) {
        if (radii.at(i) < hole) // the innermost built-in ring shrinks to the centre
            continue;
        QVERIFY2(darkestGray(image, QPoint(centre - radii.at(i), centre), 1) < 100,
            qPrintable(QStringLiteral("ring %1 at radius %2").arg(i).arg(radii.at(i))));
        if (i + 1 < radii.size() && radii.at(i + 1) >= hole) {
            const int between = (radii.at(i) + radii.at(i + 1)) / 2;
            QVERIFY(darkestGray(image, QPoint(centre - between, centre), 1) > 200);
        }
    }
}

void TestWindRosePaint::manyRingsKeepApart_data()
{
    addScaleRows(QStringLiteral("a million rings"), { BuiltIn, Fake });
}

// A grid count far beyond what the rose can show is drawn as the most rings that stay apart:
// along the west axis, where no sector has data, every ring is dark and the middle between two
// rings is light.
void TestWindRosePaint::manyRingsKeepApart()
{
    QFETCH(int, mode);
    TestRose rose;
    FakeScale fake;
    useScale(rose, fake, mode);
    addStandardData(rose);
    rose.setFixedScale(6, 1000000);
    rose.setEnableLegend(false);
    const QImage image = draw(rose, rowName());

    const int d = expectedDiameter(rose.font());
    const int hole = expectedHoleRadius(rose.font());
    const int room = mode == BuiltIn ? d / 2 : d / 2 - hole;
    QCOMPARE(rose.frame().scale.ringCount, room / RoseLayout::minRingSpacing);
    QCOMPARE(rose.frame().scale.ringStep, 6.0 / rose.frame().scale.ringCount);

    QList<int> radii;
    for (int i = 0; i <= rose.frame().scale.ringCount; ++i) {
        const double value = RoseLayout::ringValue(rose.frame().scale, i);
        radii << (mode == BuiltIn
                ? (d - i * int(std::ceil(double(d) / rose.frame().scale.ringCount))) / 2
                : hole + fake.at(room, value, 0, 6));
    }
    for (int i = 0; i + 1 < radii.size() && radii.at(i + 1) > hole; ++i) {
        QVERIFY(radii.at(i) - radii.at(i + 1) >= RoseLayout::minRingSpacing - 1);
        const int ring = qGray(image.pixel(centre - radii.at(i), centre));
        const int between
            = qGray(image.pixel(centre - (radii.at(i) + radii.at(i + 1)) / 2, centre));
        QVERIFY2(ring < 160 && between > ring + 60,
            qPrintable(QStringLiteral("ring %1 at %2: %3, between: %4")
                           .arg(i)
                           .arg(radii.at(i))
                           .arg(ring)
                           .arg(between)));
    }
}

void TestWindRosePaint::barsStopAtTheOuterRing_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("fixedMaximum"); // 0: the automatic scale
    QTest::addColumn<bool>("cut");
    QTest::newRow("built-in, fixed below the data") << int(BuiltIn) << 20 << true;
    QTest::newRow("plug-in, fixed below the data") << int(Fake) << 20 << true;
    QTest::newRow("built-in, automatic") << int(BuiltIn) << 0 << true;
    QTest::newRow("plug-in, fixed above the data") << int(Fake) << 80 << false;
    QTest::newRow("plug-in, automatic") << int(Fake) << 0 << false;
}

// North stacks 10, 20 and 30 %. A fixed scale that ends lower cuts the bars at its outer ring;
// the built-in rule, whose bars start at the hole and can run past its outermost ring, is held
// there too. The automatic scale with the plug-in is drawn as it always was: its maximum leaves
// out the first class, so the stack may pass it.
void TestWindRosePaint::barsStopAtTheOuterRing()
{
    QFETCH(int, mode);
    QFETCH(int, fixedMaximum);
    QFETCH(bool, cut);
    TestRose rose;
    FakeScale fake;
    useScale(rose, fake, mode);
    addStandardData(rose);
    rose.setFixedScale(fixedMaximum, 4);
    rose.setEnableLegend(false);
    const QImage image = draw(rose, rowName());

    const int d = expectedDiameter(rose.font());
    const int hole = expectedHoleRadius(rose.font());
    const int length = d / 2 - hole;
    const double top = rose.frame().scale.maximum;
    const int outerRing = mode == BuiltIn ? d / 2 : hole + fake.at(length, top, 0, top);
    const int outermost
        = qMax(outermostNorth(image, yellow, hole), outermostNorth(image, red, hole));
    QVERIFY(outermost > hole);
    if (cut) {
        // The bars run up to the ring and no further.
        QVERIFY2(outermost < outerRing && outermost >= outerRing - 3,
            qPrintable(QStringLiteral("%1, ring at %2").arg(outermost).arg(outerRing)));
    } else {
        const int end = hole + fake.at(length, 10, 0, top) + fake.at(length, 20, 0, top)
            + fake.at(length, 30, 0, top);
        QVERIFY2(qAbs(outermost - end) <= 2,
            qPrintable(QStringLiteral("%1, expected %2").arg(outermost).arg(end)));
    }
}

void TestWindRosePaint::noDataDrawsTheSmallScale_data()
{
    addScaleRows(QStringLiteral("empty"), { BuiltIn, Fake });
}

void TestWindRosePaint::noDataDrawsTheSmallScale()
{
    QFETCH(int, mode);
    TestRose rose;
    FakeScale fake;
    useScale(rose, fake, mode);
    rose.setFixedScale(0, 0);
    const QImage image = draw(rose, rowName());
    QCOMPARE(image.height(), 480);
    QCOMPARE(rose.frame().scale.ringCount, 5);
    QCOMPARE(rose.frame().scale.ringStep, 1);
    QCOMPARE(rose.frame().scale.maximum, 5.0);
    // No segment: nothing coloured along the north axis.
    const int d = expectedDiameter(rose.font());
    for (int u = expectedHoleRadius(rose.font()); u < d / 2; ++u)
        QCOMPARE(QColor(image.pixel(onAxis(-90, u))).hsvSaturation(), 0);
}

void TestWindRosePaint::segmentsAlongSectorAxes_data()
{
    addScaleRows(QStringLiteral("automatic"));
}

void TestWindRosePaint::segmentsAlongSectorAxes()
{
    QFETCH(int, mode);
    TestRose rose;
    FakeScale fake;
    if (!useScale(rose, fake, mode))
        QSKIP("the scale plug-in is not built");
    addStandardData(rose);
    rose.setFixedScale(0, 0);
    rose.setEnableLegend(false);
    const QImage image = draw(rose, rowName());
    // The north stack reaches 60 % (calm included, its segment is drawn): the scale 0 to 60.
    QCOMPARE(rose.frame().scale.maximum, 60.0);
    QCOMPARE(rose.frame().scale.ringCount, 4);

    const double d = expectedDiameter(rose.font());
    const int hole = expectedHoleRadius(rose.font());
    auto length = [&](double percent) {
        if (mode == BuiltIn)
            return RoseLayout::builtInSegmentLength(percent, d, 4, 60.0);
        return fake.at(int(d * 0.5 - hole), percent, 0, 60);
    };
    struct Segment
    {
        double angle;
        double percent;
        QColor colour;
    };
    // North: calm, (1, 2] and (3, 5] stacked outward; east: (5, 10] alone.
    const QList<QList<Segment>> sectors {
        { { -90, 10, blue }, { -90, 20, yellow }, { -90, 30, red } }, { { 0, 40, grey } }
    };
    for (const QList<Segment> &sector : sectors) {
        int pos = hole;
        for (const Segment &s : sector) {
            const int len = length(s.percent);
            QVERIFY(len > 4);
            const QPoint mid = onAxis(s.angle, pos + 1 + len / 2);
            QVERIFY2(onShade(image.pixelColor(mid), s.colour),
                qPrintable(QStringLiteral("%1 % at (%2, %3) is %4")
                               .arg(s.percent)
                               .arg(mid.x())
                               .arg(mid.y())
                               .arg(image.pixelColor(mid).name())));
            pos += len;
        }
        const QPoint beyond = onAxis(sector.last().angle, pos + 6);
        QVERIFY(!onShade(image.pixelColor(beyond), sector.last().colour));
    }
}

void TestWindRosePaint::shareRoundedToTenKeepsItsScale_data()
{
    addScaleRows(QStringLiteral("9.5 %"));
}

// A largest share just under 10 %, which the scale plug-in rounds up to 10, is drawn on a scale
// that holds it (not on the 0 to 5 scale of an empty chart).
void TestWindRosePaint::shareRoundedToTenKeepsItsScale()
{
    QFETCH(int, mode);
    TestRose rose;
    FakeScale fake;
    fake.roundedMaximum = 10.0;
    if (!useScale(rose, fake, mode))
        QSKIP("the scale plug-in is not built");
    addMany(rose, 19, 4.0, 0); // red at north: 9.5 %
    addMany(rose, 1, 0.1, 90); // calm at east
    rose.setAllDataCount(200);
    rose.setFixedScale(0, 0);
    rose.setEnableLegend(false);
    const QImage image = draw(rose, rowName());
    QCOMPARE(rose.frame().scale.maximum, 12.5);
    QCOMPARE(rose.frame().scale.ringCount, 4);
    QCOMPARE(rose.frame().scale.ringStep, 3);

    const int d = expectedDiameter(rose.font());
    const int outermost = outermostNorth(image, red, expectedHoleRadius(rose.font()));
    QVERIFY(outermost > 0);
    QVERIFY2(outermost <= d / 2 + 2, qPrintable(QString::number(outermost)));
}

void TestWindRosePaint::offsetShiftsOnlyItsSegment()
{
    TestRose rose;
    FakeScale fake;
    rose.useScale(&fake);
    rose.addIntervalRange(0, 1, QBrush(blue));
    rose.addIntervalRange(1, 2, QBrush(red), 1.0, 2.0);
    rose.addIntervalRange(2, 3, QBrush(yellow));
    // North stacks 10, 20 and 20 % (up to the scale's end at 50 %), south holds the rest.
    addMany(rose, 10, 0.5, 0);
    addMany(rose, 20, 1.5, 0);
    addMany(rose, 20, 2.5, 0);
    addMany(rose, 50, 0.5, 180);
    rose.setFixedScale(50, 5);
    rose.setEnableLegend(false);
    const QImage image = draw(rose, QStringLiteral("offset"));

    const double d = expectedDiameter(rose.font());
    const int hole = expectedHoleRadius(rose.font());
    const int length = int(d * 0.5 - hole);
    const int len0 = fake.at(length, 10, 0, 50);
    const int shift = fake.at(length, 2, 0, 50);
    const int len1 = fake.at(length, 20, 0, 50);
    QVERIFY(shift >= 4);
    // A gap of 2 % after the first segment, the shifted segment, then the next one starting
    // where the unshifted one would have ended.
    const QColor gap = image.pixelColor(onAxis(-90, hole + 1 + len0 + shift / 2));
    QVERIFY(!onShade(gap, red) && !onShade(gap, blue));
    QVERIFY(onShade(image.pixelColor(onAxis(-90, hole + 1 + len0 + shift + len1 / 4)), red));
    QVERIFY(onShade(image.pixelColor(onAxis(-90, hole + 1 + len0 + len1 + shift / 2)), yellow));
}

void TestWindRosePaint::allDataCountShrinksSegments_data()
{
    QTest::addColumn<int>("allDataCount");
    QTest::addColumn<double>("percent");
    QTest::newRow("counted measurements") << 0 << 20.0;
    QTest::newRow("twice as many records") << 40 << 10.0;
}

void TestWindRosePaint::allDataCountShrinksSegments()
{
    QFETCH(int, allDataCount);
    QFETCH(double, percent);
    TestRose rose;
    FakeScale fake;
    rose.useScale(&fake);
    addMany(rose, 4, 4.0, 0); // red at north
    addMany(rose, 16, 0.1, 90); // calm at east
    if (allDataCount > 0)
        rose.setAllDataCount(allDataCount);
    rose.setFixedScale(20, 4);
    rose.setEnableLegend(false);
    const QImage image = draw(rose, rowName());

    const double d = expectedDiameter(rose.font());
    const int hole = expectedHoleRadius(rose.font());
    const int end = hole + 1 + fake.at(int(d * 0.5 - hole), percent, 0, 20);
    QVERIFY(onShade(image.pixelColor(onAxis(-90, end - 3)), red));
    QVERIFY(!onShade(image.pixelColor(onAxis(-90, end + 4)), red));
}

void TestWindRosePaint::firstClassOnlyStaysInside_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("fixedSegments");
    QTest::addColumn<bool>("segmentDrawn");
    QTest::newRow("built-in automatic") << int(BuiltIn) << 0 << true;
    QTest::newRow("built-in single ring") << int(BuiltIn) << 1 << false;
    QTest::newRow("plug-in automatic") << int(Fake) << 0 << true;
    // One ring leaves the bars no room (D - D / 1): nothing is drawn on either path.
    QTest::newRow("plug-in single ring") << int(Fake) << 1 << false;
}

// Every counted measurement in the first class: the built-in rule has no stacked share to
// divide by. The rose is still drawn, the largest first-class share takes the place of the
// stacked share, and every segment stays inside the rose.
void TestWindRosePaint::firstClassOnlyStaysInside()
{
    QFETCH(int, mode);
    QFETCH(int, fixedSegments);
    QFETCH(bool, segmentDrawn);
    TestRose rose;
    FakeScale fake;
    useScale(rose, fake, mode);
    addMany(rose, 12, 0.1, 0);
    addMany(rose, 4, 0.1, 90);
    QCOMPARE(rose.counts().maxSectorTotal(), 0.0);
    rose.setFixedScale(100, fixedSegments); // 0 segments: the automatic scale
    rose.setEnableLegend(false);
    const QImage image = draw(rose, rowName());
    QCOMPARE(image.size(), QSize(480, 480));

    const int d = expectedDiameter(rose.font());
    const int hole = expectedHoleRadius(rose.font());
    const int outermost = outermostNorth(image, blue, hole);
    QCOMPARE(outermost > 0, segmentDrawn);
    // No further than the largest stack of any chart reaches (the built-in rule gives it half
    // the bar area), and inside the compass ring.
    const int reach = hole + 1 + int(RoseLayout::barArea(d, rose.frame().scale.ringCount) / 2);
    QVERIFY2(outermost <= qMax(reach, d / 2), qPrintable(QString::number(outermost)));
    QVERIFY(outermost < int(d * 0.5 + 8) + 10);
}

void TestWindRosePaint::oddSettingsStillDraw_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<Setting>("setting");
    QTest::addColumn<bool>("againAfterData");
    QTest::addColumn<int>("height");
    const double inf = std::numeric_limits<double>::infinity();
    constexpr int most = std::numeric_limits<int>::max();
    settingRows("infinite fixed maximum", [inf](QWindRose &r) { r.setFixedScale(inf, 3); });
    settingRows("huge fixed maximum", [](QWindRose &r) { r.setFixedScale(1e300, 3); });
    settingRows("many rings", [](QWindRose &r) { r.setFixedScale(30, most); });
    // Each segment's length fits an int, the place where the last one ends does not.
    settingRows("tiny fixed maximum", [](QWindRose &r) { r.setFixedScale(2.5e-6, 2); });
    settingRows("size factor nan", [](QWindRose &r) { r.setDataDrawSizeFactor(qQNaN()); });
    settingRows("size factor inf", [inf](QWindRose &r) { r.setDataDrawSizeFactor(inf); });
    settingRows("negative size factor", [](QWindRose &r) { r.setDataDrawSizeFactor(-2.5); });
    settingRows("negative record count", 480, true, [](QWindRose &r) { r.setAllDataCount(-5); });
    settingRows("one record", 480, true, [](QWindRose &r) { r.setAllDataCount(1); });
    settingRows("one direction", [](QWindRose &r) { r.setDirectionsCount(1); });
    settingRows("pixel-sized font", [](QWindRose &r) {
        QFont font(QStringLiteral("verdana"));
        font.setPixelSize(20);
        r.setFont(font);
    });
    settingRows("image height 0", 0, false, [](QWindRose &r) { r.setImageHeight(0); });
    settingRows("image height 3", 3, false, [](QWindRose &r) { r.setImageHeight(3); });
}

// Settings a caller may pass: the chart is drawn, nothing non-finite reaches an integer.
void TestWindRosePaint::oddSettingsStillDraw()
{
    QFETCH(int, mode);
    QFETCH(Setting, setting);
    QFETCH(bool, againAfterData);
    QFETCH(int, height);
    TestRose rose;
    FakeScale fake;
    useScale(rose, fake, mode);
    setting(rose);
    addStandardData(rose);
    if (againAfterData)
        setting(rose);
    QImage image;
    QVERIFY(rose.drawImage(image));
    QCOMPARE(image.height(), height);
    if (height > 0)
        TestSupport::saveOutput(image, QStringLiteral("windrosepaint-%1.png").arg(rowName()));
}

void TestWindRosePaint::withoutBackground_data()
{
    addScaleRows(QStringLiteral("no background"), { BuiltIn, Fake });
}

void TestWindRosePaint::withoutBackground()
{
    QFETCH(int, mode);
    TestRose rose;
    FakeScale fake;
    useScale(rose, fake, mode);
    addStandardData(rose);
    rose.setFixedScale(60, 3); // the segments stay inside the rings
    rose.setEnableLegend(false);
    const QImage withBackground = draw(rose, rowName() + QStringLiteral("-reference"));
    rose.setEnableBackground(false);
    const QImage image = draw(rose, rowName());

    // Transparent where nothing was drawn.
    QCOMPARE(qAlpha(image.pixel(3, 3)), 0);
    QCOMPARE(qAlpha(image.pixel(476, 3)), 0);
    QCOMPARE(qAlpha(withBackground.pixel(3, 3)), 255);

    // The compass letter N and the guide tick at west are gone.
    QFont bigFont = rose.font();
    bigFont.setPointSize(int(bigFont.pointSize() * 1.2));
    const QFontMetrics big(bigFont);
    const int d = expectedDiameter(rose.font());
    const int inner = int(d * 0.5 + 8);
    const int labelRadius = int(big.height() * 0.4 + inner);
    const int nWidth = big.horizontalAdvance(QStringLiteral("N"));
    const QRect letterN(
        centre - nWidth / 2, centre - labelRadius - 10 - big.ascent(), nWidth, big.ascent());
    QVERIFY(countPixels(withBackground, letterN, opaqueDark) > 20);
    QCOMPARE(countPixels(image, letterN, visible), 0);
    const QRect westTick(centre - labelRadius + 2, centre - 2, labelRadius - inner - 4, 4);
    QVERIFY(countPixels(withBackground, westTick, opaqueDark) > 0);
    QCOMPARE(countPixels(image, westTick, visible), 0);

    // Rings: the built-in rule draws them anyway, the plug-in path leaves them out.
    const int outer = mode == BuiltIn ? d / 2
                                      : expectedHoleRadius(rose.font())
            + fake.at(d / 2 - expectedHoleRadius(rose.font()), 60, 0, 60);
    const bool ringDrawn = darkestGray(image, QPoint(centre - outer, centre), 1) < 100
        && qAlpha(image.pixel(centre - outer, centre)) > 0;
    QCOMPARE(ringDrawn, mode == BuiltIn);

    // The segments are still there.
    const int hole = expectedHoleRadius(rose.font());
    QVERIFY(onShade(image.pixelColor(onAxis(0, hole + 10)), grey));
}

void TestWindRosePaint::legendStrip()
{
    QWindRose rose;
    addStandardData(rose);
    const QImage image = draw(rose, QStringLiteral("legend"));
    WindroseLegend *legend = rose.legend();
    QCOMPARE(image.width(), 480 + legend->legendWidth(rose.font()));

    // The rows as the legend laid them out (with rows high enough for its labels), at the
    // right edge of the image.
    const RoseLayout::LegendRows rows = legend->layout().rows;
    QCOMPARE(rows.imageHeight, 480);
    QCOMPARE(legend->paintWidth(), rows.imageWidth);
    const int x0 = image.width() - rows.imageWidth;
    const int symbol = rows.symbolSize;

    // One bar per class but the first, stacked upward from the symbol, in the class colour.
    const QPoint origin = rows.rowOrigin() + QPoint(x0, 0);
    for (int i = 1; i < rose.intervals().size(); ++i) {
        const QColor colour = rose.classStyles().value(rose.intervals().at(i)).brush.color();
        const QPoint p = origin - QPoint(0, rows.bandStart(i) + rows.rowHeight / 2);
        QVERIFY2(onShade(image.pixelColor(p), colour),
            qPrintable(QStringLiteral("class %1 at (%2, %3)").arg(i).arg(p.x()).arg(p.y())));
    }
    // The first class's symbol: a circle outlined in black on the symbol line.
    const QPoint symbolBottom
        = rows.symbolOrigin() + QPoint(x0 + rows.half + symbol / 2, rows.half);
    QVERIFY(darkestGray(image, symbolBottom, 1) < 200);
}

void TestWindRosePaint::warningBox_data()
{
    QTest::addColumn<bool>("warning");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("warning") << true << QColor(255, 210, 210);
    QTest::newRow("plain") << false << QColor(Qt::white);
}

void TestWindRosePaint::warningBox()
{
    QFETCH(bool, warning);
    QFETCH(QColor, expected);
    QWindRose rose;
    addStandardData(rose);
    rose.setLegendText(QStringLiteral("x"), warning);
    const QImage image = draw(rose, rowName());
    const int legendWidth = rose.legend()->paintWidth();
    const int x0 = image.width() - legendWidth;
    const QRect area(0, 5, legendWidth - 5, 240);
    const QRect text
        = QFontMetrics(rose.font()).boundingRect(area, Qt::AlignRight, QStringLiteral("x"));
    // Just right of the text, inside the box's margin of 2 pixels.
    const QPoint p(x0 + text.right() + 1, text.center().y());
    QVERIFY2(TestSupport::colorNear(image.pixelColor(p), expected, 2),
        qPrintable(image.pixelColor(p).name()));
}

void TestWindRosePaint::timeStampIsTheOnlyDifference()
{
    QWindRose rose;
    addStandardData(rose);
    const QImage first = draw(rose, QStringLiteral("first"));
    const QImage second = draw(rose, QStringLiteral("second"));
    QCOMPARE(first.size(), second.size());
    const QRect timeStamp(0, first.height() - 16, 160, 16);
    QCOMPARE(TestSupport::differingPixels(first, second, 0, timeStamp), 0);
}

void TestWindRosePaint::timeStampAlwaysDrawn_data()
{
    QTest::addColumn<bool>("background");
    QTest::addColumn<bool>("legend");
    QTest::addColumn<bool>("grid");
    for (int i = 0; i < 8; ++i) {
        const bool b = i & 1, l = i & 2, g = i & 4;
        QTest::newRow(qPrintable(
            QStringLiteral("background %1 legend %2 grid %3").arg(int(b)).arg(int(l)).arg(int(g))))
            << b << l << g;
    }
}

void TestWindRosePaint::timeStampAlwaysDrawn()
{
    QFETCH(bool, background);
    QFETCH(bool, legend);
    QFETCH(bool, grid);
    QWindRose rose;
    addStandardData(rose);
    rose.setEnableBackground(background);
    rose.setEnableLegend(legend);
    rose.setEnableGrid(grid);
    const QImage image = draw(rose, rowName());
    // Bottom left, 12 pixels high: ink in the last rows, none just above them.
    QVERIFY(countPixels(image, QRect(0, 464, 120, 16), opaqueDark) > 10);
    QCOMPARE(countPixels(image, QRect(0, 430, 120, 30), opaqueDark), 0);
}

void TestWindRosePaint::callerImageIsPaintedOver_data()
{
    QTest::addColumn<bool>("legend");
    QTest::newRow("without legend") << false;
    QTest::newRow("with legend") << true;
}

void TestWindRosePaint::callerImageIsPaintedOver()
{
    QFETCH(bool, legend);
    QWindRose rose;
    addStandardData(rose);
    rose.setEnableLegend(legend);
    QImage image(480, 480, QImage::Format_RGB32);
    image.fill(QColor(0, 128, 0));
    QVERIFY(rose.drawImage(image));
    TestSupport::saveOutput(image, QStringLiteral("windrosepaint-%1.png").arg(rowName()));
    // The rose keeps the caller's picture where it draws nothing; the legend widens it.
    const int legendWidth = legend ? rose.legend()->legendWidth(rose.font()) : 0;
    QCOMPARE(image.size(), QSize(480 + legendWidth, 480));
    QVERIFY(TestSupport::colorNear(image.pixelColor(3, 3), QColor(0, 128, 0), 0));
    QImage again = image;
    QVERIFY(rose.drawImage(again));
    QCOMPARE(again.size(), QSize(480 + 2 * legendWidth, 480));
}

// A rose the legend widened is opaque, whatever it was drawn over.
void TestWindRosePaint::legendRoseIsOpaque_data()
{
    QTest::addColumn<bool>("background");
    QTest::addColumn<bool>("overPicture");
    QTest::newRow("background") << true << false;
    QTest::newRow("no background") << false << false;
    QTest::newRow("no background, over a translucent picture") << false << true;
}

void TestWindRosePaint::legendRoseIsOpaque()
{
    QFETCH(bool, background);
    QFETCH(bool, overPicture);

    QWindRose rose;
    addStandardData(rose);
    rose.setEnableBackground(background);
    QImage image;
    if (overPicture) {
        image = QImage(300, 200, QImage::Format_ARGB32);
        image.fill(qRgba(10, 200, 30, 90));
    }
    QVERIFY(rose.drawImage(image));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            QCOMPARE(qAlpha(image.pixel(x, y)), 255);
    }
}

// As the host combines roses: the second, without background, over the first's picture that
// the legend made wider than high. Without the scale plug-in its rings are drawn all the same,
// around the rose's own centre (the first's), not the picture's: probed along the west axis,
// where no sector has data and the first rose (4 rings) has none of its own.
void TestWindRosePaint::combinedRingsAroundOwnCentre()
{
    QImage combined;
    for (int segments : { 0, 3 }) {
        TestRose rose;
        rose.useScale(nullptr);
        addStandardData(rose);
        rose.setFixedScale(30, segments);
        rose.setEnableBackground(segments == 0);
        QVERIFY(rose.drawImage(combined));
    }
    QVERIFY(combined.width() > combined.height() + 100);
    const int d = expectedDiameter(QWindRose().font());
    for (int i = 1; i <= 2; ++i) {
        const int radius = (d - i * int(std::ceil(d / 3.0))) / 2;
        QVERIFY2(darkestGray(combined, QPoint(centre - radius, centre), 1) < 100,
            qPrintable(QStringLiteral("ring %1 at radius %2").arg(i).arg(radius)));
    }
}

void TestWindRosePaint::ringLabelsOverBars_data()
{
    addScaleRows(QStringLiteral("bars under the labels"), { BuiltIn, Fake });
}

// Bars along the labels' ray (sector 157.5 degrees, 65 on the screen): the labels, painted
// after them on a white halo, keep their black ink.
void TestWindRosePaint::ringLabelsOverBars()
{
    QFETCH(int, mode);
    TestRose rose;
    FakeScale fake;
    useScale(rose, fake, mode);
    addMany(rose, 40, 7.0, 157.5);
    addMany(rose, 40, 4.0, 157.5);
    rose.setFixedScale(80, 4);
    rose.setEnableLegend(false);
    const QImage image = draw(rose, rowName());
    QFont font;
    const QVector<RoseLayout::RingLabel> labels = RoseLayout::fittedRingLabels(rose.frame().rings,
        rose.frame().scale, mode == BuiltIn ? "%" : "", rose.font(), 65.0, 3, &font);
    const QFontMetrics metrics(font);
    int shown = 0;
    for (const RoseLayout::RingLabel &label : labels) {
        const QRect ink
            = metrics.tightBoundingRect(label.text).translated(label.baseline + QPoint(240, 240));
        if (label.text.isEmpty())
            continue;
        ++shown;
        QVERIFY(countPixels(image, ink.adjusted(-6, -6, 6, 6), [](const QColor &c) {
            return onShade(c, grey) || onShade(c, red);
        }) > 0);
        QVERIFY2(countPixels(image, ink, [](const QColor &c) { return qGray(c.rgb()) < 60; })
                > ink.width() * ink.height() / 8,
            qPrintable(label.text));
    }
    QVERIFY(shown >= 2);
}

void TestWindRosePaint::ringLabelsFit_data()
{
    QTest::addColumn<int>("spacing"); // pixels between rings
    QTest::addColumn<int>("pixelSize"); // of the labels
    QTest::addColumn<int>("shown");
    QTest::newRow("far apart: the own size") << 60 << 20 << 4;
    QTest::newRow("close: a smaller size") << 16 << 16 << 4;
    QTest::newRow("too close: every other ring") << 12 << 14 << 2;
}

// Four rings 10, 7.5, 5 and 2.5 labelled along 65 degrees in a font of 20 px: the labels
// shrink before any is left out, and never overlap.
void TestWindRosePaint::ringLabelsFit()
{
    QFETCH(int, spacing);
    QVector<RoseLayout::Ring> rings(5);
    for (int i = 0; i < rings.size(); ++i) {
        rings[i].value = 10.0 - 2.5 * i;
        rings[i].labelRadius = (5 - i) * spacing;
        rings[i].labelled = i < 4;
    }
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(20);
    QFont used;
    const QVector<RoseLayout::RingLabel> labels = RoseLayout::fittedRingLabels(
        rings, RoseLayout::ringScale(0.0, 10.0, 4.0, 10.0, 4), "%", font, 65.0, 2, &used);
    const QFontMetrics metrics(used);
    QVector<QRect> ink;
    for (const RoseLayout::RingLabel &label : labels) {
        if (!label.text.isEmpty())
            ink << metrics.tightBoundingRect(label.text).translated(label.baseline);
    }
    QTEST(used.pixelSize(), "pixelSize");
    QTEST(int(ink.size()), "shown");
    for (int i = 1; i < ink.size(); ++i)
        QVERIFY(!ink.at(i).intersects(ink.at(i - 1)));
}

void TestWindRosePaint::firstClassHeldByAutomaticScale_data()
{
    addScaleRows(QStringLiteral("86 % calm"), { Fake, Tickfit });
}

// 86 % of the values in the first class, at north: its bar is drawn, so the automatic scale
// holds it, and the bar ends inside the outer ring, close to it.
void TestWindRosePaint::firstClassHeldByAutomaticScale()
{
    QFETCH(int, mode);
    TestRose rose;
    FakeScale fake;
    if (!useScale(rose, fake, mode))
        QSKIP("the scale plug-in is not built");
    addMany(rose, 86, 0.1, 0);
    addMany(rose, 14, 4.0, 90);
    rose.setFixedScale(0, 0);
    rose.setEnableLegend(false);
    const QImage image = draw(rose, rowName());
    const int hole = expectedHoleRadius(rose.font());
    const int outerRing = rose.frame().rings.first().labelRadius;
    const int outermost = outermostNorth(image, blue, hole);
    QVERIFY2(outermost < outerRing && outermost > outerRing - (outerRing - hole) / 8,
        qPrintable(QStringLiteral("%1, ring at %2").arg(outermost).arg(outerRing)));
}

// Twice the height with texts twice as large is the same drawing twice as large.
void TestWindRosePaint::textScaleFollowsHeight()
{
    QWindRose plain;
    QWindRose large;
    QVERIFY(!large.setTextScale(0.0));
    QVERIFY(large.setImageHeight(960) && large.setTextScale(2.0));
    QImage small, big;
    for (QWindRose *rose : { &plain, &large })
        addStandardData(*rose);
    QVERIFY(plain.drawImage(small) && large.drawImage(big));
    QCOMPARE(large.font().pointSizeF(), 2 * plain.font().pointSizeF());
    QVERIFY2(qAbs(big.width() - 2 * small.width()) <= 8,
        qPrintable(QStringLiteral("%1 against %2").arg(big.width()).arg(small.width())));
    QVERIFY(qAbs(large.frame().diameter - 2 * plain.frame().diameter) <= 8);
}

HELICART_GUI_TEST_MAIN(TestWindRosePaint)
#include "tst_windrosepaint.moc"
