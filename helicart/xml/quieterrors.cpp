#include "quieterrors.h"

#include <libxml/globals.h>

namespace {

void ignoreGenericError(void *, const char *, ...) { }

// libxml2's messages end with a line feed.
QString fromUtf8Message(const char *text)
{
    return QString::fromUtf8(text ? text : "").trimmed();
}

// Keeps the first error of a parse as "line N: message", the form a person looks for in the
// file.
void keepFirstError(void *context, xmlErrorPtr error)
{
    auto *kept = static_cast<QString *>(context);
    if (!error || !kept->isEmpty() || error->level < XML_ERR_ERROR)
        return;
    const QString message = fromUtf8Message(error->message);
    *kept = error->line > 0 ? QStringLiteral("line %1: %2").arg(error->line).arg(message) : message;
}

} // namespace

QuietErrors::QuietErrors(QString *firstError)
    : m_generic(xmlGenericError)
    , m_genericContext(xmlGenericErrorContext)
    , m_structured(xmlStructuredError)
    , m_structuredContext(xmlStructuredErrorContext)
{
    xmlSetGenericErrorFunc(nullptr, ignoreGenericError);
    if (firstError)
        xmlSetStructuredErrorFunc(firstError, keepFirstError);
    else
        xmlSetStructuredErrorFunc(nullptr, ignore);
}

QuietErrors::~QuietErrors()
{
    xmlSetGenericErrorFunc(m_genericContext, m_generic);
    xmlSetStructuredErrorFunc(m_structuredContext, m_structured);
}

void QuietErrors::ignore(void *, xmlErrorPtr) { }
