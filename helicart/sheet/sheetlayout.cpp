#include "sheetlayout.h"

#include <QtGlobal>

namespace {

constexpr int kMaxYearsInRow = 6;

int rowsOf(int count, int columns)
{
    return columns > 0 ? (count + columns - 1) / columns : 0;
}

} // namespace

int SheetLayout::gridColumns(Grouping::Kind kind, int count)
{
    switch (kind) {
    case Grouping::Kind::Season:
        return qMin(count, 2);
    case Grouping::Kind::Month:
        return qMin(count, 4);
    case Grouping::Kind::Year:
        return qMin(count, kMaxYearsInRow);
    case Grouping::Kind::None:
        break;
    }
    return qMax(count, 1);
}

SheetLayout::Scale SheetLayout::commonScale(const QList<Scale> &scales, const Scale &fixed)
{
    if (fixed.maximum > 0 && fixed.rings > 0)
        return fixed;
    Scale largest;
    for (const Scale &s : scales) {
        if (s.rings > 0 && s.maximum > largest.maximum)
            largest = s;
    }
    return largest;
}

QSize SheetLayout::blockSize(int count, int columns, const QSize &roseSize, const QSize &legendSize)
{
    const int rows = rowsOf(count, columns);
    const int gridHeight = rows * (kPanelTitleHeight + roseSize.height() + kMargin);
    const int width
        = kMargin + columns * (roseSize.width() + kMargin) + legendSize.width() + kMargin;
    const int height = kBlockTitleHeight + qMax(gridHeight, legendSize.height() + kMargin);
    return QSize(width, height);
}

QRect SheetLayout::panelTitle(int index, int columns, const QSize &roseSize)
{
    const int column = columns > 0 ? index % columns : 0;
    const int row = columns > 0 ? index / columns : 0;
    const int x = kMargin + column * (roseSize.width() + kMargin);
    const int y = kBlockTitleHeight + row * (kPanelTitleHeight + roseSize.height() + kMargin);
    return QRect(x, y, roseSize.width(), kPanelTitleHeight);
}

QRect SheetLayout::panelRose(int index, int columns, const QSize &roseSize)
{
    const QRect title = panelTitle(index, columns, roseSize);
    return QRect(QPoint(title.left(), title.bottom() + 1), roseSize);
}

QPoint SheetLayout::legendCorner(int columns, const QSize &roseSize)
{
    return QPoint(kMargin + columns * (roseSize.width() + kMargin), kBlockTitleHeight);
}
