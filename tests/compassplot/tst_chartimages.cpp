// Whole pictures of the chart engine: wind and solar roses in the settings that take different
// ways through the drawing (scale plug-in or built-in rules, fixed scales, legend, background,
// grid, a caller's picture of another size), each against its reference image in
// data/images/ (the row name, spaces as '-'). The comparison has a tolerance (see
// imagereference.h), so the pictures of another Qt version pass while a bar, ring, label or
// colour that moves or changes fails; the time stamp is fixed through SOURCE_DATE_EPOCH and
// left out all the same. A change meant to alter pictures renews the references: run this test
// with HELICART_RENEW_IMAGES=1 and look at the images before committing them. A failure writes
// the picture and its differences to test-output/ and names them.
#include "fakescale.h"
#include "imagereference.h"
#include "qsolarrose.h"
#include "roseprobe.h"
#include "testsupport.h"

#include <QGuiApplication>
#include <QtTest>

#include <cmath>
#include <functional>

namespace {

using Setting = std::function<void(QWindRose &)>;
using WindRose = RoseProbe::ScaleBound<QWindRose>;
using SolarRose = RoseProbe::ScaleBound<QSolarRose>;

// Measurements spread over every direction and class, the same on every run.
void windData(QWindRose &rose)
{
    for (int i = 0; i < 1000; ++i)
        rose.addMeasurement((i * 37 % 130) / 10.0, i * 53 % 360 + (i % 7) * 0.25);
}

// A day shape: more radiation about noon, night values below 0.
void solarData(QWindRose &rose)
{
    auto &solar = static_cast<QSolarRose &>(rose);
    for (int i = 0; i < 3000; ++i) {
        const int minute = i * 7 % 1440;
        const double sun = std::sin((minute - 360) * M_PI / 720.0);
        solar.addSolarMeasurement(
            QTime(0, 0).addSecs(minute * 60), sun * 900 + (i * 31 % 200) - 60);
    }
}

// Where the reference of a row is kept.
QString referencePath(const QString &row)
{
    return QStringLiteral(HELICART_TEST_DATA "/images/")
        + QString(row).replace(QLatin1Char(' '), QLatin1Char('-')) + QStringLiteral(".png");
}

} // namespace

Q_DECLARE_METATYPE(Setting)

class TestChartImages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void picture_data();
    void picture();
};

void TestChartImages::initTestCase()
{
    qputenv("SOURCE_DATE_EPOCH", "0");
}

void TestChartImages::picture_data()
{
    QTest::addColumn<bool>("solar");
    QTest::addColumn<int>("scale"); // 0 built-in rules, 1 a fake plug-in, 2 tickfit
    QTest::addColumn<QSize>("canvas"); // the caller's picture; empty: none
    QTest::addColumn<Setting>("setting");

    const Setting none = [](QWindRose &) {};
    const Setting fixed = [](QWindRose &r) { r.setFixedScale(12.5, 5); };
    const Setting manyRings = [](QWindRose &r) { r.setFixedScale(30, 400); };
    const Setting noLegend = [](QWindRose &r) { r.setEnableLegend(false); };
    const Setting noBackground = [](QWindRose &r) { r.setEnableBackground(false); };
    const Setting noGrid = [](QWindRose &r) { r.setEnableGrid(false); };
    const Setting legendText = [](QWindRose &r) {
        r.setLegendText(QStringLiteral("station\nall: 3000\nunknown: 4%"), true);
        r.setFixedLegendWidth(260);
    };
    const Setting shifted = [](QWindRose &r) {
        r.addIntervalRange(-1, 2, QBrush(Qt::blue), 1.0, -1.0, 1.0);
        r.addIntervalRange(2, 5, QBrush(Qt::green), 2.0, 3.0, 1.5);
        r.addIntervalRange(5, 20, QBrush(QColor(200, 0, 0, 120)), 1.0, -1.0, 0.5);
    };
    const Setting sixSectors = [](QWindRose &r) { r.setDirectionsCount(6); };
    const QSize noCanvas;

    QTest::newRow("wind tickfit") << false << 2 << noCanvas << none;
    QTest::newRow("wind built-in") << false << 0 << noCanvas << none;
    QTest::newRow("wind fake scale") << false << 1 << noCanvas << none;
    QTest::newRow("wind fixed tickfit") << false << 2 << noCanvas << fixed;
    QTest::newRow("wind fixed built-in") << false << 0 << noCanvas << fixed;
    QTest::newRow("wind many rings") << false << 2 << noCanvas << manyRings;
    QTest::newRow("wind no legend") << false << 2 << noCanvas << noLegend;
    QTest::newRow("wind no background") << false << 0 << noCanvas << noBackground;
    QTest::newRow("wind no grid") << false << 2 << noCanvas << noGrid;
    QTest::newRow("wind shifted classes") << false << 2 << noCanvas << shifted;
    QTest::newRow("wind low canvas") << false << 2 << QSize(300, 200) << none;
    QTest::newRow("wind tall canvas") << false << 0 << QSize(500, 700) << none;
    QTest::newRow("solar tickfit") << true << 2 << noCanvas << none;
    QTest::newRow("solar built-in") << true << 0 << noCanvas << none;
    QTest::newRow("solar fixed") << true << 2 << noCanvas << fixed;
    QTest::newRow("solar no grid") << true << 2 << noCanvas << noGrid;
    QTest::newRow("solar six sectors") << true << 2 << noCanvas << sixSectors;
    QTest::newRow("solar legend text") << true << 2 << noCanvas << legendText;
    QTest::newRow("solar over a rose") << true << 2 << QSize(700, 520) << noBackground;
    QTest::newRow("solar low canvas") << true << 1 << QSize(400, 300) << none;
}

void TestChartImages::picture()
{
    QFETCH(bool, solar);
    QFETCH(int, scale);
    QFETCH(QSize, canvas);
    QFETCH(Setting, setting);

    FakeScale fake;
    WindRose wind;
    SolarRose sun;
    QWindRose &rose = solar ? static_cast<QWindRose &>(sun) : wind;
    if (scale == 0 || scale == 1) {
        if (solar)
            sun.useScale(scale == 1 ? &fake : nullptr);
        else
            wind.useScale(scale == 1 ? &fake : nullptr);
    }
    QVERIFY(scale != 2 || rose.scale());
    setting(rose);
    solar ? solarData(rose) : windData(rose);

    QImage image;
    if (!canvas.isEmpty()) {
        image = QImage(canvas, QImage::Format_ARGB32);
        image.fill(QColor(250, 240, 200));
    }
    QVERIFY(rose.drawImage(image));
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    const QString failure = ImageReference::mismatch(image, referencePath(name),
        QStringLiteral("chartimages-") + TestSupport::rowName(), TestSupport::timeStampArea(image));
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

HELICART_GUI_TEST_MAIN(TestChartImages)
#include "tst_chartimages.moc"
