#ifndef XMLDOCUMENT_H
#define XMLDOCUMENT_H

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

struct _xmlDoc;
struct _xmlNode;
struct _xmlXPathContext;

// One XML document with an XPath context node that is moved around with expressions. Node
// texts come back as Qt values; the tree can be changed and saved.
//
// Documents are read with network access off and without loading external entities or DTDs;
// a document whose internal entities would expand to more text than kMaxEntityExpansion is
// refused like a malformed one. Every text is decoded as UTF-8 (libxml2 converts the document
// to UTF-8 while reading it); the declared encoding is kept only to write the document back.
//
// The operations are virtual and declared in a fixed order that hosts built elsewhere rely on.
class XMLDocument : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(XMLDocument)

public:
    // Bytes of entity replacement text a document may expand to.
    static constexpr qint64 kMaxEntityExpansion = 8 * 1024 * 1024;

    XMLDocument();
    ~XMLDocument() override;

    // Parses bytes; remembers fileName (used by save()).
    virtual bool loadData(const QString &fileName, const QByteArray &bytes);
    virtual bool load(const QString &fileName);
    // Starts an empty document of version 1.0.
    virtual bool create(const QString &fileName);
    // Frees the document and forgets the saved nodes; always true.
    virtual bool close();
    // Writes in the declared encoding (UTF-8 when there is none).
    virtual bool saveAs(const QString &fileName);
    // Writes to the remembered file name in UTF-8.
    virtual bool save();
    // Writes "debug.xml" into the working directory.
    virtual bool saveDebugCopy();
    virtual QString fileName() const;
    // Registers the prefixed namespaces in scope on the root element with the XPath context.
    virtual bool registerNamespaces();
    virtual bool registerNamespace(const QString &prefix, const QString &uri);
    // Makes the first node (in document order) of the expression's result the context node;
    // false, with the context node unchanged, when nothing is found.
    virtual bool selectNode(const QString &xpath);
    virtual QString currentNodeName() const;
    // Save and restore the context node, last in first out. popNode is false on an empty stack.
    virtual bool pushNode();
    virtual bool popNode();
    // Number of nodes the expression selects; 0 when it fails.
    virtual int count(const QString &xpath);
    // Own text of the first node selected (its text children, entities replaced). A null
    // string with *ok false when nothing matches or the node has no text.
    virtual QString text(const QString &xpath, bool *ok = nullptr);
    // The conversions report in *ok only whether a text was found: a text that is no number
    // gives 0. toDouble also accepts ',' as the decimal separator.
    virtual double toDouble(const QString &xpath, bool *ok = nullptr);
    virtual float toFloat(const QString &xpath, bool *ok = nullptr);
    virtual int toInt(const QString &xpath, bool *ok = nullptr);
    virtual uint toUInt(const QString &xpath, bool *ok = nullptr);
    // Reads "yyyy?MM?dd?hh?mm?ss" by character positions, in local time; *ok is true only for
    // a valid date-time.
    virtual QDateTime toDateTime(const QString &xpath, bool *ok = nullptr);
    // Replaces the content of the context node with text (taken literally). Refused when a
    // saved node lies below the context node.
    virtual bool setText(const QString &text);
    virtual bool setText(const QString &text, const QString &xpath);
    virtual bool setAttribute(const QString &name, const QString &value);
    virtual bool setAttribute(const QString &name, const QString &value, const QString &xpath);
    // Appends an element as the last child of the context node (an element, or the document
    // while it has no root element); the context node stays.
    virtual bool appendChild(const QString &name);
    virtual bool appendChild(const QString &name, const QString &xpath);
    // As appendChild, and the new element becomes the context node.
    virtual bool appendChildAndEnter(const QString &name);
    virtual bool appendTextChild(const QString &name, const QString &text);
    virtual bool appendTextChild(const QString &name, const QString &text, const QString &xpath);
    // Removes the first node selected. Refused when it is, or contains, a saved node (the
    // context node among them).
    virtual bool removeNode(const QString &xpath);

    // The encoding the document declares; empty when it declares none.
    QString declaredEncoding() const;

    // Why the last load or loadData failed, as libxml2 says it ("line 4: Opening and ending
    // tag mismatch: ..."); empty after a success.
    QString errorText() const { return m_error; }

    // The text as an XPath string literal: in apostrophes, in quotation marks when it holds
    // an apostrophe, and as a concat() of both kinds when it holds both.
    static QString stringLiteral(const QString &text);

private:
    bool adopt(_xmlDoc *doc, const QString &fileName);
    _xmlNode *firstNode(const QString &xpath) const;
    bool holdsSavedNode(const _xmlNode *node, bool includeSelf) const;
    bool setContent(_xmlNode *node, const QString &text);
    _xmlNode *appendElement(const QString &name);
    // Runs change on the node xpath selects and restores the context node afterwards; false
    // when nothing is selected.
    bool atNode(const QString &xpath, const std::function<bool()> &change);

    QString m_fileName;
    _xmlDoc *m_doc = nullptr;
    _xmlXPathContext *m_context = nullptr;
    QByteArray m_encoding;
    QList<_xmlNode *> m_stack;
    QString m_error;
};

#endif // XMLDOCUMENT_H
