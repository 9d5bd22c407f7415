#ifndef ASCIIDIGITS_H
#define ASCIIDIGITS_H

// The few character tests the field readers share, on the raw bytes of a line; inline, since
// they run for every character of every stamp and value.
namespace AsciiDigits {

inline bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The ASCII characters QChar::isSpace accepts.
inline bool isSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// count digits from text as a number; false when one of them is no digit.
inline bool readDigits(const char *text, int count, int *number)
{
    int result = 0;
    for (int i = 0; i < count; ++i) {
        if (!isDigit(text[i]))
            return false;
        result = result * 10 + (text[i] - '0');
    }
    *number = result;
    return true;
}

} // namespace AsciiDigits

#endif // ASCIIDIGITS_H
