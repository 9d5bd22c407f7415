#include "qsolarrose.h"
#include "roselayout.h"
#include "roseprobe.h"
#include "testsupport.h"
#include "windroselegend.h"

#include <QGuiApplication>
#include <QtTest>

namespace {

const QColor blue("#0000ff");
const QColor green("#00ff00");
const QColor red("#ff0000");

// Classes from 0 to 100, 100 to 200 and 200 to 300.
void addThreeClasses(QWindRose &rose)
{
    rose.addIntervalRange(0, 100, QBrush(blue));
    rose.addIntervalRange(100, 200, QBrush(green));
    rose.addIntervalRange(200, 300, QBrush(red));
}

// Prepares the rose's legend as the rendering does and draws it on its own.
QImage drawLegend(QWindRose &rose, bool showTitle, const QString &name)
{
    WindroseLegend *legend = rose.legend();
    legend->setContent(rose.legendContent());
    legend->setHeight(480);
    legend->setFont(rose.font());
    legend->setBackground(QBrush(QColor(255, 255, 255, 0)));
    legend->setShowTitle(showTitle);
    if (!legend->paint(nullptr))
        return QImage();
    const QImage image = legend->image();
    TestSupport::saveOutput(image, QStringLiteral("windroselegend-%1.png").arg(name));
    return image;
}

RoseLayout::LegendRows expectedRows(QWindRose &rose, bool showTitle)
{
    const QFontMetrics metrics(rose.font());
    const int symbol = RoseLayout::legendSymbolSize(metrics.height());
    return RoseLayout::legendRows(metrics.height(),
        rose.texts().legendTitle.count(QLatin1Char('\n')), rose.intervals().size(),
        rose.legend()->textColumnWidth(rose.font(), symbol), 480,
        RoseLayout::barArea(rose.roseDiameter(), rose.frame().scale.ringCount), showTitle);
}

// The free text of a rose's legend: station, time range and counts, its first lines lines.
QString freeText(int lines)
{
    const QStringList all { "Kamnik - Tunjice", "01.01.23 00:00", "31.12.23 23:50", "all: 52550",
        "good: 52487", "unknown: 0%" };
    return all.mid(0, lines).join(QLatin1Char('\n'));
}

// The legend of rose set up as the rendering sets it up, with classes classes of 100 each
// from -100 up, the title and the free text.
WindroseLegend *preparedLegend(
    QWindRose &rose, int classes, const QString &title, const QString &text)
{
    for (int i = 0; i < classes; ++i)
        rose.addIntervalRange(100.0 * (i - 1), 100.0 * i, QBrush(blue));
    rose.setLegendTitle(title);
    rose.setLegendText(text, false);
    WindroseLegend *legend = rose.legend();
    legend->setContent(rose.legendContent());
    legend->setHeight(rose.settings().imageHeight);
    legend->setFont(rose.font());
    legend->setShowTitle(true);
    legend->setPrecision(1);
    return legend;
}

// The rectangles the legend's texts take, measured from the cells of its layout: the free
// text's box, the title, and the label of each class.
QVector<QRect> measuredTexts(const WindroseLegend &legend, const WindroseLegend::Layout &layout,
    const QString &title, const QString &text)
{
    const QFontMetrics metrics(layout.font);
    const QPoint origin = layout.rows.rowOrigin();
    QVector<QRect> rects {
        metrics.boundingRect(layout.cells.freeText, Qt::AlignRight, text).adjusted(-2, -2, 2, 2),
        metrics.boundingRect(layout.cells.title.translated(origin), Qt::AlignHCenter, title)
    };
    for (int i = 0; i < layout.rows.classCount; ++i) {
        const QRect cell = i == 0 ? layout.cells.firstLabel : layout.cells.classLabels.at(i);
        rects << metrics.boundingRect(
            cell.translated(origin), Qt::AlignHCenter | Qt::AlignVCenter, legend.labelText(i));
    }
    return rects;
}

int countVisible(const QImage &image, const QRect &area)
{
    return TestSupport::countPixels(image, area, [](const QColor &c) { return c.alpha() != 0; });
}

} // namespace

class TestWindRoseLegend : public QObject
{
    Q_OBJECT
private slots:
    void textColumnWidth_data();
    void textColumnWidth();
    void freeTextWidth_data();
    void freeTextWidth();
    void withoutContent();
    void imageSizeAndWidth_data();
    void imageSizeAndWidth();
    void barsStackUpward_data();
    void barsStackUpward();
    void withoutClasses();
    void warningBox_data();
    void warningBox();
    void textsNeverOverlap_data();
    void textsNeverOverlap();
    void fittedLegendIsDrawnAsLaidOut();
};

void TestWindRoseLegend::textColumnWidth_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("precision");
    QTest::addColumn<int>("classes");
    QTest::addColumn<QStringList>("candidates");
    // Only the middle classes count, each with the symbol's width added; title lines alone.
    QTest::newRow("middle class only") << QString() << 1 << 3 << QStringList { "+(100.0, 200.0]" };
    QTest::newRow("no decimals") << QString() << 0 << 3 << QStringList { "+(100, 200]" };
    QTest::newRow("long title line")
        << QStringLiteral("A rather long legend title\nshort") << 1 << 3
        << QStringList { "A rather long legend title", "+(100.0, 200.0]" };
    QTest::newRow("two classes: title only")
        << QStringLiteral("Title") << 1 << 2 << QStringList { "Title" };
    QTest::newRow("nothing to measure") << QString() << 1 << 2 << QStringList { "" };
}

void TestWindRoseLegend::textColumnWidth()
{
    QFETCH(QString, title);
    QFETCH(int, precision);
    QFETCH(int, classes);
    QFETCH(QStringList, candidates);
    QWindRose chart;
    for (int i = 0; i < classes; ++i)
        chart.addIntervalRange(100.0 * i, 100.0 * (i + 1), QBrush(blue));
    chart.setLegendTitle(title);
    chart.legend()->setContent(chart.legendContent());
    chart.legend()->setPrecision(precision);
    const QFont font = chart.font();
    const QFontMetrics metrics(font);
    int expected = 0;
    for (const QString &c : candidates) {
        expected = qMax(expected,
            c.startsWith(QLatin1Char('+')) ? metrics.horizontalAdvance(c.mid(1)) + 30
                                           : metrics.horizontalAdvance(c));
    }
    QCOMPARE(chart.legend()->textColumnWidth(font, 30), expected);
}

void TestWindRoseLegend::freeTextWidth_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("widest");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("one line") << QStringLiteral("station") << QStringLiteral("station");
    QTest::newRow("widest line counts")
        << QStringLiteral("ab\nlonger line\ncd") << QStringLiteral("longer line");
}

void TestWindRoseLegend::freeTextWidth()
{
    QFETCH(QString, text);
    QFETCH(QString, widest);
    QWindRose rose;
    addThreeClasses(rose);
    WindroseLegend *legend = rose.legend();
    legend->setContent(rose.legendContent());
    legend->setLegendText(text, false);
    const QFont font = rose.font();
    const QFontMetrics metrics(font);
    const int width = legend->freeTextWidth(font, 7);
    // The bounding rectangle may add a pixel of bearing; never a font's exact pixels.
    QVERIFY2(qAbs(width - (metrics.horizontalAdvance(widest) + 4 + 7)) <= 2,
        qPrintable(QString::number(width)));
    const int symbol = RoseLayout::legendSymbolSize(metrics.height());
    QCOMPARE(legend->legendWidth(font),
        qMax(legend->textColumnWidth(font, symbol), legend->freeTextWidth(font, 0)));
}

void TestWindRoseLegend::withoutContent()
{
    QWindRose rose;
    WindroseLegend *legend = rose.legend();
    legend->clearContent();
    legend->setLegendText(QStringLiteral("text"), true);
    QVERIFY(!legend->draw(nullptr));
    QCOMPARE(legend->textColumnWidth(rose.font(), 20), 0);
    QCOMPARE(legend->freeTextWidth(rose.font(), 20), 0);
    QCOMPARE(legend->legendWidth(rose.font()), 0);
    QVERIFY(legend->image().isNull());
}

void TestWindRoseLegend::imageSizeAndWidth_data()
{
    QTest::addColumn<int>("fixedWidth");
    QTest::addColumn<bool>("useImageWidth");
    QTest::newRow("no fixed width") << -1 << true;
    QTest::newRow("fixed width 0") << 0 << true;
    QTest::newRow("fixed width 150") << 150 << false;
}

void TestWindRoseLegend::imageSizeAndWidth()
{
    QFETCH(int, fixedWidth);
    QFETCH(bool, useImageWidth);
    QWindRose rose;
    addThreeClasses(rose);
    rose.setFixedLegendWidth(fixedWidth);
    const QImage image = drawLegend(rose, true, TestSupport::rowName());
    const RoseLayout::LegendRows rows = expectedRows(rose, true);
    QCOMPARE(image.size(), QSize(rows.imageWidth, 480));
    QCOMPARE(rose.legend()->lastLegendWidth(), useImageWidth ? image.width() : fixedWidth);
}

void TestWindRoseLegend::barsStackUpward_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("showTitle");
    QTest::newRow("no title shown") << QStringLiteral("Two\nlines") << false;
    QTest::newRow("two-line title shown") << QStringLiteral("Two\nlines") << true;
}

// Each class after the first gets a band of the shared room; the title takes its lines off it.
void TestWindRoseLegend::barsStackUpward()
{
    QFETCH(QString, title);
    QFETCH(bool, showTitle);
    QWindRose rose;
    addThreeClasses(rose);
    rose.setLegendTitle(title);
    const QImage image = drawLegend(rose, showTitle, TestSupport::rowName());
    const RoseLayout::LegendRows rows = expectedRows(rose, showTitle);
    const int lh = QFontMetrics(rose.font()).height();
    QCOMPARE(rows.available, 240 - (showTitle ? 2 * lh : 0));
    QCOMPARE(rose.legend()->titleLineHeight(), showTitle ? lh : 0);

    const QPoint origin = rows.rowOrigin();
    const QList<QColor> colours { blue, green, red };
    for (int i = 1; i < 3; ++i) {
        const int start = rows.bandStart(i);
        const int end = start + rows.rowHeight;
        const QPoint middle = origin - QPoint(0, (start + end) / 2);
        QVERIFY2(RoseProbe::onShade(image.pixelColor(middle), colours.at(i)),
            qPrintable(QStringLiteral("class %1 at (%2, %3) is %4")
                           .arg(i)
                           .arg(middle.x())
                           .arg(middle.y())
                           .arg(image.pixelColor(middle).name(QColor::HexArgb))));
    }
    // The last bar ends where its band ends.
    const int top = rows.bandStart(2) + rows.rowHeight;
    QVERIFY(RoseProbe::onShade(image.pixelColor(origin - QPoint(0, top - 3)), red));
    QVERIFY(!RoseProbe::onShade(image.pixelColor(origin - QPoint(0, top + 3)), red));

    // The first class's symbol: a white circle outlined in black (its top touches the first bar).
    const QPoint symbolCentre = rows.symbolOrigin() + QPoint(rows.half + rows.symbolSize / 2, 0);
    QVERIFY(TestSupport::colorNear(image.pixelColor(symbolCentre), Qt::white, 2));
    QVERIFY(TestSupport::darkestGray(image, symbolCentre + QPoint(0, rows.half), 1) < 200);

    // The title, when shown, stands above the bars.
    const int th = 2 * lh;
    const QRect titleArea(origin.x() - rows.half, origin.y() - top - th, rows.textWidth, th);
    QCOMPARE(countVisible(image, titleArea) > 0, showTitle);
}

// A legend of a rose without classes shows only its title and its free text.
void TestWindRoseLegend::withoutClasses()
{
    QWindRose rose;
    rose.setLegendTitle(QStringLiteral("Title"));
    rose.legend()->setLegendText(QStringLiteral("note"), true);
    QVERIFY(rose.intervals().isEmpty());
    const QImage image = drawLegend(rose, true, QStringLiteral("without-classes"));
    QVERIFY(!image.isNull());
    const RoseLayout::LegendRows rows = expectedRows(rose, true);
    QCOMPARE(rows.rowHeight, 0);

    // No symbol and no bars near the symbol line; the title just above it; the free text on
    // its box at the top.
    const QPoint symbolOrigin = rows.symbolOrigin();
    QCOMPARE(countVisible(image, QRect(0, symbolOrigin.y() - rows.half, image.width(), 480)), 0);
    const int lh = QFontMetrics(rose.font()).height();
    QVERIFY(
        countVisible(image, QRect(0, symbolOrigin.y() - rows.half - lh, image.width(), lh)) > 0);
    QVERIFY(countVisible(image, QRect(0, 0, image.width(), 5 + lh + 2)) > 0);
}

void TestWindRoseLegend::warningBox_data()
{
    QTest::addColumn<bool>("warning");
    QTest::newRow("warning") << true;
    QTest::newRow("plain") << false;
}

void TestWindRoseLegend::warningBox()
{
    QFETCH(bool, warning);
    QWindRose rose;
    addThreeClasses(rose);
    rose.setLegendText(QStringLiteral("x"), warning);
    const QImage image = drawLegend(rose, false, TestSupport::rowName());
    const QRect area(0, 5, image.width() - 5, 240);
    const QRect text
        = QFontMetrics(rose.font()).boundingRect(area, Qt::AlignRight, QStringLiteral("x"));
    // Right of the text and above it, inside the 2 pixel margin of the box.
    for (const QPoint &p : { QPoint(text.right() + 1, text.center().y()),
             QPoint(text.center().x(), text.top() - 1) }) {
        const QColor pixel = image.pixelColor(p);
        if (warning)
            QVERIFY2(TestSupport::colorNear(pixel, QColor(255, 210, 210), 2),
                qPrintable(pixel.name(QColor::HexArgb)));
        else
            QCOMPARE(pixel.alpha(), 0);
    }
}

void TestWindRoseLegend::textsNeverOverlap_data()
{
    QTest::addColumn<bool>("solar"); // the solar rose's defaults, else the wind rose's
    QTest::addColumn<int>("classes");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("title");
    for (bool solar : { true, false }) {
        for (int classes = 1; classes <= 12; ++classes) {
            for (int lines = 1; lines <= 6; ++lines) {
                for (const char *title : { "GSR", "GSR\n[W/m2]" }) {
                    QTest::addRow("%s, %d classes, %d lines, %s", solar ? "solar" : "wind", classes,
                        lines, title[3] ? "two-line title" : "one-line title")
                        << solar << classes << lines << QString::fromLatin1(title);
                }
            }
        }
    }
}

// At the default image height and fonts, the free text, the title and the class labels keep
// apart, within the image; with 8 to 12 classes they stay at a readable size.
void TestWindRoseLegend::textsNeverOverlap()
{
    QFETCH(bool, solar);
    QFETCH(int, classes);
    QFETCH(int, lines);
    QFETCH(QString, title);
    std::unique_ptr<QWindRose> rose(solar ? new QSolarRose : new QWindRose);
    const QString text = freeText(lines);
    WindroseLegend *legend = preparedLegend(*rose, classes, title, text);
    const WindroseLegend::Layout layout = legend->layout();
    const QVector<QRect> rects = measuredTexts(*legend, layout, title, text);
    for (int i = 0; i < rects.size(); ++i) {
        QVERIFY2(rects.at(i).top() >= 0 && rects.at(i).bottom() < rose->settings().imageHeight,
            qPrintable(QStringLiteral("text %1 outside the image").arg(i)));
        for (int j = i + 1; j < rects.size(); ++j)
            QVERIFY2(!rects.at(i).intersects(rects.at(j)),
                qPrintable(QStringLiteral("texts %1 and %2 overlap").arg(i).arg(j)));
    }
    QVERIFY(layout.font.pointSize() >= 12);
}

// A legend whose texts had to be fitted is painted from its layout: its texts in the fitted
// font and cells, nothing of them in the strip between the free text and the title.
void TestWindRoseLegend::fittedLegendIsDrawnAsLaidOut()
{
    QSolarRose rose;
    const QString title = QStringLiteral("GSR\n[W/m2]");
    WindroseLegend *legend = preparedLegend(rose, 12, title, freeText(6));
    const WindroseLegend::Layout layout = legend->layout();
    QVERIFY(layout.font.pointSize() < rose.font().pointSize());
    QVERIFY(legend->paint(nullptr));
    const QImage image = legend->image();
    TestSupport::saveOutput(image, QStringLiteral("windroselegend-fitted.png"));
    QCOMPARE(image.size(), QSize(layout.rows.imageWidth, rose.settings().imageHeight));

    const QVector<QRect> rects = measuredTexts(*legend, layout, title, freeText(6));
    const QRect freeBox = rects.at(0);
    const QRect titleRect = rects.at(1);
    QVERIFY(freeBox.bottom() < titleRect.top());
    const QRect between(
        0, freeBox.bottom() + 1, image.width(), titleRect.top() - freeBox.bottom() - 1);
    QCOMPARE(countVisible(image, between), 0);
    for (const QRect &r : rects)
        QVERIFY(countVisible(image, r) > 0);
}

HELICART_GUI_TEST_MAIN(TestWindRoseLegend)
#include "tst_windroselegend.moc"
