// The tolerant comparison of whole pictures (imagereference.h), on real reference pictures:
// what another Qt version may do to a picture (a gradient pixel one shade off, edge pixels of
// another anti-aliasing, another time stamp) passes, while a picture moved by two pixels or
// with one class in a wrong colour fails. The stored form keeps every picture close enough to
// its source for that.
#include "imagereference.h"
#include "testsupport.h"

#include <QGuiApplication>
#include <QPainter>
#include <QtTest>

#include <functional>

namespace {

using Change = std::function<QImage(const QImage &)>;

QImage shifted(const QImage &image, int dx, int dy)
{
    QImage moved(image.size(), QImage::Format_ARGB32);
    moved.fill(Qt::white);
    QPainter painter(&moved);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(dx, dy, image);
    return moved;
}

// Every pixel that is neither white, black nor transparent (the shaded and anti-aliased ones)
// one shade darker, or lighter where it cannot be.
QImage oneShadeOff(const QImage &image)
{
    QImage changed = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < changed.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(changed.scanLine(y));
        for (int x = 0; x < changed.width(); ++x) {
            const QRgb p = line[x];
            if (qAlpha(p) == 0 || (p & 0xffffff) == 0xffffff || (p & 0xffffff) == 0)
                continue;
            const auto shade = [](int v) { return v > 0 ? v - 1 : v + 1; };
            line[x] = qRgba(shade(qRed(p)), shade(qGreen(p)), shade(qBlue(p)), qAlpha(p));
        }
    }
    return changed;
}

// The part rect of image (a label with what lies under it) drawn dx pixels further right.
QImage partMoved(const QImage &image, const QRect &rect, int dx)
{
    QImage changed = image.convertToFormat(QImage::Format_ARGB32);
    QPainter painter(&changed);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(rect.topLeft() + QPoint(dx, 0), image.copy(rect));
    return changed;
}

// Every pixel of the hue of classColour (shaded lighter or darker, as the bars are) turned to
// the opposite hue: that class drawn in a wrong colour, in the bars and in the legend.
QImage recoloured(const QImage &image, const QColor &classColour)
{
    QImage changed = image.convertToFormat(QImage::Format_ARGB32);
    const int hue = classColour.hsvHue();
    for (int y = 0; y < changed.height(); ++y) {
        for (int x = 0; x < changed.width(); ++x) {
            const QColor c = changed.pixelColor(x, y);
            const int off = qAbs(c.hsvHue() - hue);
            if (c.hsvHue() < 0 || c.hsvSaturation() < 96 || qMin(off, 360 - off) > 6)
                continue;
            changed.setPixelColor(
                x, y, QColor::fromHsv((hue + 180) % 360, c.hsvSaturation(), c.value(), c.alpha()));
        }
    }
    return changed;
}

// Another time written into the stamp corner, in the stamp's font.
QImage otherStamp(const QImage &image)
{
    QImage changed = image.convertToFormat(QImage::Format_ARGB32);
    QPainter painter(&changed);
    const QRect stamp = TestSupport::timeStampArea(changed);
    painter.fillRect(stamp, Qt::white);
    QFont font(QStringLiteral("Monospace"));
    font.setPixelSize(12);
    painter.setFont(font);
    painter.drawText(stamp.adjusted(2, 0, 0, -1), Qt::AlignLeft | Qt::AlignBottom,
        QStringLiteral("31122099 2359"));
    return changed;
}

} // namespace

Q_DECLARE_METATYPE(Change)

class TestImageReference : public QObject
{
    Q_OBJECT

private slots:
    void changes_data();
    void changes();
    void storedFormStaysClose_data();
    void storedFormStaysClose();
    void sizesMustMatch();
};

void TestImageReference::changes_data()
{
    QTest::addColumn<QString>("reference");
    QTest::addColumn<Change>("change");
    QTest::addColumn<bool>("passes");

    const Change same = [](const QImage &image) { return image; };
    const Change right2 = [](const QImage &image) { return shifted(image, 2, 0); };

    const struct
    {
        const char *name;
        QString path;
        QRect label; // where a label is drawn
        QColor classColour; // a class of the picture; invalid: a table, no classes
    } pictures[] = {
        { "wind", QStringLiteral(HELICART_TEST_DATA "/images/wind-tickfit.png"),
            QRect(222, 8, 36, 36), QColor(0x00, 0xff, 0x00) },
        { "solar", QStringLiteral(HELICART_TEST_DATA "/images/solar-tickfit.png"),
            QRect(290, 28, 56, 38), QColor(0x00, 0xff, 0x00) },
        { "example rose",
            QStringLiteral(HELICART_SOURCE_DIR "/tests/endtoend/data/images/stationS000.png"),
            QRect(290, 28, 56, 38), QColor(0xff, 0x9f, 0x1c) },
        { "example table",
            QStringLiteral(HELICART_SOURCE_DIR "/tests/endtoend/data/images/stationT000.png"),
            QRect(264, 78, 94, 14), QColor() },
    };
    for (const auto &picture : pictures) {
        const auto row = [&picture](const char *change) -> QTestData & {
            return QTest::addRow("%s, %s", picture.name, change) << picture.path;
        };
        row("the same") << same << true;
        row("gradients one shade off") << Change(oneShadeOff) << true;
        row("moved 2 pixels right") << right2 << false;
        const QRect label = picture.label;
        row("a label moved 2 pixels")
            << Change([label](const QImage &image) { return partMoved(image, label, 2); }) << false;
        if (!picture.classColour.isValid())
            continue;
        row("another time stamp") << Change(otherStamp) << true;
        const QColor colour = picture.classColour;
        row("a class in a wrong colour")
            << Change([colour](const QImage &image) { return recoloured(image, colour); }) << false;
    }
}

void TestImageReference::changes()
{
    QFETCH(QString, reference);
    QFETCH(Change, change);
    QFETCH(bool, passes);

    const QImage original(reference);
    QVERIFY2(!original.isNull(), qPrintable(reference));
    const QImage changed = change(original);
    const ImageReference::Tolerance tolerance;
    const ImageReference::Difference difference = ImageReference::compare(
        changed, original, tolerance.channel, TestSupport::timeStampArea(original));
    QVERIFY2(difference.within(tolerance) == passes,
        qPrintable(QStringLiteral("%1 of %2 pixels differ")
                       .arg(difference.differing)
                       .arg(difference.compared)));
    // The full check says so and names the pictures it wrote (not while references are
    // renewed: it would write the changed picture over the reference).
    if (ImageReference::renewing())
        return;
    const QString name = QStringLiteral("imagereference-") + TestSupport::rowName();
    const QString failure
        = ImageReference::mismatch(changed, reference, name, TestSupport::timeStampArea(original));
    QCOMPARE(failure.isEmpty(), passes);
    if (!passes) {
        QVERIFY2(
            failure.contains(TestSupport::outputPath(name + "-diff.png")), qPrintable(failure));
    }
}

void TestImageReference::storedFormStaysClose_data()
{
    QTest::addColumn<QString>("reference");
    QTest::newRow("combined") << QStringLiteral(
        HELICART_SOURCE_DIR "/tests/endtoend/data/images/station.png");
}

// A picture of many colours (gradients, anti-aliased edges at every angle) stored and read back
// stays inside the channel tolerance at every pixel, so an unchanged picture matches its
// reference everywhere and the share is left to what really changed.
void TestImageReference::storedFormStaysClose()
{
    QFETCH(QString, reference);
    // The reference itself has a palette already; a rotated copy blends it into new colours.
    const QImage original = QImage(reference).convertToFormat(QImage::Format_ARGB32);
    QImage blended(original.size(), QImage::Format_ARGB32);
    blended.fill(Qt::white);
    QPainter painter(&blended);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(original.width() / 2.0, original.height() / 2.0);
    painter.rotate(3);
    painter.translate(-original.width() / 2.0, -original.height() / 2.0);
    painter.drawImage(0, 0, original);
    painter.end();

    int largest = -1;
    const QImage stored = ImageReference::compact(blended, &largest);
    QCOMPARE(stored.format(), QImage::Format_Indexed8);
    QVERIFY(stored.colorCount() <= 256);
    const ImageReference::Tolerance tolerance;
    QVERIFY2(largest < tolerance.channel, qPrintable(QString::number(largest)));
    const ImageReference::Difference difference = ImageReference::compare(stored, blended, largest);
    QCOMPARE(difference.differing, 0);
    QCOMPARE(difference.largest, largest);
}

void TestImageReference::sizesMustMatch()
{
    QImage a(100, 80, QImage::Format_ARGB32);
    a.fill(Qt::white);
    const ImageReference::Difference difference
        = ImageReference::compare(a, a.copy(0, 0, 100, 79), 255);
    QVERIFY(!difference.sameSize);
    QVERIFY(!difference.within(ImageReference::Tolerance { 255, 1.0 }));
}

HELICART_GUI_TEST_MAIN(TestImageReference)
#include "tst_imagereference.moc"
