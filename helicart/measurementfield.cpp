#include "measurementfield.h"

#include <QString>

#include <charconv>
#include <cstring>

namespace {

// Fields longer than this take Qt's own path: no measurement is written with so many
// characters, and the rare one then costs nothing but time.
constexpr qsizetype fastValueLength = 64;

bool isAscii(QByteArrayView field)
{
    for (const char c : field) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The ASCII characters QChar::isSpace accepts.
bool isSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool readDigits(const char *text, int count, int *number)
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

bool isDateSeparator(char c)
{
    return c == '/' || c == '.';
}

// Qt's toDouble, for input the fast path does not take.
bool parseValueWithQt(QByteArrayView field, double *value)
{
    bool ok = false;
    const double result = QString::fromUtf8(field).toDouble(&ok);
    if (!ok || !qIsFinite(result))
        return false;
    *value = result;
    return true;
}

// Optional sign, digits with at most one point and at least one digit, optional exponent with
// at least one digit: what Qt accepts once white space is trimmed and NaN and infinities are
// set aside. Returns the end of the number, or nullptr.
const char *scanNumber(const char *p, const char *end)
{
    if (p != end && (*p == '+' || *p == '-'))
        ++p;
    int digits = 0;
    while (p != end && isDigit(*p)) {
        ++p;
        ++digits;
    }
    if (p != end && *p == '.') {
        ++p;
        while (p != end && isDigit(*p)) {
            ++p;
            ++digits;
        }
    }
    if (digits == 0)
        return nullptr;
    if (p != end && (*p == 'e' || *p == 'E')) {
        ++p;
        if (p != end && (*p == '+' || *p == '-'))
            ++p;
        if (p == end || !isDigit(*p))
            return nullptr;
        while (p != end && isDigit(*p))
            ++p;
    }
    return p;
}

} // namespace

qint64 MeasurementField::TimeStamp::key() const
{
    return (((qint64(year) * 13 + month) * 32 + day) * 24 + hour) * 60 + minute;
}

bool MeasurementField::parseTimeStamp(QByteArrayView field, TimeStamp *stamp)
{
    // "dd/MM/yyyy hh:mm" is 16 characters, 17 with a negative year; Qt takes no other
    // width for any section and no white space around them.
    const char *text = field.data();
    const bool negativeYear = field.size() == 17 && text[6] == '-';
    if (field.size() != (negativeYear ? 17 : 16))
        return false;
    const char *time = text + (negativeYear ? 11 : 10);
    if (!isDateSeparator(text[2]) || !isDateSeparator(text[5]) || time[0] != ' ' || time[3] != ':')
        return false;
    TimeStamp result;
    if (!readDigits(text, 2, &result.day) || !readDigits(text + 3, 2, &result.month)
        || !readDigits(time - 4, 4, &result.year) || !readDigits(time + 1, 2, &result.hour)
        || !readDigits(time + 4, 2, &result.minute))
        return false;
    if (negativeYear)
        result.year = -result.year;
    if (result.hour > 23 || result.minute > 59
        || !QDate::isValid(result.year, result.month, result.day))
        return false;
    *stamp = result;
    return true;
}

bool MeasurementField::parseValue(QByteArrayView field, double *value)
{
    if (field.size() > fastValueLength || !isAscii(field))
        return parseValueWithQt(field, value);
    const char *begin = field.data();
    const char *end = begin + field.size();
    while (begin != end && isSpace(*begin))
        ++begin;
    while (end != begin && isSpace(end[-1]))
        --end;
    if (begin == end || scanNumber(begin, end) != end)
        return false;
    if (*begin == '+')
        ++begin;
    // from_chars rounds correctly, as Qt's converter does, and reports an overflow to an
    // infinity or an underflow of a non-zero number to zero as out of range: both are
    // rejected by Qt too.
    double result = 0;
    const std::from_chars_result read = std::from_chars(begin, end, result);
    if (read.ec != std::errc() || read.ptr != end)
        return false;
    *value = result;
    return true;
}

int MeasurementField::decimals(QByteArrayView field)
{
    if (field.isEmpty())
        return 0;
    if (!isAscii(field)) {
        const QString text = QString::fromUtf8(field);
        const qsizetype point = text.indexOf(QLatin1Char('.'));
        return point > 0 ? int(text.size() - point - 1) : 0;
    }
    const void *point = std::memchr(field.data(), '.', size_t(field.size()));
    if (!point)
        return 0;
    const qsizetype position = static_cast<const char *>(point) - field.data();
    return position > 0 ? int(field.size() - position - 1) : 0;
}
