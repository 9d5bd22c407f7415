#ifndef MEASUREMENTSINK_H
#define MEASUREMENTSINK_H

#include <QTime>

#include <cstddef>
#include <functional>
#include <vector>

// Where a reading puts the good measurements of a column. They are gathered into a block that
// is handed on once full, so that the reading's inner loop makes no call through a pointer
// for each measurement.
class MeasurementSink
{
public:
    struct Measurement
    {
        QTime time;
        int group; // fills what would be padding: a measurement stays 16 bytes
        double value;
    };
    using Block = std::vector<Measurement>;
    // Takes the measurements of block and leaves it empty; it may give it capacity for the
    // next block.
    using BlockHandler = std::function<void(Block &block)>;
    using Handler = std::function<void(const QTime &time, double value)>;
    // The same, with the group of the measurement's line (see Grouping).
    using GroupHandler = std::function<void(const QTime &time, double value, int group)>;

    // Blocks of blockSize measurements (at least one) for handOn; the first one gathered into
    // first.
    MeasurementSink(size_t blockSize, BlockHandler handOn, Block first = Block());
    // Hands the measurements to handler one by one (a block at a time).
    explicit MeasurementSink(Handler handler);
    explicit MeasurementSink(GroupHandler handler);
    MeasurementSink(const MeasurementSink &) = delete;
    MeasurementSink &operator=(const MeasurementSink &) = delete;

    void operator()(const QTime &time, double value)
    {
        // Field by field: a whole measurement put together first and then copied stalls on
        // every line.
        Measurement &m = m_block.emplace_back();
        m.time = time;
        m.value = value;
        if (m_block.size() >= m_blockSize)
            m_handOn(m_block);
    }

    // A measurement of a line of group.
    void operator()(const QTime &time, double value, int group)
    {
        Measurement &m = m_block.emplace_back();
        m.time = time;
        m.group = group;
        m.value = value;
        if (m_block.size() >= m_blockSize)
            m_handOn(m_block);
    }

    // Hands on what is gathered since the last full block, when there is something.
    void flush();
    // What is gathered since the last full block, taken out of the sink.
    Block release();

private:
    const size_t m_blockSize;
    const BlockHandler m_handOn;
    Block m_block;
};

#endif // MEASUREMENTSINK_H
