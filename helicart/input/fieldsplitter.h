#ifndef FIELDSPLITTER_H
#define FIELDSPLITTER_H

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

// Takes the fields of a line apart at a separator byte. With quoting, a field that begins
// with a double quote runs to the next quote that is not doubled, as RFC 4180 says: it may
// hold the separator, and "" stands for one quote; what follows its closing quote up to the
// separator is kept as it is. A line break inside quotes is not joined: a record is one line.
class FieldSplitter
{
public:
    FieldSplitter(char separator, bool quoting)
        : m_separator(separator)
        , m_quoting(quoting)
    { }

    // Field index (from 0) of line; empty when the line has fewer fields. A quoted field is
    // unquoted into *scratch, which the view then points into.
    QByteArrayView field(QByteArrayView line, int index, QByteArray *scratch) const;

    // Every field of line, decoded from UTF-8.
    QStringList split(QByteArrayView line) const;

private:
    const char *readField(const char *p, const char *end, QByteArray *out) const;
    QByteArrayView quotedField(
        const char *begin, const char *end, int index, QByteArray *scratch) const;

    char m_separator;
    bool m_quoting;
};

#endif // FIELDSPLITTER_H
