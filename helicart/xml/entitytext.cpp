#include "entitytext.h"

#include <QHash>

#include <libxml/entities.h>

namespace {

// libxml2 already rejects entity reference loops; this only bounds the recursion.
constexpr int kMaxEntityDepth = 64;

void appendText(QByteArray &out, xmlDocPtr doc, xmlNodePtr list, int depth)
{
    for (xmlNodePtr node = list; node; node = node->next) {
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            out.append(reinterpret_cast<const char *>(node->content));
        } else if (node->type == XML_ENTITY_REF_NODE && depth < kMaxEntityDepth) {
            xmlEntityPtr entity = EntityText::textEntity(doc, node);
            if (!entity)
                continue;
            if (entity->etype == XML_INTERNAL_PREDEFINED_ENTITY)
                out.append(reinterpret_cast<const char *>(entity->content));
            else
                appendText(out, doc, entity->children, depth + 1);
        }
    }
}

// Measures how much replacement text the entity references of a document stand for, each
// entity's size reckoned once.
class ExpansionMeter
{
public:
    explicit ExpansionMeter(xmlDocPtr doc)
        : m_doc(doc)
    { }

    bool exceeds(qint64 limit)
    {
        m_limit = limit;
        m_total = 0;
        walk(reinterpret_cast<xmlNodePtr>(m_doc));
        return m_total > m_limit;
    }

private:
    void walk(xmlNodePtr parent)
    {
        for (xmlNodePtr node = parent->children; node && m_total <= m_limit; node = node->next) {
            if (node->type == XML_ENTITY_REF_NODE) {
                m_total += referenceSize(node, 0);
            } else if (node->type == XML_ELEMENT_NODE) {
                for (xmlAttrPtr attribute = node->properties; attribute;
                     attribute = attribute->next)
                    for (xmlNodePtr value = attribute->children; value; value = value->next)
                        if (value->type == XML_ENTITY_REF_NODE)
                            m_total += referenceSize(value, 0);
                walk(node);
            }
        }
    }

    qint64 referenceSize(xmlNodePtr reference, int depth)
    {
        xmlEntityPtr entity = EntityText::textEntity(m_doc, reference);
        if (!entity)
            return 0;
        if (depth >= kMaxEntityDepth)
            return m_limit + 1;
        auto known = m_sizes.constFind(entity);
        if (known != m_sizes.constEnd())
            return *known;
        qint64 size = 0;
        if (entity->etype == XML_INTERNAL_PREDEFINED_ENTITY) {
            size = xmlStrlen(entity->content);
        } else {
            for (xmlNodePtr node = entity->children; node && size <= m_limit; node = node->next) {
                if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE)
                    size += xmlStrlen(node->content);
                else if (node->type == XML_ENTITY_REF_NODE)
                    size += referenceSize(node, depth + 1);
            }
        }
        m_sizes.insert(entity, size);
        return size;
    }

    xmlDocPtr m_doc;
    QHash<xmlEntityPtr, qint64> m_sizes;
    qint64 m_limit = 0;
    qint64 m_total = 0;
};

} // namespace

namespace EntityText {

xmlEntityPtr textEntity(xmlDocPtr doc, xmlNodePtr reference)
{
    xmlEntityPtr entity = xmlGetDocEntity(doc, reference->name);
    if (entity
        && (entity->etype == XML_INTERNAL_GENERAL_ENTITY
            || entity->etype == XML_INTERNAL_PREDEFINED_ENTITY))
        return entity;
    return nullptr;
}

void append(QByteArray &out, xmlDocPtr doc, xmlNodePtr list)
{
    appendText(out, doc, list, 0);
}

bool exceeds(xmlDocPtr doc, qint64 limit)
{
    return ExpansionMeter(doc).exceeds(limit);
}

} // namespace EntityText
