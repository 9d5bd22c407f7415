#include "pngencoder.h"
#include "testsupport.h"

#include <QBuffer>
#include <QPainter>
#include <QtTest>

namespace {

// Pixels that take every path of a conversion: opaque, transparent with colour left in it,
// and half transparent, in every channel.
QImage pattern(int width, int height, QImage::Format format)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int alpha = (x * 37 + y * 11) % 4 == 0 ? 255 : (x * 53 + y * 29) % 256;
            image.setPixel(x, y, qRgba((x * 7) % 256, (y * 13) % 256, (x + y) % 256, alpha));
        }
    }
    return image.convertToFormat(format);
}

// A chart-like picture: a flat ground, antialiased shapes and text.
QImage drawing(QImage::Format format)
{
    QImage image(333, 211, format);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(200, 120, 40, 180));
    painter.drawEllipse(QRect(10, 10, 180, 180));
    painter.setPen(Qt::black);
    painter.drawText(QPoint(200, 100), QStringLiteral("12.5 %"));
    return image;
}

QImage decoded(const QByteArray &bytes)
{
    return QImage::fromData(bytes, "PNG");
}

// What Qt's own writer gives back for image.
QImage throughQt(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return decoded(bytes);
}

} // namespace

class TestPngEncoder : public QObject
{
    Q_OBJECT

private slots:
    void samePixelsAsQt_data();
    void samePixelsAsQt();
    void rowsGivenOneByOne();
    void resolution();
    void nothingToWrite_data();
    void nothingToWrite();
};

void TestPngEncoder::samePixelsAsQt_data()
{
    QTest::addColumn<QImage>("image");
    for (const auto &[name, format] : { std::pair { "ARGB32", QImage::Format_ARGB32 },
             std::pair { "premultiplied", QImage::Format_ARGB32_Premultiplied },
             std::pair { "RGB32", QImage::Format_RGB32 },
             std::pair { "indexed", QImage::Format_Indexed8 } }) {
        QTest::addRow("pattern %s", name) << pattern(97, 41, format);
        QTest::addRow("drawing %s", name) << drawing(format);
    }
    QTest::newRow("one pixel") << pattern(1, 1, QImage::Format_ARGB32);
    QTest::newRow("one row") << pattern(1000, 1, QImage::Format_ARGB32);
    QTest::newRow("one column") << pattern(1, 700, QImage::Format_ARGB32);
    // A view whose rows are further apart than its width.
    static QImage wide = pattern(64, 20, QImage::Format_ARGB32);
    QTest::newRow("padded rows") << QImage(
        wide.constBits(), 50, 20, wide.bytesPerLine(), QImage::Format_ARGB32);
}

// Every pixel reads back as from Qt's writer, as Format_ARGB32.
void TestPngEncoder::samePixelsAsQt()
{
    QFETCH(QImage, image);
    const QByteArray bytes = PngEncoder::encode(image);
    const QImage ours = decoded(bytes);
    QCOMPARE(ours.format(), QImage::Format_ARGB32);
    QCOMPARE(ours, throughQt(image).convertToFormat(QImage::Format_ARGB32));
    QCOMPARE(ours, image.convertToFormat(QImage::Format_ARGB32));
}

// An image handed over row by row gives the bytes of the whole image, each row asked for once
// and in order.
void TestPngEncoder::rowsGivenOneByOne()
{
    const QImage image = drawing(QImage::Format_ARGB32);
    QList<int> asked;
    const PngEncoder::Header header { image.width(), image.height(), image.dotsPerMeterX(),
        image.dotsPerMeterY() };
    const QByteArray bytes = PngEncoder::encode(header, [&](int y, QRgb *scratch) {
        asked << y;
        std::memcpy(scratch, image.constScanLine(y), size_t(image.width()) * sizeof(QRgb));
        return static_cast<const QRgb *>(scratch);
    });
    QCOMPARE(bytes, PngEncoder::encode(image));
    QCOMPARE(asked.size(), image.height());
    for (int y = 0; y < asked.size(); ++y)
        QCOMPARE(asked.at(y), y);
}

void TestPngEncoder::resolution()
{
    QImage image = pattern(8, 8, QImage::Format_ARGB32);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(2000);
    const QImage back = decoded(PngEncoder::encode(image));
    QCOMPARE(back.dotsPerMeterX(), 3780);
    QCOMPARE(back.dotsPerMeterY(), 2000);
}

void TestPngEncoder::nothingToWrite_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("empty") << 0 << 0;
    QTest::newRow("no rows") << 10 << 0;
    QTest::newRow("no columns") << 0 << 10;
    QTest::newRow("negative") << -5 << 10;
    // libpng refuses a width past its limit: an error, not a crash or a message.
    QTest::newRow("too wide") << 2'000'000'000 << 1;
}

void TestPngEncoder::nothingToWrite()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QCOMPARE(PngEncoder::encode(QImage()), QByteArray());
    int rowsAsked = 0;
    const QByteArray bytes
        = PngEncoder::encode({ width, height, 0, 0 }, [&rowsAsked](int, QRgb *scratch) {
              ++rowsAsked;
              return static_cast<const QRgb *>(scratch);
          });
    QCOMPARE(bytes, QByteArray());
    QCOMPARE(rowsAsked, 0);
}

HELICART_GUI_TEST_MAIN(TestPngEncoder)
#include "tst_pngencoder.moc"
