#ifndef TABLEFIT_H
#define TABLEFIT_H

#include <QStringList>

class ImageTable;
class QImage;
class QSize;

// A chart's table data made into a table of a given size: the four caption lines make its
// title, the other lines its rows, and the type is the largest that lets it fit.
class TableFit
{
public:
    // Point sizes of the table's type: the table is written in the first (times the text scale,
    // see fitFont) when it fits the rose's size, in one a point smaller down to the last when it
    // does not.
    static constexpr int kFontSize = 12;
    static constexpr int kMinFontSize = 6;

    // The table of the chart's table data: the four caption lines make its title, the other
    // lines its rows.
    static void setUp(ImageTable &table, QStringList rows);
    // Sets the table's font as render does for size; false when the table does not fit even in
    // the smallest type (its drawing is scaled down to size then). The type starts at kFontSize
    // times textScale, the ratio of the rose's height to the one the type was chosen for.
    static bool fitFont(ImageTable &table, const QSize &size, double textScale = 1.0);
    // The table, with its rows and title set, as an image of exactly size: the table in the
    // largest type from kFontSize down to kMinFontSize that fits, its cells spread over the
    // rest; a table that does not fit even then is scaled down. An empty size gives the
    // table's own size.
    static QImage render(ImageTable &table, const QSize &size, double textScale = 1.0);
    // The table image of the chart's table data rows at size.
    static QImage image(const QStringList &rows, const QSize &size, double textScale = 1.0);
};

#endif // TABLEFIT_H
