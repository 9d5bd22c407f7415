#include "columnreading.h"

#include <algorithm>

ColumnReading::ColumnReading(MeasurementFile &file, int count)
    : m_file(file)
    , m_count(std::max(count, 0))
    , m_columns(size_t(m_count))
    , m_own(file.reopened())
{
    if (m_own)
        start();
}

void ColumnReading::start()
{
    if (m_pipe)
        return;
    MeasurementFile *source = m_own ? m_own.get() : &m_file;
    m_pipe
        = std::make_unique<MeasurementPipe>(m_count, [this, source](int k, MeasurementSink &sink) {
              Column &column = m_columns[size_t(k)];
              column.counts = source->readColumnInto(k, &sink, &column.groups);
              column.failed = source->readFailed();
              return !column.failed;
          });
}

bool ColumnReading::take(const MeasurementPipe::Handler &consume)
{
    start();
    return m_pipe->take(consume);
}

bool ColumnReading::take(const MeasurementPipe::GroupHandler &consume)
{
    start();
    return m_pipe->take(consume);
}
