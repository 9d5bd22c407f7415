#ifndef MEASUREMENTPIPE_H
#define MEASUREMENTPIPE_H

#include <QTime>

#include <functional>
#include <vector>

// Reads measurements on a thread of its own while the calling thread hands them on: reading
// the lines and counting the values run side by side, in file order, with a few blocks of
// measurements in between, so that memory does not grow with the file.
class MeasurementPipe
{
public:
    using Handler = std::function<void(const QTime &time, double value)>;
    // Calls its handler for every measurement, in order.
    using Producer = std::function<void(const Handler &handler)>;

    struct Measurement
    {
        QTime time;
        double value;
    };

    static constexpr size_t kBlockSize = 4096;
    static constexpr size_t kBlocksInFlight = 4;

    // Runs produce on a thread of its own and consume on the calling one, for every
    // measurement in the order produce gives them; returns once both are done. Without a
    // thread to be had, produce runs on the calling thread and hands each measurement on at
    // once.
    static void run(const Producer &produce, const Handler &consume);
};

#endif // MEASUREMENTPIPE_H
