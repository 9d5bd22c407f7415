#ifndef SHEETLAYOUT_H
#define SHEETLAYOUT_H

#include "grouping.h"

#include <QList>
#include <QRect>
#include <QSize>

// Where the parts of a sheet of small multiples go: a block per column of the file, with a
// title strip on top, its panels in a grid below (each with a title strip of its own over the
// rose) and the block's legend at the grid's right. Computed without painting.
class SheetLayout
{
public:
    // The scale of a panel: the outer ring's percentage and the number of rings.
    struct Scale
    {
        double maximum = 0;
        int rings = 0;
    };

    static constexpr int kMinPanelHeight = 260;
    static constexpr int kPanelHeight = 320; // the roses' height on a sheet by default
    static constexpr int kMargin = 12;
    static constexpr int kBlockTitleHeight = 34;
    static constexpr int kPanelTitleHeight = 26;

    // The panels side by side in a block of count panels grouped by kind: seasons 2 x 2,
    // months 4 x 3 (four to a row), years at most 6 to a row; without groups all in one row.
    static int gridColumns(Grouping::Kind kind, int count);
    // The scale of a block: fixed when it is valid (rings and maximum above 0), else the
    // largest of the panels' own.
    static Scale commonScale(const QList<Scale> &scales, const Scale &fixed);

    // The size of a block of count panels of roseSize each, with a legend of legendSize.
    static QSize blockSize(int count, int columns, const QSize &roseSize, const QSize &legendSize);
    // Where panel index of a block puts its title strip and its rose, from the block's corner.
    static QRect panelTitle(int index, int columns, const QSize &roseSize);
    static QRect panelRose(int index, int columns, const QSize &roseSize);
    // Where the block's legend goes, for a grid of columns panels of roseSize.
    static QPoint legendCorner(int columns, const QSize &roseSize);
};

#endif // SHEETLAYOUT_H
