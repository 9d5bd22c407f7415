#include "windroselegend.h"

#include "qwindrose.h"
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

WindroseLegend::WindroseLegend(QWindRose *rose, int height)
    : m_rose(rose)
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
    const QList<Interval> &classes = m_rose->intervals();
    const Interval &c = classes.at(classIndex);
    if (classIndex == 0)
        return QString();
    if (classIndex == classes.size() - 1)
        return QStringLiteral("> ") + number(c.lowLimit);
    return middleLabel(c);
}

QString WindroseLegend::middleLabel(const Interval &c) const
{
    return QStringLiteral("(") + number(c.lowLimit) + QStringLiteral(", ") + number(c.highLimit)
        + QStringLiteral("]");
}

QString WindroseLegend::number(double limit) const
{
    return QString::number(limit, 'f', m_precision);
}

bool WindroseLegend::draw(QPainter *painter)
{
    Q_UNUSED(painter);
    if (!m_rose)
        return false;

    const QFont font = this->font();
    const QFontMetrics metrics(font);
    const QString title = m_rose->texts().legendTitle;
    const QList<Interval> classes = m_rose->intervals();
    const int lh = metrics.height();
    const int sw = RoseLayout::legendSymbolSize(lh);
    const RoseLayout::LegendRows rows = RoseLayout::legendRows(lh, title.count(QLatin1Char('\n')),
        classes.size(), textColumnWidth(font, sw), height(),
        RoseLayout::barArea(m_rose->roseDiameter(), m_rose->ringCount()), m_showTitle);
    const int half = rows.half;
    const int tw = rows.textWidth;
    const int hImg = rows.imageHeight;

    // A fresh transparent image each time; the text column gets the background brush.
    auto *image = new QImage(qMax(rows.imageWidth, 0), qMax(hImg, 0), QImage::Format_ARGB32);
    image->fill(0);
    setImage(image);
    if (image->isNull())
        return true;
    QPainter p(image);
    p.setBackgroundMode(Qt::TransparentMode);
    p.fillRect(QRect(0, 0, tw + 10, hImg), background());

    if (m_showTitle)
        m_titleLineHeight = lh;

    p.save();
    const QTransform t0
        = QTransform::fromTranslate(rows.symbolOrigin().x(), rows.symbolOrigin().y());
    const QTransform t1 = QTransform::fromTranslate(rows.rowOrigin().x(), rows.rowOrigin().y());
    QTransform t2 = t1;
    t2.rotate(-90);
    p.setTransform(t0);
    p.setBrush(p.background());
    p.setPen(QColor(QStringLiteral("BLACK")));
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);

    // The rows share the room evenly; without classes there is neither symbol nor row.
    double y = -half;
    if (!classes.isEmpty()) {
        p.drawEllipse(QRect(half, -half, sw, sw));
        p.setTransform(t1);
        drawLabel(&p, QStringLiteral("<= ") + number(classes.first().highLimit),
            QRect(0, RoseLayout::toInt(-(sw + y)), tw + 10, sw), font);
        for (int i = 0; i < classes.size(); ++i)
            y = drawRow(&p, i, y, rows, t2);
    } else {
        y = half;
        p.setTransform(t1);
    }

    if (m_showTitle) {
        const int th = (rows.titleBreaks + 1) * lh;
        p.setFont(font);
        p.drawText(QRect(-half, RoseLayout::toInt(-(th + y)), tw, th), Qt::AlignHCenter, title);
    }
    p.restore();

    m_legendWidth = m_fixedWidth > 0 ? m_fixedWidth : image->width();

    drawFreeText(&p, image->width(), hImg, font);
    p.end();
    return true;
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

double WindroseLegend::drawRow(QPainter *p, int classIndex, double y,
    const RoseLayout::LegendRows &rows, const QTransform &barFrame) const
{
    const QFont font = this->font();
    if (classIndex == 0)
        y = rows.half;
    const double yn = rows.rowHeight + y;
    drawLabel(p, classLabel(classIndex),
        QRect(0, RoseLayout::toInt(-yn), rows.textWidth + 10, rows.rowHeight), font);
    p->setFont(font);
    if (classIndex == 0)
        return y;

    p->save();
    p->setTransform(barFrame);
    const int thickness = RoseLayout::toInt(m_rose->ringRadius(classIndex - 1));
    const Interval key = m_rose->intervals().at(classIndex);
    const Spoke style = m_rose->classStyle(key, nullptr);
    if (style.brush.style() == Qt::SolidPattern)
        p->setPen(style.brush.color());
    if (WindroseStyle *roseStyle = m_rose->style())
        roseStyle->draw(p, QPoint(RoseLayout::toInt(y), 0), QSize(rows.rowHeight, thickness),
            style.brush, style.width);
    p->restore();
    return yn;
}

void WindroseLegend::drawFreeText(QPainter *p, int width, int height, const QFont &font) const
{
    p->resetTransform();
    p->setFont(font);
    const QRect area(0, 5, width - 5, height / 2);
    const QRect box = p->boundingRect(area, Qt::AlignRight, m_legendText).adjusted(-2, -2, 2, 2);
    p->save();
    p->setBrush(m_warning ? QBrush(QColor(255, 210, 210, 255)) : QBrush(Qt::NoBrush));
    p->setPen(Qt::NoPen);
    p->drawRect(box);
    p->restore();
    p->drawText(area, Qt::AlignRight, m_legendText);
}

void WindroseLegend::setRose(QWindRose *rose)
{
    m_rose = rose;
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
    if (!m_rose)
        return 0;
    const QFontMetrics metrics(font);
    int widest = 0;
    const QStringList titleLines = m_rose->texts().legendTitle.split(QLatin1Char('\n'));
    for (const QString &line : titleLines)
        widest = qMax(widest, metrics.horizontalAdvance(line));
    const QList<Interval> &classes = m_rose->intervals();
    for (int i = 1; i < classes.size() - 1; ++i)
        widest = qMax(widest, metrics.horizontalAdvance(middleLabel(classes.at(i))) + symbolSize);
    return widest;
}

int WindroseLegend::freeTextWidth(const QFont &font, int extra) const
{
    if (!m_rose)
        return 0;
    const QFontMetrics metrics(font);
    return metrics.boundingRect(freeTextArea, Qt::AlignRight, m_legendText).width() + 4 + extra;
}
