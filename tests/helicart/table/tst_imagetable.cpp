#include "imagetable.h"
#include "testsupport.h"

#include <QGuiApplication>
#include <QPainter>
#include <QtTest>

#include <numeric>

namespace {

const QColor kBase(170, 255, 170);
const QColor kBorder(Qt::black);
constexpr int kTolerance = 2;

// The rose's table of a solar rose with the built-in classes: a corner text, class columns,
// 24 hour rows and a sum row ending in an empty cell.
QStringList roseTable()
{
    const QString sigma(QChar(0x03a3));
    QStringList rows;
    rows << QStringLiteral("Ura[hh] \\ Sončno sevanje[W/m2]\t <= 0\t(0 - 100]\t(100 - 200]\t"
                           "(200 - 300]\t(300 - 500]\t(500 - 800]\t(800 - 1100]\t > 1100\t")
            + sigma;
    for (int k = 0; k < 24; ++k) {
        QStringList cells { QStringLiteral("%1").arg((12 + k) % 24, 2, 10, QLatin1Char('0')) };
        cells << QString();
        for (int c = 1; c < 8; ++c)
            cells << QString::number((k * 7 + c * 3) % 40 * 0.25, 'f', 2);
        cells << QString::number(k * 1.5, 'f', 2);
        rows << cells.join(QLatin1Char('\t'));
    }
    QStringList sums { sigma };
    for (int c = 0; c < 8; ++c)
        sums << QString::number(c * 12.5, 'f', 2);
    rows << sums.join(QLatin1Char('\t')) + QLatin1Char('\t');
    return rows;
}

QString roseTitle()
{
    return QStringLiteral("Ljubljana\nSončno sevanje\nData from 01.06.09 00:00:00 till "
                          "30.06.09 23:59:00\nNo. all: 43200   No. good: 43100   No. unknown: "
                          "100 (0%)");
}

QFont tableFont()
{
    return QFont(QStringLiteral("framd"), 12);
}

// Gives table the test font, rows and title.
void setUp(ImageTable &table, const QStringList &rows, const QString &title = QString())
{
    table.setFont(tableFont());
    table.setRows(rows);
    table.setTitle(title);
}

// Text sizes as the table takes them, measured here on a painter of our own.
QSize textSize(const QString &text)
{
    QImage scratch(10, 10, QImage::Format_ARGB32);
    QPainter painter(&scratch);
    painter.setFont(tableFont());
    return painter.boundingRect(QRect(0, 0, 1024, 768), Qt::AlignLeft | Qt::AlignTop, text).size();
}

// The natural grid: column widths from the widest text, row heights from the highest.
struct Grid
{
    QVector<int> columns;
    QVector<int> rows;
    int titleHeight = 0;

    int width() const { return std::accumulate(columns.cbegin(), columns.cend(), 0); }
    int height() const { return std::accumulate(rows.cbegin(), rows.cend(), 0); }
    // Positions of the vertical lines, from 0 to the right border.
    QVector<int> lines(const QVector<int> &sizes, int start) const
    {
        QVector<int> result { start };
        for (int size : sizes)
            result << result.last() + size;
        return result;
    }
    QVector<int> xLines() const { return lines(columns, 0); }
    QVector<int> yLines() const { return lines(rows, titleHeight); }
};

Grid naturalGrid(const QStringList &rows, const QString &title)
{
    Grid grid;
    for (const QString &row : rows) {
        const QStringList cells = row.split(QLatin1Char('\t'));
        if (grid.columns.size() < cells.size())
            grid.columns.resize(cells.size(), 0);
        int height = 0;
        for (int k = 0; k < cells.size(); ++k) {
            const QSize size = textSize(cells.at(k));
            grid.columns[k] = qMax(grid.columns[k], size.width() + 5);
            height = qMax(height, size.height() + 2);
        }
        grid.rows << height;
    }
    if (!title.isEmpty())
        grid.titleHeight = textSize(title).height() + 2;
    return grid;
}

void spreadOver(QVector<int> &sizes, int extra, int *remainderTo)
{
    for (int &size : sizes)
        size += extra / sizes.size();
    *remainderTo += extra % sizes.size();
}

bool near(const QImage &image, int x, int y, const QColor &expected)
{
    return TestSupport::colorNear(image.pixelColor(x, y), expected, kTolerance);
}

QString describe(const QImage &image, int x, int y)
{
    return QStringLiteral("pixel (%1, %2) is %3").arg(x).arg(y).arg(image.pixelColor(x, y).name());
}

#define PROBE(image, x, y, color)                                                                  \
    QVERIFY2(near(image, x, y, color), qPrintable(describe(image, x, y)))

// Every cell of rows has its border on the computed lines and its fill just inside them.
void checkGrid(const QImage &image, const Grid &grid, const QStringList &rows,
    const std::function<QColor(int, int)> &fill)
{
    const QVector<int> xs = grid.xLines();
    const QVector<int> ys = grid.yLines();
    for (int r = 0; r < rows.size(); ++r) {
        const int cells = int(rows.at(r).split(QLatin1Char('\t')).size());
        for (int k = 0; k < cells; ++k) {
            const int middleY = (ys[r] + ys[r + 1]) / 2;
            const int middleX = (xs[k] + xs[k + 1]) / 2;
            PROBE(image, xs[k], middleY, kBorder);
            PROBE(image, xs[k + 1], middleY, kBorder);
            PROBE(image, middleX, ys[r], kBorder);
            PROBE(image, middleX, ys[r + 1], kBorder);
            // Texts are centred with at least two pixels to spare: the corners hold the fill.
            PROBE(image, xs[k] + 1, ys[r] + 1, fill(r, k));
            PROBE(image, xs[k + 1] - 1, ys[r] + 1, fill(r, k));
        }
    }
}

bool containsColor(const QImage &image, const QRect &area, const QColor &color, int tolerance)
{
    return TestSupport::countPixels(image, area, [&](const QColor &c) {
        return TestSupport::colorNear(c, color, tolerance);
    }) > 0;
}

} // namespace

class TestImageTable : public QObject
{
    Q_OBJECT

private slots:
    void headerCells();
    void wideTitle();
    void growsToRequestedSize_data();
    void growsToRequestedSize();
    void unevenRows();
    void monochrome();
    void emptyTable_data();
    void emptyTable();
    void formats_data();
    void formats();
    void layoutMatchesImage();
    void sameAsPaintedUnpremultiplied_data();
    void sameAsPaintedUnpremultiplied();
};

void TestImageTable::headerCells()
{
    const QStringList rows = roseTable();
    ImageTable table;
    setUp(table, rows);
    QVERIFY(table.setHeader(1, 1));
    const QImage image = table.render(QImage::Format_ARGB32, 0, 0);
    TestSupport::saveOutput(image, QStringLiteral("imagetable-header.png"));

    const QColor header = kBase.lighter(80);
    const QColor lighter = kBase.lighter(110);
    const Grid grid = naturalGrid(rows, QString());
    // Header cells of rows 3, 7, 11 keep the header fill.
    checkGrid(image, grid, rows,
        [&](int r, int k) { return (r < 1 || k < 1) ? header : (r % 4 == 3 ? lighter : kBase); });

    // Header texts are light, body texts black.
    const QVector<int> xs = grid.xLines();
    const QVector<int> ys = grid.yLines();
    const QRect corner(xs[0] + 1, ys[0] + 1, xs[1] - xs[0] - 1, ys[1] - ys[0] - 1);
    const QRect body(xs[2] + 1, ys[1] + 1, xs[3] - xs[2] - 1, ys[2] - ys[1] - 1);
    QVERIFY(containsColor(image, corner, QColor(240, 240, 240), 16));
    QVERIFY(!containsColor(image, corner, Qt::black, 16));
    QVERIFY(containsColor(image, body, Qt::black, 16));

    // reset() brings back the plain scheme, though it answers false.
    QVERIFY(!table.reset());
    const QImage plain = table.render(QImage::Format_ARGB32, 0, 0);
    PROBE(plain, 1, 1, kBase);
}

void TestImageTable::wideTitle()
{
    const QStringList rows { QStringLiteral("a\tb\tc"), QStringLiteral("1\t22\t333") };
    const QString title = QStringLiteral("A title much wider than the three small columns");
    ImageTable table;
    setUp(table, rows, title);
    const QImage image = table.render(QImage::Format_ARGB32, 0, 0);
    TestSupport::saveOutput(image, QStringLiteral("imagetable-widetitle.png"));

    Grid grid = naturalGrid(rows, title);
    const int titleWidth = textSize(title).width() + 5;
    QVERIFY(titleWidth > grid.width() + 1);
    // The extra width goes to all columns, the remainder to the first one.
    spreadOver(grid.columns, titleWidth - (grid.width() + 1), &grid.columns[0]);
    QCOMPARE(grid.width(), titleWidth - 1);
    QCOMPARE(image.size(), QSize(titleWidth, grid.titleHeight + grid.height() + 1));
    PROBE(image, titleWidth - 1, grid.titleHeight / 2, kBorder);
    PROBE(image, titleWidth - 2, 1, kBase.lighter(80));
    checkGrid(image, grid, rows, [](int, int) { return kBase; });
}

void TestImageTable::growsToRequestedSize_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("extraWidth");
    QTest::addColumn<int>("extraHeight");

    // Sizes relative to the natural size, so that no font decides what is tested.
    QTest::newRow("natural size") << roseTitle() << 0 << 0;
    QTest::newRow("with title") << roseTitle() << 203 << 577;
    QTest::newRow("without title") << QString() << 197 << 563;
    QTest::newRow("exact remainders") << roseTitle() << 10 << 25;
    QTest::newRow("smaller than the table") << roseTitle() << -500 << -300;
    QTest::newRow("wider only") << QString() << 100 << -10000;
}

void TestImageTable::growsToRequestedSize()
{
    QFETCH(QString, title);
    QFETCH(int, extraWidth);
    QFETCH(int, extraHeight);

    // Unasked, the table takes the natural grid: column widths from the widest text, row
    // heights from the highest, and a title bar as wide as the table.
    const QStringList rows = roseTable();
    ImageTable table;
    setUp(table, rows, title);
    Grid grid = naturalGrid(rows, title);
    const QSize natural(grid.width() + 1, grid.titleHeight + grid.height() + 1);
    QCOMPARE(table.render(QImage::Format_ARGB32, 0, 0).size(), natural);

    const int width = natural.width() + extraWidth;
    const int height = natural.height() + extraHeight;
    const QImage image = table.render(QImage::Format_ARGB32, width, height);
    TestSupport::saveOutput(image, QStringLiteral("imagetable-%1.png").arg(TestSupport::rowName()));
    // The extra size goes to all columns and rows, the remainders to the first column and to
    // the title bar (or, without a title, the first row).
    if (natural.width() < width)
        spreadOver(grid.columns, width - natural.width(), &grid.columns[0]);
    if (natural.height() < height) {
        int *remainderTo = title.isEmpty() ? &grid.rows[0] : &grid.titleHeight;
        spreadOver(grid.rows, height - natural.height(), remainderTo);
    }
    QCOMPARE(image.size(), natural.expandedTo(QSize(width, height)));
    QCOMPARE(image.size(), QSize(grid.width() + 1, grid.titleHeight + grid.height() + 1));
    if (!title.isEmpty()) {
        // Title bar: header fill, outlined.
        PROBE(image, 0, grid.titleHeight / 2, kBorder);
        PROBE(image, grid.width(), grid.titleHeight / 2, kBorder);
        PROBE(image, grid.width() / 2, 0, kBorder);
        PROBE(image, grid.width() / 2, grid.titleHeight, kBorder);
        PROBE(image, 1, 1, kBase.lighter(80));
        PROBE(image, grid.width() - 1, grid.titleHeight - 1, kBase.lighter(80));
    }
    // Rows 3, 7, 11, ... lighter, all other cells in the base colour.
    const QColor lighter = kBase.lighter(110);
    QVERIFY(lighter != kBase);
    checkGrid(image, grid, rows, [&](int r, int) { return r % 4 == 3 ? lighter : kBase; });
}

void TestImageTable::unevenRows()
{
    // Row 1 stops after one cell; row 2 has empty cells between tabs.
    const QStringList rows { QStringLiteral("first\tsecond\tthird"), QStringLiteral("x"),
        QStringLiteral("\t\t") };
    ImageTable table;
    setUp(table, rows);
    const QImage image = table.render(QImage::Format_ARGB32, 0, 0);
    TestSupport::saveOutput(image, QStringLiteral("imagetable-uneven.png"));

    const Grid grid = naturalGrid(rows, QString());
    checkGrid(image, grid, rows, [](int, int) { return kBase; });
    const QVector<int> xs = grid.xLines();
    const QVector<int> ys = grid.yLines();
    // Right of the short row: the white background, no lines.
    const int middleY = (ys[1] + ys[2]) / 2;
    PROBE(image, xs[2], middleY, Qt::white);
    PROBE(image, (xs[1] + xs[2]) / 2, middleY, Qt::white);
    PROBE(image, xs[3] - 1, middleY, Qt::white);
    // An empty row is as high as an empty text, outlined.
    QCOMPARE(grid.rows[2], textSize(QString()).height() + 2);
}

void TestImageTable::monochrome()
{
    const QStringList rows = roseTable();
    ImageTable table;
    setUp(table, rows, roseTitle());
    table.setHeader(1, 1);
    QVERIFY(table.setMonochrome());
    const QImage image = table.render(QImage::Format_ARGB32, 0, 0);
    TestSupport::saveOutput(image, QStringLiteral("imagetable-monochrome.png"));

    const Grid grid = naturalGrid(rows, roseTitle());
    PROBE(image, 1, 1, Qt::white);
    checkGrid(image, grid, rows, [](int, int) { return QColor(Qt::white); });
    const QVector<int> xs = grid.xLines();
    const QVector<int> ys = grid.yLines();
    const QRect corner(xs[0] + 1, ys[0] + 1, xs[1] - xs[0] - 1, ys[1] - ys[0] - 1);
    QVERIFY(containsColor(image, corner, Qt::black, 16));

    QVERIFY(table.setColorScheme(QColor(200, 200, 255)));
    const QImage blue = table.render(QImage::Format_ARGB32, 0, 0);
    PROBE(blue, xs[1] + 1, ys[3] + 1, QColor(200, 200, 255).lighter(110));
    PROBE(blue, xs[1] + 1, ys[2] + 1, QColor(200, 200, 255));
    PROBE(blue, 1, 1, QColor(200, 200, 255).lighter(80));
}

void TestImageTable::emptyTable_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");

    QTest::newRow("nothing") << QString() << 0 << 0;
    QTest::newRow("requested size") << QString() << 300 << 200;
    QTest::newRow("title only") << QStringLiteral("Title") << 0 << 0;
    QTest::newRow("title and requested size") << QStringLiteral("Title") << 300 << 200;
}

void TestImageTable::emptyTable()
{
    QFETCH(QString, title);
    QFETCH(int, width);
    QFETCH(int, height);

    // No rows means no columns: nothing to spread the extra size over.
    ImageTable table;
    table.setFont(tableFont());
    table.setTitle(title);
    const QImage image = table.render(QImage::Format_ARGB32, width, height);
    TestSupport::saveOutput(image, QStringLiteral("imagetable-%1.png").arg(TestSupport::rowName()));
    QVERIFY(!image.isNull());

    const QSize titleSize = title.isEmpty() ? QSize(0, 0) : textSize(title) + QSize(5, 2);
    const int naturalWidth = title.isEmpty() ? 1 : titleSize.width();
    QCOMPARE(image.size(), QSize(qMax(width, naturalWidth), qMax(height, titleSize.height() + 1)));
    if (title.isEmpty()) {
        PROBE(image, 0, 0, Qt::white);
        PROBE(image, image.width() - 1, image.height() - 1, Qt::white);
        return;
    }
    // The title bar spans the image and keeps its own height.
    PROBE(image, image.width() - 1, titleSize.height() / 2, kBorder);
    PROBE(image, image.width() / 2, titleSize.height(), kBorder);
    PROBE(image, image.width() - 2, 1, kBase.lighter(80));
    PROBE(image, image.width() / 2, image.height() - 1,
        height > titleSize.height() + 1 ? QColor(Qt::white) : kBorder);
}

void TestImageTable::formats_data()
{
    QTest::addColumn<int>("format");

    QTest::newRow("RGB32") << int(QImage::Format_RGB32);
    QTest::newRow("RGB888") << int(QImage::Format_RGB888);
    QTest::newRow("Indexed8") << int(QImage::Format_Indexed8);
    QTest::newRow("Mono") << int(QImage::Format_Mono);
}

void TestImageTable::formats()
{
    QFETCH(int, format);

    ImageTable table;
    setUp(table, roseTable());
    const QImage reference = table.render(QImage::Format_ARGB32, 0, 0);
    const QImage image = table.render(QImage::Format(format), 0, 0);
    QCOMPARE(int(image.format()), format);
    QCOMPARE(image.size(), reference.size());
    PROBE(image, 0, 0, kBorder);
}

void TestImageTable::layoutMatchesImage()
{
    ImageTable table;
    setUp(table, roseTable(), roseTitle());
    const QSize size = table.render(QImage::Format_ARGB32, 0, 0).size() + QSize(100, 100);
    const ImageTable::Layout layout
        = table.layout(QImage::Format_ARGB32, size.width(), size.height());
    QCOMPARE(layout.imageSize, size);
    QCOMPARE(table.render(QImage::Format_ARGB32, size.width(), size.height()).size(), size);
    QCOMPARE(layout.titleWidth, size.width() - 1);
    QCOMPARE(std::accumulate(layout.columnWidths.cbegin(), layout.columnWidths.cend(), 0),
        size.width() - 1);
    QCOMPARE(std::accumulate(layout.rowHeights.cbegin(), layout.rowHeights.cend(), 0)
            + layout.titleHeight,
        size.height() - 1);
}

// The table is painted premultiplied and handed out as plain ARGB32: every pixel must be what
// painting on a plain ARGB32 image gives, translucent colours and all.
void TestImageTable::sameAsPaintedUnpremultiplied_data()
{
    QTest::addColumn<QColor>("color");
    QTest::addColumn<bool>("title");
    QTest::addColumn<QSize>("grow");

    QTest::newRow("default colours") << QColor() << true << QSize(0, 0);
    QTest::newRow("no title, grown") << QColor() << false << QSize(37, 211);
    QTest::newRow("translucent colour") << QColor(200, 30, 90, 120) << true << QSize(5, 3);
}

void TestImageTable::sameAsPaintedUnpremultiplied()
{
    QFETCH(QColor, color);
    QFETCH(bool, title);
    QFETCH(QSize, grow);

    ImageTable table;
    if (color.isValid())
        table.setColorScheme(color);
    setUp(table, roseTable(), title ? roseTitle() : QString());
    const QSize size = table.render(QImage::Format_ARGB32, 0, 0).size() + grow;
    const QImage image = table.render(QImage::Format_ARGB32, size.width(), size.height());
    QCOMPARE(image.format(), QImage::Format_ARGB32);

    QImage reference(size, QImage::Format_ARGB32);
    reference.fill(Qt::white);
    QPainter painter(&reference);
    table.paint(&painter, table.layout(QImage::Format_ARGB32, size.width(), size.height()));
    painter.end();
    QCOMPARE(image, reference);
}

HELICART_GUI_TEST_MAIN(TestImageTable)
#include "tst_imagetable.moc"
