#include "qpaintable.h"

#include <QDebug>
#include <QImage>

QPaintable::QPaintable()
    : QObject(nullptr)
{ }

QPaintable::~QPaintable()
{
    m_image = QImage();
    // Children are not owned; the list is only let go of.
    while (!m_children.isEmpty()) {
        QPaintable *child = m_children.takeFirst();
        qDebug() << "removing object at: " << static_cast<void *>(child);
    }
}

void QPaintable::setSize(const QSize &size)
{
    m_width = size.width();
    m_height = size.height();
}

bool QPaintable::setFont(const QFont &font)
{
    m_font = font;
    return true;
}

int QPaintable::width() const
{
    return m_width;
}

int QPaintable::height() const
{
    return m_height;
}

QPoint QPaintable::position() const
{
    return QPoint(0, 0);
}

QSize QPaintable::size() const
{
    return QSize(width(), height());
}

void QPaintable::paint(QPainter *painter, const QPoint &offset)
{
    for (QPaintable *child : std::as_const(m_children))
        child->paint(painter, offset);
    emit onPaint(painter, offset);
}

void QPaintable::drawContent(QPainter *, const QPoint &) { }

QSize QPaintable::totalSize() const
{
    const QSize own = size();
    int childWidth = 0;
    int childHeight = 0;
    for (const QPaintable *child : m_children) {
        const QSize s = child->totalSize();
        childWidth += s.width();
        childHeight += s.height();
    }
    return QSize(qMax(own.width(), childWidth), qMax(own.height(), childHeight));
}

void QPaintable::setHeight(int height)
{
    m_height = height;
}

void QPaintable::setBackground(const QBrush &brush)
{
    m_background = brush;
}
