// The chart's drawing: everything is measured first, from plain values, then painted, along
// one path for the chart's own image and for any other painter alike.
#include "qwindrose.h"

#include "rosepainter.h"
#include "windroselegend.h"
#include "windrosestyle.h"

#include <QFontMetrics>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

namespace {

// The legend's text column is painted with this brush: nothing shows of it.
const QBrush clearWhite(QColor(255, 255, 255, 0), Qt::SolidPattern);

} // namespace

bool QWindRose::drawImage(QImage &image)
{
    if (!(m_settings.directionsCount > 0))
        return false;
    beginDrawing();
    // The chart paints over the caller's picture, in a format a painter accepts. Without the
    // memory for it, nothing is painted: the caller gets a null image.
    const QImage picture = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32);
    if (!image.isNull() && picture.isNull()) {
        image = QImage();
        return true;
    }
    setImage(picture);
    render(0);
    image = this->image();
    return true;
}

void QWindRose::beginDrawing()
{
    m_legend->setHeight(m_settings.imageHeight);
    m_textLines = { m_texts.stationText, m_texts.parameterText, m_texts.intervalText,
        m_texts.statisticsText };
}

char QWindRose::render(int unused)
{
    Q_UNUSED(unused);
    if (m_intervals.isEmpty())
        setDefaultIntervals();
    setBackground(QBrush(QColor(QStringLiteral("WHITE")), Qt::SolidPattern));
    setImage(renderedImage(image()));
    return 1;
}

QImage QWindRose::renderedImage(const QImage &picture)
{
    // The legend's width is measured with the classes the drawing has.
    m_legend->setContent(legendContent());
    const QSize canvas = picture.size();
    const QSize size = drawingSize(canvas);
    // White beneath the legend's strip or the background, else transparent; the picture lies
    // over it at the top left. An empty size (or a failed allocation) leaves nothing to paint.
    const bool white = m_settings.enableLegend || m_settings.enableBackground;
    QImage image = RosePainter::blankImage(
        size.width(), size.height(), white ? RosePainter::opaqueWhite : RosePainter::transparent);
    if (image.isNull())
        return image;
    QPainter painter(&image);
    if (!picture.isNull())
        painter.drawImage(0, 0, picture);
    paintDrawing(&painter, canvas);
    RosePainter::paintTimeStamp(&painter, size, RoseLayout::stampSize(m_settings.textScale));
    painter.end();
    return image;
}

QSize QWindRose::paintSize(const QSize &canvas)
{
    if (!(m_settings.directionsCount > 0))
        return QSize();
    beginDrawing();
    if (m_intervals.isEmpty())
        setDefaultIntervals();
    m_legend->setContent(legendContent());
    return drawingSize(canvas);
}

bool QWindRose::paint(QPainter *painter, const QSize &canvas)
{
    const QSize size = paintSize(canvas);
    if (size.isEmpty() || !painter || !painter->isActive())
        return false;
    painter->save();
    paintDrawing(painter, canvas);
    RosePainter::paintTimeStamp(painter, size, RoseLayout::stampSize(m_settings.textScale));
    painter->restore();
    return true;
}

// ---------------------------------------------------------------------------------------
// The parts of a drawing

QSize QWindRose::roseArea(const QSize &canvas) const
{
    const int height = m_settings.imageHeight;
    return canvas.isEmpty() ? QSize(height, height) : canvas;
}

QSize QWindRose::drawingSize(const QSize &canvas) const
{
    const QSize rose = roseArea(canvas);
    if (rose.isEmpty() || !m_settings.enableLegend)
        return rose;
    return QSize(rose.width() + m_legend->legendWidth(font()), m_settings.imageHeight);
}

void QWindRose::measureDrawing(const QSize &rose, const QSize &wide)
{
    m_frame = RoseFrame::measure(frameInput(rose, wide));
    if (!m_settings.enableLegend)
        return;
    m_legend->setContent(legendContent(m_frame.classThickness,
        RoseLayout::barArea(m_frame.dataDiameter, m_frame.scale.ringCount)));
    m_legend->setBackground(clearWhite);
    m_legend->setShowTitle(true);
    m_legend->setFont(font());
    m_legendLayout = m_legend->layout();
}

void QWindRose::paintDrawing(QPainter *painter, const QSize &canvas)
{
    const QSize rose = roseArea(canvas);
    const QSize total = drawingSize(canvas);
    measureDrawing(rose, total);
    paintGround(painter, canvas, total);
    paintCanvas(painter, rose);
    paintDataAndLegend(painter, rose, total);
}

void QWindRose::paintGround(QPainter *painter, const QSize &canvas, const QSize &total) const
{
    if (!m_settings.enableLegend && !m_settings.enableBackground)
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

void QWindRose::paintCanvas(QPainter *painter, const QSize &rose)
{
    painter->save();
    // The rose's part ends there.
    painter->setClipRect(QRect(QPoint(0, 0), rose));
    painter->setBackgroundMode(Qt::TransparentMode);
    painter->setFont(font());
    RosePainter::setRenderHints(painter);
    drawBackground(painter, m_frame);
    drawGrid(painter, m_frame);
    painter->restore();
}

void QWindRose::paintDataAndLegend(QPainter *painter, const QSize &rose, const QSize &wide)
{
    painter->save();
    painter->setClipRect(QRect(QPoint(0, 0), wide));
    RosePainter::setRenderHints(painter);
    drawData(painter, m_frame);
    painter->restore();
    // The ring labels over the bars, on the rose's part.
    painter->save();
    painter->setClipRect(QRect(QPoint(0, 0), rose));
    painter->setBackgroundMode(Qt::TransparentMode);
    RosePainter::setRenderHints(painter);
    RosePainter::paintRingLabels(painter, m_frame.roseArea, m_frame, gridLook());
    painter->restore();
    if (!m_settings.enableLegend)
        return;
    // The legend stands at the right edge of the drawing.
    const int width = qMax(m_legendLayout.rows.imageWidth, 0);
    m_legend->paintOnto(painter, QPoint(wide.width() - width, 0), m_legendLayout);
}

// ---------------------------------------------------------------------------------------
// Measuring

int QWindRose::drawingHeight() const
{
    // Before the first drawing the rose will get the chart's image height.
    const QSize size = imageSize();
    return size.isEmpty() ? m_settings.imageHeight : size.height();
}

bool QWindRose::paintsOnRaster(const QPainter *painter)
{
    const QPaintEngine *engine = painter->paintEngine();
    return engine && engine->type() == QPaintEngine::Raster;
}

double QWindRose::roseDiameter() const
{
    return diameterAt(drawingHeight());
}

double QWindRose::diameterAt(int height) const
{
    return height - 4.0 * QFontMetrics(font()).height();
}

double QWindRose::ringRadius(int classIndex) const
{
    return segmentThickness().at(roseDiameter(), m_frame.scale.ringCount, classIndex);
}

SegmentThickness QWindRose::segmentThickness() const
{
    // As RoseLayout::ringRadius: none without classes.
    const int classCount = m_intervals.size();
    return { 0.12, classCount < 1 ? 0.0 : 0.425 / classCount, m_settings.dataDrawSizeFactor };
}

double QWindRose::outerRingSize() const
{
    if (spokes().isEmpty())
        return 0.0;
    return ringRadius(spokes().first().size() - 1);
}

FrameInput QWindRose::frameInput(const QSize &rose, const QSize &wide) const
{
    FrameInput input(m_counts, m_settings);
    input.scale = m_scale;
    input.font = font();
    // A picture wider than high (the combined image of several roses) holds the rose in the
    // square at its left, where the data are drawn too.
    input.roseArea = RoseLayout::roseSquare(rose);
    input.area = wide;
    input.gridDiameter = diameterAt(rose.height());
    input.dataDiameter = diameterAt(wide.height());
    input.classCount = m_intervals.size();
    input.thickness = segmentThickness();
    input.hasStyle = m_style != nullptr;
    for (auto sector = spokes().cbegin(); sector != spokes().cend(); ++sector) {
        QVector<Spoke> styles;
        for (auto it = sector.value().cbegin(); it != sector.value().cend(); ++it)
            styles.append(classStyle(it.key(), it.value()));
        input.styles.append(styles);
    }
    return input;
}

LegendContent QWindRose::legendContent() const
{
    QVector<double> thickness;
    for (int j = 0; j < m_intervals.size(); ++j)
        thickness.append(ringRadius(j));
    return legendContent(thickness, RoseLayout::barArea(roseDiameter(), m_frame.scale.ringCount));
}

LegendContent QWindRose::legendContent(const QVector<double> &thickness, double barArea) const
{
    LegendContent content;
    content.classes = m_intervals;
    for (const Interval &key : m_intervals)
        content.styles.append(classStyle(key, nullptr));
    content.thickness = thickness;
    content.barArea = barArea;
    content.title = m_texts.legendTitle;
    content.style = m_style.get();
    return content;
}

// ---------------------------------------------------------------------------------------
// Painting: each step paints what the frame says

void QWindRose::drawBackground(QPainter *painter, const RoseFrame &frame)
{
    if (m_settings.enableBackground)
        RosePainter::paintCompass(painter, frame.roseArea, font(), frame.ringDiameter);
}

void QWindRose::drawBackground(QPainter *painter)
{
    RoseFrame frame;
    const QPaintDevice *device = painter->device();
    frame.roseArea = QSize(device->width(), device->height());
    frame.area = frame.roseArea;
    frame.ringDiameter = roseDiameter();
    drawBackground(painter, frame);
}

RosePainter::GridLook QWindRose::gridLook() const
{
    return { font(), m_settings.gridPen, m_settings.enableBackground, m_settings.enableGrid,
        m_settings.labelAngle, 5.0 * m_settings.textScale };
}

void QWindRose::drawGrid(QPainter *painter, const RoseFrame &frame)
{
    RosePainter::paintGrid(painter, frame.roseArea, frame, gridLook());
}

void QWindRose::drawData(QPainter *painter, const RoseFrame &frame)
{
    if (m_style)
        RosePainter::paintData(painter, frame.area, frame, *m_style, m_settings.rotation);
}

bool QWindRose::getSegments(QList<RoseSegmentsInterface::Segment> *segments)
{
    if (!segments)
        return false;
    segments->clear();
    if (!m_style)
        return true;
    // The axes drawData paints each sector in, turned from sector to sector as it turns them.
    QTransform axes = RosePainter::dataAxes(m_frame.area, m_settings.rotation);
    for (int k = 0; k < m_frame.sectors.size(); ++k) {
        for (const RoseFrame::Segment &s : m_frame.sectors.at(k)) {
            const QPainterPath shape
                = m_style->outline(QPoint(s.start, 0), QSize(s.length, s.thickness), s.width);
            if (!shape.isEmpty())
                segments->append(RoseSegmentsInterface::Segment {
                    k, s.classIndex, s.count, shape.toFillPolygon(axes) });
        }
        axes.rotate(m_frame.sectorStep);
    }
    return true;
}
