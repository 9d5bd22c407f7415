#include "measurementfile.h"

#include "measurementfield.h"

#include <QTime>

#include <cstring>
#include <limits>

namespace {

const QLatin1String chainSeparator(" -> ");
const QByteArrayView byteOrderMark("\xEF\xBB\xBF");

const char *findTab(const char *begin, const char *end)
{
    const void *tab = std::memchr(begin, '\t', size_t(end - begin));
    return tab ? static_cast<const char *>(tab) : end;
}

// Field `index` (1 or more) of a line whose field 0 ends at firstEnd; empty when the line has
// fewer fields.
QByteArrayView fieldAt(const char *firstEnd, const char *lineEnd, int index)
{
    const char *begin = firstEnd;
    const char *end = firstEnd;
    for (int i = 1; i <= index; ++i) {
        if (end == lineEnd)
            return QByteArrayView();
        begin = end + 1;
        end = findTab(begin, lineEnd);
    }
    if (index < 1)
        return QByteArrayView();
    return QByteArrayView(begin, end - begin);
}

QStringList splitFields(QByteArrayView line)
{
    return QString::fromUtf8(line).split(QLatin1Char('\t'), Qt::KeepEmptyParts);
}

} // namespace

MeasurementFile::MeasurementFile(const QString &fileName, qsizetype bufferSize)
    : m_file(fileName)
    , m_reader(&m_file, bufferSize)
    , m_headerRows(headerRowCount)
{ }

bool MeasurementFile::open()
{
    // Unbuffered: the line reader keeps a buffer of its own.
    return m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void MeasurementFile::readHeader()
{
    m_reader.seek(0);
    m_headerRows = QList<QStringList>(headerRowCount);
    QByteArrayView first = m_reader.readLine();
    if (first.startsWith(byteOrderMark))
        first = first.sliced(byteOrderMark.size());
    const QString firstLine = QString::fromUtf8(first);
    if (firstLine.contains(chainSeparator)) {
        const QStringList fields = firstLine.split(QLatin1Char('\t'), Qt::KeepEmptyParts);
        for (const QString &field : fields) {
            // Section 0, the text before the first arrow, names the column and is dropped.
            const QStringList sections = field.split(chainSeparator, Qt::KeepEmptyParts);
            for (int row = 1; row <= headerRowCount; ++row)
                m_headerRows[row - 1].append(sections.value(row));
        }
    } else {
        m_headerRows[0] = firstLine.split(QLatin1Char('\t'), Qt::KeepEmptyParts);
        for (int row = 2; row <= headerRowCount; ++row)
            m_headerRows[row - 1] = splitFields(m_reader.readLine());
    }
    m_dataStart = m_reader.pos();
}

QString MeasurementFile::headerEntry(int row, int column) const
{
    if (row < 1 || row > headerRowCount)
        return QString();
    return m_headerRows.at(row - 1).value(column);
}

int MeasurementFile::parameterCount() const
{
    return int(qMax<qsizetype>(m_headerRows.at(5).size() - 1, 0));
}

MeasurementFile::TimeRange MeasurementFile::readTimeRange()
{
    // Lines without a valid time stamp take no part: one malformed line must not stand for
    // the start or the end of the data.
    bool found = false;
    MeasurementField::TimeStamp earliest;
    MeasurementField::TimeStamp latest;
    m_reader.seek(m_dataStart);
    while (!m_reader.atEnd()) {
        const QByteArrayView line = m_reader.readLine();
        const char *end = line.data() + line.size();
        MeasurementField::TimeStamp stamp;
        if (!MeasurementField::parseTimeStamp(
                QByteArrayView(line.data(), findTab(line.data(), end) - line.data()), &stamp))
            continue;
        if (!found || stamp.key() < earliest.key())
            earliest = stamp;
        if (!found || latest.key() < stamp.key())
            latest = stamp;
        found = true;
    }
    if (!found)
        return TimeRange();
    return TimeRange { earliest.dateTime(), latest.dateTime() };
}

MeasurementFile::ColumnCounts MeasurementFile::readColumn(int k, const MeasurementHandler &handler)
{
    ColumnCounts counts;
    m_reader.seek(m_dataStart);
    while (!m_reader.atEnd()) {
        const QByteArrayView line = m_reader.readLine();
        ++counts.allCount;
        const char *end = line.data() + line.size();
        const char *stampEnd = findTab(line.data(), end);
        MeasurementField::TimeStamp stamp;
        if (!MeasurementField::parseTimeStamp(
                QByteArrayView(line.data(), stampEnd - line.data()), &stamp))
            continue;
        const QByteArrayView field = fieldAt(stampEnd, end, k + 1);
        counts.maxDecimals = qMax(counts.maxDecimals, MeasurementField::decimals(field));
        double value = 0;
        if (!MeasurementField::parseValue(field, &value))
            continue;
        ++counts.goodCount;
        if (handler)
            handler(stamp.time(), value);
    }
    counts.goodShare = counts.allCount == 0
        ? std::numeric_limits<double>::quiet_NaN()
        : double(counts.goodCount) / double(counts.allCount) * 100.0;
    return counts;
}
