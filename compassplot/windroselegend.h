#ifndef WINDROSELEGEND_H
#define WINDROSELEGEND_H

#include "qpaintable.h"

#include <QString>

class QTransform;
class QWindRose;
struct Interval;
namespace RoseLayout {
struct LegendRows;
}

// The key of a rose: one symbol and one range text per class stacked upward, the rose's
// legend title above them, and a free text (optionally on a warning box) at the top right.
// It renders into an image of its own, which the rose copies to its right edge.
class WindroseLegend : public QPaintable
{
    Q_OBJECT
    Q_DISABLE_COPY(WindroseLegend)
public:
    WindroseLegend(QWindRose *rose, int height);

    virtual int titleLineHeight() const;
    virtual bool prepare();
    // Renders the legend into its own image (the painter is not used for that).
    virtual bool paint(QPainter *painter);
    using QPaintable::paint;
    virtual bool draw(QPainter *painter);

    void setRose(QWindRose *rose);
    QWindRose *rose() const { return m_rose; }
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

private:
    // The range text of class classIndex (empty for the first class, whose limit stands
    // beside the symbol).
    QString classLabel(int classIndex) const;
    // "(low, high]", the text of a class between the first and the last.
    QString middleLabel(const Interval &c) const;
    QString number(double limit) const;
    void drawLabel(QPainter *p, const QString &text, const QRect &rect, const QFont &font) const;
    // Paints the label and the bar of one class row; returns where the next row starts.
    double drawRow(QPainter *p, int classIndex, double y, const RoseLayout::LegendRows &rows,
        const QTransform &barFrame) const;
    // The free text at the top right, on a light red box when it is a warning.
    void drawFreeText(QPainter *p, int width, int height, const QFont &font) const;

    QWindRose *m_rose;
    bool m_showTitle = false;
    int m_titleLineHeight = 0;
    int m_precision = 1;
    QString m_legendText;
    bool m_warning = false;
    int m_legendWidth = 0;
    int m_fixedWidth = -1;
};

#endif // WINDROSELEGEND_H
