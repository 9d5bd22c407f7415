#ifndef COLUMNREADING_H
#define COLUMNREADING_H

#include "measurementfile.h"
#include "measurementpipe.h"

#include <memory>
#include <vector>

// The parameter columns of a measurement file, read one after the other on a thread of their
// own (see MeasurementPipe) while the caller counts them in turn. A named regular file gets a
// second handle, so that the first column is read while the caller still finds the time range
// on the first one; anything else (a device, a pipe, a file whose header changed in between)
// is read through the caller's handle once the caller starts the reading.
class ColumnReading
{
public:
    // What the reading of a column gave, made on the reading thread before the column's last
    // measurement is handed on.
    struct Column
    {
        MeasurementFile::ColumnCounts counts;
        // The counts of each group, by its number (see Grouping), when the file is grouped.
        std::vector<MeasurementFile::ColumnCounts> groups;
        bool failed = false;
    };

    // Reads columns 0 to count - 1 of file, whose header is read; starts at once when a
    // second handle can be had.
    ColumnReading(MeasurementFile &file, int count);
    ColumnReading(const ColumnReading &) = delete;
    ColumnReading &operator=(const ColumnReading &) = delete;

    // Whether the reading runs on a handle of its own.
    bool ownHandle() const { return m_own != nullptr; }

    // Starts the reading when it has not started yet. From here on the caller's handle is the
    // reading's until it is destroyed.
    void start();

    // Hands every good measurement of the next column to consume, as MeasurementPipe::take
    // (starting the reading first). False when there is no next column.
    bool take(const MeasurementPipe::Handler &consume);
    // The same, with the group of each measurement's line.
    bool take(const MeasurementPipe::GroupHandler &consume);

    // What reading column k gave; complete once take has returned for it.
    const Column &column(int k) const { return m_columns[size_t(k)]; }

private:
    MeasurementFile &m_file;
    const int m_count;
    std::vector<Column> m_columns;
    std::unique_ptr<MeasurementFile> m_own;
    // Declared last: the reading stops (see MeasurementPipe) before what it writes to goes.
    std::unique_ptr<MeasurementPipe> m_pipe;
};

#endif // COLUMNREADING_H
