#include "htmlpage.h"

#include "inlinesvg.h"

#include <QXmlStreamWriter>

namespace {

// The page's look. Sizes in whole pixels, so that each rose lies on whole pixels and shows as
// sharp as its image. No character here is one the writer escapes: the style element's text
// is read as it stands.
const char kStyle[] = "body{font:16px/20px sans-serif;margin:24px;color:#222}"
                      "h1{font-size:32px;line-height:40px;margin:16px 0}"
                      "h2{font-size:24px;line-height:30px;margin:24px 0 12px}"
                      "h3{font-size:18px;line-height:24px;margin:12px 0}"
                      "p,ul,dl{margin:12px 0}"
                      "dl.run{display:grid;grid-template-columns:max-content auto;gap:2px 16px}"
                      "dl.run dt{font-weight:bold}dl.run dd{margin:0}"
                      ".rose{position:relative;margin:0}"
                      ".rose svg{position:absolute;left:0;top:0}"
                      ".segments path{fill:#000;fill-opacity:0;stroke:none}"
                      ".segments path:hover{fill-opacity:.25}"
                      "table{border-collapse:collapse;margin:16px 0}"
                      "caption{text-align:left;caption-side:top}"
                      "caption span{display:block}"
                      "th,td{border:1px solid #bbb;padding:2px 8px;text-align:right}"
                      ".legend p{white-space:pre-line}"
                      ".panels{display:flex;flex-wrap:wrap;gap:8px 16px}"
                      ".panel h3{margin:4px 0}";

// An element holding text; an empty one is written with its end tag, as HTML wants.
void element(QXmlStreamWriter &out, const QString &name, const QString &text)
{
    out.writeStartElement(name);
    out.writeCharacters(text);
    out.writeEndElement();
}

void entry(QXmlStreamWriter &out, const QString &term, const QString &description)
{
    element(out, QStringLiteral("dt"), term);
    element(out, QStringLiteral("dd"), description);
}

// A table row whose first cell heads the row, the others data, or all head the columns.
void row(QXmlStreamWriter &out, const QStringList &cells, bool columnHeads)
{
    out.writeStartElement(QStringLiteral("tr"));
    for (int i = 0; i < cells.size(); ++i) {
        const bool head = columnHeads || i == 0;
        out.writeStartElement(head ? QStringLiteral("th") : QStringLiteral("td"));
        if (head)
            out.writeAttribute(QStringLiteral("scope"),
                columnHeads ? QStringLiteral("col") : QStringLiteral("row"));
        out.writeCharacters(cells.at(i));
        out.writeEndElement();
    }
    out.writeEndElement();
}

} // namespace

QByteArray HtmlPage::text(
    const Header &header, const QStringList &warnings, const QList<Column> &columns)
{
    QList<QByteArray> sections;
    for (int k = 0; k < columns.size(); ++k)
        sections.append(section(columns.at(k), k));
    return assembled(header, warnings, sections);
}

QByteArray HtmlPage::assembled(
    const Header &header, const QStringList &warnings, const QList<QByteArray> &sections)
{
    QByteArray bytes;
    {
        QXmlStreamWriter out(&bytes);
        out.writeDTD(QStringLiteral("<!DOCTYPE html>"));
        out.writeStartElement(QStringLiteral("html"));
        out.writeAttribute(QStringLiteral("lang"), QStringLiteral("en"));
        writeHead(out, header);
        out.writeStartElement(QStringLiteral("body"));
        writeHeader(out, header);
        out.writeStartElement(QStringLiteral("main"));
        writeWarnings(out, warnings);
        // Ends the start tag of main (or the warnings' end tag) before the sections follow.
        out.writeCharacters(QString());
    }
    for (const QByteArray &section : sections)
        bytes += section;
    // As the writer ends a document, and a line's end after it.
    bytes += "</main></body></html>\n\n";
    return bytes;
}

QByteArray HtmlPage::section(const Column &column, int k)
{
    QByteArray bytes;
    QXmlStreamWriter out(&bytes);
    writeColumn(out, column, QStringLiteral("c%1-").arg(k));
    return bytes;
}

void HtmlPage::writeHead(QXmlStreamWriter &out, const Header &header)
{
    out.writeStartElement(QStringLiteral("head"));
    out.writeEmptyElement(QStringLiteral("meta"));
    out.writeAttribute(QStringLiteral("charset"), QStringLiteral("utf-8"));
    out.writeEmptyElement(QStringLiteral("meta"));
    out.writeAttribute(QStringLiteral("name"), QStringLiteral("viewport"));
    out.writeAttribute(QStringLiteral("content"), QStringLiteral("width=device-width"));
    element(out, QStringLiteral("title"), QStringLiteral("Solar roses of ") + header.inputName);
    element(out, QStringLiteral("style"), QLatin1String(kStyle));
    out.writeEndElement();
}

void HtmlPage::writeHeader(QXmlStreamWriter &out, const Header &header)
{
    out.writeStartElement(QStringLiteral("header"));
    element(out, QStringLiteral("h1"), QStringLiteral("Solar roses of ") + header.inputName);
    out.writeStartElement(QStringLiteral("dl"));
    out.writeAttribute(QStringLiteral("class"), QStringLiteral("run"));
    entry(out, QStringLiteral("Input file"), header.inputName);
    entry(out, QStringLiteral("Station"), header.stations);
    entry(out, QStringLiteral("Time range"), header.timeRange);
    entry(out, QStringLiteral("Data lines"), QString::number(header.allLines));
    for (const Header::Lines &lines : header.lines) {
        entry(out, lines.label,
            QStringLiteral("%1 good, %2 unknown").arg(lines.good).arg(lines.unknown));
    }
    entry(out, QStringLiteral("Options"), header.options);
    entry(out, QStringLiteral("Program"), header.version);
    element(out, QStringLiteral("dt"), QStringLiteral("Run at"));
    out.writeStartElement(QStringLiteral("dd"));
    out.writeStartElement(QStringLiteral("time"));
    out.writeAttribute(QStringLiteral("datetime"), header.runTime);
    out.writeCharacters(header.runTime);
    out.writeEndElement();
    out.writeEndElement();
    out.writeEndElement(); // dl
    out.writeEndElement(); // header
}

void HtmlPage::writeWarnings(QXmlStreamWriter &out, const QStringList &warnings)
{
    if (warnings.isEmpty())
        return;
    out.writeStartElement(QStringLiteral("section"));
    out.writeAttribute(QStringLiteral("class"), QStringLiteral("warnings"));
    element(out, QStringLiteral("h2"), QStringLiteral("Warnings"));
    out.writeStartElement(QStringLiteral("ul"));
    for (const QString &warning : warnings)
        element(out, QStringLiteral("li"), warning);
    out.writeEndElement();
    out.writeEndElement();
}

void HtmlPage::writeColumn(QXmlStreamWriter &out, const Column &column, const QString &idPrefix)
{
    out.writeStartElement(QStringLiteral("section"));
    out.writeAttribute(QStringLiteral("class"), QStringLiteral("column"));
    out.writeAttribute(QStringLiteral("aria-labelledby"), idPrefix + QStringLiteral("heading"));
    out.writeStartElement(QStringLiteral("h2"));
    out.writeAttribute(QStringLiteral("id"), idPrefix + QStringLiteral("heading"));
    out.writeCharacters(column.heading);
    out.writeEndElement();
    writeRose(out, { QString(), column.svg, column.size, column.shapes }, idPrefix, column.heading);
    writePanels(out, column, idPrefix);
    writeLegend(out, column);
    writeTable(out, column.table);
    out.writeEndElement();
}

void HtmlPage::writeRose(
    QXmlStreamWriter &out, const Panel &rose, const QString &idPrefix, const QString &heading)
{
    const QString width = QString::number(rose.size.width());
    const QString height = QString::number(rose.size.height());
    out.writeStartElement(QStringLiteral("figure"));
    out.writeAttribute(QStringLiteral("class"), QStringLiteral("rose"));
    out.writeAttribute(
        QStringLiteral("style"), QStringLiteral("width:%1px;height:%2px").arg(width, height));
    InlineSvg::write(out, rose.svg, idPrefix, QStringLiteral("Solar rose of ") + heading);
    // The segments' shapes, over the rose in the same pixels.
    out.writeStartElement(QStringLiteral("svg"));
    out.writeAttribute(QStringLiteral("class"), QStringLiteral("segments"));
    out.writeAttribute(QStringLiteral("width"), width);
    out.writeAttribute(QStringLiteral("height"), height);
    out.writeAttribute(QStringLiteral("viewBox"), QStringLiteral("0 0 %1 %2").arg(width, height));
    out.writeAttribute(QStringLiteral("role"), QStringLiteral("group"));
    element(out, QStringLiteral("title"), QStringLiteral("Segments of ") + heading);
    for (const Shape &shape : rose.shapes) {
        out.writeStartElement(QStringLiteral("path"));
        out.writeAttribute(QStringLiteral("d"), pathData(shape.outline));
        element(out, QStringLiteral("title"), shape.title);
        out.writeEndElement();
    }
    out.writeEndElement(); // svg
    out.writeEndElement(); // figure
}

void HtmlPage::writePanels(QXmlStreamWriter &out, const Column &column, const QString &idPrefix)
{
    if (column.panels.isEmpty())
        return;
    out.writeStartElement(QStringLiteral("div"));
    out.writeAttribute(QStringLiteral("class"), QStringLiteral("panels"));
    for (int g = 0; g < column.panels.size(); ++g) {
        const Panel &panel = column.panels.at(g);
        out.writeStartElement(QStringLiteral("div"));
        out.writeAttribute(QStringLiteral("class"), QStringLiteral("panel"));
        element(out, QStringLiteral("h3"), panel.title);
        writeRose(out, panel, idPrefix + QStringLiteral("g%1-").arg(g),
            column.heading + QStringLiteral(", ") + panel.title);
        out.writeEndElement();
    }
    out.writeEndElement();
}

void HtmlPage::writeLegend(QXmlStreamWriter &out, const Column &column)
{
    out.writeStartElement(QStringLiteral("div"));
    out.writeAttribute(QStringLiteral("class"), QStringLiteral("legend"));
    element(out, QStringLiteral("h3"), column.legendTitle);
    out.writeStartElement(QStringLiteral("ul"));
    for (const QString &c : column.legendClasses)
        element(out, QStringLiteral("li"), c);
    out.writeEndElement();
    element(out, QStringLiteral("p"), column.legendLines.join(QLatin1Char('\n')));
    out.writeEndElement();
}

void HtmlPage::writeTable(QXmlStreamWriter &out, const QStringList &table)
{
    constexpr int kCaptions = 4;
    if (table.size() < kCaptions + 2)
        return;
    const QChar tab(QLatin1Char('\t'));
    out.writeStartElement(QStringLiteral("table"));
    out.writeStartElement(QStringLiteral("caption"));
    for (int i = 0; i < kCaptions; ++i)
        element(out, QStringLiteral("span"), table.at(i));
    out.writeEndElement();
    out.writeStartElement(QStringLiteral("thead"));
    row(out, table.at(kCaptions).split(tab), true);
    out.writeEndElement();
    out.writeStartElement(QStringLiteral("tbody"));
    for (int i = kCaptions + 1; i < table.size() - 1; ++i)
        row(out, table.at(i).split(tab), false);
    out.writeEndElement();
    out.writeStartElement(QStringLiteral("tfoot"));
    row(out, table.last().split(tab), false);
    out.writeEndElement();
    out.writeEndElement();
}

QString HtmlPage::pathData(const QPolygonF &outline)
{
    QString d;
    for (int i = 0; i < outline.size(); ++i) {
        const QPointF &p = outline.at(i);
        d += (i == 0 ? QLatin1Char('M') : QLatin1Char('L')) + QString::number(p.x(), 'f', 1)
            + QLatin1Char(' ') + QString::number(p.y(), 'f', 1);
    }
    if (!d.isEmpty())
        d += QLatin1Char('Z');
    return d;
}
