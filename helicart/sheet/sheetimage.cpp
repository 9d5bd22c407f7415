#include "sheetimage.h"

#include "rosescaleinterface.h"
#include "rosetextscaleinterface.h"
#include "solarroseinterface.h"
#include "textscale.h"

#include <QPainter>

namespace {

// The chart drawn roseHeight pixels high, its texts in proportion, with or without legend.
QImage drawn(const SheetImage::Entry &entry, int roseHeight, bool legend)
{
    entry.chart->setImageHeight(roseHeight);
    if (auto *texts = qobject_cast<RoseTextScaleInterface *>(entry.instance))
        texts->setTextScale(TextScale::factor(roseHeight));
    entry.chart->setEnableLegend(legend);
    QImage image;
    entry.chart->drawImage(image);
    return image;
}

QFont titleFont(int pixels)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

} // namespace

SheetImage::Block SheetImage::draw(const QList<Entry> &entries, const QString &title, int columns,
    int roseHeight, const SheetLayout::Scale &fixed, bool oneLegend, const QString &legendText)
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
    for (const Entry &entry : entries) {
        if (common.rings > 0)
            entry.chart->setFixedScale(common.maximum, common.rings);
        block.panels.append({ drawn(entry, roseHeight, !oneLegend), entry.title });
    }
    if (oneLegend && !entries.isEmpty() && !block.panels.first().rose.isNull()) {
        const Entry &first = entries.first();
        first.chart->setLegendText(legendText, false);
        const QImage whole = drawn(first, roseHeight, true);
        const int roseWidth = block.panels.first().rose.width();
        if (whole.width() > roseWidth)
            block.legend = whole.copy(roseWidth, 0, whole.width() - roseWidth, whole.height());
    }
    return block;
}

QSize SheetImage::roseSize(const Block &block)
{
    QSize size;
    for (const Panel &panel : block.panels)
        size = size.expandedTo(panel.rose.size());
    return size;
}

QImage SheetImage::compose() const
{
    QSize size;
    for (const Block &block : m_blocks) {
        const QSize blockSize = SheetLayout::blockSize(
            int(block.panels.size()), block.columns, roseSize(block), block.legend.size());
        size = QSize(qMax(size.width(), blockSize.width()), size.height() + blockSize.height());
    }
    QImage sheet(size, QImage::Format_RGB32);
    if (sheet.isNull())
        return sheet;
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const Block &block : m_blocks) {
        paintBlock(&painter, block);
        painter.translate(0,
            SheetLayout::blockSize(
                int(block.panels.size()), block.columns, roseSize(block), block.legend.size())
                .height());
    }
    return sheet;
}

void SheetImage::paintBlock(QPainter *painter, const Block &block)
{
    const QSize rose = roseSize(block);
    painter->setPen(Qt::black);
    painter->setFont(titleFont(20));
    painter->drawText(QRect(SheetLayout::kMargin, 0, 4000, SheetLayout::kBlockTitleHeight),
        Qt::AlignLeft | Qt::AlignVCenter, block.title);
    painter->setFont(titleFont(15));
    for (int i = 0; i < block.panels.size(); ++i) {
        const Panel &panel = block.panels.at(i);
        painter->drawText(SheetLayout::panelTitle(i, block.columns, rose),
            Qt::AlignHCenter | Qt::AlignVCenter, panel.title);
        painter->drawImage(SheetLayout::panelRose(i, block.columns, rose).topLeft(), panel.rose);
    }
    if (!block.legend.isNull())
        painter->drawImage(SheetLayout::legendCorner(block.columns, rose), block.legend);
}
