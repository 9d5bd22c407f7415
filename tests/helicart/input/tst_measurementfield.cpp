// Differential test of the field parsers against Qt's own parsers: whatever Qt accepts, the
// reader must accept with the same result, and nothing more, except for the deliberate
// differences (no time zone; NaN and infinities are not measurements; only an ASCII space
// between date and time, see timeStampSpace).
#include "measurementfield.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <ctime>

namespace {

const QString stampFormat = QStringLiteral("dd/MM/yyyy hh:mm");

// Whether the Qt versions the project supports read field alike: Qt 6.8 matches the space of
// a format with any single non-ASCII space as well (U+00A0, U+2003, U+3000, ...), Qt 6.4 only
// with the ASCII space; everything else they read the same way.
bool qtVersionsAgree(const QString &field)
{
    return std::none_of(
        field.cbegin(), field.cend(), [](QChar c) { return c.unicode() > 0x7f && c.isSpace(); });
}

// Characters that stress the parsers: digits, separators, signs, spaces (also U+00A0, U+2003,
// U+3000), a NUL, letters, Arabic-Indic and full-width digits, the minus sign U+2212.
const QList<QByteArray> &alphabet()
{
    static const QList<QByteArray> characters { "0", "1", "2", "3", "4", "5", "6", "7", "8", "9",
        "/", ".", ":", "-", "+", " ", "\t", "\v", "\r", "\n", "e", "E", "x", "n", "a", "i", "f",
        ",", QByteArray(1, '\0'), "\xc2\xa0", "\xe2\x80\x83", "\xe3\x80\x80", "\xd9\xa5",
        "\xef\xbc\x91", "\xe2\x88\x92", "\x1c", "\xff" };
    return characters;
}

QByteArray pick(QRandomGenerator &random, const QList<QByteArray> &list)
{
    return list.at(random.bounded(int(list.size())));
}

QByteArray digits(QRandomGenerator &random, int count)
{
    QByteArray result;
    for (int i = 0; i < count; ++i)
        result += char('0' + random.bounded(10));
    return result;
}

// One random edit: replace, insert or delete a character, or cut the text short.
QByteArray mutate(QRandomGenerator &random, QByteArray text)
{
    const int position = random.bounded(int(text.size()) + 1);
    switch (random.bounded(4)) {
    case 0:
        if (position < text.size())
            return text.replace(position, 1, pick(random, alphabet()));
        return text + pick(random, alphabet());
    case 1:
        return text.insert(position, pick(random, alphabet()));
    case 2:
        return position < text.size() ? text.remove(position, 1) : text;
    default:
        return text.left(position);
    }
}

QList<QByteArray> stampCorpus()
{
    QList<QByteArray> corpus;
    const QList<QByteArray> days { "00", "01", "09", "10", "28", "29", "30", "31", "32", "99" };
    const QList<QByteArray> months { "00", "01", "02", "04", "12", "13" };
    const QList<QByteArray> years { "2012", "2011", "1900", "2000", "0000", "0001", "9999", "-0001",
        "-0004", "-2012", "-0000", "+2012" };
    const QList<QByteArray> times { "00:00", "23:59", "24:00", "12:60", "13:45" };
    const QList<QByteArray> separators { "//", "..", "/.", "--" };
    for (const QByteArray &day : days)
        for (const QByteArray &month : months)
            for (const QByteArray &year : years)
                for (const QByteArray &time : times)
                    for (const QByteArray &separator : separators)
                        corpus << day + separator[0] + month + separator[1] + year + ' ' + time;

    QRandomGenerator random(20120705);
    for (int i = 0; i < 10000; ++i) {
        corpus << digits(random, 2) + '/' + digits(random, 2) + '.' + digits(random, 4) + ' '
                + digits(random, 2) + ':' + digits(random, 2);
    }
    const QList<QByteArray> bases { "05.07.2012 13:45", "29/02/2012 00:00", "31.12.-0005 23:59" };
    for (int i = 0; i < 30000; ++i) {
        QByteArray text = pick(random, bases);
        const int edits = 1 + random.bounded(3);
        for (int edit = 0; edit < edits; ++edit)
            text = mutate(random, text);
        corpus << text;
    }
    return corpus;
}

QByteArray randomNumber(QRandomGenerator &random)
{
    const QList<QByteArray> spaces { "", "", "", " ", "  ", "\t", "\v", "\f", "\r", "\n",
        "\xc2\xa0", "\xe2\x80\x83", "\xe3\x80\x80", "\x1c", QByteArray(1, '\0') };
    const QList<QByteArray> signs { "", "", "", "+", "-", "\xe2\x88\x92", "--", "+-", "- " };
    const QList<QByteArray> specials { "nan", "NaN", "inf", "Inf", "INF", "infinity", "na" };
    QByteArray text = pick(random, spaces) + pick(random, signs);
    if (random.bounded(20) == 0) {
        text += pick(random, specials);
    } else {
        // Mostly short mantissas; now and then one longer than the fast path takes.
        const int length = random.bounded(10) == 0 ? random.bounded(90) : random.bounded(8);
        text += digits(random, random.bounded(length + 1));
        if (random.bounded(3) != 0)
            text += '.' + digits(random, random.bounded(length + 1));
        if (random.bounded(4) == 0) {
            text += random.bounded(2) ? 'e' : 'E';
            text += pick(random, signs);
            text += digits(random, random.bounded(2) ? random.bounded(4) : random.bounded(25));
        }
    }
    return text + pick(random, spaces);
}

QList<QByteArray> valueCorpus()
{
    QList<QByteArray> corpus { "1.7976931348623157e308", "1.7976931348623158e308",
        "1.7976931348623159e308", "2.4703282292062327e-324", "2.4703282292062328e-324",
        "4.9406564584124654e-324", "2.2250738585072011e-308", "2.2250738585072014e-308",
        "0e999999999999", "1e-400", "-1e400", "0.000e-999", "123456789012345678901234567890", ".e3",
        "1.e3", "0x10", "1,5", "1_000", "" };
    QRandomGenerator random(512);
    for (int i = 0; i < 100000; ++i)
        corpus << randomNumber(random);
    for (int i = 0; i < 30000; ++i) {
        double number = 0;
        do {
            const quint64 bits = random.generate64();
            std::memcpy(&number, &bits, sizeof number);
        } while (!qIsFinite(number));
        const char *formats[] = { "%.17g", "%g", "%.3f", "%e" };
        QByteArray text = QString::asprintf(formats[random.bounded(4)], number).toLatin1();
        if (random.bounded(2))
            text = mutate(random, text);
        corpus << text;
    }
    return corpus;
}

QByteArray printable(const QByteArray &text)
{
    return text.toPercentEncoding(" ./:-+");
}

QByteArray summary(const QByteArrayList &mismatches)
{
    return QByteArray::number(mismatches.size())
        + " differences, first: " + mismatches.mid(0, 10).join(" | ");
}

// The mismatches that compare reports over corpus.
QByteArrayList mismatchesOver(
    const QList<QByteArray> &corpus, void (*compare)(const QByteArray &, QByteArray *))
{
    QByteArrayList mismatches;
    for (const QByteArray &field : corpus) {
        QByteArray mismatch;
        compare(field, &mismatch);
        if (!mismatch.isEmpty())
            mismatches << mismatch;
    }
    return mismatches;
}

} // namespace

class TestMeasurementField : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void timeStamp_data();
    void timeStamp();
    void timeStampCorpus();
    void timeStampSpace_data();
    void timeStampSpace();
    void timeStampReader();
    void value_data();
    void value();
    void valueCorpus();
    void decimalsCorpus();

private:
    static void compareTimeStamp(const QByteArray &field, QByteArray *mismatch);
    static void compareValue(const QByteArray &field, QByteArray *mismatch);
};

void TestMeasurementField::initTestCase()
{
    // Qt parses time stamps in local time; in UTC it has no daylight-saving gaps and parses
    // exactly the wall-clock times the reader accepts.
    qputenv("TZ", "UTC");
    tzset();
    QCOMPARE(QDateTime::currentDateTime().offsetFromUtc(), 0);
}

// Compared with Qt where its versions agree; elsewhere the reader's own rule (timeStampSpace)
// holds: a stamp with another space than the ASCII one is none.
void TestMeasurementField::compareTimeStamp(const QByteArray &field, QByteArray *mismatch)
{
    const QString text = QString::fromUtf8(field);
    const QDateTime expected = qtVersionsAgree(text)
        ? QDateTime::fromString(
            QString(text).replace(QLatin1Char('.'), QLatin1Char('/')), stampFormat)
        : QDateTime();
    MeasurementField::TimeStamp stamp;
    const bool valid = MeasurementField::parseTimeStamp(field, &stamp);
    if (valid != expected.isValid()) {
        *mismatch = printable(field) + (valid ? " accepted" : " rejected");
    } else if (valid && (stamp.date() != expected.date() || stamp.time() != expected.time())) {
        *mismatch = printable(field) + " read as " + stamp.dateTime().toString().toUtf8();
    }
}

void TestMeasurementField::timeStamp_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::newRow("dots") << QByteArray("05.07.2012 13:45");
    QTest::newRow("slashes") << QByteArray("05/07/2012 13:45");
    QTest::newRow("mixed separators") << QByteArray("05.07/2012 13:45");
    QTest::newRow("leap day") << QByteArray("29.02.2012 00:00");
    QTest::newRow("no leap day") << QByteArray("29.02.2011 00:00");
    QTest::newRow("31 February") << QByteArray("31.02.2012 13:45");
    QTest::newRow("hour 24") << QByteArray("05.07.2012 24:00");
    QTest::newRow("minute 60") << QByteArray("05.07.2012 23:60");
    QTest::newRow("seconds") << QByteArray("05.07.2012 13:45:00");
    QTest::newRow("one-digit day") << QByteArray("5.07.2012 13:45");
    QTest::newRow("two-digit year") << QByteArray("05.07.12 13:45");
    QTest::newRow("year 0") << QByteArray("05.07.0000 13:45");
    QTest::newRow("negative year") << QByteArray("05.07.-2012 13:45");
    QTest::newRow("plus year") << QByteArray("05.07.+2012 13:45");
    QTest::newRow("leading space") << QByteArray(" 05.07.2012 13:45");
    QTest::newRow("trailing space") << QByteArray("05.07.2012 13:45 ");
    QTest::newRow("trailing U+00A0") << QByteArray("05.07.2012 13:45\xc2\xa0");
    QTest::newRow("two spaces") << QByteArray("05.07.2012  13:45");
    QTest::newRow("extra character") << QByteArray("05.07.2012 13:45x");
    QTest::newRow("dot in time") << QByteArray("05.07.2012 13.45");
    QTest::newRow("full-width digit") << QByteArray("05.07.2012 \xef\xbc\x91\x33:45");
    QTest::newRow("empty") << QByteArray();
}

void TestMeasurementField::timeStamp()
{
    QFETCH(QByteArray, field);
    QByteArray mismatch;
    compareTimeStamp(field, &mismatch);
    QVERIFY2(mismatch.isEmpty(), mismatch.constData());
}

void TestMeasurementField::timeStampCorpus()
{
    const QByteArrayList mismatches = mismatchesOver(stampCorpus(), compareTimeStamp);
    QVERIFY2(mismatches.isEmpty(), summary(mismatches));
}

// The one character between date and time is the ASCII space of the documented pattern: a
// logger writes nothing else there, and a no-break or ideographic space in its place (which
// some Qt versions take for a space, others not) makes no time stamp, in whatever version.
void TestMeasurementField::timeStampSpace_data()
{
    QTest::addColumn<QByteArray>("space");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("space") << QByteArray(" ") << true;
    QTest::newRow("U+00A0 no-break space") << QByteArray("\xc2\xa0") << false;
    QTest::newRow("U+3000 ideographic space") << QByteArray("\xe3\x80\x80") << false;
    QTest::newRow("U+0085 next line") << QByteArray("\xc2\x85") << false;
    QTest::newRow("tab") << QByteArray("\t") << false;
    QTest::newRow("two spaces") << QByteArray("  ") << false;
    QTest::newRow("none") << QByteArray() << false;
}

void TestMeasurementField::timeStampSpace()
{
    QFETCH(QByteArray, space);
    QFETCH(bool, accepted);
    for (const QByteArray &date : { QByteArray("05.07.2012"), QByteArray("31/12/-0005") }) {
        const QByteArray field = date + space + "13:45";
        MeasurementField::TimeStamp stamp;
        QCOMPARE(MeasurementField::parseTimeStamp(field, &stamp), accepted);
        MeasurementField::TimeStampReader reader;
        QCOMPARE(reader.read(field, &stamp), accepted);
        if (accepted)
            QCOMPARE(stamp.time(), QTime(13, 45));
    }
}

void TestMeasurementField::timeStampReader()
{
    // The reader keeps the last date it read: every field is read once right after a valid
    // stamp (so that its date characters are often the cached ones) and once after itself.
    const QByteArray base = "05.07.2012 13:45";
    QByteArrayList mismatches;
    const QList<QByteArray> corpus = stampCorpus();
    MeasurementField::TimeStampReader reader;
    for (const QByteArray &field : corpus) {
        MeasurementField::TimeStamp expected, stamp;
        const bool valid = MeasurementField::parseTimeStamp(field, &expected);
        for (int round = 0; round < 2; ++round) {
            if (round == 0)
                reader.read(base, &stamp);
            if (reader.read(field, &stamp) != valid
                || (valid && stamp.dateTime() != expected.dateTime()))
                mismatches << printable(field);
        }
    }
    QVERIFY2(mismatches.isEmpty(), summary(mismatches));
}

void TestMeasurementField::compareValue(const QByteArray &field, QByteArray *mismatch)
{
    bool ok = false;
    const double expected = QString::fromUtf8(field).toDouble(&ok);
    const bool expectedGood = ok && qIsFinite(expected);
    double value = 0;
    const bool good = MeasurementField::parseValue(field, &value);
    if (good != expectedGood) {
        *mismatch = printable(field) + (good ? " accepted" : " rejected");
    } else if (good && std::memcmp(&value, &expected, sizeof value) != 0) {
        *mismatch = printable(field) + " read as " + QByteArray::number(value, 'g', 17);
    }
}

void TestMeasurementField::value_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::newRow("decimal") << QByteArray("512.25");
    QTest::newRow("plus sign") << QByteArray("+1");
    QTest::newRow("minus sign") << QByteArray("-1.5");
    QTest::newRow("point first") << QByteArray(".5");
    QTest::newRow("point last") << QByteArray("5.");
    QTest::newRow("point alone") << QByteArray(".");
    QTest::newRow("exponent") << QByteArray("1e3");
    QTest::newRow("exponent with sign") << QByteArray("1E-3");
    QTest::newRow("exponent without digits") << QByteArray("1e");
    QTest::newRow("spaces") << QByteArray(" \t7.5 \r");
    QTest::newRow("U+00A0 around") << QByteArray("\xc2\xa0"
                                                 "7.5\xc2\xa0");
    QTest::newRow("minus sign U+2212") << QByteArray("\xe2\x88\x92"
                                                     "1");
    QTest::newRow("space after sign") << QByteArray("- 1");
    QTest::newRow("thousands separator") << QByteArray("1,000");
    QTest::newRow("decimal comma") << QByteArray("1,5");
    QTest::newRow("hexadecimal") << QByteArray("0x10");
    QTest::newRow("nan") << QByteArray("nan");
    QTest::newRow("inf") << QByteArray("inf");
    QTest::newRow("-inf") << QByteArray("-inf");
    QTest::newRow("overflow") << QByteArray("1e400");
    QTest::newRow("underflow") << QByteArray("1e-400");
    QTest::newRow("smallest subnormal") << QByteArray("4.9406564584124654e-324");
    QTest::newRow("negative zero") << QByteArray("-0");
    QTest::newRow("NUL after") << QByteArray("1\0", 2);
    QTest::newRow("long mantissa") << QByteArray("0.").append(QByteArray(100, '0')).append("123");
    QTest::newRow("empty") << QByteArray();
}

void TestMeasurementField::value()
{
    QFETCH(QByteArray, field);
    QByteArray mismatch;
    compareValue(field, &mismatch);
    QVERIFY2(mismatch.isEmpty(), mismatch.constData());
}

void TestMeasurementField::valueCorpus()
{
    const QByteArrayList mismatches = mismatchesOver(::valueCorpus(), compareValue);
    QVERIFY2(mismatches.isEmpty(), summary(mismatches));
}

void TestMeasurementField::decimalsCorpus()
{
    QByteArrayList mismatches;
    QList<QByteArray> corpus = ::valueCorpus();
    corpus << "ab.cde"
           << "\xc2\xa0"
              "1.25"
           << "\xc4\x8d.\xc5\xa1"
           << ".5";
    for (const QByteArray &field : std::as_const(corpus)) {
        const QString text = QString::fromUtf8(field);
        const qsizetype point = text.indexOf(QLatin1Char('.'));
        const int expected = point > 0 ? int(text.size() - point - 1) : 0;
        // Also as the column pass reads them, together with the value.
        double value = 0;
        int decimals = -1;
        MeasurementField::readValue(field, &value, &decimals);
        if (MeasurementField::decimals(field) != expected || decimals != expected)
            mismatches << printable(field);
    }
    QVERIFY2(mismatches.isEmpty(), summary(mismatches));
}

QTEST_APPLESS_MAIN(TestMeasurementField)
#include "tst_measurementfield.moc"
