// Qt's raster painter splits every fill of more than about a hundred spans into parts of 64
// spans, hands each part to the global thread pool as a function and waits for all of them.
// Qt converts and smooth-scales large images the same way. In a run of this program the other
// core is busy already (reading the next column, encoding the images before), so each
// hand-over only costs two thread wake-ups: some 14 000 context switches for a year of minute
// data, 100 columns took twice as long.
//
// This definition of QThreadPool::start for functions takes the place of Qt's own in the
// program: the dynamic linker resolves Qt's calls to the executable's definition first. For
// the global pool it runs the part at once, on the thread that hands it over. Qt still makes
// the same parts in the same way (a gradient is computed afresh where a part begins), so every
// pixel is the one Qt's pool threads would compute; the parts of one fill cover separate
// pixels, and their order does not matter. Qt's painting and image code, the only callers in
// this program, hand over parts and then wait for them, so running them at once cannot stall
// a caller. Other pools get Qt's behaviour, through the overload for runnables.
//
// Only the program is linked with it: a host that loads the chart plug-in keeps Qt's pool.

#include <QRunnable>
#include <QThreadPool>

#include <functional>
#include <utility>

void QThreadPool::start(std::function<void()> functionToRun, int priority)
{
    if (this != QThreadPool::globalInstance()) {
        start(QRunnable::create(std::move(functionToRun)), priority);
        return;
    }
    functionToRun();
}
