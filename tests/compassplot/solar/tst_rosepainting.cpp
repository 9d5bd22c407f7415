// The chart painted onto any painter: the drawing image-for-image as drawImage makes it, its
// size, and the cases where there is nothing to paint.
#include "dayshade.h"
#include "qsolarrose.h"
#include "rosepainterinterface.h"
#include "testsupport.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>
#include <QSvgRenderer>
#include <QtTest>

#include <memory>

namespace {

// A day of values, more of them and larger at noon, into every hour sector.
void feed(QSolarRose &rose)
{
    for (int hour = 0; hour < 24; ++hour) {
        const int count = 2 + (12 - qAbs(12 - hour));
        for (int i = 0; i < count; ++i)
            rose.addSolarMeasurement(QTime(hour, 30), 80.0 * i + 10.0 * (12 - qAbs(12 - hour)));
    }
}

// The picture under a drawing: transparent, or an earlier drawing at the top left.
QImage ground(const QSize &size, const QImage &canvas)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(0);
    QPainter painter(&image);
    painter.drawImage(0, 0, canvas);
    return image;
}

// The chart painted onto an SVG document of its size, rendered back onto white.
QImage throughSvg(QWindRose &rose)
{
    const QSize size = rose.paintSize(QSize());
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setResolution(96);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    QPainter painter(&generator);
    if (!rose.paint(&painter, QSize()))
        return QImage();
    painter.end();
    QSvgRenderer renderer(buffer.data());
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter back(&image);
    renderer.render(&back);
    back.end();
    return image;
}

// Pixels over which the two drawings may disagree: text edges laid out on another raster and
// the day shade in slices rather than a gradient.
constexpr int kTolerance = 48;

} // namespace

class TestRosePainting : public QObject
{
    Q_OBJECT

private slots:
    void paintsAsTheImage_data();
    void paintsAsTheImage();
    void svgAsTheImage_data();
    void svgAsTheImage();
    void nothingToPaint();
    void dayShadeSlices_data();
    void dayShadeSlices();
    void dayShadeKeptPerDisc();
};

void TestRosePainting::paintsAsTheImage_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("legend");
    QTest::addColumn<bool>("background");
    QTest::addColumn<bool>("overCanvas"); // over an earlier drawing, as in the combined image

    QTest::newRow("default") << 520 << true << true << false;
    QTest::newRow("low") << 300 << true << true << false;
    QTest::newRow("without the legend") << 520 << false << true << false;
    QTest::newRow("without the background") << 520 << true << false << false;
    QTest::newRow("over an earlier drawing") << 520 << true << false << true;
}

// What the chart paints onto a painter over an image is what drawImage makes of that image:
// the same size, the same pixels but for the edges of texts and shades, the time stamp aside.
void TestRosePainting::paintsAsTheImage()
{
    QFETCH(int, height);
    QFETCH(bool, legend);
    QFETCH(bool, background);
    QFETCH(bool, overCanvas);
    QSolarRose rose;
    rose.setImageHeight(height);
    rose.setEnableLegend(legend);
    rose.setLegendText(QStringLiteral("Station\nall: 300"), false);
    feed(rose);
    QImage canvas;
    if (overCanvas)
        rose.drawImage(canvas);
    rose.setEnableBackground(background);

    QImage drawn = canvas;
    QVERIFY(rose.drawImage(drawn));
    RosePainterInterface *painting = qobject_cast<RosePainterInterface *>(&rose);
    QVERIFY(painting);
    QCOMPARE(painting->paintSize(canvas.size()), drawn.size());
    QImage painted = ground(drawn.size(), canvas);
    QPainter painter(&painted);
    QVERIFY(painting->paint(&painter, canvas.size()));
    QVERIFY(painter.isActive());
    painter.end();

    TestSupport::saveOutput(painted, TestSupport::rowName() + "_painted.png");
    const int differing = TestSupport::differingPixels(
        drawn, painted, kTolerance, TestSupport::timeStampArea(drawn));
    QVERIFY2(differing >= 0 && differing < drawn.width() * drawn.height() / 200,
        qPrintable(QString::number(differing)));
}

void TestRosePainting::svgAsTheImage_data()
{
    QTest::addColumn<bool>("solar");
    QTest::addColumn<bool>("legend");
    QTest::addColumn<bool>("background");

    QTest::newRow("solar rose") << true << true << true;
    QTest::newRow("solar rose without the background") << true << true << false;
    QTest::newRow("wind rose") << false << true << true;
}

// The document a vector file is made of shows what the chart's image shows: the same size, the
// same pixels but for the edges of texts and the slices of the day shade, the time stamp aside.
void TestRosePainting::svgAsTheImage()
{
    QFETCH(bool, solar);
    QFETCH(bool, legend);
    QFETCH(bool, background);
    std::unique_ptr<QWindRose> rose(solar ? new QSolarRose : new QWindRose);
    rose->setEnableLegend(legend);
    rose->setEnableBackground(background);
    rose->setLegendText(QStringLiteral("Station\nall: 300"), false);
    if (solar) {
        feed(static_cast<QSolarRose &>(*rose));
    } else {
        for (int i = 0; i < 200; ++i)
            rose->addMeasurement(0.5 * (i % 13), 7.0 * i);
    }
    QImage drawn;
    QVERIFY(rose->drawImage(drawn));
    // The image's transparent parts show white, as the document's do.
    QImage image(drawn.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.drawImage(0, 0, drawn);
    painter.end();

    const QImage svg = throughSvg(*rose);
    QCOMPARE(svg.size(), image.size());
    TestSupport::saveOutput(svg, TestSupport::rowName() + "_svg.png");
    const int differing
        = TestSupport::differingPixels(image, svg, kTolerance, TestSupport::timeStampArea(image));
    QVERIFY2(differing >= 0 && differing < image.width() * image.height() / 50,
        qPrintable(QString::number(differing)));
}

// No sectors or no active painter: an empty size, nothing painted.
void TestRosePainting::nothingToPaint()
{
    QWindRose rose;
    rose.setDirectionsCount(0);
    QCOMPARE(rose.paintSize(QSize()), QSize());
    QImage image(100, 100, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QVERIFY(!rose.paint(&painter, QSize()));
    painter.end();
    QCOMPARE(image.pixelColor(50, 50), QColor(Qt::white));

    QSolarRose solar;
    QPainter inactive;
    QVERIFY(!solar.paint(&inactive, QSize()));
    QVERIFY(!solar.paint(nullptr, QSize()));
    QCOMPARE(solar.paintSize(QSize()).height(), 520);
}

void TestRosePainting::dayShadeSlices_data()
{
    QTest::addColumn<double>("degrees");
    QTest::addColumn<QColor>("colour");

    const QColor noon(255, 252, 200);
    const QColor midnight(131, 130, 129);
    const QColor between(193, 191, 164); // halfway
    QTest::newRow("noon, at the top") << 90.0 << noon;
    QTest::newRow("midnight, at the bottom") << 270.0 << midnight;
    QTest::newRow("six in the morning, at the left") << 180.0 << between;
    QTest::newRow("six in the evening, at the right") << 0.0 << between;
    QTest::newRow("past a full turn") << 450.0 << noon;
    QTest::newRow("below zero") << -90.0 << midnight;
}

// The slices take the colours the gradient has at their angles.
void TestRosePainting::dayShadeSlices()
{
    QFETCH(double, degrees);
    QFETCH(QColor, colour);
    QCOMPARE(DayShade::colour(degrees), colour);
}

// The shade is laid down from an image kept per area and disc: a disc of another size, or a
// shift on the image, gets the shade it would have been painted with.
void TestRosePainting::dayShadeKeptPerDisc()
{
    const QSize area(120, 120);
    const auto shaded = [&area](int r0, QPoint shift) {
        QImage image(area + QSize(shift.x(), shift.y()), QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(shift);
        DayShade::paint(&painter, area, r0, false);
        painter.end();
        return image.copy(QRect(shift, area));
    };
    const QImage wide = shaded(40, QPoint(0, 0));
    const QImage narrow = shaded(20, QPoint(0, 0));
    // Between the two discs' edges, straight up: white on the wide disc, the noon shade on the
    // narrow one.
    QCOMPARE(wide.pixelColor(60, 60 - 30), QColor(Qt::white));
    const QColor shade = narrow.pixelColor(60, 60 - 30);
    const QColor noon = DayShade::colour(90);
    QVERIFY2(qAbs(shade.red() - noon.red()) <= 2 && qAbs(shade.blue() - noon.blue()) <= 2,
        qPrintable(shade.name()));
    QCOMPARE(shaded(40, QPoint(7, 3)), wide);
}

HELICART_GUI_TEST_MAIN(TestRosePainting)
#include "tst_rosepainting.moc"
