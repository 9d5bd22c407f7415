#include "inlinesvg.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

bool isIdentifier(QStringView name)
{
    return name == QLatin1String("id");
}

bool isLink(QStringView name)
{
    return name == QLatin1String("xlink:href") || name == QLatin1String("href");
}

// The generator's own title and description, which the page replaces.
bool isDropped(QStringView name)
{
    return name == QLatin1String("title") || name == QLatin1String("desc");
}

void copyAttributes(
    QXmlStreamWriter &out, const QXmlStreamAttributes &attributes, const QString &idPrefix)
{
    for (const QXmlStreamAttribute &a : attributes) {
        const QStringView name = a.qualifiedName();
        if (name.startsWith(QLatin1String("xmlns")))
            continue;
        const QString value = a.value().toString();
        QString copied = InlineSvg::prefixedReferences(value, idPrefix);
        if (isIdentifier(name))
            copied = idPrefix + value;
        else if (isLink(name) && value.startsWith(QLatin1Char('#')))
            copied = QLatin1Char('#') + idPrefix + value.mid(1);
        out.writeAttribute(name.toString(), copied);
    }
}

} // namespace

QString InlineSvg::prefixedReferences(const QString &value, const QString &idPrefix)
{
    QString result = value;
    return result.replace(QLatin1String("url(#"), QLatin1String("url(#") + idPrefix);
}

bool InlineSvg::write(
    QXmlStreamWriter &out, const QByteArray &svg, const QString &idPrefix, const QString &title)
{
    QXmlStreamReader in(svg);
    in.setNamespaceProcessing(false);
    int depth = 0;
    int skipping = 0; // depth of the dropped element being skipped, 0 for none
    while (!in.atEnd()) {
        const QXmlStreamReader::TokenType token = in.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            if (skipping > 0 || (depth == 2 && isDropped(in.qualifiedName()))) {
                skipping = skipping > 0 ? skipping : depth;
                continue;
            }
            out.writeStartElement(in.qualifiedName().toString());
            copyAttributes(out, in.attributes(), idPrefix);
            if (depth == 1) {
                out.writeAttribute(QStringLiteral("role"), QStringLiteral("img"));
                out.writeStartElement(QStringLiteral("title"));
                out.writeCharacters(title);
                out.writeEndElement();
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (skipping == depth--)
                skipping = 0;
            else if (skipping == 0)
                out.writeEndElement();
        } else if (token == QXmlStreamReader::Characters && skipping == 0 && !in.isWhitespace()) {
            out.writeCharacters(in.text().toString());
        }
    }
    // A document cut short leaves no element of the page open.
    for (int open = depth - (skipping > 0 ? depth - skipping + 1 : 0); open > 0; --open)
        out.writeEndElement();
    return !in.hasError();
}
