#include "memoryheadroom.h"

#include <sys/mman.h>

bool MemoryHeadroom::available(qint64 bytes)
{
    if (bytes <= 0)
        return true;
    // A mapping without access counts against the limit of the address space as any other,
    // but takes no memory: mapped and given back at once, it tells whether the room is there.
    void *room = mmap(
        nullptr, size_t(bytes), PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (room == MAP_FAILED)
        return false;
    munmap(room, size_t(bytes));
    return true;
}

bool MemoryHeadroom::availableFor(const QSize &size, int copies)
{
    const qint64 image = qint64(qMax(size.width(), 0)) * qMax(size.height(), 0) * 4;
    return available(libraryRoom + image * copies);
}
