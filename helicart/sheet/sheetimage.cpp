#include "sheetimage.h"

#include "memoryheadroom.h"
#include "rosepainterinterface.h"
#include "rosescaleinterface.h"
#include "rosetextscaleinterface.h"
#include "solarroseinterface.h"
#include "textscale.h"
#include "vectordrawing.h"

#include <QPainter>

namespace {

// The chart as it paints itself, with the settings of its last drawing.
QPicture painted(const SheetImage::Entry &entry)
{
    QPicture picture;
    auto *painter = qobject_cast<RosePainterInterface *>(entry.instance);
    if (!painter)
        return picture;
    QPainter recording(&picture);
    painter->paint(&recording, QSize());
    recording.end();
    return picture;
}

QFont titleFont(int pixels)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

} // namespace

QImage SheetImage::drawn(const Entry &entry, int roseHeight, bool legend)
{
    entry.chart->setImageHeight(roseHeight);
    if (auto *texts = qobject_cast<RoseTextScaleInterface *>(entry.instance))
        texts->setTextScale(TextScale::factor(roseHeight));
    entry.chart->setEnableLegend(legend);
    QImage image;
    entry.chart->drawImage(image);
    return image;
}

SheetImage::Block SheetImage::draw(const QList<Entry> &entries, const QString &title, int columns,
    int roseHeight, const SheetLayout::Scale &fixed, bool oneLegend, const QString &legendText,
    bool drawings)
{
    QList<SheetLayout::Scale> scales;
    for (const Entry &entry : entries) {
        drawn(entry, roseHeight, !oneLegend);
        SheetLayout::Scale scale;
        auto *told = qobject_cast<RoseScaleInterface *>(entry.instance);
        if (told && told->getScale(&scale.maximum, &scale.rings))
            scales.append(scale);
    }
    const SheetLayout::Scale common = SheetLayout::commonScale(scales, fixed);
    Block block;
    block.title = title;
    block.columns = columns;
    block.roseHeight = roseHeight;
    for (const Entry &entry : entries) {
        if (common.rings > 0)
            entry.chart->setFixedScale(common.maximum, common.rings);
        block.panels.append({ drawn(entry, roseHeight, !oneLegend), entry.title,
            drawings ? painted(entry) : QPicture() });
    }
    if (oneLegend && !entries.isEmpty() && !block.panels.first().rose.isNull()) {
        const Entry &first = entries.first();
        first.chart->setLegendText(legendText, false);
        const QImage whole = drawn(first, roseHeight, true);
        const int roseWidth = block.panels.first().rose.width();
        if (whole.width() > roseWidth)
            block.legend = whole.copy(roseWidth, 0, whole.width() - roseWidth, whole.height());
        if (drawings)
            block.legendDrawing = painted(first);
    }
    return block;
}

QSize SheetImage::roseSize(const Block &block)
{
    QSize size(0, block.roseHeight);
    for (const Panel &panel : block.panels)
        size = size.expandedTo(panel.rose.size());
    return size;
}

QSize SheetImage::size() const
{
    QSize size(0, 0);
    for (const Block &block : m_blocks) {
        const QSize each = blockSize(block);
        size = QSize(qMax(size.width(), each.width()), size.height() + each.height());
    }
    return size;
}

QSize SheetImage::blockSize(const Block &block)
{
    return SheetLayout::blockSize(
        int(block.panels.size()), block.columns, roseSize(block), block.legend.size());
}

QImage SheetImage::compose() const
{
    if (!MemoryHeadroom::availableFor(size(), 1))
        return QImage();
    QImage sheet(size(), QImage::Format_RGB32);
    if (sheet.isNull())
        return sheet;
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    paint(&painter, false);
    return sheet;
}

QByteArray SheetImage::document(OutputFormats::Format format) const
{
    const auto painting = [this](QPainter *painter) {
        painter->fillRect(QRect(QPoint(0, 0), size()), Qt::white);
        paint(painter, true);
    };
    if (format == OutputFormats::Svg)
        return VectorDrawing::svg(size(), painting);
    if (format == OutputFormats::Pdf)
        return VectorDrawing::pdf(size(), painting);
    return QByteArray();
}

void SheetImage::paint(QPainter *painter, bool drawings) const
{
    painter->setRenderHint(QPainter::TextAntialiasing);
    for (const Block &block : m_blocks) {
        paintBlock(painter, block, drawings);
        painter->translate(0, blockSize(block).height());
    }
}

void SheetImage::paintBlock(QPainter *painter, const Block &block, bool drawings)
{
    const QSize rose = roseSize(block);
    paintLegend(painter, block, drawings);
    painter->setPen(Qt::black);
    painter->setFont(titleFont(20));
    painter->drawText(QRect(SheetLayout::kMargin, 0, 4000, SheetLayout::kBlockTitleHeight),
        Qt::AlignLeft | Qt::AlignVCenter, block.title);
    painter->setFont(titleFont(15));
    for (int i = 0; i < block.panels.size(); ++i) {
        const Panel &panel = block.panels.at(i);
        painter->drawText(SheetLayout::panelTitle(i, block.columns, rose),
            Qt::AlignHCenter | Qt::AlignVCenter, panel.title);
        const QPoint corner = SheetLayout::panelRose(i, block.columns, rose).topLeft();
        if (drawings)
            painter->drawPicture(corner, panel.drawing);
        else
            painter->drawImage(corner, panel.rose);
    }
}

void SheetImage::paintLegend(QPainter *painter, const Block &block, bool drawings)
{
    if (block.legend.isNull())
        return;
    const QPoint corner = SheetLayout::legendCorner(block.columns, roseSize(block));
    if (!drawings) {
        painter->drawImage(corner, block.legend);
        return;
    }
    // The first rose's drawing with its legend, moved so that the legend stands in its place;
    // the drawing clips itself as it goes, so its rose is covered in white, and the panels are
    // painted over that.
    const int roseWidth = block.panels.first().rose.width();
    painter->drawPicture(corner - QPoint(roseWidth, 0), block.legendDrawing);
    painter->fillRect(
        QRect(corner - QPoint(roseWidth, 0), QSize(roseWidth, block.legend.height())), Qt::white);
}
