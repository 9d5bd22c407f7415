#include "classlimit.h"
#include "htmlpage.h"
#include "inlinesvg.h"
#include "pagecolumn.h"

#include <QTest>
#include <QXmlStreamWriter>

class TestHtmlPage : public QObject
{
    Q_OBJECT

private slots:
    void limitText_data();
    void limitText();
    void segmentTitle();
    void inlineSvg();
    void pageEscapesAndKeepsHtml();
};

void TestHtmlPage::limitText_data()
{
    QTest::addColumn<double>("limit");
    QTest::addColumn<int>("precision");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 800.0 << 0 << "800";
    QTest::newRow("data decimals") << 800.0 << 1 << "800.0";
    QTest::newRow("more than the data") << 12.5 << 0 << "12.5";
    QTest::newRow("at most six") << 1.0 / 3 << 0 << "0.333333";
    QTest::newRow("negative") << -500.0 << 0 << "-500";
}

void TestHtmlPage::limitText()
{
    QFETCH(double, limit);
    QFETCH(int, precision);
    QTEST(ClassLimit::text(limit, precision), "text");
}

void TestHtmlPage::segmentTitle()
{
    RoseTallyInterface::Tally tally;
    tally.sectors = { { "12", "11:02", "12:02" }, { "13", "12:02", "13:02" } };
    tally.classes = { { -500, 0 }, { 600, 800 }, { 800, 1500 } };
    tally.counts = { 1, 3, 0, 0, 0, 6 };
    QCOMPARE(PageColumn::segmentTitle(tally, 0, 1, " W/m2", 10, 0),
        QString("11:02 to 12:02\n(600, 800] W/m2\n3 values\n30.00 % of all lines, 75.00 % of the "
                "sector"));
    QCOMPARE(
        PageColumn::classTexts(tally.classes, 0), QStringList({ "<= 0", "(600, 800]", "> 800" }));
    // Only segments that hold data get a shape, each with its own sector's numbers.
    const QList<RoseSegmentsInterface::Segment> segments
        = { { 0, 0, 1, QPolygonF() }, { 1, 1, 0, QPolygonF() }, { 1, 2, 6, QPolygonF() } };
    const QList<HtmlPage::Shape> shapes = PageColumn::shapes(segments, tally, "W/m2", 10, 0);
    QCOMPARE(shapes.size(), 2);
    QVERIFY(shapes.at(1).title.startsWith("12:02 to 13:02\n> 800 W/m2\n6 values\n60.00 %"));
}

void TestHtmlPage::inlineSvg()
{
    const QByteArray svg
        = "<?xml version=\"1.0\"?><svg xmlns=\"http://www.w3.org/2000/svg\" "
          "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"10px\"><title>Qt "
          "SVG Document</title><desc>x</desc><!-- a comment --><defs><linearGradient "
          "id=\"g1\"/></defs><g fill=\"url(#g1)\" stroke=\"#abcdef\"><use "
          "xlink:href=\"#g1\"/><text>a &lt; b</text></g></svg>";
    QString page;
    QXmlStreamWriter out(&page);
    QVERIFY(InlineSvg::write(out, svg, "c1-", "Rose & <legend>"));
    QCOMPARE(page,
        QString("<svg width=\"10px\" role=\"img\"><title>Rose &amp; &lt;legend&gt;</title><defs>"
                "<linearGradient id=\"c1-g1\"/></defs><g fill=\"url(#c1-g1)\" stroke=\"#abcdef\">"
                "<use xlink:href=\"#c1-g1\"/><text>a &lt; b</text></g></svg>"));
    QString nothing;
    QXmlStreamWriter none(&nothing);
    QVERIFY(!InlineSvg::write(none, "<svg><g><path d=\"M0 0\"/><rect", "c1-", "x"));
    QCOMPARE(nothing, QString("<svg role=\"img\"><title>x</title><g><path d=\"M0 0\"/></g></svg>"));
}

void TestHtmlPage::pageEscapesAndKeepsHtml()
{
    HtmlPage::Header header;
    header.inputName = "<script>alert(1)</script>.txt";
    HtmlPage::Column column;
    column.heading = "T & \"x\"";
    column.size = QSize(10, 10);
    column.table = { "a", "b", "c", "d", "Time\\T\t<= 0\tΣ", "12\t\t1.00", "Σ\t0.00\t1.00" };
    const QString page = QString::fromUtf8(HtmlPage::text(header, {}, { column }));
    QVERIFY(page.startsWith("<!DOCTYPE html><html lang=\"en\">"));
    QVERIFY(!page.contains("<script>"));
    QVERIFY(page.contains("&lt;script&gt;alert(1)&lt;/script&gt;.txt"));
    QVERIFY(page.contains("<h2 id=\"c0-heading\">T &amp; &quot;x&quot;</h2>"));
    // HTML reads no empty element tag but a void one's: an empty cell is a pair of tags.
    QVERIFY(page.contains("<th scope=\"row\">12</th><td></td><td>1.00</td>"));
    QVERIFY(page.contains("<th scope=\"col\">&lt;= 0</th>"));
    QVERIFY(!page.contains("class=\"warnings\""));
    QVERIFY(HtmlPage::text(header, { "w <1>" }, {}).contains("<li>w &lt;1&gt;</li>"));
}

QTEST_GUILESS_MAIN(TestHtmlPage)
#include "tst_htmlpage.moc"
