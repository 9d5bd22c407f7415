#ifndef OUTPUTFORMATS_H
#define OUTPUTFORMATS_H

#include <QByteArray>
#include <QFlags>
#include <QList>
#include <QString>
#include <QStringList>

// The kinds of file a run writes for each chart: the PNG images, the same drawings as SVG and
// PDF, and the table as text. Names and contents that do not depend on a chart.
class OutputFormats
{
public:
    enum Format {
        Png = 0x1,
        Svg = 0x2,
        Pdf = 0x4,
        Tsv = 0x8,
        Csv = 0x10, // the counts of the table, cell by cell
        Html = 0x20, // a page of the whole run
    };
    Q_DECLARE_FLAGS(Formats, Format)

    // Every format, in the order of names().
    static QList<Format> all();

    // "png, svg, pdf, tsv, csv, html": the names parse knows, for messages.
    static QString names();

    // The file name suffix of format, without the dot ("png").
    static QString suffix(Format format);

    // The table data as text: one line per entry, each ended by a line feed, in UTF-8.
    static QByteArray tableText(const QStringList &rows);
};

Q_DECLARE_OPERATORS_FOR_FLAGS(OutputFormats::Formats)

#endif // OUTPUTFORMATS_H
