#include "measurementpipe.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

using Block = std::vector<MeasurementPipe::Measurement>;

// Blocks from the reading thread to the calling one; an empty block ends the stream. The
// reader waits while kBlocksInFlight blocks are queued.
class BlockQueue
{
public:
    void push(Block block)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_spaceLeft.wait(
            lock, [this] { return m_blocks.size() < MeasurementPipe::kBlocksInFlight; });
        m_blocks.push_back(std::move(block));
        m_arrived.notify_one();
    }

    Block pop()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_arrived.wait(lock, [this] { return !m_blocks.empty(); });
        Block block = std::move(m_blocks.front());
        m_blocks.pop_front();
        m_spaceLeft.notify_one();
        return block;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::condition_variable m_spaceLeft;
    std::deque<Block> m_blocks;
};

// The reading side: fills blocks and queues them, then the empty block.
void produceBlocks(const MeasurementPipe::Producer &produce, BlockQueue &queue)
{
    Block block;
    block.reserve(MeasurementPipe::kBlockSize);
    produce([&block, &queue](const QTime &time, double value) {
        block.push_back({ time, value });
        if (block.size() == MeasurementPipe::kBlockSize) {
            queue.push(std::move(block));
            block = Block();
            block.reserve(MeasurementPipe::kBlockSize);
        }
    });
    if (!block.empty())
        queue.push(std::move(block));
    queue.push(Block());
}

} // namespace

void MeasurementPipe::run(const Producer &produce, const Handler &consume)
{
    BlockQueue queue;
    std::thread reader;
    try {
        reader = std::thread([&produce, &queue] { produceBlocks(produce, queue); });
    } catch (const std::system_error &) {
        produce(consume);
        return;
    }
    for (Block block = queue.pop(); !block.empty(); block = queue.pop()) {
        for (const Measurement &m : block)
            consume(m.time, m.value);
    }
    reader.join();
}
