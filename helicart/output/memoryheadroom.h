#ifndef MEMORYHEADROOM_H
#define MEMORYHEADROOM_H

#include <QSize>
#include <QtGlobal>

// Under a limit on the address space (ulimit -v, a batch system's memory limit) the libraries
// that lay out text, paint and encode do not all survive an allocation that fails: the font
// configuration and the painter's stroker crash, a font lock may stay taken. So the work of an
// image starts only when the memory it needs is there, with room beside it for those libraries;
// what cannot start is told and left out, as an image that could not be had.
class MemoryHeadroom
{
public:
    // Room the libraries may take while an image is painted and encoded.
    static constexpr qint64 libraryRoom = 10 * 1024 * 1024;

    // Whether bytes more of address space can be had now. Nothing is kept: the answer holds
    // until the next allocation.
    static bool available(qint64 bytes);

    // Whether copies images of size (32 bits a pixel) and the libraries' room can be had.
    static bool availableFor(const QSize &size, int copies);
};

#endif // MEMORYHEADROOM_H
