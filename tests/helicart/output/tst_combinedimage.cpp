#include "combinedimage.h"
#include "pngencoder.h"
#include "testsupport.h"

#include <QPainter>
#include <QtTest>

namespace {

constexpr int kRoseSize = 90;

// Paints like the chart does over the combined image: a new image starts as a white square;
// the rose's mark goes into the square on the left (and nowhere else), the image is widened by
// legendWidth and the legend is painted into that strip; the time stamp goes bottom left.
QImage paintLikeChart(const QImage &combined, int chart, int legendWidth)
{
    QImage image = combined;
    if (image.isNull()) {
        image = QImage(kRoseSize, kRoseSize, QImage::Format_ARGB32);
        image.fill(Qt::white);
    }
    QImage wide(image.width() + legendWidth, image.height(), QImage::Format_ARGB32);
    wide.fill(Qt::white);
    QPainter painter(&wide);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawImage(0, 0, image);
    painter.setBrush(QColor::fromHsv(chart * 47 % 360, 200, 220, 160));
    painter.drawEllipse(QPointF(kRoseSize / 2.0, kRoseSize / 2.0), 10.0 + chart % 10 * 3, 7.5);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(wide.width() - legendWidth + 2, 20), QString::number(chart));
    painter.fillRect(QRect(wide.width() - legendWidth, 30, legendWidth, 4 + chart), Qt::red);
    painter.drawText(QPoint(2, wide.height() - 2), QStringLiteral("stamp"));
    return wide;
}

// A chart that ignores what it is handed and paints an image of its own, another height.
QImage paintOwnImage(int chart)
{
    QImage image(70, 50 + chart, QImage::Format_ARGB32);
    image.fill(QColor(10 * chart, 100, 200));
    return image;
}

// Row by row through the encoder and back.
QImage throughEncoder(const CombinedImage &combined)
{
    return QImage::fromData(
        PngEncoder::encode(combined.header(),
            [&combined](int y, QRgb *scratch) { return combined.row(y, scratch); }),
        "PNG");
}

} // namespace

class TestCombinedImage : public QObject
{
    Q_OBJECT

private slots:
    void sameAsWholeImage_data();
    void sameAsWholeImage();
};

void TestCombinedImage::sameAsWholeImage_data()
{
    QTest::addColumn<QList<int>>("legendWidths"); // -1: a chart that paints an image of its own
    QTest::newRow("one chart") << QList<int> { 40 };
    QTest::newRow("two charts") << QList<int> { 40, 40 };
    QTest::newRow("legends of different widths") << QList<int> { 30, 55, 1, 42, 37 };
    QTest::newRow("a chart that does not widen") << QList<int> { 30, 0, 25 };
    QTest::newRow("no chart widens") << QList<int> { 0, 0, 0 };
    QTest::newRow("an image of another height") << QList<int> { 30, 20, -1, 25, 10 };
    QTest::newRow("many charts") << QList<int>(60, 17);
}

// Every chart handed only the ground gives the image that handing each the whole image gives.
void TestCombinedImage::sameAsWholeImage()
{
    QFETCH(QList<int>, legendWidths);
    QImage whole;
    CombinedImage combined;
    QVERIFY(combined.isNull());
    for (int chart = 0; chart < legendWidths.size(); ++chart) {
        const int width = legendWidths.at(chart);
        if (width < 0) {
            whole = paintOwnImage(chart);
            combined.add(paintOwnImage(chart));
        } else {
            whole = paintLikeChart(whole, chart, width);
            combined.add(paintLikeChart(combined.ground(), chart, width));
        }
    }
    QCOMPARE(combined.size(), whole.size());
    QCOMPARE(combined.toImage(), whole);
    QCOMPARE(throughEncoder(combined), whole);
}

HELICART_GUI_TEST_MAIN(TestCombinedImage)
#include "tst_combinedimage.moc"
