#include "measurementfile.h"

#include "layouthints.h"
#include "measurementfield.h"
#include "stampreader.h"
#include "utcandlocal.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTime>
#include <QtEndian>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <limits>

namespace {

const QLatin1String chainSeparator(" -> ");
const QByteArrayView byteOrderMark("\xEF\xBB\xBF");

// Fields are a few bytes long: a plain loop beats a call of memchr per field.
const char *findTab(const char *begin, const char *end)
{
    while (begin != end && *begin != '\t')
        ++begin;
    return begin;
}

// One bit (the high bit of its byte) for every tab among the eight bytes of word.
quint64 tabBits(quint64 word)
{
    constexpr quint64 low7 = 0x7f7f7f7f7f7f7f7fULL;
    const quint64 x = word ^ 0x0909090909090909ULL; // tabs become zero bytes
    return ~(((x & low7) + low7) | x | low7);
}

// The byte after the count-th tab from begin on, or nullptr when there are fewer tabs.
// Skipping to a parameter column is the inner loop of every column pass, so many bytes are
// looked at in one step.
const char *skipTabs(const char *begin, const char *end, int count)
{
#ifdef __SSE2__
    const __m128i tab = _mm_set1_epi8('\t');
    while (end - begin >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(begin));
        for (auto tabs = uint(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, tab))); tabs;
             tabs &= tabs - 1) {
            if (--count == 0)
                return begin + qCountTrailingZeroBits(tabs) + 1;
        }
        begin += 16;
    }
#endif
    while (end - begin >= 8) {
        for (quint64 tabs = tabBits(qFromLittleEndian<quint64>(begin)); tabs; tabs &= tabs - 1) {
            if (--count == 0)
                return begin + qCountTrailingZeroBits(tabs) / 8 + 1;
        }
        begin += 8;
    }
    for (; begin != end; ++begin) {
        if (*begin == '\t' && --count == 0)
            return begin + 1;
    }
    return nullptr;
}

// Field `index` (1 or more) of a line whose field 0 is `stampWidth` characters long; empty
// when the line has fewer fields.
QByteArrayView fieldAt(QByteArrayView line, qsizetype stampWidth, int index)
{
    if (index < 1 || stampWidth >= line.size())
        return QByteArrayView();
    const char *end = line.data() + line.size();
    const char *begin = line.data() + stampWidth + 1;
    if (index > 1)
        begin = skipTabs(begin, end, index - 1);
    if (!begin)
        return QByteArrayView();
    return QByteArrayView(begin, findTab(begin, end) - begin);
}

// The width of the valid time stamp that begins a line, or 0. A valid one is 16 or 17
// characters long and holds no tab, so only those two widths of field 0 need a look.
qsizetype readTimeStamp(MeasurementField::TimeStampReader *reader, QByteArrayView line,
    MeasurementField::TimeStamp *stamp)
{
    for (const qsizetype width : { 16, 17 }) {
        if (line.size() == width || (line.size() > width && line.at(width) == '\t'))
            return reader->read(line.first(width), stamp) ? width : 0;
    }
    return 0;
}

// Most lines are plain ASCII, which is valid UTF-8: their high bits, gathered many bytes at a
// time, settle that before Qt's full check is asked. The last load may overlap the one before
// it, which leaves the gathered bits as they are.
bool isAscii(QByteArrayView line)
{
    const char *p = line.data();
    const qsizetype size = line.size();
#ifdef __SSE2__
    if (size >= 16) {
        const auto load
            = [](const char *at) { return _mm_loadu_si128(reinterpret_cast<const __m128i *>(at)); };
        __m128i bits = load(p + size - 16);
        for (const char *end = p + size - 16; p < end; p += 16)
            bits = _mm_or_si128(bits, load(p));
        return _mm_movemask_epi8(bits) == 0;
    }
#endif
    quint64 bits = 0;
    if (size >= 8) {
        bits = qFromUnaligned<quint64>(p + size - 8);
        for (const char *end = p + size - 8; p < end; p += 8)
            bits |= qFromUnaligned<quint64>(p);
    } else {
        for (qsizetype i = 0; i < size; ++i)
            bits |= uchar(p[i]);
    }
    return (bits & 0x8080808080808080ULL) == 0;
}

bool isValidUtf8(QByteArrayView line)
{
    return isAscii(line) || line.isValidUtf8();
}

// A quoted stamp needs no more than this; a freak line of megabytes is not copied whole.
constexpr qsizetype kMaxStampQuote = 256;
// The first lines kept for the hints, and how much of each.
constexpr qsizetype kFirstLines = 12;
constexpr qsizetype kFirstLineLength = 1024;
constexpr qint64 kMSecsPerDay = 24 * 60 * 60 * 1000;

// What a pass reads of a long line: the stamp, and the value of a column when there is one.
LongLine::Fields fieldsRead(const FileLayout &layout, QList<int> indexes)
{
    LongLine::Fields fields;
    fields.separator = layout.separator;
    fields.quoting = layout.quoting();
    fields.indexes = std::move(indexes);
    fields.maxFieldBytes = MeasurementField::maxFieldBytes;
    return fields;
}

QDateTime dateTimeOf(qint64 msecs)
{
    return QDateTime::fromMSecsSinceEpoch(msecs, UtcAndLocal::utc());
}

QTime timeOfDay(qint64 msecs)
{
    const qint64 inDay = msecs % kMSecsPerDay;
    return QTime::fromMSecsSinceStartOfDay(int(inDay < 0 ? inDay + kMSecsPerDay : inDay));
}

// field with its decimal comma made a point; a point in it becomes a comma, which no number
// holds, so that "1.234" is not taken for a fraction.
QByteArrayView withDecimalPoint(QByteArrayView field, QByteArray *scratch)
{
    if (!field.contains(',') && !field.contains('.'))
        return field;
    *scratch = field.toByteArray();
    for (char &c : *scratch) {
        if (c == ',')
            c = '.';
        else if (c == '.')
            c = ',';
    }
    return QByteArrayView(*scratch);
}

// A plain header's label "NAME [UNIT]": label and unit.
void splitLabel(const QString &field, QString *label, QString *unit)
{
    static const QRegularExpression withUnit(QStringLiteral("^(.*?)\\s*\\[(.*)\\]\\s*$"));
    const QRegularExpressionMatch match = withUnit.match(field.trimmed());
    if (match.hasMatch() && !match.captured(1).isEmpty()) {
        *label = match.captured(1);
        *unit = match.captured(2).trimmed();
    } else {
        *label = field.trimmed();
        unit->clear();
    }
}

} // namespace

MeasurementFile::MeasurementFile(const QString &fileName, qsizetype bufferSize)
    : m_file(fileName)
    , m_device(&m_file)
    , m_bufferSize(bufferSize)
    , m_reader(m_device, bufferSize)
    , m_headerRows(headerRowCount)
{ }

MeasurementFile::MeasurementFile(QIODevice *device, qsizetype bufferSize)
    : m_device(device)
    , m_bufferSize(bufferSize)
    , m_reader(m_device, bufferSize)
    , m_headerRows(headerRowCount)
{ }

void MeasurementFile::setLayout(const FileLayout &layout)
{
    m_layout = layout;
    m_splitter = FieldSplitter(layout.separator, layout.quoting());
}

bool MeasurementFile::open()
{
    // Unbuffered: the line reader keeps a buffer of its own.
    return m_device->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void MeasurementFile::readHeader()
{
    m_reader.setFieldsRead(LongLine::Fields());
    m_reader.seek(0);
    m_headerRows = QList<QStringList>(headerRowCount);
    m_findings = Findings();
    QByteArrayView first = m_reader.readLine();
    noteEncoding(first, 1);
    if (first.startsWith(byteOrderMark))
        first = first.sliced(byteOrderMark.size());
    noteLine(first);
    m_dataStartLine = 2;
    if (m_layout.header == FileLayout::Header::Plain)
        readPlainHeader(first);
    else
        readRowsHeader(first);
    m_dataStart = m_reader.pos();
}

void MeasurementFile::readRowsHeader(QByteArrayView first)
{
    const QStringList fields = m_splitter.split(first);
    if (QString::fromUtf8(first).contains(chainSeparator)) {
        for (const QString &field : fields) {
            // Section 0, the text before the first arrow, names the column and is dropped.
            const QStringList sections = field.split(chainSeparator, Qt::KeepEmptyParts);
            for (int row = 1; row <= headerRowCount; ++row)
                m_headerRows[row - 1].append(sections.value(row));
        }
        return;
    }
    m_headerRows[0] = fields;
    for (int row = 2; row <= headerRowCount; ++row) {
        const QByteArrayView line = m_reader.readLine();
        noteEncoding(line, row);
        noteLine(line);
        m_headerRows[row - 1] = m_splitter.split(line);
    }
    m_dataStartLine = headerRowCount + 1;
}

// One line of labels: the labels and units go to rows 6 and 8, where the rows layout has
// them; the station is the layout's.
void MeasurementFile::readPlainHeader(QByteArrayView first)
{
    const QStringList fields = m_splitter.split(first);
    for (QStringList &row : m_headerRows)
        row = QStringList(fields.size());
    m_headerRows[0] = fields;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        splitLabel(fields.at(i), &m_headerRows[5][i], &m_headerRows[7][i]);
        m_headerRows[3][i] = m_layout.station;
    }
}

void MeasurementFile::noteLine(QByteArrayView line)
{
    if (m_findings.firstLines.size() < kFirstLines)
        m_findings.firstLines.append(line.first(qMin(line.size(), kFirstLineLength)).toByteArray());
}

void MeasurementFile::noteEncoding(QByteArrayView line, qint64 lineNumber)
{
    if (m_findings.firstNonUtf8Line == 0 && !isValidUtf8(line))
        m_findings.firstNonUtf8Line = lineNumber;
}

void MeasurementFile::noteUnreadableStamp(QByteArrayView stamp, qint64 lineNumber)
{
    if (m_findings.unreadableStamps++ == 0) {
        m_findings.firstUnreadableLine = lineNumber;
        m_findings.firstUnreadableStamp
            = QString::fromUtf8(stamp.first(qMin(stamp.size(), kMaxStampQuote)));
    }
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

std::unique_ptr<MeasurementFile> MeasurementFile::reopened() const
{
    if (m_device != &m_file || !QFileInfo(m_file).isFile())
        return nullptr;
    auto other = std::make_unique<MeasurementFile>(m_file.fileName(), m_bufferSize);
    other->setLayout(m_layout);
    if (!other->open())
        return nullptr;
    other->readHeader();
    if (other->readFailed() || other->m_dataStart != m_dataStart
        || other->m_headerRows != m_headerRows)
        return nullptr;
    return other;
}

MeasurementFile::TimeRange MeasurementFile::readTimeRange()
{
    // Lines without a valid time stamp take no part: one malformed line must not stand for
    // the start or the end of the data. The same pass notes what the warnings need: stamps
    // that cannot be read and text that is no UTF-8 (the header's findings stay).
    bool found = false;
    startDataPass();
    if (!m_layout.isDefault())
        return readTimeRangeOfLayout();
    MeasurementField::TimeStampReader stamps;
    MeasurementField::TimeStamp earliest;
    MeasurementField::TimeStamp latest;
    qint64 lineNumber = m_dataStartLine;
    for (; !m_reader.atEnd(); ++lineNumber) {
        const QByteArrayView line = m_reader.readLine();
        noteEncoding(line, lineNumber);
        noteLine(line);
        MeasurementField::TimeStamp stamp;
        if (readTimeStamp(&stamps, line, &stamp) == 0) {
            noteUnreadableStamp(
                line.first(findTab(line.begin(), line.end()) - line.begin()), lineNumber);
            continue;
        }
        ++m_findings.readableStamps;
        if (!found || stamp.key() < earliest.key())
            earliest = stamp;
        if (!found || latest.key() < stamp.key())
            latest = stamp;
        found = true;
    }
    m_findings.dataLines = lineNumber - m_dataStartLine;
    if (!found)
        return TimeRange();
    return TimeRange { earliest.dateTime(), latest.dateTime() };
}

// The header's findings stay; the data lines' are found anew.
void MeasurementFile::startDataPass()
{
    Findings findings;
    findings.firstNonUtf8Line
        = m_findings.firstNonUtf8Line < m_dataStartLine ? m_findings.firstNonUtf8Line : 0;
    findings.firstLines = m_findings.firstLines.first(
        qMin<qsizetype>(m_findings.firstLines.size(), m_dataStartLine - 1));
    m_findings = findings;
    m_reader.setFieldsRead(fieldsRead(m_layout, { 0 }));
    m_reader.seek(m_dataStart);
}

MeasurementFile::TimeRange MeasurementFile::readTimeRangeOfLayout()
{
    StampReader stamps(m_layout.timeFormat, m_layout.pattern);
    StampClock clock = m_layout.clock;
    QByteArray scratch;
    bool found = false;
    qint64 earliest = 0;
    qint64 latest = 0;
    qint64 lineNumber = m_dataStartLine;
    for (; !m_reader.atEnd(); ++lineNumber) {
        const QByteArrayView line = m_reader.readLine();
        noteEncoding(line, lineNumber);
        noteLine(line);
        const QByteArrayView field = m_splitter.field(line, 0, &scratch);
        qint64 msecs = 0;
        if (!stamps.read(field, &msecs)) {
            noteUnreadableStamp(field, lineNumber);
            continue;
        }
        ++m_findings.readableStamps;
        earliest = found ? qMin(earliest, msecs) : msecs;
        latest = found ? qMax(latest, msecs) : msecs;
        found = true;
    }
    m_findings.dataLines = lineNumber - m_dataStartLine;
    if (!found)
        return TimeRange();
    return TimeRange { dateTimeOf(clock.wallTime(earliest)), dateTimeOf(clock.wallTime(latest)) };
}

void MeasurementFile::noteBadValue(QByteArrayView field, ColumnCounts *counts)
{
    if (LayoutHints::readsWithDecimalComma(field) && counts->commaValues++ == 0)
        counts->firstCommaValue = QString::fromUtf8(field.first(qMin<qsizetype>(field.size(), 64)));
}

MeasurementFile::ColumnCounts MeasurementFile::readColumn(int k, const MeasurementHandler &handler)
{
    if (!handler)
        return readColumnInto(k, nullptr);
    MeasurementSink sink(handler);
    const ColumnCounts counts = readColumnInto(k, &sink);
    sink.flush();
    return counts;
}

MeasurementFile::ColumnCounts MeasurementFile::readColumnInto(int k, MeasurementSink *sink)
{
    if (!m_layout.isDefault())
        return readColumnOfLayout(k, sink);
    ColumnCounts counts;
    MeasurementField::TimeStampReader stamps;
    m_reader.setFieldsRead(fieldsRead(m_layout, { 0, k + 1 }));
    m_reader.seek(m_dataStart);
    while (!m_reader.atEnd()) {
        const QByteArrayView line = m_reader.readLine();
        ++counts.allCount;
        MeasurementField::TimeStamp stamp;
        const qsizetype stampWidth = readTimeStamp(&stamps, line, &stamp);
        if (stampWidth == 0)
            continue;
        double value = 0;
        int decimals = 0;
        const QByteArrayView field = fieldAt(line, stampWidth, k + 1);
        const bool good = MeasurementField::readValue(field, &value, &decimals);
        counts.maxDecimals = qMax(counts.maxDecimals, decimals);
        if (!good) {
            noteBadValue(field, &counts);
            continue;
        }
        ++counts.goodCount;
        if (sink)
            (*sink)(stamp.time(), value);
    }
    counts.goodShare = counts.allCount == 0
        ? std::numeric_limits<double>::quiet_NaN()
        : double(counts.goodCount) / double(counts.allCount) * 100.0;
    return counts;
}

MeasurementFile::ColumnCounts MeasurementFile::readColumnOfLayout(int k, MeasurementSink *sink)
{
    ColumnCounts counts;
    StampReader stamps(m_layout.timeFormat, m_layout.pattern);
    StampClock clock = m_layout.clock;
    const QList<double> &missing = m_layout.missing;
    QByteArray stampScratch, valueScratch, pointScratch;
    m_reader.setFieldsRead(fieldsRead(m_layout, { 0, k + 1 }));
    m_reader.seek(m_dataStart);
    while (!m_reader.atEnd()) {
        const QByteArrayView line = m_reader.readLine();
        ++counts.allCount;
        qint64 msecs = 0;
        const QByteArrayView stamp = m_splitter.field(line, 0, &stampScratch);
        if (!stamps.read(stamp, &msecs))
            continue;
        // An unquoted stamp lies in the line (a quoted one in its scratch): the value is
        // looked for after it, the rest of the line beginning with the stamp's separator as an
        // empty field 0 would.
        const QByteArrayView rest = stamp.data() == stampScratch.constData()
            ? line
            : line.sliced(stamp.data() + stamp.size() - line.data());
        QByteArrayView field = m_splitter.field(rest, k + 1, &valueScratch);
        if (m_layout.decimalComma)
            field = withDecimalPoint(field, &pointScratch);
        double value = 0;
        int decimals = 0;
        bool good = MeasurementField::readValue(field, &value, &decimals);
        // A missing-value code is unknown, as an empty field is.
        if (good && missing.contains(value)) {
            good = false;
            decimals = 0;
        }
        counts.maxDecimals = qMax(counts.maxDecimals, decimals);
        if (!good) {
            if (!m_layout.decimalComma)
                noteBadValue(field, &counts);
            continue;
        }
        ++counts.goodCount;
        if (sink)
            (*sink)(timeOfDay(clock.isAsWritten() ? msecs : clock.wallTime(msecs)), value);
    }
    counts.goodShare = counts.allCount == 0
        ? std::numeric_limits<double>::quiet_NaN()
        : double(counts.goodCount) / double(counts.allCount) * 100.0;
    return counts;
}
