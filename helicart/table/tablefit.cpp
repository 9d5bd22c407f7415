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

bool TableFit::fitFont(ImageTable &table, const QSize &size)
{
    if (size.isEmpty()) {
        table.setFont(QFont(QStringLiteral("framd"), kFontSize));
        return true;
    }
    const auto fits = [&table, &size](int pointSize) {
        table.setFont(QFont(QStringLiteral("framd"), pointSize));
        const QSize natural
            = table.layout(QImage::Format_ARGB32, size.width(), size.height()).imageSize;
        return natural.width() <= size.width() && natural.height() <= size.height();
    };
    for (int pointSize = kFontSize; pointSize >= kMinFontSize; --pointSize) {
        if (fits(pointSize))
            return true;
    }
    return false;
}

QImage TableFit::render(ImageTable &table, const QSize &size)
{
    const bool fits = fitFont(table, size);
    // An image to match is not there (the rose could not be drawn): the table's own size.
    if (size.isEmpty())
        return table.render(QImage::Format_ARGB32, 0, 0);
    const QImage image = table.render(QImage::Format_ARGB32, size.width(), size.height());
    return fits ? image : image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage TableFit::image(const QStringList &rows, const QSize &size)
{
    ImageTable table;
    setUp(table, rows);
    return render(table, size);
}
