#include "measurementpipe.h"

#include <system_error>

MeasurementPipe::MeasurementPipe(int streams, Producer produce)
    : m_streams(streams)
    , m_produce(std::move(produce))
{
    try {
        m_thread = std::thread([this] { produceAll(); });
    } catch (const std::system_error &) {
        m_onCaller = true;
    }
}

MeasurementPipe::~MeasurementPipe()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_spaceLeft.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void MeasurementPipe::produceAll()
{
    std::exception_ptr failure;
    try {
        for (int k = 0; k < m_streams; ++k) {
            if (!produceStream(k))
                break;
        }
    } catch (...) {
        // Handed to the caller, whose thread can tell it; here it would end the program.
        failure = std::current_exception();
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_finished = true;
        m_failure = failure;
    }
    m_arrived.notify_all();
}

// Fills blocks and queues them; the last one of the stream says so.
bool MeasurementPipe::produceStream(int k)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopping)
            return false;
    }
    MeasurementSink sink(
        kBlockSize,
        [this](Items &items) {
            push(Block { std::move(items), false });
            items = freshItems();
        },
        freshItems());
    const bool more = m_produce(k, sink);
    push(Block { sink.release(), true });
    return more;
}

void MeasurementPipe::push(Block block)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_spaceLeft.wait(lock, [this] { return m_stopping || m_blocks.size() < kBlocksInFlight; });
    // Nobody takes any more: the rest of the stream is read to no end, and dropped.
    if (m_stopping)
        return;
    m_blocks.push_back(std::move(block));
    lock.unlock();
    m_arrived.notify_one();
}

// An empty block with room for kBlockSize measurements; one taken before when there is one,
// whose pages are already there.
MeasurementPipe::Items MeasurementPipe::freshItems()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_spare.empty()) {
            Items items = std::move(m_spare.back());
            m_spare.pop_back();
            return items;
        }
    }
    Items items;
    items.reserve(kBlockSize);
    return items;
}

bool MeasurementPipe::take(const Handler &consume)
{
    return takeStream(
        consume, [&consume](const MeasurementSink::Measurement &m) { consume(m.time, m.value); });
}

bool MeasurementPipe::take(const GroupHandler &consume)
{
    return takeStream(consume,
        [&consume](const MeasurementSink::Measurement &m) { consume(m.time, m.value, m.group); });
}

template <typename Consume, typename Given>
bool MeasurementPipe::takeStream(const Given &handler, const Consume &consume)
{
    if (m_taken >= m_streams)
        return false;
    const int k = m_taken++;
    if (m_onCaller) {
        if (!m_callerMayGoOn)
            return false;
        MeasurementSink sink(handler);
        m_callerMayGoOn = m_produce(k, sink);
        sink.flush();
        return true;
    }
    for (;;) {
        Block block;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_arrived.wait(lock, [this] { return !m_blocks.empty() || m_finished; });
            if (m_blocks.empty()) {
                if (m_failure)
                    std::rethrow_exception(m_failure);
                return false;
            }
            block = std::move(m_blocks.front());
            m_blocks.pop_front();
        }
        m_spaceLeft.notify_one();
        for (const MeasurementSink::Measurement &m : block.items)
            consume(m);
        const bool last = block.endsStream;
        block.items.clear();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_spare.size() < kBlocksInFlight)
                m_spare.push_back(std::move(block.items));
        }
        if (last)
            return true;
    }
}
