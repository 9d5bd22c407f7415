#ifndef PNGENCODER_H
#define PNGENCODER_H

#include <QByteArray>
#include <QRgb>

#include <functional>

class QImage;

// PNG bytes of the run's images. The charts and tables are large flat areas of few colours,
// which zlib's fastest level packs about as tightly as its default does while taking a
// fraction of the time, and which gain nothing from row filters: every row is stored
// unfiltered. The files are 8-bit RGBA PNGs whose pixels are those of QImage::Format_ARGB32,
// with the image's resolution, as Qt's own writer gives them.
class PngEncoder
{
public:
    // The size and resolution of the image to write.
    struct Header
    {
        int width = 0;
        int height = 0;
        int dotsPerMeterX = 0; // not written when 0 or less
        int dotsPerMeterY = 0;
    };

    // Row y (from 0 at the top) of the image in Format_ARGB32, width pixels: either filled
    // into scratch (room for width pixels) or found elsewhere; valid until the next call.
    using RowSource = std::function<const QRgb *(int y, QRgb *scratch)>;

    // image as PNG bytes; premultiplied and other formats are converted to Format_ARGB32 as
    // Qt converts them. Empty for an empty image or when libpng fails.
    static QByteArray encode(const QImage &image);
    // An image given row by row, so that it never needs to be held whole. Empty for an empty
    // size or when libpng fails.
    static QByteArray encode(const Header &header, const RowSource &rows);
};

#endif // PNGENCODER_H
