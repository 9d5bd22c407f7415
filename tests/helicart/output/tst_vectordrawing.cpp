// SVG and PDF documents from a painting: sizes, text kept as text, fonts named as laid out,
// and the PDF creation date that follows a fixed stamp time.
#include "testsupport.h"
#include "utcandlocal.h"
#include "vectordrawing.h"

#include <QFontInfo>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

// A picture of a red square and a text, as a chart paints them.
void sample(QPainter *painter)
{
    painter->fillRect(QRect(10, 10, 20, 20), Qt::red);
    painter->setFont(QFont(QStringLiteral("verdana"), 26));
    painter->drawText(QPoint(40, 60), QStringLiteral("12"));
}

// The attributes of the document element and the names of all elements of an XML document;
// an empty list when it is not well-formed.
QStringList elementNames(const QByteArray &xml, QXmlStreamAttributes *root)
{
    QXmlStreamReader reader(xml);
    QStringList names;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (names.isEmpty())
            *root = reader.attributes();
        names << reader.name().toString();
    }
    return reader.hasError() ? QStringList() : names;
}

// What a painting sees of its device: the size in pixels and the resolution.
struct Device
{
    QSize size;
    int dpi = 0;
};

VectorDrawing::Painting recording(Device *device)
{
    return [device](QPainter *painter) {
        device->size = QSize(painter->device()->width(), painter->device()->height());
        device->dpi = painter->device()->logicalDpiY();
        sample(painter);
    };
}

} // namespace

class TestVectorDrawing : public QObject
{
    Q_OBJECT

private slots:
    void svg_data();
    void svg();
    void pdf_data();
    void pdf();
    void withDates_data();
    void withDates();
    void withContentId_data();
    void withContentId();
    void pdfStampTime();
};

void TestVectorDrawing::svg_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("a rose") << QSize(735, 520);
    QTest::newRow("tall") << QSize(100, 10000);
    QTest::newRow("empty") << QSize(0, 520);
}

// Well-formed, of the size asked for in pixels, the text as text in the family that laid it out,
// and rendered back where it was painted.
void TestVectorDrawing::svg()
{
    QFETCH(QSize, size);
    Device device;
    const QByteArray svg = VectorDrawing::svg(size, recording(&device));
    if (size.isEmpty()) {
        QVERIFY(svg.isEmpty());
        return;
    }
    QCOMPARE(device.size, size);
    QCOMPARE(device.dpi, 96);
    QXmlStreamAttributes root;
    const QStringList names = elementNames(svg, &root);
    QVERIFY(!names.isEmpty());
    QCOMPARE(names.first(), QString("svg"));
    QCOMPARE(root.value("viewBox").toString(),
        QString("0 0 %1 %2").arg(size.width()).arg(size.height()));
    QVERIFY(names.contains("text"));
    QVERIFY(!names.contains("image"));
    const QString family = QFontInfo(QFont("verdana")).family();
    QVERIFY2(svg.contains("font-family=\"" + family.toUtf8() + "\""), svg.constData());
    // 26 points at 96 dots per inch, as on an image.
    QVERIFY(svg.contains("font-size=\"34.6667\""));

    QSvgRenderer renderer(svg);
    QCOMPARE(renderer.defaultSize(), size);
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    QCOMPARE(image.pixelColor(20, 20), QColor(Qt::red));
    QCOMPARE(image.pixelColor(35, 20), QColor(Qt::white));
}

void TestVectorDrawing::pdf_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSizeF>("points"); // three quarters of a pixel each
    QTest::newRow("a rose") << QSize(736, 520) << QSizeF(552, 390);
    QTest::newRow("tall") << QSize(100, 10000) << QSizeF(75, 7500);
    QTest::newRow("empty") << QSize(736, 0) << QSizeF();
}

void TestVectorDrawing::pdf()
{
    QFETCH(QSize, size);
    QFETCH(QSizeF, points);
    Device device;
    const QByteArray pdf = VectorDrawing::pdf(size, recording(&device));
    if (points.isEmpty()) {
        QVERIFY(pdf.isEmpty());
        return;
    }
    QCOMPARE(device.size, size);
    QCOMPARE(device.dpi, 96);
    QVERIFY(pdf.startsWith("%PDF-"));
    QVERIFY(pdf.trimmed().endsWith("%%EOF"));
    static const QRegularExpression box(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"));
    const QRegularExpressionMatch match = box.match(QString::fromLatin1(pdf));
    QVERIFY(match.hasMatch());
    QCOMPARE(QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble()), points);
    QVERIFY(!pdf.contains("/Subtype /Image"));
}

void TestVectorDrawing::withDates_data()
{
    QTest::addColumn<QByteArray>("pdf");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray head = "%PDF-1.4\n1 0 obj\n<<\n/Producer (Qt)\n/CreationDate (D:";
    const QByteArray tail = ")\n>>\nendobj\n";
    QTest::newRow("UTC") << head + "20261208094314Z" + tail << head + "19700101000000Z" + tail;
    QTest::newRow("an hour east") << head + "20261208104314+01'00'" + tail
                                  << head + "19700101010000+01'00'" + tail;
    QTest::newRow("west, half hours")
        << head + "20261208041314-05'30'" + tail << head + "19691231183000-05'30'" + tail;
    QTest::newRow("no creation date") << QByteArray("%PDF-1.4\n") << QByteArray("%PDF-1.4\n");
    QTest::newRow("an end of another form")
        << head + "20261208094314 UTC" + tail << head + "20261208094314 UTC" + tail;
    QTest::newRow("cut short") << head + "2026" << head + "2026";

    // The other dates: the modification date (Qt 6.8 writes both) and those of the XMP
    // metadata, each with an offset of its own.
    const QByteArray info = "1 0 obj\n<<\n/CreationDate (D:20261208094314Z)\n"
                            "/ModDate (D:20261208104314+01'00')\n>>\nendobj\n";
    const QByteArray infoAtEpoch = "1 0 obj\n<<\n/CreationDate (D:19700101000000Z)\n"
                                   "/ModDate (D:19700101010000+01'00')\n>>\nendobj\n";
    const QByteArray xmp = "<rdf:Description rdf:about=\"\" xmp:CreatorTool=\"\" "
                           "xmp:CreateDate=\"2026-12-08T09:43:14+00:00\" "
                           "xmp:ModifyDate=\"2026-12-08T04:13:14-05:30\" "
                           "xmp:MetadataDate=\"2026-12-08T09:43:14Z\"/>\n";
    const QByteArray xmpAtEpoch = "<rdf:Description rdf:about=\"\" xmp:CreatorTool=\"\" "
                                  "xmp:CreateDate=\"1970-01-01T00:00:00+00:00\" "
                                  "xmp:ModifyDate=\"1969-12-31T18:30:00-05:30\" "
                                  "xmp:MetadataDate=\"1970-01-01T00:00:00Z\"/>\n";
    QTest::newRow("document information and XMP") << info + xmp << infoAtEpoch + xmpAtEpoch;
    QTest::newRow("XMP date of another form")
        << QByteArray("xmp:CreateDate=\"2026-12-08T09:43:14.5Z\"")
        << QByteArray("xmp:CreateDate=\"2026-12-08T09:43:14.5Z\"");
}

// The dates are replaced in place: same length, same offset from UTC.
void TestVectorDrawing::withDates()
{
    QFETCH(QByteArray, pdf);
    const QDateTime epoch = QDateTime::fromSecsSinceEpoch(0, UtcAndLocal::utc());
    const QByteArray replaced = VectorDrawing::withDates(pdf, epoch);
    QTEST(replaced, "expected");
    QCOMPARE(replaced.size(), pdf.size());
}

void TestVectorDrawing::withContentId_data()
{
    QTest::addColumn<QByteArray>("pdf");
    QTest::addColumn<bool>("changed");

    // The identifier as Qt 6.8 writes it: in the XMP metadata and, as the hexadecimal
    // string of that text, twice in the trailer.
    const QByteArray id = "4ab2bb7b-470f-4c89-bde9-d3384643439e";
    const QByteArray hex = id.toHex();
    const QByteArray document = "<rdf:Description rdf:about=\"\" xmpMM:DocumentID=\"uuid:" + id
        + "\" xmpMM:VersionID=\"1\"/>\n1 0 obj\n(some content)\nendobj\ntrailer\n<<\n/ID [ <" + hex
        + "> <" + hex + "> ]\n>>\n";
    QTest::newRow("XMP and trailer") << document << true;
    QTest::newRow("no identifier") << QByteArray("%PDF-1.4\n/ID [ <" + hex + "> ]\n") << false;
    QTest::newRow("not an identifier")
        << QByteArray("xmpMM:DocumentID=\"uuid:4ab2bb7b-470f-4c89-bde9-d33846434x9e\"") << false;
}

// The identifier is replaced everywhere by one that depends on the document's content only:
// not on the identifier it had, but on every other byte.
void TestVectorDrawing::withContentId()
{
    QFETCH(QByteArray, pdf);
    QFETCH(bool, changed);
    const QByteArray replaced = VectorDrawing::withContentId(pdf);
    QCOMPARE(replaced.size(), pdf.size());
    if (!changed) {
        QCOMPARE(replaced, pdf);
        return;
    }
    const QByteArray id = "4ab2bb7b-470f-4c89-bde9-d3384643439e";
    const QByteArray other = "0f1e2d3c-4b5a-4978-8695-a4b3c2d1e0f9";
    QVERIFY(!replaced.contains(id) && !replaced.contains(id.toHex()));
    const qsizetype at = pdf.indexOf(id);
    const QByteArray newId = replaced.mid(at, id.size());
    QVERIFY(!QUuid::fromString(QLatin1String(newId)).isNull());
    QCOMPARE(replaced.count(newId.toHex()), 2);

    QByteArray otherId = pdf;
    otherId.replace(id, other).replace(id.toHex(), other.toHex());
    QCOMPARE(VectorDrawing::withContentId(otherId), replaced);
    QByteArray otherContent = pdf;
    otherContent.replace("(some content)", "(more content)");
    QVERIFY(VectorDrawing::withContentId(otherContent).mid(at, id.size()) != newId);
}

// With a fixed stamp time, the document carries it: two documents made apart are the same.
void TestVectorDrawing::pdfStampTime()
{
    qputenv("SOURCE_DATE_EPOCH", "86400");
    const QByteArray first = VectorDrawing::pdf(QSize(200, 100), sample);
    QTest::qWait(1100);
    const QByteArray second = VectorDrawing::pdf(QSize(200, 100), sample);
    qunsetenv("SOURCE_DATE_EPOCH");
    QVERIFY(first.contains("/CreationDate (D:"));
    QCOMPARE(second, first);
    const QDateTime fixed = QDateTime::fromSecsSinceEpoch(86400, UtcAndLocal::utc());
    QCOMPARE(VectorDrawing::withDates(first, fixed), first);
    QCOMPARE(VectorDrawing::withContentId(first), first);
}

HELICART_GUI_TEST_MAIN(TestVectorDrawing)
#include "tst_vectordrawing.moc"
