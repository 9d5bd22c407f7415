#include "linereader.h"

#include <QBuffer>
#include <QTest>

using Indexes = QList<int>;

class TestLineReader : public QObject
{
    Q_OBJECT

private slots:
    void longLines_data();
    void longLines();
};

// Fields of 4 bytes at most: a line that fills 8 bytes of buffer without its end is long.
void TestLineReader::longLines_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<char>("separator");
    QTest::addColumn<Indexes>("indexes");
    QTest::addColumn<QByteArrayList>("lines");

    const QByteArray e = "\xC3\xA9"; // two bytes of UTF-8
    QTest::newRow("short line whole")
        << QByteArray("a\tb\tc\n") << '\t' << Indexes { 0, 2 } << QByteArrayList { "a\tb\tc" };
    QTest::newRow("fields not read emptied, rest dropped")
        << QByteArray("aa\tbbbbbbbbbb\tcc\tdd\nx\ty\n") << '\t' << Indexes { 0, 2 }
        << QByteArrayList { "aa\t\tcc", "x\ty" };
    QTest::newRow("long field cut") << QByteArray("aa\tbbbbbbbbbbbbbbbb\tc\n") << '\t'
                                    << Indexes { 0, 1 } << QByteArrayList { "aa\tbbbbbbbbb" };
    QTest::newRow("cut on a whole character")
        << QByteArray("aa\t" + e.repeated(8)) << '\t' << Indexes { 1 }
        << QByteArrayList { "\t" + e.repeated(4) };
    QTest::newRow("every field whole")
        << QByteArray("aaaa\tbbbb\tcccc\r\n") << '\t' << Indexes { 0, 1, 2 }
        << QByteArrayList { "aaaa\tbbbb\tcccc" };
    QTest::newRow("return after the last field read dropped") << QByteArray(
        "aa\tbbbbbbbbbb\r\nc\r\n") << '\t' << Indexes { 0 } << QByteArrayList { "aa", "c" };
    QTest::newRow("fewer fields than read")
        << QByteArray("aaaaaaaaaaaa") << '\t' << Indexes { 0, 3 } << QByteArrayList { "aaaaaaaaa" };
    QTest::newRow("quoted separators")
        << QByteArray("\"x,\"\"y,z\",bbbbbbbb,cc\n") << ',' << Indexes { 0, 2 }
        << QByteArrayList { "\"x,\"\"y,z\",,cc" };
    QTest::newRow("quote inside a field is no quoting")
        << QByteArray("a\"b,bbbbbbbbbb,cc\n") << ',' << Indexes { 2 } << QByteArrayList { ",,cc" };
}

void TestLineReader::longLines()
{
    QFETCH(QByteArray, content);
    QFETCH(char, separator);
    QFETCH(Indexes, indexes);
    QFETCH(QByteArrayList, lines);

    for (const qsizetype bufferSize : { 3, 8 }) {
        QBuffer device(&content);
        QVERIFY(device.open(QIODevice::ReadOnly));
        LineReader reader(&device, bufferSize);
        reader.setFieldsRead({ separator, separator != '\t', indexes, 4 });
        QByteArrayList read;
        while (!reader.atEnd())
            read << reader.readLine().toByteArray();
        QCOMPARE(read, lines);
        QCOMPARE(reader.pos(), content.size());
    }
}

QTEST_APPLESS_MAIN(TestLineReader)
#include "tst_linereader.moc"
