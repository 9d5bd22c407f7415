#ifndef INLINESVG_H
#define INLINESVG_H

#include <QByteArray>
#include <QString>

class QXmlStreamWriter;

// An SVG document written into a page as an inline svg element: its elements, attributes and
// texts copied through the page's writer (which escapes them), without the document's own
// prologue, namespace declarations, comments, title and description. Its ids, and the
// references to them, get a prefix, so that several drawings with the same ids share a page;
// the svg element gets the title given.
class InlineSvg
{
public:
    // False when svg is no well-formed document: what it holds up to the fault is written, its
    // elements closed.
    static bool write(QXmlStreamWriter &out, const QByteArray &svg, const QString &idPrefix,
        const QString &title);

    // value with every local reference "url(#id)" in it given idPrefix.
    static QString prefixedReferences(const QString &value, const QString &idPrefix);
};

#endif // INLINESVG_H
