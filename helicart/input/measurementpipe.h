#ifndef MEASUREMENTPIPE_H
#define MEASUREMENTPIPE_H

#include "measurementsink.h"

#include <QTime>

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Reads streams of measurements (the columns of a file, one after the other) on a thread of its
// own while the calling thread takes them in turn: the reading runs ahead of the counting, into
// the next stream while the caller still works on the one before, by at most a fixed number of
// measurements, so that memory does not grow with the file.
class MeasurementPipe
{
public:
    using Handler = MeasurementSink::Handler;
    using GroupHandler = MeasurementSink::GroupHandler;
    // Produces stream k (k = 0, 1, ...): puts every measurement of the stream into sink, in
    // order. False when no stream after this one is to be produced.
    using Producer = std::function<bool(int stream, MeasurementSink &sink)>;

    static constexpr size_t kBlockSize = 4096;
    // 10 MiB of measurements: a whole column of a year of minute data ahead.
    static constexpr size_t kBlocksInFlight = 160;

    // Starts producing streams 0 to streams - 1 on a thread of its own. Without a thread to be
    // had, each stream is produced on the calling thread when it is taken.
    MeasurementPipe(int streams, Producer produce);
    // Stops producing (what is still produced is dropped) and waits for the thread.
    ~MeasurementPipe();
    MeasurementPipe(const MeasurementPipe &) = delete;
    MeasurementPipe &operator=(const MeasurementPipe &) = delete;

    // Hands every measurement of the next stream to consume, in order, on the calling thread;
    // returns once the stream is done. False (and nothing handed on) when there is no next
    // stream: all are taken, or the producer stopped after the one before. What the producer
    // did for a stream before its end is seen by the caller once take returns. An exception
    // that ended the production (std::bad_alloc) is thrown here, after what came before it.
    bool take(const Handler &consume);
    // The same, with the group of each measurement's line.
    bool take(const GroupHandler &consume);

private:
    using Items = MeasurementSink::Block;
    struct Block
    {
        Items items;
        bool endsStream = false;
    };

    // take, handing each measurement to consume(measurement).
    template <typename Consume, typename Given>
    bool takeStream(const Given &handler, const Consume &consume);
    void produceAll();
    bool produceStream(int k);
    void push(Block block);
    Items freshItems();

    const int m_streams;
    const Producer m_produce;
    int m_taken = 0;
    bool m_onCaller = false;
    bool m_callerMayGoOn = true; // the caller's own production: false once it said stop

    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::condition_variable m_spaceLeft;
    std::deque<Block> m_blocks;
    std::vector<Items> m_spare; // emptied blocks, to be filled again
    bool m_stopping = false;
    bool m_finished = false;
    std::exception_ptr m_failure; // what ended the production early (memory ran out)
    std::thread m_thread;
};

#endif // MEASUREMENTPIPE_H
