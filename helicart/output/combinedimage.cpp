#include "combinedimage.h"

#include <cstring>

void CombinedImage::add(const QImage &painted)
{
    const bool overGround = !m_ground.isNull() && painted.height() == m_ground.height()
        && painted.width() >= m_ground.width();
    if (!overGround) {
        m_ground = painted.convertToFormat(QImage::Format_ARGB32);
        m_strips.clear();
        return;
    }
    const int width = m_ground.width();
    const QImage image = painted.convertToFormat(QImage::Format_ARGB32);
    m_ground = image.width() == width ? image : image.copy(0, 0, width, image.height());
    if (image.width() > width)
        m_strips.append(image.copy(width, 0, image.width() - width, image.height()));
}

QSize CombinedImage::size() const
{
    int width = m_ground.width();
    for (const QImage &strip : m_strips)
        width += strip.width();
    return QSize(width, m_ground.height());
}

PngEncoder::Header CombinedImage::header() const
{
    const QSize whole = size();
    return { whole.width(), whole.height(), m_ground.dotsPerMeterX(), m_ground.dotsPerMeterY() };
}

const QRgb *CombinedImage::row(int y, QRgb *scratch) const
{
    if (m_strips.isEmpty())
        return reinterpret_cast<const QRgb *>(m_ground.constScanLine(y));
    QRgb *at = scratch;
    const auto append = [&at, y](const QImage &part) {
        std::memcpy(at, part.constScanLine(y), size_t(part.width()) * sizeof(QRgb));
        at += part.width();
    };
    append(m_ground);
    for (const QImage &strip : m_strips)
        append(strip);
    return scratch;
}

QImage CombinedImage::toImage() const
{
    if (m_strips.isEmpty())
        return m_ground;
    QImage whole(size(), QImage::Format_ARGB32);
    if (whole.isNull())
        return whole;
    whole.setDotsPerMeterX(m_ground.dotsPerMeterX());
    whole.setDotsPerMeterY(m_ground.dotsPerMeterY());
    for (int y = 0; y < whole.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(whole.scanLine(y));
        const QRgb *source = row(y, line);
        if (source != line)
            std::memcpy(line, source, size_t(whole.width()) * sizeof(QRgb));
    }
    return whole;
}
