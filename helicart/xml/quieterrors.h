#ifndef QUIETERRORS_H
#define QUIETERRORS_H

#include <QString>

#include <libxml/xmlerror.h>

// Failures are our results, never text: libxml2 would otherwise write its I/O and parse errors
// to the standard error stream, where the program keeps its own one-line messages. The
// handlers are process-wide, so they are swapped only while an object lives. Given a string,
// the first error is kept there ("line N: message") instead of being dropped.
class QuietErrors
{
public:
    explicit QuietErrors(QString *firstError = nullptr);
    ~QuietErrors();
    QuietErrors(const QuietErrors &) = delete;
    QuietErrors &operator=(const QuietErrors &) = delete;

    // A structured error handler that drops every error.
    static void ignore(void *context, xmlErrorPtr error);

private:
    xmlGenericErrorFunc m_generic;
    void *m_genericContext;
    xmlStructuredErrorFunc m_structured;
    void *m_structuredContext;
};

#endif // QUIETERRORS_H
