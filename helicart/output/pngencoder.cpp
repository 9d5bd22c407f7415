#include "pngencoder.h"

#include <QImage>

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

namespace {

// Unfiltered rows at zlib's fastest level: see the class comment.
constexpr int kCompressionLevel = 1;

void appendBytes(png_structp png, png_bytep data, size_t length)
{
    static_cast<QByteArray *>(png_get_io_ptr(png))
        ->append(reinterpret_cast<const char *>(data), qsizetype(length));
}

void noFlush(png_structp) { }

// Errors and warnings stay off the error stream, which belongs to the run's own messages: an
// error is told by the empty result, and no warning is expected for what is written here.
[[noreturn]] void jumpBack(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) { }

// Format_ARGB32 holds a pixel as one 32-bit word 0xAARRGGBB: in memory B, G, R, A on a
// little-endian machine, A, R, G, B on a big-endian one. libpng is told which.
void setPixelOrder(png_structp png)
{
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN)
        png_set_bgr(png);
    else
        png_set_swap_alpha(png);
}

// The libpng steps, kept free of objects with destructors: libpng reports an error by a long
// jump back to the setjmp of the step. Each is false when that happened.

// The header and the settings; libpng checks the size here.
bool startPng(png_structp png, png_infop info, const PngEncoder::Header &header, QByteArray *out)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, out, appendBytes, noFlush);
    png_set_IHDR(png, info, png_uint_32(header.width), png_uint_32(header.height), 8,
        PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
        PNG_FILTER_TYPE_DEFAULT);
    if (header.dotsPerMeterX > 0 && header.dotsPerMeterY > 0) {
        png_set_pHYs(png, info, png_uint_32(header.dotsPerMeterX),
            png_uint_32(header.dotsPerMeterY), PNG_RESOLUTION_METER);
    }
    png_set_compression_level(png, kCompressionLevel);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_write_info(png, info);
    setPixelOrder(png);
    return true;
}

bool writeRows(
    png_structp png, png_infop info, int height, const PngEncoder::RowSource &rows, QRgb *scratch)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    for (int y = 0; y < height; ++y)
        png_write_row(png, reinterpret_cast<png_const_bytep>(rows(y, scratch)));
    png_write_end(png, info);
    return true;
}

} // namespace

QByteArray PngEncoder::encode(const QImage &image)
{
    if (image.isNull())
        return QByteArray();
    Header header { image.width(), image.height(), image.dotsPerMeterX(), image.dotsPerMeterY() };
    if (image.format() == QImage::Format_ARGB32) {
        return encode(header, [&image](int y, QRgb *) {
            return reinterpret_cast<const QRgb *>(image.constScanLine(y));
        });
    }
    // Premultiplied rows are turned back one at a time, by Qt's own conversion; other
    // formats are converted whole.
    if (image.format() == QImage::Format_ARGB32_Premultiplied) {
        return encode(header, [&image](int y, QRgb *scratch) {
            const QImage row = QImage(image.constScanLine(y), image.width(), 1,
                image.bytesPerLine(), QImage::Format_ARGB32_Premultiplied)
                                   .convertToFormat(QImage::Format_ARGB32);
            std::memcpy(scratch, row.constBits(), size_t(image.width()) * sizeof(QRgb));
            return static_cast<const QRgb *>(scratch);
        });
    }
    return encode(image.convertToFormat(QImage::Format_ARGB32));
}

QByteArray PngEncoder::encode(const Header &header, const RowSource &rows)
{
    if (header.width <= 0 || header.height <= 0)
        return QByteArray();
    png_structp png
        = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, jumpBack, ignoreWarning);
    if (!png)
        return QByteArray();
    png_infop info = png_create_info_struct(png);
    QByteArray out;
    bool written = info && startPng(png, info, header, &out);
    if (written) {
        std::vector<QRgb> scratch(size_t(header.width));
        written = writeRows(png, info, header.height, rows, scratch.data());
    }
    png_destroy_write_struct(&png, &info);
    return written ? out : QByteArray();
}
