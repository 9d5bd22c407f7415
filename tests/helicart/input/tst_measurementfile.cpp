#include "failingdevice.h"
#include "measurementfile.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimeZone>
#include <QtTest>

#include <cmath>
#include <ctime>

namespace {

// Row-layout header with two parameter columns, A and B.
const QByteArray twoColumnHeader = "r1\nr2\nr3\nTime\tStation A\tStation B\nr5\n"
                                   "Time\tA\tB\nr7\nTime\tW/m2\t%\n";

using Measurements = QStringList; // "hh:mm=value" per good line, in file order

QString measurementText(const QTime &time, double value)
{
    return time.toString(QStringLiteral("hh:mm")) + QLatin1Char('=')
        + QString::number(value, 'g', 17);
}

// Reads column k of file, noting each good measurement in *read.
MeasurementFile::ColumnCounts readColumn(MeasurementFile &file, int k, Measurements *read)
{
    return file.readColumn(
        k, [read](const QTime &time, double value) { *read << measurementText(time, value); });
}

QString stampText(const QDateTime &dateTime)
{
    return dateTime.toString(QStringLiteral("dd.MM.yyyy hh:mm"));
}

// The reader as the file format is described, built from Qt's own text stream and parsers:
// the reference that the fast reader must agree with.
struct ReferenceReader
{
    QList<QStringList> headerRows = QList<QStringList>(MeasurementFile::headerRowCount);
    QStringList dataLines;

    explicit ReferenceReader(const QString &fileName)
    {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            return;
        QTextStream stream(&file);
        const QString first = stream.readLine();
        if (first.contains(QLatin1String(" -> "))) {
            for (const QString &field : first.split(QLatin1Char('\t'))) {
                const QStringList sections = field.split(QLatin1String(" -> "));
                for (int row = 1; row <= MeasurementFile::headerRowCount; ++row)
                    headerRows[row - 1] << sections.value(row);
            }
        } else {
            headerRows[0] = first.split(QLatin1Char('\t'));
            for (int row = 2; row <= MeasurementFile::headerRowCount; ++row)
                headerRows[row - 1] = stream.readLine().split(QLatin1Char('\t'));
        }
        while (!stream.atEnd())
            dataLines << stream.readLine();
    }

    static QDateTime stamp(const QString &line)
    {
        QString field = line.section(QLatin1Char('\t'), 0, 0);
        return QDateTime::fromString(
            field.replace(QLatin1Char('.'), QLatin1Char('/')), QStringLiteral("dd/MM/yyyy hh:mm"));
    }

    MeasurementFile::ColumnCounts column(int k, Measurements *measurements) const
    {
        MeasurementFile::ColumnCounts counts;
        for (const QString &line : dataLines) {
            ++counts.allCount;
            const QDateTime dateTime = stamp(line);
            if (!dateTime.isValid())
                continue;
            const QString field = line.split(QLatin1Char('\t')).value(k + 1);
            const qsizetype point = field.indexOf(QLatin1Char('.'));
            if (point > 0)
                counts.maxDecimals = qMax(counts.maxDecimals, int(field.size() - point - 1));
            bool ok = false;
            const double value = field.toDouble(&ok);
            if (ok && qIsFinite(value)) {
                ++counts.goodCount;
                *measurements << measurementText(dateTime.time(), value);
            }
        }
        return counts;
    }

    MeasurementFile::TimeRange timeRange() const
    {
        MeasurementFile::TimeRange range;
        for (const QString &line : dataLines) {
            const QDateTime dateTime = stamp(line);
            if (!dateTime.isValid())
                continue;
            if (!range.earliestTime.isValid() || dateTime < range.earliestTime)
                range.earliestTime = dateTime;
            if (!range.latestTime.isValid() || range.latestTime < dateTime)
                range.latestTime = dateTime;
        }
        return range;
    }
};

// A random measurement file: either header layout, line ends of every kind, fields that
// are good, malformed or non-ASCII, now and then a line longer than a small buffer.
QByteArray randomFile(QRandomGenerator &random)
{
    const QList<QByteArray> stamps { "05.07.2012 13:45", "31/12/2011 23:59", "01.01.2013 00:00",
        "29.02.2012 12:00", "31.02.2012 12:00", "05.07.2012 24:00", "05.07.2012 13:45:00", "", "x",
        "05.07.2012 13:4" };
    const QList<QByteArray> values { "1", "512.25", "-.5", "1e3", " 7.50 ", "", "n/a", "nan", "inf",
        "1e400", "1,5", "ab.c", "1.", ".",
        "\xc2\xa0"
        "2.5",
        "\xc4\x8d.5", "0.000000000000000000000000000000000000000000000000000000000000000000001" };
    const QList<QByteArray> lineEnds { "\n", "\n", "\r\n", "\r\n", "\r\r\n", "\r" };
    QByteArray file;
    if (random.bounded(4) == 0)
        file += "\xEF\xBB\xBF";
    const int columns = random.bounded(4);
    if (random.bounded(2)) {
        file += "Time";
        for (int k = 0; k < columns; ++k)
            file += "\tX -> a -> b -> c -> St\xc3\xa1"
                    ""
                + QByteArray::number(k) + " -> e -> L" + QByteArray::number(k) + " -> g";
        file += random.bounded(2) ? "\r\n" : "\n";
    } else {
        for (int row = 1; row <= 8; ++row) {
            file += "Time";
            const int entries = row == 6 ? columns : random.bounded(columns + 2);
            for (int k = 0; k < entries; ++k)
                file += "\tr" + QByteArray::number(row) + "c" + QByteArray::number(k);
            file += random.bounded(2) ? "\r\n" : "\n";
        }
    }
    const int lines = random.bounded(60);
    for (int line = 0; line < lines; ++line) {
        file += stamps.at(random.bounded(int(stamps.size())));
        const int fields = random.bounded(columns + 2);
        for (int k = 0; k < fields; ++k)
            file += '\t' + values.at(random.bounded(int(values.size())));
        if (random.bounded(30) == 0)
            file += QByteArray(random.bounded(300), 'y');
        if (line + 1 < lines || random.bounded(2))
            file += lineEnds.at(random.bounded(int(lineEnds.size())));
    }
    return file;
}

} // namespace

class TestMeasurementFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void header_data();
    void header();
    void column_data();
    void column();
    void timeRange_data();
    void timeRange();
    void findings_data();
    void findings();
    void daylightSavingGap();
    void repeatedPasses();
    void unreadable_data();
    void unreadable();
    void readFailure_data();
    void readFailure();
    void hugeLines();
    void binaryFile();
    void agreesWithReference_data();
    void agreesWithReference();

private:
    QString write(const QByteArray &content);

    QTemporaryDir m_dir;
    int m_files = 0;
};

void TestMeasurementFile::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // The reference reader uses Qt's local-time parser; in UTC it reads wall-clock times.
    qputenv("TZ", "UTC");
    tzset();
}

QString TestMeasurementFile::write(const QByteArray &content)
{
    const QString path = m_dir.filePath(QStringLiteral("file%1.txt").arg(++m_files));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestMeasurementFile::header_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("stations");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QStringList>("units");
    QTest::addColumn<QByteArray>("firstDataLine");

    QTest::newRow("chained") << QByteArray(
        "Time\tX -> r1 -> r2 -> r3 -> r4 -> r5 -> r6 -> r7 -> r8\n"
        "05.07.2012 13:45\t1\n")
                             << QStringList { "r4" } << QStringList { "r6" } << QStringList { "r8" }
                             << QByteArray("05.07.2012 13:45\t1\n");
    QTest::newRow("chained, sections missing and extra")
        << QByteArray("Time\tX -> a -> b\tY -> 1 -> 2 -> 3 -> 4 -> 5 -> 6 -> 7 -> 8 -> 9\n")
        << QStringList { "", "4" } << QStringList { "", "6" } << QStringList { "", "8" }
        << QByteArray();
    QTest::newRow("chained, CRLF and byte order mark")
        << QByteArray("\xEF\xBB\xBFTime\tX -> 1 -> 2 -> 3 -> S -> 5 -> L -> 7 -> U\r\nd\r\n")
        << QStringList { "S" } << QStringList { "L" } << QStringList { "U" } << QByteArray("d\r\n");
    QTest::newRow("rows") << twoColumnHeader + "05.07.2012 13:45\t1\t2\n"
                          << QStringList { "Station A", "Station B" } << QStringList { "A", "B" }
                          << QStringList { "W/m2", "%" } << QByteArray("05.07.2012 13:45\t1\t2\n");
    QTest::newRow("rows, CRLF and byte order mark")
        << QByteArray("\xEF\xBB\xBF"
                      "1\r\n2\r\n3\r\nT\tS\r\n5\r\nT\tSon\xc4\x8dno sevanje\r\n"
                      "7\r\nT\tW/m2\r\nd\r\n")
        << QStringList { "S" } << QStringList { QString::fromUtf8("Sončno sevanje") }
        << QStringList { "W/m2" } << QByteArray("d\r\n");
    QTest::newRow("rows 4 and 8 shorter than row 6")
        << QByteArray("1\n2\n3\nT\tS\n5\nT\tA\tB\tC\n7\nT\n") << QStringList { "S", "", "" }
        << QStringList { "A", "B", "C" } << QStringList { "", "", "" } << QByteArray();
    QTest::newRow("fewer than eight lines")
        << QByteArray("1\n2\n3\nT\tS\n5\nT\tA\n") << QStringList { "S" } << QStringList { "A" }
        << QStringList { "" } << QByteArray();
    QTest::newRow("first line only")
        << QByteArray("T\tA\n") << QStringList() << QStringList() << QStringList() << QByteArray();
    QTest::newRow("empty file") << QByteArray() << QStringList() << QStringList() << QStringList()
                                << QByteArray();
}

void TestMeasurementFile::header()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, stations);
    QFETCH(QStringList, labels);
    QFETCH(QStringList, units);
    QFETCH(QByteArray, firstDataLine);

    MeasurementFile file(write(content));
    QVERIFY(file.open());
    file.readHeader();
    QCOMPARE(file.headerRows().size(), 8);
    QCOMPARE(file.parameterCount(), labels.size());
    QStringList readStations, readLabels, readUnits;
    for (int k = 0; k < file.parameterCount(); ++k) {
        readStations << file.stationText(k);
        readLabels << file.label(k);
        readUnits << file.unit(k);
    }
    QCOMPARE(readStations, stations);
    QCOMPARE(readLabels, labels);
    QCOMPARE(readUnits, units);
    QCOMPARE(content.mid(file.dataStart()), firstDataLine);
    QVERIFY(!file.headerEntry(1, 0).startsWith(QChar(0xFEFF)));
}

void TestMeasurementFile::column_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("allCount");
    QTest::addColumn<int>("goodCount");
    QTest::addColumn<int>("maxDecimals");
    QTest::addColumn<Measurements>("measurements");

    auto row = [](const char *name, const QByteArray &data, int k, int all, int good, int decimals,
                   const Measurements &measurements) {
        QTest::newRow(name) << data << k << all << good << decimals << measurements;
    };
    row("good", "05.07.2012 13:45\t512.25\n", 0, 1, 1, 2, { "13:45=512.25" });
    row("slashes", "05/07/2012 13:45\t1\n", 0, 1, 1, 0, { "13:45=1" });
    row("second column", "05.07.2012 13:45\t1\t-2.5\n", 1, 1, 1, 1, { "13:45=-2.5" });
    row("line shorter than the column", "05.07.2012 13:45\t1\n", 1, 1, 0, 0, {});
    row("empty value", "05.07.2012 13:45\t\n", 0, 1, 0, 0, {});
    row("not a number", "05.07.2012 13:45\tn/a\n", 0, 1, 0, 0, {});
    row("not a number with a point", "05.07.2012 13:45\tab.cde\n", 0, 1, 0, 3, {});
    row("seconds", "05.07.2012 13:45:00\t1.234\n", 0, 1, 0, 0, {});
    row("31 February", "31.02.2012 13:45\t1.5\n", 0, 1, 0, 0, {});
    row("hour 24", "05.07.2012 24:00\t1\n", 0, 1, 0, 0, {});
    row("point first", "05.07.2012 13:45\t.5\n", 0, 1, 1, 0, { "13:45=0.5" });
    row("trailing zero", "05.07.2012 13:45\t1.50\n", 0, 1, 1, 2, { "13:45=1.5" });
    row("exponent", "05.07.2012 13:45\t1e3\n", 0, 1, 1, 0, { "13:45=1000" });
    row("white space kept in decimals", "05.07.2012 13:45\t 7.5 \n", 0, 1, 1, 2, { "13:45=7.5" });
    row("U+00A0 around",
        "05.07.2012 13:45\t\xc2\xa0"
        "7.5\n",
        0, 1, 1, 1, { "13:45=7.5" });
    row("NaN and infinities",
        "05.07.2012 13:45\tnan\n05.07.2012 13:46\tinf\n"
        "05.07.2012 13:47\t-inf\n05.07.2012 13:48\t1e400\n",
        0, 4, 0, 0, {});
    row("underflow", "05.07.2012 13:45\t1e-400\n", 0, 1, 0, 0, {});
    row("time of day only", "01.01.2011 00:00\t1\n31.12.2012 23:59\t2\n", 0, 2, 2, 0,
        { "00:00=1", "23:59=2" });
    row("file order", "05.07.2012 13:45\t3\n04.07.2012 10:00\t1\n", 0, 2, 2, 0,
        { "13:45=3", "10:00=1" });
    row("empty line at the end", "05.07.2012 13:45\t1\n\n", 0, 2, 1, 0, { "13:45=1" });
    row("no line end at the end", "05.07.2012 13:45\t1.25", 0, 1, 1, 2, { "13:45=1.25" });
    row("CRLF", "05.07.2012 13:45\t1.5\r\n05.07.2012 13:46\t2\r\n", 0, 2, 2, 1,
        { "13:45=1.5", "13:46=2" });
    row("carriage return at the end", "05.07.2012 13:45\t1.25\r", 0, 1, 1, 2, { "13:45=1.25" });
    row("no data lines", "", 0, 0, 0, 0, {});
    row("column beyond the header", "05.07.2012 13:45\t1\t2\n", 7, 1, 0, 0, {});
    const auto lines = [](int good, int bad) {
        return QByteArray("05.07.2012 13:45\t1\n").repeated(good)
            + QByteArray("05.07.2012 13:45\t-\n").repeated(bad);
    };
    row("97 of 100", lines(97, 3), 0, 100, 97, 0, Measurements(97, "13:45=1"));
    row("2 of 3", lines(2, 1), 0, 3, 2, 0, Measurements(2, "13:45=1"));
    row("all good", lines(5, 0), 0, 5, 5, 0, Measurements(5, "13:45=1"));
}

void TestMeasurementFile::column()
{
    QFETCH(QByteArray, data);
    QFETCH(int, k);
    QFETCH(int, allCount);
    QFETCH(int, goodCount);
    QFETCH(int, maxDecimals);
    QFETCH(Measurements, measurements);

    MeasurementFile file(write(twoColumnHeader + data));
    QVERIFY(file.open());
    file.readHeader();
    Measurements read;
    const MeasurementFile::ColumnCounts counts = readColumn(file, k, &read);
    QCOMPARE(counts.allCount, allCount);
    QCOMPARE(counts.goodCount, goodCount);
    QCOMPARE(counts.maxDecimals, maxDecimals);
    QCOMPARE(read, measurements);
    if (allCount == 0)
        QVERIFY(std::isnan(counts.goodShare));
    else
        QCOMPARE(counts.goodShare, 100.0 * goodCount / allCount);
    // A pass without a handler counts the same.
    QCOMPARE(file.readColumn(k, nullptr).goodCount, goodCount);
}

void TestMeasurementFile::timeRange_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("earliest");
    QTest::addColumn<QString>("latest");

    const auto row
        = [](const char *name, const QByteArray &data, const char *earliest, const char *latest) {
              QTest::newRow(name) << data << QString(earliest) << QString(latest);
          };
    row("in order", "01.01.2012 00:00\t1\n31.12.2012 23:59\t1\n", "01.01.2012 00:00",
        "31.12.2012 23:59");
    row("out of order", "05.07.2012 13:45\t1\n31.12.2012 23:59\t1\n01.01.2012 00:00\t1\n",
        "01.01.2012 00:00", "31.12.2012 23:59");
    row("values do not matter", "05.07.2012 13:45\tn/a\n", "05.07.2012 13:45", "05.07.2012 13:45");
    row("invalid lines take no part",
        "\nx\n05.07.2012 13:45\t1\n31.02.2012 13:45\t1\n06.07.2012 10:00\t1\n\n",
        "05.07.2012 13:45", "06.07.2012 10:00");
    row("no valid time stamp", "x\n\n05.07.2012 24:00\t1\n", "", "");
    row("no data lines", "", "", "");
}

void TestMeasurementFile::timeRange()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, earliest);
    QFETCH(QString, latest);

    MeasurementFile file(write(twoColumnHeader + data));
    QVERIFY(file.open());
    file.readHeader();
    const MeasurementFile::TimeRange range = file.readTimeRange();
    QCOMPARE(range.earliestTime.isValid(), !earliest.isEmpty());
    QCOMPARE(range.latestTime.isValid(), !latest.isEmpty());
    QCOMPARE(stampText(range.earliestTime), earliest);
    QCOMPARE(stampText(range.latestTime), latest);
}

void TestMeasurementFile::findings_data()
{
    QTest::addColumn<QByteArray>("content"); // the whole file
    // dataLines, readable, unreadable, first unreadable line, first non-UTF-8 line
    QTest::addColumn<QList<qint64>>("counts");
    QTest::addColumn<QString>("stamp"); // field 0 of the first unreadable line

    const QByteArray chained = "Time -> 1 -> 2 -> 3 -> S -> 5 -> L -> 7 -> U\tGSR -> 1 -> 2 -> 3 "
                               "-> S -> 5 -> L -> 7 -> U\n";
    const auto row = [](const char *name, const QByteArray &content, QList<qint64> counts,
                         const char *stamp = "") {
        QTest::newRow(name) << content << counts << QString::fromUtf8(stamp);
    };
    const QByteArray good = "05.07.2012 13:45\t1\n";
    row("clean", twoColumnHeader + good + good, { 2, 2, 0, 0, 0 });
    row("no data line", twoColumnHeader, { 0, 0, 0, 0, 0 });
    row("header cut short", "r1\nr2\n", { 0, 0, 0, 0, 0 });
    row("one stamp with seconds", twoColumnHeader + good + "05.07.2012 13:50:00\t2\n" + good,
        { 3, 2, 1, 10, 0 }, "05.07.2012 13:50:00");
    row("counted, the first quoted", twoColumnHeader + "2012-07-05 13:45\t1\n" + good + "x\n",
        { 3, 1, 2, 9, 0 }, "2012-07-05 13:45");
    row("empty line counts", twoColumnHeader + good + "\n" + good, { 3, 2, 1, 10, 0 });
    row("chained header: data from line 2", chained + good + "13:45\t5\n", { 2, 1, 1, 3, 0 },
        "13:45");
    row("UTF-8 letters are fine", twoColumnHeader + "05.07.2012 13:45\t1 °C čšž €\n",
        { 1, 1, 0, 0, 0 });
    row("Latin-1 in the header",
        QByteArray("r1\nr2\n\xb0"
                   "C\n")
            + twoColumnHeader.mid(9) + good,
        { 1, 1, 0, 0, 3 });
    row("Latin-1 in a data line",
        twoColumnHeader + good
            + "05.07.2012 14:00\t1 \xb0"
              "C\n"
            + good,
        { 3, 3, 0, 0, 10 });
    row("an overlong form is no UTF-8", twoColumnHeader + good + good + "x\t\xc0\xaf\n",
        { 3, 2, 1, 11, 11 }, "x");
    row("a cut sequence late in a long line",
        twoColumnHeader + "05.07.2012 13:45\t" + QByteArray(100, '1') + "\xe2\x82\n",
        { 1, 1, 0, 0, 9 });
    row("only the first bad line", twoColumnHeader + "\xff\n\xfe\n", { 2, 0, 2, 9, 9 }, "\xff");
}

// What the reader notes for the warnings, in its existing passes: line numbers count from
// the file's first line.
void TestMeasurementFile::findings()
{
    QFETCH(QByteArray, content);
    QFETCH(QList<qint64>, counts);
    QFETCH(QString, stamp);

    MeasurementFile file(write(content));
    QVERIFY(file.open());
    file.readHeader();
    file.readTimeRange();
    const MeasurementFile::Findings &f = file.findings();
    const QList<qint64> actual { f.dataLines, f.readableStamps, f.unreadableStamps,
        f.firstUnreadableLine, f.firstNonUtf8Line };
    QCOMPARE(actual, counts);
    QCOMPARE(f.firstUnreadableStamp, stamp);
    // A column pass counts the same data lines.
    QCOMPARE(qint64(file.readColumn(0, {}).allCount), f.dataLines);
}

void TestMeasurementFile::daylightSavingGap()
{
    // 25 March 2012, 02:30 does not exist on a clock in Ljubljana; a logger's wall-clock
    // stamp still says it, and it must count the same on every machine.
    if (!QTimeZone(QByteArrayLiteral("Europe/Ljubljana")).isValid())
        QSKIP("time zone data for Europe/Ljubljana is not installed");
    qputenv("TZ", "Europe/Ljubljana");
    tzset();
    const auto restore = qScopeGuard([] {
        qputenv("TZ", "UTC");
        tzset();
    });

    MeasurementFile file(write(twoColumnHeader + "25.03.2012 02:30\t5\n25.03.2012 03:30\t6\n"));
    QVERIFY(file.open());
    file.readHeader();
    Measurements read;
    QCOMPARE(readColumn(file, 0, &read).goodCount, 2);
    QCOMPARE(read, Measurements({ "02:30=5", "03:30=6" }));
    const MeasurementFile::TimeRange range = file.readTimeRange();
    QCOMPARE(stampText(range.earliestTime), QStringLiteral("25.03.2012 02:30"));
    QCOMPARE(stampText(range.latestTime), QStringLiteral("25.03.2012 03:30"));
}

void TestMeasurementFile::repeatedPasses()
{
    MeasurementFile file(
        write(twoColumnHeader + "05.07.2012 13:45\t1\t2.25\n05.07.2012 13:46\tx\t3\n"));
    QVERIFY(file.open());
    file.readHeader();
    Measurements first, second, again;
    readColumn(file, 1, &first);
    file.readTimeRange();
    readColumn(file, 0, &second);
    const MeasurementFile::ColumnCounts counts = readColumn(file, 1, &again);
    QCOMPARE(first, Measurements({ "13:45=2.25", "13:46=3" }));
    QCOMPARE(second, Measurements({ "13:45=1" }));
    QCOMPARE(again, first);
    QCOMPARE(counts.allCount, 2);
    QCOMPARE(counts.maxDecimals, 2);
}

void TestMeasurementFile::unreadable_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("missing file") << QStringLiteral("no such file.txt");
    QTest::newRow("folder") << QStringLiteral(".");
}

void TestMeasurementFile::unreadable()
{
    QFETCH(QString, path);
    MeasurementFile file(m_dir.filePath(path));
    QVERIFY(!file.open());
}

void TestMeasurementFile::readFailure_data()
{
    QTest::addColumn<int>("failingSeek"); // 1: the header pass, 2: the time range, 3: a column
    QTest::addColumn<int>("failAt"); // data lines the device delivers; -1: 10 bytes of header
    QTest::addColumn<bool>("sequential");
    QTest::addColumn<QList<bool>>("failed"); // after the header, the time range, a column
    QTest::addColumn<int>("dataLines"); // seen by the time range pass
    QTest::addColumn<int>("allCount"); // of the column pass

    using Failed = QList<bool>;
    QTest::newRow("no failure") << 99 << 0 << false << Failed { false, false, false } << 4 << 4;
    QTest::newRow("in the header") << 1 << -1 << false << Failed { true, true, true } << 0 << 0;
    QTest::newRow("in the time range") << 2 << 1 << false << Failed { false, true, true } << 1 << 1;
    // An error where the end would be is no end either.
    QTest::newRow("at the end of the time range")
        << 2 << 4 << false << Failed { false, true, true } << 4 << 4;
    QTest::newRow("in a column") << 3 << 2 << false << Failed { false, false, true } << 4 << 2;
    QTest::newRow("no way back to the start")
        << 99 << 0 << true << Failed { true, true, true } << 0 << 0;
}

// A read that fails is no end of the file: the reader says so after the pass, having handed
// out what came before, and keeps saying so.
void TestMeasurementFile::readFailure()
{
    QFETCH(int, failingSeek);
    QFETCH(int, failAt);
    QFETCH(bool, sequential);
    QFETCH(QList<bool>, failed);
    QFETCH(int, dataLines);
    QFETCH(int, allCount);
    const QByteArray line = "05.07.2012 13:45\t1\t2\n";
    const QByteArray content = twoColumnHeader + line.repeated(4);
    const qint64 failPosition = failAt < 0 ? 10 : twoColumnHeader.size() + failAt * line.size();
    // The buffer size decides how much a failing read could have delivered.
    for (const qsizetype bufferSize : { qsizetype(5), LineReader::defaultBufferSize }) {
        FailingDevice device(content, failingSeek, failPosition, sequential);
        MeasurementFile file(&device, bufferSize);
        QVERIFY(file.open());
        file.readHeader();
        QCOMPARE(file.readFailed(), failed.at(0));
        QCOMPARE(file.parameterCount(), failed.at(0) ? 0 : 2);
        file.readTimeRange();
        QCOMPARE(file.readFailed(), failed.at(1));
        QCOMPARE(file.findings().dataLines, dataLines);
        const MeasurementFile::ColumnCounts counts = file.readColumn(1, nullptr);
        QCOMPARE(counts.allCount, allCount);
        QCOMPARE(file.readFailed(), failed.at(2));
        QCOMPARE(device.failures() > 0, failed.at(2) && !sequential);
    }
}

void TestMeasurementFile::hugeLines()
{
    // Lines of 10 MB in the header, in a data line's stamp and in a value; the reader goes on
    // with the next line, and a value that long is no number.
    const QByteArray huge(10 * 1024 * 1024, 'x');
    const QByteArray hugeValue = "1." + QByteArray(10 * 1024 * 1024, '0');
    const QByteArray header = "1\n2\n3\nT\tS\n5\nT\t" + huge + "\n7\nT\tU\n";
    MeasurementFile file(write(header + "05.07.2012 13:45\t1\n" + huge + "\t2\n"
        + "05.07.2012 13:47\t" + hugeValue + "\n05.07.2012 13:48\t4\n"));
    QVERIFY(file.open());
    file.readHeader();
    QCOMPARE(file.label(0).size(), huge.size());
    Measurements read;
    const MeasurementFile::ColumnCounts counts = readColumn(file, 0, &read);
    QCOMPARE(counts.allCount, 4);
    QCOMPARE(counts.goodCount, 2);
    QCOMPARE(counts.maxDecimals, 0);
    QCOMPARE(read, Measurements({ "13:45=1", "13:48=4" }));
}

void TestMeasurementFile::binaryFile()
{
    QRandomGenerator random(7);
    QByteArray content(256 * 1024, Qt::Uninitialized);
    for (char &byte : content)
        byte = char(random.bounded(256));
    const QString path = write(content);
    MeasurementFile file(path);
    QVERIFY(file.open());
    file.readHeader();
    const ReferenceReader reference(path);
    QCOMPARE(file.parameterCount(), qMax(0, int(reference.headerRows.at(5).size()) - 1));
    const MeasurementFile::ColumnCounts counts = file.readColumn(0, nullptr);
    QCOMPARE(counts.allCount, reference.dataLines.size());
    QCOMPARE(counts.goodCount, 0);
    QVERIFY(!file.readTimeRange().earliestTime.isValid());
}

void TestMeasurementFile::agreesWithReference_data()
{
    QTest::addColumn<int>("bufferSize");
    QTest::newRow("1 byte") << 1;
    QTest::newRow("7 bytes") << 7;
    QTest::newRow("64 bytes") << 64;
    QTest::newRow("default") << int(LineReader::defaultBufferSize);
}

void TestMeasurementFile::agreesWithReference()
{
    QFETCH(int, bufferSize);
    QRandomGenerator random(2012);
    for (int round = 0; round < 150; ++round) {
        const QByteArray content = randomFile(random);
        const QString path = write(content);
        const QByteArray context = "file " + path.toUtf8();
        const ReferenceReader reference(path);
        MeasurementFile file(path, bufferSize);
        QVERIFY(file.open());
        file.readHeader();
        QVERIFY2(file.headerRows() == reference.headerRows, context);
        const MeasurementFile::TimeRange range = file.readTimeRange();
        const MeasurementFile::TimeRange expectedRange = reference.timeRange();
        QCOMPARE(stampText(range.earliestTime), stampText(expectedRange.earliestTime));
        QCOMPARE(stampText(range.latestTime), stampText(expectedRange.latestTime));
        for (int k = 0; k <= file.parameterCount(); ++k) {
            Measurements read, expected;
            const MeasurementFile::ColumnCounts counts = readColumn(file, k, &read);
            const MeasurementFile::ColumnCounts expectedCounts = reference.column(k, &expected);
            QVERIFY2(counts.allCount == expectedCounts.allCount, context);
            QVERIFY2(counts.goodCount == expectedCounts.goodCount, context);
            QVERIFY2(counts.maxDecimals == expectedCounts.maxDecimals, context);
            QVERIFY2(read == expected, context);
        }
        QFile::remove(path);
    }
}

QTEST_GUILESS_MAIN(TestMeasurementFile)
#include "tst_measurementfile.moc"
