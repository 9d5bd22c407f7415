#include "imagetable.h"

#include <QHash>
#include <QPainter>
#include <QRect>

#include <algorithm>
#include <mutex>
#include <numeric>

namespace {

const QColor kDefaultColor(170, 255, 170);
const QColor kHeaderTextColor(240, 240, 240);
constexpr int kCellFlags = Qt::AlignHCenter | Qt::AlignVCenter;

QPen linePen(const QColor &color)
{
    QPen pen(color);
    pen.setWidth(1);
    pen.setCosmetic(true);
    return pen;
}

// QPainter cannot paint on indexed or one-bit images: those are painted in 32 bits and
// converted at the end.
QImage::Format paintFormat(QImage::Format format)
{
    switch (format) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
    case QImage::Format_Indexed8:
    case QImage::Format_Invalid:
        return QImage::Format_ARGB32_Premultiplied;
    default:
        return format;
    }
}

QStringList cells(const QString &row)
{
    return row.split(QLatin1Char('\t'), Qt::KeepEmptyParts);
}

// A cell's text in a font measures the same in every table: a run's tables (a column's and
// its groups') share most of their texts, and the font is tried at several sizes each, so the
// sizes are kept for the run, on whichever thread the table is made.
QSize textSize(QPainter &painter, const QString &text)
{
    static std::mutex guard;
    static QHash<QString, QSize> known;
    constexpr qsizetype kKeptAtMost = 50000;
    const QString key = painter.font().key() + QLatin1Char('\n') + text;
    {
        const std::lock_guard<std::mutex> lock(guard);
        const auto found = known.constFind(key);
        if (found != known.cend())
            return *found;
    }
    const QSize size
        = painter.boundingRect(QRect(0, 0, 1024, 768), Qt::AlignLeft | Qt::AlignTop, text).size();
    const std::lock_guard<std::mutex> lock(guard);
    if (known.size() >= kKeptAtMost)
        known.clear();
    known.insert(key, size);
    return size;
}

// Grows every entry of sizes by extra / sizes.size() and returns the remainder. Without entries
// nothing can grow and everything remains.
int spread(QVector<int> &sizes, int extra)
{
    if (sizes.isEmpty())
        return extra;
    const int share = extra / int(sizes.size());
    for (int &size : sizes)
        size += share;
    return extra % int(sizes.size());
}

} // namespace

ImageTable::ImageTable()
{
    reset();
}

bool ImageTable::setTitle(const QString &title)
{
    m_title = title;
    return true;
}

bool ImageTable::setRows(const QStringList &rows)
{
    m_rows = rows;
    return true;
}

bool ImageTable::setFont(const QFont &font)
{
    m_font = font;
    return true;
}

bool ImageTable::setColorScheme(const QColor &color)
{
    m_baseColor = color;
    m_bodyBrush = QBrush(color, Qt::SolidPattern);
    m_fourthRowBrush = QBrush(color.lighter(110), Qt::SolidPattern);
    // A factor below 100 darkens.
    m_headerBrush = QBrush(color.lighter(80), Qt::SolidPattern);
    m_headerTextPen = linePen(kHeaderTextColor);
    m_bodyTextPen = linePen(Qt::black);
    m_borderPen = linePen(Qt::black);
    return true;
}

bool ImageTable::setMonochrome()
{
    m_baseColor = Qt::white;
    m_bodyBrush = QBrush(Qt::white, Qt::SolidPattern);
    m_fourthRowBrush = m_bodyBrush;
    m_headerBrush = m_bodyBrush;
    m_headerTextPen = linePen(Qt::black);
    m_bodyTextPen = linePen(Qt::black);
    m_borderPen = linePen(Qt::black);
    return true;
}

bool ImageTable::setHeader(int rows, int columns)
{
    m_headerRows = rows;
    m_headerColumns = columns;
    return true;
}

bool ImageTable::reset()
{
    setColorScheme(kDefaultColor);
    setHeader(0, 0);
    return false;
}

ImageTable::Layout ImageTable::measure(QImage::Format format) const
{
    Layout layout;
    QImage scratch(10, 10, paintFormat(format));
    QPainter painter(&scratch);
    painter.setFont(m_font);
    for (const QString &row : m_rows) {
        const QStringList texts = cells(row);
        if (layout.columnWidths.size() < texts.size())
            layout.columnWidths.resize(texts.size(), 0);
        int height = 0;
        for (int k = 0; k < texts.size(); ++k) {
            const QSize size = textSize(painter, texts.at(k));
            layout.columnWidths[k] = std::max(layout.columnWidths[k], size.width() + 5);
            height = std::max(height, size.height() + 2);
        }
        layout.rowHeights.append(height);
    }
    if (!m_title.isEmpty()) {
        const QSize size = textSize(painter, m_title);
        layout.titleWidth = size.width() + 5;
        layout.titleHeight = size.height() + 2;
    }
    return layout;
}

ImageTable::Layout ImageTable::layout(QImage::Format format, int width, int height) const
{
    Layout layout = measure(format);
    const int sum = std::accumulate(layout.columnWidths.cbegin(), layout.columnWidths.cend(), 0);
    if (layout.titleWidth <= sum + 1)
        layout.titleWidth = sum;
    if (width < 1)
        width = std::max(sum, layout.titleWidth);
    if (sum + 1 < width) {
        const int remainder = spread(layout.columnWidths, width - (sum + 1));
        if (!layout.columnWidths.isEmpty())
            layout.columnWidths[0] += remainder;
        layout.imageSize.setWidth(width);
        layout.titleWidth = width - 1;
    } else {
        layout.imageSize.setWidth(sum + 1);
        layout.titleWidth = sum;
    }

    const int naturalHeight
        = std::accumulate(layout.rowHeights.cbegin(), layout.rowHeights.cend(), 0)
        + layout.titleHeight + 1;
    if (naturalHeight < height) {
        const int remainder = spread(layout.rowHeights, height - naturalHeight);
        // Without rows nothing was spread, and the title keeps its own height.
        if (!layout.rowHeights.isEmpty()) {
            if (!m_title.isEmpty())
                layout.titleHeight += remainder;
            else
                layout.rowHeights[0] += remainder;
        }
        layout.imageSize.setHeight(height);
    } else {
        layout.imageSize.setHeight(naturalHeight);
    }
    if (m_title.isEmpty())
        layout.titleWidth = 0;
    return layout;
}

QImage ImageTable::render(QImage::Format format, int width, int height)
{
    if (format == QImage::Format_Invalid)
        return QImage();
    const Layout geometry = layout(format, width, height);
    // Everything is painted over opaque white, so every pixel stays opaque, and an opaque pixel
    // reads the same premultiplied or not. Premultiplied pixels take Qt's direct paths: on the
    // other format each cell's outline is blended through a conversion of its pixels (and,
    // where Qt's thread pool takes fill parts, in parts handed to it).
    const bool asPremultiplied = format == QImage::Format_ARGB32;
    QImage image(geometry.imageSize,
        asPremultiplied ? QImage::Format_ARGB32_Premultiplied : paintFormat(format));
    image.fill(Qt::white);
    QPainter painter(&image);
    paint(&painter, geometry);
    painter.end();
    if (asPremultiplied)
        image.reinterpretAsFormat(format);
    return image.format() == format ? image : image.convertToFormat(format);
}

void ImageTable::paint(QPainter *painter, const Layout &layout) const
{
    painter->save();
    paintCells(*painter, layout);
    painter->restore();
}

void ImageTable::paintCells(QPainter &painter, const Layout &layout) const
{
    painter.setFont(m_font);
    int y = 0;
    if (!m_title.isEmpty()) {
        const QRect bar(QPoint(0, 0), QPoint(layout.titleWidth - 1, layout.titleHeight - 1));
        painter.setPen(m_borderPen);
        painter.setBrush(m_headerBrush);
        painter.drawRect(bar);
        painter.drawText(bar, kCellFlags, m_title);
        y = layout.titleHeight;
    }
    // Neighbouring outlines share their pixel lines: the grid is one pixel wide everywhere and
    // the image's last column and row hold the right and bottom border.
    for (int r = 0; r < m_rows.size(); ++r) {
        const QStringList texts = cells(m_rows.at(r));
        int x = 0;
        for (int k = 0; k < texts.size(); ++k) {
            const QRect cell(QPoint(x, y),
                QPoint(x + layout.columnWidths.at(k) - 1, y + layout.rowHeights.at(r) - 1));
            const bool header = k < m_headerColumns || r < m_headerRows;
            painter.setPen(m_borderPen);
            painter.setBrush(
                header ? m_headerBrush : (r % 4 == 3 ? m_fourthRowBrush : m_bodyBrush));
            painter.drawRects(&cell, 1);
            painter.setPen(header ? m_headerTextPen : m_bodyTextPen);
            painter.drawText(cell, kCellFlags, texts.at(k));
            x += layout.columnWidths.at(k);
        }
        y += layout.rowHeights.at(r);
    }
}
