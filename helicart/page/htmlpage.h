#ifndef HTMLPAGE_H
#define HTMLPAGE_H

#include <QByteArray>
#include <QList>
#include <QPolygonF>
#include <QSize>
#include <QString>
#include <QStringList>

class QXmlStreamWriter;

// A run's report as one self-contained HTML page: a header that says what was read and how,
// the run's warnings, and per column its rose as inline SVG with a shape over every segment
// whose title tells the segment's numbers, its table and its legend's texts. Nothing on the
// page asks for another file; every text is escaped where it goes in.
class HtmlPage
{
public:
    // What the header tells.
    struct Header
    {
        QString inputName; // the input file's name, without its folder
        QString stations;
        QString timeRange;
        qint64 allLines = 0;
        // Per column: its label and its good and unknown lines.
        struct Lines
        {
            QString label;
            qint64 good = 0;
            qint64 unknown = 0;
        };
        QList<Lines> lines;
        QString options; // the arguments of the run
        QString version;
        QString runTime; // ISO 8601
    };

    // A shape laid over a segment of the rose, with the text pointing at it shows.
    struct Shape
    {
        QPolygonF outline; // in the rose's pixels
        QString title;
    };

    // A rose: the column's, or a group's (--by) shown beside the others of its column on their
    // common scale.
    struct Panel
    {
        QString title; // the group and its good lines
        QByteArray svg;
        QSize size;
        QList<Shape> shapes;
    };

    struct Column
    {
        QString heading; // label and unit
        QByteArray svg; // the rose as an SVG document
        QSize size; // of the rose, in pixels
        QList<Shape> shapes;
        QList<Panel> panels; // the groups' roses, in their order
        QStringList table; // the table's lines as the TSV has them: four captions first
        QString legendTitle;
        QStringList legendClasses;
        QStringList legendLines;
    };

    // The whole page, UTF-8.
    static QByteArray text(
        const Header &header, const QStringList &warnings, const QList<Column> &columns);
    // The same from the columns' sections (see section), made apart, in their order.
    static QByteArray assembled(
        const Header &header, const QStringList &warnings, const QList<QByteArray> &sections);

    // The part of column k, as a section (UTF-8) whose ids begin with "c" k "-".
    static QByteArray section(const Column &column, int k);
    // The same, written by out, with ids beginning with idPrefix (unique on the page).
    static void writeColumn(QXmlStreamWriter &out, const Column &column, const QString &idPrefix);

    // A polygon as the d attribute of an SVG path, to a tenth of a pixel.
    static QString pathData(const QPolygonF &outline);

private:
    static void writeHead(QXmlStreamWriter &out, const Header &header);
    static void writeHeader(QXmlStreamWriter &out, const Header &header);
    static void writeWarnings(QXmlStreamWriter &out, const QStringList &warnings);
    // A rose with its segments' shapes over it.
    static void writeRose(
        QXmlStreamWriter &out, const Panel &rose, const QString &idPrefix, const QString &heading);
    static void writePanels(QXmlStreamWriter &out, const Column &column, const QString &idPrefix);
    static void writeTable(QXmlStreamWriter &out, const QStringList &table);
    static void writeLegend(QXmlStreamWriter &out, const Column &column);
};

#endif // HTMLPAGE_H
