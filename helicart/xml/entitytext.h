#ifndef ENTITYTEXT_H
#define ENTITYTEXT_H

#include <QByteArray>

#include <libxml/tree.h>

// The text of nodes together with the replacement text of their entity references. Only
// internal entities count: external entities are never loaded.
namespace EntityText {

// The entity a reference node stands for, when it is an internal one; null otherwise.
xmlEntityPtr textEntity(xmlDocPtr doc, xmlNodePtr reference);

// Appends the own text of the nodes of list and their siblings: text and CDATA nodes and the
// replacement text of entity references, as xmlNodeListGetString gives it, in linear time.
void append(QByteArray &out, xmlDocPtr doc, xmlNodePtr list);

// Whether the entity references of doc stand for more than limit bytes of replacement text.
// A few hundred bytes of entities referenced many times pass libxml2's own checks (which guard
// nested expansion only) and would expand to gigabytes when the texts are read.
bool exceeds(xmlDocPtr doc, qint64 limit);

} // namespace EntityText

#endif // ENTITYTEXT_H
