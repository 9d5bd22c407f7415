#ifndef ROSEDRAWING_H
#define ROSEDRAWING_H

#include <QSize>

class QPainter;
class QWindRose;

// The steps of one drawing of a rose: into the chart's image, or onto a painter of the
// caller's (a vector document, for one) with each step at the place it has in the image and
// without any image of the chart's own. The grid is measured on the rose's part, the data on
// the drawing that the legend widens.
class RoseDrawing
{
public:
    explicit RoseDrawing(QWindRose &rose);

    // Renders the chart into its image (which holds the picture to paint over): background and
    // grid, the image widened for the legend, data and legend, then the stamp time.
    void renderImage();

    // The size of the drawing over a picture of size canvas (empty: none): the rose's part
    // (canvas, or a square of the image height), widened by the legend.
    QSize size(const QSize &canvas) const;

    // Paints the drawing of size(canvas) at the painter's origin; the painter's state is kept.
    // False without an active painter or with an empty size.
    bool paint(QPainter *painter, const QSize &canvas);

private:
    // The steps of renderImage.
    void measureImage();
    void paintImageCanvas();
    // The chart's image on a wider one with room for the legend, which becomes the chart's
    // image; false when there is no such image.
    bool widenImage();
    void paintImageDataAndLegend();

    QSize roseArea(const QSize &canvas) const;
    QSize wideArea(const QSize &rose) const;
    void measure(const QSize &rose, const QSize &wide);
    // The white ground the image has: the widened strip, or all of it without a picture.
    void paintGround(QPainter *painter, const QSize &canvas, const QSize &total) const;
    void paintCanvas(QPainter *painter, const QSize &rose);
    void paintDataAndLegend(QPainter *painter, const QSize &wide);

    QWindRose &m_rose;
};

#endif // ROSEDRAWING_H
