#include "measurementsink.h"

#include <algorithm>
#include <utility>

MeasurementSink::MeasurementSink(size_t blockSize, BlockHandler handOn, Block first)
    : m_blockSize(std::max<size_t>(blockSize, 1))
    , m_handOn(std::move(handOn))
    , m_block(std::move(first))
{ }

MeasurementSink::MeasurementSink(Handler handler)
    : MeasurementSink(1024, [handler = std::move(handler)](Block &block) {
        if (handler) {
            for (const Measurement &m : block)
                handler(m.time, m.value);
        }
        block.clear();
    })
{ }

MeasurementSink::MeasurementSink(GroupHandler handler)
    : MeasurementSink(1024, [handler = std::move(handler)](Block &block) {
        if (handler) {
            for (const Measurement &m : block)
                handler(m.time, m.value, m.group);
        }
        block.clear();
    })
{ }

void MeasurementSink::flush()
{
    if (!m_block.empty())
        m_handOn(m_block);
}

MeasurementSink::Block MeasurementSink::release()
{
    return std::exchange(m_block, Block());
}
