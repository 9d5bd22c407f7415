#ifndef SHEETIMAGE_H
#define SHEETIMAGE_H

#include "outputformats.h"
#include "sheetlayout.h"

#include <QImage>
#include <QList>
#include <QPicture>
#include <QString>

class QObject;
class QPainter;
class SolarRoseInterface;

// A sheet of small multiples: a block of roses per column of the file, every rose of a block on
// one common scale, so that equal ring radii mean equal percentages.
class SheetImage
{
public:
    struct Panel
    {
        QImage rose;
        QString title;
        QPicture drawing; // the rose as the chart paints it, for the vector formats
    };
    struct Block
    {
        QString title;
        int columns = 1; // panels side by side
        int roseHeight = 0; // the height the roses were asked for: each panel's at least
        QList<Panel> panels;
        QImage legend; // null: each rose carries its own
        QPicture legendDrawing; // the first rose with its legend, for the vector formats
    };
    // A chart drawn into a panel.
    struct Entry
    {
        SolarRoseInterface *chart;
        QObject *instance;
        QString title;
    };

    // The block of entries' charts, drawn roseHeight pixels high on their common scale (the
    // largest of their own, or fixed); with oneLegend the roses without legend and the first
    // chart's legend, showing legendText, beside them; with drawings also as the charts paint
    // themselves, for the vector formats. The charts keep the settings given.
    static Block draw(const QList<Entry> &entries, const QString &title, int columns,
        int roseHeight, const SheetLayout::Scale &fixed, bool oneLegend, const QString &legendText,
        bool drawings = false);

    // The entry's chart drawn roseHeight pixels high, its texts in proportion, with or without
    // legend; it keeps those settings.
    static QImage drawn(const Entry &entry, int roseHeight, bool legend);

    // Adds block, unless it has no panel (a column without a group that holds data).
    void add(Block block)
    {
        if (!block.panels.isEmpty())
            m_blocks.append(std::move(block));
    }
    bool isEmpty() const { return m_blocks.isEmpty(); }
    // The size of the whole sheet.
    QSize size() const;
    // The sheet; null when its image cannot be had.
    QImage compose() const;
    // The sheet as an SVG or PDF document, from the drawings; empty when there is none.
    QByteArray document(OutputFormats::Format format) const;

private:
    void paint(QPainter *painter, bool drawings) const;
    static QSize roseSize(const Block &block);
    static QSize blockSize(const Block &block);
    static void paintBlock(QPainter *painter, const Block &block, bool drawings);
    static void paintLegend(QPainter *painter, const Block &block, bool drawings);

    QList<Block> m_blocks;
};

#endif // SHEETIMAGE_H
