#include "windroselegend.h"

#include "classlimit.h"
#include "numeric.h"
#include "roselayout.h"
#include "windrosestyle.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTransform>

#include <algorithm>

namespace {

// Room the free text may take before its bounding rectangle is measured.
const QRect freeTextArea(0, 0, 1024, 768);

} // namespace

WindroseLegend::WindroseLegend(int height)
{
    setHeight(height);
}

int WindroseLegend::titleLineHeight() const
{
    return m_titleLineHeight;
}

bool WindroseLegend::prepare()
{
    return true;
}

bool WindroseLegend::paint(QPainter *painter)
{
    prepare();
    return draw(painter);
}

QString WindroseLegend::classLabel(int classIndex) const
{
    const QList<Interval> &classes = m_content.classes;
    const Interval &c = classes.at(classIndex);
    if (classIndex == 0)
        return QString();
    if (classIndex == classes.size() - 1)
        return QStringLiteral("> ") + number(c.lowLimit);
    return middleLabel(c);
}

QString WindroseLegend::labelText(int classIndex) const
{
    if (!m_hasContent || classIndex < 0 || classIndex >= m_content.classes.size())
        return QString();
    if (classIndex == 0)
        return QStringLiteral("<= ") + number(m_content.classes.first().highLimit);
    return classLabel(classIndex);
}

QString WindroseLegend::middleLabel(const Interval &c) const
{
    return QStringLiteral("(") + number(c.lowLimit) + QStringLiteral(", ") + number(c.highLimit)
        + QStringLiteral("]");
}

QString WindroseLegend::number(double limit) const
{
    return ClassLimit::text(limit, m_precision);
}

// ---------------------------------------------------------------------------------------
// Layout

namespace {

// The font one step smaller (a point, or a pixel for a font sized in pixels); false when it
// is as small as a legend's text may get.
bool stepDown(QFont &font)
{
    if (font.pointSize() > 0) {
        if (font.pointSize() <= WindroseLegend::minPointSize)
            return false;
        font.setPointSize(font.pointSize() - 1);
        return true;
    }
    if (font.pixelSize() > WindroseLegend::minPointSize) {
        font.setPixelSize(font.pixelSize() - 1);
        return true;
    }
    return false;
}

// A label's cell, and the title's, are given in the frame of the rows.
QRect inImage(const QRect &cell, const RoseLayout::LegendRows &rows)
{
    return cell.translated(rows.rowOrigin());
}

} // namespace

int WindroseLegend::titleHeight(const Layout &layout) const
{
    return m_showTitle ? (layout.rows.titleBreaks + 1) * layout.rows.lineHeight : 0;
}

WindroseLegend::Layout WindroseLegend::plainLayout(const QFont &font) const
{
    Layout layout;
    layout.font = font;
    const int lh = QFontMetrics(font).height();
    layout.rows = RoseLayout::legendRows(lh, m_content.title.count(QLatin1Char('\n')),
        m_content.classes.size(), textColumnWidth(font, RoseLayout::legendSymbolSize(lh)), height(),
        m_content.barArea, m_showTitle);
    layout.cells = RoseLayout::legendCells(layout.rows, titleHeight(layout));
    return layout;
}

QVector<QRect> WindroseLegend::textRects(const Layout &layout) const
{
    QVector<QRect> rects;
    if (!m_hasContent)
        return rects;
    const QFontMetrics metrics(layout.font);
    const RoseLayout::LegendCells &cells = layout.cells;
    if (!m_legendText.isEmpty())
        rects << metrics.boundingRect(cells.freeText, Qt::AlignRight, m_legendText)
                     .adjusted(-2, -2, 2, 2);
    const QString title = m_content.title;
    if (m_showTitle && !title.isEmpty())
        rects << metrics.boundingRect(inImage(cells.title, layout.rows), Qt::AlignHCenter, title);
    const int flags = Qt::AlignHCenter | Qt::AlignVCenter;
    for (int i = 0; i < cells.classLabels.size(); ++i) {
        const QString text = labelText(i);
        const QRect cell = i == 0 ? cells.firstLabel : cells.classLabels.at(i);
        if (!text.isEmpty())
            rects << metrics.boundingRect(inImage(cell, layout.rows), flags, text);
    }
    return rects;
}

bool WindroseLegend::fitRows(Layout &layout) const
{
    const QVector<QRect> plain = textRects(layout);
    if (!RoseLayout::anyOverlap(plain))
        return true;
    if (layout.rows.classCount < 2)
        return false;
    // A row holds at least one label; the column's top stays below the free text.
    const QFontMetrics metrics(layout.font);
    const QRect room(0, 0, 1 << 16, 1 << 16);
    int lowest = 0;
    for (int i = 0; i < layout.rows.classCount; ++i) {
        const QString text = labelText(i);
        if (!text.isEmpty())
            lowest = qMax(lowest,
                metrics.boundingRect(room, Qt::AlignHCenter | Qt::AlignVCenter, text).height());
    }
    const int freeBottom = m_legendText.isEmpty() ? 0 : plain.first().bottom() + 1;
    // Rows lower than a label (a tall title over few classes) are raised to a label's height
    // when there is room for that.
    layout.rows.rowHeight = qMax(layout.rows.rowHeight, lowest);
    const int start = RoseLayout::rowHeightBelow(layout.rows, titleHeight(layout), freeBottom);
    // A few pixels more, for a title or label whose ink runs past its cell.
    for (int rowHeight = start; rowHeight >= lowest && rowHeight > start - 8; --rowHeight) {
        setRowHeight(layout, rowHeight);
        if (!RoseLayout::anyOverlap(textRects(layout)))
            return true;
    }
    // No room: rows of a label's height keep at least the class labels apart.
    setRowHeight(layout, lowest);
    return false;
}

void WindroseLegend::setRowHeight(Layout &layout, int rowHeight) const
{
    layout.rows.rowHeight = rowHeight;
    layout.cells = RoseLayout::legendCells(layout.rows, titleHeight(layout));
}

WindroseLegend::Layout WindroseLegend::layout() const
{
    QFont font = this->font();
    if (!m_hasContent)
        return Layout { font, {}, {} };
    Layout layout = plainLayout(font);
    // Nothing fits even in the smallest type: that type, with the rows at a label's height.
    while (!fitRows(layout) && stepDown(font))
        layout = plainLayout(font);
    return layout;
}

// ---------------------------------------------------------------------------------------
// Painting

bool WindroseLegend::draw(QPainter *painter)
{
    Q_UNUSED(painter);
    if (!m_hasContent)
        return false;

    const Layout layout = this->layout();
    const RoseLayout::LegendRows &rows = layout.rows;
    // A fresh transparent image each time; the text column gets the background brush.
    setImage(QImage(qMax(rows.imageWidth, 0), qMax(rows.imageHeight, 0), QImage::Format_ARGB32));
    canvas().fill(0);
    if (canvas().isNull())
        return true;
    QPainter p(&canvas());
    paintLayout(&p, layout, QTransform());
    p.end();
    return true;
}

bool WindroseLegend::paintOnto(QPainter *painter, const QPoint &origin, const Layout &layout)
{
    if (!m_hasContent || !painter || !painter->isActive())
        return false;
    prepare();
    painter->save();
    paintLayout(painter, layout, QTransform::fromTranslate(origin.x(), origin.y()));
    painter->restore();
    return true;
}

int WindroseLegend::paintWidth() const
{
    return m_hasContent ? qMax(layout().rows.imageWidth, 0) : 0;
}

void WindroseLegend::paintLayout(QPainter *p, const Layout &layout, const QTransform &origin)
{
    const RoseLayout::LegendRows &rows = layout.rows;
    p->setBackgroundMode(Qt::TransparentMode);
    p->setTransform(origin);
    p->fillRect(QRect(0, 0, rows.textWidth + 10, rows.imageHeight), background());

    if (m_showTitle)
        m_titleLineHeight = rows.lineHeight;

    drawRows(p, layout, origin);
    m_legendWidth = m_fixedWidth > 0 ? m_fixedWidth : qMax(rows.imageWidth, 0);
    drawFreeText(p, layout.cells.freeText, layout.font, origin);
}

void WindroseLegend::drawRows(
    QPainter *painter, const Layout &layout, const QTransform &origin) const
{
    QPainter &p = *painter;
    const RoseLayout::LegendRows &rows = layout.rows;
    const QFont &font = layout.font;
    const int half = rows.half;
    const int sw = rows.symbolSize;
    const QList<Interval> &classes = m_content.classes;
    p.save();
    const QTransform t0
        = QTransform::fromTranslate(rows.symbolOrigin().x(), rows.symbolOrigin().y()) * origin;
    const QTransform t1
        = QTransform::fromTranslate(rows.rowOrigin().x(), rows.rowOrigin().y()) * origin;
    QTransform t2 = QTransform::fromTranslate(rows.rowOrigin().x(), rows.rowOrigin().y());
    t2.rotate(-90);
    t2 *= origin;
    p.setTransform(t0);
    p.setBrush(p.background());
    p.setPen(QColor(QStringLiteral("BLACK")));
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);

    // The rows share the room evenly; without classes there is neither symbol nor row.
    if (!classes.isEmpty()) {
        p.drawEllipse(QRect(half, -half, sw, sw));
        p.setTransform(t1);
        drawLabel(&p, labelText(0), layout.cells.firstLabel, font);
        p.setFont(font);
        for (int i = 1; i < classes.size(); ++i)
            drawRow(&p, i, layout, t2);
    } else {
        p.setTransform(t1);
    }

    if (m_showTitle) {
        p.setFont(font);
        p.drawText(layout.cells.title, Qt::AlignHCenter, m_content.title);
    }
    p.restore();
}

void WindroseLegend::drawLabel(
    QPainter *p, const QString &text, const QRect &rect, const QFont &font) const
{
    p->save();
    p->setPen(QColor(0, 0, 0, 255));
    p->setFont(font);
    p->drawText(rect, Qt::AlignHCenter | Qt::AlignVCenter, text);
    p->restore();
}

void WindroseLegend::drawRow(
    QPainter *p, int classIndex, const Layout &layout, const QTransform &barFrame) const
{
    const RoseLayout::LegendRows &rows = layout.rows;
    drawLabel(p, classLabel(classIndex), layout.cells.classLabels.at(classIndex), layout.font);
    p->setFont(layout.font);

    p->save();
    p->setTransform(barFrame);
    const int thickness = Numeric::toInt(m_content.thickness.value(classIndex - 1));
    const Spoke style = m_content.styles.value(classIndex);
    if (style.brush.style() == Qt::SolidPattern)
        p->setPen(style.brush.color());
    if (WindroseStyle *roseStyle = m_content.style)
        roseStyle->draw(p, QPoint(rows.bandStart(classIndex), 0), QSize(rows.rowHeight, thickness),
            style.brush, style.width);
    p->restore();
}

void WindroseLegend::drawFreeText(
    QPainter *p, const QRect &area, const QFont &font, const QTransform &origin) const
{
    p->setTransform(origin);
    p->setFont(font);
    const QRect box = p->boundingRect(area, Qt::AlignRight, m_legendText).adjusted(-2, -2, 2, 2);
    p->save();
    p->setBrush(m_warning ? QBrush(QColor(255, 210, 210, 255)) : QBrush(Qt::NoBrush));
    p->setPen(Qt::NoPen);
    p->drawRect(box);
    p->restore();
    p->drawText(area, Qt::AlignRight, m_legendText);
}

void WindroseLegend::setContent(const LegendContent &content)
{
    m_content = content;
    m_hasContent = true;
}

void WindroseLegend::clearContent()
{
    m_content = LegendContent();
    m_hasContent = false;
}

bool WindroseLegend::setPrecision(int precision)
{
    m_precision = precision;
    return true;
}

void WindroseLegend::setLegendText(const QString &text, bool warning)
{
    m_legendText = text;
    m_warning = warning;
}

bool WindroseLegend::setFixedWidth(int width)
{
    m_fixedWidth = width;
    return true;
}

int WindroseLegend::legendWidth(const QFont &font) const
{
    const int symbolSize = RoseLayout::legendSymbolSize(QFontMetrics(font).height());
    return qMax(textColumnWidth(font, symbolSize), freeTextWidth(font, 0));
}

int WindroseLegend::textColumnWidth(const QFont &font, int symbolSize) const
{
    if (!m_hasContent)
        return 0;
    const QFontMetrics metrics(font);
    int widest = 0;
    const QStringList titleLines = m_content.title.split(QLatin1Char('\n'));
    for (const QString &line : titleLines)
        widest = qMax(widest, metrics.horizontalAdvance(line));
    const QList<Interval> &classes = m_content.classes;
    for (int i = 1; i < classes.size() - 1; ++i)
        widest = qMax(widest, metrics.horizontalAdvance(middleLabel(classes.at(i))) + symbolSize);
    return widest;
}

int WindroseLegend::freeTextWidth(const QFont &font, int extra) const
{
    if (!m_hasContent)
        return 0;
    const QFontMetrics metrics(font);
    return metrics.boundingRect(freeTextArea, Qt::AlignRight, m_legendText).width() + 4 + extra;
}
