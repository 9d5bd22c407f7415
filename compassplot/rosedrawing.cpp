#include "rosedrawing.h"

#include "qwindrose.h"
#include "rosepainter.h"
#include "windroselegend.h"

#include <QPainter>

RoseDrawing::RoseDrawing(QWindRose &rose)
    : m_rose(rose)
{ }

void RoseDrawing::renderImage()
{
    const RoseSettings &settings = m_rose.settings();
    measureImage();
    paintImageCanvas();
    if (settings.enableLegend && !widenImage())
        return;
    paintImageDataAndLegend();
    const QImage legend = settings.enableLegend ? m_rose.legend()->image() : QImage();
    // An opaque picture composed onto a blank one comes out as it is: the legend's image and
    // the time stamp go straight onto it, as they would onto the composed copy. The legend
    // widened the rose onto opaque white, and everything since was painted over it, so that
    // picture is opaque without looking at its pixels.
    if (settings.enableLegend || RosePainter::isOpaque(m_rose.image())) {
        QPainter painter(&m_rose.canvas());
        RosePainter::paintOverlay(&painter, m_rose.imageSize(), legend);
        return;
    }
    m_rose.setImage(RosePainter::composed(m_rose.image(), legend, settings.enableBackground));
}

void RoseDrawing::measureImage()
{
    // The data are painted on the image the legend widens, which is imageHeight high.
    const int height = m_rose.imageSize().height();
    m_rose.m_frame = RoseFrame::measure(m_rose.frameInput(
        height, m_rose.settings().enableLegend ? m_rose.settings().imageHeight : height));
}

void RoseDrawing::paintImageCanvas()
{
    QPainter painter(&m_rose.canvas());
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setFont(m_rose.font());
    RosePainter::setRenderHints(&painter);
    m_rose.drawBackground(&painter);
    m_rose.drawGrid(&painter);
}

bool RoseDrawing::widenImage()
{
    // The rose keeps the left part; the legend gets a strip on the right, measured once the
    // rose's texts are painted (see RosePainter::paintGrid).
    QImage wide = RosePainter::blankImage(
        m_rose.image().width() + m_rose.legend()->legendWidth(m_rose.font()),
        m_rose.settings().imageHeight, RosePainter::opaqueWhite);
    if (!wide.isNull()) {
        QPainter painter(&wide);
        painter.drawImage(0, 0, m_rose.image());
    }
    m_rose.setImage(wide);
    return !wide.isNull();
}

void RoseDrawing::paintImageDataAndLegend()
{
    QPainter painter(&m_rose.canvas());
    RosePainter::setRenderHints(&painter);
    m_rose.drawData(&painter);
    if (m_rose.settings().enableLegend) {
        WindroseLegend *legend = m_rose.legend();
        legend->setBackground(QBrush(QColor(255, 255, 255, 0), Qt::SolidPattern));
        legend->setShowTitle(true);
        legend->setFont(m_rose.font());
        legend->paint(&painter);
    }
}

QSize RoseDrawing::roseArea(const QSize &canvas) const
{
    const int height = m_rose.settings().imageHeight;
    return canvas.isEmpty() ? QSize(height, height) : canvas;
}

QSize RoseDrawing::wideArea(const QSize &rose) const
{
    const RoseSettings &settings = m_rose.settings();
    if (!settings.enableLegend)
        return rose;
    return QSize(rose.width() + m_rose.legend()->legendWidth(m_rose.font()), settings.imageHeight);
}

QSize RoseDrawing::size(const QSize &canvas) const
{
    const QSize rose = roseArea(canvas);
    return rose.isEmpty() ? rose : wideArea(rose);
}

bool RoseDrawing::paint(QPainter *painter, const QSize &canvas)
{
    const QSize rose = roseArea(canvas);
    const QSize total = size(canvas);
    if (total.isEmpty() || !painter || !painter->isActive())
        return false;
    painter->save();
    measure(rose, total);
    paintGround(painter, canvas, total);
    paintCanvas(painter, rose);
    paintDataAndLegend(painter, total);
    RosePainter::paintTimeStamp(painter, total);
    painter->restore();
    m_rose.m_paintArea = QSize();
    return true;
}

void RoseDrawing::measure(const QSize &rose, const QSize &wide)
{
    m_rose.m_frame = RoseFrame::measure(m_rose.frameInput(rose.height(), wide.height()));
}

void RoseDrawing::paintGround(QPainter *painter, const QSize &canvas, const QSize &total) const
{
    const RoseSettings &settings = m_rose.settings();
    if (!settings.enableLegend && !settings.enableBackground)
        return;
    if (canvas.isEmpty()) {
        painter->fillRect(QRect(QPoint(0, 0), total), Qt::white);
        return;
    }
    painter->fillRect(
        QRect(canvas.width(), 0, total.width() - canvas.width(), total.height()), Qt::white);
    if (total.height() > canvas.height()) {
        painter->fillRect(
            QRect(0, canvas.height(), canvas.width(), total.height() - canvas.height()), Qt::white);
    }
}

void RoseDrawing::paintCanvas(QPainter *painter, const QSize &rose)
{
    m_rose.m_paintArea = rose;
    painter->save();
    // The image of the rose's part ends there.
    painter->setClipRect(QRect(QPoint(0, 0), rose));
    painter->setBackgroundMode(Qt::TransparentMode);
    painter->setFont(m_rose.font());
    RosePainter::setRenderHints(painter);
    m_rose.drawBackground(painter);
    m_rose.drawGrid(painter);
    painter->restore();
}

void RoseDrawing::paintDataAndLegend(QPainter *painter, const QSize &wide)
{
    m_rose.m_paintArea = wide;
    painter->save();
    painter->setClipRect(QRect(QPoint(0, 0), wide));
    RosePainter::setRenderHints(painter);
    m_rose.drawData(painter);
    painter->restore();
    if (!m_rose.settings().enableLegend)
        return;
    WindroseLegend *legend = m_rose.legend();
    legend->setBackground(QBrush(QColor(255, 255, 255, 0), Qt::SolidPattern));
    legend->setShowTitle(true);
    legend->setFont(m_rose.font());
    // The legend's image stands at the right edge of the image.
    legend->paintOnto(painter, QPoint(wide.width() - legend->paintWidth(), 0));
}
