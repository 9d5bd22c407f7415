// The table image over arbitrary rows, titles, fonts, header counts, formats and requested
// sizes up to 1500 pixels (and tables of up to 24 rows of 80 characters): the image has the
// requested format and the size its layout gives, at least the size requested, and the cells fill
// it exactly.
#include "fuzzinput.h"
#include "imagetable.h"

#include <QFont>
#include <QGuiApplication>

#include <cstdlib>
#include <numeric>

namespace {

// Bounds that keep an image within a few megabytes.
constexpr int kMaxRequest = 1500;
constexpr int kMaxRows = 24;
constexpr int kMaxRowLength = 80;

const QImage::Format kFormats[] = { QImage::Format_ARGB32, QImage::Format_RGB32,
    QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB888, QImage::Format_Indexed8,
    QImage::Format_Mono, QImage::Format_Grayscale8, QImage::Format_RGBA8888, QImage::Format_RGB16,
    QImage::Format_Invalid };

int sum(const QVector<int> &sizes)
{
    return std::accumulate(sizes.cbegin(), sizes.cend(), 0);
}

void configure(ImageTable &table, FuzzInput &input)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(input.intInRange(1, 40));
    font.setBold(input.boolean());
    table.setFont(font);
    if (input.boolean())
        table.setMonochrome();
    else
        table.setColorScheme(QColor::fromRgba(quint32(input.intInRange(INT_MIN, INT_MAX))));
    table.setHeader(input.intInRange(-2, 6), input.intInRange(-2, 6));
    const qsizetype titleLength = input.byte() % 32;
    table.setTitle(QString::fromUtf8(input.bytes(titleLength)));
    QStringList rows = QString::fromUtf8(input.rest()).split(QLatin1Char('\n'));
    rows = rows.mid(0, kMaxRows);
    for (QString &row : rows)
        row.truncate(kMaxRowLength);
    table.setRows(rows);
}

void checkLayout(const ImageTable::Layout &layout, int width, int height)
{
    FuzzInput::require(layout.imageSize.width() >= 1 && layout.imageSize.height() >= 1,
        "an image of at least one pixel");
    FuzzInput::require(layout.imageSize.width() >= width, "at least the requested width");
    FuzzInput::require(layout.imageSize.height() >= height, "at least the requested height");
    if (!layout.columnWidths.isEmpty())
        FuzzInput::require(sum(layout.columnWidths) + 1 == layout.imageSize.width(),
            "the columns and the right border fill the width");
    if (!layout.rowHeights.isEmpty())
        FuzzInput::require(
            sum(layout.rowHeights) + layout.titleHeight + 1 == layout.imageSize.height(),
            "the title, the rows and the bottom border fill the height");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    const QImage::Format format = kFormats[input.byte() % std::size(kFormats)];
    const int width = input.intInRange(-1, kMaxRequest);
    const int height = input.intInRange(-1, kMaxRequest);
    ImageTable table;
    configure(table, input);
    const QImage image = table.render(format, width, height);
    if (format == QImage::Format_Invalid) {
        FuzzInput::require(image.isNull(), "no image of no format");
        return 0;
    }
    const ImageTable::Layout layout = table.layout(format, width, height);
    checkLayout(layout, width, height);
    FuzzInput::require(image.size() == layout.imageSize, "the image has its layout's size");
    FuzzInput::require(image.format() == format, "the image has the requested format");
    return 0;
}
