#ifndef QPAINTABLE_H
#define QPAINTABLE_H

#include <QBrush>
#include <QFont>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPainter>
#include <QPoint>
#include <QSize>

// Base of everything that renders itself into an image of its own: the rose and its legend.
class QPaintable : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(QPaintable)
public:
    QPaintable();
    ~QPaintable() override;

    virtual void setSize(const QSize &size);
    // Returns true; the rose's interface declares the same operation with a result.
    virtual bool setFont(const QFont &font);
    virtual int width() const;
    virtual int height() const;
    virtual QPoint position() const;
    virtual QSize size() const;
    // Paints the children in list order, then emits onPaint.
    virtual void paint(QPainter *painter, const QPoint &offset);
    virtual void drawContent(QPainter *painter, const QPoint &offset);
    // The own size, grown to the summed sizes of the children where those are larger.
    virtual QSize totalSize() const;

    // The rendered picture (Qt shares its pixels with the copy); a null image before the first
    // rendering.
    QImage image() const { return m_image; }
    void setHeight(int height);
    void setBackground(const QBrush &brush);
    QBrush background() const { return m_background; }
    QFont font() const { return m_font; }

    QList<QPaintable *> children() const { return m_children; }

signals:
    void onPaint(QPainter *painter, const QPoint &offset);

protected:
    // Replaces the picture; a null image releases it.
    void setImage(const QImage &image) { m_image = image; }
    // The picture itself, for painting on it in place.
    QImage &canvas() { return m_image; }

private:
    QImage m_image;
    QBrush m_background;
    QList<QPaintable *> m_children;
    int m_width = 0;
    int m_height = 0;
    QFont m_font;
};

#endif // QPAINTABLE_H
