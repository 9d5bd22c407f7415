// Files in other layouts, read with the options that describe them, through the built
// program: each renders to the same tables as the same data in the program's own layout; a
// UTC logger on the local clock across both summer-time changes; the sun's own time; the
// statuses of --strict and of reading options that cannot be used.
#include "endtoendsupport.h"
#include "testsupport.h"
#include "utcandlocal.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtMath>
#include <QtTest>

#include <functional>

using namespace EndToEnd;

namespace {

// One data line of the shared data: a stamp in UTC and the two values as written, "" for a
// gap.
struct Line
{
    QDateTime stamp;
    QString gsr;
    QString t;
};

QList<Line> sharedData()
{
    QList<Line> lines;
    const QDateTime start(QDate(2023, 6, 1), QTime(0, 10), UtcAndLocal::utc());
    for (int i = 0; i < 60; ++i) {
        const QDateTime stamp = start.addSecs(qint64(i) * 47 * 60);
        const QString gsr = i % 11 == 5 ? QString() : QString::number(i * 37 % 900 + 0.25, 'f', 2);
        const QString t = i % 13 == 7 ? QString() : QString::number(i % 30 - 5.5, 'f', 1);
        lines.append({ stamp, gsr, t });
    }
    return lines;
}

// The data in the program's own layout, station Ljubljana.
QByteArray ownLayout(const QList<Line> &lines)
{
    QStringList data;
    for (const Line &line : lines)
        data << line.stamp.toString("dd.MM.yyyy hh:mm") + '\t' + line.gsr + '\t' + line.t;
    return measurementFile({ "GSR", "T" }, { "W/m2", "C" }, data);
}

// The data as another writer writes it: a header line, then a line each.
QByteArray written(const QList<Line> &lines, const QString &header,
    const std::function<QString(const Line &)> &line)
{
    QStringList text { header };
    for (const Line &l : lines)
        text << line(l);
    return text.join("\r\n").toUtf8() + "\r\n";
}

QString comma(QString value)
{
    return value.replace('.', ',');
}

QString quoted(const QString &text)
{
    return '"' + text + '"';
}

// The sector a time of day falls in: sector H collects H-1:02 up to H:02.
int sectorOf(const QTime &time)
{
    const int minutes = (time.msecsSinceStartOfDay() / 60000 - 2 + 24 * 60) % (24 * 60);
    return (minutes / 60 + 1) % 24;
}

} // namespace

class TestOtherFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void sameTables_data();
    void sameTables();
    void summerTime();
    void solarNoon_data();
    void solarNoon();
    void statuses_data();
    void statuses();

private:
    QString work(const QString &path) const { return m_work->filePath(path); }
    // Runs program on input (written to name) with options, the tables as text; the tables
    // of the columns, and what the run wrote on the error stream in *err.
    QList<QByteArray> tables(const QString &name, const QByteArray &input,
        const QStringList &options, QByteArray *err = nullptr);

    QTemporaryDir m_programs;
    QString m_recorded;
    QString m_log;
    std::unique_ptr<QTemporaryDir> m_work;
};

void TestOtherFiles::initTestCase()
{
    QVERIFY(m_programs.isValid());
    m_recorded = m_programs.filePath("recording/bin/helicart");
    QVERIFY(copyFile(HELICART_PROGRAM, m_recorded));
    QVERIFY(QFile::setPermissions(m_recorded, QFile::permissions(HELICART_PROGRAM)));
    QVERIFY(copyFile(
        ENDTOEND_RECORDING_PLUGIN, m_programs.filePath("recording/bin/plugins/compassplot.so")));
    m_log = m_programs.filePath("calls.log");
    qputenv("HELICART_RECORDING_LOG", m_log.toUtf8());
}

void TestOtherFiles::init()
{
    m_work = std::make_unique<QTemporaryDir>();
    QVERIFY(m_work->isValid());
    QVERIFY(QDir(m_work->path()).mkpath("out"));
    QFile::remove(m_log);
}

QList<QByteArray> TestOtherFiles::tables(
    const QString &name, const QByteArray &input, const QStringList &options, QByteArray *err)
{
    QList<QByteArray> result;
    QDir(work("out")).removeRecursively();
    if (!writeFile(work(name), input) || !QDir(m_work->path()).mkpath("out"))
        return result;
    const int status = TestSupport::runProgram(HELICART_PROGRAM,
        QStringList { "--input=" + name, "--output=out/t", "--format=tsv" } + options,
        m_work->path(), nullptr, err);
    if (status != 0)
        return result;
    for (const QString &table : QDir(work("out")).entryList({ "*.tsv" }, QDir::Files, QDir::Name))
        result << readFile(work("out/" + table));
    return result;
}

void TestOtherFiles::sameTables_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("options");

    const QList<Line> lines = sharedData();
    const QStringList plain { "--header=plain", "--station=Ljubljana" };
    QTest::newRow("CSV, a line of labels, ISO stamps in UTC")
        << "log.csv"
        << written(lines, "Time,GSR [W/m2],T [C]",
               [](const Line &l) {
                   return l.stamp.toString("yyyy-MM-ddThh:mm:ssZ") + ',' + l.gsr + ',' + l.t;
               })
        << plain + QStringList { "--separator=comma", "--timeFormat=iso" };
    QTest::newRow("ISO stamps with an offset, quoted fields")
        << "log.csv"
        << written(lines, "\"Time\",\"GSR [W/m2]\",\"T [C]\"",
               [](const Line &l) {
                   const QString local = l.stamp.addSecs(7200).toString("yyyy-MM-dd hh:mm:ss");
                   return quoted(local + "+02:00") + ',' + quoted(l.gsr) + ',' + quoted(l.t);
               })
        << plain + QStringList { "--separator=comma", "--timeFormat=iso" };
    QTest::newRow("European semicolon file, decimal commas, -999 for gaps, station from name")
        << "Ljubljana.csv"
        << written(lines, "Time;GSR [W/m2];T [C]",
               [](const Line &l) {
                   return l.stamp.toString("dd.MM.yyyy hh:mm:ss") + ';'
                       + (l.gsr.isEmpty() ? "-999" : comma(l.gsr)) + ';'
                       + (l.t.isEmpty() ? "-999,0" : comma(l.t));
               })
        << QStringList { "--header=plain", "--separator=semicolon", "--decimalComma",
               "--timeFormat=dd.MM.yyyy hh:mm:ss", "--missing=-999" };
    QTest::newRow("comma file with quoted decimal commas, US stamps")
        << "log.csv"
        << written(lines, "Time,GSR [W/m2],T [C]",
               [](const Line &l) {
                   return l.stamp.toString("M/d/yyyy h:mm AP") + ',' + quoted(comma(l.gsr)) + ','
                       + quoted(comma(l.t));
               })
        << plain
            + QStringList { "--separator=comma", "--decimalComma",
                  "--timeFormat=M/d/yyyy h:mm AP" };
    QTest::newRow("epoch stamps, tabs")
        << "log.txt"
        << written(lines, "Time\tGSR [W/m2]\tT [C]",
               [](const Line &l) {
                   return QString::number(l.stamp.toSecsSinceEpoch()) + '\t' + l.gsr + '\t' + l.t;
               })
        << plain + QStringList { "--timeFormat=epoch" };
    QByteArray rows = ownLayout(lines);
    rows.replace('\t', '|');
    rows.replace("|\n", "|-9999\n");
    QTest::newRow("eight header rows, another separator, missing codes")
        << "log.txt" << rows << QStringList { "--separator=|", "--missing=-999,-9999" };
}

// The same tables, captions included, and nothing to warn about.
void TestOtherFiles::sameTables()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, input);
    QFETCH(QStringList, options);
    const QList<QByteArray> expected = tables("own.txt", ownLayout(sharedData()), {});
    QCOMPARE(expected.size(), 2);
    QByteArray err;
    QCOMPARE(tables(name, input, options, &err), expected);
    QCOMPARE(err, QByteArray());
}

// Ten-minute UTC data over the last Sundays of March and October 2023, on the clock of
// Ljubljana: the tables of the same data written in local time (CET, CEST from 01:00 UTC on
// the last Sunday of March to 01:00 UTC on the last Sunday of October), the October hour from
// 02:00 to 03:00 written twice and counted twice; the caption names the clock.
void TestOtherFiles::summerTime()
{
    const QDateTime springChange(QDate(2023, 3, 26), QTime(1, 0), UtcAndLocal::utc());
    const QDateTime autumnChange(QDate(2023, 10, 29), QTime(1, 0), UtcAndLocal::utc());
    QStringList utc, local;
    for (const QDate &day : { QDate(2023, 3, 25), QDate(2023, 10, 28) }) {
        const QDateTime start(day, QTime(0, 0), UtcAndLocal::utc());
        for (int i = 0; i < 3 * 144; ++i) {
            const QDateTime stamp = start.addSecs(qint64(i) * 600);
            const bool summer = stamp >= springChange && stamp < autumnChange;
            const QString value = QString::number(i % 97 * 10);
            utc << stamp.toString("dd.MM.yyyy hh:mm") + '\t' + value;
            local << stamp.addSecs(summer ? 7200 : 3600).toString("dd.MM.yyyy hh:mm") + '\t'
                    + value;
        }
    }
    QVERIFY(local.filter("29.10.2023 02:10").size() == 2);
    QVERIFY(local.filter("26.03.2023 02:").isEmpty());
    const QList<QByteArray> expected
        = tables("local.txt", measurementFile({ "GSR" }, { "W/m2" }, local), {});
    QCOMPARE(expected.size(), 1);
    QList<QByteArray> lines = expected.first().split('\n');
    QVERIFY(lines.at(2).startsWith("Data from 25.03.23 01:00:00 till 31.10.23 00:50:00"));
    lines[2] += " (hours: Europe/Ljubljana)";
    QByteArray err;
    QCOMPARE(tables("utc.txt", measurementFile({ "GSR" }, { "W/m2" }, utc),
                 { "--timeZone=Europe/Ljubljana" }, &err),
        QList<QByteArray> { lines.join('\n') });
    QCOMPARE(err, QByteArray());
}

void TestOtherFiles::solarNoon_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<int>("utcSector"); // where the largest radiation falls on UTC
    QTest::newRow("February") << QDate(2023, 2, 12) << 12;
    QTest::newRow("May") << QDate(2023, 5, 14) << 11;
    QTest::newRow("July") << QDate(2023, 7, 26) << 12;
    QTest::newRow("November") << QDate(2023, 11, 3) << 11;
}

// A clear-sky day of minute data in UTC at 46 N, 14.5 E, the sun placed by the formulas of
// Duffie and Beckman (declination after Cooper, equation of time after Spencer's simpler
// form): on the sun's own time the largest radiation falls in sector 12, the sector that ends
// at 12:02; on UTC it falls where the day's noon lies.
void TestOtherFiles::solarNoon()
{
    QFETCH(QDate, day);
    QFETCH(int, utcSector);
    const double latitude = qDegreesToRadians(46.0);
    const double longitude = 14.5;
    const int n = day.dayOfYear();
    const double declination = qDegreesToRadians(23.45 * std::sin(2 * M_PI * (284 + n) / 365.0));
    const double b = 2 * M_PI * (n - 81) / 364.0;
    const double equation = 9.87 * std::sin(2 * b) - 7.53 * std::cos(b) - 1.5 * std::sin(b);
    QStringList lines;
    for (int minute = 0; minute < 24 * 60; ++minute) {
        const double solarHours = (minute + 4 * longitude + equation) / 60.0;
        const double hourAngle = qDegreesToRadians(15.0 * (solarHours - 12.0));
        const double elevation = std::sin(latitude) * std::sin(declination)
            + std::cos(latitude) * std::cos(declination) * std::cos(hourAngle);
        lines << QDateTime(day, QTime(0, 0).addSecs(minute * 60), UtcAndLocal::utc())
                     .toString("dd.MM.yyyy hh:mm")
                + '\t' + QString::number(qMax(0.0, 1000 * elevation), 'f', 1);
    }
    QVERIFY(writeFile(work("day.txt"), measurementFile({ "GSR" }, { "W/m2" }, lines)));
    const auto largest = [this](const QStringList &options) {
        QFile::remove(m_log);
        const int status = TestSupport::runProgram(m_recorded,
            QStringList { "--input=day.txt", "--output=out/d" } + options, m_work->path());
        QList<double> sums(24, 0.0);
        for (const QString &call : callsNamed(recordedCalls(m_log), "addSolarMeasurement")) {
            const QStringList parts = call.split('|');
            sums[sectorOf(QTime::fromString(parts.at(1), "hh:mm"))] += parts.at(2).toDouble();
        }
        return status == 0 ? int(std::max_element(sums.begin(), sums.end()) - sums.begin()) : -1;
    };
    QCOMPARE(largest({ "--solarTime=14.5" }), 12);
    QCOMPARE(largest({}), utcSector);
    const QStringList interval = callsNamed(recordedCalls(m_log), "setIntervalText");
    QVERIFY(!interval.isEmpty() && !interval.first().contains("hours:"));
}

void TestOtherFiles::statuses_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("err"); // the start of what the run writes there

    const QByteArray good = measurementFile({ "GSR" }, { "W/m2" }, { "05.07.2012 10:30\t512" });
    const QByteArray noStamp = measurementFile({ "GSR" }, { "W/m2" }, { "2012-07-05 10:30\t512" });
    QTest::newRow("strict, nothing to tell")
        << good << QStringList { "--strict" } << 0 << QByteArray();
    QTest::newRow("a warning without strict")
        << noStamp << QStringList() << 0 << QByteArray("helicart: warning: input file");
    QTest::newRow("a warning under strict") << noStamp << QStringList { "--strict" } << 1
                                            << QByteArray("helicart: warning: input file");
    QTest::newRow("an option warning under strict")
        << good << QStringList { "--strict", "--timeShift=x" } << 1
        << QByteArray("helicart: warning: --timeShift");
    QTest::newRow("a failure's status wins over strict")
        << noStamp << QStringList { "--strict", "--output=none/x" } << 250
        << QByteArray("helicart: warning: input file");
    QTest::newRow("an unknown time format")
        << good << QStringList { "--timeFormat=isoo" } << 255
        << QByteArray("helicart: --timeFormat value \"isoo\" is neither iso, epoch nor");
    QTest::newRow("an unknown time zone")
        << good << QStringList { "--timeZone=Europe/Atlantis" } << 255
        << QByteArray("helicart: --timeZone value \"Europe/Atlantis\" is no time zone");
    QTest::newRow("two clocks") << good << QStringList { "--timeZone=UTC", "--solarTime=14.5" }
                                << 255 << QByteArray("helicart: --timeZone and --solarTime cannot");
    QTest::newRow("a longitude out of range")
        << good << QStringList { "--solarTime=190" } << 255
        << QByteArray("helicart: --solarTime value \"190\" is not a longitude");
    QTest::newRow("a letter for a separator")
        << good << QStringList { "--separator=x" } << 255
        << QByteArray("helicart: --separator value \"x\" is none of");
}

void TestOtherFiles::statuses()
{
    QFETCH(QByteArray, input);
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(QByteArray, err);
    QVERIFY(writeFile(work("input.txt"), input));
    QByteArray written;
    QCOMPARE(TestSupport::runProgram(HELICART_PROGRAM,
                 QStringList { "--input=input.txt", "--output=out/s" } + options, m_work->path(),
                 nullptr, &written),
        status);
    QVERIFY2(written.startsWith(err), written.constData());
    // A reading option that cannot be used starts no run.
    QCOMPARE(QFile::exists(work("out/s.png")), status == 0 || status == 1);
}

HELICART_GUI_TEST_MAIN(TestOtherFiles)
#include "tst_otherfiles.moc"
