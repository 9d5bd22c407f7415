#ifndef SHEETIMAGE_H
#define SHEETIMAGE_H

#include "sheetlayout.h"

#include <QImage>
#include <QList>
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
    };
    struct Block
    {
        QString title;
        int columns = 1; // panels side by side
        QList<Panel> panels;
        QImage legend; // null: each rose carries its own
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
    // chart's legend, showing legendText, beside them. The charts keep the settings given.
    static Block draw(const QList<Entry> &entries, const QString &title, int columns,
        int roseHeight, const SheetLayout::Scale &fixed, bool oneLegend, const QString &legendText);

    void add(Block block) { m_blocks.append(std::move(block)); }
    bool isEmpty() const { return m_blocks.isEmpty(); }
    // The sheet; null when its image cannot be had.
    QImage compose() const;

private:
    static QSize roseSize(const Block &block);
    static void paintBlock(QPainter *painter, const Block &block);

    QList<Block> m_blocks;
};

#endif // SHEETIMAGE_H
