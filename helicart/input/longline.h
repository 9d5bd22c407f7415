#ifndef LONGLINE_H
#define LONGLINE_H

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// Gathers a line too long to be held whole, piece by piece as it is read, keeping only what
// a pass over the file reads of it: the fields asked for, each cut to a few bytes more than
// maxFieldBytes (ending on a whole UTF-8 character), and the separators that keep
// their indexes. A field that begins with a double quote runs to the next quote that is not
// doubled, as FieldSplitter reads it. What comes after the last field asked for is dropped.
class LongLine
{
public:
    struct Fields
    {
        char separator = '\t';
        bool quoting = false;
        QList<int> indexes; // ascending, at least one
        qsizetype maxFieldBytes = 0;
    };

    explicit LongLine(const Fields &fields)
        : m_fields(fields)
    { }

    // Starts a new line.
    void clear();

    // Takes the bytes of [p, end) up to the first line feed; returns the line feed, or nullptr
    // when the line goes on after end.
    const char *take(const char *p, const char *end);

    // What was kept of the line; one "\r" at its end is dropped when the line ended in one.
    QByteArrayView line();

private:
    enum class Quoting { None, InQuotes, QuoteSeen };

    void trimCut();
    void endField();
    void takeByte(char c);
    void keep(const char *p, qsizetype size);

    Fields m_fields;
    QByteArray m_kept;
    int m_field = 0; // index of the field being read
    bool m_keeping = false; // whether it is asked for
    qsizetype m_fieldBytes = 0; // bytes of it seen so far
    qsizetype m_fieldStart = 0; // where its kept bytes begin in m_kept
    Quoting m_quoting = Quoting::None;
    bool m_done = false; // past the last field asked for
    bool m_endsInReturn = false; // the last byte seen was "\r"
};

#endif // LONGLINE_H
