#include "grouping.h"
#include "measurementfile.h"
#include "period.h"
#include "utcandlocal.h"

#include <QBuffer>
#include <QtTest>

// The period and groups a reading keeps to: parsed from the user's words, and applied to the
// lines of a file in the program's own layout and in another one.
class TestPeriods : public QObject
{
    Q_OBJECT
private slots:
    void moments_data();
    void moments();
    void months_data();
    void months();
    void seasons();
    void selection_data();
    void selection();
};

void TestPeriods::moments_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("utc"); // the moment as ISO text, for the good ones
    QTest::newRow("date") << "2023-06-01" << true << "2023-06-01T00:00:00";
    QTest::newRow("date-time") << "2023-06-01T12:30" << true << "2023-06-01T12:30:00";
    QTest::newRow("space, seconds") << "2023-06-01 12:30:15" << true << "2023-06-01T12:30:15";
    QTest::newRow("leap day") << "2024-02-29" << true << "2024-02-29T00:00:00";
    QTest::newRow("no such day") << "2023-02-29" << false << "";
    QTest::newRow("garbage") << "garbage" << false << "";
    QTest::newRow("other order") << "01.06.2023" << false << "";
    QTest::newRow("bad time") << "2023-06-01T25:00" << false << "";
    QTest::newRow("bad gap") << "2023-06-01X12:00" << false << "";
    QTest::newRow("empty") << "" << false << "";
}

void TestPeriods::moments()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QString, utc);
    qint64 msecs = 0;
    QCOMPARE(Period::parseMoment(text, &msecs), ok);
    if (ok) {
        QCOMPARE(QDateTime::fromMSecsSinceEpoch(msecs, UtcAndLocal::utc()).toString(Qt::ISODate),
            utc + QLatin1Char('Z'));
    }
}

void TestPeriods::months_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QList<int>>("months");
    QTest::newRow("one") << "7" << true << QList<int> { 7 };
    QTest::newRow("range") << "6-8" << true << QList<int> { 6, 7, 8 };
    QTest::newRow("wrapping") << "11-2" << true << QList<int> { 1, 2, 11, 12 };
    QTest::newRow("list") << "1, 3,12" << true << QList<int> { 1, 3, 12 };
    QTest::newRow("whole year wrapped")
        << "3-2" << true << QList<int> { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 };
    QTest::newRow("13") << "13" << false << QList<int> {};
    QTest::newRow("0") << "0-2" << false << QList<int> {};
    QTest::newRow("open range") << "6-" << false << QList<int> {};
    QTest::newRow("two dashes") << "1-2-3" << false << QList<int> {};
    QTest::newRow("word") << "june" << false << QList<int> {};
    QTest::newRow("sign") << "+6" << false << QList<int> {};
    QTest::newRow("empty") << "" << false << QList<int> {};
}

void TestPeriods::months()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QList<int>, months);
    quint16 mask = 0;
    QCOMPARE(Period::parseMonths(text, &mask), ok);
    if (!ok)
        return;
    QList<int> chosen;
    for (int m = 1; m <= 12; ++m) {
        if (mask & (1u << m))
            chosen << m;
    }
    QCOMPARE(chosen, months);
}

void TestPeriods::seasons()
{
    // December goes with the January and February after it; every season has three months.
    const QStringList expected { "DJF", "DJF", "MAM", "MAM", "MAM", "JJA", "JJA", "JJA", "SON",
        "SON", "SON", "DJF" };
    for (int month = 1; month <= 12; ++month) {
        const int index = Grouping::index(Grouping::Kind::Season, 2023, month);
        QCOMPARE(Grouping::name(Grouping::Kind::Season, index), expected.at(month - 1));
        QCOMPARE(Grouping::name(
                     Grouping::Kind::Month, Grouping::index(Grouping::Kind::Month, 2023, month)),
            QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0')));
    }
    QCOMPARE(Grouping::name(Grouping::Kind::Year, Grouping::index(Grouping::Kind::Year, 2023, 5)),
        QStringLiteral("2023"));
    Grouping::Kind kind = Grouping::Kind::None;
    QVERIFY(Grouping::parse(QStringLiteral("Season"), &kind));
    QCOMPARE(kind, Grouping::Kind::Season);
    QVERIFY(!Grouping::parse(QStringLiteral("week"), &kind));
}

namespace {

// Four months from 30 November 2022, a line at 12:00 each day, value = its month; the 5th of
// every month a line without a value.
QByteArray fileText(bool plain)
{
    QByteArray text = plain ? "Time\tA [u]\n" : "r1\nr2\nr3\nS\tS\nr5\nTime\tA\nr7\nTime\tu\n";
    QDate day(2022, 11, 30);
    for (int i = 0; i < 120; ++i, day = day.addDays(1)) {
        const QString value = day.day() == 5 ? QString() : QString::number(day.month());
        const QString stamp = plain ? day.toString(QStringLiteral("yyyy-MM-dd")) + "T12:00"
                                    : day.toString(QStringLiteral("dd.MM.yyyy")) + " 12:00";
        text += (stamp + '\t' + value + '\n').toLatin1();
    }
    return text;
}

} // namespace

void TestPeriods::selection_data()
{
    QTest::addColumn<bool>("plain");
    QTest::newRow("own layout") << false;
    QTest::newRow("iso, plain header") << true;
}

void TestPeriods::selection()
{
    QFETCH(bool, plain);
    QBuffer buffer;
    buffer.setData(fileText(plain));
    MeasurementFile file(&buffer);
    if (plain) {
        FileLayout layout;
        layout.header = FileLayout::Header::Plain;
        layout.timeFormat = FileLayout::TimeFormat::Iso;
        file.setLayout(layout);
    }
    Period period;
    QVERIFY(Period::parseMoment(QStringLiteral("2022-12-15"), &period.from));
    QVERIFY(Period::parseMoment(QStringLiteral("2023-02-10"), &period.till));
    QVERIFY(Period::parseMonths(QStringLiteral("11-1"), &period.months));
    file.setSelection(period, Grouping::Kind::Season);
    QVERIFY(file.open());
    file.readHeader();
    // Kept: 15 to 31 December and all of January, 17 + 31 lines, all in DJF.
    const MeasurementFile::TimeRange range = file.readTimeRange();
    QCOMPARE(file.findings().leftOut, 120 - 48);
    QCOMPARE(range.earliestTime.date(), QDate(2022, 12, 15));
    QCOMPARE(range.latestTime.date(), QDate(2023, 1, 31));
    QCOMPARE(file.groupSpans().size(), size_t(1));
    QCOMPARE(file.groupSpans().front().lines, 48);

    std::vector<MeasurementFile::ColumnCounts> groups;
    QMap<int, int> values; // value (the month) -> measurements
    MeasurementSink sink([&values](const QTime &, double value, int group) {
        QCOMPARE(group, 0);
        ++values[int(value)];
    });
    const MeasurementFile::ColumnCounts counts = file.readColumnInto(0, &sink, &groups);
    sink.flush();
    QCOMPARE(counts.allCount, 48);
    QCOMPARE(counts.goodCount, 47); // 5 January has no value
    QCOMPARE(values, (QMap<int, int> { { 12, 17 }, { 1, 30 } }));
    QCOMPARE(groups.size(), size_t(1));
    QCOMPARE(groups.front().allCount, 48);
    QCOMPARE(groups.front().goodCount, 47);
}

QTEST_GUILESS_MAIN(TestPeriods)
#include "tst_periods.moc"
