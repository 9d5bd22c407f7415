#ifndef ASCIINAME_H
#define ASCIINAME_H

#include <QLatin1StringView>
#include <QStringView>

// Names the user types (options, their words): equal when they differ only in the case of
// ASCII letters. No other character is taken for a letter of a name, so that "ſ" is no "s".
namespace AsciiName {

inline char16_t lower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
}

inline bool same(QStringView name, QLatin1StringView wanted)
{
    if (name.size() != wanted.size())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        if (c > 0x7f || lower(c) != lower(char16_t(uchar(wanted.at(i).toLatin1()))))
            return false;
    }
    return true;
}

} // namespace AsciiName

#endif // ASCIINAME_H
