// Where the chart says it painted its segments: each outline lies on its class's colour in the
// image the chart drew, with the count of its sector and class, whichever painter drew it.
#include "qsolarrose.h"

#include <QPainter>
#include <QPicture>
#include <QtTest>

namespace {

// Classes of clearly different hues, opaque (shaded from a pale tint to the colour).
const QList<QColor> kColours
    = { QColor("#2060ff"), QColor("#20c040"), QColor("#ffc020"), QColor("#e02020") };

void feed(QSolarRose &rose)
{
    for (int j = 0; j < kColours.size(); ++j)
        rose.addIntervalRange(j * 100.0, (j + 1) * 100.0, QBrush(kColours.at(j)));
    for (int hour = 0; hour < 24; ++hour) {
        for (int i = 0; i < 4 + hour % 5 * 6; ++i)
            rose.addSolarMeasurement(QTime(hour, 30), 50.0 + 100.0 * ((i + hour) % 4));
    }
}

QPointF centroid(const QPolygonF &polygon)
{
    double area = 0, x = 0, y = 0;
    for (int i = 0; i < polygon.size(); ++i) {
        const QPointF a = polygon.at(i), b = polygon.at((i + 1) % polygon.size());
        const double cross = a.x() * b.y() - b.x() * a.y();
        area += cross;
        x += (a.x() + b.x()) * cross;
        y += (a.y() + b.y()) * cross;
    }
    return QPointF(x / (3 * area), y / (3 * area));
}

// Whether a pixel within one of centre has the hue of colour.
bool onHue(const QImage &image, const QPointF &centre, const QColor &colour)
{
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const QColor pixel = image.pixelColor(int(centre.x()) + dx, int(centre.y()) + dy);
            if (pixel.hsvSaturation() > 60 && qAbs(pixel.hsvHue() - colour.hsvHue()) <= 10)
                return true;
        }
    }
    return false;
}

} // namespace

class TestRoseSegments : public QObject
{
    Q_OBJECT

private slots:
    void segmentsOfTheDrawing();
    void noneBeforeADrawing();
};

void TestRoseSegments::segmentsOfTheDrawing()
{
    QSolarRose rose;
    feed(rose);
    // Without the rings' labels, which are painted over the bars.
    rose.setEnableGrid(false);
    QImage image;
    QVERIFY(rose.drawImage(image));
    RoseTallyInterface::Tally tally;
    QVERIFY(rose.getTally(&tally));
    QList<RoseSegmentsInterface::Segment> segments;
    QVERIFY(rose.getSegments(&segments));
    QCOMPARE(segments.size(), 24 * kColours.size());
    for (const RoseSegmentsInterface::Segment &s : segments) {
        QCOMPARE(s.count, tally.counts.at(s.sector * tally.classes.size() + s.classIndex));
        QVERIFY2(onHue(image, centroid(s.outline), kColours.at(s.classIndex)),
            qPrintable(QString("sector %1, class %2").arg(s.sector).arg(s.classIndex)));
    }
    // Painted onto another device, the drawing has its segments in the same places.
    QPicture picture;
    QPainter painter(&picture);
    QVERIFY(rose.paint(&painter, QSize()));
    painter.end();
    QList<RoseSegmentsInterface::Segment> again;
    QVERIFY(rose.getSegments(&again));
    QCOMPARE(again.size(), segments.size());
    for (int i = 0; i < again.size(); ++i)
        QCOMPARE(again.at(i).outline, segments.at(i).outline);
}

void TestRoseSegments::noneBeforeADrawing()
{
    QSolarRose rose;
    feed(rose);
    QVERIFY(!rose.getSegments(nullptr));
    QList<RoseSegmentsInterface::Segment> segments = { {} };
    QVERIFY(rose.getSegments(&segments));
    QVERIFY(segments.isEmpty());
    QObject *chart = &rose;
    QVERIFY(qobject_cast<RoseSegmentsInterface *>(chart));
}

QTEST_MAIN(TestRoseSegments)
#include "tst_rosesegments.moc"
