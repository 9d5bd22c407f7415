// Periods, groups and sheets run by the built program: the example by season (groups that add
// up to the year, a summer with longer noon bars than the winter, a sheet whose panels share
// one scale), and small files whose lines outside the period hold a value no line inside holds.
#include "endtoendsupport.h"
#include "sheetlayout.h"

#include <QDate>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QtMath>
#include <QtTest>

namespace {

// A counts file's cells: "sector/class" -> count, the rows after the cells by their class.
QMap<QString, qint64> countsOf(const QString &path)
{
    QMap<QString, qint64> cells;
    const QList<QByteArray> lines = EndToEnd::readFile(path).split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> f = lines.at(i).trimmed().split(',');
        if (f.size() >= 7)
            cells[QString::fromUtf8(f.at(0) + '/' + f.at(3))] = f.at(6).toLongLong();
    }
    return cells;
}

// Lines at every hour from..till (exclusive): value inside(day) for the days that pass, 777
// (held by no other line) for the others.
QStringList hourlyLines(
    const QDate &from, const QDate &till, const std::function<bool(const QDate &)> &inside)
{
    QStringList lines;
    for (QDate day = from; day < till; day = day.addDays(1)) {
        for (int h = 0; h < 24; ++h) {
            const QString value
                = inside(day) ? QString::number((day.day() * 37 + h * 53) % 400) : "777";
            lines << day.toString("dd.MM.yyyy")
                    + QStringLiteral(" %1:00\t").arg(h, 2, 10, QLatin1Char('0')) + value;
        }
    }
    return lines;
}

bool isWhite(QRgb p)
{
    return qRed(p) > 245 && qGreen(p) > 245 && qBlue(p) > 245;
}

// The dial of the rose whose image has its top left corner at corner: the dial's centre and
// radius, from its left end on the middle row and its topmost row.
QPair<QPoint, int> dialOf(const QImage &image, const QPoint &corner, int rose)
{
    int left = corner.x();
    while (left < corner.x() + rose && isWhite(image.pixel(left, corner.y() + rose / 2)))
        ++left;
    for (int y = corner.y(); y < corner.y() + rose / 2; ++y) {
        int first = -1, last = -1;
        for (int x = left; x < left + rose && x < image.width(); ++x) {
            if (!isWhite(image.pixel(x, y))) {
                last = x;
                first = first < 0 ? x : first;
            }
        }
        if (first >= 0) {
            const int cx = (first + last) / 2;
            return { QPoint(cx, y + (cx - left)), cx - left };
        }
    }
    return { QPoint(), 0 };
}

} // namespace

class TestSeasons : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void seasonsAddUp();
    void summerNoonLonger();
    void sheetPanelsShareScale_data();
    void sheetPanelsShareScale();
    void periodIsCutFile_data();
    void periodIsCutFile();
    void winterAcrossYearEnd();
    void columnsSideBySide();
    void badPeriods_data();
    void badPeriods();

private:
    int run(const QStringList &arguments, QByteArray *err = nullptr);
    QTemporaryDir m_out;
    QByteArray m_seasonErr;
};

int TestSeasons::run(const QStringList &arguments, QByteArray *err)
{
    return TestSupport::runProgram(
        HELICART_PROGRAM, arguments, QStringLiteral(HELICART_SOURCE_DIR "/examples"), nullptr, err);
}

void TestSeasons::initTestCase()
{
    QVERIFY(m_out.isValid());
    QCOMPARE(run({ "--input=station.txt", "--output=" + m_out.filePath("st"), "--by=season",
                     "--sheet", "--format=png,csv" },
                 &m_seasonErr),
        0);
}

void TestSeasons::seasonsAddUp()
{
    const QStringList seasons { "DJF", "MAM", "JJA", "SON" };
    for (int k = 0; k < 3; ++k) {
        const QString name = QStringLiteral("C%1.csv").arg(k, 3, 10, QLatin1Char('0'));
        const QMap<QString, qint64> year = countsOf(m_out.filePath("st" + name));
        QMap<QString, qint64> sum;
        for (const QString &season : seasons) {
            const QMap<QString, qint64> cells = countsOf(m_out.filePath("st_" + season + name));
            QVERIFY(!cells.isEmpty());
            for (auto it = cells.cbegin(); it != cells.cend(); ++it)
                sum[it.key()] += it.value();
        }
        // Cell by cell; the lines whose stamp cannot be read belong to no season, and are
        // unknown in the year's table alone.
        for (auto it = year.cbegin(); it != year.cend(); ++it) {
            if (it.key() != QLatin1String("/unknown"))
                QCOMPARE(sum.value(it.key()), it.value());
        }
        QCOMPARE(sum.value("/unknown") + 5, year.value("/unknown"));
    }
    QVERIFY(!m_seasonErr.contains("holds no data line"));
}

void TestSeasons::summerNoonLonger()
{
    // The noon sector's shares above 400 W/m2 (classes 5 and on of the radiation).
    const auto noon = [this](const QString &season) {
        const QMap<QString, qint64> cells = countsOf(m_out.filePath("st_" + season + "C000.csv"));
        qint64 high = 0;
        for (int c = 5; c <= 8; ++c)
            high += cells.value(QStringLiteral("12/%1").arg(c));
        return high;
    };
    QVERIFY2(noon("JJA") > 2 * noon("DJF"),
        qPrintable(QStringLiteral("%1 %2").arg(noon("JJA")).arg(noon("DJF"))));
}

void TestSeasons::sheetPanelsShareScale_data()
{
    QTest::addColumn<QString>("sheetName");
    QTest::addColumn<int>("panels");
    QTest::newRow("example by season") << "st_sheet.png" << 4;
    // Whole winter days, and summer lines from 10 to 14 o'clock alone: the summer's own scale
    // would be some five times the winter's.
    const auto lines = [](const QDate &from, const QDate &till, int firstHour, int lastHour) {
        QStringList lines;
        for (QDate day = from; day < till; day = day.addDays(1)) {
            for (int h = firstHour; h <= lastHour; ++h)
                lines << day.toString("dd.MM.yyyy")
                        + QStringLiteral(" %1:00\t%2").arg(h, 2, 10, QLatin1Char('0')).arg(h * 40);
        }
        return lines;
    };
    const QString input = m_out.filePath("uneven.txt");
    QVERIFY(EndToEnd::writeFile(input,
        EndToEnd::measurementFile({ "GSR" }, { "W/m2" },
            lines(QDate(2023, 1, 1), QDate(2023, 3, 1), 0, 23)
                + lines(QDate(2023, 6, 1), QDate(2023, 9, 1), 10, 14))));
    QCOMPARE(run({ "--input=" + input, "--output=" + m_out.filePath("uneven"), "--by=season",
                 "--sheet" }),
        0);
    QTest::newRow("uneven seasons") << "uneven_sheet.png" << 2;
}

void TestSeasons::sheetPanelsShareScale()
{
    QFETCH(QString, sheetName);
    QFETCH(int, panels);
    const QImage sheet(m_out.filePath(sheetName));
    QVERIFY(!sheet.isNull());
    // The first block's panels, two to a row, the second row a panel and its title lower.
    const int top = SheetLayout::kBlockTitleHeight + SheetLayout::kPanelTitleHeight;
    const int rose = SheetLayout::kPanelHeight;
    const QPair<QPoint, int> dial = dialOf(sheet, QPoint(SheetLayout::kMargin, top), rose);
    const QPoint centre = dial.first;
    const int radius = dial.second;
    QVERIFY(radius > rose / 3);
    // The second panel of the row: its dial's left end on the same row.
    int next = centre.x() + radius + SheetLayout::kMargin;
    while (next < sheet.width() && isWhite(sheet.pixel(next, centre.y())))
        ++next;
    const int dx = next - (centre.x() - radius);
    const int dy = SheetLayout::kPanelTitleHeight + rose + SheetLayout::kMargin;
    const auto at = [&centre](double degrees, int r) {
        const double a = qDegreesToRadians(degrees);
        return centre + QPoint(qRound(r * qSin(a)), qRound(-r * qCos(a)));
    };
    const QList<QPoint> offsets
        = QList<QPoint> { { dx, 0 }, { 0, dy }, { dx, dy } }.first(panels - 1);
    // The ray where the fewest pixels of all panels are not white: between two bars, where only
    // the rings cross it (away from the ring labels, whose halos hide the rings).
    double clear = 0;
    int fewest = radius * panels;
    for (double degrees = 0; degrees < 360; degrees += 0.5) {
        if (degrees > 110 && degrees < 170)
            continue;
        int marked = 0;
        for (int r = radius * 2 / 5; r < radius * 3 / 4; ++r) {
            marked += isWhite(sheet.pixel(at(degrees, r))) ? 0 : 1;
            for (const QPoint &offset : offsets)
                marked += isWhite(sheet.pixel(at(degrees, r) + offset)) ? 0 : 1;
        }
        if (marked < fewest) {
            fewest = marked;
            clear = degrees;
        }
    }
    int rings = 0;
    for (int r = radius * 2 / 5; r < radius * 3 / 4; ++r) {
        const QRgb here = sheet.pixel(at(clear, r));
        rings += isWhite(here) ? 0 : 1;
        for (const QPoint &offset : offsets) {
            QVERIFY2(TestSupport::colorNear(here, sheet.pixel(at(clear, r) + offset), 32),
                qPrintable(QStringLiteral("ray %1, r %2").arg(clear).arg(r)));
        }
    }
    QVERIFY(rings > 0);
    // The scale labels, black on a halo over the bars (towards 21 o'clock): where the first
    // panel has a stroke of a label, every panel has one.
    int strokes = 0;
    for (double degrees = 125; degrees <= 155; degrees += 1) {
        for (int r = radius * 2 / 5; r < radius; ++r) {
            const QRgb here = sheet.pixel(at(degrees, r));
            if (qRed(here) > 40 || qGreen(here) > 40 || qBlue(here) > 40)
                continue;
            ++strokes;
            for (const QPoint &offset : offsets)
                QVERIFY(qGray(sheet.pixel(at(degrees, r) + offset)) < 140);
        }
    }
    QVERIFY(strokes > 10);
}

void TestSeasons::periodIsCutFile_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<std::function<bool(const QDate &)>>("inside");
    QTest::addColumn<int>("leftOut");
    QTest::newRow("from, till") << QStringList { "--from=2022-12-10", "--till=2023-02-03T00:00" }
                                << std::function<bool(const QDate &)>([](const QDate &d) {
                                       return d >= QDate(2022, 12, 10) && d < QDate(2023, 2, 3);
                                   })
                                << 24 * (30 + 9 + 26);
    QTest::newRow("months wrapping the year")
        << QStringList { "--months=11-1" }
        << std::function<bool(const QDate &)>(
               [](const QDate &d) { return d.month() >= 11 || d.month() == 1; })
        << 24 * 28;
    QTest::newRow("all three") << QStringList { "--months=12,2", "--from=2022-12-02",
        "--till=2023-02-28" } << std::function<bool(const QDate &)>([](const QDate &d) {
        return (d.month() == 12 || d.month() == 2) && d >= QDate(2022, 12, 2)
            && d < QDate(2023, 2, 28);
    }) << 24 * (30 + 1 + 31 + 1);
}

void TestSeasons::periodIsCutFile()
{
    QFETCH(QStringList, options);
    QFETCH(std::function<bool(const QDate &)>, inside);
    QFETCH(int, leftOut);
    // November 2022 to February 2023; a cut file of the lines inside alone.
    const QStringList lines = hourlyLines(QDate(2022, 11, 1), QDate(2023, 3, 1), inside);
    const QStringList cut = lines.filter(QRegularExpression("\t(?!777)"));
    const QString whole = m_out.filePath("whole.txt"), part = m_out.filePath("cut.txt");
    QVERIFY(EndToEnd::writeFile(whole, EndToEnd::measurementFile({ "GSR" }, { "W/m2" }, lines)));
    QVERIFY(EndToEnd::writeFile(part, EndToEnd::measurementFile({ "GSR" }, { "W/m2" }, cut)));
    QByteArray err;
    QCOMPARE(run(QStringList { "--input=" + whole, "--output=" + m_out.filePath("p"),
                     "--format=csv,tsv" }
                     + options,
                 &err),
        0);
    QVERIFY2(
        err.contains(
            QStringLiteral("helicart: %1 data lines outside the period").arg(leftOut).toUtf8()),
        err);
    QCOMPARE(run({ "--input=" + part, "--output=" + m_out.filePath("c"), "--format=csv" }), 0);
    QCOMPARE(EndToEnd::readFile(m_out.filePath("pC000.csv")),
        EndToEnd::readFile(m_out.filePath("cC000.csv")));
    // The table says which period it shows.
    QVERIFY(EndToEnd::readFile(m_out.filePath("pT000.tsv"))
                .contains(options.first().mid(2, 4).toUtf8()));
}

void TestSeasons::winterAcrossYearEnd()
{
    const QStringList lines
        = hourlyLines(QDate(2022, 12, 1), QDate(2023, 4, 1), [](const QDate &) { return true; });
    const QString input = m_out.filePath("winter.txt");
    QVERIFY(EndToEnd::writeFile(input, EndToEnd::measurementFile({ "GSR" }, { "W/m2" }, lines)));
    QByteArray err;
    QCOMPARE(run({ "--input=" + input, "--output=" + m_out.filePath("w"), "--by=season",
                     "--format=csv" },
                 &err),
        0);
    qint64 djf = 0;
    for (const qint64 count : countsOf(m_out.filePath("w_DJFC000.csv")))
        djf += count;
    QCOMPARE(djf, 24 * (31 + 31 + 28)); // December 2022 with January and February 2023
    QVERIFY(QFile::exists(m_out.filePath("w_MAMC000.csv")));
    QVERIFY(!QFile::exists(m_out.filePath("w_JJAC000.csv")));
    QVERIFY2(err.contains("group JJA holds no data line") && err.contains("group SON holds"), err);
}

void TestSeasons::columnsSideBySide()
{
    // Without groups: one block, the three columns' roses in one row, each with its legend.
    QByteArray err;
    QCOMPARE(run({ "--input=station.txt", "--output=" + m_out.filePath("row"), "--sheet",
                     "--months=6-8" },
                 &err),
        0);
    QVERIFY2(err.contains("data lines outside the period (months: 6-8) are left out"), err);
    const QImage sheet(m_out.filePath("row_sheet.png"));
    QCOMPARE(sheet.height(),
        SheetLayout::kBlockTitleHeight + SheetLayout::kPanelTitleHeight + SheetLayout::kPanelHeight
            + SheetLayout::kMargin);
    const QImage rose(m_out.filePath("rowS000.png"));
    QVERIFY(sheet.width() > 3 * rose.width() * SheetLayout::kPanelHeight / rose.height());
    QVERIFY(QDir(m_out.path()).entryList({ "row_*" }).size() == 1);
}

void TestSeasons::badPeriods_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("message");
    QTest::newRow("from garbage") << "--from=garbage"
                                  << "--from value \"garbage\" is no date";
    QTest::newRow("till garbage") << "--till=2023-13-01"
                                  << "--till value \"2023-13-01\"";
    QTest::newRow("from after till") << "--from=2023-03-01"
                                     << "is not before --till";
    QTest::newRow("months") << "--months=0"
                            << "--months value \"0\"";
    QTest::newRow("by") << "--by=week"
                        << "--by value \"week\" is none of month, season and year";
}

void TestSeasons::badPeriods()
{
    QFETCH(QString, option);
    QFETCH(QString, message);
    QByteArray err;
    QCOMPARE(run({ "--input=station.txt", "--output=" + m_out.filePath("bad"), "--till=2023-02-01",
                     option },
                 &err),
        255);
    QVERIFY2(err.contains(message.toUtf8()), err);
    QVERIFY(!QFile::exists(m_out.filePath("badS000.png")));
}

QTEST_GUILESS_MAIN(TestSeasons)
#include "tst_seasons.moc"
