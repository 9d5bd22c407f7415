#include "xmldocument.h"

#include "entitytext.h"
#include "quieterrors.h"

#include <QFile>
#include <QStringList>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <limits>
#include <memory>

namespace {

// Network access off; external entities and DTDs are not loaded (no NOENT, no DTDLOAD), so a
// classes file cannot pull in another file's content. The program reports its own failures, so
// libxml2 must not write to the standard error stream.
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

const xmlChar *utf8(const QByteArray &bytes)
{
    return reinterpret_cast<const xmlChar *>(bytes.constData());
}

QString fromUtf8(const xmlChar *text)
{
    return text ? QString::fromUtf8(reinterpret_cast<const char *>(text)) : QString();
}

struct XPathObjectFree
{
    void operator()(xmlXPathObjectPtr object) const { xmlXPathFreeObject(object); }
};
using XPathObject = std::unique_ptr<xmlXPathObject, XPathObjectFree>;

XPathObject evaluate(xmlXPathContextPtr context, const QString &xpath)
{
    if (!context)
        return nullptr;
    const QByteArray expression = xpath.toUtf8();
    // Evaluation may move the context's node; the context node is ours to move.
    xmlNodePtr contextNode = context->node;
    QuietErrors quiet;
    XPathObject result(xmlXPathEvalExpression(utf8(expression), context));
    context->node = contextNode;
    return result;
}

bool isDocumentNode(const xmlNode *node)
{
    return node->type == XML_DOCUMENT_NODE || node->type == XML_HTML_DOCUMENT_NODE;
}

bool validName(const QByteArray &name)
{
    return !name.isEmpty() && xmlValidateName(utf8(name), 0) == 0;
}

} // namespace

XMLDocument::XMLDocument() = default;

XMLDocument::~XMLDocument()
{
    close();
}

bool XMLDocument::loadData(const QString &fileName, const QByteArray &bytes)
{
    close();
    if (bytes.size() > std::numeric_limits<int>::max())
        return false;
    const QByteArray url = QFile::encodeName(fileName);
    QuietErrors quiet(&m_error);
    xmlDocPtr doc = xmlReadMemory(bytes.constData(), int(bytes.size()),
        url.isEmpty() ? nullptr : url.constData(), nullptr, kParseOptions);
    return adopt(doc, fileName);
}

bool XMLDocument::load(const QString &fileName)
{
    close();
    const QByteArray name = QFile::encodeName(fileName);
    if (name.isEmpty())
        return false;
    QuietErrors quiet(&m_error);
    return adopt(xmlReadFile(name.constData(), nullptr, kParseOptions), fileName);
}

bool XMLDocument::create(const QString &fileName)
{
    close();
    return adopt(xmlNewDoc(BAD_CAST "1.0"), fileName);
}

bool XMLDocument::adopt(xmlDocPtr doc, const QString &fileName)
{
    if (!doc) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("the document cannot be read");
        return false;
    }
    if (EntityText::exceeds(doc, kMaxEntityExpansion)) {
        xmlFreeDoc(doc);
        m_error = QStringLiteral("its entities expand to more than %1 bytes of text")
                      .arg(kMaxEntityExpansion);
        return false;
    }
    xmlXPathContextPtr context = xmlXPathNewContext(doc);
    if (!context) {
        xmlFreeDoc(doc);
        return false;
    }
    context->error = QuietErrors::ignore;
    // Relative expressions of a fresh document start at the document node.
    context->node = reinterpret_cast<xmlNodePtr>(doc);
    m_doc = doc;
    m_context = context;
    m_fileName = fileName;
    m_error.clear(); // what libxml2 recovered from is no failure
    m_encoding
        = doc->encoding ? QByteArray(reinterpret_cast<const char *>(doc->encoding)) : QByteArray();
    return true;
}

bool XMLDocument::close()
{
    if (m_context)
        xmlXPathFreeContext(m_context);
    if (m_doc)
        xmlFreeDoc(m_doc);
    m_context = nullptr;
    m_doc = nullptr;
    m_encoding.clear();
    m_error.clear();
    // Saved nodes belonged to the freed tree; restoring one later would use freed memory.
    m_stack.clear();
    return true;
}

bool XMLDocument::saveAs(const QString &fileName)
{
    if (!m_doc)
        return false;
    const QByteArray name = QFile::encodeName(fileName);
    QuietErrors quiet;
    return xmlSaveFileEnc(
               name.constData(), m_doc, m_encoding.isEmpty() ? nullptr : m_encoding.constData())
        != -1;
}

bool XMLDocument::save()
{
    if (!m_doc)
        return false;
    const QByteArray name = QFile::encodeName(m_fileName);
    QuietErrors quiet;
    return xmlSaveFileEnc(name.constData(), m_doc, "UTF-8") != -1;
}

bool XMLDocument::saveDebugCopy()
{
    if (!m_doc)
        return false;
    QuietErrors quiet;
    return xmlSaveFile("debug.xml", m_doc) != -1;
}

QString XMLDocument::fileName() const
{
    return m_fileName;
}

bool XMLDocument::registerNamespaces()
{
    if (!m_context)
        return false;
    xmlNodePtr root = xmlDocGetRootElement(m_doc);
    if (!root)
        return true;
    xmlNsPtr *namespaces = xmlGetNsList(m_doc, root);
    if (!namespaces)
        return true;
    bool ok = true;
    for (xmlNsPtr *ns = namespaces; *ns; ++ns) {
        // XPath 1.0 has no syntax for a default namespace; only prefixed ones can be used.
        if ((*ns)->prefix && xmlXPathRegisterNs(m_context, (*ns)->prefix, (*ns)->href) != 0)
            ok = false;
    }
    xmlFree(namespaces);
    return ok;
}

bool XMLDocument::registerNamespace(const QString &prefix, const QString &uri)
{
    if (!m_context)
        return false;
    const QByteArray p = prefix.toUtf8();
    const QByteArray u = uri.toUtf8();
    return xmlXPathRegisterNs(m_context, utf8(p), utf8(u)) == 0;
}

xmlNodePtr XMLDocument::firstNode(const QString &xpath) const
{
    XPathObject result = evaluate(m_context, xpath);
    if (!result || result->type != XPATH_NODESET || xmlXPathNodeSetIsEmpty(result->nodesetval))
        return nullptr;
    xmlNodePtr node = result->nodesetval->nodeTab[0];
    // Namespace nodes in a result are copies that die with it.
    return node->type == XML_NAMESPACE_DECL ? nullptr : node;
}

bool XMLDocument::selectNode(const QString &xpath)
{
    xmlNodePtr node = firstNode(xpath);
    if (!node)
        return false;
    m_context->node = node;
    return true;
}

QString XMLDocument::currentNodeName() const
{
    if (!m_context || !m_context->node || isDocumentNode(m_context->node))
        return QString();
    return fromUtf8(m_context->node->name);
}

bool XMLDocument::pushNode()
{
    m_stack.append(m_context ? m_context->node : nullptr);
    return true;
}

bool XMLDocument::popNode()
{
    if (m_stack.isEmpty())
        return false;
    xmlNodePtr node = m_stack.takeLast();
    if (m_context)
        m_context->node = node;
    return true;
}

int XMLDocument::count(const QString &xpath)
{
    XPathObject result = evaluate(m_context, xpath);
    if (!result || result->type != XPATH_NODESET || !result->nodesetval)
        return 0;
    return result->nodesetval->nodeNr;
}

QString XMLDocument::text(const QString &xpath, bool *ok)
{
    if (ok)
        *ok = false;
    xmlNodePtr node = firstNode(xpath);
    if (!node || isDocumentNode(node))
        return QString();
    QByteArray bytes;
    EntityText::append(bytes, m_doc, node->children);
    if (bytes.isEmpty())
        return QString();
    if (ok)
        *ok = true;
    return QString::fromUtf8(bytes);
}

double XMLDocument::toDouble(const QString &xpath, bool *ok)
{
    QString value = text(xpath, ok);
    return value.replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
}

float XMLDocument::toFloat(const QString &xpath, bool *ok)
{
    return text(xpath, ok).toFloat();
}

int XMLDocument::toInt(const QString &xpath, bool *ok)
{
    return text(xpath, ok).toInt(nullptr, 10);
}

uint XMLDocument::toUInt(const QString &xpath, bool *ok)
{
    return text(xpath, ok).toUInt(nullptr, 10);
}

QDateTime XMLDocument::toDateTime(const QString &xpath, bool *ok)
{
    bool found = false;
    const QString value = text(xpath, &found);
    if (ok)
        *ok = false;
    if (!found)
        return QDateTime();
    bool allRead = true;
    auto field = [&](int start, int length) {
        bool read = false;
        const int number = value.mid(start, length).toInt(&read, 10);
        allRead = allRead && read;
        return number;
    };
    const int year = field(0, 4);
    const int month = field(5, 2);
    const int day = field(8, 2);
    const int hour = field(11, 2);
    const int minute = field(14, 2);
    const int second = field(17, 2);
    QDateTime result;
    result.setDate(QDate(year, month, day));
    result.setTime(QTime(hour, minute, second, 0));
    if (ok)
        *ok = allRead && result.isValid();
    return result;
}

bool XMLDocument::holdsSavedNode(const xmlNode *node, bool includeSelf) const
{
    for (const xmlNode *saved : m_stack) {
        if (!saved)
            continue;
        for (const xmlNode *up = includeSelf ? saved : saved->parent; up; up = up->parent) {
            if (up == node)
                return true;
        }
    }
    return false;
}

bool XMLDocument::setContent(xmlNodePtr node, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    switch (node->type) {
    case XML_ELEMENT_NODE:
    case XML_ATTRIBUTE_NODE: {
        // The old children are freed: a saved node among them would be left dangling.
        if (holdsSavedNode(node, false))
            return false;
        // libxml2 reads element content as markup; escape it so that the text stays literal.
        xmlChar *escaped = xmlEncodeSpecialChars(m_doc, utf8(bytes));
        xmlNodeSetContent(node, escaped);
        xmlFree(escaped);
        return true;
    }
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
        xmlNodeSetContent(node, utf8(bytes));
        return true;
    default:
        return false;
    }
}

bool XMLDocument::setText(const QString &text)
{
    if (!m_context || !m_context->node)
        return false;
    return setContent(m_context->node, text);
}

bool XMLDocument::setText(const QString &text, const QString &xpath)
{
    return atNode(xpath, [&] { return setText(text); });
}

bool XMLDocument::setAttribute(const QString &name, const QString &value)
{
    if (!m_context || !m_context->node || m_context->node->type != XML_ELEMENT_NODE)
        return false;
    const QByteArray n = name.toUtf8();
    const QByteArray v = value.toUtf8();
    return validName(n) && xmlSetProp(m_context->node, utf8(n), utf8(v)) != nullptr;
}

bool XMLDocument::setAttribute(const QString &name, const QString &value, const QString &xpath)
{
    return atNode(xpath, [&] { return setAttribute(name, value); });
}

xmlNodePtr XMLDocument::appendElement(const QString &name)
{
    if (!m_context || !m_context->node)
        return nullptr;
    xmlNodePtr parent = m_context->node;
    const bool canHold = parent->type == XML_ELEMENT_NODE
        || (isDocumentNode(parent) && !xmlDocGetRootElement(m_doc));
    const QByteArray n = name.toUtf8();
    if (!canHold || !validName(n))
        return nullptr;
    xmlNodePtr child = xmlNewDocNode(m_doc, nullptr, utf8(n), nullptr);
    if (!child)
        return nullptr;
    if (xmlAddChild(parent, child) != child) {
        xmlFreeNode(child);
        return nullptr;
    }
    return child;
}

bool XMLDocument::appendChild(const QString &name)
{
    return appendElement(name) != nullptr;
}

bool XMLDocument::appendChild(const QString &name, const QString &xpath)
{
    return atNode(xpath, [&] { return appendChild(name); });
}

bool XMLDocument::appendChildAndEnter(const QString &name)
{
    xmlNodePtr child = appendElement(name);
    if (!child)
        return false;
    m_context->node = child;
    return true;
}

bool XMLDocument::appendTextChild(const QString &name, const QString &text)
{
    xmlNodePtr child = appendElement(name);
    return child && setContent(child, text);
}

bool XMLDocument::appendTextChild(const QString &name, const QString &text, const QString &xpath)
{
    return atNode(xpath, [&] { return appendTextChild(name, text); });
}

bool XMLDocument::atNode(const QString &xpath, const std::function<bool()> &change)
{
    pushNode();
    const bool done = selectNode(xpath) && change();
    popNode();
    return done;
}

bool XMLDocument::removeNode(const QString &xpath)
{
    pushNode();
    bool done = false;
    if (selectNode(xpath)) {
        xmlNodePtr node = m_context->node;
        // The context node was just saved, so the check also keeps it alive.
        if (!isDocumentNode(node) && !holdsSavedNode(node, true)) {
            xmlUnlinkNode(node);
            xmlFreeNode(node);
            done = true;
        }
    }
    popNode();
    return done;
}

QString XMLDocument::declaredEncoding() const
{
    return QString::fromLatin1(m_encoding);
}

QString XMLDocument::stringLiteral(const QString &text)
{
    const QChar apostrophe = QLatin1Char('\'');
    const QChar quote = QLatin1Char('"');
    if (!text.contains(apostrophe))
        return apostrophe + text + apostrophe;
    if (!text.contains(quote))
        return quote + text + quote;
    // XPath 1.0 has no escapes: join the runs without apostrophes and the apostrophes.
    QStringList parts;
    const QStringList runs = text.split(apostrophe);
    for (int i = 0; i < runs.size(); ++i) {
        if (i > 0)
            parts << QStringLiteral("\"'\"");
        if (!runs.at(i).isEmpty())
            parts << apostrophe + runs.at(i) + apostrophe;
    }
    return QStringLiteral("concat(") + parts.join(QLatin1Char(',')) + QLatin1Char(')');
}
