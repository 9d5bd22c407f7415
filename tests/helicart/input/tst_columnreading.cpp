#include "columnreading.h"
#include "failingdevice.h"
#include "testsupport.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Row-layout header with three parameter columns.
const QByteArray header = "r1\nr2\nr3\nTime\tS1\tS2\tS3\nr5\nTime\tA\tB\tC\nr7\nTime\tu\tv\tw\n";

// Data lines: 2000 minutes, column A always good, B good every other line, C never; a line
// without a readable stamp now and then.
QByteArray dataLines()
{
    QByteArray lines;
    for (int i = 0; i < 2000; ++i) {
        const int minute = i % 1440;
        if (i % 97 == 5) {
            lines += "not a stamp\t1\t2\t3\n";
            continue;
        }
        lines += QStringLiteral("%1.01.2024 %2:%3\t%4\t%5\tx\n")
                     .arg(1 + i / 1440, 2, 10, QLatin1Char('0'))
                     .arg(minute / 60, 2, 10, QLatin1Char('0'))
                     .arg(minute % 60, 2, 10, QLatin1Char('0'))
                     .arg(i * 0.5)
                     .arg(i % 2 ? QStringLiteral("-") : QString::number(i))
                     .toLatin1();
    }
    return lines;
}

using Taken = QStringList; // "hh:mm=value" per measurement, per column

// Every column's measurements and counts through reading.
QList<Taken> takeAll(
    ColumnReading &reading, int count, QList<MeasurementFile::ColumnCounts> *counts)
{
    QList<Taken> all;
    for (int k = 0; k < count; ++k) {
        Taken taken;
        if (!reading.take([&taken](const QTime &time, double value) {
                taken << time.toString(QStringLiteral("hh:mm=")) + QString::number(value);
            }))
            break;
        all << taken;
        *counts << reading.column(k).counts;
    }
    return all;
}

bool sameCounts(const MeasurementFile::ColumnCounts &a, const MeasurementFile::ColumnCounts &b)
{
    return a.allCount == b.allCount && a.goodCount == b.goodCount && a.maxDecimals == b.maxDecimals;
}

} // namespace

class TestColumnReading : public QObject
{
    Q_OBJECT

private slots:
    void sameColumnsEitherWay_data();
    void sameColumnsEitherWay();
    void headerChangedInBetween();
    void failureOfTheCallersHandle();

private:
    QTemporaryDir m_dir;
};

// A named file is read on a handle of its own from the start, a device through the caller's
// handle once it is started: the columns come out the same, the range read in between.
void TestColumnReading::sameColumnsEitherWay_data()
{
    QTest::addColumn<bool>("named");
    QTest::addColumn<bool>("rangeFirst");
    QTest::newRow("named file") << true << true;
    QTest::newRow("named file, columns taken at once") << true << false;
    QTest::newRow("device") << false << true;
}

void TestColumnReading::sameColumnsEitherWay()
{
    QFETCH(bool, named);
    QFETCH(bool, rangeFirst);

    const QByteArray content = header + dataLines();
    const QString path = m_dir.filePath(QStringLiteral("columns.txt"));
    QVERIFY(TestSupport::writeFile(path, content));

    // What the caller's handle reads by itself, column by column.
    MeasurementFile reference(path);
    QVERIFY(reference.open());
    reference.readHeader();
    QList<Taken> expected;
    QList<MeasurementFile::ColumnCounts> expectedCounts;
    for (int k = 0; k < 3; ++k) {
        Taken taken;
        expectedCounts << reference.readColumn(k, [&taken](const QTime &time, double value) {
            taken << time.toString(QStringLiteral("hh:mm=")) + QString::number(value);
        });
        expected << taken;
    }

    QBuffer buffer;
    buffer.setData(content);
    MeasurementFile file = named ? MeasurementFile(path) : MeasurementFile(&buffer);
    QVERIFY(file.open());
    file.readHeader();
    ColumnReading reading(file, file.parameterCount());
    QCOMPARE(reading.ownHandle(), named);
    if (rangeFirst) {
        const MeasurementFile::TimeRange range = file.readTimeRange();
        QVERIFY(range.earliestTime.isValid());
        QVERIFY(!file.readFailed());
    }
    QList<MeasurementFile::ColumnCounts> counts;
    const QList<Taken> taken = takeAll(reading, 3, &counts);
    QCOMPARE(taken, expected);
    QCOMPARE(counts.size(), 3);
    for (int k = 0; k < 3; ++k)
        QVERIFY2(sameCounts(counts.at(k), expectedCounts.at(k)), qPrintable(QString::number(k)));
    QVERIFY(!reading.take([](const QTime &, double) {}));
}

// A file whose header is no longer the one the caller read gets no second handle.
void TestColumnReading::headerChangedInBetween()
{
    const QString path = m_dir.filePath(QStringLiteral("changed.txt"));
    QVERIFY(TestSupport::writeFile(path, header + dataLines()));
    MeasurementFile file(path);
    QVERIFY(file.open());
    file.readHeader();
    QVERIFY(file.reopened() != nullptr);
    QByteArray other = header;
    other.replace("\tA\tB\tC\n", "\tA\tB\tD\n");
    QVERIFY(TestSupport::writeFile(path, other + dataLines()));
    QVERIFY(file.reopened() == nullptr);
    ColumnReading reading(file, file.parameterCount());
    QVERIFY(!reading.ownHandle());
}

// Through the caller's handle a failure of the device ends the reading at that column.
void TestColumnReading::failureOfTheCallersHandle()
{
    const QByteArray content = header + dataLines();
    FailingDevice device(content, false, content.size() - 100, false);
    MeasurementFile file(&device);
    QVERIFY(file.open());
    file.readHeader();
    ColumnReading reading(file, file.parameterCount());
    QVERIFY(!reading.ownHandle());
    QVERIFY(reading.take([](const QTime &, double) {}));
    QVERIFY(reading.column(0).failed);
    QVERIFY(!reading.take([](const QTime &, double) {}));
}

HELICART_GUI_TEST_MAIN(TestColumnReading)
#include "tst_columnreading.moc"
