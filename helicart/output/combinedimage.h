#ifndef COMBINEDIMAGE_H
#define COMBINEDIMAGE_H

#include "pngencoder.h"

#include <QImage>
#include <QList>

// The image of all roses of a run, painted one over the other. The first chart paints its rose
// and legend; each later one paints its rose over the same place and widens the image by its
// own legend on the right. Handing every chart the whole image, ever wider, would cost time
// and memory growing with the square of the column count; so a chart is handed only the
// ground, the part as wide as the first chart's image, and what it adds to the right of that
// is kept as a strip of its own. The image is put together row by row only when it is
// written.
class CombinedImage
{
public:
    // The image the next chart paints over: null before the first chart, then the ground.
    QImage ground() const { return m_ground; }

    // Takes what a chart painted over ground(): its left part, as wide as the ground, becomes
    // the ground, the rest a strip. An image of another height, or narrower than the ground,
    // replaces the whole image: a chart that paints elsewhere than over the ground and to its
    // right is kept whole.
    void add(const QImage &painted);

    // Marks the image as missing a rose (one could not be painted): it is not to be written.
    void spoil() { m_spoilt = true; }
    bool isSpoilt() const { return m_spoilt; }

    QSize size() const;
    bool isNull() const { return m_ground.isNull(); }

    // The size and resolution for the encoder, and row y, the ground's part followed by every
    // strip's in Format_ARGB32 (scratch has room for a row).
    PngEncoder::Header header() const;
    const QRgb *row(int y, QRgb *scratch) const;

    // The whole image at once.
    QImage toImage() const;

private:
    QImage m_ground;
    QList<QImage> m_strips;
    bool m_spoilt = false;
};

#endif // COMBINEDIMAGE_H
