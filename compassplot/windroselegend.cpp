#include "windroselegend.h"

#include "qwindrose.h"

#include <QPainter>

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

bool WindroseLegend::draw(QPainter *painter)
{
    // TODO(legend)
    Q_UNUSED(painter);
    return m_rose != nullptr;
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
    // TODO(legend)
    Q_UNUSED(font);
    return 0;
}

int WindroseLegend::textColumnWidth(const QFont &font, int symbolSize) const
{
    // TODO(legend)
    Q_UNUSED(font);
    Q_UNUSED(symbolSize);
    return 0;
}

int WindroseLegend::freeTextWidth(const QFont &font, int extra) const
{
    // TODO(legend)
    Q_UNUSED(font);
    Q_UNUSED(extra);
    return 0;
}
