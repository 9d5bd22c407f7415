#include "tablefit.h"

#include "imagetable.h"

#include <QFont>
#include <QImage>

void TableFit::setUp(ImageTable &table, QStringList rows)
{
    const QString title = rows.mid(0, 4).join(QLatin1Char('\n'));
    rows = rows.mid(4);
    table.setRows(rows);
    table.setTitle(title);
}

namespace {

QFont tableFont(double pointSize)
{
    QFont font(QStringLiteral("framd"));
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace

bool TableFit::fitFont(ImageTable &table, const QSize &size, double textScale)
{
    // The type of the default height is the one the table has always had.
    const double largest = textScale > 0 && textScale != 1.0 ? kFontSize * textScale : kFontSize;
    if (size.isEmpty()) {
        table.setFont(tableFont(largest));
        return true;
    }
    const auto fits = [&table, &size](double pointSize) {
        table.setFont(tableFont(pointSize));
        const QSize natural
            = table.layout(QImage::Format_ARGB32, size.width(), size.height()).imageSize;
        return natural.width() <= size.width() && natural.height() <= size.height();
    };
    // Below the smallest type the table is scaled down instead: it is tried in the larger of
    // the two.
    for (double pointSize = qMax(largest, double(kMinFontSize)); pointSize >= kMinFontSize;
         pointSize -= 1.0) {
        if (fits(pointSize))
            return true;
    }
    return false;
}

QImage TableFit::render(ImageTable &table, const QSize &size, double textScale)
{
    const bool fits = fitFont(table, size, textScale);
    // An image to match is not there (the rose could not be drawn): the table's own size.
    if (size.isEmpty())
        return table.render(QImage::Format_ARGB32, 0, 0);
    const QImage image = table.render(QImage::Format_ARGB32, size.width(), size.height());
    return fits ? image : image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage TableFit::image(const QStringList &rows, const QSize &size, double textScale)
{
    ImageTable table;
    setUp(table, rows);
    return render(table, size, textScale);
}
