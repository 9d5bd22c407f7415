// Which values of SOURCE_DATE_EPOCH fix the stamp time, and to what; the program under the
// variable is tested end to end.
#include "sourcedate.h"

#include <QtTest>

namespace {

// The stamp as the charts write it.
QString stampText(const QDateTime &time)
{
    return time.toString(QStringLiteral("ddMMyyyy hhmm"));
}

} // namespace

class TestSourceDate : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
};

void TestSourceDate::parse_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("stamp"); // in UTC

    QTest::newRow("the epoch") << QByteArray("0") << true << "01011970 0000";
    QTest::newRow("seconds are cut") << QByteArray("59") << true << "01011970 0000";
    QTest::newRow("a minute") << QByteArray("60") << true << "01011970 0001";
    QTest::newRow("a date") << QByteArray("1700000000") << true << "14112023 2213";
    QTest::newRow("zeros in front") << QByteArray("000060") << true << "01011970 0001";
    QTest::newRow("the last second") << QByteArray("253402300799") << true << "31129999 2359";
    QTest::newRow("the year 10000") << QByteArray("253402300800") << false << QString();
    QTest::newRow("beyond 64 bits") << QByteArray("99999999999999999999999") << false << QString();
    QTest::newRow("thirteen digits") << QByteArray("0000000000060") << false << QString();
    QTest::newRow("empty") << QByteArray() << false << QString();
    QTest::newRow("negative") << QByteArray("-1") << false << QString();
    QTest::newRow("plus sign") << QByteArray("+60") << false << QString();
    QTest::newRow("fraction") << QByteArray("60.5") << false << QString();
    QTest::newRow("exponent") << QByteArray("1e9") << false << QString();
    QTest::newRow("hexadecimal") << QByteArray("0x10") << false << QString();
    QTest::newRow("leading blank") << QByteArray(" 60") << false << QString();
    QTest::newRow("trailing line feed") << QByteArray("60\n") << false << QString();
    QTest::newRow("a date text") << QByteArray("2023-11-14") << false << QString();
    QTest::newRow("a word") << QByteArray("now") << false << QString();
}

void TestSourceDate::parse()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, valid);
    QFETCH(QString, stamp);
    const std::optional<QDateTime> time = SourceDate::parse(value);
    QCOMPARE(time.has_value(), valid);
    if (!valid)
        return;
    QCOMPARE(time->offsetFromUtc(), 0);
    QCOMPARE(stampText(*time), stamp);
}

QTEST_APPLESS_MAIN(TestSourceDate)
#include "tst_sourcedate.moc"
