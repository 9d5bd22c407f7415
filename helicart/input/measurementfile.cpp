#include "measurementfile.h"

#include "layouthints.h"
#include "linefields.h"
#include "measurementfield.h"
#include "stampreader.h"
#include "utcandlocal.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTime>

#include <limits>

namespace {

const QLatin1String chainSeparator(" -> ");
const QByteArrayView byteOrderMark("\xEF\xBB\xBF");

// A quoted stamp needs no more than this; a freak line of megabytes is not copied whole.
constexpr qsizetype kMaxStampQuote = 256;
// The first lines kept for the hints, and how much of each.
constexpr qsizetype kFirstLines = 12;
constexpr qsizetype kFirstLineLength = 1024;
constexpr qint64 kMSecsPerDay = 24 * 60 * 60 * 1000;

QDateTime dateTimeOf(qint64 msecs)
{
    return QDateTime::fromMSecsSinceEpoch(msecs, UtcAndLocal::utc());
}

QTime timeOfDay(qint64 msecs)
{
    const qint64 inDay = msecs % kMSecsPerDay;
    return QTime::fromMSecsSinceStartOfDay(int(inDay < 0 ? inDay + kMSecsPerDay : inDay));
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

void MeasurementFile::setSelection(const Period &period, Grouping::Kind grouping)
{
    m_period = period;
    m_grouping = grouping;
    m_selecting = !period.isWhole() || grouping != Grouping::Kind::None;
}

MeasurementFile::TimeRange MeasurementFile::GroupSpan::range() const
{
    if (lines == 0)
        return TimeRange();
    return TimeRange { dateTimeOf(earliest), dateTimeOf(latest) };
}

void MeasurementFile::noteGroupStamp(int group, qint64 msecs)
{
    if (m_grouping == Grouping::Kind::None)
        return;
    if (size_t(group) >= m_groupSpans.size())
        m_groupSpans.resize(size_t(group) + 1);
    GroupSpan &span = m_groupSpans[size_t(group)];
    span.earliest = span.lines == 0 ? msecs : qMin(span.earliest, msecs);
    span.latest = span.lines == 0 ? msecs : qMax(span.latest, msecs);
    ++span.lines;
}

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
    if (m_findings.firstNonUtf8Line == 0 && !LineFields::isValidUtf8(line))
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
    other->setSelection(m_period, m_grouping);
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
        if (LineFields::readTimeStamp(&stamps, line, &stamp) == 0) {
            noteUnreadableStamp(
                line.first(LineFields::findTab(line.begin(), line.end()) - line.begin()),
                lineNumber);
            continue;
        }
        ++m_findings.readableStamps;
        if (m_selecting) {
            qint64 at = 0;
            int group = 0;
            if (!selectStamp(stamp, &at, &group)) {
                ++m_findings.leftOut;
                continue;
            }
            noteGroupStamp(group, at);
        }
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
    m_groupSpans.clear();
    startPass({ 0 });
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
        if (m_selecting) {
            const qint64 wall = clock.wallTime(msecs);
            int group = 0;
            if (!selectWall(wall, &group)) {
                ++m_findings.leftOut;
                continue;
            }
            noteGroupStamp(group, wall);
        }
        earliest = found ? qMin(earliest, msecs) : msecs;
        latest = found ? qMax(latest, msecs) : msecs;
        found = true;
    }
    m_findings.dataLines = lineNumber - m_dataStartLine;
    if (!found)
        return TimeRange();
    return TimeRange { dateTimeOf(clock.wallTime(earliest)), dateTimeOf(clock.wallTime(latest)) };
}

void MeasurementFile::noteBadValue(
    QByteArrayView field, ColumnCounts *counts, ColumnCounts *inGroup)
{
    if (!LayoutHints::readsWithDecimalComma(field))
        return;
    for (ColumnCounts *c : { counts, inGroup }) {
        if (c && c->commaValues++ == 0)
            c->firstCommaValue = QString::fromUtf8(field.first(qMin<qsizetype>(field.size(), 64)));
    }
}

MeasurementFile::ColumnCounts *MeasurementFile::countLine(
    ColumnCounts *counts, std::vector<ColumnCounts> *groups, int group) const
{
    ++counts->allCount;
    if (!groups || m_grouping == Grouping::Kind::None)
        return nullptr;
    if (size_t(group) >= groups->size())
        groups->resize(size_t(group) + 1);
    ColumnCounts *inGroup = &(*groups)[size_t(group)];
    ++inGroup->allCount;
    return inGroup;
}

bool MeasurementFile::countValue(bool good, int decimals, QByteArrayView field, bool noteComma,
    ColumnCounts *counts, ColumnCounts *inGroup)
{
    for (ColumnCounts *c : { counts, inGroup }) {
        if (!c)
            continue;
        c->maxDecimals = qMax(c->maxDecimals, decimals);
        c->goodCount += good ? 1 : 0;
    }
    if (!good && noteComma)
        noteBadValue(field, counts, inGroup);
    return good;
}

void MeasurementFile::finishCounts(ColumnCounts *counts, std::vector<ColumnCounts> *groups)
{
    const auto finish = [](ColumnCounts *c) {
        c->goodShare = c->allCount == 0 ? std::numeric_limits<double>::quiet_NaN()
                                        : double(c->goodCount) / double(c->allCount) * 100.0;
    };
    finish(counts);
    if (groups) {
        for (ColumnCounts &c : *groups)
            finish(&c);
    }
}

// readColumnInto on the program's own layout, line by line through the period and the groups.
MeasurementFile::ColumnCounts MeasurementFile::readSelectedColumn(
    int k, MeasurementSink *sink, std::vector<ColumnCounts> *groups)
{
    ColumnCounts counts;
    MeasurementField::TimeStampReader stamps;
    startPass({ 0, k + 1 });
    while (!m_reader.atEnd()) {
        const QByteArrayView line = m_reader.readLine();
        MeasurementField::TimeStamp stamp;
        const qsizetype stampWidth = LineFields::readTimeStamp(&stamps, line, &stamp);
        // A line without a time stamp is in no period that can be told: counted, as ever.
        if (stampWidth == 0) {
            ++counts.allCount;
            continue;
        }
        qint64 at = 0;
        int group = 0;
        if (!selectStamp(stamp, &at, &group))
            continue;
        ColumnCounts *inGroup = countLine(&counts, groups, group);
        double value = 0;
        int decimals = 0;
        const QByteArrayView field = LineFields::fieldAt(line, stampWidth, k + 1);
        const bool good = MeasurementField::readValue(field, &value, &decimals);
        if (!countValue(good, decimals, field, true, &counts, inGroup))
            continue;
        if (sink)
            (*sink)(stamp.time(), value, group);
    }
    finishCounts(&counts, groups);
    return counts;
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

MeasurementFile::ColumnCounts MeasurementFile::readColumnInto(
    int k, MeasurementSink *sink, std::vector<ColumnCounts> *groups)
{
    if (groups)
        groups->clear();
    if (!m_layout.isDefault())
        return readColumnOfLayout(k, sink, groups);
    if (m_selecting)
        return readSelectedColumn(k, sink, groups);
    ColumnCounts counts;
    MeasurementField::TimeStampReader stamps;
    startPass({ 0, k + 1 });
    while (!m_reader.atEnd()) {
        const QByteArrayView line = m_reader.readLine();
        ++counts.allCount;
        MeasurementField::TimeStamp stamp;
        const qsizetype stampWidth = LineFields::readTimeStamp(&stamps, line, &stamp);
        if (stampWidth == 0)
            continue;
        double value = 0;
        int decimals = 0;
        const QByteArrayView field = LineFields::fieldAt(line, stampWidth, k + 1);
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
    finishCounts(&counts, groups);
    return counts;
}

MeasurementFile::ColumnCounts MeasurementFile::readColumnOfLayout(
    int k, MeasurementSink *sink, std::vector<ColumnCounts> *groups)
{
    ColumnCounts counts;
    StampReader stamps(m_layout.timeFormat, m_layout.pattern);
    StampClock clock = m_layout.clock;
    const QList<double> &missing = m_layout.missing;
    QByteArray stampScratch, valueScratch, pointScratch;
    startPass({ 0, k + 1 });
    while (!m_reader.atEnd()) {
        const QByteArrayView line = m_reader.readLine();
        qint64 msecs = 0;
        const QByteArrayView stamp = m_splitter.field(line, 0, &stampScratch);
        if (!stamps.read(stamp, &msecs)) {
            ++counts.allCount;
            continue;
        }
        const qint64 wall = clock.isAsWritten() ? msecs : clock.wallTime(msecs);
        int group = 0;
        if (m_selecting && !selectWall(wall, &group))
            continue;
        ColumnCounts *inGroup = countLine(&counts, groups, group);
        // An unquoted stamp lies in the line (a quoted one in its scratch): the value is
        // looked for after it, the rest of the line beginning with the stamp's separator as an
        // empty field 0 would.
        const QByteArrayView rest = stamp.data() == stampScratch.constData()
            ? line
            : line.sliced(stamp.data() + stamp.size() - line.data());
        QByteArrayView field = m_splitter.field(rest, k + 1, &valueScratch);
        if (m_layout.decimalComma)
            field = LineFields::withDecimalPoint(field, &pointScratch);
        double value = 0;
        int decimals = 0;
        bool good = MeasurementField::readValue(field, &value, &decimals);
        // A missing-value code is unknown, as an empty field is.
        if (good && missing.contains(value)) {
            good = false;
            decimals = 0;
        }
        if (!countValue(good, decimals, field, !m_layout.decimalComma, &counts, inGroup))
            continue;
        if (sink)
            (*sink)(timeOfDay(wall), value, group);
    }
    finishCounts(&counts, groups);
    return counts;
}
