#ifndef IMAGETABLE_H
#define IMAGETABLE_H

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QPen>
#include <QSize>
#include <QStringList>
#include <QVector>

class QPainter;

// Renders rows of tab-separated texts as a grid of outlined, filled cells with centred texts,
// under an optional title bar. Columns are as wide as their widest text; a larger requested
// size is spread over the columns and rows.
//
// The operations are virtual and declared in a fixed order that hosts built elsewhere rely on.
class ImageTable : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ImageTable)

public:
    // Where render puts things: cell sizes after spreading, the title bar and the image size.
    struct Layout
    {
        QVector<int> columnWidths;
        QVector<int> rowHeights;
        int titleWidth = 0;
        int titleHeight = 0;
        QSize imageSize;
    };

    ImageTable();

    virtual bool setTitle(const QString &title);
    virtual bool setRows(const QStringList &rows);
    virtual bool setFont(const QFont &font);
    // Body cells in color, rows 3, 7, 11, ... lighter, header cells and title darker.
    virtual bool setColorScheme(const QColor &color);
    // White cells, black texts and lines.
    virtual bool setMonochrome();
    // The first rows and the first columns drawn as header cells.
    virtual bool setHeader(int rows, int columns);
    // The table as an image of format, at least width by height pixels; a width below 1 or a
    // height below the table's own means its natural size.
    virtual QImage render(QImage::Format format, int width, int height);
    // Back to the default colour scheme without header cells (font, rows and title stay).
    // Returns false, though it always succeeds: existing callers expect that.
    virtual bool reset();

    // The geometry render uses for that request.
    Layout layout(QImage::Format format, int width, int height) const;

    // Paints the table as render does, with layout, onto painter (whose origin is the top left
    // corner): onto a vector drawing, for one. The ground under the cells is the caller's.
    void paint(QPainter *painter, const Layout &layout) const;

private:
    Layout measure(QImage::Format format) const;
    void paintCells(QPainter &painter, const Layout &layout) const;

    QFont m_font;
    QStringList m_rows;
    QString m_title;
    int m_headerRows = 0;
    int m_headerColumns = 0;
    QBrush m_bodyBrush;
    QBrush m_fourthRowBrush;
    QBrush m_headerBrush;
    QPen m_headerTextPen;
    QPen m_bodyTextPen;
    QPen m_borderPen;
    QColor m_baseColor;
};

#endif // IMAGETABLE_H
