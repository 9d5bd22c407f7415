#ifndef WINDROSELEGEND_H
#define WINDROSELEGEND_H

#include "interval.h"
#include "qpaintable.h"
#include "roselayout.h"
#include "spoke.h"

#include <QFont>
#include <QList>
#include <QString>
#include <QVector>

class QTransform;
class WindroseStyle;

// What a legend shows of its chart, handed to it before it is laid out: the classes with their
// styles and bar thicknesses, the radial extent of the chart's bars, the title, and the
// chart's segment style (null: no bars).
struct LegendContent
{
    QList<Interval> classes;
    QVector<Spoke> styles; // by class index
    QVector<double> thickness; // by class index
    double barArea = 0.0;
    QString title;
    WindroseStyle *style = nullptr;
};

// The key of a rose: one symbol and one range text per class stacked upward, the rose's
// legend title above them, and a free text (optionally on a warning box) at the top right.
// The chart paints it at the right edge of its drawing; on its own it renders into an image.
class WindroseLegend : public QPaintable
{
    Q_OBJECT
    Q_DISABLE_COPY(WindroseLegend)
public:
    explicit WindroseLegend(int height);

    // The legend as it is drawn: the font of its texts, its rows and the cells of its texts.
    struct Layout
    {
        QFont font;
        RoseLayout::LegendRows rows;
        RoseLayout::LegendCells cells;
    };

    virtual int titleLineHeight() const;
    virtual bool prepare();
    // Renders the legend into its own image (the painter is not used for that).
    virtual bool paint(QPainter *painter);
    using QPaintable::paint;
    virtual bool draw(QPainter *painter);
    // Paints the legend as paint renders its image, but straight onto painter with the image's
    // top left corner at origin (no image of its own), in a layout measured before; the
    // painter's state is kept. False without content or an active painter.
    bool paintOnto(QPainter *painter, const QPoint &origin, const Layout &layout);
    // The width of the legend's image as paint would render it now.
    int paintWidth() const;

    // The chart's part of the legend; without it the legend has nothing to show.
    void setContent(const LegendContent &content);
    void clearContent();
    bool hasContent() const { return m_hasContent; }
    const LegendContent &content() const { return m_content; }
    bool setPrecision(int precision);
    int precision() const { return m_precision; }
    void setLegendText(const QString &text, bool warning);
    QString legendText() const { return m_legendText; }
    bool warning() const { return m_warning; }
    bool setFixedWidth(int width);
    int fixedWidth() const { return m_fixedWidth; }
    void setShowTitle(bool show) { m_showTitle = show; }
    bool showTitle() const { return m_showTitle; }

    // The width the rose reserves for the legend.
    int legendWidth(const QFont &font) const;
    // Widest title line or middle class label (plus the symbol size).
    int textColumnWidth(const QFont &font, int symbolSize) const;
    // Width of the free text's bounding rectangle, plus 4 and extra.
    int freeTextWidth(const QFont &font, int extra) const;
    // The width last used: the fixed width when positive, else the legend image's width.
    int lastLegendWidth() const { return m_legendWidth; }

    // The layout for the legend's font and height. Where the free text, the title and the class
    // labels would overlap, the class rows get less height (down to a label's height) and,
    // when that is not enough, the font steps down a point at a time (to minPointSize).
    Layout layout() const;
    // The rectangles the texts of layout cover in the legend image: the free text's box, the
    // title, then the class labels from the first (empty texts left out).
    QVector<QRect> textRects(const Layout &layout) const;
    // The range text of class classIndex beside its bar, or beside the symbol for the first
    // class ("<= " and its upper limit).
    QString labelText(int classIndex) const;

    static constexpr int minPointSize = 6;

private:
    // The range text of class classIndex (empty for the first class, whose limit stands
    // beside the symbol).
    QString classLabel(int classIndex) const;
    // "(low, high]", the text of a class between the first and the last.
    QString middleLabel(const Interval &c) const;
    QString number(double limit) const;
    void drawLabel(QPainter *p, const QString &text, const QRect &rect, const QFont &font) const;
    // The whole legend in layout; origin maps the legend image's corner onto the painter.
    void paintLayout(QPainter *p, const Layout &layout, const QTransform &origin);
    // The symbol, the class rows and the title.
    void drawRows(QPainter *painter, const Layout &layout, const QTransform &origin) const;
    // Paints the label and the bar of class classIndex (1 ... classCount - 1).
    void drawRow(
        QPainter *p, int classIndex, const Layout &layout, const QTransform &barFrame) const;
    // The free text at the top right, on a light red box when it is a warning.
    void drawFreeText(
        QPainter *p, const QRect &area, const QFont &font, const QTransform &origin) const;
    // The layout in font with the rose's row heights, before any fitting.
    Layout plainLayout(const QFont &font) const;
    // layout with the largest row height at which no texts overlap (at most its own, or a
    // label's height where its own is less); false, with rows of a label's height, when no row
    // height keeps them apart.
    bool fitRows(Layout &layout) const;
    int titleHeight(const Layout &layout) const;
    // Gives layout's rows rowHeight, and its texts their cells in such rows.
    void setRowHeight(Layout &layout, int rowHeight) const;

    LegendContent m_content;
    bool m_hasContent = false;
    bool m_showTitle = false;
    int m_titleLineHeight = 0;
    int m_precision = 1;
    QString m_legendText;
    bool m_warning = false;
    int m_legendWidth = 0;
    int m_fixedWidth = -1;
};

#endif // WINDROSELEGEND_H
