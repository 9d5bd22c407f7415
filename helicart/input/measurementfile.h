#ifndef MEASUREMENTFILE_H
#define MEASUREMENTFILE_H

#include "fieldsplitter.h"
#include "filelayout.h"
#include "grouping.h"
#include "linefields.h"
#include "linereader.h"
#include "measurementfield.h"
#include "measurementsink.h"
#include "period.h"

#include <QDateTime>
#include <QFile>
#include <QList>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// The input of the program: a tab-separated UTF-8 text file with a header that describes the
// columns, then one data line per time stamp. Column 0 holds the time stamp, parameter
// column k is field k+1. The header comes in one of two layouts:
// - chained: the first line contains " -> "; each of its fields reads
//   "X -> row1 -> row2 -> ... -> row8" and gives one entry to each of the eight header rows;
// - rows: the first eight lines are the eight header rows.
// The data lines are read once for the time range and once more for every parameter column;
// only the current line is held in memory. Files of other layouts (FileLayout) are read on a
// path of their own: other separators and quoting, a plain header of labels, other stamps,
// decimal commas, missing-value codes, and stamps turned into the clock of a zone or the sun.
class MeasurementFile
{
public:
    static constexpr int headerRowCount = 8;

    struct TimeRange
    {
        // Both invalid when no data line has a valid time stamp.
        QDateTime earliestTime;
        QDateTime latestTime;
    };

    struct ColumnCounts
    {
        int allCount = 0; // every data line
        int goodCount = 0; // valid time stamp and a value that reads as a finite number
        double goodShare = 0; // goodCount / allCount * 100; NaN without data lines
        int maxDecimals = 0; // most digits after the point among lines with a valid time stamp
        // Values that are no number but would read with a decimal comma (none are counted
        // when the layout has one), and the first of them.
        int commaValues = 0;
        QString firstCommaValue;
    };

    // What the reader noticed on its way through the file, for the program's warnings:
    // readHeader looks at the header lines, readTimeRange at the data lines.
    struct Findings
    {
        qint64 dataLines = 0;
        qint64 readableStamps = 0; // data lines with a valid time stamp
        qint64 unreadableStamps = 0; // the other data lines, empty ones too
        qint64 firstUnreadableLine = 0; // line number in the file (from 1); 0: none
        QString firstUnreadableStamp; // field 0 of that line
        qint64 firstNonUtf8Line = 0; // first line that is not valid UTF-8; 0: none
        QByteArrayList firstLines; // the first lines of the file, header included, for hints
        qint64 leftOut = 0; // lines with a valid time stamp outside the period
    };

    // The lines of one group (see Grouping) within the period, and their time range.
    struct GroupSpan
    {
        qint64 lines = 0;
        qint64 earliest = 0; // wall-clock moments (see Period)
        qint64 latest = 0;
        TimeRange range() const;
    };

    // Receives the time of day and the value of each good line, in file order.
    using MeasurementHandler = std::function<void(const QTime &time, double value)>;

    explicit MeasurementFile(
        const QString &fileName, qsizetype bufferSize = LineReader::defaultBufferSize);
    // Reads device instead of a named file; the device stays the caller's.
    explicit MeasurementFile(
        QIODevice *device, qsizetype bufferSize = LineReader::defaultBufferSize);
    Q_DISABLE_COPY(MeasurementFile)

    // The layout the file is read with (the program's own by default); set before readHeader.
    void setLayout(const FileLayout &layout);
    const FileLayout &layout() const { return m_layout; }
    // The lines that are data of the run (those in period; the others are passed over as if
    // they were not in the file), and the groups they are parted into; set before the passes.
    void setSelection(const Period &period, Grouping::Kind grouping);
    const Period &period() const { return m_period; }
    Grouping::Kind grouping() const { return m_grouping; }

    // Opens the file read-only; false when it is missing, unreadable or a folder.
    bool open();

    // True once reading the opened file has failed (an error of the disk or the network, or a
    // file that cannot be read again from its start, such as a pipe). Each pass then ends at
    // the failure with what it read so far, which is not the whole file: the caller checks
    // this after every pass.
    bool readFailed() const { return m_reader.failed(); }

    // Reads the header and remembers where the data lines start. Header lines missing at
    // the end of the file read as empty.
    void readHeader();

    // The eight header rows, row r (1 to 8) at index r - 1, each a list indexed by column.
    const QList<QStringList> &headerRows() const { return m_headerRows; }
    // Entry column of header row row (1 to 8); an empty string where the row is shorter.
    QString headerEntry(int row, int column) const;

    // Entries of header row 6 minus the time stamp column.
    int parameterCount() const;
    // The texts of parameter column k: row 4 (or the layout's station), row 6 and row 8 of
    // the header.
    QString stationText(int k) const
    {
        return m_layout.station.isEmpty() ? headerEntry(4, k + 1) : m_layout.station;
    }
    QString label(int k) const { return headerEntry(6, k + 1); }
    QString unit(int k) const { return headerEntry(8, k + 1); }

    // File position of the first data line.
    qint64 dataStart() const { return m_dataStart; }

    // Another handle on the same named regular file, with its header read, for reading it
    // at the same time as this one; null for a device, a file that is not regular or cannot
    // be opened again, and when the header read now differs from this one's.
    std::unique_ptr<MeasurementFile> reopened() const;

    // Earliest and latest valid time stamp of the data lines.
    TimeRange readTimeRange();

    // What readHeader and readTimeRange have seen so far.
    const Findings &findings() const { return m_findings; }
    // What readTimeRange found of each group, by the group's number; empty when not grouped.
    const std::vector<GroupSpan> &groupSpans() const { return m_groupSpans; }

    // Reads parameter column k over all data lines, hands each good measurement to handler
    // (which may be empty, when only the counts matter) and returns the counts.
    ColumnCounts readColumn(int k, const MeasurementHandler &handler);
    // The same, with the good measurements put into sink (none when it is null), which is left
    // holding the last block that is not full. With a grouping, each measurement carries its
    // group and *groups (when given) gets the counts of each group by its number.
    ColumnCounts readColumnInto(
        int k, MeasurementSink *sink, std::vector<ColumnCounts> *groups = nullptr);

private:
    // Goes to the first data line; of a long line only the fields of indexes are kept.
    void startPass(QList<int> indexes)
    {
        m_reader.setFieldsRead(LineFields::passFields(m_layout, std::move(indexes)));
        m_reader.seek(m_dataStart);
    }
    void readRowsHeader(QByteArrayView first);
    void readPlainHeader(QByteArrayView first);
    void startDataPass();
    TimeRange readTimeRangeOfLayout();
    ColumnCounts readColumnOfLayout(
        int k, MeasurementSink *sink, std::vector<ColumnCounts> *groups);
    ColumnCounts readSelectedColumn(
        int k, MeasurementSink *sink, std::vector<ColumnCounts> *groups);
    // Whether a line of the moment msecs in month is in the period; its group into *group.
    bool select(qint64 msecs, int year, int month, int *group) const
    {
        if (!m_period.contains(msecs, month))
            return false;
        *group = m_grouping == Grouping::Kind::None ? 0 : Grouping::index(m_grouping, year, month);
        return *group >= 0;
    }
    // select for a time stamp of the program's own layout; its moment into *at.
    bool selectStamp(const MeasurementField::TimeStamp &stamp, qint64 *at, int *group) const
    {
        *at = Period::moment(stamp.year, stamp.month, stamp.day, stamp.hour * 60 + stamp.minute);
        return select(*at, stamp.year, stamp.month, group);
    }
    // select for a wall-clock moment of another layout's stamp.
    bool selectWall(qint64 wall, int *group) const
    {
        const QDate date = Period::dateOf(wall);
        return select(wall, date.year(), date.month(), group);
    }
    void noteGroupStamp(int group, qint64 msecs);
    void noteLine(QByteArrayView line);
    void noteEncoding(QByteArrayView line, qint64 lineNumber);
    void noteUnreadableStamp(QByteArrayView stamp, qint64 lineNumber);
    static void noteBadValue(
        QByteArrayView field, ColumnCounts *counts, ColumnCounts *inGroup = nullptr);
    // Counts a line of the period in *counts and in its group's counts in *groups (made when
    // there are none yet); those of the group, null when not grouped.
    ColumnCounts *countLine(
        ColumnCounts *counts, std::vector<ColumnCounts> *groups, int group) const;
    // Counts a line's value, good or not, with its decimals in counts and inGroup (when not
    // null); a bad one is noted for the decimal comma's hint when noteComma. Returns good.
    static bool countValue(bool good, int decimals, QByteArrayView field, bool noteComma,
        ColumnCounts *counts, ColumnCounts *inGroup);
    // The good shares of counts and of each group.
    static void finishCounts(ColumnCounts *counts, std::vector<ColumnCounts> *groups);

    FileLayout m_layout;
    FieldSplitter m_splitter { '\t', false };
    QFile m_file; // the named file; unused when a device was given
    QIODevice *m_device;
    qsizetype m_bufferSize;
    LineReader m_reader;
    QList<QStringList> m_headerRows;
    qint64 m_dataStart = 0;
    qint64 m_dataStartLine = 1; // line number of the first data line
    Findings m_findings;
    Period m_period;
    Grouping::Kind m_grouping = Grouping::Kind::None;
    bool m_selecting = false; // a period or a grouping: the lines are looked at one by one
    std::vector<GroupSpan> m_groupSpans;
};

#endif // MEASUREMENTFILE_H
