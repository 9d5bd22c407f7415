// The measurement file reader over whole files, against a plain reading of the same bytes:
// the file split into lines, lines into fields, each time stamp read on its own, each value
// by Qt's parser. The first byte of the input picks the reader's starting buffer size, so that
// lines longer than the buffer and lines across refills are read too; the rest is the file.
#include "fuzzinput.h"
#include "measurementfield.h"
#include "measurementfile.h"

#include <QList>

#include <cmath>
#include <cstring>

namespace {

QString g_fileName;

struct Measurement
{
    QTime time;
    double value;
    bool operator==(const Measurement &o) const
    {
        return time == o.time && std::memcmp(&value, &o.value, sizeof value) == 0;
    }
};

// A data line as a plain reading sees it.
struct DataLine
{
    QDateTime stamp; // invalid when field 0 is no time stamp
    QByteArrayList fields;
};

// What a plain reading of the file gives.
struct Expected
{
    QList<QStringList> headerRows = QList<QStringList>(MeasurementFile::headerRowCount);
    QList<DataLine> dataLines;
};

QByteArrayList lines(const QByteArray &file)
{
    QByteArrayList result = file.split('\n');
    if (result.last().isEmpty())
        result.removeLast();
    for (QByteArray &line : result) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return result;
}

// The plain time stamp parser, which the fields target holds to Qt's (the reader itself reads
// through the date-caching one): Qt's own parser is a hundred times slower.
QDateTime stampOf(const QByteArray &field)
{
    MeasurementField::TimeStamp stamp;
    return MeasurementField::parseTimeStamp(field, &stamp) ? stamp.dateTime() : QDateTime();
}

// The header rows; returns the number of header lines.
qsizetype readHeader(const QByteArrayList &all, QList<QStringList> &rows)
{
    QByteArray first = all.value(0);
    if (first.startsWith("\xEF\xBB\xBF"))
        first.remove(0, 3);
    const QString firstLine = QString::fromUtf8(first);
    const QLatin1String arrow(" -> ");
    if (!firstLine.contains(arrow)) {
        rows[0] = firstLine.split(QLatin1Char('\t'));
        for (int row = 2; row <= MeasurementFile::headerRowCount; ++row)
            rows[row - 1] = QString::fromUtf8(all.value(row - 1)).split(QLatin1Char('\t'));
        return MeasurementFile::headerRowCount;
    }
    for (const QString &field : firstLine.split(QLatin1Char('\t'))) {
        const QStringList sections = field.split(arrow);
        for (int row = 1; row <= MeasurementFile::headerRowCount; ++row)
            rows[row - 1] << sections.value(row);
    }
    return 1;
}

Expected readPlainly(const QByteArray &file)
{
    Expected expected;
    const QByteArrayList all = lines(file);
    const qsizetype headerLines = readHeader(all, expected.headerRows);
    for (qsizetype i = headerLines; i < all.size(); ++i) {
        DataLine line { QDateTime(), all.at(i).split('\t') };
        line.stamp = stampOf(line.fields.first());
        expected.dataLines.append(line);
    }
    return expected;
}

void checkTimeRange(MeasurementFile &file, const Expected &expected)
{
    QDateTime earliest, latest;
    for (const DataLine &line : expected.dataLines) {
        if (!line.stamp.isValid())
            continue;
        if (!earliest.isValid() || line.stamp < earliest)
            earliest = line.stamp;
        if (!latest.isValid() || latest < line.stamp)
            latest = line.stamp;
    }
    const MeasurementFile::TimeRange range = file.readTimeRange();
    FuzzInput::require(range.earliestTime == earliest, "earliest time stamp");
    FuzzInput::require(range.latestTime == latest, "latest time stamp");
}

void checkColumn(MeasurementFile &file, const Expected &expected, int k)
{
    QList<Measurement> wanted;
    int maxDecimals = 0;
    for (const DataLine &line : expected.dataLines) {
        if (!line.stamp.isValid())
            continue;
        const QString field = QString::fromUtf8(line.fields.value(k + 1));
        const qsizetype point = field.indexOf(QLatin1Char('.'));
        maxDecimals = qMax(maxDecimals, point > 0 ? int(field.size() - point - 1) : 0);
        bool ok = false;
        const double value = field.toDouble(&ok);
        if (ok && std::isfinite(value))
            wanted.append({ line.stamp.time(), value });
    }
    QList<Measurement> handed;
    const MeasurementFile::ColumnCounts counts
        = file.readColumn(k, [&handed](const QTime &time, double value) {
              handed.append({ time, value });
          });
    FuzzInput::require(counts.allCount == expected.dataLines.size(), "every data line counted");
    FuzzInput::require(counts.goodCount == wanted.size(), "good lines counted");
    FuzzInput::require(handed == wanted, "good measurements handed out in file order");
    FuzzInput::require(counts.maxDecimals == maxDecimals, "most decimals");
    const double share = double(counts.goodCount) / double(counts.allCount) * 100.0;
    FuzzInput::require(
        counts.allCount == 0 ? std::isnan(counts.goodShare) : counts.goodShare == share,
        "good share");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    g_fileName = FuzzInput::scratchFile(QStringLiteral("measurements.txt"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    const quint8 choice = input.byte();
    const qsizetype bufferSize = choice < 128 ? 1 + choice : LineReader::defaultBufferSize;
    const QByteArray bytes = input.rest();
    FuzzInput::writeFile(g_fileName, bytes);

    MeasurementFile file(g_fileName, bufferSize);
    FuzzInput::require(file.open(), "input file opened");
    file.readHeader();
    const Expected expected = readPlainly(bytes);
    FuzzInput::require(file.headerRows() == expected.headerRows, "header rows");
    checkTimeRange(file, expected);
    const int columns = qMin(file.parameterCount() + 1, 4);
    for (int k = 0; k < columns; ++k)
        checkColumn(file, expected, k);
    return 0;
}
