#ifndef POOLTHREAD_H
#define POOLTHREAD_H

#include <functional>

// Runs the run on a thread of Qt's global thread pool. Qt's raster painter splits every fill
// of many spans (an antialiased shape is one) into parts for the threads of that pool, unless
// it paints on one of them already; no setting turns this off (a pool limited to one thread
// still gets the parts handed over, one after another). A chart is thousands of small fills,
// and handing each one's parts over and waiting for them costs more than the parts save: on
// two busy cores about a fifth of the run's processor time. On a pool thread every fill is
// painted where it is asked for. The calling thread only waits, so everything the work does,
// every call into a chart included, still happens on one thread and in its order.
class PoolThread
{
public:
    // The result of work, run on a pool thread: on the calling thread when that is a pool
    // thread already or when the pool has no thread free. An exception that work throws is
    // thrown on to the caller. While work runs, its thread does not count against the pool's
    // limit, so that work can wait for tasks it gives the same pool (the files it writes).
    static int run(const std::function<int()> &work);

    // Whether the calling thread is one of the global pool's.
    static bool isPoolThread();
};

#endif // POOLTHREAD_H
