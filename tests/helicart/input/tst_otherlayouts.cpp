// Reading files in other layouts: fields at other separators with quotes, stamps of the other
// formats, the equation of time, the hints for stamps that do not fit. The files as a whole
// are read through the program (tests/endtoend/tst_otherfiles) and by the layouts fuzz target.
#include "fieldsplitter.h"
#include "layouthints.h"
#include "stampclock.h"
#include "stampreader.h"
#include "utcandlocal.h"

#include <QRegularExpression>
#include <QtTest>

#include <ctime>

using Format = FileLayout::TimeFormat;

class TestOtherLayouts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fields_data();
    void fields();
    void stamps_data();
    void stamps();
    void equationOfTime_data();
    void equationOfTime();
    void stampHints_data();
    void stampHints();
};

// Stamps in a spring gap of the machine's zone must still read.
void TestOtherLayouts::initTestCase()
{
    qputenv("TZ", "Europe/Ljubljana");
    tzset();
}

void TestOtherLayouts::fields_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<char>("separator");
    QTest::addColumn<QByteArrayList>("expected"); // every field, in order

    QTest::newRow("tabs") << QByteArray("a\t\"b\tc\"") << '\t'
                          << QByteArrayList { "a", "\"b", "c\"" };
    QTest::newRow("quoted separator")
        << QByteArray("\"a,b\",c,") << ',' << QByteArrayList { "a,b", "c", "" };
    QTest::newRow("doubled quotes")
        << QByteArray("\"say \"\"hi\"\"\";x") << ';' << QByteArrayList { "say \"hi\"", "x" };
    QTest::newRow("a quote inside a field is a character")
        << QByteArray("ab\"c,d") << ',' << QByteArrayList { "ab\"c", "d" };
    QTest::newRow("text after the closing quote kept")
        << QByteArray("\"a\"b,c") << ',' << QByteArrayList { "ab", "c" };
    QTest::newRow("unterminated quote runs to the end")
        << QByteArray("x,\"a,b") << ',' << QByteArrayList { "x", "a,b" };
    QTest::newRow("quotes beyond the first sixteen bytes")
        << QByteArray("0123456789abcdefghij,\"k,l\",m") << ','
        << QByteArrayList { "0123456789abcdefghij", "k,l", "m" };
    QTest::newRow("many plain fields") << QByteArray("1|2|3|4|5|6|7|8|9|10|11|12") << '|'
                                       << QByteArray("1|2|3|4|5|6|7|8|9|10|11|12").split('|');
}

// Each field alone as the whole split gives it; none past the last.
void TestOtherLayouts::fields()
{
    QFETCH(QByteArray, line);
    QFETCH(char, separator);
    QFETCH(QByteArrayList, expected);
    const FieldSplitter splitter(separator, separator != '\t');
    QStringList texts;
    for (int i = 0; i < expected.size(); ++i) {
        QByteArray scratch;
        QCOMPARE(splitter.field(line, i, &scratch).toByteArray(), expected.at(i));
        texts << QString::fromUtf8(expected.at(i));
    }
    QByteArray scratch;
    QVERIFY(splitter.field(line, int(expected.size()), &scratch).isEmpty());
    QCOMPARE(splitter.split(line), texts);
}

void TestOtherLayouts::stamps_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QDateTime>("expected"); // in UTC; invalid: not a stamp

    const auto row = [](const char *name, Format format, const QByteArray &text,
                         const QDateTime &expected, const QString &pattern = QString()) {
        QTest::newRow(name) << int(format) << pattern << text << expected;
    };
    const auto utc = [](int y, int mo, int d, int h, int mi, int s = 0, int ms = 0) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), UtcAndLocal::utc());
    };
    const QDateTime none;
    row("iso T", Format::Iso, "2023-06-01T00:10", utc(2023, 6, 1, 0, 10));
    row("iso space, fraction", Format::Iso, "2023-06-01 00:10:05.25",
        utc(2023, 6, 1, 0, 10, 5, 250));
    row("iso comma fraction, Z", Format::Iso, "2023-06-01T00:10:00,5Z",
        utc(2023, 6, 1, 0, 10, 0, 500));
    row("iso offset east", Format::Iso, "2023-06-01T01:10:00+02:00", utc(2023, 5, 31, 23, 10));
    row("iso offset west", Format::Iso, "2023-06-01T00:10-05:30", utc(2023, 6, 1, 5, 40));
    row("iso quoted, spaces", Format::Iso, " \"2023-06-01T00:10\" ", utc(2023, 6, 1, 0, 10));
    row("iso no such day", Format::Iso, "2023-02-29T00:10", none);
    row("iso hour 24", Format::Iso, "2023-06-01T24:00", none);
    row("iso offset without colon", Format::Iso, "2023-06-01T00:10+0200", none);
    row("epoch", Format::Epoch, "1685578200", utc(2023, 6, 1, 0, 10));
    row("epoch fraction", Format::Epoch, "1685578200.5", utc(2023, 6, 1, 0, 10, 0, 500));
    row("epoch negative", Format::Epoch, "-1.5", utc(1969, 12, 31, 23, 59, 58, 500));
    row("epoch past the year 9999", Format::Epoch, "253402300800", none);
    row("pattern AM/PM", Format::Pattern, "6/1/2023 1:05 PM", utc(2023, 6, 1, 13, 5),
        "M/d/yyyy h:mm AP");
    row("pattern in the machine's spring gap", Format::Pattern, "26.03.2023 02:30",
        utc(2023, 3, 26, 2, 30), "dd.MM.yyyy hh:mm");
    row("pattern with a zone", Format::Pattern, "2023-06-01 02:10 UTC+02:00",
        utc(2023, 6, 1, 0, 10), "yyyy-MM-dd hh:mm t");
    row("default, space after", Format::Default, "05.07.2012 13:45 ", utc(2012, 7, 5, 13, 45));
}

void TestOtherLayouts::stamps()
{
    QFETCH(int, format);
    QFETCH(QString, pattern);
    QFETCH(QByteArray, text);
    QFETCH(QDateTime, expected);
    StampReader reader(Format(format), pattern);
    qint64 msecs = 0;
    // After another stamp of the same date, so that a date read before is used.
    reader.read(text.left(10) + text.mid(10).replace('1', '0'), &msecs);
    QCOMPARE(reader.read(text, &msecs), expected.isValid());
    if (expected.isValid())
        QCOMPARE(QDateTime::fromMSecsSinceEpoch(msecs, UtcAndLocal::utc()), expected);
}

void TestOtherLayouts::equationOfTime_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<double>("minutes"); // apparent minus mean solar time, an almanac's figure

    QTest::newRow("February minimum") << QDate(2023, 2, 11) << -14.2;
    QTest::newRow("April zero") << QDate(2023, 4, 15) << 0.0;
    QTest::newRow("May maximum") << QDate(2023, 5, 14) << 3.7;
    QTest::newRow("July minimum") << QDate(2023, 7, 26) << -6.5;
    QTest::newRow("November maximum") << QDate(2023, 11, 3) << 16.4;
    QTest::newRow("leap year, end of December") << QDate(2024, 12, 31) << -2.9;
}

void TestOtherLayouts::equationOfTime()
{
    QFETCH(QDate, day);
    QFETCH(double, minutes);
    const qint64 noon = QDateTime(day, QTime(12, 0), UtcAndLocal::utc()).toMSecsSinceEpoch();
    const double computed = StampClock::equationOfTime(noon);
    // The series is within about 35 seconds; the almanac's figures are rounded.
    QVERIFY2(qAbs(computed - minutes) < 0.75, qPrintable(QString::number(computed)));
}

void TestOtherLayouts::stampHints_data()
{
    QTest::addColumn<QString>("stamp");
    QTest::addColumn<int>("format"); // the format the file was read with
    QTest::addColumn<QString>("hint"); // a piece of it; empty: no hint

    QTest::newRow("epoch") << "1685578200" << int(Format::Iso) << "try --timeFormat=epoch";
    QTest::newRow("seconds") << "01.06.2023 00:10:00" << int(Format::Default)
                             << "has its day first: try --timeFormat=\"dd.MM.yyyy HH:mm:ss\"";
    QTest::newRow("one-digit day and hour")
        << "1.6.2023 0:10" << int(Format::Default) << "try --timeFormat=\"d.M.yyyy H:mm\"";
    QTest::newRow("day above 12") << "13/06/2023 00:10" << int(Format::Iso)
                                  << "try --timeFormat=\"dd/MM/yyyy HH:mm\"";
    QTest::newRow("day and month not told, never guessed")
        << "6/1/2023 1:05 PM" << int(Format::Default)
        << "does not tell whether its day or its month comes first: try --timeFormat=\"d/M/yyyy "
           "h:mm AP\" (day first) or --timeFormat=\"M/d/yyyy h:mm AP\" (month first)";
    QTest::newRow("quoted, a space after")
        << "\"05.07.2012 13:45 \"" << int(Format::Default) << "has spaces or quotes around it";
    QTest::newRow("cut at a separator missed")
        << "2023-06-01T00:10;12,5" << int(Format::Default) << "looks like ISO 8601";
    QTest::newRow("nothing known") << "yesterday" << int(Format::Default) << QString();
}

// The hint, and every pattern it names reads the stamp.
void TestOtherLayouts::stampHints()
{
    QFETCH(QString, stamp);
    QFETCH(int, format);
    QFETCH(QString, hint);
    FileLayout layout;
    layout.timeFormat = Format(format);
    const QString given = LayoutHints::stamp(stamp, layout);
    QVERIFY2(hint.isEmpty() ? given.isEmpty() : given.contains(hint), qPrintable(given));
    const QRegularExpression named(QStringLiteral("--timeFormat=\"([^\"]+)\""));
    for (const QRegularExpressionMatch &m : named.globalMatch(given)) {
        StampReader reader(Format::Pattern, m.captured(1));
        qint64 msecs = 0;
        QVERIFY2(reader.read(stamp.toUtf8(), &msecs), qPrintable(m.captured(1)));
    }
}

QTEST_GUILESS_MAIN(TestOtherLayouts)
#include "tst_otherlayouts.moc"
